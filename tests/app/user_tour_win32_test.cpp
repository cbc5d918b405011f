// The program as a user meets it, once in each language, against the
// simulated mouse: start, connect from the device picker, change something on
// every page through the page's own controls and boxes, switch profile and
// back, export, reset, import, change the language and close; then start again
// on the same folder, registry and mouse, and find everything as it was, on
// the pages, in the profile file and in the mouse. Every page and box is
// photographed on the way.
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <mutex>
#include <sstream>

#include "app/file_dialogs_win32.h"
#include "app/main_window/harness_win32.h"
#include "app/pages/adv_set_win32.h"
#include "app/pages/button_page_win32.h"
#include "app/pages/dpi_formulas.h"
#include "app/pages/host_page_win32.h"
#include "app/pages/led_set_win32.h"
#include "app/pages/macro_set_win32.h"
#include "app/pages/sensor_options.h"
#include "device/button_codes.h"
#include "device/keyboard_hook.h"
#include "device/sync_threads.h"
#include "device/usb_driver.h"
#include "sim/sim_clock.h"
#include "support/message_spy_win32.h"

namespace {

using namespace e2e;

struct TourLanguage {
    const char* name;
    uint32_t language;   // the registry's Language value it starts with
    uint32_t other;      // the one the tour changes to
    const wchar_t* tag;  // of the screenshots
};

// The test's name says which; the default would print the bytes.
void PrintTo(const TourLanguage& language, std::ostream* out) { *out << language.name; }

const TourLanguage kLanguages[] = {
    {"English", 2, 1, L"en"},
    {"Russian", 1, 2, L"ru"},
};

// Selectors (UI buttons 0..4) and their device button numbers 0, 1, 2, 4, 3.
constexpr int kPlainSelector = 1;  // the right button gets forward
constexpr int kMacroSelector = 2;  // the middle button plays the recorded macro
constexpr int kFireSelector = 3;   // device button 4: a fire key
constexpr int kComboSelector = 4;  // device button 3: Ctrl+C
constexpr int kForwardFunction = 3;
constexpr int kFireFunction = 5;
constexpr int kComboFunction = 6;
constexpr int kMacroFunction = 7;

constexpr uint32_t kForwardCode = 0x00F40001;
constexpr uint32_t kFireCode = 0x0218F00A;
constexpr uint32_t kCtrlCCode = 0x00060100;

// Client points of the boxes' buttons.
constexpr POINT kConfirmOk{90, 178};
constexpr POINT kComboOk{40, 170};
constexpr POINT kPickerOk{50, 195};

// A frame as the mouse gets it after the report id, padded with zeros.
Bytes Frame(std::initializer_list<uint8_t> bytes) {
    Bytes frame(bytes);
    frame.resize(FEATURE_REPORT_SIZE - 1, 0);
    return frame;
}

Bytes ButtonFrame(uint8_t deviceButton, uint32_t code) {
    return Frame({CMD_SET_BUTTON, deviceButton, uint8_t(code), uint8_t(code >> 8),
                  uint8_t(code >> 16), uint8_t(code >> 24)});
}

// Every setting of the mouse in one text, so that a difference shows by name.
std::string Describe(const SimMouseSettings& s) {
    std::ostringstream out;
    out << "rate " << int(s.reportRate) << "; stages";
    for (const SimDpiStage& stage : s.stages)
        out << " " << stage.stepX << "/" << stage.stepY << "#" << int(stage.colour[0]) << ","
            << int(stage.colour[1]) << "," << int(stage.colour[2]);
    out << "; count " << int(s.dpiCount) << " current " << int(s.dpiCurrent) << " led "
        << int(s.dpiLedMode) << " " << int(s.dpiByte5) << int(s.dpiByte6) << "; sensor";
    for (int i = 1; i < 6; ++i) out << " " << int(s.sensor[i]);
    out << "; debounce " << int(s.debounce) << " fire " << int(s.fireCount) << "x" << s.fireInterval
        << " power-down " << s.powerDown << "; buttons" << std::hex;
    for (uint32_t code : s.buttons) out << " " << code;
    out << std::dec << "; effect " << int(s.ledEffect);
    return out.str();
}

// A macro button's caption is spelled in the language the program runs in
// when it reads the mouse, not in the one the user assigned it in.
SettingsImage WithoutMacroCaptions(SettingsImage settings) {
    for (ButtonAssignment& record : settings.buttons)
        if (record.functionId == FUNC_MACRO)
            std::memset(record.displayName, 0, sizeof(record.displayName));
    return settings;
}

Bytes BytesOf(const SettingsImage& settings) {
    const auto* p = reinterpret_cast<const uint8_t*>(&settings);
    return Bytes(p, p + sizeof(settings));
}

// What a page shows: each skinned control's caption and whether it is checked,
// shown and enabled, and each slider's place. The checks of the controls in
// selection say which one the user clicked last rather than a setting: only
// their captions count.
std::vector<std::wstring> Readout(const CWnd& page, const std::vector<HWND>& selection = {}) {
    struct Walk {
        std::vector<std::wstring> lines;
        const std::vector<HWND>* selection;
    } walk{{}, &selection};
    ::EnumChildWindows(
        page.m_hWnd,
        [](HWND child, LPARAM lp) -> BOOL {
            auto& w = *reinterpret_cast<Walk*>(lp);
            // Its own style bit: the page itself may be hidden.
            const bool shown = (::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0;
            const bool enabled = ::IsWindowEnabled(child);
            CWnd* object = CWnd::FromHandle(child);
            if (auto* button = dynamic_cast<CSkinStateButton*>(object)) {
                const bool picked = std::find(w.selection->begin(), w.selection->end(), child) !=
                                    w.selection->end();
                w.lines.push_back(button->m_text +
                                  (picked ? L""
                                          : FormatW(L" %d%d%d", int(button->m_checked != 0),
                                                    int(shown), int(enabled))));
            } else if (auto* slider = dynamic_cast<CHProgressBar*>(object)) {
                w.lines.push_back(FormatW(L"slider %d %d", slider->m_pos, int(shown)));
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&walk));
    return walk.lines;
}

// Everything the pages show of the settings, in one list.
std::vector<std::wstring> PagesReadout(CQuorvelDlg& dlg) {
    std::vector<std::wstring> all;
    auto add = [&](const std::wstring& page, const std::vector<std::wstring>& lines) {
        for (const std::wstring& line : lines) all.push_back(page + L": " + line);
    };
    if (auto* buttons = dlg.m_pages.Buttons()) {
        std::vector<HWND> selection;
        for (const CWnd& w : buttons->m_selectors) selection.push_back(w.m_hWnd);
        for (const CWnd& w : buttons->m_functionButtons) selection.push_back(w.m_hWnd);
        std::vector<std::wstring> lines = Readout(*buttons, selection);
        // "Button 3": the selector picked last.
        std::erase(lines, buttons->m_selectedLabel.m_text + L" 011");
        // A macro's caption names the function in the language it was given in,
        // and the macro; only the macro's name is the setting.
        for (std::wstring& line : lines) {
            size_t dash = line.find(L" - ");
            if (dash != std::wstring::npos) line.erase(0, dash + 3);
        }
        add(L"buttons", lines);
    }
    if (CMainPage* advanced = dlg.m_pages.Page(PAGE_ADVANCED)) add(L"advanced", Readout(*advanced));
    if (CMainPage* led = dlg.m_pages.Page(PAGE_LED)) add(L"led", Readout(*led));
    if (auto* macros = dlg.m_pages.Macro()) {
        for (int i = 0; i < macros->m_macroList.GetCount(); ++i)
            add(L"macros", {macros->m_macroList.GetText(i)});
    }
    return all;
}

class UserTourTest : public MainWindowFixture, public ::testing::WithParamInterface<TourLanguage> {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        SetFileDialogHandler([this](const FileDialogRequest&) -> std::optional<std::wstring> {
            std::lock_guard<std::mutex> lock(m_mutex);
            return m_nextFile;
        });
    }
    void TearDown() override {
        SetFileDialogHandler(nullptr);
        MainWindowFixture::TearDown();
    }
    void NextFile(std::wstring path) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nextFile = std::move(path);
    }

    size_t Mark() const { return m_rig->backend.Log().size(); }
    // The set commands that reached the mouse since mark, from the command byte on.
    std::vector<Bytes> SetsSince(size_t mark) const {
        std::vector<SimReport> log = m_rig->backend.Log();
        std::vector<Bytes> sets;
        for (size_t i = mark; i < log.size(); ++i) {
            const SimReport& r = log[i];
            if (r.kind == SimReport::Kind::SetFeature && r.bytes.size() == FEATURE_REPORT_SIZE &&
                r.bytes[1] < CMD_GET_FLAG)
                sets.emplace_back(r.bytes.begin() + 1, r.bytes.end());
        }
        return sets;
    }
    int OutputsSince(size_t mark) const {
        std::vector<SimReport> log = m_rig->backend.Log();
        int n = 0;
        for (size_t i = mark; i < log.size(); ++i) n += log[i].kind == SimReport::Kind::Output;
        return n;
    }
    // The set commands a user's action sent: what reached the mouse from the
    // action on, once there are count of them, or once the last is `last`.
    std::vector<Bytes> SetsOf(const std::function<void()>& act, size_t count = 1,
                              const Bytes& last = {}, int* outputs = nullptr) const {
        const size_t mark = Mark();
        act();
        WaitFor(
            [&] {
                std::vector<Bytes> sets = SetsSince(mark);
                return last.empty() ? sets.size() >= count : !sets.empty() && sets.back() == last;
            },
            kHangLimitMs);
        if (outputs) *outputs = OutputsSince(mark);
        return SetsSince(mark);
    }

    void Shoot(CQuorvelDlg& dlg, UiInvoker& ui, const wchar_t* what) {
        const std::wstring name = std::wstring(L"tour_") + GetParam().tag + L"_" + what;
        ui.Call([&] { m_shots += SaveScreenshot(*RenderWindow(dlg.m_hWnd), name) ? 1 : 0; });
    }
    void ShootBox(HWND box, const wchar_t* what) {
        m_shots += SaveWindowScreenshot(box, std::wstring(L"tour_") + GetParam().tag + L"_" + what)
                       ? 1
                       : 0;
    }
    // Waits for the box, photographs it and clicks at a point of its client area.
    bool AnswerBoxAt(const wchar_t* title, POINT at, const wchar_t* what) {
        HWND box = WaitForTopLevelWindow(title, nullptr, kHangLimitMs);
        if (!box) return false;
        ShootBox(box, what);
        ClickControl(::ChildWindowFromPoint(box, at));
        return WaitFor([&] { return !::IsWindow(box); }, kHangLimitMs);
    }
    // The page icon clicked as the user clicks it; true when the page is up.
    static bool GoToPage(CQuorvelDlg& dlg, UiInvoker& ui, int icon, int page) {
        HWND button = nullptr;
        ui.Call([&] { button = dlg.m_pageButtons[icon].m_hWnd; });
        ClickControl(button);
        return WaitOnUi(ui, [&] { return dlg.m_curPage == page; });
    }
    static void PostClickAt(HWND control, int x, int y) {
        ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
        ::PostMessageW(control, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    }
    // A sync that a click started has ended: its done message came and (unless
    // a notice follows it) the window takes input again.
    static bool WaitForSync(CQuorvelDlg& dlg, UiInvoker& ui, const MessageSpy& spy, int& syncs,
                            bool noticeFollows = false) {
        ++syncs;
        if (!spy.WaitFor(UWM_SYNC_DONE, syncs, kHangLimitMs)) return false;
        // The window is enabled as the progress box ends, before its loop has
        // returned to the handler that started it, which then refreshes the pages.
        return noticeFollows || (WaitForSyncEnd(dlg) && AfterPostedWork(ui));
    }
    // Everything posted to the UI thread so far has been handled, and the
    // loops that were ending have returned: a message posted now comes after it all.
    static bool AfterPostedWork(UiInvoker& ui) {
        auto ran = std::make_shared<std::atomic<bool>>(false);
        ui.Post([ran] { *ran = true; });
        return WaitFor([&] { return ran->load(); }, kHangLimitMs);
    }
    // The main window's popup, read back from the screen: a layered window
    // reaches the screen a moment after it was made. Only the picture waits.
    void ShootPopup(CQuorvelDlg& dlg, UiInvoker& ui, const wchar_t* what) {
        HWND popup = nullptr;
        ui.Call([&] { popup = dlg.m_popup.Get() ? dlg.m_popup.Get()->m_hWnd : nullptr; });
        if (!popup) return;
        std::unique_ptr<Dib32> picture;
        WaitFor(
            [&] {
                picture = CaptureTopLevelWindow(popup);
                return Varied(*picture);
            },
            kHangLimitMs);
        m_shots += SaveScreenshot(*picture, std::wstring(L"tour_") + GetParam().tag + L"_" + what) ? 1 : 0;
    }

    std::mutex m_mutex;
    std::wstring m_nextFile;
    int m_shots = 0;
};

TEST_P(UserTourTest, EveryPageChangedSurvivesARestartOnThePageInTheFileAndInTheMouse) {
    const TourLanguage& language = GetParam();
    WriteFileBytes(Path(L"config\\test.ini"), Bytes{'1'});
    PutRegistryValue(L"Language", Bytes{uint8_t(language.language), 0, 0, 0});
    UseRig(MakeDemoMouseRig());
    ScopedSimClock clock;
    const SimMouseSettings demo = m_rig->mouse->Settings();
    const std::wstring exported = Path(L"tour.ini");
    const uint8_t typedStep = uint8_t(*StepOfDpi(kDemoSensorType, DpiAxis::X, 3200));

    // What the tour saw, checked once the window is gone.
    struct Seen {
        bool started = false, connected = false, pickerShown = false;
        std::u16string exitText, exitTextAfter;
        std::vector<Bytes> plain, fire, combo, debounce, powerDown, macroButton, drag, typed, count,
            ledMode, rate, liftOff, sensorMode, switches, effect;
        int macroChunks = 0, macroRows = 0, macroEvents = 0;
        uint16_t draggedStep = 0;
        uint32_t macroId = 0;
        SimMouseSettings afterPages{}, onProfile2{}, backOnProfile1{}, afterReset{}, afterImport{};
        int profileAfterSwitch = -1, profileAfterReturn = -1;
        bool exportedOk = false, importedOk = false;
        std::vector<std::wstring> pages;
        SettingsImage settings{}, atExport{};
    } seen;

    Run first = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            if (!WaitForMainWindow(dlg)) return;
            seen.started = true;
            MessageSpy spy(dlg.m_hWnd);
            int syncs = 0;
            ui.Call([&] {
                seen.pickerShown = dlg.m_curPage == PAGE_DEVICE_PICKER;
                seen.exitText = g_uiTexts[UiText::str_exit];
            });
            Shoot(dlg, ui, L"1_picker");

            // The picker's tile connects and reads the mouse; the button page follows.
            HWND tile = nullptr;
            ui.Call([&] { tile = dlg.m_pages.DevicePicker()->m_tiles[0].m_hWnd; });
            ClickControl(tile);
            seen.connected = WaitForSync(dlg, ui, spy, syncs) && g_isConnected != 0;
            if (!seen.connected) return;

            // ---- buttons: one function of each kind, the debounce and the power-down ----
            auto* buttons = dlg.m_pages.Buttons();
            int page = 0;
            ui.Call([&] { page = dlg.m_curPage; });
            if (!buttons || page != PAGE_BUTTONS) return;
            auto pick = [&](int selector, int function) {
                ClickControl(buttons->m_selectors[selector].m_hWnd);
                WaitOnUi(ui, [&] { return buttons->SelectedButton() == selector; });
                ClickControl(buttons->m_functionButtons[function].m_hWnd);
            };
            seen.plain = SetsOf([&] { pick(kPlainSelector, kForwardFunction); });

            seen.fire = SetsOf(
                [&] {
                    pick(kFireSelector, kFireFunction);
                    if (HWND box = WaitForTopLevelWindow(L"CFireKeyDlg", nullptr, kHangLimitMs)) {
                        HWND interval = ::ChildWindowFromPoint(box, POINT{200, 80});
                        ::SendMessageW(interval, EM_SETSEL, 0, -1);
                        SendKey('5');
                        WaitFor([&] { return FindChildWithText(box, L"5") != nullptr; }, kHangLimitMs);
                        ShootBox(box, L"2_fire_key_box");
                        SendKey(VK_RETURN);
                    }
                },
                0, ButtonFrame(4, kFireCode));

            seen.combo = SetsOf([&] {
                pick(kComboSelector, kComboFunction);
                if (HWND box = WaitForTopLevelWindow(L"QuorvelSingleCombDlg", nullptr, kHangLimitMs)) {
                    WaitFor([] { return g_keyboardHook != 0; }, kHangLimitMs);
                    SendChord({VK_LCONTROL, 'C'});
                    // The hook's keys reach the box through its own loop.
                    WaitOnUi(ui, [&] { return ComboHoldsCtrlAnd(box, 'C'); });
                }
                AnswerBoxAt(L"QuorvelSingleCombDlg", kComboOk, L"3_key_combination_box");
            });

            // The demo's debounce of 8 one down asks first; the power-down one up.
            seen.debounce = SetsOf([&] {
                PostClickAt(buttons->m_debounceStepper.m_hWnd, 17, 100);
                AnswerBoxAt(L"CDebounceWDlg", kConfirmOk, L"4_debounce_box");
            });
            seen.powerDown =
                SetsOf([&] { PostClickAt(buttons->m_powerDownStepper.m_hWnd, 17, 10); });

            // ---- macros: a new one named in its box, recorded from real keys ----
            if (!GoToPage(dlg, ui, PAGE_MACRO, PAGE_MACRO)) return;
            auto* macros = dlg.m_pages.Macro();
            if (!macros) return;
            ClickControl(macros->m_newButton.m_hWnd);
            AnswerValueEntry(L"Tour");
            WaitOnUi(ui, [&] { return (seen.macroRows = macros->m_macroList.GetCount()) == 1; });
            ClickControl(macros->m_recordButton.m_hWnd);
            WaitOnUi(ui, [&] { return macros->IsRecording(); });
            SendKeys({'M', 'N'});
            WaitOnUi(ui, [&] { return (seen.macroEvents = macros->m_eventList.GetCount()) == 7; });
            ClickControl(macros->m_recordButton.m_hWnd);
            WaitOnUi(ui, [&] { return !macros->IsRecording(); });
            ui.Call([&] { seen.macroId = uint32_t(macros->m_macroList.GetItemData(0)); });
            Shoot(dlg, ui, L"5_macro_page");

            // ---- back on the buttons: the recorded macro through the picker ----
            if (!GoToPage(dlg, ui, PAGE_BUTTONS, PAGE_BUTTONS)) return;
            seen.macroButton = SetsOf(
                [&] {
                    pick(kMacroSelector, kMacroFunction);
                    AnswerBoxAt(L"QuorvelMacrosetDlg", kPickerOk, L"6_macro_picker_box");
                },
                0, ButtonFrame(2, MacroButtonCode(2)), &seen.macroChunks);
            Shoot(dlg, ui, L"7_button_page");

            // ---- advanced: a stage dragged and one typed, count, LED mode, sensor, rate ----
            if (!GoToPage(dlg, ui, PAGE_ADVANCED, PAGE_ADVANCED)) return;
            auto* adv = dlg.m_pages.Advanced();
            if (!adv) return;
            seen.drag = SetsOf([&] {
                HWND slider = adv->m_dpiSliderX[2].m_hWnd;
                ::PostMessageW(slider, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(0, 6));
                ::PostMessageW(slider, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(68, 6));
                ::PostMessageW(slider, WM_LBUTTONUP, 0, MAKELPARAM(68, 6));
            });
            seen.draggedStep = m_rig->mouse->Settings().stages[2].stepX;

            seen.typed = SetsOf([&] {
                ::PostMessageW(adv->m_dpiBoxX[3].m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON,
                               MAKELPARAM(10, 5));
                if (HWND box = WaitForTopLevelWindow(L"QuorvelMacroModifyDlg", nullptr, kHangLimitMs)) {
                    ShootBox(box, L"8_dpi_value_box");
                    AnswerValueEntry(L"3200");
                }
            });
            auto choose = [&](const CWnd& opener, uint32_t row) {
                ClickControl(opener.m_hWnd);
                WaitFor([&] { return adv->m_popup.IsOpen(); }, kHangLimitMs);
                ChoosePopupRow(adv->m_popup, ui, row);
            };
            seen.count = SetsOf([&] { choose(adv->m_countButton, 5); });
            seen.ledMode = SetsOf([&] { choose(adv->m_ledModeButton, 3); });
            seen.liftOff = SetsOf([&] { ClickControl(adv->m_liftOffButtons[0].m_hWnd); });
            // The mode before the rate: from 2000 Hz up the mode buttons are locked.
            seen.sensorMode = SetsOf([&] { ClickControl(adv->m_sensorModeButtons[1].m_hWnd); });
            seen.switches = SetsOf(
                [&] {
                    ClickControl(adv->m_switches[SWITCH_ANGLE_SNAP].m_hWnd);
                    ClickControl(adv->m_switches[SWITCH_MOTION_SYNC].m_hWnd);
                },
                2);
            seen.rate = SetsOf([&] {
                ClickControl(adv->m_rateButtons[RATE_4000].m_hWnd);
                AnswerBoxAt(L"CRateMsgDlg", kConfirmOk, L"9_rate_box");
            });
            Shoot(dlg, ui, L"10_advanced_page");

            // ---- lights ----
            if (!GoToPage(dlg, ui, PAGE_LED, PAGE_LED)) return;
            auto* led = dlg.m_pages.Led();
            if (!led) return;
            seen.effect = SetsOf([&] { ClickControl(led->m_effectButtons[2].m_hWnd); });
            Shoot(dlg, ui, L"11_led_page");
            seen.afterPages = m_rig->mouse->Settings();

            // ---- profile 2 gets a lights change of its own; profile 1 comes back whole ----
            auto chooseProfile = [&](uint32_t number) {
                ClickControl(dlg.m_btnProfile.m_hWnd);
                WaitFor([&] { return dlg.m_popup.IsOpen(); }, kHangLimitMs);
                if (number == 2) ShootPopup(dlg, ui, L"12_profile_popup");
                ChoosePopupRow(dlg.m_popup, ui, number);
                WaitForSync(dlg, ui, spy, syncs);
            };
            chooseProfile(2);
            ui.Call([&] { seen.profileAfterSwitch = dlg.m_activeProfileIndex; });
            SetsOf([&] { ClickControl(led->m_effectButtons[0].m_hWnd); });
            seen.onProfile2 = m_rig->mouse->Settings();
            chooseProfile(1);
            ui.Call([&] { seen.profileAfterReturn = dlg.m_activeProfileIndex; });
            seen.backOnProfile1 = m_rig->mouse->Settings();

            // ---- export, reset, import: the file brings it all back ----
            ui.Call([&] { seen.atExport = g_settings; });
            NextFile(exported);
            ClickControl(dlg.m_btnExport.m_hWnd);
            seen.exportedOk = AnswerMessageBox((exported + L" export success!").c_str(), kHangLimitMs);
            ClickControl(dlg.m_btnReset.m_hWnd);
            WaitForSync(dlg, ui, spy, syncs);
            seen.afterReset = m_rig->mouse->Settings();
            ClickControl(dlg.m_btnImport.m_hWnd);
            if (WaitForSync(dlg, ui, spy, syncs, true))
                seen.importedOk = AnswerMessageBox((exported + L" import success!").c_str(), kHangLimitMs);
            seen.afterImport = m_rig->mouse->Settings();

            // ---- the other language; what every page shows is kept for the restart ----
            ClickControl(dlg.m_btnLanguage.m_hWnd);
            WaitFor([&] { return dlg.m_popup.IsOpen(); }, kHangLimitMs);
            ShootPopup(dlg, ui, L"13_language_popup");
            ChoosePopupRow(dlg.m_popup, ui, language.other);
            WaitOnUi(ui, [&] { return g_uiTexts[UiText::str_exit] != seen.exitText; });
            AfterPostedWork(ui);  // the pages take the texts from a posted refresh
            ui.Call([&] {
                seen.exitTextAfter = g_uiTexts[UiText::str_exit];
                seen.pages = PagesReadout(dlg);
            });
            Shoot(dlg, ui, L"14_led_page_other_language");

            ClickControl(dlg.m_btnExit.m_hWnd);
        },
        110000);
    seen.settings = g_settings;

