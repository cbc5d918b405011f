// A tour of the main window against the demo's simulated mouse: each of its
// pages and every box and popup it opens, and the system's box of a start-up
// that finds no mouse, in the language the registry names. Each picture goes
// to Keep under a fixed name: the README's pictures save them, the glyph check
// reads the texts drawn for them.
//
// Each picture is taken the way the window tests take theirs: our own windows
// paint themselves into it, layered popups and the system's menus are read
// back from the screen. The pointer is parked off the window first, so that no
// control shows its hover look, and controls are driven by the commands their
// clicks send, never by the pointer.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "app/dialogs/about_dlg_win32.h"
#include "app/dialogs/button_dialogs_win32.h"
#include "app/main_window/harness_win32.h"
#include "app/pages/adv_set_win32.h"
#include "app/pages/button_page_win32.h"
#include "app/pages/host_page_win32.h"
#include "app/pages/macro_set_win32.h"
#include "app/sync_progress_win32.h"
#include "firmware/fw_update_dlg_win32.h"
#include "skin/confirm_dlg_win32.h"
#include "skin/value_entry_win32.h"
#include "support/input_win32.h"

namespace e2e {

inline std::string Narrow(const std::wstring& text) {
    std::string out;
    for (wchar_t c : text) out += c < 0x80 ? char(c) : '?';
    return out;
}

// Whether picture differs anywhere from what beneath shows at (left, top).
inline bool DiffersFrom(const Dib32& picture, const Dib32& beneath, int left, int top) {
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const int bx = left + x, by = top + y;
            if (bx < 0 || by < 0 || bx >= beneath.width() || by >= beneath.height()) continue;
            if (picture.Rgb(x, y) != beneath.Rgb(bx, by)) return true;
        }
    return false;
}

// The progress box's worker: it holds the bar at a fixed place until the
// picture is taken, so that every run shows the same box.
inline std::atomic<bool> g_progressShot{false};
inline void HoldProgress(const SyncJob& job) {
    job.sink->Progress(40);
    WaitFor([] { return g_progressShot.load(); }, kHangLimitMs);
    if (job.running) job.running->store(0);
    StoreSyncBusy(0);
    job.sink->CloseProgress();
}

class PictureTour : public MainWindowFixture {
protected:
    // language: 2 English, 1 Russian (the registry's Language values).
    void TakeAll(uint32_t language, const wchar_t* suffix);
    // The system's box of a start-up that finds no mouse.
    void TakeNotFound(uint32_t language, const wchar_t* suffix);

    // Each picture as it is taken, on the UI thread; name ends with the
    // language's suffix. True when it was kept.
    virtual bool Keep(const Dib32& picture, const std::wstring& name) = 0;
    void Save(const Dib32& dib, const std::wstring& name) {
        if (Keep(dib, name + L"_" + m_suffix)) ++m_saved;
    }
    // Takes the picture once the UI thread is idle (what was posted to it has
    // run, nothing waits for a paint), again until take() gives one (a window
    // read back from the screen reaches it a moment after it showed), and keeps it.
    void ShootWhenShown(UiInvoker& ui, const std::wstring& name,
                        const std::function<std::unique_ptr<Dib32>()>& take) {
        const bool shown = WaitFor(
            [&] {
                bool kept = false;
                ui.CallWhenIdle([&] {
                    std::unique_ptr<Dib32> picture = take();
                    if (!picture) return;
                    Save(*picture, name);
                    kept = true;
                });
                return kept;
            },
            kHangLimitMs);
        EXPECT_TRUE(shown) << Narrow(name) << " never showed";
    }
    // The main window as it shows, painted by itself.
    void ShootMain(UiInvoker& ui, CQuorvelDlg& dlg, const std::wstring& name) {
        ShootWhenShown(ui, name, [&] { return RenderWindow(dlg.m_hWnd); });
    }
    // A window of its own (a box, a popup, a menu), as CaptureTopLevelWindow
    // takes it. One read back from the screen shows there once it is no longer
    // the empty desktop, all one colour, in its place.
    void ShootWindow(UiInvoker& ui, HWND window, const std::wstring& name) {
        ShootWhenShown(ui, name, [&]() -> std::unique_ptr<Dib32> {
            std::unique_ptr<Dib32> picture = CaptureTopLevelWindow(window);
            return Varied(*picture) ? std::move(picture) : nullptr;
        });
    }
    // The main window with a popup over it, each taken as it shows, the popup
    // cut to the main window. The popup is read back from the screen: until it
    // reaches it, its place shows the main window as it paints itself.
    void ShootMainWithPopup(UiInvoker& ui, CQuorvelDlg& dlg, HWND popup, const std::wstring& name) {
        ShootWhenShown(ui, name, [&]() -> std::unique_ptr<Dib32> {
            std::unique_ptr<Dib32> shot = RenderWindow(dlg.m_hWnd);
            std::unique_ptr<Dib32> rows = CaptureTopLevelWindow(popup);
            POINT origin{0, 0};
            ::ClientToScreen(dlg.m_hWnd, &origin);
            RECT r{};
            ::GetWindowRect(popup, &r);
            if (!DiffersFrom(*rows, *shot, r.left - origin.x, r.top - origin.y)) return nullptr;
            ::BitBlt(shot->dc(), r.left - origin.x, r.top - origin.y, rows->width(), rows->height(), rows->dc(),
                     0, 0, SRCCOPY);
            ::GdiFlush();
            return shot;
        });
    }

