// The main window's side of the device link: connecting, the status reports
// and the battery display, the link-state poll, the sync workers behind the
// progress view, profile switching and USB hot-plug. The decisions live in the
// plain MainConnection, DeviceRescan, SwitchToProfile and status_events; this
// file turns messages into calls on them and shows what they decide.
// dbt.h needs the types of windows.h first.
// clang-format off
#include <windows.h>
#include <dbt.h>
// clang-format on

#include <algorithm>
#include <atomic>

#include "app/app_state.h"
#include "app/main_window/quorvel_dlg_win32.h"
#include "app/main_window/status_events.h"
#include "app/pages/host_page_win32.h"
#include "app/pages/macro_set_win32.h"
#include "device/button_macro_ids.h"
#include "device/device_state.h"
#include "device/device_tables.h"
#include "device/discovery.h"
#include "device/profiles.h"
#include "device/sync_threads.h"
#include "device/user_notice_win32.h"
#include "firmware/fw_update_dlg_win32.h"
#include "framework/strings.h"
#include "skin/skin_draw_win32.h"

namespace {

constexpr RECT kProfileButtonRect{154, 585, 234, 613};
constexpr RECT kLinkIconRect{773, 585, 853, 613};
constexpr RECT kBatteryBarRect{823, 112, 903, 140};
constexpr RECT kBatteryTextRect{760, 112, 820, 140};
constexpr DWORD kSkinButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
constexpr int kBatteryTextSize = 18;
constexpr int kProfileTextSize = 20;
// While a sync holds the rescans, how often the timer looks whether it has ended.
constexpr UINT kRescanWhileBusyMs = 100;
constexpr UINT kRescanMinimumMs = 10;

// The name of a device-interface record, read no further than the record's own size.
std::u16string InterfaceName(const DEV_BROADCAST_DEVICEINTERFACE_W& record) {
    const size_t header = offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name);
    if (record.dbcc_size <= header) return {};
    const size_t units = (record.dbcc_size - header) / sizeof(wchar_t);
    const wchar_t* name = record.dbcc_name;
    size_t length = 0;
    while (length < units && name[length] != L'\0') ++length;
    return ToU16(std::wstring_view(name, length));
}

}  // namespace

bool SwitchConnection(int32_t reportId, int32_t reportLength, uint8_t pathIndex,
                      uint8_t sensorType) {
    CQuorvelDlg* dlg = g_pMainDlg;
    if (!dlg) return false;
    return dlg->m_connection.SwitchConnection(reportId, reportLength, pathIndex, sensorType);
}

// ---- controls ----

void CQuorvelDlg::CreateStatusControls() {
    m_eventSink.SetWindow(m_hWnd);
    m_connection.SetEventTarget(&m_eventSink);
    // The display starts empty, and so do the samples it averages.
    g_batterySampleWindow.Clear();

    m_btnProfile.Create(L"", kSkinButtonStyle, kProfileButtonRect, this, 0);
    m_btnProfile.SetImages(SkinImagePathW(L"profile_nr.png"), SkinImagePathW(L"profile_ov.png"),
                           SkinImagePathW(L"profile_dn.png"), &m_bmpBackground, kProfileButtonRect);
    m_btnProfile.SetText(FormatW(L"%d", m_activeProfileIndex + 1), 0, 0, kProfileTextSize,
                         DT_CENTER, FALSE);
    m_btnProfile.ShowWindow(SW_HIDE);  // one of the page buttons: shown with them

    m_btnLink.Create(L"", kSkinButtonStyle, kLinkIconRect, this, 0);
    SetLinkIconImages(m_linkMode == 1);

    m_batteryBar.Create(kBatteryBarRect, this);
    m_batteryBar.SetImages(SkinImagePathW(L"battery_chargingh.png"),
                           SkinImagePathW(L"battery_chargingeh.png"),
                           SkinImagePathW(L"battery_fullh.png"),
                           SkinImagePathW(L"battery_emptyh.png"), &m_bmpBackground, TRUE);
    m_batteryBar.m_altLook = 1;

    const std::wstring textImage = SkinImagePathW(L"add_nr.png.png");
    m_batteryText.Create(L"", kSkinButtonStyle, kBatteryTextRect, this, 0);
    m_batteryText.SetImages(textImage, textImage, textImage, &m_bmpBackground, kBatteryTextRect);
}

void CQuorvelDlg::SetLinkIconImages(bool wireless) {
    if (!m_btnLink.m_hWnd) return;
    const wchar_t* base = wireless ? L"2.4g" : L"usb";
    m_btnLink.SetImages(
        SkinImagePathW(FormatW(L"%s_nr.png", base)), SkinImagePathW(FormatW(L"%s_ov.png", base)),
        SkinImagePathW(FormatW(L"%s_dn.png", base)), &m_bmpBackground, kLinkIconRect);
    m_btnLink.RedrawWindow();
}

