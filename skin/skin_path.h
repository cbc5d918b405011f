// Where skin images live: the program folder (ending in a backslash), then
// "skins\" and the file name. Button images come in three states whose names
// differ by a suffix before ".png".
#pragma once

#include <string>
#include <string_view>

std::u16string SkinImagePath(std::u16string_view programFolder, std::u16string_view fileName);

enum class SkinState { Normal, Hover, Pressed };
// "name" + "_nr" / "_ov" / "_dn" + ".png".
std::u16string SkinStateFileName(std::u16string_view baseName, SkinState state);
