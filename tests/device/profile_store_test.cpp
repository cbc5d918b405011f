#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/button_macro_ids.h"
#include "device/device_state.h"
#include "device/file_system.h"
#include "device/profiles.h"
#include "device/settings.h"
#include "device/user_notice.h"
#include "sim/memory_file_system.h"
#include "sim/memory_registry.h"
#include "support/profile_store_fixture.h"
#include "text/u16_buffer.h"
#include "text/ui_texts.h"

TEST_P(ProfileStoreTest, FirstRunCreatesKeyTableAndFirstProfile) {
    ASSERT_FALSE(env->KeyExists());
    LoadProfileTable();

    ASSERT_TRUE(env->KeyExists());
    auto table = env->GetValue(u"ConfigInfo");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->type, kRegBinary);
    EXPECT_EQ(table->bytes, Bytes(7960, 0));

    auto file = env->GetFile(ProfilePath(0));
    ASSERT_TRUE(file) << "the Config folder and the first profile are created";
    ASSERT_EQ(file->size(), sizeof(SettingsImage));
    SettingsImage stored = RecordOf(*file);
    EXPECT_EQ(stored.magic, SETTINGS_MAGIC) << "a file made from a zero record still carries the magic";
    EXPECT_EQ(stored.debounceTime, 8);
    EXPECT_EQ(stored.dpiStepsX[5], 127);
    EXPECT_EQ(stored.buttons[0].functionId, FUNC_LEFT_BUTTON);
    for (int i = 1; i < PROFILE_FILE_COUNT; ++i) EXPECT_FALSE(env->GetFile(ProfilePath(i)));

    EXPECT_EQ(0, std::memcmp(&stored, &g_settings, sizeof(stored)));
    ASSERT_EQ(g_activeProfile, &g_profileSlots[0]);
    for (int i = 0; i < PROFILE_SLOT_COUNT; ++i) {
        const ProfileSlot& slot = g_profileSlots[i];
        EXPECT_EQ(slot.magic, PROFILE_SLOT_MAGIC);
        EXPECT_EQ(slot.isActive, i == 0 ? 1u : 0u);
        if (i < PROFILE_FILE_COUNT) {
            EXPECT_EQ(BufferText(slot.name), u"FConfig" + std::u16string(1, char16_t(u'1' + i)));
            EXPECT_EQ(BufferText(slot.filePath), ProfilePath(i));
        } else {
            EXPECT_EQ(BufferText(slot.name), u"");
            EXPECT_EQ(BufferText(slot.filePath), u"");
        }
    }
}

TEST_P(ProfileStoreTest, ActiveSlotWithoutFileFallsBackToTheFirstProfile) {
    ProfileSlot table[PROFILE_SLOT_COUNT]{};
    table[2].isActive = 1;
    PutTable(table);
    env->AddFolder(env->Folder() + u"Config");
    SettingsImage first = SampleRecord(5);
    env->PutFile(ProfilePath(0), BytesOf(first));

    LoadProfileTable();

    EXPECT_TRUE(env->GetFile(ProfilePath(2))) << "the missing profile is created";
    EXPECT_EQ(g_profileSlots[2].isActive, 0u);
    ASSERT_EQ(g_activeProfile, &g_profileSlots[0]);
    EXPECT_EQ(g_profileSlots[0].isActive, 1u);
    EXPECT_EQ(g_settings.reportRateCode, 5) << "the first profile's own settings are loaded";
    EXPECT_EQ(env->GetValue(u"ConfigInfo")->bytes, BytesOfTable(table))
        << "a readable table is not written back while loading";
}

