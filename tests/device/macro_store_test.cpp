#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/file_system.h"
#include "device/macro_store.h"
#include "sim/memory_file_system.h"
#include "sim/sim_clock.h"
#include "text/u16_buffer.h"

namespace {

constexpr char16_t kFolder[] = u"C:\\Quorvel\\";
constexpr char16_t kStorePath[] = u"C:\\Quorvel\\MFile.ini";

constexpr MacroEvent Press(uint32_t vk) { return MakeMacroEvent(MACRO_EVENT_PRESS, vk); }
constexpr MacroEvent Release(uint32_t vk) { return MakeMacroEvent(MACRO_EVENT_RELEASE, vk); }
constexpr MacroEvent Delay(uint32_t ms) { return MakeMacroEvent(MACRO_EVENT_DELAY, ms); }

// A blob as the editor lays it out: the header, then its events in one buffer.
class BlobBuffer {
public:
    BlobBuffer(uint32_t macroId, std::vector<MacroEvent> events, std::u16string_view name = u"M")
        : m_bytes(MACRO_BLOB_HEADER_SIZE + 4 * events.size()) {
        MacroBlob& blob = Header();
        blob.size = uint32_t(m_bytes.size());
        blob.magic = MACRO_MAGIC;
        blob.macroId = macroId;
        blob.repeatMode = 1;
        blob.repeatCount = 3;
        CopyToBuffer(blob.name, name);
        blob.eventCount = uint32_t(events.size());
        if (!events.empty())
            std::memcpy(m_bytes.data() + MACRO_BLOB_HEADER_SIZE, events.data(), 4 * events.size());
    }
    MacroBlob& Header() { return *reinterpret_cast<MacroBlob*>(m_bytes.data()); }
    const MacroBlob* get() { return &Header(); }
    size_t BufferSize() const { return m_bytes.size(); }

private:
    alignas(4) std::vector<uint8_t> m_bytes;
};

int IndexOf(uint32_t macroId) {
    MacroRecord* record = FindMacroRecord(macroId);
    return record ? int(record - g_macroStore.records) : -1;
}

class MacroStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        files.AddFolder(kFolder);
        SetFileSystem(&files);
        SetProgramFolder(kFolder);
        TakeMacroStoreSaveFailure();
    }
    void TearDown() override {
        SetFileSystem(nullptr);
        SetProgramFolder(u"");
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
    }

    std::vector<uint8_t> StoreBytes() const {
        const auto* p = reinterpret_cast<const uint8_t*>(&g_macroStore);
        return std::vector<uint8_t>(p, p + sizeof(g_macroStore));
    }

    MemoryFileSystem files;
    ScopedSimClock clock;
};

TEST_F(MacroStoreTest, NewIdsTakeTheFirstFreeRecord) {
    BlobBuffer first(0x15000001, {Press(0x41), Release(0x41)});
    ASSERT_EQ(StoreMacroBlob(first.get()), 1);
    EXPECT_EQ(IndexOf(0x15000001), 0);
    BlobBuffer second(0x15000002, {Press(0x42)});
    ASSERT_EQ(StoreMacroBlob(second.get()), 1);
    EXPECT_EQ(IndexOf(0x15000002), 1);

    DeleteMacroRecord(0x15000001);
    EXPECT_EQ(IndexOf(0x15000001), -1);
    const MacroRecord zero{};
    EXPECT_EQ(0, std::memcmp(&g_macroStore.records[0], &zero, sizeof(zero))) << "every field cleared";
    BlobBuffer third(0x15000003, {Press(0x43)});
    ASSERT_EQ(StoreMacroBlob(third.get()), 1);
    EXPECT_EQ(IndexOf(0x15000003), 0) << "a deleted record is reused";
}

TEST_F(MacroStoreTest, StoredRecordHoldsTheBlobsFields) {
    BlobBuffer blob(0x15ABCDEF, {Press(0x41), Delay(50), Release(0x41)}, u"Jump");
    blob.Header().magic = 0xE8E8ABCD;  // any low half is accepted, and kept
    ASSERT_EQ(StoreMacroBlob(blob.get()), 1);
    const MacroRecord& record = g_macroStore.records[0];
    EXPECT_EQ(record.size, 116u);
    EXPECT_EQ(record.magic, 0xE8E8ABCDu);
    EXPECT_EQ(record.macroId, 0x15ABCDEFu);
    EXPECT_EQ(record.repeatMode, 1u);
    EXPECT_EQ(record.repeatCount, 3u);
    EXPECT_EQ(record.eventCount, 3u);
    EXPECT_EQ(record.events[1], Delay(50));
    EXPECT_EQ(record.events[3], 0u);
    EXPECT_EQ(MacroNameOf(record), u"Jump");
}