    // Opens a modal box through open (run on the UI thread, inside whatever
    // loop runs there), pictures it and closes it as Escape would.
    void ShootBox(UiInvoker& ui, const std::function<void()>& open, const wchar_t* title,
                  const std::wstring& name) {
        ui.Post(open);
        HWND box = WaitForTopLevelWindow(title, nullptr, kHangLimitMs);
        EXPECT_NE(box, nullptr) << "no box " << Narrow(title);
        if (!box) return;
        ShootWindow(ui, box, name);
        ::PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
        EXPECT_TRUE(WaitFor([&] { return !::IsWindow(box); }, kHangLimitMs)) << Narrow(title) << " stayed open";
    }

    static void ShowPage(UiInvoker& ui, CQuorvelDlg& dlg, int page) {
        ui.Call([&] {
            dlg.m_prevPage = dlg.m_curPage;
            dlg.m_curPage = page;
            dlg.ShowPage(page);
        });
    }
    // What a click on a skinned control of parent sends; posted, so that a
    // box it opens runs in the UI thread's loop, not under this call.
    static void Command(const CWnd& parent, const CWnd& control) {
        ::PostMessageW(parent.m_hWnd, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                       reinterpret_cast<LPARAM>(control.m_hWnd));
    }
    static HWND WaitForLayeredPopup() {
        HWND found = nullptr;
        WaitFor(
            [&] {
                found = FindTopLevelWindow([](HWND hwnd) {
                    return (::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0;
                });
                return found != nullptr;
            },
            kHangLimitMs);
        return found;
    }
    static HWND WaitForMenuWindow() {
        return WaitForTopLevelWindow(nullptr, L"#32768", kHangLimitMs);
    }
    static void ClosePopup(HWND popup) {
        ::PostMessageW(popup, WM_CLOSE, 0, 0);
        WaitFor([&] { return !::IsWindow(popup) || !::IsWindowVisible(popup); }, kHangLimitMs);
    }

    // A language chosen before, as after the first start; suffix ends each picture's name.
    void UseLanguage(uint32_t language, const wchar_t* suffix) {
        m_suffix = suffix;
        WriteFileBytes(Path(L"config\\test.ini"), Bytes{'1'});
        Bytes value(4);
        std::memcpy(value.data(), &language, 4);
        PutRegistryValue(L"Language", value);
    }

    std::wstring m_suffix;
    int m_saved = 0;
};

inline void PictureTour::TakeAll(uint32_t language, const wchar_t* suffix) {
    UseLanguage(language, suffix);
    UseRig(MakeDemoMouseRig());
    ASSERT_TRUE(StoreDemoMacros());
    // The mouse reports its battery and state as the demo's does.
    m_rig->status->Start();
    // Off the window, which is centred on the screen.
    ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);

    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            // A limit only a hang reaches: a busy machine may take long to start it.
            ASSERT_TRUE(WaitForMainWindow(dlg, kHangLimitMs)) << "the main window did not show";
            // Connected as a user connects: a click on the mouse's tile.
            ShowPage(ui, dlg, PAGE_DEVICE_PICKER);
            auto* picker = dlg.m_pages.DevicePicker();
            ASSERT_NE(picker, nullptr);
            Command(*picker, picker->m_tiles[0]);
            ASSERT_TRUE(WaitFor([] { return LoadSyncBusy() != 0; }, kHangLimitMs));
            ASSERT_TRUE(WaitForSyncEnd(dlg));
            // The mouse's first status report since it was connected fills the battery box.
            ASSERT_TRUE(WaitOnUi(ui, [&] { return !dlg.m_batteryText.GetWindowText().empty(); }, kHangLimitMs))
                << "the battery box stayed empty";

