// Failures only the in-memory registry and files can produce at will.
#include <gtest/gtest.h>

#include <string>

#include "device/button_macro_ids.h"
#include "device/file_system.h"
#include "device/profiles.h"
#include "sim/memory_file_system.h"
#include "sim/memory_registry.h"
#include "support/profile_store_fixture.h"
#include "text/u16_buffer.h"

class ProfileStoreFaultTest : public ProfileStoreTest {
protected:
    MemoryRegistry& Registry() { return *env->FakeRegistry(); }
    MemoryFileSystem& Files() { return *env->FakeFiles(); }
};

TEST_P(ProfileStoreFaultTest, EveryAccessClosesTheKey) {
    LoadProfileTable();
    EnsureRunMarker();
    WriteLanguageSetting(2);
    ReadLanguageSetting();
    WriteProfileTableToRegistry();
    EXPECT_EQ(Registry().OpenKeyCount(), 0);
    EXPECT_EQ(Files().OpenFileCount(), 0);
}

TEST_P(ProfileStoreFaultTest, SaveFailuresByReason) {
    struct Case {
        const char* what;
        FileError error;
        bool messageShown;
    };
    // Every save that leaves the file behind the settings is told: the changes
    // would be gone at the next start.
    const Case cases[] = {
        {"file not found", FileError::NotFound, true},
        {"path not found", FileError::PathNotFound, true},
        {"access denied, not the first profile's name", FileError::AccessDenied, true},
        {"any other error", FileError::Other, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ResetStore();
        LoadProfileTable();
        g_uiTexts[UiText::str_msg2] = u"%s is missing";
        Files().FailOpen(ProfilePath(0), c.error);
        SaveCurrentProfile(nullptr);
        if (c.messageShown) {
            ASSERT_EQ(notices.shown.size(), 1u);
            EXPECT_EQ(notices.shown[0].text, ProfilePath(0) + u" is missing");
        } else {
            EXPECT_TRUE(notices.shown.empty());
        }
    }
}

TEST_P(ProfileStoreFaultTest, RegistryRescueThatFailsIsShown) {
    LoadProfileTable();
    g_uiTexts[UiText::str_profile1] = u"FConfig1";
    g_uiTexts[UiText::str_msg5] = u"Could not save the profile.";
    Files().SetReadOnly(ProfilePath(0), true);
    Registry().FailWrites(true);
    SaveCurrentProfile(nullptr);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].text, u"Could not save the profile.");
    EXPECT_EQ(g_defaultSettingInRegistry, 0u);

    Registry().FailWrites(false);
    Registry().FailOpen(true);
    SaveCurrentProfile(nullptr);
    EXPECT_EQ(notices.shown.size(), 2u) << "a key that does not open is shown too";
}

TEST_P(ProfileStoreFaultTest, FullDiskLeavesTheOldProfileWhole) {
    LoadProfileTable();
    const Bytes before = *Files().GetFile(ProfilePath(0));
    g_settings.reportRateCode = 2;
    Files().SetFreeSpace(1000);
    g_uiTexts[UiText::str_msg2] = u"not saved: %s";
    SaveCurrentProfile(nullptr);
    EXPECT_EQ(*Files().GetFile(ProfilePath(0)), before);
    EXPECT_EQ(Files().FileNames().size(), 1u) << "no half-written file is left beside it";
    ASSERT_EQ(notices.shown.size(), 1u) << "the lost change is not silent";
    EXPECT_EQ(notices.shown[0].text, u"not saved: " + ProfilePath(0));
}

// Without a language file, or with one that lacks the text, a failed save
// still says what happened.
TEST_P(ProfileStoreFaultTest, FailedSaveIsToldWithoutItsLanguageText) {
    LoadProfileTable();
    Files().SetFreeSpace(1000);
    SaveCurrentProfile(nullptr);
    Files().SetFreeSpace(std::nullopt);

    g_uiTexts[UiText::str_profile1] = u"FConfig1";
    Files().SetReadOnly(ProfilePath(0), true);
    Registry().FailWrites(true);
    SaveCurrentProfile(nullptr);

    ASSERT_EQ(notices.shown.size(), 2u);
    EXPECT_EQ(notices.shown[0].text, u"The profile could not be saved to " + ProfilePath(0) + u".");
    EXPECT_EQ(notices.shown[1].text, u"The profile could not be saved.");
    EXPECT_EQ(notices.shown[1].caption, u"Info");
}

