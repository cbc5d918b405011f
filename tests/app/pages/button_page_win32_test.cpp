// The button page under Wine, made a child of a test window as the main
// window makes it, with its commands going to a simulated mouse: clicks on its
// selectors, function buttons, popups and steppers, the left-click guard's
// box, the dialogs' answers, texts after a language change, the hover marker,
// and screenshots.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>

#include "app/dialogs/button_dialogs_win32.h"
#include "app/pages/button_page_win32.h"
#include "app/pages/page_test_fixture_win32.h"
#include "device/button_macro_ids.h"
#include "device/file_system.h"
#include "device/function_names.h"
#include "device/macro_store.h"
#include "device/usb_driver.h"
#include "framework/strings.h"
#include "support/input_win32.h"
#include "support/stored_macro.h"
#include "support/top_windows_win32.h"
#include "support/window_harness_win32.h"
#include "text/u16_buffer.h"
#include "text/ui_texts.h"

namespace {

using Bytes = std::vector<uint8_t>;

std::wstring W(const std::u16string& text) {
    return ToWide(text);
}

void LoadLanguage(const wchar_t* name) {
    LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + name + L".xml"));
}

// The popups open on this thread, each a window of a CWndPopup.
std::vector<HWND> PopupWindows() {
    std::vector<HWND> found;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND hwnd, LPARAM lp) -> BOOL {
            if (dynamic_cast<CWndPopup*>(CWnd::FromHandle(hwnd)) && ::IsWindowVisible(hwnd))
                reinterpret_cast<std::vector<HWND>*>(lp)->push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

class ButtonPageTest : public PageTestFixture<CBaseSetDlg> {
protected:
    void SetUp() override {
        PageTestFixture::SetUp();
        LoadLanguage(L"enr");
        std::memset(&g_settings, 0, sizeof(g_settings));
        const FunctionId ids[BUTTON_COUNT] = {FUNC_LEFT_BUTTON, FUNC_RIGHT_BUTTON, FUNC_MIDDLE_BUTTON, FUNC_FORWARD,
                                              FUNC_BACKWARD};
        for (int i = 0; i < BUTTON_COUNT; ++i) g_settings.buttons[i].functionId = ids[i];
        g_settings.debounceTime = 10;
        g_settings.powerDownTime = 45;
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        ClearButtonMacroIds();
        // The boxes answer as cancelled unless a test says otherwise.
        SetFireKeyHandler([](CWnd*) { return false; });
        SetKeyComboHandler([](CWnd*) { return std::nullopt; });
        SetMacroPickerHandler([](CWnd*) { return std::nullopt; });
        SetStepConfirmation([this](CWnd*) {
            ++confirmations;
            return confirmAnswer;
        });
        ASSERT_TRUE(LoadBitmapFromImageFile(TestSkinPath(L"main_nr.png"), mainSkin));
        OpenPage();
    }
    void TearDown() override {
        PageTestFixture::TearDown();
        SetStepConfirmation(nullptr);
        SetFireKeyHandler(nullptr);
        SetKeyComboHandler(nullptr);
        SetMacroPickerHandler(nullptr);
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        ClearButtonMacroIds();
    }
    // The page on the main window's own skin, as in the screenshots.
    const CBitmap* PageBackground() const override { return &mainSkin; }

    void ClickSelector(int k) { Click(page->m_selectors[k], 10, 10); }
    void ClickFunction(int j) { Click(page->m_functionButtons[j], 10, 10); }
    std::wstring SelectorText(int k) const { return page->m_selectors[k].GetWindowText(); }
    std::wstring Name(FunctionId id) const { return W(FunctionCodeName(id)); }

    CBitmap mainSkin;
    int confirmations = 0;
    bool confirmAnswer = true;
};

TEST_F(ButtonPageTest, CreationShowsTheRecordSelectorOneAndTheSteppers) {
    for (int k = 0; k < BUTTON_COUNT; ++k)
        EXPECT_EQ(SelectorText(k), Name(g_settings.buttons[k].functionId)) << k;
    EXPECT_EQ(page->SelectedButton(), 0);
    EXPECT_TRUE(page->m_selectors[0].m_checked);
    EXPECT_EQ(page->m_selectedLabel.GetWindowText(), L"Button 1");
    EXPECT_EQ(page->m_functionButtons[9].GetWindowText(), W(g_uiTexts[UiText::str_dpiset]));
    EXPECT_EQ(page->m_debounceStepper.GetWindowText(), L"10");
    EXPECT_EQ(page->m_powerDownStepper.GetWindowText(), L"45") << "a time not in the list shows as stored";
    EXPECT_EQ(page->m_powerDownStepper.m_value, 3);
}

TEST_F(ButtonPageTest, ClicksAssignToTheSelectedButtonsDeviceNumber) {
    struct Case {
        int selector;
        int function;
        Bytes wire;
    };
    const Case cases[] = {
        {3, 4, {0x06, 0x04, 0x01, 0x00, 0xF3, 0x00}},  // selector 4, backward
        {4, 3, {0x06, 0x03, 0x01, 0x00, 0xF4, 0x00}},  // selector 5, forward
        {1, 8, {0x06, 0x01, 0x00, 0x00, 0x00, 0x00}},  // selector 2, disable
        {2, 0, {0x06, 0x02, 0x01, 0x00, 0xF0, 0x00}},  // selector 3, left click
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.selector);
        sim.backend.ClearLog();
        ClickSelector(c.selector);
        EXPECT_EQ(page->m_selectedLabel.GetWindowText(), FormatW(L"Button %d", c.selector + 1));
        for (int k = 0; k < BUTTON_COUNT; ++k) EXPECT_EQ(page->m_selectors[k].m_checked, k == c.selector) << k;
        EXPECT_TRUE(sim.Commands().empty()) << "selecting sends nothing";
        ClickFunction(c.function);
        EXPECT_EQ(sim.Commands(), std::vector<Bytes>{c.wire});
        const FunctionId id = FunctionButtonAt(c.function).id;
        EXPECT_EQ(g_settings.buttons[c.selector].functionId, id);
        EXPECT_EQ(SelectorText(c.selector), Name(id));
        for (int j = 0; j < FUNCTION_BUTTON_COUNT; ++j)
            EXPECT_EQ(page->m_functionButtons[j].m_checked, j == c.function) << j;
    }
    EXPECT_EQ(sim.mouse->Settings().buttons[4], 0x00F30001u);
    EXPECT_EQ(sim.mouse->Settings().buttons[1], 0x00000000u);
}