TEST_P(ProfileStoreTest, OnlyTheFirstLoadableActiveSlotStaysActive) {
    ProfileSlot table[PROFILE_SLOT_COUNT]{};
    table[1].isActive = 1;
    table[3].isActive = 1;
    PutTable(table);
    env->AddFolder(env->Folder() + u"Config");
    env->PutFile(ProfilePath(1), BytesOf(SampleRecord(2)));
    env->PutFile(ProfilePath(3), BytesOf(SampleRecord(3)));

    LoadProfileTable();

    ASSERT_EQ(g_activeProfile, &g_profileSlots[1]);
    EXPECT_EQ(g_settings.reportRateCode, 2);
    for (int i = 0; i < PROFILE_SLOT_COUNT; ++i)
        EXPECT_EQ(g_profileSlots[i].isActive, i == 1 ? 1u : 0u) << "slot " << i;
}

// Files as they may lie on a disk: each loads as far as it goes, behind a zero
// record, and leaves with the magic and a valid Y table.
TEST_P(ProfileStoreTest, ProfileFilesLoadAsFarAsTheyGo) {
    env->AddFolder(env->Folder() + u"Config");
    const std::u16string path = ProfilePath(1);

    SettingsImage noMarker = SampleRecord(4);
    noMarker.magic = 0;
    noMarker.yTableMarker = 0;
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        noMarker.dpiStepsX[i] = i + 1;
        noMarker.dpiStepsY[i] = 99;
    }
    env->PutFile(path, BytesOf(noMarker));
    std::memset(&g_settings, 0xCD, sizeof(g_settings));
    ASSERT_EQ(LoadProfileFile(path.c_str(), 0), 1);
    EXPECT_EQ(g_settings.magic, SETTINGS_MAGIC);
    EXPECT_EQ(g_settings.yTableMarker, Y_TABLE_MARKER);
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) EXPECT_EQ(g_settings.dpiStepsY[i], i + 1);
    EXPECT_EQ(g_settings.reportRateCode, 4);

    Bytes shortFile = BytesOf(SampleRecord(6));
    shortFile.resize(0x14CD);  // ends just after the report rate
    env->PutFile(path, shortFile);
    std::memset(&g_settings, 0xCD, sizeof(g_settings));
    ASSERT_EQ(LoadProfileFile(path.c_str(), 0), 1);
    EXPECT_EQ(g_settings.reportRateCode, 6);
    EXPECT_EQ(g_settings.powerDownTime, 0u) << "zeros behind a short file";
    EXPECT_EQ(g_settings.yTableMarker, Y_TABLE_MARKER);

    env->RemoveFile(path);
    EXPECT_EQ(LoadProfileFile(path.c_str(), 0), 0);
    EXPECT_FALSE(env->GetFile(path)) << "nothing is created without createIfMissing";
    EXPECT_EQ(LoadProfileFile(path.c_str(), 1), 0);
    EXPECT_TRUE(env->GetFile(path));
    EXPECT_EQ(LoadProfileFile(nullptr, 1), 0);
}

TEST_P(ProfileStoreTest, ButtonNamesFromAFileOrTheRegistryCopyEndWithinTheirBuffers) {
    // A record nobody checked: every name fills its buffer without a terminator.
    SettingsImage foreign = SampleRecord(2);
    for (ButtonAssignment& button : foreign.buttons) {
        for (char16_t& c : button.displayName) c = u'N';
    }
    env->AddFolder(env->Folder() + u"Config");
    env->PutFile(ProfilePath(0), BytesOf(foreign));
    env->PutValue(u"DefaultSetting", BytesOf(foreign), kRegBinary);
    for (const bool fromRegistry : {false, true}) {
        SCOPED_TRACE(fromRegistry ? "registry copy" : "file");
        g_defaultSettingInRegistry = fromRegistry ? 1 : 0;
        std::memset(&g_settings, 0, sizeof(g_settings));
        const std::u16string path = ProfilePath(0);
        ASSERT_EQ(LoadProfileFile(path.c_str(), 0), 1);
        EXPECT_EQ(g_settings.reportRateCode, 2);
        for (const ButtonAssignment& button : g_settings.buttons) {
            EXPECT_EQ(BufferText(button.displayName).size(), size_t(DISPLAY_NAME_LENGTH - 1));
        }
    }
}

