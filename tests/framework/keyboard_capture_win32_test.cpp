// Keyboard capture through the framework under Wine: the real hook, nested
// capturers, and windows that go away without ending their capture.
#include <gtest/gtest.h>

#include "device/keyboard_hook.h"
#include "framework/dialog.h"
#include "framework/keyboard_capture.h"
#include "support/window_harness_win32.h"
#include "support/input_win32.h"

namespace {

// A capturing popup; with an owner it is destroyed along with it.
class CapturingDialog : public CDialog {
public:
    CapturingDialog() : CDialog(BuildDialogTemplate(WS_POPUP | DS_SETFONT, 0, 40, 20)) {}
    CKeyboardCapture capture{*this};
    int hookKeys = 0;
    WPARAM lastKey = 0;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == UWM_HOOK_KEY && lp == HOOK_KEY_PRESS) {
            ++hookKeys;
            lastKey = wp;
            return 0;
        }
        return CDialog::WindowProc(msg, wp, lp);
    }
};

// Pumps until one of the dialogs heard a key (the hook runs inside the pump).
void PressAndWait(WORD vk, const CapturingDialog& a, const CapturingDialog& b) {
    int before = a.hookKeys + b.hookKeys;
    SendKey(vk);
    PumpUntil([&] { return a.hookKeys + b.hookKeys != before; });
}

class KeyboardCaptureTest : public testing::Test {
protected:
    void TearDown() override { ResetKeyboardHook(); }
};

TEST_F(KeyboardCaptureTest, TheEarlierCapturerGetsTheKeysBackWhenTheLaterEnds) {
    CapturingDialog editor, entry;
    ASSERT_TRUE(editor.CreateModeless(nullptr));
    ASSERT_TRUE(entry.CreateModeless(&editor));
    ASSERT_TRUE(editor.capture.Start());
    ASSERT_TRUE(entry.capture.Start());

    PressAndWait(VK_F7, editor, entry);
    EXPECT_EQ(entry.hookKeys, 1);
    EXPECT_EQ(editor.hookKeys, 0);

    entry.capture.Stop();
    EXPECT_FALSE(entry.capture.IsCapturing());
    EXPECT_TRUE(editor.capture.IsCapturing());
    ASSERT_NE(g_keyboardHook, 0u);
    PressAndWait(VK_F8, editor, entry);
    EXPECT_EQ(editor.hookKeys, 1);
    EXPECT_EQ(editor.lastKey, WPARAM(VK_F8));
    EXPECT_EQ(entry.hookKeys, 1);

    editor.capture.Stop();
    EXPECT_EQ(g_keyboardHook, 0u);
}

TEST_F(KeyboardCaptureTest, AWindowDestroyedWhileCapturingLetsGo) {
    {
        // Destroyed on its own, without a word.
        CapturingDialog alone;
        ASSERT_TRUE(alone.CreateModeless(nullptr));
        ASSERT_TRUE(alone.capture.Start());
        HWND hwnd = alone.m_hWnd;
        ::DestroyWindow(hwnd);
        EXPECT_EQ(g_keyboardHook, 0u);
        EXPECT_EQ(g_captureWindow, 0u);
        EXPECT_FALSE(IsCapturingKeyboard(reinterpret_cast<WindowHandle>(hwnd)));
        alone.capture.Stop();  // after the window is gone: nothing left to end
    }
    {
        // An owner and the popup it owns, both capturing, closed together.
        CapturingDialog owner, popup;
        ASSERT_TRUE(owner.CreateModeless(nullptr));
        ASSERT_TRUE(popup.CreateModeless(&owner));
        ASSERT_TRUE(owner.capture.Start());
        ASSERT_TRUE(popup.capture.Start());
        ::DestroyWindow(owner.m_hWnd);
        EXPECT_EQ(popup.m_hWnd, nullptr);
        EXPECT_EQ(g_keyboardHook, 0u);
        EXPECT_EQ(g_captureWindow, 0u);
    }
    {
        // The later one goes with its window: the earlier one keeps the keys.
        CapturingDialog editor, entry;
        ASSERT_TRUE(editor.CreateModeless(nullptr));
        ASSERT_TRUE(entry.CreateModeless(nullptr));
        ASSERT_TRUE(editor.capture.Start());
        ASSERT_TRUE(entry.capture.Start());
        ::DestroyWindow(entry.m_hWnd);
        EXPECT_EQ(g_captureWindow, reinterpret_cast<WindowHandle>(editor.m_hWnd));
        PressAndWait(VK_F9, editor, entry);
        EXPECT_EQ(editor.hookKeys, 1);
        // And the object's own end, as its window's member goes, ends the rest.
    }
    EXPECT_EQ(g_keyboardHook, 0u);
}

}  // namespace