TEST_F(ButtonPageTest, TheLastLeftClickIsKeptWithABox) {
    for (int j : {0, 1, 9}) {
        SCOPED_TRACE(j);
        // The box runs its loop on this thread: it is answered from another.
        bool answered = false;
        std::thread answerer([&] { answered = AnswerMessageBox(W(g_uiTexts[UiText::str_msg1]).c_str()); });
        ClickFunction(j);
        answerer.join();
        PumpMessages(50);
        EXPECT_TRUE(answered);
    }
    EXPECT_TRUE(sim.Commands().empty());
    EXPECT_EQ(g_settings.buttons[0].functionId, FUNC_LEFT_BUTTON);
    EXPECT_TRUE(PopupWindows().empty());
    for (const CGDIBitmapBtn& button : page->m_functionButtons) EXPECT_FALSE(button.m_checked);

    // Another button may change, and left click may move elsewhere first.
    ClickSelector(1);
    ClickFunction(0);
    ClickSelector(0);
    ClickFunction(1);
    EXPECT_EQ(sim.Commands(), (std::vector<Bytes>{{0x06, 0x01, 0x01, 0x00, 0xF0, 0x00},
                                                  {0x06, 0x00, 0x01, 0x00, 0xF1, 0x00}}));
}

TEST_F(ButtonPageTest, PopupsOpenOnceBesideButtonNineAndAssignTheirChoice) {
    ClickSelector(3);
    ClickFunction(9);
    std::vector<HWND> open = PopupWindows();
    ASSERT_EQ(open.size(), 1u);
    RECT opener = page->m_functionButtons[9].GetWindowRect();
    RECT popup{};
    ::GetWindowRect(open[0], &popup);
    EXPECT_EQ(popup.left, opener.left + 10);
    EXPECT_EQ(popup.top, opener.top - 40);
    // A second click while it is open opens no other: the click takes the
    // activation from the popup, which closes without a choice.
    ClickFunction(9);
    PumpMessages(50);
    EXPECT_TRUE(PopupWindows().empty());
    EXPECT_TRUE(sim.Commands().empty());

    // The popup's choice of row 2 (DPI up).
    ClickFunction(9);
    ASSERT_EQ(PopupWindows().size(), 1u);
    ::SendMessageW(page->m_hWnd, UWM_DPI_FUNCTION_MENU_RESULT, 0, 2);
    PumpMessages(50);
    EXPECT_TRUE(PopupWindows().empty());
    EXPECT_EQ(sim.Commands(), (std::vector<Bytes>{{0x06, 0x04, 0x07, 0x00, 0x01, 0x00}}));
    EXPECT_EQ(SelectorText(3), Name(FUNC_DPI_UP));

    sim.backend.ClearLog();
    ClickSelector(4);
    ClickFunction(10);
    open = PopupWindows();
    ASSERT_EQ(open.size(), 1u);
    ::GetWindowRect(open[0], &popup);
    EXPECT_EQ(popup.left, opener.left + 10) << "from button 9's rectangle";
    EXPECT_EQ(popup.top, opener.top - 260);
    // Closed without a choice: nothing is sent, and the next opening works.
    ::PostMessageW(open[0], WM_CLOSE, 0, 0);
    PumpMessages(50);
    EXPECT_TRUE(PopupWindows().empty());
    EXPECT_TRUE(sim.Commands().empty());
    ClickFunction(10);
    ASSERT_EQ(PopupWindows().size(), 1u);
    ::SendMessageW(page->m_hWnd, UWM_MULTIMEDIA_MENU_RESULT, 0, 2);
    PumpMessages(50);
    EXPECT_EQ(sim.Commands(), (std::vector<Bytes>{{0x06, 0x03, 0x03, 0x00, 0xCD, 0x00}}));
    EXPECT_EQ(g_settings.buttons[4].functionId, FUNC_PLAY_PAUSE);
}