            ShowPage(ui, dlg, PAGE_BUTTONS);
            ShootMain(ui, dlg, L"main_buttons");
            ShowPage(ui, dlg, PAGE_ADVANCED);
            ShootMain(ui, dlg, L"main_advanced");
            ShowPage(ui, dlg, PAGE_LED);
            ShootMain(ui, dlg, L"main_led");
            ShowPage(ui, dlg, PAGE_MACRO);
            ShootMain(ui, dlg, L"main_macro");
            ShowPage(ui, dlg, PAGE_DEVICE_PICKER);
            ShootMain(ui, dlg, L"main_picker");

            // The main window's popups and menus.
            ShowPage(ui, dlg, PAGE_BUTTONS);
            Command(dlg, dlg.m_btnLanguage);
            if (HWND popup = WaitForLayeredPopup()) {
                ShootMainWithPopup(ui, dlg, popup, L"popup_language");
                ClosePopup(popup);
            }
            Command(dlg, dlg.m_btnProfile);
            if (HWND popup = WaitForLayeredPopup()) {
                ShootMainWithPopup(ui, dlg, popup, L"popup_profile");
                ClosePopup(popup);
            }
            // The right-click comes once the window's thread has taken in what
            // the popup's close left it: under Wine a focus change that reaches
            // it while the menu tracks closes the menu at once.
            ui.CallWhenIdle([] {});
            ::PostMessageW(dlg.m_hWnd, UWM_TRAY_NOTIFY, 0, WM_RBUTTONUP);
            if (HWND menu = WaitForMenuWindow()) {
                ShootWindow(ui, menu, L"menu_tray");
                ui.Call([] { ::EndMenu(); });
                WaitFor([&] { return !::IsWindowVisible(menu); }, kHangLimitMs);
            }

            // The advanced page's popups: the DPI level count and the DPI light.
            ShowPage(ui, dlg, PAGE_ADVANCED);
            auto* advanced = dlg.m_pages.Advanced();
            ASSERT_NE(advanced, nullptr);
            Command(*advanced, advanced->m_countButton);
            if (HWND popup = WaitForLayeredPopup()) {
                ShootMainWithPopup(ui, dlg, popup, L"popup_dpi_count");
                ClosePopup(popup);
            }
            Command(*advanced, advanced->m_ledModeButton);
            if (HWND popup = WaitForLayeredPopup()) {
                ShootMainWithPopup(ui, dlg, popup, L"popup_dpi_light");
                ClosePopup(popup);
            }

