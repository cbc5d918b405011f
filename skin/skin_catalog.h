// Every skin file the program loads, with the smallest size its layout can
// use. The artwork in assets/skins is checked against this table.
#pragma once

#include <cstddef>
#include <span>

struct SkinFileSpec {
    const char16_t* name;
    int minWidth;
    int minHeight;
};

std::span<const SkinFileSpec> SkinCatalog();