TEST_F(ButtonPageTest, DialogAnswersDecideTheAssignment) {
    bool fireKeyOk = false;
    std::optional<uint32_t> combination;
    std::optional<uint32_t> macro;
    SetFireKeyHandler([&](CWnd*) { return fireKeyOk; });
    SetKeyComboHandler([&](CWnd*) { return combination; });
    SetMacroPickerHandler([&](CWnd*) { return macro; });
    ClickSelector(3);
    const std::wstring before = SelectorText(3);
    for (int j : {5, 6, 7}) ClickFunction(j);
    EXPECT_TRUE(sim.Commands().empty()) << "every dialog cancelled";
    EXPECT_EQ(SelectorText(3), before);
    EXPECT_TRUE(page->m_functionButtons[7].m_checked) << "the last one clicked stays checked";

    fireKeyOk = true;
    combination = 0x00290800;  // Win + Esc
    MacroRecord& record = g_macroStore.records[3];
    record.size = 112;
    record.magic = MACRO_MAGIC;
    record.macroId = 0x15000042;
    record.events[0] = MakeMacroEvent(MACRO_EVENT_PRESS, 0x41);
    record.eventCount = 1;
    CopyToBuffer(record.name, u"Greeting");
    macro = 0x15000042;
    ClickFunction(5);
    EXPECT_EQ(SelectorText(3), Name(FUNC_DOUBLE_CLICK));
    ClickFunction(6);
    EXPECT_EQ(SelectorText(3), L"Win + Esc");
    sim.backend.ClearLog();
    ClickFunction(7);
    EXPECT_EQ(SelectorText(3), L"Macro - Greeting");
    std::vector<Bytes> sent = sim.Commands();
    ASSERT_FALSE(sent.empty());
    EXPECT_EQ(sent.back(), (Bytes{0x06, 0x04, 0x09, 0x00, 0x04, 0x00}));
    EXPECT_NE(sim.mouse->MacroImage(4), Bytes(SIM_MACRO_IMAGE_SIZE, 0)) << "uploaded to slot 4";

    // A macro id the store does not hold: nothing changes, nothing is sent.
    sim.backend.ClearLog();
    ClickSelector(1);
    macro = 0x15000099;
    ClickFunction(7);
    EXPECT_TRUE(sim.Commands().empty());
    EXPECT_EQ(g_settings.buttons[1].functionId, FUNC_RIGHT_BUTTON);
}

