// The demo mouse's status reports reaching the main window end to end: the
// battery box shows a percentage soon after connecting, with the charging
// images only on the cable; the settings follow what the mouse reports; and
// every sync and transfer passes with reports coming in all the while.
#include "app/main_window/harness_win32.h"
#include "app/pages/host_page_win32.h"
#include "device/button_codes.h"
#include "firmware/fw_update_dlg_win32.h"
#include "sim/sim_clock.h"
#include "support/device_plug_win32.h"
#include "text/ui_texts.h"

namespace {

using namespace e2e;

constexpr uint32_t kDemoMacroId = 0x15000001;  // "Copy", of the demo's macros
constexpr int kMiddleButton = 2;               // record index and device number alike
// The update sends thousands of reports: a status report beside every one of
// them would keep the window busy long after the update has ended, taking each
// in its turn, so one comes beside every fortieth, about one a group of packets.
constexpr int kUpdateReportsPerStatus = 40;

class StatusReportsTest : public MainWindowFixture {
protected:
    void TearDown() override {
        if (m_rig) m_rig->backend.WatchReports(nullptr);
        MainWindowFixture::TearDown();
    }
    // "NN%" with a number, as the box shows a level.
    static bool IsPercentage(const std::wstring& text) {
        if (text.size() < 2 || text.back() != L'%') return false;
        for (size_t i = 0; i + 1 < text.size(); ++i)
            if (!iswdigit(text[i])) return false;
        return true;
    }
    // Status reports read by the program since mark.
    size_t InputsSince(size_t mark) const {
        std::vector<SimReport> log = m_rig->backend.Log();
        size_t n = 0;
        for (size_t i = mark; i < log.size(); ++i)
            n += log[i].kind == SimReport::Kind::Input && log[i].bytes[0] == REPORT_ID_MOUSE;
        return n;
    }
};

TEST_F(StatusReportsTest, TheBatteryShowsAPercentageAfterConnectingAndTheSettingsFollowTheMouse) {
    UseRig(MakeDemoMouseRig());
    m_rig->status->Start();
    std::wstring onCable, onReceiver;
    int lookOnCable = -1, lookOnReceiver = -1;
    uint8_t stageFollowed = 0;

    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            ASSERT_TRUE(ConnectMouse(dlg, ui, 0));
            WaitOnUi(ui, [&] { return IsPercentage(dlg.m_batteryText.GetWindowText()); }, kHangLimitMs);
            ui.Call([&] {
                onCable = dlg.m_batteryText.GetWindowText();
                lookOnCable = dlg.m_batteryBar.m_altLook;
                SaveScreenshot(*RenderWindow(dlg.m_hWnd), L"status_reports_battery_on_cable");
            });

            // The mouse's own DPI button: the next report carries the stage.
            SimMouseSettings settings = m_rig->mouse->Settings();
            settings.dpiCurrent = 3;
            m_rig->mouse->SetSettings(settings);
            WaitOnUi(ui, [&] { return g_settings.dpiCurrent == 3; }, kHangLimitMs);
            ui.Call([&] { stageFollowed = g_settings.dpiCurrent; });

            // Off the cable, through the receiver: the battery no longer charges.
            UnplugDevice(m_rig->backend, CableDevice(*m_rig), dlg.m_hWnd);
            WaitOnUi(ui, [&] { return dlg.m_curPage == PAGE_DEVICE_PICKER; }, kHangLimitMs);
            ASSERT_TRUE(ConnectMouse(dlg, ui, 2));
            WaitOnUi(ui, [&] {
                return IsPercentage(dlg.m_batteryText.GetWindowText()) &&
                       dlg.m_batteryBar.m_altLook == 1;
            }, kHangLimitMs);
            ui.Call([&] {
                onReceiver = dlg.m_batteryText.GetWindowText();
                lookOnReceiver = dlg.m_batteryBar.m_altLook;
                SaveScreenshot(*RenderWindow(dlg.m_hWnd), L"status_reports_battery_on_receiver");
            });
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        60000);
    m_rig->status->Stop();

    EXPECT_TRUE(run.ended);
    EXPECT_TRUE(IsPercentage(onCable)) << "the battery box shows \"" << onCable << "\"";
    EXPECT_EQ(lookOnCable, 0) << "on the cable: the charging images";
    EXPECT_EQ(stageFollowed, 3);
    EXPECT_TRUE(IsPercentage(onReceiver));
    EXPECT_EQ(lookOnReceiver, 1) << "on the receiver: the level images";
}

