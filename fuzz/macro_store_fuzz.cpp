// "MFile.ini" as a file nobody checked: loaded through the store, then read
// the ways the program reads its records (the lookups, the name and count
// readers, the device encoder) and changed the ways the editor changes them.
//
// The file is larger than any input, so the first byte chooses its shape:
// even, the rest of the input is the file as it stands (a short file, the
// first record cut anywhere); odd, the rest is a list of records placed by
// index (up to 511, so beyond the store's 500), with a cut off the end.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "device/file_system.h"
#include "device/key_names.h"
#include "device/macro_image.h"
#include "device/macro_store.h"
#include "fuzz/fuzz_input.h"
#include "sim/memory_file_system.h"
#include "sim/sim_clock.h"

namespace {

const std::u16string kFolder = u"C:\\Quorvel\\";
const std::u16string kStorePath = kFolder + u"MFile.ini";
constexpr size_t kRecordFields = offsetof(MacroRecord, events);
constexpr size_t kNameOffset = offsetof(MacroRecord, name);
constexpr size_t kMaxPlacedEvents = 16;

void PlaceRecords(FuzzInput& input, std::vector<uint8_t>& file) {
    const uint16_t cut = input.U16();
    while (!input.Empty()) {
        const size_t index = input.U16() % 512;
        const size_t base = index * sizeof(MacroRecord);
        if (file.size() < base + sizeof(MacroRecord)) file.resize(base + sizeof(MacroRecord), 0);
        uint8_t* record = file.data() + base;
        input.Fill(record, kRecordFields);
        const size_t events = input.Byte() % (kMaxPlacedEvents + 1);
        input.Fill(record + kRecordFields, events * sizeof(MacroEvent));
        input.Fill(record + kNameOffset, sizeof(MacroRecord::name));
    }
    file.resize(file.size() - std::min<size_t>(file.size(), cut % sizeof(MacroRecord)));
}

uint32_t UsageOf(uint32_t virtualKey) { return VkToHidUsage(virtualKey); }

void ReadRecord(const MacroRecord& record) {
    FUZZ_CHECK(MacroEventCountOf(record) <= MACRO_MAX_EVENTS);
    const std::u16string_view name = MacroNameOf(record);
    FUZZ_CHECK(name.data() == record.name && name.size() < size_t(MACRO_NAME_LENGTH));
    FUZZ_CHECK(MacroNameForDevice(name).size() < MACRO_IMAGE_NAME_BYTES);

    const MacroRecord* found = FindMacroRecord(record.macroId);
    FUZZ_CHECK(found && found->macroId == record.macroId && found->magic != 0);

    uint8_t image[MACRO_IMAGE_BUFFER_SIZE];
    const int steps = BuildDeviceMacroImage(record, 1, image, UsageOf);
    FUZZ_CHECK(steps >= 1 && steps <= MACRO_LAST_STEP + 1);
}

// A record the store wrote itself is whole: its count within the events, zeros
// after them, the name terminated.
void CheckWritten(const MacroRecord& record) {
    FUZZ_CHECK(record.eventCount <= MACRO_MAX_EVENTS);
    for (uint32_t i = record.eventCount; i < MACRO_MAX_EVENTS; ++i)
        FUZZ_CHECK(record.events[i] == 0);
    FUZZ_CHECK(IsTerminated(record.name));
}

// Every change is written through, and nothing is left beside the store; a
// file longer than the store keeps its tail.
void CheckSaved(const MemoryFileSystem& files) {
    const std::vector<uint8_t>* saved = files.FileBytes(kStorePath);
    FUZZ_CHECK(saved && saved->size() >= sizeof(MacroStore));
    FUZZ_CHECK(std::memcmp(saved->data(), &g_macroStore, sizeof(MacroStore)) == 0);
    FUZZ_CHECK(files.FileNames().size() == 1);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedSimClock clock;  // the save's pauses only move simulated time
    // The file system and the file's buffer are kept from input to input: fresh
    // memory for the store's two megabytes, written three times an input, took
    // nearly all of the time. Each input starts with its own store file, or none.
    static MemoryFileSystem files;
    static std::vector<uint8_t> file;
    FuzzInput input(data, size);
    files.AddFolder(kFolder);
    SetFileSystem(&files);
    SetProgramFolder(kFolder);

    const uint8_t shape = input.Byte();
    const bool present = (shape & 2) == 0;
    file.clear();
    if (shape & 1) {
        PlaceRecords(input, file);
    } else {
        file.resize(input.Remaining());
        input.Fill(file.data(), file.size());
    }
    if (present) {
        // Closed before the store opens it.
        const std::unique_ptr<File> out = files.Open(kStorePath, FileOpenMode::CreateWrite, nullptr);
        FUZZ_CHECK(out && out->Write(file.data(), file.size()));
    } else {
        files.Remove(kStorePath);
    }

    // What the last run left behind must not survive a load.
    std::memset(&g_macroStore, 0xA5, sizeof(g_macroStore));
    const int loaded = LoadMacroStore();
    FUZZ_CHECK(loaded == (present ? 1 : 0));
    const auto* store = reinterpret_cast<const uint8_t*>(&g_macroStore);
    if (!present) {
        FUZZ_CHECK(store[0] == 0xA5 &&
                   std::memcmp(store, store + 1, sizeof(g_macroStore) - 1) == 0);
        SetFileSystem(nullptr);
        return 0;
    }
    // A short file leaves the rest of the store zero.
    static const std::vector<uint8_t> zeros(sizeof(MacroStore), 0);
    const size_t held = std::min(file.size(), sizeof(g_macroStore));
    FUZZ_CHECK(held == 0 || std::memcmp(store, file.data(), held) == 0);
    FUZZ_CHECK(std::memcmp(store + held, zeros.data(), sizeof(g_macroStore) - held) == 0);

    const MacroRecord* firstUsed = nullptr;
    for (const MacroRecord& record : g_macroStore.records) {
        if (record.magic == 0) continue;
        if (!firstUsed) firstUsed = &record;
        ReadRecord(record);
    }

    // The editor copies a record onto itself, stores a new one and deletes one.
    if (firstUsed) {
        const uint32_t id = firstUsed->macroId;
        if (CopyMacroRecord(firstUsed)) {
            const MacroRecord* copied = FindMacroRecord(id);
            FUZZ_CHECK(copied);
            CheckWritten(*copied);
        }
        DeleteMacroRecord(id);
    }
    struct {
        MacroBlob header;
        MacroEvent events[4];
    } blob{};
    blob.header.size = sizeof(blob);
    blob.header.magic = MACRO_MAGIC;
    blob.header.macroId = 0x7FFFFFF0;
    blob.header.eventCount = 4;
    for (uint32_t i = 0; i < 4; ++i) blob.events[i] = MakeMacroEvent(MACRO_EVENT_PRESS, 0x41 + i);
    if (StoreMacroBlob(&blob.header, sizeof(blob))) {
        const MacroRecord* stored = FindMacroRecord(blob.header.macroId);
        FUZZ_CHECK(stored);
        CheckWritten(*stored);
    }
    CheckSaved(files);

    SetFileSystem(nullptr);
    return 0;
}