TEST_P(ProfileStoreFaultTest, ProfileInAFolderWithoutNewFilesIsWrittenInPlace) {
    LoadProfileTable();
    Files().SetFolderReadOnly(env->Folder() + u"Config", true);
    g_settings.reportRateCode = 2;
    SaveCurrentProfile(nullptr);
    EXPECT_EQ(RecordOf(*Files().GetFile(ProfilePath(0))).reportRateCode, 2);
    EXPECT_TRUE(notices.shown.empty());
}

TEST_P(ProfileStoreFaultTest, ProgramFolderTooLongForTheSlots) {
    std::u16string folder = u"C:\\" + std::u16string(245, u'd') + u"\\";
    Files().AddFolder(folder);
    SetProgramFolder(folder);
    g_uiTexts[UiText::str_msg2] = u"missing: %s";
    LoadProfileTable();
    ASSERT_EQ(g_activeProfile, &g_profileSlots[0]);
    for (int i = 0; i < PROFILE_FILE_COUNT; ++i)
        EXPECT_EQ(BufferText(g_profileSlots[i].filePath), u"") << "slot " << i;
    EXPECT_TRUE(Files().FileNames().empty());
    // No file can hold the first profile, but the program still runs on its defaults.
    EXPECT_EQ(g_settings.magic, SETTINGS_MAGIC);
    EXPECT_EQ(g_settings.powerDownTime, 60u);
    SaveCurrentProfile(nullptr);
    ASSERT_EQ(notices.shown.size(), 1u) << "the lost save is not silent";
    EXPECT_EQ(notices.shown[0].text, u"missing: ");
}

TEST_P(ProfileStoreFaultTest, SwitchOntoUnreadableProfileStops) {
    LoadProfileTable();
    Files().PutFile(ProfilePath(1), BytesOf(SampleRecord(3)));
    Files().FailOpen(ProfilePath(1), FileError::Other);
    g_settings.reportRateCode = 4;
    g_buttonMacroIds[3] = 0x15000003;  // the page's last assignment in the profile that stays
    EXPECT_FALSE(SwitchActiveProfile(1, nullptr));
    EXPECT_EQ(g_activeProfile, &g_profileSlots[0]);
    EXPECT_EQ(g_settings.reportRateCode, 4);
    EXPECT_EQ(g_buttonMacroIds[3], 0x15000003) << "the settings were not replaced";
    g_buttonMacroIds[3] = 0;
    EXPECT_EQ(g_profileSlots[1].isActive, 0u);
    EXPECT_FALSE(SwitchActiveProfile(PROFILE_SLOT_COUNT, nullptr));
}

// An active profile whose file is there but cannot be read just now (another
// program holds it) is passed over at start-up, never overwritten with defaults.
TEST_P(ProfileStoreFaultTest, ActiveProfileThatCannotBeReadIsNotReplaced) {
    ProfileSlot table[PROFILE_SLOT_COUNT]{};
    table[2].isActive = 1;
    PutTable(table);
    env->AddFolder(env->Folder() + u"Config");
    env->PutFile(ProfilePath(0), BytesOf(SampleRecord(5)));
    const Bytes third = BytesOf(SampleRecord(3));
    env->PutFile(ProfilePath(2), third);
    Files().FailOpen(ProfilePath(2), FileError::Other);

    LoadProfileTable();

    Files().FailOpen(ProfilePath(2), FileError::None);
    EXPECT_EQ(*env->GetFile(ProfilePath(2)), third);
    ASSERT_EQ(g_activeProfile, &g_profileSlots[0]);
    EXPECT_EQ(g_settings.reportRateCode, 5);
    for (int i = 0; i < PROFILE_SLOT_COUNT; ++i) EXPECT_EQ(g_profileSlots[i].isActive, i == 0 ? 1u : 0u);
}

TEST_P(ProfileStoreFaultTest, KeyThatCannotBeCreatedLeavesTheDefaults) {
    Registry().FailCreate(true);
    LoadProfileTable();
    EXPECT_FALSE(Registry().KeyExists());
    EXPECT_EQ(g_activeProfile, &g_profileSlots[0]);
    EXPECT_EQ(g_settings.magic, SETTINGS_MAGIC);
    EnsureRunMarker();
    WriteLanguageSetting(1);
    EXPECT_FALSE(Registry().KeyExists());
}

INSTANTIATE_TEST_SUITE_P(Store, ProfileStoreFaultTest, ::testing::Values(MemoryStoreEnv()),
                         StoreEnvName);