    EXPECT_TRUE(first.ended);
    ASSERT_TRUE(seen.started);
    EXPECT_TRUE(seen.pickerShown) << "the program starts on the device picker";
    ASSERT_TRUE(seen.connected);

    // Each change reached the mouse as one command (the fire key with its timing).
    EXPECT_EQ(seen.plain, std::vector<Bytes>{ButtonFrame(1, kForwardCode)});
    EXPECT_EQ(seen.fire, (std::vector<Bytes>{Frame({CMD_GROUP_TIMING, TIMING_FIRE_KEY, 3, 5, 0}),
                                             ButtonFrame(4, kFireCode)}));
    EXPECT_EQ(seen.combo, std::vector<Bytes>{ButtonFrame(3, kCtrlCCode)});
    EXPECT_EQ(seen.debounce, std::vector<Bytes>{Frame({CMD_GROUP_TIMING, TIMING_DEBOUNCE, 7})});
    EXPECT_EQ(
        seen.powerDown,
        std::vector<Bytes>{Frame({CMD_GROUP_TIMING, TIMING_POWER_DOWN, 360 & 0xFF, 360 >> 8})});
    EXPECT_EQ(seen.macroRows, 1);
    EXPECT_EQ(seen.macroEvents, 7);
    ASSERT_FALSE(seen.macroButton.empty());
    EXPECT_EQ(seen.macroButton.back(), ButtonFrame(2, MacroButtonCode(2)));
    EXPECT_EQ(seen.macroChunks, SIM_MACRO_CHUNK_COUNT)
        << "the macro went up whole before its button command";
    // Stage colours go with every stage command; the demo's third is blue.
    EXPECT_EQ(seen.drag, std::vector<Bytes>{Frame(
                             {CMD_SET_DPI_STAGE, 2, uint8_t(seen.draggedStep), 0, 0, 0, 255, 1})});
    EXPECT_NE(seen.draggedStep, demo.stages[2].stepX);
    EXPECT_EQ(seen.typed,
              std::vector<Bytes>{Frame({CMD_SET_DPI_STAGE, 3, typedStep, 0, 255, 255, 0, 1})});
    EXPECT_EQ(seen.count, std::vector<Bytes>{Frame({CMD_SET_DPI_CONFIG, 5, 1, 1, 1, 1})});
    EXPECT_EQ(seen.ledMode, std::vector<Bytes>{Frame({CMD_SET_DPI_CONFIG, 5, 1, 2, 1, 1})});
    EXPECT_EQ(seen.liftOff, std::vector<Bytes>{Frame({CMD_GROUP_SENSOR, SENSOR_LIFT_OFF, 0})});
    EXPECT_EQ(seen.sensorMode, std::vector<Bytes>{Frame({CMD_GROUP_SENSOR, SENSOR_MODE, 1})});
    EXPECT_EQ(seen.switches,
              (std::vector<Bytes>{Frame({CMD_GROUP_SENSOR, SENSOR_ANGLE_SNAP, 1}),
                                  Frame({CMD_GROUP_SENSOR, SENSOR_MOTION_SYNC, 0})}));
    EXPECT_EQ(seen.rate,
              std::vector<Bytes>{Frame({CMD_SET_REPORT_RATE, ReportRateCode(RATE_4000)})});
    EXPECT_EQ(seen.effect, std::vector<Bytes>{Frame({CMD_SET_LED_EFFECT, 2})});

