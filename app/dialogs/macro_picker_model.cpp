#include "app/dialogs/macro_picker_model.h"

namespace {
// Below this a size field cannot hold a blob header and one event.
constexpr uint32_t kSmallestBlobSize = 108;
}  // namespace

bool IsListedMacro(const MacroRecord& record) {
    bool inUse = record.size >= kSmallestBlobSize || (record.magic >> 16) == (MACRO_MAGIC >> 16);
    return inUse && record.macroId >= MACRO_ID_FIRST && record.macroId <= MACRO_ID_LAST;
}

MacroPickerList BuildMacroPickerList(const MacroStore& store) {
    MacroPickerList list;
    for (const MacroRecord& record : store.records) {
        if (!IsListedMacro(record)) continue;
        list.rows.push_back({std::u16string(MacroNameOf(record)), record.macroId});
    }
    list.selected = static_cast<int>(list.rows.size()) - 1;
    return list;
}

std::optional<uint32_t> MacroPickerChoice(const MacroPickerList& list, int selectedRow) {
    if (selectedRow < 0 || selectedRow >= static_cast<int>(list.rows.size())) return std::nullopt;
    return list.rows[selectedRow].macroId;
}
