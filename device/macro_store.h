// The store of up to 500 keyboard macros: fixed records kept whole in the file
// "MFile.ini" beside the program, written through after every change and read
// once at start-up. Records are found by their macro id; order means nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr uint32_t MACRO_MAGIC = 0xE8E80010;
constexpr int MACRO_STORE_SIZE = 500;
constexpr uint32_t MACRO_MAX_EVENTS = 1000;
constexpr int MACRO_NAME_LENGTH = 40;
constexpr uint32_t MACRO_BLOB_HEADER_SIZE = 104;
constexpr uint32_t MACRO_REPEAT_SINGLE_KEY = 0xFFFE;  // repeatCount of a one-key-press macro

// Type in the top byte, a virtual-key code or milliseconds in the low 24 bits.
// Virtual keys 1, 2 and 4 stand for the left, right and middle mouse button.
using MacroEvent = uint32_t;
constexpr uint8_t MACRO_EVENT_DELAY = 0xA0;
constexpr uint8_t MACRO_EVENT_PRESS = 0xC0;
constexpr uint8_t MACRO_EVENT_RELEASE = 0xE0;

constexpr uint8_t MacroEventType(MacroEvent event) { return uint8_t(event >> 24); }
constexpr uint32_t MacroEventValue(MacroEvent event) { return event & 0xFFFFFF; }
constexpr MacroEvent MakeMacroEvent(uint8_t type, uint32_t value) {
    return MacroEvent(type) << 24 | (value & 0xFFFFFF);
}

// One macro of the store; the file format, fixed to the byte.
struct MacroRecord {
    uint32_t size;   // size of the blob it was stored from
    uint32_t magic;  // MACRO_MAGIC; 0 marks a free record
    uint32_t macroId;
    uint32_t repeatMode;  // 0, 1 or 2
    uint32_t repeatCount;
    uint32_t eventCount;
    MacroEvent events[MACRO_MAX_EVENTS];  // zero beyond eventCount
    char16_t name[MACRO_NAME_LENGTH];     // NUL-terminated
};

static_assert(sizeof(MacroRecord) == 4104);
static_assert(offsetof(MacroRecord, eventCount) == 20);
static_assert(offsetof(MacroRecord, events) == 24);
static_assert(offsetof(MacroRecord, name) == 4024);

struct MacroStore {
    MacroRecord records[MACRO_STORE_SIZE];
};
static_assert(sizeof(MacroStore) == 2052000);

extern MacroStore g_macroStore;

// The header of the variable-size image the macro editor and the device
// read-back build; its events follow it in the same buffer. Note the field
// order differs from MacroRecord.
struct MacroBlob {
    uint32_t size;  // 104 + 4 x the rows of the editor's event list
    uint32_t magic;
    uint32_t macroId;
    uint32_t repeatMode;
    uint32_t repeatCount;
    char16_t name[MACRO_NAME_LENGTH];
    uint32_t eventCount;

    const MacroEvent* Events() const { return reinterpret_cast<const MacroEvent*>(this + 1); }
};

static_assert(sizeof(MacroBlob) == MACRO_BLOB_HEADER_SIZE);
static_assert(offsetof(MacroBlob, name) == 20);
static_assert(offsetof(MacroBlob, eventCount) == 100);

// 1 when "MFile.ini" was read (a short file leaves the rest zero); 0, with the
// store unchanged, when it cannot be opened.
int LoadMacroStore();
// Writes the whole store to "MFile.ini": true when the file holds it now. A
// write that fails leaves the old file as it was and shows nothing itself.
bool SaveMacroStore();
// True once after any save (also one a change below made) missed the file.
bool TakeMacroStoreSaveFailure();
// The program folder + "MFile.ini".
std::u16string MacroStorePath();

// Creates or replaces the record with the blob's macro id, and saves: 1 on
// success, 0 when the blob is refused or the store is full. bufferSize is the
// size of the buffer the blob lies in, when its own size field may not tell
// (a blob built from the mouse's bytes); at most the events it holds are stored.
int StoreMacroBlob(const MacroBlob* blob, size_t bufferSize = SIZE_MAX);
// The same for a whole record; the record may lie in the store itself.
int CopyMacroRecord(const MacroRecord* record);
// Clears the record with that id, if any, and saves in every case.
void DeleteMacroRecord(uint32_t macroId);

// The record with that id, or null.
MacroRecord* FindMacroRecord(uint32_t macroId);

// What a reader may use of a record from a file nobody checked: at most
// MACRO_MAX_EVENTS events, and the name within its buffer, terminated.
uint32_t MacroEventCountOf(const MacroRecord& record);
std::u16string_view MacroNameOf(const MacroRecord& record);
