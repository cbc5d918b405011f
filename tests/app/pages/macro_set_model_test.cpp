// The macro editor's decisions: rows of a stored macro, recording with and
// without real delays, the insert menu's rules, the merge, the stored image,
// the count field, ids, renames and applying a macro against a simulated mouse.
#include "app/pages/macro_set_model.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "device/file_system.h"
#include "device/key_names.h"
#include "device/macro_image.h"
#include "device/profiles.h"
#include "device/settings.h"
#include "sim/memory_file_system.h"
#include "support/cable_driver_fixture.h"
#include "support/stored_macro.h"
#include "text/u16_buffer.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kA = 'A';
constexpr uint32_t kB = 'B';

MacroEventRow Press(uint32_t vk) { return MacroKeyRow(LIST_ITEM_KEY_DOWN, vk); }
MacroEventRow Release(uint32_t vk) { return MacroKeyRow(LIST_ITEM_KEY_UP, vk); }
MacroEventRow Delay(uint32_t ms) { return MacroDelayRow(ms); }
MacroEventRow Click(uint32_t ms = MACRO_CLICK_DELAY) { return {LIST_ITEM_DELAY, ms, u"50 ms"}; }

// The store in memory files, empty, and the settings and profile slots cleared.
class MacroStoreScope : public testing::Test {
protected:
    void SetUp() override {
        Clear();
        files.AddFolder(u"C:\\Quorvel\\");
        SetFileSystem(&files);
        SetProgramFolder(u"C:\\Quorvel\\");
    }
    void TearDown() override {
        SetFileSystem(nullptr);
        SetProgramFolder(u"");
        Clear();
    }
    static void Clear() {
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        std::memset(&g_settings, 0, sizeof(g_settings));
        std::memset(g_profileSlots, 0, sizeof(g_profileSlots));
        g_lastHookVk = 0;
        g_lastHookFlags = 0;
    }
    static MacroRecord& StoreRecord(int index, uint32_t id, std::vector<MacroEvent> events, const char16_t* name) {
        MacroRecord& m = PutStoredMacro(index, id, name, events);
        m.repeatMode = 1;
        m.repeatCount = 3;
        return m;
    }

    MemoryFileSystem files;
};

TEST(MacroRowsTest, AStoredMacroShowsAsRows) {
    MacroRecord record{};
    record.macroId = 0x15000001;
    record.repeatMode = 7;
    record.repeatCount = MACRO_REPEAT_SINGLE_KEY;
    record.events[0] = MakeMacroEvent(MACRO_EVENT_PRESS, kA);
    record.events[1] = MakeMacroEvent(MACRO_EVENT_DELAY, 120);
    record.events[2] = MakeMacroEvent(MACRO_EVENT_RELEASE, kA);
    record.eventCount = 3;
    ShownMacro shown = ShowMacroRecord(record);
    EXPECT_EQ(shown.rows, (MacroRows{Press(kA), {LIST_ITEM_DELAY, 120, u"120  ms"}, Release(kA)}));
    EXPECT_EQ(shown.rows[0].text, VkToKeyName(kA));
    EXPECT_EQ(shown.countText, u"1");  // a single key press shows a count of 1
    EXPECT_EQ(shown.repeatMode, 2);
    EXPECT_EQ(record.repeatMode, 2u);  // and the record is mended
    EXPECT_FALSE(shown.badEvent);

    record.repeatCount = 12;
    record.events[1] = MakeMacroEvent(0x55, 1);
    shown = ShowMacroRecord(record);
    EXPECT_EQ(shown.countText, u"12");
    EXPECT_EQ(shown.rows, MacroRows{Press(kA)});
    EXPECT_TRUE(shown.badEvent);

    // A record from a file nobody checked: no more than the 1000 events it has room for.
    record.eventCount = 5000;
    for (MacroEvent& e : record.events) e = MakeMacroEvent(MACRO_EVENT_DELAY, 1);
    EXPECT_EQ(ShowMacroRecord(record).rows.size(), MACRO_MAX_EVENTS);
}