    // The mouse holds exactly the tour's changes on top of the demo's settings.
    SimMouseSettings expected = demo;
    expected.buttons[1] = kForwardCode;
    expected.buttons[2] = MacroButtonCode(2);
    expected.buttons[3] = kCtrlCCode;
    expected.buttons[4] = kFireCode;
    expected.fireCount = 3;
    expected.fireInterval = 5;
    expected.debounce = 7;
    expected.powerDown = 360;
    // Only the X steps changed: the Y steps stay the mouse's own through every
    // profile switch, reset and import.
    expected.stages[2].stepX = seen.draggedStep;
    expected.stages[3].stepX = typedStep;
    expected.dpiCount = 5;
    expected.dpiLedMode = 2;
    expected.sensor[SENSOR_LIFT_OFF] = 0;
    expected.sensor[SENSOR_MODE] = 1;
    expected.sensor[SENSOR_ANGLE_SNAP] = 1;
    expected.sensor[SENSOR_MOTION_SYNC] = 0;
    expected.reportRate = ReportRateCode(RATE_4000);
    expected.ledEffect = 2;
    EXPECT_EQ(Describe(seen.afterPages), Describe(expected));

    // Profile 2 was a profile of its own; coming back wrote profile 1 whole.
    EXPECT_EQ(seen.profileAfterSwitch, 1);
    EXPECT_EQ(seen.onProfile2.ledEffect, 0);
    EXPECT_NE(Describe(seen.onProfile2), Describe(expected));
    EXPECT_EQ(seen.profileAfterReturn, 0);
    EXPECT_EQ(Describe(seen.backOnProfile1), Describe(expected));

