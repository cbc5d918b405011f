// The value-entry box under Wine: real keys through the real hook, the ends a
// box can come to (and that none of them leaves a hook behind), a capture
// opened over another one, the DPI value box asking it for a value, and
// screenshots of every mode.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <type_traits>
#include <vector>

#include "device/device_state.h"
#include "device/file_system.h"
#include "device/key_names.h"
#include "device/keyboard_hook.h"
#include "device/user_notice.h"
#include "framework/keyboard_capture.h"
#include "framework/strings.h"
#include "skin/push_buttons_win32.h"
#include "skin/skin_messages.h"
#include "skin/value_entry_dlg_win32.h"
#include "skin/value_entry_win32.h"
#include "support/window_harness_win32.h"
#include "text/ui_texts.h"
#include "support/input_win32.h"

namespace {

// Steps run one per timer tick on the test's own thread while a modal loop
// runs, as a user would act on the box. A timer ticks only once the thread
// has nothing else waiting, so a step comes after what the one before it
// queued has been handled. A step made by Until holds the script until its
// condition holds: the effect of real keys is waited for, however long the
// machine takes. Should the box not end when the steps are done, it is ended
// with -2 so that a fault fails the test instead of hanging it.
class ModalScript {
public:
    struct Step {
        template <class Act, class = std::enable_if_t<std::is_invocable_v<Act&>>>
        Step(Act act) : act(std::move(act)) {}
        std::function<void()> act;
        // When set, the step waits for it; act then tells that it never came.
        std::function<bool()> until;
    };
    static Step Until(std::function<bool()> condition, std::function<void()> onHang) {
        Step step(std::move(onHang));
        step.until = std::move(condition);
        return step;
    }

    ModalScript(std::vector<Step> steps, std::function<HWND()> box) : m_steps(std::move(steps)), m_box(std::move(box)) {
        s_current = this;
        m_timer = ::SetTimer(nullptr, 0, 120, &ModalScript::Tick);
    }
    ~ModalScript() {
        ::KillTimer(nullptr, m_timer);
        s_current = nullptr;
    }
    ModalScript(const ModalScript&) = delete;
    ModalScript& operator=(const ModalScript&) = delete;

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        ModalScript* self = s_current;
        if (!self) return;
        if (self->m_next < self->m_steps.size()) {
            Step step = self->m_steps[self->m_next];
            if (step.until) {
                const DWORD now = ::GetTickCount();
                if (!self->m_waiting) self->m_waitStart = now;
                self->m_waiting = true;
                const bool hung = static_cast<int>(now - self->m_waitStart) >= kHangLimitMs;
                if (!step.until() && !hung) return;
                self->m_waiting = false;
                ++self->m_next;
                if (hung) step.act();
                return;
            }
            ++self->m_next;
            step.act();
        } else if (++self->m_idle > 25) {
            if (HWND box = self->m_box()) {
                if (auto* dialog = dynamic_cast<CDialog*>(CWnd::FromHandle(box))) dialog->EndDialog(-2);
            }
        }
    }

    static inline ModalScript* s_current = nullptr;
    std::vector<Step> m_steps;
    std::function<HWND()> m_box;
    size_t m_next = 0;
    bool m_waiting = false;
    DWORD m_waitStart = 0;
    int m_idle = 0;
    UINT_PTR m_timer = 0;
};

HWND FindBox() {
    return ::FindWindowW(nullptr, L"QuorvelMacroModifyDlg");
}

// The box's own button under a point of its client area.
HWND ButtonAt(HWND box, int x, int y) {
    return ::ChildWindowFromPoint(box, POINT{x, y});
}

void ClickOk() {
    ClickControl(ButtonAt(FindBox(), 40, 170));
}
void ClickCancel() {
    ClickControl(ButtonAt(FindBox(), 210, 170));
}
std::wstring EditText() {
    HWND edit = ::GetDlgItem(FindBox(), VALUE_ENTRY_EDIT_ID);
    wchar_t text[300] = {};
    ::GetWindowTextW(edit, text, 300);
    return text;
}

class NoticeRecorder final : public UserNoticeSink {
public:
    void Show(std::u16string_view text, std::u16string_view) override { texts.emplace_back(text); }
    std::vector<std::u16string> texts;
};

// A hook the system refuses.
class RefusingHookSystem final : public KeyboardHookSystem {
public:
    HookHandle Install() override { return 0; }
    void Uninstall(HookHandle) override {}
    bool IsWindow(WindowHandle window) override { return SystemKeyboardHookSystem().IsWindow(window); }
    void Post(WindowHandle window, uint32_t message, uintptr_t wParam, intptr_t lParam) override {
        SystemKeyboardHookSystem().Post(window, message, wParam, lParam);
    }
};

class ValueEntryDialogTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        SetProgramFolder(ToU16(TestDistDir()));
        SetUserNoticeSink(&notices);
        g_uiTexts = UiTextTable{};
        g_sensorType = 0;
        ASSERT_TRUE(owner.Open());
    }
    void TearDown() override {
        SetUserNoticeSink(nullptr);
        SetKeyboardHookSystem(nullptr);
        ResetKeyboardHook();
        SetValueEntryHandler(nullptr);
        SetNameEntryHandler(nullptr);
        SetProgramFolder(u"");
        g_uiTexts = UiTextTable{};
        g_sensorType = 0;
    }

    struct Run {
        INT_PTR result;
        uint32_t value;
        std::wstring text;
    };
    // Opens a box of the mode over `parent`, lets the steps act on it, and
    // tells what it ended with.
    Run RunBox(int mode, std::vector<ModalScript::Step> steps, CWnd* parent = nullptr) {
        CMacroModifyDlg box(parent ? parent : &owner);
        box.m_mode = mode;
        ModalScript script(std::move(steps), [&] { return box.m_hWnd; });
        INT_PTR result = box.DoModal();
        return Run{result, box.m_value, box.m_text};
    }
    static ModalScript::Step Keys(std::initializer_list<WORD> keys) {
        std::vector<WORD> list(keys);
        return [list] {
            for (WORD vk : list) SendKeys({vk});
        };
    }
    static ModalScript::Step Expect(std::function<void()> check) { return check; }
    // Holds the script until the box's field shows text.
    static ModalScript::Step Shows(std::wstring text) {
        return ModalScript::Until([text] { return EditText() == text; },
                                  [text] { EXPECT_EQ(EditText(), text) << "the field never showed it"; });
    }
    static std::wstring KeyName(WORD vk) { return ToWide(VirtualKeyName(vk)); }

    NoticeRecorder notices;
    TestDialog owner;
};

TEST_F(ValueEntryDialogTest, KeyModeTakesTheLastKeyAndEveryEndLetsTheKeyboardGo) {
    // Left Shift, pressed and released: the hook's own code for it; Enter
    // changes nothing and Escape does not close the box.
    Run shift = RunBox(VALUE_ENTRY_KEY, {
        Expect([] {
            EXPECT_NE(g_keyboardHook, 0u);
            EXPECT_EQ(g_captureWindow, reinterpret_cast<WindowHandle>(FindBox()));
        }),
        Keys({VK_LSHIFT}), Shows(L"LShift"),
        Keys({VK_RETURN, VK_ESCAPE}), Shows(L"Esc"),
        Expect([] { ASSERT_NE(FindBox(), nullptr) << "Escape closed the box"; }),
        Keys({VK_LSHIFT}), Shows(L"LShift"), ClickOk,
    });
    EXPECT_EQ(shift.result, IDOK);
    EXPECT_EQ(shift.value, static_cast<uint32_t>(VK_LSHIFT));
    EXPECT_EQ(g_keyboardHook, 0u);
    EXPECT_EQ(g_captureWindow, 0u);

    // OK with no key: the box says 0, and the entry reports no change.
    Run none = RunBox(VALUE_ENTRY_KEY, {ClickOk});
    EXPECT_EQ(none.result, IDOK);
    EXPECT_EQ(none.value, 0u);

    Run cancelled = RunBox(VALUE_ENTRY_KEY, {Keys({'K'}), Shows(KeyName('K')), ClickCancel});
    EXPECT_EQ(cancelled.result, IDCANCEL);
    EXPECT_EQ(g_keyboardHook, 0u);

    // Closed with its owner: the framework lets the keyboard go.
    TestDialog doomed;
    ASSERT_TRUE(doomed.Open());
    Run destroyed = RunBox(VALUE_ENTRY_KEY, {
        Expect([] { EXPECT_NE(g_keyboardHook, 0u); }),
        [&] { doomed.DestroyWindow(); },
    }, &doomed);
    EXPECT_NE(destroyed.result, IDOK);
    EXPECT_EQ(FindBox(), nullptr);
    EXPECT_EQ(g_keyboardHook, 0u);
    EXPECT_EQ(g_captureWindow, 0u);
    EXPECT_TRUE(notices.texts.empty());
}

