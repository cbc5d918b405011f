// The table from controls to handlers, on a test dialog under Wine with real
// id-0 skinned controls: each notice reaches its own control's handler only.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/bars_win32.h"
#include "skin/control_handlers_win32.h"
#include "skin/irr_button_win32.h"
#include "skin/push_buttons_win32.h"
#include "skin/skin_messages.h"
#include "support/window_harness_win32.h"

namespace {

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;

// A page in miniature: every control of it in one table.
class TablePage : public TestDialog {
public:
    CGDIBitmapBtn apply, reset;
    CGDIBitmapBtn held;
    CGDIBitmapBtn title;  // heard by its window alone, as the main window hears its buttons
    CIrrButton page;
    CHProgressBar slider, otherSlider;
    CGDIBitmapBtnEx2 valueBox;
    CEdit count;
    CControlHandlers controls;
    std::vector<std::string> heard;

    TablePage() {
        // Filled before the controls exist: the table looks their windows up later.
        controls.Click(apply, [this] { heard.push_back("apply"); });
        controls.Click(reset, [this] { heard.push_back("reset"); });
        controls.Click(page, [this] { heard.push_back("page"); });
        controls.PressRelease(held, [this](bool pressed) { heard.push_back(pressed ? "held down" : "held up"); });
        controls.Click(held, [this] { heard.push_back("held click"); });
        controls.Command(title, [this] { heard.push_back("title"); });
        controls.SliderMoving(slider, [this](int v) { heard.push_back("moving " + std::to_string(v)); });
        controls.SliderReleased(slider, [this](int v) { heard.push_back("released " + std::to_string(v)); });
        controls.ValueChanged(valueBox, [this](uint32_t v) { heard.push_back("typed " + std::to_string(v)); });
        controls.StepperChanged([this](int mode, int v) {
            heard.push_back("step " + std::to_string(mode) + " " + std::to_string(v));
        });
        controls.EditChanged(count, [this] { heard.push_back("count changed"); });
        // A menu's 32-bit ids reach the owner as their low 16 bits.
        controls.MenuCommand(0xFFAAE091, [this] { heard.push_back("menu row 1"); });
        controls.MenuCommand(0xFFAAE092, [this] { heard.push_back("menu row 2"); });
    }

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg != WM_COMMAND && controls.Dispatch(msg, wp, lp)) return 0;
        return TestDialog::WindowProc(msg, wp, lp);
    }
    BOOL OnCommand(WPARAM wp, LPARAM lp) override {
        return controls.Dispatch(WM_COMMAND, wp, lp) || TestDialog::OnCommand(wp, lp);
    }
};

TEST(ControlHandlersTest, EveryNoticeReachesTheHandlerOfItsOwnControl) {
    EnsureGdiplus();
    TablePage dialog;
    ASSERT_TRUE(dialog.Open());
    ASSERT_TRUE(dialog.apply.Create(L"", kButtonStyle, RECT{10, 10, 70, 30}, &dialog, 0));
    ASSERT_TRUE(dialog.reset.Create(L"", kButtonStyle, RECT{80, 10, 140, 30}, &dialog, 0));
    ASSERT_TRUE(dialog.held.Create(L"", kButtonStyle, RECT{150, 10, 210, 30}, &dialog, 0));
    dialog.held.m_notifyPressRelease = 1;
    ASSERT_TRUE(dialog.title.Create(L"", kButtonStyle, RECT{290, 10, 350, 30}, &dialog, 0));
    ASSERT_TRUE(dialog.page.Create(RECT{220, 10, 280, 30}, &dialog));
    for (CHProgressBar* bar : {&dialog.slider, &dialog.otherSlider}) {
        bar->m_owner = &dialog;
        bar->m_trackRect = {10, 60, 200, 72};
    }
    dialog.slider.m_id = 2565;
    dialog.otherSlider.m_id = 2566;
    ASSERT_TRUE(dialog.slider.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{10, 60, 200, 72}, &dialog, 0));
    ASSERT_TRUE(dialog.otherSlider.Create(nullptr, L"", WS_CHILD | WS_VISIBLE, RECT{10, 80, 200, 92}, &dialog, 0));
    ASSERT_TRUE(dialog.valueBox.Create(L"", kButtonStyle, RECT{10, 100, 70, 120}, &dialog, 1005));
    ASSERT_TRUE(dialog.count.Create(WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, RECT{80, 100, 140, 120}, &dialog, 1001));
    PumpMessages(20);

    struct Case {
        const char* what;
        std::function<void()> act;
        std::vector<std::string> heard;
    };
    auto post = [&](UINT msg, WPARAM wp, LPARAM lp) {
        return [&dialog, msg, wp, lp] { dialog.PostMessage(msg, wp, lp); };
    };
    const Case cases[] = {
        {"a click of one id-0 button", [&] { dialog.reset.SendMessage(BM_CLICK); }, {"reset"}},
        {"and of the other", [&] { dialog.apply.SendMessage(BM_CLICK); }, {"apply"}},
        {"the page button's own command", [&] { PostClick(dialog.page, 5, 5); }, {"page"}},
        // The system button sends its click at once; press and release are posted.
        {"click, press and release", [&] { PostClick(dialog.held, 5, 5); },
         {"held click", "held down", "held up"}},
        {"a command-heard button's click", [&] { dialog.title.SendMessage(BM_CLICK); }, {"title"}},
        {"and its double click's second press", post(WM_COMMAND, MAKEWPARAM(0, BN_DOUBLECLICKED), LPARAM(dialog.title.m_hWnd)),
         {"title"}},
        {"a click-heard button's double click is no click",
         post(WM_COMMAND, MAKEWPARAM(0, BN_DOUBLECLICKED), LPARAM(dialog.apply.m_hWnd)), {}},
        {"the slider by its id", post(UWM_SLIDER_MOVING, 120, 2565), {"moving 120"}},
        {"its release", post(UWM_SLIDER_RELEASED, 130, 2565), {"released 130"}},
        {"another slider has no entry", post(UWM_SLIDER_RELEASED, 130, 2566), {}},
        {"the value box by its id", post(UWM_VALUE_CHANGED, 1250, 1005), {"typed 1250"}},
        {"no box has that id", post(UWM_VALUE_CHANGED, 1250, 1006), {}},
        {"the stepper", post(UWM_STEPPER_CHANGED, 1, 600), {"step 1 600"}},
        {"a window not in the table", post(WM_COMMAND, 0, LPARAM(dialog.m_hWnd)), {}},
        {"the edit's text changes", [&] { dialog.count.SetWindowText(L"12"); }, {"count changed"}},
        {"the edit takes the focus: no change", [&] { dialog.count.SetFocus(); }, {}},
        {"a menu row by its id", post(WM_COMMAND, 0xE092, 0), {"menu row 2"}},
        {"a row of no entry", post(WM_COMMAND, 0xE093, 0), {}},
        {"that id from a window is no menu row", post(WM_COMMAND, 0xE091, LPARAM(dialog.m_hWnd)), {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        dialog.heard.clear();
        c.act();
        PumpMessages(30);
        EXPECT_EQ(dialog.heard, c.heard);
    }
    // What the table did not take goes on as before: Escape's IDCANCEL still
    // reaches the dialog's own handling.
    EXPECT_FALSE(dialog.controls.Dispatch(WM_COMMAND, IDCANCEL, 0));
}

}  // namespace