TEST(MacroRecordingTest, RealDelaysGoBetweenKeysOnly) {
    g_lastHookVk = g_lastHookFlags = 0;
    MacroRecorder recorder;
    recorder.Start();
    RecordStep step = recorder.Key(kA, 0, 1000, true, u"10", 0);
    EXPECT_EQ(step.outcome, RecordedKey::Added);
    EXPECT_EQ(step.rows, MacroRows{Press(kA)});  // the first key has no delay before it
    // A held key repeats its press: recorded once.
    EXPECT_EQ(recorder.Key(kA, 0, 1030, true, u"10", 1).outcome, RecordedKey::Ignored);
    step = recorder.Key(kA, 0x80, 1250, true, u"10", 1);
    EXPECT_EQ(step.rows, (MacroRows{Delay(250), Release(kA)}));
    EXPECT_EQ(recorder.Key(kA, 0x80, 1300, true, u"10", 3).outcome, RecordedKey::Ignored);  // a second release
    // A pause longer than a delay can hold.
    step = recorder.Key(kB, 0, 1250 + 100000, true, u"10", 3);
    EXPECT_EQ(step.rows, (MacroRows{Delay(0xFFFF), Press(kB)}));
    EXPECT_EQ(recorder.m_recordedKeyCount, 3u);
}

TEST(MacroRecordingTest, AFixedDelayGoesBeforeEveryKey) {
    g_lastHookVk = g_lastHookFlags = 0;
    MacroRecorder recorder;
    recorder.Start();
    MacroRows rows;
    for (auto [vk, flags] : {std::pair{kA, 0u}, std::pair{kA, 0x80u}}) {
        RecordStep step = recorder.Key(vk, flags, 5000, false, u"10", rows.size());
        rows.insert(rows.end(), step.rows.begin(), step.rows.end());
    }
    EXPECT_EQ(rows, (MacroRows{Delay(10), Press(kA), Delay(10), Release(kA)}));
    // The stored macro starts at the first key.
    std::optional<MacroBlobImage> image = BuildMacroBlob(rows, 0x15000001, u"M", 2, u"1");
    ASSERT_TRUE(image);
    EXPECT_EQ(image->blob()->eventCount, 3u);

    struct Case {
        const char16_t* text;
        uint32_t delay;
    };
    const Case cases[] = {{u"10", 10}, {u"0", 0}, {u"", 10}, {u"abc", 10}, {u"-5", 10},
                          {u"65535", 65535}, {u"70000", 65535}, {u"99999999999999999999", 65535}};
    for (const Case& c : cases) EXPECT_EQ(FixedDelayOf(c.text), c.delay) << c.delay;
}

TEST(MacroRecordingTest, SeventyKeysAndAThousandRowsAtMost) {
    g_lastHookVk = g_lastHookFlags = 0;
    MacroRecorder recorder;
    recorder.Start();
    size_t rows = 0;
    for (int i = 0; i < MACRO_RECORD_KEY_LIMIT; ++i) {
        RecordStep step = recorder.Key(kA, i % 2 ? 0x80 : 0, 100 + i, true, u"", rows);
        ASSERT_EQ(step.outcome, RecordedKey::Added) << i;
        rows += step.rows.size();
    }
    RecordStep refused = recorder.Key(kB, 0, 500, true, u"", rows);
    EXPECT_EQ(refused.outcome, RecordedKey::KeyLimit);
    EXPECT_TRUE(refused.rows.empty());
    // The recording before goes on from where it was: the last key is kept.
    recorder.Start();
    EXPECT_EQ(recorder.Key(kA, 0x80, 100, true, u"", 0).outcome, RecordedKey::Ignored);
    // A list that is full takes no more keys.
    RecordStep full = recorder.Key(kB, 0, 100, false, u"10", MACRO_MAX_EVENTS - 1);
    EXPECT_EQ(full.outcome, RecordedKey::RowLimit);
    EXPECT_TRUE(full.rows.empty());
    EXPECT_EQ(recorder.m_recordedKeyCount, 0u);
}

TEST(MacroInsertTest, RowsGoAfterTheSelection) {
    const MacroRows rows{Press(kA), Delay(50), Release(kA)};
    struct Case {
        const char* what;
        int command;
        int selected;
        uint32_t value;
        MacroRows result;
    };
    const Case cases[] = {
        {"left click, no selection", MACRO_INSERT_LEFT, -1, 0,
         {Press(1), Click(), Release(1), Press(kA), Delay(50), Release(kA)}},
        {"right click after the first row", MACRO_INSERT_RIGHT, 0, 0,
         {Press(kA), Press(2), Click(), Release(2), Delay(50), Release(kA)}},
        {"middle click after the last row", MACRO_INSERT_MIDDLE, 2, 0,
         {Press(kA), Delay(50), Release(kA), Press(4), Click(), Release(4)}},
        {"a key after the first row", MACRO_INSERT_KEY, 0, kB,
         {Press(kA), Press(kB), Click(), Release(kB), Delay(50), Release(kA)}},
        {"a selection past the end counts as none", MACRO_INSERT_LEFT, 9, 0,
         {Press(1), Click(), Release(1), Press(kA), Delay(50), Release(kA)}},
        {"a delay on a selected delay replaces it", MACRO_INSERT_DELAY, 1, 300,
         {Press(kA), Delay(300), Release(kA)}},
        {"a delay before a delay replaces that one", MACRO_INSERT_DELAY, 0, 300,
         {Press(kA), Delay(300), Release(kA)}},
        {"a delay at the top, before a key, is inserted", MACRO_INSERT_DELAY, -1, 300,
         {Delay(300), Press(kA), Delay(50), Release(kA)}},
        {"a delay after the last row is inserted", MACRO_INSERT_DELAY, 2, 300,
         {Press(kA), Delay(50), Release(kA), Delay(300)}},
        {"an unknown command does nothing", 149, 0, 0, rows},
    };
    for (const Case& c : cases) {
        MacroRows result = rows;
        ApplyMacroEdits(result, PlanMacroInsert(c.command, rows, c.selected, c.value));
        EXPECT_EQ(result, c.result) << c.what;
    }
    EXPECT_EQ(PlanMacroInsert(MACRO_INSERT_DELAY, {}, -1, 5), (MacroEdits{{MacroRowEdit::Insert, 0, Delay(5)}}));
}