TEST_P(ProfileStoreTest, MissingConfigFolderIsCreatedForAMissingProfile) {
    const std::u16string path = ProfilePath(2);
    EXPECT_EQ(LoadProfileFile(path.c_str(), 1), 0);
    auto file = env->GetFile(path);
    ASSERT_TRUE(file) << "path not found counts as file not found";
    EXPECT_EQ(RecordOf(*file).magic, SETTINGS_MAGIC);
}

// A ConfigInfo that is not a readable binary value never lends its bytes to the
// table: the table starts from zero and the zeroed bytes are written back.
TEST_P(ProfileStoreTest, UnreadableSlotTableIsRebuiltFromZero) {
    struct Case {
        const char* what;
        Bytes bytes;
        uint32_t type;
        size_t writtenBack;
    };
    Bytes activeSlot3(7960, 0);
    activeSlot3[3 * 1592 + 4] = 1;  // slot 3 active
    Bytes oversized(8000, 0x01);
    const Case cases[] = {
        {"another type", Bytes{1, 0, 0, 0}, kRegDword, 4},
        {"another type, table-sized", activeSlot3, kRegDword, 7960},
        {"larger than the table", oversized, kRegBinary, 7960},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetStore();
        env->AddFolder(env->Folder() + u"Config");
        env->PutFile(ProfilePath(0), BytesOf(SampleRecord(1)));
        env->PutFile(ProfilePath(3), BytesOf(SampleRecord(3)));
        env->PutValue(u"ConfigInfo", c.bytes, c.type);

        LoadProfileTable();

        auto table = env->GetValue(u"ConfigInfo");
        ASSERT_TRUE(table);
        EXPECT_EQ(table->type, kRegBinary);
        EXPECT_EQ(table->bytes, Bytes(c.writtenBack, 0));
        ASSERT_EQ(g_activeProfile, &g_profileSlots[0]);
        EXPECT_EQ(g_settings.reportRateCode, 1);
        for (const ProfileSlot& slot : g_profileSlots) {
            EXPECT_EQ(slot.reserved008, 0u);
            for (int32_t id : slot.appliedMacroIds) EXPECT_EQ(id, 0);
        }
    }
}

TEST_P(ProfileStoreTest, ShortSlotTableIsAcceptedAndForeignTextsAreBounded) {
    // One and a half slots; the fifth slot's texts come from a table that holds no terminator.
    ProfileSlot table[PROFILE_SLOT_COUNT]{};
    table[0].appliedMacroIds[2] = 0x15000001;
    table[4].isActive = 1;
    for (char16_t& c : table[4].name) c = u'N';
    for (char16_t& c : table[4].filePath) c = u'P';
    Bytes shortTable = BytesOfTable(table);
    shortTable.resize(2400);
    env->PutValue(u"ConfigInfo", shortTable, kRegBinary);
    LoadProfileTable();
    EXPECT_EQ(env->GetValue(u"ConfigInfo")->bytes.size(), 2400u) << "a short table is not rewritten";
    EXPECT_EQ(g_profileSlots[0].appliedMacroIds[2], 0x15000001);
    EXPECT_EQ(g_activeProfile, &g_profileSlots[0]);

    ResetStore();
    PutTable(table);
    LoadProfileTable();
    EXPECT_EQ(BufferText(g_profileSlots[4].name).size(), 259u);
    EXPECT_EQ(BufferText(g_profileSlots[4].filePath).size(), 259u);
    EXPECT_EQ(g_profileSlots[4].isActive, 0u) << "its path names no file";
    EXPECT_EQ(g_activeProfile, &g_profileSlots[0]);
}