TEST_F(MacroStoreTest, ReplacingInPlaceLeavesNoStaleEvents) {
    BlobBuffer longer(7, {Press(1), Delay(5), Release(1), Delay(5), Press(2)});
    ASSERT_EQ(StoreMacroBlob(longer.get()), 1);
    BlobBuffer other(8, {Press(3)});
    ASSERT_EQ(StoreMacroBlob(other.get()), 1);
    BlobBuffer shorter(7, {Press(4)});
    ASSERT_EQ(StoreMacroBlob(shorter.get()), 1);
    EXPECT_EQ(IndexOf(7), 0);
    const MacroRecord& record = g_macroStore.records[0];
    EXPECT_EQ(record.eventCount, 1u);
    EXPECT_EQ(record.events[0], Press(4));
    for (uint32_t i = 1; i < MACRO_MAX_EVENTS; ++i) ASSERT_EQ(record.events[i], 0u) << i;
}

TEST_F(MacroStoreTest, FreeRecordWithStaleEventsIsCleared) {
    g_macroStore.records[0].events[10] = Press(9);  // left over in a foreign file
    BlobBuffer blob(5, {Press(1)});
    ASSERT_EQ(StoreMacroBlob(blob.get()), 1);
    EXPECT_EQ(g_macroStore.records[0].events[10], 0u);
}

TEST_F(MacroStoreTest, InvalidBlobsAreRefused) {
    BlobBuffer empty(1, {});
    EXPECT_EQ(empty.Header().size, 104u);
    EXPECT_EQ(StoreMacroBlob(empty.get()), 0) << "no rows";
    BlobBuffer foreign(2, {Press(1)});
    foreign.Header().magic = 0x12340010;
    EXPECT_EQ(StoreMacroBlob(foreign.get()), 0);
    EXPECT_EQ(StoreMacroBlob(nullptr), 0);
    EXPECT_FALSE(files.FileExists(kStorePath)) << "a refusal saves nothing";

    // One leading-delay row: the editor can make it, and its count may be 0.
    BlobBuffer delayOnly(3, {Delay(100)});
    delayOnly.Header().eventCount = 0;
    EXPECT_EQ(StoreMacroBlob(delayOnly.get()), 1);
    EXPECT_EQ(g_macroStore.records[0].eventCount, 0u);
}

// The count comes from outside: never more events than the blob holds, never
// more than a record holds.
TEST_F(MacroStoreTest, EventCountIsBoundedByTheBlobAndTheRecord) {
    BlobBuffer blob(0x15000010, {Press(1), Release(1)});
    blob.Header().eventCount = 65535;
    ASSERT_EQ(StoreMacroBlob(blob.get()), 1);
    EXPECT_EQ(g_macroStore.records[0].eventCount, 2u);
    EXPECT_EQ(g_macroStore.records[1].magic, 0u) << "the next record is untouched";

    // A size field claiming more than the buffer holds is bounded by the buffer.
    BlobBuffer lying(0x15000011, {Press(1), Release(1), Press(2)});
    lying.Header().size = 684;
    lying.Header().eventCount = 145;
    ASSERT_EQ(StoreMacroBlob(lying.get(), lying.BufferSize()), 1);
    EXPECT_EQ(FindMacroRecord(0x15000011)->eventCount, 3u);

    std::vector<MacroEvent> many(1200, Delay(1));
    BlobBuffer huge(0x15000012, many);
    ASSERT_EQ(StoreMacroBlob(huge.get()), 1);
    EXPECT_EQ(FindMacroRecord(0x15000012)->eventCount, MACRO_MAX_EVENTS);
}

TEST_F(MacroStoreTest, NamesAreTerminatedWithinTheirBuffer) {
    BlobBuffer blob(4, {Press(1)});
    for (char16_t& c : blob.Header().name) c = u'x';
    ASSERT_EQ(StoreMacroBlob(blob.get()), 1);
    EXPECT_EQ(g_macroStore.records[0].name[MACRO_NAME_LENGTH - 1], u'\0');
    EXPECT_EQ(MacroNameOf(g_macroStore.records[0]).size(), 39u);
}