// ---- pages ----

void CQuorvelDlg::RefreshPagesAfterStatus() {
    // The button page's refresh writes g_settings (its names), which belongs
    // to a sync thread while one runs: the refresh waits for the sync's end.
    if (m_syncHold.PutOff(HeldWork::StatusRefresh, SyncBusy())) return;
    // The advanced and button pages, when shown, follow the status reports here.
    for (MainPageNumber page : {PAGE_ADVANCED, PAGE_BUTTONS}) {
        CMainPage* shown = m_pages.Page(page);
        if (shown && shown->IsWindowVisible()) shown->RefreshFromSettings();
    }
}

void CQuorvelDlg::RunHeldPageWork() {
    const HeldRun run = m_syncHold.Take(SyncBusy());
    if (run.pageTexts) OnRefreshPages();
    if (run.allPages) RefreshAllPages();
    if (run.statusRefresh) RefreshPagesAfterStatus();
}

void CQuorvelDlg::RebuildDeviceTiles() {
    CHostDlg* picker = m_pages.DevicePicker();
    if (picker && picker->m_hWnd) picker->RebuildTiles();
}

// ---- connection ----

void CQuorvelDlg::QueryLinkState() { m_connection.QueryLinkState(); }

void CQuorvelDlg::ResetStatusDisplay() {
    g_batterySampleWindow.Clear();
    if (!m_batteryBar.m_hWnd) return;
    m_batteryBar.m_pos = m_batteryBar.m_min;
    m_batteryBar.m_altLook = 0;
    m_batteryBar.RedrawWindow();
    m_batteryText.SetText(L"", 0, 0, kBatteryTextSize, DT_CENTER, FALSE);
    m_batteryText.RedrawWindow();
}

void CQuorvelDlg::ShowBattery(int shown, int imageSet) {
    if (!m_batteryBar.m_hWnd) return;
    BatteryDisplay display =
        BatteryDisplayFor(shown, imageSet, m_batteryBar.m_min, m_batteryBar.m_max);
    m_batteryBar.m_pos = display.barLevel;
    m_batteryBar.m_altLook = display.imageSet == 1 ? 1 : 0;
    m_batteryBar.RedrawWindow();
    m_batteryText.SetText(ToWide(display.text), 0, 0, kBatteryTextSize, DT_CENTER, FALSE);
    m_batteryText.RedrawWindow();
}

bool CQuorvelDlg::SyncBusy() const {
    return m_syncRunning.load() != 0 || LoadSyncBusy() != 0;
}

LRESULT CQuorvelDlg::OnDeviceEvent(WPARAM wp, LPARAM lp) {
    std::optional<StatusReport> report = DecodeDeviceEvent(uint32_t(wp), uint32_t(lp));
    if (!report) return 0;
    // A profile switch writes every setting: while the update dialog is open
    // the mouse may be mid-flash, so a report changes no more than during a sync.
    const bool busy = LoadSyncBusy() != 0 || g_fwUpdateDlg != nullptr;
    if (std::optional<int> next =
            ApplyStatusReport(*report, busy, m_activeProfileIndex, g_settings))
        PostMessage(UWM_SWITCH_PROFILE, 0, *next);
    const int shown = g_batterySampleWindow.AddSample(report->batterySample);
    ShowBattery(shown, report->charging ? 0 : 1);
    RefreshPagesAfterStatus();
    return 0;
}

LRESULT CQuorvelDlg::OnBatteryLevel(WPARAM wp, LPARAM lp) {
    const int level = int(wp);
    if (level != 0) {
        const int shown = g_batterySampleWindow.AddLevel(level);
        ShowBattery(shown, lp == 1 ? 1 : 0);
    }
    RefreshPagesAfterStatus();
    return 0;
}

void CQuorvelDlg::PollLinkState() {
    if (!ShouldPollLinkState(g_isConnected, m_linkMode, SyncBusy() ? 1 : 0)) return;
    uint8_t state = 0;
    if (m_usbDriver.GetReceiverLinkState(state)) g_receiverLinkState = state;
}

// ---- syncs ----

void CQuorvelDlg::StartReadAllWithProgress() { RunSync(SyncKind::ReadAll); }

bool CQuorvelDlg::StartWriteAllWithProgress() {
    if (SyncBusy()) return false;
    RunSync(SyncKind::WriteAll);
    return true;
}