TEST(MacroInsertTest, NoInsertTakesTheListBeyondAThousandRows) {
    MacroRows rows(MACRO_MAX_EVENTS - 3, Delay(1));
    EXPECT_TRUE(MacroEditsFit(rows, PlanMacroInsert(MACRO_INSERT_LEFT, rows, 0, 0)));
    rows.push_back(Press(kA));
    EXPECT_FALSE(MacroEditsFit(rows, PlanMacroInsert(MACRO_INSERT_LEFT, rows, 0, 0)));
    rows.resize(MACRO_MAX_EVENTS, Delay(1));
    EXPECT_TRUE(MacroEditsFit(rows, PlanMacroInsert(MACRO_INSERT_DELAY, rows, 0, 7)));  // a replace adds nothing
    rows.back() = Press(kA);
    EXPECT_FALSE(MacroEditsFit(rows, PlanMacroInsert(MACRO_INSERT_DELAY, rows, int(rows.size()) - 1, 7)));
}

TEST(MacroModifyTest, RowsKeepTheirTypeAndTakeTheNewValue) {
    EXPECT_EQ(MacroModifyMode(Release(kA)), 0);
    EXPECT_EQ(MacroModifyMode(Press(kA)), 0);
    EXPECT_EQ(MacroModifyMode(Delay(10)), 1);
    EXPECT_EQ(MacroModifyMode({LIST_ITEM_TYPED, 0, u"?"}), -1);
    EXPECT_EQ(ModifiedMacroRow(Release(kA), kB), Release(kB));
    EXPECT_EQ(ModifiedMacroRow(Press(kA), kB), Press(kB));
    EXPECT_EQ(ModifiedMacroRow(Press(kA), 0), std::nullopt);  // no key came
    EXPECT_EQ(ModifiedMacroRow(Delay(10), 300), (MacroEventRow{LIST_ITEM_DELAY, 300, u"300 ms"}));
}

TEST(MacroMergeTest, RunsOfDelaysBecomeOneRow) {
    const MacroRows rows{Delay(200), Delay(300), Press(kA), Delay(10), Delay(20), Delay(30), Release(kA)};
    MergedRows merged = MergeMacroDelays(rows, 5);
    EXPECT_TRUE(merged.changed);
    EXPECT_EQ(merged.rows, (MacroRows{Delay(500), Press(kA), Delay(60), Release(kA)}));
    EXPECT_EQ(merged.rows[0].text, u"500  ms");
    EXPECT_EQ(merged.selected, 2);  // the selected delay went into the merged one
    EXPECT_EQ(MergeMacroDelays(rows, 6).selected, 3);
    EXPECT_EQ(MergeMacroDelays(rows, -1).selected, -1);
    // The sum stops where the mouse's 16 bits do.
    EXPECT_EQ(MergeMacroDelays({Delay(40000), Delay(40000)}, 0).rows, MacroRows{Delay(0xFFFF)});
    MergedRows same = MergeMacroDelays({Press(kA), Delay(5), Release(kA)}, 1);
    EXPECT_FALSE(same.changed);
    EXPECT_EQ(same.selected, 1);
}

