// The fire-key, key-combination and macro-picker boxes opened from the real
// button page inside the main window, against the simulated mouse: each is
// driven with real keys and clicks, the page takes what it answers, the mouse
// gets the button's command, and no keyboard hook is left behind.
#include <gtest/gtest.h>

#include <vector>

#include "app/main_window/harness_win32.h"
#include "app/pages/button_page_win32.h"
#include "device/keyboard_hook.h"
#include "sim/sim_demo_mouse.h"
#include "support/input_win32.h"

namespace {

using namespace e2e;

// Selector 3 is the mouse's button 4 (the device numbers of the UI's
// buttons are 0, 1, 2, 4, 3).
constexpr int kSelector = 3;
constexpr uint8_t kDeviceButton = 4;
constexpr int kDoubleClickButton = 5;
constexpr int kKeyComboButton = 6;
constexpr int kMacroButton = 7;

// A skinned control of a box at a point of the box's client area.
HWND ControlAt(HWND box, int x, int y) {
    return ::ChildWindowFromPoint(box, POINT{x, y});
}

class ButtonPageDialogsTest : public MainWindowFixture {
protected:
    // The button commands that reached the mouse, as their four code bytes
    // read little-endian.
    std::vector<uint32_t> ButtonCodes() const {
        std::vector<uint32_t> codes;
        for (const SimReport& r : m_rig->backend.Log()) {
            if (r.kind != SimReport::Kind::SetFeature || r.bytes.size() < 7 || r.bytes[1] != CMD_SET_BUTTON) continue;
            if (r.bytes[2] != kDeviceButton) continue;
            codes.push_back(uint32_t(r.bytes[3]) | uint32_t(r.bytes[4]) << 8 | uint32_t(r.bytes[5]) << 16 |
                            uint32_t(r.bytes[6]) << 24);
        }
        return codes;
    }
};

TEST_F(ButtonPageDialogsTest, EachBoxFromTheButtonPageGivesTheMouseItsButtonCommand) {
    UseRig(MakeDemoMouseRig());
    ASSERT_TRUE(StoreDemoMacros());
    bool connected = false;
    bool hookDuringCombo = false;
    std::vector<uint32_t> afterFire, afterCombo, afterMacro;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg)) return;
        connected = ConnectMouse(dlg, ui, 0);
        if (!connected) return;
        CBaseSetDlg* page = nullptr;
        ui.Call([&] {
            dlg.ShowPage(PAGE_BUTTONS);
            page = dlg.m_pages.Buttons();
        });
        if (!page) return;
        HWND selector = nullptr, fire = nullptr, combo = nullptr, macro = nullptr;
        ui.Call([&] {
            selector = page->m_selectors[kSelector].m_hWnd;
            fire = page->m_functionButtons[kDoubleClickButton].m_hWnd;
            combo = page->m_functionButtons[kKeyComboButton].m_hWnd;
            macro = page->m_functionButtons[kMacroButton].m_hWnd;
        });
        ClickControl(selector);
        WaitOnUi(ui, [&] { return page->SelectedButton() == kSelector; });
        m_rig->backend.ClearLog();

        // Double click: the fire-key box first; Enter after typing confirms.
        ClickControl(fire);
        if (HWND box = WaitForTopLevelWindow(L"CFireKeyDlg", nullptr, kHangLimitMs)) {
            HWND interval = ControlAt(box, 200, 80);
            ::SendMessageW(interval, EM_SETSEL, 0, -1);
            SendKey('5');
            WaitFor([&] { return WindowTitle(interval) == L"5"; }, kHangLimitMs);
            SendKey(VK_RETURN);
        }
        WaitFor([&] { return ButtonCodes().size() == 1; }, kHangLimitMs);
        afterFire = ButtonCodes();

        // Key combination: Ctrl held while C is pressed.
        ClickControl(combo);
        if (HWND box = WaitForTopLevelWindow(L"QuorvelSingleCombDlg", nullptr, kHangLimitMs)) {
            WaitFor([] { return g_keyboardHook != 0; }, kHangLimitMs);
            hookDuringCombo = g_keyboardHook != 0;
            SendChord({VK_LCONTROL, 'C'});
            // The hook's keys reach the box through its own loop.
            WaitOnUi(ui, [&] { return ComboHoldsCtrlAnd(box, 'C'); });
            ClickControl(ControlAt(box, 40, 170));
        }
        WaitFor([&] { return ButtonCodes().size() == 2; }, kHangLimitMs);
        afterCombo = ButtonCodes();

        // Macro: the picker's last macro, uploaded to the button's slot first.
        ClickControl(macro);
        if (HWND box = WaitForTopLevelWindow(L"QuorvelMacrosetDlg", nullptr, kHangLimitMs))
            ClickControl(ControlAt(box, 50, 195));
        WaitFor([&] { return ButtonCodes().size() == 3; }, kHangLimitMs);
        afterMacro = ButtonCodes();
    });
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    const int record = kSelector;
    EXPECT_EQ(afterFire, (std::vector<uint32_t>{0x0218F00A}));
    EXPECT_EQ(g_settings.fireCount, 3);
    EXPECT_EQ(g_settings.fireInterval, 5u);
    EXPECT_EQ(m_rig->mouse->Settings().fireInterval, 5);

    EXPECT_TRUE(hookDuringCombo);
    EXPECT_EQ(afterCombo, (std::vector<uint32_t>{0x0218F00A, 0x00060100}));

    EXPECT_EQ(afterMacro, (std::vector<uint32_t>{0x0218F00A, 0x00060100, 0x00040009}));
    EXPECT_EQ(g_settings.buttons[record].functionId, FUNC_MACRO);
    EXPECT_EQ(g_settings.buttons[record].macroId, 0x15000003);
    EXPECT_NE(m_rig->mouse->MacroImage(kDeviceButton), std::vector<uint8_t>(SIM_MACRO_IMAGE_SIZE, 0));
    EXPECT_EQ(g_keyboardHook, 0u) << "a hook was left installed";
}

}  // namespace
