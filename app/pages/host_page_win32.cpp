#include "app/pages/host_page_win32.h"

#include "app/app_state.h"
#include "device/device_state.h"
#include "device/device_tables.h"
#include "device/discovery.h"
#include "firmware/fw_update_dlg_win32.h"
#include "firmware/fw_update_session.h"
#include "firmware/ota_marker.h"
#include "firmware/ota_protocol.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "skin/skin_draw_win32.h"
#include "text/u16_buffer.h"

namespace {

constexpr DWORD kControlStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
constexpr RECT kLeftArrowRect{0, 150, 46, 196};
constexpr RECT kRightArrowRect{834, 150, 880, 196};

RECT TileRect(int k) {
    return RECT{100 + 240 * k, 20, 304 + 240 * k, 410};
}

std::wstring SkinImageOrNone(const std::u16string& name) {
    return name.empty() ? std::wstring() : SkinImagePathW(ToWide(name));
}

ReceiverProbe ProbeReceiverLink(const std::u16string& path) {
    uint8_t receiverKind = 0, deviceKind = 0, linkStatus = 0, model = 0;
    uint32_t id1 = 0, id3 = 0, id2 = 0, id5 = 0, id4 = 0;
    ReceiverProbe probe;
    probe.answered = ProbeReceiver(path, receiverKind, deviceKind, linkStatus, model, id1, id3, id2,
                                   id5, id4);
    probe.linkStatus = linkStatus;
    probe.id2 = id2;
    probe.id4 = id4;
    return probe;
}

}  // namespace

CHostDlg::CHostDlg(const CBitmap* mainBackground, PageHost& host)
    : CMainPage(IDD_DEVICE_PAGE, mainBackground), m_host(host) {
    for (int k = 0; k < HOST_TILE_COUNT; ++k) m_controls.Click(m_tiles[k], [this, k] { OnTileClick(k); });
    m_controls.Click(m_leftArrow, [this] {
        if (m_model.MoveLeft()) RefreshTiles();
    });
    m_controls.Click(m_rightArrow, [this] {
        if (m_model.MoveRight()) RefreshTiles();
    });
}

void CHostDlg::CreateControls() {
    m_model.Recount();
    for (int k = 0; k < HOST_TILE_COUNT; ++k) {
        m_tiles[k].Create(L"", kControlStyle, TileRect(k), this, 0);
    }
    m_leftArrow.Create(L"", kControlStyle, kLeftArrowRect, this, 0);
    m_leftArrow.LoadImage(SkinImagePathW(L"Left.png"), &m_bmpBackground, kLeftArrowRect);
    m_rightArrow.Create(L"", kControlStyle, kRightArrowRect, this, 0);
    m_rightArrow.LoadImage(SkinImagePathW(L"Right.png"), &m_bmpBackground, kRightArrowRect);
    ShowTiles(true);
}

BOOL CHostDlg::OnInitDialog() {
    CMainPage::OnInitDialog();
    // The marker is binary: 0 (or an empty file) asks for the update at
    // start-up, and 1 does for the two firmware releases that need another.
    if (ShouldOpenFirmwareUpdate(ReadOtaMarker(), g_fwIdWord)) PostMessage(UWM_OPEN_FW_UPDATE, 1, 1);
    SetTimer(TIMER_DEVICE_SCAN, DEVICE_SCAN_INTERVAL_MS);
    return TRUE;
}

void CHostDlg::RebuildTiles() {
    m_model.Recount();
    RefreshTiles();
}

void CHostDlg::RefreshTiles() {
    ShowTiles(false);
}

void CHostDlg::ShowTiles(bool atCreation) {
    for (int k = 0; k < HOST_TILE_COUNT; ++k) {
        CDeviceBitmap& tile = m_tiles[k];
        if (!tile.m_hWnd) continue;
        const DeviceTileView view = m_model.Tile(k, atCreation);
        tile.SetImages(SkinImageOrNone(view.picture), SkinImageOrNone(view.icons[0]),
                       SkinImageOrNone(view.icons[1]), SkinImageOrNone(view.icons[2]), &m_bmpBackground,
                       TileRect(k));
        tile.SetText(ToWide(view.name));
        tile.Invalidate(TRUE);
    }
    const int arrows = m_model.ArrowsShown() ? SW_SHOW : SW_HIDE;
    if (m_leftArrow.m_hWnd) m_leftArrow.ShowWindow(arrows);
    if (m_rightArrow.m_hWnd) m_rightArrow.ShowWindow(arrows);
}

void CHostDlg::OnTileClick(int k) {
    const bool live = g_isConnected != 0 && m_host.LinkOpen();
    const TileClick click = m_model.Click(k, live);
    switch (click.action) {
    case TileClick::Action::None:
        return;
    case TileClick::Action::ReturnToPrevious:
        m_host.ShowPreviousPage();
        return;
    case TileClick::Action::Connect: {
        // Copied first: connecting rescans, and the table may change under it.
        const DeviceEntry entry = g_deviceTable[click.entry];
        g_currentDevicePath = std::u16string(BufferText(entry.paths[click.connection]));
        m_host.Connect(entry, click.connection);
        if (m_hWnd) RefreshTiles();
        return;
    }
    }
}

void CHostDlg::OnScanTick() {
    ScanTickContext context;
    context.pageShown = IsWindowVisible() != FALSE;
    context.updateDialogOpen = g_fwUpdateDlg != nullptr;
    context.syncBusy = LoadSyncBusy() != 0;
    // The receivers are probed once the window is up, which is when its driver is there.
    context.mainWindow = m_host.Driver() != nullptr;
    context.receiverLinkState = g_receiverLinkState;
    if (m_model.Tick(context, ProbeReceiverLink)) RefreshTiles();
}

LRESULT CHostDlg::OnOpenFwUpdate() {
    // Already open (a second post, or one from inside the dialog's own loop): one is enough.
    if (g_fwUpdateDlg) return 1;
    CFWUpdateDlg dialog(this);
    dialog.DoModal();
    return 1;
}

void CHostDlg::OnClose() {
    KillTimer(TIMER_DEVICE_SCAN);
    CloseFirmwareUpdateDialog();
}

LRESULT CHostDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT result = CMainPage::WindowProc(msg, wp, lp);
        CreateControls();
        return result;
    }
    case WM_TIMER:
        // Other timers get the default handling only; this one as well.
        if (wp == TIMER_DEVICE_SCAN) OnScanTick();
        break;
    case UWM_OPEN_FW_UPDATE:
        return OnOpenFwUpdate();
    case WM_CLOSE:
        OnClose();
        break;
    default:
        break;
    }
    return CMainPage::WindowProc(msg, wp, lp);
}