TEST(MacroBlobTest, FieldsOfTheStoredImage) {
    const MacroRows rows{Delay(10), Press(kA), Delay(10), Release(kA)};
    std::optional<MacroBlobImage> image = BuildMacroBlob(rows, 0x15000001, u"Greeting", 1, u"3");
    ASSERT_TRUE(image);
    const MacroBlob* blob = image->blob();
    EXPECT_EQ(blob->size, 104u + 4 * 4);  // every row counts, the dropped one too
    EXPECT_EQ(blob->magic, MACRO_MAGIC);
    EXPECT_EQ(blob->macroId, 0x15000001u);
    EXPECT_EQ(blob->repeatMode, 1u);
    EXPECT_EQ(blob->repeatCount, 3u);
    EXPECT_EQ(std::u16string(blob->name), u"Greeting");
    ASSERT_EQ(blob->eventCount, 3u);
    EXPECT_EQ(blob->Events()[0], 0xC0000041u);
    EXPECT_EQ(blob->Events()[1], 0xA000000Au);
    EXPECT_EQ(blob->Events()[2], 0xE0000041u);
    EXPECT_EQ(image->bytes(), 104u + 3 * 4);

    struct Case {
        MacroRows rows;
        int mode;
        const char16_t* count;
        uint32_t repeatMode, repeatCount;
    };
    const Case cases[] = {
        {{Press(kA)}, 2, u"9", 2, MACRO_REPEAT_SINGLE_KEY},  // exactly one key press
        {{Delay(5), Press(kA)}, 2, u"9", 2, MACRO_REPEAT_SINGLE_KEY},
        {{Release(kA)}, 2, u"9", 2, 9},
        {rows, 0, u"", 0, 1},
        {rows, 2, u"0", 2, 1},
        {rows, 2, u"x", 2, 1},
        {rows, 2, u"-4", 2, 1},
        {rows, 2, u"70000", 2, 0xFFFD},
        {rows, -1, u"2", 2, 2},  // no radio selected
    };
    for (const Case& c : cases) {
        std::optional<MacroBlobImage> built = BuildMacroBlob(c.rows, 1, u"", c.mode, c.count);
        ASSERT_TRUE(built);
        EXPECT_EQ(built->blob()->repeatMode, c.repeatMode);
        EXPECT_EQ(built->blob()->repeatCount, c.repeatCount);
    }
    EXPECT_EQ(BuildMacroBlob({}, 1, u"", 2, u"1"), std::nullopt);
    std::u16string longName(60, u'n');
    EXPECT_EQ(std::u16string(BuildMacroBlob(rows, 1, longName, 2, u"1")->blob()->name), longName.substr(0, 39));
}

TEST(MacroCountFieldTest, TheTwoSecondCheck) {
    struct Case {
        const char16_t* text;
        std::optional<std::u16string> fixed;
    };
    const Case cases[] = {
        {u"1", std::nullopt},      {u"12", std::nullopt}, {u"00012", std::nullopt}, {u"65534", std::nullopt},
        {u"0", u"1"},              {u"", u"1"},           {u"abc", u"1"},           {u"1a", u"1"},
        {u"65535", u"65534"},      {u"99999", u"65534"},  {u"-1", u"65534"},        {u"-", u"1"},
    };
    for (const Case& c : cases) EXPECT_EQ(NormalisedCountText(c.text), c.fixed);
}

TEST(MacroIdTest, NewIdsTakeTheTickAndNeverAnIdInUse) {
    auto none = [](uint32_t) { return false; };
    EXPECT_EQ(NewMacroId(0x12345678, none), 0x15345678u);
    auto taken = [](uint32_t id) { return id == 0x15345678 || id == 0x15345679; };
    EXPECT_EQ(NewMacroId(0x12345678, taken), 0x1534567Au);
    auto top = [](uint32_t id) { return id == 0x15FFFFFF; };
    EXPECT_EQ(NewMacroId(0x00FFFFFF, top), 0x15000000u);
    EXPECT_EQ(NewMacroName(u""), u"New Macro");
    EXPECT_EQ(NewMacroName(u"Mine"), u"Mine");
}

TEST_F(MacroStoreScope, SavedRowsComeBackAsTheyWere) {
    const MacroRows rows{Press(kA), Delay(120), Release(kA)};
    std::optional<MacroBlobImage> image = BuildMacroBlob(rows, 0x15000007, u"Saved", 1, u"4");
    ASSERT_TRUE(image);
    ASSERT_EQ(StoreMacroBlob(image->blob(), image->bytes()), 1);
    MacroRecord* record = FindMacroRecord(0x15000007);
    ASSERT_NE(record, nullptr);
    ShownMacro shown = ShowMacroRecord(*record);
    EXPECT_EQ(shown.rows, rows);
    EXPECT_EQ(shown.countText, u"4");
    EXPECT_EQ(shown.repeatMode, 1);
    EXPECT_EQ(MacroNameOf(*record), u"Saved");
}