TEST_P(ProfileStoreTest, SaveWritesTheActiveProfile) {
    LoadProfileTable();
    g_settings.reportRateCode = 3;
    SaveCurrentProfile(nullptr);
    EXPECT_EQ(RecordOf(*env->GetFile(ProfilePath(0))).reportRateCode, 3);
    EXPECT_TRUE(notices.shown.empty());
    for (int i = 1; i < PROFILE_FILE_COUNT; ++i) EXPECT_FALSE(env->GetFile(ProfilePath(i)));
}

// The new version of a profile goes to a file of its own first: the user's
// files beside the profile, whatever their names, are never written over.
TEST_P(ProfileStoreTest, SaveLeavesTheFilesBesideTheProfileAlone) {
    LoadProfileTable();
    const std::u16string config = env->Folder() + u"Config\\";
    const char16_t* const neighbours[] = {u"FConfig1.new", u"FConfig1.~00", u"FConfig1.ini.new"};
    const Bytes mine(40, 0x6D);
    for (const char16_t* name : neighbours) env->PutFile(config + name, mine);
    g_settings.reportRateCode = 3;
    SaveCurrentProfile(nullptr);
    EXPECT_EQ(RecordOf(*env->GetFile(ProfilePath(0))).reportRateCode, 3);
    EXPECT_TRUE(notices.shown.empty());
    for (const char16_t* name : neighbours) EXPECT_EQ(env->GetFile(config + name), mine);
    EXPECT_EQ(env->FileCount(config), 4u) << "nothing is left beside them";

    if (!env->ReadOnlyRefusesWrites()) return;
    // A profile that cannot be replaced: the file written for it goes again.
    env->SetReadOnly(ProfilePath(0), true);
    g_settings.reportRateCode = 4;
    SaveCurrentProfile(nullptr);
    env->SetReadOnly(ProfilePath(0), false);
    EXPECT_EQ(RecordOf(*env->GetFile(ProfilePath(0))).reportRateCode, 3);
    for (const char16_t* name : neighbours) EXPECT_EQ(env->GetFile(config + name), mine);
    EXPECT_EQ(env->FileCount(config), 4u);
}

TEST_P(ProfileStoreTest, SaveWithoutActiveProfileDoesNothing) {
    g_activeProfile = nullptr;
    SaveCurrentProfile(nullptr);
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_FALSE(env->KeyExists());
}

TEST_P(ProfileStoreTest, SaveIntoMissingFolderShowsTheLanguageTextWithThePath) {
    LoadProfileTable();
    env->RemoveFolder(env->Folder() + u"Config");
    // The text comes from a file the user may edit: only the first %s is a placeholder.
    g_uiTexts[UiText::str_msg2] = u"Cannot save %s (%d %n %s %%)";
    SaveCurrentProfile(nullptr);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].text, u"Cannot save " + ProfilePath(0) + u" (%d %n %s %%)");
    EXPECT_EQ(notices.shown[0].caption, u"Info");

    RecordingNotices owner;
    SaveCurrentProfile(&owner);
    EXPECT_EQ(owner.shown.size(), 1u) << "the owner's sink shows it when one is given";
    EXPECT_EQ(notices.shown.size(), 1u);
}

TEST_P(ProfileStoreTest, AccessDeniedFirstProfileGoesToTheRegistry) {
    if (!env->ReadOnlyRefusesWrites()) GTEST_SKIP() << "read-only files are written here";
    LoadProfileTable();
    g_uiTexts[UiText::str_profile1] = u"FConfig1";
    SettingsImage onDisk = RecordOf(*env->GetFile(ProfilePath(0)));
    env->SetReadOnly(ProfilePath(0), true);

    g_settings.reportRateCode = 6;
    SaveCurrentProfile(nullptr);
    EXPECT_TRUE(notices.shown.empty());
    EXPECT_EQ(g_defaultSettingInRegistry, 1u);
    auto copy = env->GetValue(u"DefaultSetting");
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->type, kRegBinary);
    EXPECT_EQ(copy->bytes, BytesOf(g_settings));
    EXPECT_EQ(RecordOf(*env->GetFile(ProfilePath(0))).reportRateCode, onDisk.reportRateCode)
        << "the refused file is left as it was";

    // From now on the registry copy stands for the first profile, although its file exists.
    std::memset(&g_settings, 0, sizeof(g_settings));
    EXPECT_EQ(LoadProfileFile(g_profileSlots[0].filePath, 0), 1);
    EXPECT_EQ(g_settings.reportRateCode, 6);
    env->SetReadOnly(ProfilePath(0), false);
}