// After OK in the real macro picker the upload runs on this thread for about
// a second: by its first chunk the picker is gone from the screen too (no
// window under it still waits for its paint), every chunk goes out under the
// wait cursor, and the cursor from before comes back after.
TEST_F(ButtonPageTest, AMacroUploadRepaintsFirstAndShowsTheWaitCursor) {
    PutStoredMacro(3, 0x15000042, u"Greeting", {MakeMacroEvent(MACRO_EVENT_PRESS, 0x41)});
    SetMacroPickerHandler(nullptr);  // the real picker
    ClickSelector(3);
    const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
    int chunks = 0, underWait = 0;
    bool paintedAtFirst = false;
    std::atomic<HWND> picker{nullptr};
    bool pickerGoneAtFirst = false;
    sim.backend.WatchReports([&](const SimReport& r) {
        if (r.kind != SimReport::Kind::SetFeature || r.bytes.size() < 2 || r.bytes[1] != CMD_WRITE_MACRO_CHUNK) return;
        // The upload runs on the page's thread: this is where it stands.
        if (chunks++ == 0) {
            pickerGoneAtFirst = picker.load() && !::IsWindow(picker.load());
            paintedAtFirst = !WaitsForPaint(parent.m_hWnd);
        }
        if (::GetCursor() == wait) ++underWait;
    });
    std::thread driver([&] {
        HWND box = WaitForTopLevelWindow(L"QuorvelMacrosetDlg", nullptr, kHangLimitMs);
        picker = box;
        if (box) ClickControl(::ChildWindowFromPoint(box, POINT{50, 195}));  // OK
    });
    const HCURSOR before = ::GetCursor();
    ClickFunction(7);  // the picker's loop, then the upload, run inside this click
    driver.join();
    sim.backend.WatchReports(nullptr);
    const HCURSOR after = ::GetCursor();

    EXPECT_EQ(SelectorText(3), L"Macro - Greeting");
    EXPECT_EQ(chunks, 10);
    EXPECT_TRUE(pickerGoneAtFirst);
    EXPECT_TRUE(paintedAtFirst) << "the closed picker was still on the screen";
    EXPECT_EQ(underWait, 10);
    EXPECT_NE(after, wait);
    EXPECT_EQ(after, before);
}

TEST_F(ButtonPageTest, SteppersSendDebounceAndPowerDown) {
    CGDIBitmapBtnAddSub& debounce = page->m_debounceStepper;
    CGDIBitmapBtnAddSub& powerDown = page->m_powerDownStepper;
    Click(debounce, 17, 10);   // 10 -> 11
    Click(debounce, 17, 100);  // 11 -> 10
    Click(debounce, 17, 100);  // 10 -> 9
    Click(debounce, 17, 100);  // 9 -> 8 asks
    confirmAnswer = false;
    Click(debounce, 17, 100);  // 8 -> 7 asks, cancelled
    EXPECT_EQ(confirmations, 2);
    EXPECT_EQ(debounce.GetWindowText(), L"8");
    Click(powerDown, 17, 100);  // 45 stands at 60: down to 30
    Click(powerDown, 17, 10);   // back to 60
    Click(powerDown, 17, 10);   // 120
    PumpMessages(20);
    EXPECT_EQ(sim.Commands(), (std::vector<Bytes>{{0x05, 0x01, 11, 0, 0, 0},
                                                  {0x05, 0x01, 10, 0, 0, 0},
                                                  {0x05, 0x01, 9, 0, 0, 0},
                                                  {0x05, 0x01, 8, 0, 0, 0},
                                                  {0x05, 0x03, 30, 0, 0, 0},
                                                  {0x05, 0x03, 60, 0, 0, 0},
                                                  {0x05, 0x03, 120, 0, 0, 0}}));
    EXPECT_EQ(g_settings.debounceTime, 8);
    EXPECT_EQ(g_settings.powerDownTime, 120u);
    EXPECT_EQ(powerDown.GetWindowText(), L"120");
    EXPECT_EQ(sim.mouse->Settings().powerDown, 120);
}