TEST_F(MacroStoreTest, CopyIntoItselfRenamesInPlace) {
    BlobBuffer blob(0x15000020, {Press(0x41), Delay(20), Release(0x41)}, u"Old");
    ASSERT_EQ(StoreMacroBlob(blob.get()), 1);
    // The editor renames the record where it lies and hands it back.
    MacroRecord* record = FindMacroRecord(0x15000020);
    CopyToBuffer(record->name, u"New name");
    ASSERT_EQ(CopyMacroRecord(record), 1);
    EXPECT_EQ(MacroNameOf(*record), u"New name");
    EXPECT_EQ(record->eventCount, 3u);
    EXPECT_EQ(record->events[2], Release(0x41));
    EXPECT_EQ(IndexOf(0x15000020), 0);
}

TEST_F(MacroStoreTest, CopyOfAForeignRecordIsBounded) {
    MacroRecord record{};
    record.size = 4104;
    record.magic = MACRO_MAGIC;
    record.macroId = 0x15000030;
    record.eventCount = 5000;
    for (MacroEvent& event : record.events) event = Press(7);
    for (char16_t& c : record.name) c = u'n';
    ASSERT_EQ(CopyMacroRecord(&record), 1);
    const MacroRecord& stored = g_macroStore.records[0];
    EXPECT_EQ(stored.eventCount, MACRO_MAX_EVENTS);
    EXPECT_EQ(stored.name[MACRO_NAME_LENGTH - 1], u'\0');
    EXPECT_EQ(g_macroStore.records[1].magic, 0u);

    record.size = 104;
    EXPECT_EQ(CopyMacroRecord(&record), 0);
    EXPECT_EQ(CopyMacroRecord(nullptr), 0);
}

TEST_F(MacroStoreTest, FullStoreRefusesNewIdsAndStaysUnchanged) {
    // Through the real road: 500 saves of the whole store, with sleeps that only move the clock.
    uint32_t start = clock->TickCount();
    for (uint32_t i = 0; i < MACRO_STORE_SIZE; ++i) {
        BlobBuffer blob(0x15000000 + i, {Press(0x41)});
        ASSERT_EQ(StoreMacroBlob(blob.get()), 1) << i;
    }
    EXPECT_GE(clock->TickCount() - start, 500u * 100u);
    const std::vector<uint8_t> before = StoreBytes();

    BlobBuffer extra(0x15FFFFFF, {Press(0x42)});
    EXPECT_EQ(StoreMacroBlob(extra.get()), 0);
    MacroRecord copy = g_macroStore.records[3];
    copy.macroId = 0x15FFFFFE;
    EXPECT_EQ(CopyMacroRecord(&copy), 0);
    EXPECT_EQ(StoreBytes(), before);

    // An existing id is still replaced.
    BlobBuffer again(0x15000007, {Press(0x43)});
    EXPECT_EQ(StoreMacroBlob(again.get()), 1);
    EXPECT_EQ(g_macroStore.records[7].events[0], Press(0x43));
}

TEST_F(MacroStoreTest, FileRoundTripAndPacing) {
    BlobBuffer blob(0x15000040, {Press(0x41), Delay(30), Release(0x41)}, u"Round");
    uint32_t t0 = clock->TickCount();
    ASSERT_EQ(StoreMacroBlob(blob.get()), 1);
    EXPECT_EQ(clock->TickCount() - t0, 100u) << "a new file: one pause after the write";
    auto file = files.GetFile(kStorePath);
    ASSERT_TRUE(file);
    EXPECT_EQ(*file, StoreBytes());

    t0 = clock->TickCount();
    DeleteMacroRecord(0x99);  // unknown: the store is saved all the same
    EXPECT_EQ(clock->TickCount() - t0, 200u) << "an existing file: a pause before and after";

    const std::vector<uint8_t> saved = StoreBytes();
    std::memset(&g_macroStore, 0, sizeof(g_macroStore));
    ASSERT_EQ(LoadMacroStore(), 1);
    EXPECT_EQ(StoreBytes(), saved);
    EXPECT_EQ(MacroNameOf(*FindMacroRecord(0x15000040)), u"Round");
}

