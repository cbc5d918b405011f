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
        ResetKeyboardHook();
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

    RemoveKeyboardHook(kEditor);
    RemoveKeyboardHook(kDialog);
    EXPECT_EQ(system.uninstalled, system.installed);
    EXPECT_EQ(g_keyboardHook, 0u);
    EXPECT_EQ(g_captureWindow, 0u);
    RemoveKeyboardHook(kDialog);
    RemoveKeyboardHook(kEditor);
    EXPECT_EQ(system.uninstalled.size(), 1u);

    // A later capture installs a fresh hook.
    ASSERT_TRUE(InstallKeyboardHook(kDialog));
    EXPECT_EQ(system.installed.size(), 2u);
    EXPECT_TRUE(notices.texts.empty());
}

// The value-entry dialog opened over the recording macro editor: its capture
// ends when it closes, the editor's does not.
TEST_F(KeyboardHookTest, CapturesNestAndTheEarlierCapturerGetsTheKeysBack) {
    constexpr WindowHandle kThird = 0x3030;
    system.windows.insert(kThird);
    struct Step {
        const char* what;
        bool install;  // else remove
        WindowHandle window;
        WindowHandle receiver;  // 0: the key goes on to the next hook
        size_t hooksInstalled;
        bool hookLeft;
    };
    const Step steps[] = {
        {"editor records", true, kEditor, kEditor, 1, true},
        {"dialog opens over it", true, kDialog, kDialog, 1, true},
        {"dialog closes", false, kDialog, kEditor, 1, true},
        {"dialog closes twice", false, kDialog, kEditor, 1, true},
        {"dialog again, then a third", true, kDialog, kDialog, 1, true},
        {"third", true, kThird, kThird, 1, true},
        {"the middle one ends first", false, kDialog, kThird, 1, true},
        {"editor captures again: to the top, once", true, kEditor, kEditor, 1, true},
        {"editor ends", false, kEditor, kThird, 1, true},
        {"the last one ends", false, kThird, 0, 1, false},
        {"a window that never captured", false, kDialog, 0, 1, false},
        {"a fresh capture, a fresh hook", true, kDialog, kDialog, 2, true},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        if (step.install)
            ASSERT_TRUE(InstallKeyboardHook(step.window));
        else
            RemoveKeyboardHook(step.window);
        system.posted.clear();
        EXPECT_EQ(HandleHookKey(0, 0x100, 0x41), step.receiver != 0);
        if (step.receiver != 0) {
            EXPECT_EQ(system.posted, (std::vector<Posted>{{step.receiver, UWM_HOOK_KEY, 0x41, HOOK_KEY_PRESS}}));
        }
        EXPECT_EQ(g_captureWindow, step.receiver);
        EXPECT_EQ(system.installed.size(), step.hooksInstalled);
        EXPECT_EQ(g_keyboardHook != 0, step.hookLeft);
        EXPECT_EQ(system.uninstalled.size() + (step.hookLeft ? 1 : 0), system.installed.size());
    }
    EXPECT_TRUE(notices.texts.empty());
}

TEST_F(KeyboardHookTest, ARefusedHookIsReported) {
    system.refuse = true;
    EXPECT_FALSE(InstallKeyboardHook(kDialog));
    EXPECT_EQ(notices.texts, std::vector<std::u16string>{u"hook failure!"});
    EXPECT_EQ(g_keyboardHook, 0u);
    EXPECT_EQ(g_captureWindow, 0u);
    EXPECT_FALSE(HandleHookKey(0, 0x100, 0x41));
    EXPECT_FALSE(IsCapturingKeyboard(kDialog));
}

}  // namespace