TEST_P(ProfileStoreTest, AccessDeniedOtherProfileIsNotRescued) {
    if (!env->ReadOnlyRefusesWrites()) GTEST_SKIP() << "read-only files are written here";
    LoadProfileTable();
    g_uiTexts[UiText::str_profile1] = u"Profile 1";  // not the slot's name
    g_uiTexts[UiText::str_msg2] = u"Cannot save %s";
    env->SetReadOnly(ProfilePath(0), true);
    SaveCurrentProfile(nullptr);
    ASSERT_EQ(notices.shown.size(), 1u) << "the refused save is told";
    EXPECT_EQ(notices.shown[0].text, u"Cannot save " + ProfilePath(0));
    EXPECT_FALSE(env->GetValue(u"DefaultSetting"));
    EXPECT_EQ(g_defaultSettingInRegistry, 0u);
    env->SetReadOnly(ProfilePath(0), false);
}

TEST_P(ProfileStoreTest, ResetRewritesOnlyProfileSwitchFunctions) {
    LoadProfileTable();
    std::vector<Bytes> before(PROFILE_FILE_COUNT);
    for (int i = 0; i < 3; ++i) {
        SettingsImage record = SampleRecord(uint8_t(i));
        record.buttons[1].functionId = FUNC_PROFILE_SWITCH;
        record.buttons[1].macroId = 0x15000009;
        record.buttons[4].functionId = i == 2 ? FUNC_PROFILE_SWITCH : FUNC_MACRO;
        before[i] = BytesOf(record);
        env->PutFile(ProfilePath(i), before[i]);
    }
    // The fourth profile has no file: it is skipped, not created.
    g_settings.buttons[1].functionId = FUNC_DPI_LOOP;
    g_settings.buttons[4].functionId = FUNC_BACKWARD;

    ResetProfileSwitchButtonsInFiles();

    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        auto after = env->GetFile(ProfilePath(i));
        ASSERT_TRUE(after);
        Bytes expected = before[i];
        SettingsImage record = RecordOf(expected);
        record.buttons[1].functionId = FUNC_DPI_LOOP;
        if (i == 2) record.buttons[4].functionId = FUNC_BACKWARD;
        EXPECT_EQ(*after, BytesOf(record));
    }
    EXPECT_FALSE(env->GetFile(ProfilePath(3)));
}

TEST_P(ProfileStoreTest, SwitchOntoMissingProfileGoesOnWithTheNewProfile) {
    env->AddFolder(env->Folder() + u"Config");
    env->PutFile(ProfilePath(0), BytesOf(SampleRecord(5)));
    LoadProfileTable();
    g_settings.powerDownTime = 777;  // an edit of the first profile
    const Bytes firstBeforeSwitch = [&] {
        SettingsImage edited = g_settings;
        return BytesOf(edited);
    }();

    g_buttonMacroIds[1] = 0x15000001;  // an assignment made for the old profile

    ASSERT_TRUE(SwitchActiveProfile(2, nullptr));

    EXPECT_EQ(g_buttonMacroIds[1], 0) << "forgotten with the old profile's settings";
    EXPECT_EQ(*env->GetFile(ProfilePath(0)), firstBeforeSwitch) << "the old profile was saved first";
    ASSERT_EQ(g_activeProfile, &g_profileSlots[2]);
    for (int i = 0; i < PROFILE_SLOT_COUNT; ++i)
        EXPECT_EQ(g_profileSlots[i].isActive, i == 2 ? 1u : 0u);
    EXPECT_EQ(g_settings.powerDownTime, 60u) << "the new profile's defaults";
    ASSERT_TRUE(env->GetFile(ProfilePath(2)));

    // The next save point writes the new profile, and the old one keeps its settings.
    SaveCurrentProfile(nullptr);
    EXPECT_EQ(*env->GetFile(ProfilePath(0)), firstBeforeSwitch);
    EXPECT_EQ(*env->GetFile(ProfilePath(2)), BytesOf(g_settings));
}