TEST_F(ButtonPageTest, RefreshAndLanguageChangeKeepWhatTheUserNamed) {
    g_settings.buttons[2].functionId = FUNC_MACRO;
    CopyToBuffer(g_settings.buttons[2].displayName, u"Macro - Greeting");
    g_settings.buttons[3].functionId = FUNC_SINGLE_KEY;
    g_settings.buttons[3].deviceCode = 0x00290800;
    g_settings.debounceTime = 3;
    g_settings.powerDownTime = 900;
    ClickSelector(4);
    LoadLanguage(L"rus");
    page->RefreshFromSettings();
    EXPECT_EQ(SelectorText(0), Name(FUNC_LEFT_BUTTON));
    EXPECT_NE(SelectorText(0), L"Left button");
    EXPECT_EQ(SelectorText(2), L"Macro - Greeting");
    EXPECT_EQ(SelectorText(3), L"Win + Esc");
    EXPECT_EQ(page->m_selectedLabel.GetWindowText(), W(g_uiTexts[UiText::str_SelBtn]) + L" 5");
    EXPECT_EQ(page->m_debounceCaption.GetWindowText(), W(g_uiTexts[UiText::str_dbtime]));
    EXPECT_EQ(page->m_functionButtons[10].GetWindowText(), W(g_uiTexts[UiText::str_media]));
    EXPECT_EQ(page->m_debounceStepper.GetWindowText(), L"3");
    EXPECT_EQ(page->m_powerDownStepper.m_value, 17);
    EXPECT_EQ(page->SelectedButton(), 4) << "a refresh keeps the selection";
}

// Puts the cursor over selector k (or off the page for -1) and lets the hover
// timer look until the picture marks that button (none for -1).
void HoverOver(CBaseSetDlg& page, int k) {
    POINT at{5, 5};
    if (k >= 0) {
        RECT r = page.m_selectors[k].GetWindowRect();
        at = POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    ::SetCursorPos(at.x, at.y);
    PumpUntil([&] { return page.m_mousePicture.m_marker == k + 1; });
}

TEST_F(ButtonPageTest, TheMarkerFollowsTheCursorOverTheSelectors) {
    ::SetForegroundWindow(parent.m_hWnd);
    for (int k : {2, 0, 4, -1}) {
        HoverOver(*page, k);
        EXPECT_EQ(page->m_mousePicture.m_marker, k + 1) << k;
    }
}

TEST_F(ButtonPageTest, ScreenshotsOfEverySelectionWithItsMarker) {
    ::SetForegroundWindow(parent.m_hWnd);
    for (const wchar_t* language : {L"enr", L"rus"}) {
        LoadLanguage(language);
        page->UpdateTexts();
        for (int k = 0; k < BUTTON_COUNT; ++k) {
            // The cursor first, so that the clicks find no button holding the
            // capture for its hover.
            HoverOver(*page, k);
            ClickSelector(k);
            // Selector 1 holds the only left click: the guard would ask.
            if (k > 0) ClickFunction(8 - k);
            PumpMessages(250);
            EXPECT_EQ(page->m_mousePicture.m_marker, k + 1);
            std::unique_ptr<Dib32> shot = RenderWindow(page->m_hWnd);
            EXPECT_TRUE(SaveScreenshot(*shot, FormatW(L"button_page_%s_%d", language, k + 1)));
        }
    }
}

}  // namespace