// Every exchange of the syncs, and every fortieth report of the update, is
// followed by a status report, beside the reporter's own; the read and the
// write of all settings, a macro's upload and download and a firmware update
// still end as they would without them.
TEST_F(StatusReportsTest, TheSyncsAndTransfersPassWithReportsComingIn) {
    UseRig(MakeDemoMouseRig());
    ASSERT_TRUE(StoreDemoMacros());
    // The marker that makes the program load its texts: the update's end is
    // known by the status line's text, which without them stays as empty as
    // before Start.
    WriteFileBytes(Path(L"config\\test.ini"), Bytes{'1'});
    // The model that takes the test firmware image.
    SimDeviceInfo info = m_rig->cable.command->DeviceInfo();
    info.byte5 = 0xF1;
    m_rig->cable.command->SetDeviceInfo(info);
    ScopedSimClock clock;
    m_rig->status->Start();
    SimMouseInterface& cable = *m_rig->cable.command;
    std::shared_ptr<SimOtaInterface> ota = m_rig->cable.ota;
    const std::u16string otaPath = ota->Description().path;
    std::atomic<int> updateReports{0}, sentDuringUpdate{0};
    m_rig->backend.WatchReports([&](const SimReport& r) {
        if (r.kind == SimReport::Kind::Input) return;
        if (r.path == otaPath && ++updateReports % kUpdateReportsPerStatus != 0) return;
        cable.SendStatusReport(m_rig->backend);
        if (r.path == otaPath) ++sentDuringUpdate;
    });

    SettingsImage afterRead{}, afterReadBack{};
    SimMouseSettings mouseAfterWrite{};
    std::vector<uint8_t> macroImage;
    size_t inputsDuringRead = 0, inputsDuringWrite = 0, inputsDuringUpdate = 0;
    bool read = false, written = false, readBack = false, updated = false;
    std::wstring updateStatus;

    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            size_t mark = m_rig->backend.Log().size();
            read = ConnectMouse(dlg, ui, 0);
            inputsDuringRead = InputsSince(mark);
            ui.Call([&] { afterRead = g_settings; });

            // The middle button plays a stored macro: the write sends it up.
            mark = m_rig->backend.Log().size();
            ui.Post([&dlg] {
                g_settings.buttons[kMiddleButton].functionId = FUNC_MACRO;
                g_settings.buttons[kMiddleButton].macroId = int32_t(kDemoMacroId);
                dlg.StartWriteAllWithProgress();
            });
            written = WaitFor([] { return LoadSyncBusy() != 0; }, kHangLimitMs) && WaitForSyncEnd(dlg);
            inputsDuringWrite = InputsSince(mark);
            mouseAfterWrite = m_rig->mouse->Settings();
            macroImage = m_rig->mouse->MacroImage(kMiddleButton);

            // Read again: the macro comes back down.
            readBack = ConnectMouse(dlg, ui, 0);
            ui.Call([&] { afterReadBack = g_settings; });

            // The update, opened as the device picker opens it.
            mark = m_rig->backend.Log().size();
            ::PostMessageW(dlg.m_pages.DevicePicker()->m_hWnd, UWM_OPEN_FW_UPDATE, 0, 0);
            HWND update = nullptr;
            ASSERT_TRUE(WaitFor(
                [&] {
                    update = FindTopLevelWindow(L"CFWUpdateDlg");
                    return update && ::IsWindowVisible(update) && g_fwUpdateDlg;
                },
                kHangLimitMs));
            CFWUpdateDlg* dialog = g_fwUpdateDlg;
            const HWND status = dialog->m_statusLine.m_hWnd;
            ::SendMessageW(update, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                           reinterpret_cast<LPARAM>(dialog->m_startButton.m_hWnd));
            const std::wstring done = W(g_uiTexts[UiText::str_msg24]);
            ASSERT_FALSE(done.empty()) << "no language was loaded";
            updated = WaitFor([&] { return WindowTitle(status) == done; }, kHangLimitMs);
            updateStatus = WindowTitle(status);
            // The reader still takes what the mouse sends.
            WaitFor([&] { return InputsSince(mark) > 0; }, kHangLimitMs);
            inputsDuringUpdate = InputsSince(mark);
            ::SendMessageW(update, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                           reinterpret_cast<LPARAM>(dialog->m_exitButton.m_hWnd));
            WaitFor([&] { return !::IsWindow(update); }, kHangLimitMs);
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        120000);
    m_rig->backend.WatchReports(nullptr);
    m_rig->status->Stop();

    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(read);
    EXPECT_GT(inputsDuringRead, 20u) << "reports came in while the settings were read";
    const SimMouseSettings demo = m_rig->mouse->Settings();
    EXPECT_EQ(afterRead.reportRateCode, demo.reportRate);
    EXPECT_EQ(afterRead.dpiCount, demo.dpiCount);
    EXPECT_EQ(afterRead.debounceTime, demo.debounce);
    EXPECT_EQ(afterRead.powerDownTime, demo.powerDown);
    EXPECT_EQ(afterRead.dpiStepsX[2], demo.stages[2].stepX);
    EXPECT_EQ(afterRead.dpiStepsY[2], demo.stages[2].stepY);

    ASSERT_TRUE(written);
    EXPECT_GT(inputsDuringWrite, 20u);
    EXPECT_EQ(mouseAfterWrite.buttons[kMiddleButton], MacroButtonCode(kMiddleButton));
    EXPECT_NE(macroImage, std::vector<uint8_t>(SIM_MACRO_IMAGE_SIZE, 0)) << "the macro went up";
    EXPECT_EQ(mouseAfterWrite.debounce, afterRead.debounceTime);
    EXPECT_EQ(mouseAfterWrite.stages[3].stepX, afterRead.dpiStepsX[3]);

    ASSERT_TRUE(readBack);
    EXPECT_EQ(afterReadBack.buttons[kMiddleButton].functionId, FUNC_MACRO);
    EXPECT_EQ(afterReadBack.buttons[kMiddleButton].macroId, int32_t(kDemoMacroId));

    EXPECT_TRUE(updated) << "the update ended with \"" << updateStatus << "\"";
    EXPECT_TRUE(ota->FinishMatched()) << "the mouse took the whole image";
    EXPECT_EQ(ota->Flash(), MakeTestFirmwareImage(104716));
    EXPECT_TRUE(ota->ProtocolErrors().empty()) << ota->ProtocolErrors().front();
    EXPECT_TRUE(ota->EndReceived());
    EXPECT_GT(sentDuringUpdate.load(), 4193 / kUpdateReportsPerStatus)
        << "a report beside every fortieth packet of the image";
    EXPECT_GT(inputsDuringUpdate, 0u) << "the program read no report since the update began";
}

}  // namespace