TEST_F(ValueEntryDialogTest, ThroughTheEntryNoKeyAndARefusedHookAreNoChange) {
    std::optional<uint32_t> key;
    {
        ModalScript script({Keys({'Q'}), Shows(KeyName('Q')), ClickOk}, FindBox);
        key = RunValueEntry(&owner, VALUE_ENTRY_KEY);
    }
    EXPECT_EQ(key, std::optional<uint32_t>('Q'));
    {
        ModalScript script({ClickOk}, FindBox);
        key = RunValueEntry(&owner, VALUE_ENTRY_KEY);
    }
    EXPECT_EQ(key, std::nullopt);

    RefusingHookSystem refusing;
    SetKeyboardHookSystem(&refusing);
    std::optional<std::wstring> name;
    {
        ModalScript script({Expect([] { ASSERT_NE(FindBox(), nullptr) << "the box stays open"; }), ClickOk}, FindBox);
        key = RunValueEntry(&owner, VALUE_ENTRY_KEY);
    }
    EXPECT_EQ(key, std::nullopt);
    {
        ModalScript script({ClickOk}, FindBox);
        name = RunNameEntry(&owner);
    }
    EXPECT_EQ(name, std::optional<std::wstring>(L""));
    EXPECT_EQ(notices.texts, (std::vector<std::u16string>{u"hook failure!", u"hook failure!"}));
    EXPECT_EQ(g_keyboardHook, 0u);
}

TEST_F(ValueEntryDialogTest, NameModeBuildsTheNameFromReleasedKeys) {
    Run typed = RunBox(VALUE_ENTRY_NAME, {
        Keys({'A', 'B', 'C'}), Shows(L"abc"),
        Keys({VK_BACK}), Shows(L"ab"),
        Keys({VK_NUMPAD1, VK_RETURN, VK_SPACE}), Shows(L"ab(1)"),
        Expect([] {
            EXPECT_EQ(EditText(), L"ab(1)");
            DWORD start = 0, end = 0;
            HWND edit = ::GetDlgItem(FindBox(), VALUE_ENTRY_EDIT_ID);
            ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
            EXPECT_EQ(start, 5u);  // the caret at the end
            EXPECT_EQ(end, 5u);
            ::SendMessageW(edit, EM_SETSEL, 1, 3);
        }),
        Keys({VK_BACK}), Shows(L"a1)"),
        ClickOk,
    });
    EXPECT_EQ(typed.result, IDOK);
    EXPECT_EQ(typed.text, L"a1)");
    EXPECT_EQ(g_keyboardHook, 0u);

    // Fifteen characters are the most a key adds to.
    Run full = RunBox(VALUE_ENTRY_NAME, {
        Keys({'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'A', 'B'}),
        Shows(L"aaaaaaaaaaaaaaa"), ClickOk,
    });
    EXPECT_EQ(full.text, L"aaaaaaaaaaaaaaa");

    Run cancelled = RunBox(VALUE_ENTRY_NAME, {Keys({'X'}), Shows(L"x"), ClickCancel});
    EXPECT_EQ(cancelled.result, IDCANCEL);
    EXPECT_EQ(g_keyboardHook, 0u);
}

TEST_F(ValueEntryDialogTest, NumericModesHoldTheNumberInRangeAndIgnoreEnterAndEscape) {
    Run delay = RunBox(VALUE_ENTRY_DELAY, {
        Expect([] { EXPECT_EQ(g_keyboardHook, 0u) << "the numeric modes take no hook"; }),
        Keys({'7', '0', '0', '0', '0'}), Shows(L"65535"),
        // The number kept in range stands at the start of the field: End and
        // Backspace last, to show that the keys before them have been handled.
        Keys({VK_RETURN, VK_ESCAPE, VK_SPACE, VK_END, VK_BACK}), Shows(L"6553"),
        Expect([] { ASSERT_NE(FindBox(), nullptr) << "Enter or Escape ended the box"; }),
        ClickOk,
    });
    EXPECT_EQ(delay.result, IDOK);
    EXPECT_EQ(delay.value, 6553u);

    g_sensorType = 0xE1;
    Run dpi = RunBox(VALUE_ENTRY_DPI, {Keys({'2', '0', '0', '0', '0'}), Shows(L"16000"), ClickOk});
    EXPECT_EQ(dpi.value, 16000u);

    Run cancelled = RunBox(VALUE_ENTRY_DPI, {Keys({'5'}), Shows(L"5"), ClickCancel});
    EXPECT_EQ(cancelled.result, IDCANCEL);
    EXPECT_EQ(g_keyboardHook, 0u);
}

TEST_F(ValueEntryDialogTest, BoxOpenedDuringARecordingHandsTheKeysBack) {
    // The macro editor records through a capture of its own.
    TestDialog recorder;
    ASSERT_TRUE(recorder.Open());
    CKeyboardCapture recording(recorder);
    ASSERT_TRUE(recording.Start());
    HookHandle hook = g_keyboardHook;

    Run run = RunBox(VALUE_ENTRY_KEY, {
        Expect([&] { EXPECT_EQ(g_keyboardHook, hook) << "one hook serves both"; }),
        Keys({'Z'}), Shows(KeyName('Z')), ClickOk,
    }, &recorder);
    EXPECT_EQ(run.value, static_cast<uint32_t>('Z'));
    EXPECT_EQ(recorder.Count(UWM_HOOK_KEY), 0) << "the box had the keyboard";

    EXPECT_EQ(g_keyboardHook, hook);
    EXPECT_EQ(g_captureWindow, reinterpret_cast<WindowHandle>(recorder.m_hWnd));
    SendKeys({'Y'});
    PumpUntil([&] { return recorder.Count(UWM_HOOK_KEY) >= 2; });
    auto keys = recorder.Of(UWM_HOOK_KEY);
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].wp, static_cast<WPARAM>('Y'));
    recording.Stop();
    EXPECT_EQ(g_keyboardHook, 0u);
}