TEST_F(MacroStoreScope, ARenameReachesTheStoreAndTheMacroButtons) {
    StoreRecord(4, 0x15000002, {MakeMacroEvent(MACRO_EVENT_PRESS, kA)}, u"Old");
    g_settings.buttons[2].functionId = FUNC_MACRO;
    g_settings.buttons[2].macroId = 0x15000002;
    g_settings.buttons[3].functionId = FUNC_LEFT_BUTTON;  // once a macro button, now a left click
    g_settings.buttons[3].macroId = 0x15000002;
    CopyToBuffer(g_settings.buttons[3].displayName, u"Left");

    EXPECT_TRUE(RenameStoredMacro(0x15000002, u"New name"));
    EXPECT_EQ(MacroNameOf(g_macroStore.records[4]), u"New name");
    EXPECT_EQ(std::u16string(g_settings.buttons[2].displayName), u"Macro:New name");
    EXPECT_EQ(std::u16string(g_settings.buttons[3].displayName), u"Left");
    EXPECT_TRUE(files.GetFile(u"C:\\Quorvel\\MFile.ini").has_value());
    EXPECT_FALSE(RenameStoredMacro(0x15000002, u"New name"));  // nothing differs
    EXPECT_FALSE(RenameStoredMacro(0x15000009, u"Nobody"));
}

TEST_F(MacroStoreScope, AMacroAProfileAppliesCannotBeDeleted) {
    EXPECT_FALSE(IsMacroApplied(0x15000002));
    g_profileSlots[3].appliedMacroIds[1] = 0x15000002;
    EXPECT_TRUE(IsMacroApplied(0x15000002));
    EXPECT_FALSE(IsMacroApplied(0x15000003));
}

class MacroApplyTest : public MacroStoreScope, protected CableDriverFixture {};

TEST_F(MacroApplyTest, TheMacroGoesToEveryButtonThatPlaysItThenItsCommand) {
    ASSERT_TRUE(Open());
    StoreRecord(0, 0x15000005,
                {MakeMacroEvent(MACRO_EVENT_PRESS, kA), MakeMacroEvent(MACRO_EVENT_DELAY, 30),
                 MakeMacroEvent(MACRO_EVENT_RELEASE, kA)},
                u"Play");
    for (int i : {0, 3}) {
        g_settings.buttons[i].functionId = FUNC_MACRO;
        g_settings.buttons[i].macroId = 0x15000005;
    }
    g_settings.buttons[1].functionId = FUNC_RIGHT_BUTTON;
    g_settings.buttons[1].macroId = 0x15000005;

    EXPECT_EQ(ApplyMacroToButtons(0x15000005, 2, u"5", &driver), (std::vector<uint8_t>{0, 4}));
    EXPECT_EQ(g_macroStore.records[0].repeatMode, 2u);
    EXPECT_EQ(g_macroStore.records[0].repeatCount, 5u);
    std::vector<Bytes> buttonCommands;
    for (const Bytes& c : Commands())
        if (c[0] == CMD_SET_BUTTON) buttonCommands.push_back(c);
    EXPECT_EQ(buttonCommands, (std::vector<Bytes>{{0x06, 0x00, 0x09, 0x00, 0x00, 0x00},
                                                  {0x06, 0x04, 0x09, 0x00, 0x04, 0x00}}));
    uint8_t expected[MACRO_IMAGE_BUFFER_SIZE];
    BuildDeviceMacroImage(g_macroStore.records[0], 4, expected, VkToHidUsage);
    EXPECT_EQ(mouse->MacroImage(4), Bytes(expected, expected + DEVICE_MACRO_IMAGE_SIZE));

    // Modes 0 and 1 keep the stored count.
    ApplyMacroToButtons(0x15000005, 0, u"9", &driver);
    EXPECT_EQ(g_macroStore.records[0].repeatMode, 0u);
    EXPECT_EQ(g_macroStore.records[0].repeatCount, 5u);

    // A button whose upload failed is not pointed at its slot.
    backend.ClearLog();
    mouse->SetMacroChunkFault(5, SimChunkFault::FailData);
    EXPECT_TRUE(ApplyMacroToButtons(0x15000005, 2, u"1", &driver).empty());
    int outputs = 0;
    for (const SimReport& r : backend.Log()) outputs += r.kind == SimReport::Kind::Output;
    EXPECT_GT(outputs, 0);  // both uploads were tried
    for (const Bytes& c : Commands()) EXPECT_NE(c[0], CMD_SET_BUTTON);
    EXPECT_TRUE(ApplyMacroToButtons(0x15000099, 2, u"1", &driver).empty());
}

}  // namespace
