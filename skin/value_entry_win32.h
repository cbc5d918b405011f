// The value-entry dialog behind the DPI value boxes, reached through one
// function. Until the dialog itself is built, RunValueEntry makes no entry
// (as if the user had cancelled); tests put a handler of their own in place.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

class CWnd;

// The entered value after OK, or nothing after Cancel.
using ValueEntryHandler = std::function<std::optional<uint32_t>(CWnd* parent, int mode)>;

void SetValueEntryHandler(ValueEntryHandler handler);  // an empty handler restores the default
std::optional<uint32_t> RunValueEntry(CWnd* parent, int mode);