TEST_F(ValueEntryDialogTest, DpiValueBoxTakesItsValueFromTheBoxOnDoubleClick) {
    g_sensorType = 0xF1;
    CGDIBitmapBtnEx2 valueBox;
    ASSERT_TRUE(valueBox.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, RECT{100, 50, 160, 70}, &owner, 2571));
    RECT ownerRect = owner.GetWindowRect();
    RECT boxRect{};
    ModalScript script({
        [&] { ::GetWindowRect(FindBox(), &boxRect); },
        Keys({'1', '2', '3', '4', '0'}), Shows(L"12340"), ClickOk,
    }, FindBox);
    PostMouse(valueBox, WM_LBUTTONDBLCLK, 10, 10, MK_LBUTTON);
    PumpMessages(100);
    auto posts = owner.Of(UWM_VALUE_CHANGED);
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].wp, 12350u);  // rounded to a multiple of 50
    EXPECT_EQ(posts[0].lp, 2571);
    EXPECT_EQ(valueBox.m_text, L"12350");
    // The box sits on its owner's top-left corner, at the size of its skin.
    EXPECT_EQ(boxRect.left, ownerRect.left);
    EXPECT_EQ(boxRect.top, ownerRect.top);
    EXPECT_EQ(boxRect.right - boxRect.left, 360);
    EXPECT_EQ(boxRect.bottom - boxRect.top, 222);
}

TEST_F(ValueEntryDialogTest, ScreenshotsOfEveryModeInEnglishAndRussian) {
    g_sensorType = 0xE1;
    struct Shot {
        int mode;
        const wchar_t* name;
        std::vector<WORD> keys;
        const wchar_t* shown;
    };
    const Shot shots[] = {
        {VALUE_ENTRY_KEY, L"key", {VK_LSHIFT}, L"LShift"},
        {VALUE_ENTRY_DELAY, L"delay", {'2', '5', '0'}, L"250"},
        {VALUE_ENTRY_DPI, L"dpi", {'1', '6', '0', '0', '0'}, L"16000"},
        {VALUE_ENTRY_NAME, L"name", {'M', 'A', 'C', 'R', 'O', VK_NUMPAD1}, L"macro(1)"},
    };
    for (const wchar_t* language : {L"enr", L"rus"}) {
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + language + L".xml"));
        ASSERT_FALSE(g_uiTexts[UiText::str_ok].empty());
        for (const Shot& shot : shots) {
            SCOPED_TRACE(testing::Message() << shot.mode);
            bool saved = false;
            std::vector<WORD> keys = shot.keys;
            RunBox(shot.mode, {
                [keys] {
                    for (WORD vk : keys) SendKeys({vk});
                },
                Shows(shot.shown),
                [&] {
                    std::unique_ptr<Dib32> dib = RenderWindow(FindBox());
                    saved = SaveScreenshot(*dib, FormatW(L"value_entry_%s_%s", shot.name, language));
                },
                ClickCancel,
            });
            EXPECT_TRUE(saved);
        }
    }
}

}  // namespace