TEST_P(ProfileStoreTest, RunMarker) {
    struct Case {
        const char* what;
        std::optional<StoredValue> before;
        StoredValue after;
    };
    const Case cases[] = {
        {"missing", std::nullopt, {kRegBinary, {1, 0, 0, 0}}},
        {"present", StoredValue{kRegBinary, {9, 9}}, {kRegBinary, {9, 9}}},
        {"another type", StoredValue{kRegDword, {5, 0, 0, 0}}, {kRegBinary, {1, 0, 0, 0}}},
        {"longer than four bytes", StoredValue{kRegBinary, {7, 7, 7, 7, 7, 7}},
         {kRegBinary, {1, 0, 0, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetStore();
        env->PutValue(u"Language", {2, 0, 0, 0}, kRegBinary);  // the key exists
        if (c.before) env->PutValue(u"OstrelRun", c.before->bytes, c.before->type);
        EnsureRunMarker();
        auto value = env->GetValue(u"OstrelRun");
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type, c.after.type);
        EXPECT_EQ(value->bytes, c.after.bytes);
    }

    ResetStore();
    EnsureRunMarker();
    ASSERT_TRUE(env->KeyExists()) << "the marker creates the key";
    EXPECT_EQ(env->GetValue(u"OstrelRun")->bytes, (Bytes{1, 0, 0, 0}));
}

TEST_P(ProfileStoreTest, LanguageSetting) {
    struct Case {
        const char* what;
        Bytes bytes;
        uint32_t type;
        uint32_t expected;
    };
    const Case cases[] = {
        {"0 bytes keep the preset 1", {}, kRegBinary, 1},
        {"1 byte", {7}, kRegBinary, 7},
        {"2 bytes", {2, 1}, kRegBinary, 0x0102},
        {"3 bytes, the fourth stays 0", {3, 2, 1}, kRegBinary, 0x010203},
        {"4 bytes", {2, 0, 0, 0}, kRegBinary, 2},
        {"5 bytes", {2, 0, 0, 0, 0}, kRegBinary, 0},
        {"another type", {2, 0, 0, 0}, kRegDword, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetStore();
        env->PutValue(u"Language", c.bytes, c.type);
        EXPECT_EQ(ReadLanguageSetting(), c.expected);
    }

    ResetStore();
    EXPECT_EQ(ReadLanguageSetting(), 0u) << "no key";
    EXPECT_FALSE(env->KeyExists()) << "reading never creates the key";
    WriteLanguageSetting(0x0302);
    auto value = env->GetValue(u"Language");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, kRegBinary);
    EXPECT_EQ(value->bytes, (Bytes{2, 3, 0, 0}));
    EXPECT_EQ(ReadLanguageSetting(), 0x0302u);
}

TEST_P(ProfileStoreTest, SyncEndWritesTheTableOnlyIntoAnExistingKey) {
    WriteProfileTableToRegistry();
    EXPECT_FALSE(env->KeyExists());

    LoadProfileTable();
    g_profileSlots[0].appliedMacroIds[4] = 0x15000042;
    WriteProfileTableToRegistry();
    EXPECT_EQ(env->GetValue(u"ConfigInfo")->bytes, BytesOfTable(g_profileSlots));
}

INSTANTIATE_TEST_SUITE_P(Store, ProfileStoreTest, ::testing::Values(MemoryStoreEnv()),
                         StoreEnvName);