TEST_F(MacroStoreTest, ShortOrForeignFilesLoadAsFarAsTheyGo) {
    EXPECT_EQ(LoadMacroStore(), 0) << "no file";

    // One and a half records of foreign bytes.
    std::vector<uint8_t> foreign(6000, 0x7F);
    files.PutFile(kStorePath, foreign);
    g_macroStore.records[400].magic = MACRO_MAGIC;
    ASSERT_EQ(LoadMacroStore(), 1);
    const MacroRecord& first = g_macroStore.records[0];
    EXPECT_EQ(first.eventCount, 0x7F7F7F7Fu) << "loaded as it is";
    EXPECT_EQ(MacroEventCountOf(first), MACRO_MAX_EVENTS) << "readers never go beyond the record";
    EXPECT_EQ(MacroNameOf(first).size(), 39u);
    EXPECT_EQ(g_macroStore.records[1].size, 0x7F7F7F7Fu);
    EXPECT_EQ(g_macroStore.records[1].events[600], 0u) << "zeros behind a short file";
    EXPECT_EQ(g_macroStore.records[400].magic, 0u);
}

TEST_F(MacroStoreTest, SaveErrorsOtherThanMissingWriteNothing) {
    files.FailOpen(kStorePath, FileError::AccessDenied);
    BlobBuffer blob(1, {Press(1)});
    EXPECT_EQ(StoreMacroBlob(blob.get()), 1) << "the store itself changes";
    EXPECT_TRUE(TakeMacroStoreSaveFailure());
    files.FailOpen(kStorePath, FileError::None);
    EXPECT_FALSE(files.FileExists(kStorePath));
}

TEST_F(MacroStoreTest, ASaveLeavesTheFilesBesideTheStoreAlone) {
    const std::u16string neighbours[] = {u"C:\\Quorvel\\MFile.new", u"C:\\Quorvel\\MFile.~00"};
    const std::vector<uint8_t> mine(40, 0x6D);
    for (const std::u16string& name : neighbours) files.PutFile(name, mine);
    BlobBuffer blob(0x15000001, {Press(0x41), Release(0x41)}, u"Kept");
    ASSERT_EQ(StoreMacroBlob(blob.get()), 1);
    EXPECT_FALSE(TakeMacroStoreSaveFailure());
    EXPECT_EQ(*files.GetFile(kStorePath), StoreBytes());
    for (const std::u16string& name : neighbours) EXPECT_EQ(files.GetFile(name), mine);
    EXPECT_EQ(files.FileNames().size(), 3u) << "nothing is left beside them";
}

// Two megabytes rewritten after every change: a disk that fills up half-way
// must cost the change, never the macros already saved.
TEST_F(MacroStoreTest, AFullDiskLeavesTheOldStoreWhole) {
    BlobBuffer first(0x15000001, {Press(0x41), Release(0x41)}, u"Kept");
    ASSERT_EQ(StoreMacroBlob(first.get()), 1);
    const std::vector<uint8_t> saved = *files.GetFile(kStorePath);

    EXPECT_FALSE(TakeMacroStoreSaveFailure());

    files.SetFreeSpace(sizeof(MacroRecord));
    BlobBuffer second(0x15000002, {Press(0x42)});
    EXPECT_EQ(StoreMacroBlob(second.get()), 1) << "the store itself changes";
    EXPECT_TRUE(TakeMacroStoreSaveFailure()) << "the editor must be able to tell the user";
    EXPECT_FALSE(TakeMacroStoreSaveFailure()) << "told once";
    EXPECT_EQ(*files.GetFile(kStorePath), saved);
    EXPECT_EQ(files.FileNames().size(), 1u) << "no half-written store is left beside it";

    files.SetFreeSpace(std::nullopt);
    DeleteMacroRecord(0x99);
    EXPECT_FALSE(TakeMacroStoreSaveFailure());
    EXPECT_EQ(*files.GetFile(kStorePath), StoreBytes()) << "the next save writes both";

    // A first save on a full disk leaves no piece of a store to load at the next start.
    files.Remove(kStorePath);
    files.SetFreeSpace(sizeof(MacroRecord));
    DeleteMacroRecord(0x99);
    EXPECT_TRUE(files.FileNames().empty());
}

}  // namespace