            // The button page's popups and boxes, for its fourth button.
            ShowPage(ui, dlg, PAGE_BUTTONS);
            auto* buttons = dlg.m_pages.Buttons();
            ASSERT_NE(buttons, nullptr);
            Command(*buttons, buttons->m_selectors[3]);
            ui.CallWhenIdle([] {});  // the fourth button is selected
            Command(*buttons, buttons->m_functionButtons[9]);
            if (HWND popup = WaitForLayeredPopup()) {
                ShootMainWithPopup(ui, dlg, popup, L"popup_dpi_function");
                ClosePopup(popup);
            }
            Command(*buttons, buttons->m_functionButtons[10]);
            if (HWND popup = WaitForLayeredPopup()) {
                ShootMainWithPopup(ui, dlg, popup, L"popup_multimedia");
                ClosePopup(popup);
            }
            ShootBox(ui, [buttons] { RunFireKeyDialog(buttons, nullptr); }, L"CFireKeyDlg", L"box_fire_key");
            ShootBox(ui, [buttons] { RunKeyComboDialog(buttons); }, L"QuorvelSingleCombDlg", L"box_key_combination");
            ShootBox(ui, [buttons] { RunMacroPicker(buttons); }, L"QuorvelMacrosetDlg", L"box_macro_picker");
            ShootBox(ui, [buttons] { CDebounceWDlg(&buttons->m_debounceStepper).DoModal(); }, L"CDebounceWDlg",
                     L"box_debounce");
            ShootBox(ui, [buttons] { CRateMsgDlg(buttons).DoModal(); }, L"CRateMsgDlg", L"box_report_rate");
            ShootBox(ui, [buttons] { RunValueEntry(buttons, VALUE_ENTRY_DPI); }, L"QuorvelMacroModifyDlg", L"box_value_entry");

            // The macro page's insert menu.
            ShowPage(ui, dlg, PAGE_MACRO);
            auto* macros = dlg.m_pages.Macro();
            ASSERT_NE(macros, nullptr);
            Command(*macros, macros->m_insertButton);
            if (HWND menu = WaitForMenuWindow()) {
                ShootMainWithPopup(ui, dlg, menu, L"menu_macro_insert");
                ui.Call([] { ::EndMenu(); });
                WaitFor([&] { return !::IsWindowVisible(menu); }, kHangLimitMs);
            }

            // The progress box of a read or write of all settings.
            ShowPage(ui, dlg, PAGE_BUTTONS);
            g_progressShot = false;
            ui.Post([&dlg] {
                SyncJob job;
                job.running = &dlg.m_syncRunning;
                RunBehindProgressBox(&HoldProgress, job, dlg.m_hWnd);
            });
            if (HWND box = WaitForTopLevelWindow(L"QuorvelProcessDlg", nullptr, kHangLimitMs))
                ShootWindow(ui, box, L"box_progress");
            g_progressShot = true;
            WaitForSyncEnd(dlg);

            // The update dialog the device picker opens, before Start.
            ShowPage(ui, dlg, PAGE_DEVICE_PICKER);
            ShootBox(ui, [&dlg] { CFWUpdateDlg(dlg.m_pages.Page(PAGE_DEVICE_PICKER)).DoModal(); }, L"CFWUpdateDlg",
                     L"box_firmware_update");

            // The About box of the system menu (its texts are the program's own, in Chinese).
            ShootBox(ui, [&dlg] { ::SendMessageW(dlg.m_hWnd, WM_SYSCOMMAND, 0x10, 0); }, kAboutTitle,
                     L"box_about");
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        120000);
    m_rig->status->Stop();
    EXPECT_TRUE(run.ended);
}

inline void PictureTour::TakeNotFound(uint32_t language, const wchar_t* suffix) {
    UseLanguage(language, suffix);
    UseRig(MakeUnpluggedRig());
    Run run = RunMainWindow([&](CQuorvelDlg&, UiInvoker& ui) {
        HWND box = nullptr;
        WaitFor([&] { return (box = FindMessageBox(kMouseNotFoundText)) != nullptr; }, kHangLimitMs);
        EXPECT_NE(box, nullptr) << "no not-found box";
        if (!box) return;
        ShootWindow(ui, box, L"box_mouse_not_found");
        AnswerMessageBox(kMouseNotFoundText);
    });
    EXPECT_TRUE(run.ended);
}

}  // namespace e2e
