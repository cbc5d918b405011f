#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "device/keyboard_hook.h"
#include "device/user_notice.h"

namespace {

struct Posted {
    WindowHandle window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
    bool operator==(const Posted&) const = default;
};

class FakeHookSystem final : public KeyboardHookSystem {
public:
    HookHandle nextHook = 0x5000;
    bool refuse = false;
    std::vector<HookHandle> installed;
    std::vector<HookHandle> uninstalled;
    std::set<WindowHandle> windows;
    std::vector<Posted> posted;

    HookHandle Install() override {
        if (refuse) return 0;
        installed.push_back(nextHook);
        return nextHook++;
    }
    void Uninstall(HookHandle hook) override { uninstalled.push_back(hook); }
    bool IsWindow(WindowHandle window) override { return windows.count(window) != 0; }
    void Post(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        posted.push_back({window, message, wParam, lParam});
    }
};

class RecordingNotices final : public UserNoticeSink {
public:
    std::vector<std::u16string> texts;
    void Show(std::u16string_view text, std::u16string_view) override { texts.emplace_back(text); }
};

class KeyboardHookTest : public testing::Test {
protected:
    void SetUp() override {
        SetKeyboardHookSystem(&system);
        SetUserNoticeSink(&notices);
        system.windows = {kDialog, kEditor};
    }
    void TearDown() override {
        RemoveKeyboardHook();
        SetKeyboardHookSystem(nullptr);
        SetUserNoticeSink(nullptr);
    }

    static constexpr WindowHandle kDialog = 0x1010;
    static constexpr WindowHandle kEditor = 0x2020;
    FakeHookSystem system;
    RecordingNotices notices;
};

TEST_F(KeyboardHookTest, KeyMessagesArePostedAndSwallowed) {
    ASSERT_TRUE(InstallKeyboardHook(kDialog));
    struct KeyCase {
        uintptr_t message;
        intptr_t state;
    };
    const KeyCase cases[] = {{0x100, HOOK_KEY_PRESS}, {0x104, HOOK_KEY_PRESS},
                             {0x101, HOOK_KEY_RELEASE}, {0x105, HOOK_KEY_RELEASE}};
    for (const KeyCase& c : cases) {
        system.posted.clear();
        EXPECT_TRUE(HandleHookKey(0, c.message, 0x41)) << c.message;
        EXPECT_EQ(system.posted, (std::vector<Posted>{{kDialog, UWM_HOOK_KEY, 0x41, c.state}}));
    }
    // Anything else goes on to the next hook untouched.
    system.posted.clear();
    EXPECT_FALSE(HandleHookKey(-1, 0x100, 0x41));
    EXPECT_FALSE(HandleHookKey(0, 0x102, 0x41));
    EXPECT_FALSE(HandleHookKey(0, 0x200, 0x41));
    EXPECT_TRUE(system.posted.empty());
}

TEST_F(KeyboardHookTest, KeysPassWhenNoLiveWindowCaptures) {
    // No capturer at all.
    EXPECT_FALSE(HandleHookKey(0, 0x100, 0x41));
    // A capturer destroyed without removing the hook.
    ASSERT_TRUE(InstallKeyboardHook(kDialog));
    system.windows.erase(kDialog);
    EXPECT_FALSE(HandleHookKey(0, 0x100, 0x41));
    EXPECT_FALSE(HandleHookKey(0, 0x101, 0x41));
    EXPECT_TRUE(system.posted.empty());
}

TEST_F(KeyboardHookTest, OneHookServesEveryCapturerAndRemovalRepeatsSafely) {
    ASSERT_TRUE(InstallKeyboardHook(kDialog));
    ASSERT_TRUE(InstallKeyboardHook(kEditor));  // the last installer receives the keys
    EXPECT_EQ(system.installed.size(), 1u);
    EXPECT_EQ(g_captureWindow, kEditor);
    EXPECT_TRUE(HandleHookKey(0, 0x100, 0x1B));
    EXPECT_EQ(system.posted.back().window, kEditor);

    RemoveKeyboardHook();
    EXPECT_EQ(system.uninstalled, system.installed);
    EXPECT_EQ(g_keyboardHook, 0u);
    EXPECT_EQ(g_captureWindow, 0u);
    RemoveKeyboardHook();
    EXPECT_EQ(system.uninstalled.size(), 1u);

    // A later capture installs a fresh hook.
    ASSERT_TRUE(InstallKeyboardHook(kDialog));
    EXPECT_EQ(system.installed.size(), 2u);
    EXPECT_TRUE(notices.texts.empty());
}

TEST_F(KeyboardHookTest, ARefusedHookIsReported) {
    system.refuse = true;
    EXPECT_FALSE(InstallKeyboardHook(kDialog));
    EXPECT_EQ(notices.texts, std::vector<std::u16string>{u"hook failure!"});
    EXPECT_EQ(g_keyboardHook, 0u);
    EXPECT_EQ(g_captureWindow, 0u);
    EXPECT_FALSE(HandleHookKey(0, 0x100, 0x41));
}

}  // namespace