LRESULT CQuorvelDlg::OnSyncDone() {
    const SyncKind kind = m_syncKind;
    m_syncKind = SyncKind::None;
    // A removal that came during the sync waited for it; it is seen to first,
    // so that a read cut short is not saved as the profile.
    m_connectionSide.droppedByRemoval = false;
    if (m_rescan.RunRemovalsNow(m_connectionSide)) ArmRescanTimer();
    if (kind == SyncKind::ReadAll && m_connectionSide.droppedByRemoval) {
        g_settings = m_settingsBeforeRead;
        ClearButtonMacroIds();
        RefreshAllPages();
        return 0;
    }
    // The read may have stored the mouse's macros.
    if (kind == SyncKind::ReadAll)
        if (CMacroSetDlg* macros = m_pages.Macro()) macros->ReloadMacroList();
    WriteProfileTableToRegistry();
    MessageBoxNotice notices(m_hWnd);
    SaveCurrentProfile(&notices);
    return 0;
}

// ---- profiles ----

void CQuorvelDlg::SwitchProfile(int slotIndex) {
    MessageBoxNotice notices(m_hWnd);
    SwitchToProfile(slotIndex + 1, m_activeProfileIndex, SyncBusy(), m_connectionSide, &notices);
}

LRESULT CQuorvelDlg::OnProfileChosen(LPARAM lp) {
    if (lp >= 1 && lp <= PROFILE_FILE_COUNT) SwitchProfile(int(lp) - 1);
    return 1;
}

// ---- hot-plug ----

LRESULT CQuorvelDlg::OnDeviceChange(WPARAM wp, LPARAM lp) {
    const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lp);
    if (!header) return TRUE;
    std::u16string name;
    if (header->dbch_devicetype == DBT_DEVTYP_DEVICEINTERFACE)
        name = InterfaceName(*reinterpret_cast<const DEV_BROADCAST_DEVICEINTERFACE_W*>(header));
    const DeviceChange change = ClassifyDeviceChange(uint32_t(wp), header->dbch_devicetype, name);
    if (change == DeviceChange::Ignored) return TRUE;
    // The waits run on the timer: the window keeps answering meanwhile.
    m_rescan.Add(change);
    ArmRescanTimer();
    return TRUE;
}

void CQuorvelDlg::ArmRescanTimer() {
    if (!m_rescan.Pending()) {
        KillTimer(TIMER_DEVICE_RESCAN);
        return;
    }
    const UINT wait =
        SyncBusy() ? kRescanWhileBusyMs : std::max<UINT>(m_rescan.DueInMs(), kRescanMinimumMs);
    SetTimer(TIMER_DEVICE_RESCAN, wait);
}

void CQuorvelDlg::StepRescans() {
    m_rescan.Step(SyncBusy(), m_connectionSide);
    ArmRescanTimer();
}

// ---- the plain logic's view of the window ----

void CQuorvelDlg::ConnectionSide::ShowPage(int page) { m_dlg.ShowPage(page); }

void CQuorvelDlg::ConnectionSide::RefreshAllPages() { m_dlg.RefreshAllPages(); }

void CQuorvelDlg::ConnectionSide::LayoutPageButtons(bool ledShown) {
    m_dlg.LayoutPageButtons(ledShown);
}

void CQuorvelDlg::ConnectionSide::UpdateAdvancedTexts() {
    if (CMainPage* advanced = m_dlg.m_pages.Page(PAGE_ADVANCED)) advanced->UpdateTexts();
}

void CQuorvelDlg::ConnectionSide::ResetStatusDisplay() { m_dlg.ResetStatusDisplay(); }

void CQuorvelDlg::ConnectionSide::ShowLinkIcon(bool wireless) { m_dlg.SetLinkIconImages(wireless); }

bool CQuorvelDlg::ConnectionSide::SyncRunning() { return m_dlg.m_syncRunning.load() != 0; }

void CQuorvelDlg::ConnectionSide::RunReadAll() { m_dlg.StartReadAllWithProgress(); }

void CQuorvelDlg::ConnectionSide::ShowProfileNumber(int number) {
    if (!m_dlg.m_btnProfile.m_hWnd) return;
    m_dlg.m_btnProfile.SetText(FormatW(L"%d", number), 0, 0, kProfileTextSize, DT_CENTER, FALSE);
    m_dlg.m_btnProfile.RedrawWindow();
}

void CQuorvelDlg::ConnectionSide::RunWriteAll() { m_dlg.StartWriteAllWithProgress(); }

void CQuorvelDlg::ConnectionSide::FillPages() { m_dlg.RefreshAllPages(); }

bool CQuorvelDlg::ConnectionSide::ScanFindsMouse() {
    ScanDevices();
    return g_deviceCount > 0;
}

void CQuorvelDlg::ConnectionSide::CheckConnectedPath() {
    if (m_dlg.m_connection.DropConnectionIfGone()) droppedByRemoval = true;
}

void CQuorvelDlg::ConnectionSide::ChangeHandled() { m_dlg.RebuildDeviceTiles(); }
