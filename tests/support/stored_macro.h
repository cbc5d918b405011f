// A macro put straight into a record of g_macroStore, as a store file would
// hold it (repeat mode 2, count 1 unless the test changes them).
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "device/macro_store.h"
#include "text/u16_buffer.h"

inline MacroRecord& PutStoredMacro(int slot, uint32_t id, const char16_t* name, const std::vector<MacroEvent>& events) {
    MacroRecord& m = g_macroStore.records[slot];
    m = MacroRecord{};
    m.size = MACRO_BLOB_HEADER_SIZE + 4 * uint32_t(events.size());
    m.magic = MACRO_MAGIC;
    m.macroId = id;
    m.repeatMode = 2;
    m.repeatCount = 1;
    m.eventCount = uint32_t(std::min<size_t>(events.size(), MACRO_MAX_EVENTS));
    std::copy(events.begin(), events.begin() + m.eventCount, m.events);
    CopyToBuffer(m.name, name);
    return m;
}