    // The export holds the settings; the reset wrote the defaults; the import all of it again.
    EXPECT_TRUE(seen.exportedOk);
    SettingsImage defaults;
    ResetSettingsToDefaults(defaults);
    EXPECT_EQ(seen.afterReset.reportRate, defaults.reportRateCode);
    EXPECT_EQ(seen.afterReset.debounce, defaults.debounceTime);
    EXPECT_EQ(seen.afterReset.powerDown, defaults.powerDownTime);
    EXPECT_EQ(seen.afterReset.buttons[2], SIM_CODE_MIDDLE);
    EXPECT_TRUE(seen.importedOk);
    EXPECT_EQ(Describe(seen.afterImport), Describe(expected));
    EXPECT_NE(m_rig->mouse->MacroImage(2), std::vector<uint8_t>(SIM_MACRO_IMAGE_SIZE, 0));

    // The language changed and is remembered; the close saved profile 1.
    EXPECT_NE(seen.exitTextAfter, seen.exitText);
    EXPECT_EQ(RegistryValue(L"Language"), (Bytes{uint8_t(language.other), 0, 0, 0}));
    EXPECT_EQ(ReadFileBytes(exported), BytesOf(seen.atExport));
    EXPECT_EQ(ReadFileBytes(Path(L"Config\\FConfig1.ini")), BytesOf(seen.settings));
    std::optional<Bytes> profile2 = ReadFileBytes(Path(L"Config\\FConfig2.ini"));
    ASSERT_TRUE(profile2 && profile2->size() == sizeof(SettingsImage));
    EXPECT_EQ(reinterpret_cast<const SettingsImage*>(profile2->data())->ledEffect, 0);
    EXPECT_EQ(g_keyboardHook, 0u) << "a hook was left installed";

