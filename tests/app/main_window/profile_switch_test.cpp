#include "app/main_window/profile_switch.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/profiles.h"
#include "device/settings.h"
#include "sim/memory_file_system.h"
#include "support/profile_store_fixture.h"
#include "support/store_env.h"

namespace {

class RecordingSwitchView final : public ProfileSwitchView {
public:
    void ShowProfileNumber(int number) override {
        calls.push_back("caption " + std::to_string(number));
    }
    void RunWriteAll() override {
        calls.push_back("write all");
        // What the mouse is sent is what the new profile holds.
        writtenRate = g_settings.reportRateCode;
    }
    void FillPages() override { calls.push_back("fill"); }

    std::vector<std::string> calls;
    int writtenRate = -1;
};

class ProfileSwitchTest : public ::testing::Test {
protected:
    void SetUp() override {
        env = MemoryStoreEnv().make();
        ResetProfileGlobals();
        LoadProfileTable();
        ASSERT_EQ(g_activeProfile, &g_profileSlots[0]);
    }
    void TearDown() override {
        ResetProfileGlobals();
        env.reset();
    }
    std::u16string ProfilePath(int index) const {
        return env->Folder() + u"Config\\FConfig" + std::u16string(1, char16_t(u'1' + index)) +
               u".ini";
    }

    std::unique_ptr<StoreEnv> env;
    RecordingNotices notices;
    RecordingSwitchView view;
    int active = 0;
};

TEST_F(ProfileSwitchTest, ANeverUsedProfileIsCreatedAndSwitchedTo) {
    g_settings.reportRateCode = 3;  // the user's change to profile 1
    ASSERT_FALSE(env->GetFile(ProfilePath(1)));
    EXPECT_EQ(SwitchToProfile(2, active, false, view, &notices), ProfileSwitchResult::Switched);
    EXPECT_EQ(active, 1);
    EXPECT_EQ(g_activeProfile, &g_profileSlots[1]);
    EXPECT_EQ(g_profileSlots[0].isActive, 0u);
    EXPECT_EQ(g_profileSlots[1].isActive, 1u);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"caption 2", "write all", "fill"}));
    // Profile 1 kept the change; profile 2 is the defaults, and so is what went to the mouse.
    EXPECT_EQ(RecordOf(*env->GetFile(ProfilePath(0))).reportRateCode, 3);
    ASSERT_TRUE(env->GetFile(ProfilePath(1)));
    SettingsImage defaults{};
    ResetSettingsToDefaults(defaults);
    EXPECT_EQ(view.writtenRate, defaults.reportRateCode);
    EXPECT_TRUE(notices.shown.empty());
}

TEST_F(ProfileSwitchTest, AnExistingProfileIsLoadedAndWritten) {
    env->PutFile(ProfilePath(3), BytesOf(SampleRecord(5)));
    EXPECT_EQ(SwitchToProfile(4, active, false, view, &notices), ProfileSwitchResult::Switched);
    EXPECT_EQ(active, 3);
    EXPECT_EQ(view.writtenRate, 5);
}

TEST_F(ProfileSwitchTest, TheActiveProfileIsOnlySavedAndReloaded) {
    g_settings.reportRateCode = 6;
    EXPECT_EQ(SwitchToProfile(1, active, false, view, &notices), ProfileSwitchResult::Reloaded);
    EXPECT_EQ(active, 0);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"caption 1"})) << "nothing goes to the mouse";
    EXPECT_EQ(RecordOf(*env->GetFile(ProfilePath(0))).reportRateCode, 6);
    EXPECT_EQ(g_settings.reportRateCode, 6);
}

TEST_F(ProfileSwitchTest, AnUnreadableProfileChangesNothingAndRestoresTheCaption) {
    env->PutFile(ProfilePath(2), BytesOf(SampleRecord(5)));
    env->FakeFiles()->FailOpen(ProfilePath(2), FileError::Other);
    g_settings.reportRateCode = 2;
    const SettingsImage before = g_settings;
    EXPECT_EQ(SwitchToProfile(3, active, false, view, &notices), ProfileSwitchResult::Failed);
    EXPECT_EQ(active, 0);
    EXPECT_EQ(g_activeProfile, &g_profileSlots[0]);
    EXPECT_EQ(g_profileSlots[0].isActive, 1u);
    EXPECT_EQ(g_profileSlots[2].isActive, 0u);
    EXPECT_EQ(std::memcmp(&g_settings, &before, sizeof(before)), 0);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"caption 1"}));
}

TEST_F(ProfileSwitchTest, NoSwitchWhileASyncRunsAndNoneOutsideOneToFour) {
    g_settings.reportRateCode = 2;
    const auto fileBefore = env->GetFile(ProfilePath(0));
    active = 2;
    EXPECT_EQ(SwitchToProfile(1, active, true, view, &notices), ProfileSwitchResult::Ignored);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"caption 3"}))
        << "the caption names the active profile";
    EXPECT_EQ(env->GetFile(ProfilePath(0)), fileBefore) << "nothing saved under the sync";
    EXPECT_EQ(active, 2);

    view.calls.clear();
    for (int number : {0, 5, -1, 0x7FFFFFFF})
        EXPECT_EQ(SwitchToProfile(number, active, false, view, &notices),
                  ProfileSwitchResult::Ignored);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(g_activeProfile, &g_profileSlots[0]);
}

}  // namespace
