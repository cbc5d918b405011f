#include "device/macro_store.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string>

#include "device/clock.h"
#include "device/file_system.h"
#include "text/u16_buffer.h"

MacroStore g_macroStore{};

namespace {

constexpr char16_t kStoreFile[] = u"MFile.ini";
constexpr size_t kMaxPathLength = 259;
constexpr uint32_t kSaveSettleMs = 100;

bool IsValidMacro(uint32_t size, uint32_t magic) {
    // At least one event row beyond the header.
    return size >= MACRO_BLOB_HEADER_SIZE + 4 && (magic >> 16) == (MACRO_MAGIC >> 16);
}

// The record to fill: the one with the id, else the first free one.
MacroRecord* TargetRecord(uint32_t macroId) {
    if (MacroRecord* found = FindMacroRecord(macroId)) return found;
    for (MacroRecord& record : g_macroStore.records) {
        if (record.magic == 0) return &record;
    }
    return nullptr;
}

// Fills a record from a macro's fields and its first count events. A free record
// read from a foreign file may hold stale events, so every record is cleared first.
void FillRecord(MacroRecord& target, const MacroRecord& source, uint32_t count) {
    std::memset(target.events, 0, sizeof(target.events));
    std::memcpy(target.events, source.events, count * sizeof(MacroEvent));
    target.macroId = source.macroId;
    target.eventCount = count;
    target.repeatCount = source.repeatCount;
    target.repeatMode = source.repeatMode;
    std::memcpy(target.name, source.name, sizeof(target.name));
    target.name[MACRO_NAME_LENGTH - 1] = u'\0';
    target.size = source.size;
    target.magic = source.magic;
}

// Set by a save that missed the file, from any thread, until the editor has told the user.
std::atomic<bool> g_saveFailed{false};

}  // namespace

std::u16string MacroStorePath() {
    return ProgramFolder() + kStoreFile;
}

MacroRecord* FindMacroRecord(uint32_t macroId) {
    for (MacroRecord& record : g_macroStore.records) {
        if (record.macroId == macroId && record.magic != 0) return &record;
    }
    return nullptr;
}

uint32_t MacroEventCountOf(const MacroRecord& record) {
    return std::min(record.eventCount, MACRO_MAX_EVENTS);
}

std::u16string_view MacroNameOf(const MacroRecord& record) {
    return BufferText(record.name, MACRO_NAME_LENGTH - 1);
}

int LoadMacroStore() {
    std::u16string path = MacroStorePath();
    if (path.size() > kMaxPathLength) return 0;
    std::unique_ptr<File> file = GetFileSystem().Open(path, FileOpenMode::Read, nullptr);
    if (!file) return 0;
    std::memset(&g_macroStore, 0, sizeof(g_macroStore));
    file->Read(&g_macroStore, sizeof(g_macroStore));
    return 1;
}

bool SaveMacroStore() {
    std::u16string path = MacroStorePath();
    // A path that does not fit would name some other file.
    bool saved = false;
    if (path.size() <= kMaxPathLength) {
        // Only a store that is there and may be written, or one not made yet, is
        // written; any other failure (read-only, held by another program) leaves it.
        FileError error = FileError::None;
        const bool exists = GetFileSystem().Open(path, FileOpenMode::ReadWriteExisting, &error) != nullptr;
        if (exists || error == FileError::NotFound) {
            if (exists) SleepMs(kSaveSettleMs);
            // Two megabytes written over the old store would tear it on a full
            // disk or a crash half-way; written beside it first, the old one stays whole.
            saved = WriteWholeFile(path, &g_macroStore, sizeof(g_macroStore)) == FileError::None;
            SleepMs(kSaveSettleMs);
        }
    }
    if (!saved) g_saveFailed = true;
    return saved;
}

bool TakeMacroStoreSaveFailure() {
    return g_saveFailed.exchange(false);
}

int StoreMacroBlob(const MacroBlob* blob, size_t bufferSize) {
    if (!blob || !IsValidMacro(blob->size, blob->magic)) return 0;
    // The count is never trusted: the mouse's read-back sets it from a 16-bit
    // field, far beyond what its blob holds.
    size_t held = std::min<size_t>(blob->size, bufferSize);
    held = held > MACRO_BLOB_HEADER_SIZE ? (held - MACRO_BLOB_HEADER_SIZE) / sizeof(MacroEvent) : 0;
    uint32_t count = uint32_t(std::min<size_t>({blob->eventCount, held, MACRO_MAX_EVENTS}));

    MacroRecord* target = TargetRecord(blob->macroId);
    if (!target) return 0;
    MacroRecord source{};
    source.size = blob->size;
    source.magic = blob->magic;
    source.macroId = blob->macroId;
    source.repeatMode = blob->repeatMode;
    source.repeatCount = blob->repeatCount;
    std::memcpy(source.name, blob->name, sizeof(source.name));
    std::memcpy(source.events, blob->Events(), count * sizeof(MacroEvent));
    FillRecord(*target, source, count);
    SaveMacroStore();
    return 1;
}

int CopyMacroRecord(const MacroRecord* record) {
    if (!record || !IsValidMacro(record->size, record->magic)) return 0;
    // The editor passes records that lie in the store, often the very target.
    const MacroRecord source = *record;
    MacroRecord* target = TargetRecord(source.macroId);
    if (!target) return 0;
    FillRecord(*target, source, MacroEventCountOf(source));
    SaveMacroStore();
    return 1;
}

void DeleteMacroRecord(uint32_t macroId) {
    if (MacroRecord* record = FindMacroRecord(macroId)) std::memset(record, 0, sizeof(*record));
    SaveMacroStore();
}
