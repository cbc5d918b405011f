// The fire-key, key-combination and macro-picker boxes under Wine, each run
// the way the button page runs it, driven from another thread with real keys
// and clicks, against a simulated mouse: what they end with, what reaches the
// mouse, and that none of them leaves the keyboard hook behind.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <cwchar>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "app/dialogs/button_dialogs_win32.h"
#include "app/dialogs/fire_key_dlg_win32.h"
#include "app/dialogs/key_combo_dlg_win32.h"
#include "app/dialogs/macro_picker_dlg_win32.h"
#include "device/file_system.h"
#include "device/keyboard_hook.h"
#include "device/macro_store.h"
#include "device/settings.h"
#include "device/user_notice.h"
#include "framework/strings.h"
#include "support/connected_sim_mouse.h"
#include "support/input_win32.h"
#include "support/top_windows_win32.h"
#include "support/ui_thread_win32.h"
#include "support/window_harness_win32.h"
#include "text/ui_texts.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr wchar_t kFireKeyTitle[] = L"CFireKeyDlg";
constexpr wchar_t kComboTitle[] = L"QuorvelSingleCombDlg";
constexpr wchar_t kPickerTitle[] = L"QuorvelMacrosetDlg";

// A key held long enough to repeat: the press, `repeats` more presses, the release.
void SendHeld(WORD vk, int repeats, std::function<void()> whileHeld) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = vk;
    for (int i = 0; i <= repeats; ++i) ::SendInput(1, &down, sizeof(INPUT));
    whileHeld();
    INPUT up = down;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    ::SendInput(1, &up, sizeof(INPUT));
}

// A skinned control of a box at a point of the box's client area (they all
// have id 0).
HWND ControlAt(HWND box, int x, int y) {
    return ::ChildWindowFromPoint(box, POINT{x, y});
}

// The picker's list itself, inside the scroll frame that took its place and id.
HWND PickerList(HWND box) {
    HWND found = nullptr;
    ::EnumChildWindows(
        box,
        [](HWND w, LPARAM lp) -> BOOL {
            if (_wcsicmp(WindowClassName(w).c_str(), L"ListBox") != 0) return TRUE;
            *reinterpret_cast<HWND*>(lp) = w;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

class NoticeRecorder final : public UserNoticeSink {
public:
    void Show(std::u16string_view text, std::u16string_view) override {
        std::lock_guard<std::mutex> guard(lock);
        texts.emplace_back(text);
    }
    size_t Count() {
        std::lock_guard<std::mutex> guard(lock);
        return texts.size();
    }
    std::mutex lock;
    std::vector<std::u16string> texts;
};

class ButtonDialogsTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        SetProgramFolder(ToU16(TestDistDir()));
        SetUserNoticeSink(&notices);
        ASSERT_TRUE(sim.opened);
        std::memset(&g_settings, 0, sizeof(g_settings));
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        g_uiTexts = UiTextTable{};
        g_lastComboKey = 0;
        ASSERT_TRUE(ui.Create());
        ASSERT_TRUE(owner.Open());
        sim.backend.ClearLog();
    }
    void TearDown() override {
        ResetKeyboardHook();
        SetUserNoticeSink(nullptr);
        SetProgramFolder(u"");
        g_uiTexts = UiTextTable{};
        ui.DestroyWindow();
    }

    void UseLanguage(const wchar_t* file) {
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + file));
    }

    // Runs open() here, where the box's modal loop runs, while script acts on
    // the box from a driver thread, as a user would. A box still open when the
    // script is done is closed, so that a fault fails the test instead of
    // hanging it.
    void Drive(const wchar_t* title, const std::function<void()>& open, const std::function<void(HWND box)>& script) {
        std::atomic<bool> done{false};
        std::thread driver([&] {
            HWND box = WaitForTopLevelWindow(title, nullptr, kHangLimitMs);
            EXPECT_NE(box, nullptr) << "the box did not open";
            if (box) script(box);
            done = true;
            if (!WaitFor([&] { return !::IsWindow(box); }, kHangLimitMs) && box) {
                ADD_FAILURE() << "the box did not end";
                ::PostMessageW(box, WM_CLOSE, 0, 0);
                if (!WaitFor([&] { return !::IsWindow(box); }, kHangLimitMs))
                    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            }
        });
        open();
        driver.join();
    }

    // The box's thread has handled what was posted and typed so far.
    void Settle() { EXPECT_TRUE(ui.CallWhenIdle([] {})) << "the box's thread did not get to it"; }

    Bytes FireKeyFrame(uint8_t count, uint8_t interval) { return {0x05, 0x02, count, interval, 0x00}; }
    static void PutMacro(int slot, uint32_t id, const char16_t* name) {
        MacroRecord& r = g_macroStore.records[slot];
        r.size = 112;
        r.magic = MACRO_MAGIC;
        r.macroId = id;
        std::char_traits<char16_t>::copy(r.name, name, std::char_traits<char16_t>::length(name) + 1);
    }

    // The set commands that reached the mouse, each cut to its first bytes.
    std::vector<Bytes> Sent(size_t length) {
        std::vector<Bytes> out;
        for (Bytes frame : sim.SetCommands()) {
            frame.resize(std::min(frame.size(), length));
            out.push_back(frame);
        }
        return out;
    }

    ConnectedSimMouse sim;
    NoticeRecorder notices;
    UiInvoker ui;
    TestDialog owner;
};

