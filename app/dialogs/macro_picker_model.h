// The macro picker's list, apart from its window: which records of the store
// it offers, under what names, and which row is selected when it opens.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "device/macro_store.h"

// Recorded macros carry ids in this range; anything else in the store is not
// offered (and the macro editor lists the same records).
constexpr uint32_t MACRO_ID_FIRST = 0x15000000;
constexpr uint32_t MACRO_ID_LAST = 0x15FFFFFF;

// A record in use (its size or its magic says so) with a recorded macro's id.
bool IsListedMacro(const MacroRecord& record);

struct MacroPickerRow {
    std::u16string name;  // at most the record's 40 characters
    uint32_t macroId = 0;
    bool operator==(const MacroPickerRow&) const = default;
};

struct MacroPickerList {
    std::vector<MacroPickerRow> rows;  // in slot order
    int selected = -1;                 // the last row; -1 when there is none
};

MacroPickerList BuildMacroPickerList(const MacroStore& store);

// What OK comes to: the id of the selected row, or nothing (the same as
// Cancel) when no row is selected.
std::optional<uint32_t> MacroPickerChoice(const MacroPickerList& list, int selectedRow);
