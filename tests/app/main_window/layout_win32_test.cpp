// The main window's layout end to end: its pages, where a click at each
// place lands, which controls each page shows, and the page icons.
#include <gtest/gtest.h>

#include "app/file_dialogs_win32.h"
#include "app/main_window/harness_win32.h"
#include "support/input_win32.h"

namespace {

using namespace e2e;

class MainWindowLayoutTest : public MainWindowFixture {
protected:
    // Starts in a language: 1 Russian, 2 English.
    void UseLanguage(uint32_t language) {
        WriteFileBytes(Path(L"config\\test.ini"), Bytes{'1'});
        Bytes value(4);
        std::memcpy(value.data(), &language, 4);
        PutRegistryValue(L"Language", value);
    }
    // The LED page exists for a mouse of link type 2 whose model is not 0xF1.
    void MouseWithLed(bool led) {
        m_rig->cable.command->SetDeviceInfo({1, 7, uint8_t(led ? 2 : 1), 0xF0, 0});
    }
};

// What the window shows, read on its thread.
struct Shown {
    int curPage = 0;
    int prevPage = 0;
    int visiblePage = 0;  // the one visible page, -1 when several
    int selectedIcon = 0;  // by page number
    int litIcon = 0;  // the icon drawn with its selected image
    bool icons[PAGE_DEVICE_PICKER + 1] = {};  // by page number
    bool language = false, profile = false, import = false, exportButton = false, reset = false;
    bool exit = false, minimise = false, link = false, battery = false;
};

Shown ReadShown(CQuorvelDlg& dlg) {
    Shown s;
    s.curPage = dlg.m_curPage;
    s.prevPage = dlg.m_prevPage;
    for (MainPageNumber page : kPageNumbers) {
        CMainPage* each = dlg.m_pages.Page(page);
        if (each && each->IsWindowVisible()) s.visiblePage = s.visiblePage == 0 ? page : -1;
        if (dlg.m_pageButtons[page].m_selected) s.selectedIcon = page;
        if (dlg.m_pageButtons[page].LookFor(0).image == IrrImage::Selected) s.litIcon = page;
        s.icons[page] = dlg.m_pageButtons[page].IsWindowVisible() != FALSE;
    }
    s.language = dlg.m_btnLanguage.IsWindowVisible();
    s.profile = dlg.m_btnProfile.IsWindowVisible();
    s.import = dlg.m_btnImport.IsWindowVisible();
    s.exportButton = dlg.m_btnExport.IsWindowVisible();
    s.reset = dlg.m_btnReset.IsWindowVisible();
    s.exit = dlg.m_btnExit.IsWindowVisible();
    s.minimise = dlg.m_btnMinimise.IsWindowVisible();
    s.link = dlg.m_btnLink.IsWindowVisible();
    s.battery = dlg.m_batteryBar.IsWindowVisible() && dlg.m_batteryText.IsWindowVisible();
    return s;
}

void ExpectPageButtons(const Shown& s, bool shown, bool led) {
    EXPECT_EQ(s.language, shown);
    EXPECT_EQ(s.profile, shown);
    EXPECT_EQ(s.import, shown);
    EXPECT_EQ(s.exportButton, shown);
    EXPECT_EQ(s.reset, shown);
    for (int icon :
         {int(PAGE_BUTTONS), int(PAGE_ADVANCED), int(PAGE_MACRO), int(PAGE_DEVICE_PICKER)})
        EXPECT_EQ(s.icons[icon], shown) << "icon " << icon;
    EXPECT_EQ(s.icons[PAGE_LED], shown && led);
    // Never hidden.
    EXPECT_TRUE(s.exit && s.minimise && s.link && s.battery);
}

// A press at a point of the window, as the user makes it: the control under
// the point gets it. A page icon reports the press at once, and its release
// would be a second command.
void PressAt(const CQuorvelDlg& dlg, POINT at) {
    HWND hit = ::ChildWindowFromPointEx(dlg.m_hWnd, at, CWP_SKIPINVISIBLE);
    ::MapWindowPoints(dlg.m_hWnd, hit, &at, 1);
    ::PostMessageW(hit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
    ::PostMessageW(hit, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

TEST_F(MainWindowLayoutTest, FivePagesLiveFromStartUpToTheCloseWithThePickerFirst) {
    UseRig(MakeDemoMouseRig());
    struct PageSeen {
        HWND hwnd = nullptr;
        bool child = false;
        RECT rect{};
    };
    PerPage<PageSeen> seen;
    Shown atStart;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg)) return;
        ui.Call([&] {
            for (MainPageNumber page : kPageNumbers) {
                CMainPage* each = dlg.m_pages.Page(page);
                if (!each) continue;
                seen[page].hwnd = each->m_hWnd;
                seen[page].child = ::GetParent(each->m_hWnd) == dlg.m_hWnd;
                seen[page].rect = each->GetRectInParent();
            }
            atStart = ReadShown(dlg);
        });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(atStart.curPage, 5);
    EXPECT_EQ(atStart.visiblePage, int(PAGE_DEVICE_PICKER)) << "only the device picker is shown";
    EXPECT_EQ(atStart.selectedIcon, int(PAGE_DEVICE_PICKER));
    ExpectPageButtons(atStart, false, false);
    for (MainPageNumber page : kPageNumbers) {
        SCOPED_TRACE(page);
        const PageSeen& each = seen[page];
        ASSERT_NE(each.hwnd, nullptr);
        EXPECT_TRUE(each.child);
        EXPECT_EQ(each.rect.left, 80);
        EXPECT_EQ(each.rect.top, 146);
        EXPECT_EQ(each.rect.right, 1000);
        EXPECT_EQ(each.rect.bottom, 564);
        EXPECT_FALSE(::IsWindow(each.hwnd)) << "the close destroyed the page";
    }
}

TEST_F(MainWindowLayoutTest, AClickAtEachControlsPlaceLandsOnIt) {
    for (bool led : {true, false}) {
        SCOPED_TRACE(led ? "with the LED page" : "without the LED page");
        TearDown();
        SetUp();
        UseRig(MakeDemoMouseRig());
        MouseWithLed(led);
        // Without the LED icon, the other page icons close up 25 pixels to the right.
        const int shift = led ? 0 : 25;
        struct Landing {
            const char* name;
            POINT at;  // in the window
            const char* landedOn = nullptr;
        };
        std::vector<Landing> landings = {
            {"minimise", {903, 50}},
            {"exit", {966, 50}},
            {"language", {85, 599}},
            {"profile", {194, 599}},
            {"import", {303, 599}},
            {"export", {412, 599}},
            {"reset", {521, 599}},
            {"link", {813, 599}},
            {"battery bar", {863, 126}},
            {"battery text", {790, 126}},
            {"picker icon", {374 + shift, 47}},
            {"button icon", {438 + shift, 48}},
            {"advanced icon", {501 + shift, 48}},
            {"macro icon", {572 + shift, 48}},
            {"LED icon", {628, 48}},
            // Between the icons and under the title: the skin, which drags the window.
            {"nothing", {467 + shift, 48}},
            {"nothing", {20, 120}},
        };
        bool connected = false;
        Run run = RunMainWindow(
            [&](CQuorvelDlg& dlg, UiInvoker& ui) {
                if (!WaitForMainWindow(dlg)) return;
                connected = ConnectMouse(dlg, ui, 0);
                ui.Call([&] {
                    const struct {
                        const char* name;
                        const CWnd& control;
                    } controls[] = {
                        {"minimise", dlg.m_btnMinimise},
                        {"exit", dlg.m_btnExit},
                        {"language", dlg.m_btnLanguage},
                        {"profile", dlg.m_btnProfile},
                        {"import", dlg.m_btnImport},
                        {"export", dlg.m_btnExport},
                        {"reset", dlg.m_btnReset},
                        {"link", dlg.m_btnLink},
                        {"battery bar", dlg.m_batteryBar},
                        {"battery text", dlg.m_batteryText},
                        {"picker icon", dlg.m_pageButtons[PAGE_DEVICE_PICKER]},
                        {"button icon", dlg.m_pageButtons[PAGE_BUTTONS]},
                        {"advanced icon", dlg.m_pageButtons[PAGE_ADVANCED]},
                        {"macro icon", dlg.m_pageButtons[PAGE_MACRO]},
                        {"LED icon", dlg.m_pageButtons[PAGE_LED]},
                        {"nothing", dlg},
                    };
                    for (Landing& landing : landings) {
                        landing.landedOn = "something else";
                        HWND hit = ::ChildWindowFromPointEx(dlg.m_hWnd, landing.at, CWP_SKIPINVISIBLE);
                        for (const auto& control : controls)
                            if (control.control.m_hWnd == hit) landing.landedOn = control.name;
                    }
                });
                ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
            },
            40000);
        EXPECT_TRUE(run.ended);
        ASSERT_TRUE(connected);
        for (const Landing& landing : landings)
            EXPECT_STREQ(landing.landedOn, led || std::string(landing.name) != "LED icon"
                                               ? landing.name
                                               : "nothing")
                << "at " << landing.at.x << "," << landing.at.y;
    }
}

TEST_F(MainWindowLayoutTest, PageIconsSwitchPagesOncePerPressInBothLanguages) {
    for (uint32_t language : {2u, 1u}) {
        const wchar_t* tag = language == 2 ? L"en" : L"ru";
        SCOPED_TRACE(language == 2 ? "English" : "Russian");
        TearDown();
        SetUp();
        UseLanguage(language);
        UseRig(MakeDemoMouseRig());
        MouseWithLed(true);
        Shown picker, buttons, afterPicker, restored, led, advanced, macro, twice;
        bool connected = false;
        Run run = RunMainWindow(
            [&](CQuorvelDlg& dlg, UiInvoker& ui) {
                if (!WaitForMainWindow(dlg)) return;
                auto shoot = [&](const wchar_t* state) {
                    SaveScreenshot(*RenderWindow(dlg.m_hWnd),
                                   FormatW(L"main_window_%s_%s", state, tag));
                };
                ui.Call([&] {
                    picker = ReadShown(dlg);
                    shoot(L"picker");
                });
                connected = ConnectMouse(dlg, ui, 0);
                ui.Call([&] {
                    buttons = ReadShown(dlg);
                    shoot(L"buttons");
                });
                // Each press gives the page once: it holds no matter how many commands it sends.
                // Each at the middle of the icon the user sees.
                const struct {
                    POINT at;
                    Shown* seen;
                    const wchar_t* state;
                } steps[] = {
                    {{374, 47}, &afterPicker, nullptr},
                    {{628, 48}, &led, L"led"},
                    {{501, 48}, &advanced, L"advanced"},
                    {{572, 48}, &macro, L"macro"},
                };
                for (const auto& step : steps) {
                    if (step.seen == &led) {
                        // From the picker, the connected tile leads back to the button page.
                        ui.Call([&] {
                            dlg.RestorePreviousPage();
                            restored = ReadShown(dlg);
                        });
                    }
                    PressAt(dlg, step.at);
                    ui.CallWhenIdle([&] {
                        *step.seen = ReadShown(dlg);
                        if (step.state) shoot(step.state);
                    });
                }
                // The macro page's command sent twice, as a press and a click would.
                ui.Call([&] {
                    HWND icon = dlg.m_pageButtons[PAGE_MACRO].m_hWnd;
                    dlg.SendMessage(WM_COMMAND, 0, reinterpret_cast<LPARAM>(icon));
                    dlg.SendMessage(WM_COMMAND, BN_CLICKED << 16, reinterpret_cast<LPARAM>(icon));
                    twice = ReadShown(dlg);
                });
                ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
            },
            40000);
        EXPECT_TRUE(run.ended);
        ASSERT_TRUE(connected);

        EXPECT_EQ(picker.visiblePage, int(PAGE_DEVICE_PICKER));
        ExpectPageButtons(picker, false, true);

        EXPECT_EQ(buttons.curPage, 1);
        EXPECT_EQ(buttons.visiblePage, int(PAGE_BUTTONS));
        EXPECT_EQ(buttons.selectedIcon, int(PAGE_BUTTONS));
        EXPECT_EQ(buttons.litIcon, int(PAGE_BUTTONS));
        ExpectPageButtons(buttons, true, true);

        EXPECT_EQ(afterPicker.curPage, 5);
        EXPECT_EQ(afterPicker.prevPage, 1) << "the release's command must not count";
        EXPECT_EQ(afterPicker.visiblePage, int(PAGE_DEVICE_PICKER));
        ExpectPageButtons(afterPicker, false, true);

        EXPECT_EQ(restored.curPage, 1);
        EXPECT_EQ(restored.prevPage, 5);
        EXPECT_EQ(restored.visiblePage, int(PAGE_BUTTONS));
        ExpectPageButtons(restored, true, true);

        const struct {
            const Shown& seen;
            int page;
        } pages[] = {{led, 2}, {advanced, 3}, {macro, 4}};
        for (const auto& p : pages) {
            SCOPED_TRACE(p.page);
            EXPECT_EQ(p.seen.curPage, p.page);
            EXPECT_EQ(p.seen.visiblePage, p.page);
            EXPECT_EQ(p.seen.selectedIcon, p.page);
            EXPECT_EQ(p.seen.litIcon, p.page);
            ExpectPageButtons(p.seen, true, true);
        }
        EXPECT_EQ(twice.curPage, 4);
        EXPECT_EQ(twice.prevPage, 3);
    }
}

TEST_F(MainWindowLayoutTest, WithoutAMouseThePageIconsDoNothingButTheLanguageButtonWorks) {
    UseRig(MakeUnpluggedRig());
    int dialogsAsked = 0;
    SetFileDialogHandler([&](const FileDialogRequest&) -> std::optional<std::wstring> {
        ++dialogsAsked;
        return std::nullopt;
    });
    int pageAfter = 0;
    bool popupOpen = false;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        AnswerMessageBox(kMouseNotFoundText);
        if (!WaitForMainWindow(dlg)) return;
        ui.Call([&] {
            for (const CIrrButton& icon : dlg.m_pageButtons)
                dlg.SendMessage(WM_COMMAND, 0, reinterpret_cast<LPARAM>(icon.m_hWnd));
            for (const CWnd* button : {(const CWnd*)&dlg.m_btnImport, (const CWnd*)&dlg.m_btnReset,
                                       (const CWnd*)&dlg.m_btnProfile})
                dlg.SendMessage(WM_COMMAND, BN_CLICKED << 16,
                                reinterpret_cast<LPARAM>(button->m_hWnd));
            pageAfter = dlg.m_curPage;
            dlg.SendMessage(WM_COMMAND, BN_CLICKED << 16,
                            reinterpret_cast<LPARAM>(dlg.m_btnLanguage.m_hWnd));
            popupOpen = dlg.m_popup.IsOpen();
        });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.ended);
    SetFileDialogHandler(nullptr);
    EXPECT_EQ(pageAfter, 5);
    EXPECT_EQ(dialogsAsked, 0);
    EXPECT_TRUE(popupOpen);
}

TEST_F(MainWindowLayoutTest, TheDragIconIsTheWindowsIconAndOtherSystemCommandsKeepTheirMeaning) {
    UseRig(MakeUnpluggedRig());
    bool iconic = false;
    HICON dragIcon = nullptr, windowIcon = nullptr;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        WaitFor([] { return FindMessageBox(kMouseNotFoundText) != nullptr; }, kHangLimitMs);
        if (HWND box = FindMessageBox(kMouseNotFoundText)) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        if (!WaitForMainWindow(dlg)) return;
        dragIcon = reinterpret_cast<HICON>(::SendMessageW(dlg.m_hWnd, WM_QUERYDRAGICON, 0, 0));
        ui.Call([&] { windowIcon = dlg.m_hIcon; });
        // Only the About box's ids are the window's own.
        ::PostMessageW(dlg.m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        iconic = WaitFor([&] { return ::IsIconic(dlg.m_hWnd) != FALSE; }, kHangLimitMs);
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.ended);
    EXPECT_NE(windowIcon, nullptr);
    EXPECT_EQ(dragIcon, windowIcon);
    EXPECT_TRUE(iconic);
}

TEST_F(MainWindowLayoutTest, APressOnTheBackgroundDragsTheWindow) {
    UseRig(MakeUnpluggedRig());
    RECT before{}, after{};
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        WaitFor([] { return FindMessageBox(kMouseNotFoundText) != nullptr; }, kHangLimitMs);
        if (HWND box = FindMessageBox(kMouseNotFoundText)) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        if (!WaitForMainWindow(dlg)) return;
        ::SetForegroundWindow(dlg.m_hWnd);
        before = dlg.GetWindowRect();
        // A point of the skin that no control covers.
        POINT start{before.left + 20, before.top + 120};
        auto mouse = [](DWORD flags, POINT at) {
            INPUT input{};
            input.type = INPUT_MOUSE;
            input.mi.dx = LONG(at.x * 65535 / (::GetSystemMetrics(SM_CXSCREEN) - 1));
            input.mi.dy = LONG(at.y * 65535 / (::GetSystemMetrics(SM_CYSCREEN) - 1));
            input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
            ::SendInput(1, &input, sizeof(input));
            std::this_thread::sleep_for(std::chrono::milliseconds(60));
        };
        mouse(0, start);
        mouse(MOUSEEVENTF_LEFTDOWN, start);
        for (int step = 1; step <= 4; ++step)
            mouse(0, POINT{start.x + 10 * step, start.y + 5 * step});
        mouse(MOUSEEVENTF_LEFTUP, POINT{start.x + 40, start.y + 20});
        WaitFor([&] { return dlg.GetWindowRect().left != before.left; }, kHangLimitMs);
        ui.Call([&] { after = dlg.GetWindowRect(); });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(after.left - before.left, 40);
    EXPECT_EQ(after.top - before.top, 20);
}

}  // namespace