    // ---- the program again, as a new process finds it ----
    const SimMouseSettings mouseBefore = m_rig->mouse->Settings();
    StartAfresh();
    m_rig->backend.ClearLog();
    bool connectedAgain = false;
    std::u16string exitText;
    SettingsImage atStart{}, afterRead{};
    std::vector<std::wstring> pagesAgain;
    Run second = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            if (!WaitForMainWindow(dlg)) return;
            MessageSpy spy(dlg.m_hWnd);
            int syncs = 0;
            ui.Call([&] {
                exitText = g_uiTexts[UiText::str_exit];
                atStart = g_settings;
            });
            HWND tile = nullptr;
            ui.Call([&] { tile = dlg.m_pages.DevicePicker()->m_tiles[0].m_hWnd; });
            ClickControl(tile);
            connectedAgain = WaitForSync(dlg, ui, spy, syncs);
            if (!connectedAgain) return;
            ui.Call([&] {
                afterRead = g_settings;
                pagesAgain = PagesReadout(dlg);
            });
            const struct {
                int icon, page;
                const wchar_t* what;
            } pages[] = {{PAGE_BUTTONS, PAGE_BUTTONS, L"15_again_button_page"},
                         {PAGE_ADVANCED, PAGE_ADVANCED, L"16_again_advanced_page"},
                         {PAGE_LED, PAGE_LED, L"17_again_led_page"},
                         {PAGE_MACRO, PAGE_MACRO, L"18_again_macro_page"}};
            for (const auto& p : pages) {
                if (GoToPage(dlg, ui, p.icon, p.page)) Shoot(dlg, ui, p.what);
            }
            ClickControl(dlg.m_btnExit.m_hWnd);
        },
        60000);
    EXPECT_TRUE(second.ended);
    ASSERT_TRUE(connectedAgain);
    EXPECT_EQ(exitText, seen.exitTextAfter) << "the language chosen last";
    EXPECT_EQ(BytesOf(atStart), BytesOf(seen.settings))
        << "the saved profile before the mouse is read";
    EXPECT_EQ(BytesOf(WithoutMacroCaptions(afterRead)),
              BytesOf(WithoutMacroCaptions(seen.settings)))
        << "what the mouse holds reads back as it was";
    EXPECT_EQ(pagesAgain, seen.pages);
    // Reading and closing changed nothing on the mouse: no set command went out.
    EXPECT_EQ(Describe(m_rig->mouse->Settings()), Describe(mouseBefore));
    EXPECT_EQ(SetsSince(0), std::vector<Bytes>{});
    EXPECT_EQ(m_shots, 18);
}

INSTANTIATE_TEST_SUITE_P(Languages, UserTourTest, ::testing::ValuesIn(kLanguages),
                         [](const ::testing::TestParamInfo<TourLanguage>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