// ---- the fire key ----

TEST_F(ButtonDialogsTest, FireKeyOkStoresAndSendsWhatTheFieldsHold) {
    struct Case {
        const char* name;
        std::function<void(HWND box)> act;
        bool ok;
        uint8_t count;
        uint32_t interval;  // stored; the mouse gets at most 30
    };
    auto clickOk = [](HWND box) { ClickControl(ControlAt(box, 40, 170)); };
    // The interval field has the focus; its text is replaced by the keys,
    // and the script goes on once the field shows `shown`.
    auto typeInterval = [](HWND box, std::initializer_list<WORD> keys, const wchar_t* shown) {
        HWND interval = ControlAt(box, 200, 80);
        ::SendMessageW(interval, EM_SETSEL, 0, -1);
        for (WORD vk : keys) SendKey(vk);
        EXPECT_TRUE(WaitFor(
            [&] {
                wchar_t text[16] = {};
                ::GetWindowTextW(interval, text, 16);
                return std::wcscmp(text, shown) == 0;
            },
            kHangLimitMs))
            << "the field did not come to show what was typed";
    };
    const Case cases[] = {
        {"OK at once", clickOk, true, 3, 10},
        {"an interval of 200 is stored, 30 is sent",
         [&](HWND box) {
             typeInterval(box, {'2', '0', '0'}, L"200");
             clickOk(box);
         },
         true, 3, 200},
        {"an emptied count stores 0",
         [&](HWND box) {
             ::SendMessageW(ControlAt(box, 60, 80), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
             clickOk(box);
         },
         true, 0, 10},
        // Enter in a field is the OK work, never an end without storing.
        {"Enter confirms what was typed",
         [&](HWND box) {
             typeInterval(box, {'7'}, L"7");
             SendKey(VK_RETURN);
         },
         true, 3, 7},
        // The field keeps to its range: 999 becomes 255.
        {"an interval beyond the range",
         [&](HWND box) {
             typeInterval(box, {'9', '9', '9'}, L"255");
             clickOk(box);
         },
         true, 3, 255},
        {"Cancel", [](HWND box) { ClickControl(ControlAt(box, 240, 170)); }, false, 0x55, 0x55},
        {"Escape", [](HWND) { SendKey(VK_ESCAPE); }, false, 0x55, 0x55},
        {"the window's close", [](HWND box) { ::PostMessageW(box, WM_CLOSE, 0, 0); }, false, 0x55, 0x55},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_settings.fireCount = 0x55;
        g_settings.fireInterval = 0x55;
        sim.backend.ClearLog();
        bool ok = false;
        Drive(kFireKeyTitle, [&] { ok = RunFireKeyDialog(&owner, &sim.driver); }, c.act);
        EXPECT_EQ(ok, c.ok);
        EXPECT_EQ(g_settings.fireCount, c.count);
        EXPECT_EQ(g_settings.fireInterval, c.interval);
        std::vector<Bytes> want;
        if (c.ok) want.push_back(FireKeyFrame(c.count, uint8_t(std::min<uint32_t>(c.interval, 30))));
        EXPECT_EQ(Sent(5), want);
    }
}

// ---- the key combination ----

TEST_F(ButtonDialogsTest, KeyComboTakesRealKeysAndLetsTheKeyboardGoOnEveryEnd) {
    struct Case {
        const char* name;
        std::function<void(HWND box)> act;
        std::optional<uint32_t> code;
        size_t notices;
    };
    auto clickOk = [](HWND box) { ClickControl(ControlAt(box, 40, 170)); };
    auto clickCancel = [](HWND box) { ClickControl(ControlAt(box, 230, 170)); };
    const Case cases[] = {
        // Ctrl held (and repeating) while C is pressed: CTRL stays ticked.
        {"Ctrl+C",
         [&](HWND box) {
             SendHeld(VK_LCONTROL, 3, [] { SendKey('C'); });
             Settle();
             clickOk(box);
         },
         0x00060100u, 0},
        {"A B C",
         [&](HWND box) {
             SendKeys({'A', 'B', 'C'});
             Settle();
             clickOk(box);
         },
         0x06050480u, 0},
        {"Shift twice leaves nothing: OK is a cancel",
         [&](HWND box) {
             SendKeys({VK_LSHIFT, VK_LSHIFT});
             Settle();
             clickOk(box);
         },
         std::nullopt, 0},
        // Four keys in all: refused with the message, the box stays; Cancel then.
        {"Ctrl+Alt+A+B",
         [&](HWND box) {
             SendChord({VK_LCONTROL, VK_LMENU, 'A'});
             SendKey('B');
             Settle();
             clickOk(box);
             EXPECT_TRUE(WaitFor([&] { return notices.Count() == 1; }, kHangLimitMs));
             EXPECT_TRUE(::IsWindow(box)) << "the refused OK ended the box";
             clickCancel(box);
         },
         std::nullopt, 1},
        // Enter and Escape are keys of the combination here, not the box's end.
        {"Enter and Escape",
         [&](HWND box) {
             SendKeys({VK_RETURN, VK_ESCAPE});
             Settle();
             EXPECT_TRUE(::IsWindow(box));
             clickOk(box);
         },
         0x29280000u, 0},
        {"Cancel with keys taken",
         [&](HWND box) {
             SendKey('K');
             Settle();
             clickCancel(box);
         },
         std::nullopt, 0},
        {"the window's close", [](HWND box) { ::PostMessageW(box, WM_CLOSE, 0, 0); }, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        notices.texts.clear();
        std::optional<uint32_t> code;
        Drive(kComboTitle, [&] { code = RunKeyComboDialog(&owner); }, [&](HWND box) {
            EXPECT_TRUE(WaitFor([] { return g_keyboardHook != 0; }, kHangLimitMs)) << "no capture";
            EXPECT_EQ(g_captureWindow, reinterpret_cast<WindowHandle>(box));
            c.act(box);
        });
        EXPECT_EQ(code, c.code);
        EXPECT_EQ(notices.texts.size(), c.notices);
        EXPECT_EQ(g_keyboardHook, 0u) << "a hook was left installed";
        EXPECT_EQ(g_captureWindow, 0u);
    }
    // The boxes sent nothing themselves: the page sends the button command.
    EXPECT_TRUE(sim.SetCommands().empty());
}

TEST_F(ButtonDialogsTest, KeyComboClosedWithItsOwnerLetsTheKeyboardGo) {
    TestDialog doomed;
    ASSERT_TRUE(doomed.Open());
    std::optional<uint32_t> code = 1;
    Drive(kComboTitle, [&] { code = RunKeyComboDialog(&doomed); }, [&](HWND) {
        EXPECT_TRUE(WaitFor([] { return g_keyboardHook != 0; }, kHangLimitMs));
        ui.Call([&] { doomed.DestroyWindow(); });
    });
    EXPECT_EQ(code, std::nullopt);
    EXPECT_EQ(g_keyboardHook, 0u);
    EXPECT_EQ(g_captureWindow, 0u);
}

TEST_F(ButtonDialogsTest, KeyComboWithoutTheHookStillEndsThroughItsBoxes) {
    // The system refuses the hook: the user is told, and the boxes still work.
    class RefusingHookSystem final : public KeyboardHookSystem {
    public:
        HookHandle Install() override { return 0; }
        void Uninstall(HookHandle) override {}
        bool IsWindow(WindowHandle window) override { return SystemKeyboardHookSystem().IsWindow(window); }
        void Post(WindowHandle, uint32_t, uintptr_t, intptr_t) override {}
    } refusing;
    SetKeyboardHookSystem(&refusing);
    std::optional<uint32_t> code;
    Drive(kComboTitle, [&] { code = RunKeyComboDialog(&owner); }, [&](HWND box) {
        EXPECT_TRUE(WaitFor([&] { return notices.Count() == 1; }, kHangLimitMs));
        SendKeys({VK_RETURN, VK_ESCAPE});  // swallowed: they neither end nor confirm
        ClickControl(ControlAt(box, 40, 135));  // CTRL
        Settle();
        EXPECT_TRUE(::IsWindow(box));
        ClickControl(ControlAt(box, 40, 170));
    });
    SetKeyboardHookSystem(nullptr);
    EXPECT_EQ(notices.texts, std::vector<std::u16string>{u"hook failure!"});
    EXPECT_EQ(code, std::optional<uint32_t>(0x00000100u));  // CTRL alone
    EXPECT_EQ(g_keyboardHook, 0u);
}

TEST_F(ButtonDialogsTest, KeyComboModifierBoxesFollowClicksAndKeys) {
    std::optional<uint32_t> code;
    CDlgSingleCombo* shown = nullptr;
    Drive(kComboTitle,
          [&] {
              CDlgSingleCombo box(&owner);
              shown = &box;
              if (box.DoModal() == IDOK) {
                  ComboFunction function;
                  box.EncodeFunctionCode(function);
                  EXPECT_EQ(function.functionId, uint32_t(FUNC_SINGLE_KEY));
                  code = function.code;
              }
              shown = nullptr;
          },
          [&](HWND box) {
              ClickControl(ControlAt(box, 280, 135));  // WIN
              ClickControl(ControlAt(box, 190, 135));  // SHIFT
              Settle();
              SendKey(VK_LSHIFT);  // ... and off again
              SendKey(VK_F5);
              Settle();
              ui.Call([&] {
                  EXPECT_TRUE(shown->m_winCheck.m_checked);
                  EXPECT_FALSE(shown->m_shiftCheck.m_checked);
                  EXPECT_FALSE(shown->m_ctrlCheck.m_checked);
                  EXPECT_EQ(shown->Model().KeyText(), u"F5");
              });
              ClickControl(ControlAt(box, 40, 170));
          });
    EXPECT_EQ(code, std::optional<uint32_t>(0x003E0800u));  // 00, WIN, F5's usage, 00
}

// ---- the macro picker ----

TEST_F(ButtonDialogsTest, MacroPickerHandsBackTheSelectedMacro) {
    PutMacro(3, 0x15000003, u"three");
    PutMacro(7, 0x15000007, u"seven");
    PutMacro(9, 0x16000009, u"not a recorded macro");

    struct Case {
        const char* name;
        std::function<void(HWND box)> act;
        std::optional<uint32_t> id;
    };
    const Case cases[] = {
        {"OK takes the last row, selected as the list opens",
         [](HWND box) {
             HWND list = PickerList(box);
             EXPECT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), 2);
             EXPECT_EQ(::SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
             EXPECT_EQ(::SendMessageW(list, LB_GETITEMHEIGHT, 1, 0), 20) << "rows measured by the scroll frame";
             ClickControl(ControlAt(box, 50, 195));
         },
         0x15000007u},
        {"a click on the first row",
         [](HWND box) {
             HWND list = PickerList(box);
             ::PostMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(30, 8));
             ::PostMessageW(list, WM_LBUTTONUP, 0, MAKELPARAM(30, 8));
             WaitFor([&] { return ::SendMessageW(list, LB_GETCURSEL, 0, 0) == 0; }, kHangLimitMs);
             ClickControl(ControlAt(box, 50, 195));
         },
         0x15000003u},
        {"no row selected: OK is a cancel",
         [](HWND box) {
             ::SendMessageW(PickerList(box), LB_SETCURSEL, WPARAM(-1), 0);
             ClickControl(ControlAt(box, 50, 195));
         },
         std::nullopt},
        {"Cancel", [](HWND box) { ClickControl(ControlAt(box, 250, 195)); }, std::nullopt},
        // Enter and Escape are swallowed; only the buttons end the box.
        {"Enter and Escape",
         [&](HWND box) {
             SendKeys({VK_RETURN, VK_ESCAPE});
             Settle();
             EXPECT_TRUE(::IsWindow(box));
             ClickControl(ControlAt(box, 250, 195));
         },
         std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<uint32_t> id = 1;
        Drive(kPickerTitle, [&] { id = RunMacroPicker(&owner); }, c.act);
        EXPECT_EQ(id, c.id);
    }

    // An empty store: an empty list, and OK is a cancel.
    std::memset(&g_macroStore, 0, sizeof(g_macroStore));
    std::optional<uint32_t> id = 1;
    Drive(kPickerTitle, [&] { id = RunMacroPicker(&owner); }, [](HWND box) {
        EXPECT_EQ(::SendMessageW(PickerList(box), LB_GETCOUNT, 0, 0), 0);
        ClickControl(ControlAt(box, 50, 195));
    });
    EXPECT_EQ(id, std::nullopt);
}

// ---- screenshots ----

TEST_F(ButtonDialogsTest, Screenshots) {
    PutMacro(0, 0x15000001, u"Reload");
    PutMacro(1, 0x15000002, u"Build order");
    PutMacro(2, 0x15000003, u"Combo strike");
    for (const wchar_t* language : {L"enr", L"rus"}) {
        UseLanguage((std::wstring(language) + L".xml").c_str());
        auto shoot = [&](HWND box, const wchar_t* name) {
            Settle();
            ui.Call([&] { SaveScreenshot(*RenderWindow(box), FormatW(L"%s_%s", name, language)); });
        };
        Drive(kFireKeyTitle, [&] { RunFireKeyDialog(&owner, &sim.driver); }, [&](HWND box) {
            shoot(box, L"fire_key_dialog");
            ClickControl(ControlAt(box, 240, 170));
        });
        Drive(kComboTitle, [&] { RunKeyComboDialog(&owner); }, [&](HWND box) {
            SendHeld(VK_LCONTROL, 1, [] { SendKey('C'); });
            shoot(box, L"key_combo_dialog");
            ClickControl(ControlAt(box, 230, 170));
        });
        Drive(kPickerTitle, [&] { RunMacroPicker(&owner); }, [&](HWND box) {
            shoot(box, L"macro_picker_dialog");
            ClickControl(ControlAt(box, 250, 195));
        });
    }
}

}  // namespace
