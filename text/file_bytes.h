// Reading a whole file as bytes, for the language document.
#pragma once

#include <string>
#include <string_view>

// Reads the file at path. On failure bytes is empty and error holds the
// system's one-line message for the cause. A folder is not a file: reading
// one fails (the start-up passes the bare language folder when no language
// is chosen).
bool ReadFileBytes(std::u16string_view path, std::string& bytes, std::u16string& error);
