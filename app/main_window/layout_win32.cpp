// The main window's layout: the skin, the controls at their places, the five
// pages, which of them is shown and what they may ask of the window, painting,
// dragging and hover.
#include "app/dialogs/about_dlg_win32.h"
#include "app/main_window/connection.h"
#include "app/main_window/quorvel_dlg_win32.h"
#include "app/pages/page_factory_win32.h"
#include "app/quorvel_app_win32.h"
#include "device/device_state.h"
#include "device/device_tables.h"
#include "device/profiles.h"
#include "device/user_notice_win32.h"
#include "framework/gdiplus_helpers.h"
#include "framework/strings.h"
#include "skin/skin_draw_win32.h"
#include "skin/skinned_dialog_win32.h"

namespace {

constexpr RECT kMinimiseRect{891, 38, 915, 62};
constexpr RECT kExitRect{954, 38, 978, 62};
constexpr RECT kLanguageRect{45, 585, 125, 613};
constexpr RECT kImportRect{263, 585, 343, 613};
constexpr RECT kExportRect{372, 585, 452, 613};
constexpr RECT kResetRect{481, 585, 561, 613};
constexpr DWORD kSkinButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
// The hover text's place; the text itself is never drawn.
constexpr RECT kHoverTextRect{67, 598, 300, 628};
constexpr RECT kWholeWindow{0, 0, 1068, 800};
constexpr int kButtonsIconTip = 6;
constexpr int kMacroIconTip = 8;
// System-menu ids of the About box.
constexpr WPARAM kAboutFirst = 0x10;
constexpr WPARAM kAboutLast = 0x1F;

// The skin images of a control: normal, hover, pressed.
struct SkinNames {
    const wchar_t* normal;
    const wchar_t* hover;
    const wchar_t* pressed;
};
// In page order.
constexpr PerPage<SkinNames> kPageIconSkins{{
    {L"main_btn_nr.png", L"main_btn_ov.png", L"main_btn_dn.png"},
    {L"led_nr.png", L"led_ov.png", L"led_dn.png"},
    {L"adv_nr.png", L"adv_ov.png", L"adv_dn.png"},
    {L"Macro_bt_nr.png", L"Macro_bt_ov.png", L"Macro_bt_dn.png"},
    {L"host_nr.png", L"host_ov.png", L"host_dn.png"},
}};
constexpr SkinNames kExitSkins{L"exit_nr.png", L"exit_ov.png", L"exit_dn.png"};
constexpr SkinNames kMinimiseSkins{L"Min_Nr.png", L"Min_ov.png", L"Min_dn.png"};
constexpr SkinNames kLanguageSkins{L"Language_nr.png", L"Language_ov.png", L"Language_dn.png"};
constexpr SkinNames kImportSkins{L"inport_nr.png", L"inport_ov.png", L"inport_dn.png"};
constexpr SkinNames kExportSkins{L"export_nr.png", L"export_ov.png", L"export_dn.png"};
constexpr SkinNames kResetSkins{L"reset_nr.png", L"reset_ov.png", L"reset_dn.png"};

// The order of creation: device picker, button page, advanced, LED, macro.
constexpr MainPageNumber kPageIconCreationOrder[kPageCount] = {
    PAGE_DEVICE_PICKER, PAGE_BUTTONS, PAGE_ADVANCED, PAGE_LED, PAGE_MACRO,
};

// The client point of a mouse message (signed: a drag may leave the window).
POINT PointOf(LPARAM lp) {
    return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

RECT ToRect(const SkinRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

void LoadStateImages(const SkinNames& names, SkinStateImages& images) {
    images.normal = GdipImage::FromFile(SkinImagePathW(names.normal));
    images.hover = GdipImage::FromFile(SkinImagePathW(names.hover));
    images.pressed = GdipImage::FromFile(SkinImagePathW(names.pressed));
}

void SetPathImages(CGDIBitmapBtnEx& button, const SkinNames& names, const CBitmap* background,
                   RECT rect) {
    button.SetImages(SkinImagePathW(names.normal), SkinImagePathW(names.hover),
                     SkinImagePathW(names.pressed), background, rect);
}

}  // namespace

void CQuorvelDlg::BuildSkin() {
    LoadSkinBackground();
    for (MainPageNumber page : kPageNumbers) LoadStateImages(kPageIconSkins[page], m_pageIconImages[page]);
    LoadStateImages(kExitSkins, m_exitImages);
    LoadStateImages(kMinimiseSkins, m_minimiseImages);

    CreateLayoutControls();
    CreateStatusControls();
    CreateCommandButtons();
    CreatePages();
    // At start-up nothing is connected yet: the device picker comes first.
    const bool connected = m_linkMode != -1 && g_isConnected != 0;
    m_pageSwitch.GoTo(connected ? PAGE_BUTTONS : PAGE_DEVICE_PICKER);
}

void CQuorvelDlg::LoadSkinBackground() {
    const std::wstring path = SkinImagePathW(L"main_nr.png");
    if (!LoadBitmapFromImageFile(path, m_bmpBackground)) {
        // Without it the window keeps its template's small size, with nearly
        // every control beyond its edge: the user must learn why.
        ::MessageBoxW(m_hWnd, FormatW(kSkinMissingText, path.c_str()).c_str(), kMainWindowTitle, MB_OK);
        return;
    }
    SIZE size = m_bmpBackground.GetSize();
    int left = (::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    int top = (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    SetWindowPos(nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CQuorvelDlg::CreateLayoutControls() {
    m_btnMinimise.Create(L"", kSkinButtonStyle, kMinimiseRect, this, 0);
    m_btnMinimise.SetImages(&m_minimiseImages.normal, &m_minimiseImages.hover,
                            &m_minimiseImages.pressed, &m_bmpBackground, kMinimiseRect);
    m_btnExit.Create(L"", kSkinButtonStyle, kExitRect, this, 0);
    m_btnExit.SetImages(&m_exitImages.normal, &m_exitImages.hover, &m_exitImages.pressed,
                        &m_bmpBackground, kExitRect);

    // Shown with the page buttons.
    m_btnLanguage.Create(L"", kSkinButtonStyle, kLanguageRect, this, 0);
    SetPathImages(m_btnLanguage, kLanguageSkins, &m_bmpBackground, kLanguageRect);
    m_btnLanguage.ShowWindow(SW_HIDE);

    for (MainPageNumber page : kPageIconCreationOrder) {
        CIrrButton& button = m_pageButtons[page];
        const RECT rect = ToRect(PageIconCreateRect(page));
        button.Create(rect, this);
        // The page shown keeps its icon lit.
        button.m_useSelectedLook = 1;
        const SkinStateImages& images = m_pageIconImages[page];
        button.SetImages(&images.normal, &images.hover, &images.pressed, &m_bmpBackground, rect);
        button.SetSelected(page == PAGE_BUTTONS);
        button.ShowWindow(SW_HIDE);
    }
}

void CQuorvelDlg::CreateCommandButtons() {
    struct Command {
        CGDIBitmapBtnEx& button;
        const SkinNames& skins;
        RECT rect;
    };
    const Command commands[] = {
        {m_btnImport, kImportSkins, kImportRect},
        {m_btnExport, kExportSkins, kExportRect},
        {m_btnReset, kResetSkins, kResetRect},
    };
    for (const Command& c : commands) {
        c.button.Create(L"", kSkinButtonStyle, c.rect, this, 0);
        SetPathImages(c.button, c.skins, &m_bmpBackground, c.rect);
        c.button.ShowWindow(SW_HIDE);
    }
}

void CQuorvelDlg::PaintBackground(HDC dc) {
    PaintDialogSkin(dc, m_bmpBackground);
}

void CQuorvelDlg::CreatePages() {
    m_pages.Create(*this, &m_bmpBackground, m_pageSide);
    if (CMainPage* first = m_pages.Page(PAGE_BUTTONS)) first->ShowWindow(SW_SHOW);
}

// ---- which page is shown ----

void CQuorvelDlg::ShowPage(int page) {
    const PageShown shown = PageShownFor(page);
    if (shown.page == 0) return;
    m_pages.ShowOnly(shown.page);
    for (MainPageNumber p : kPageNumbers) {
        if (m_pageButtons[p].m_hWnd) m_pageButtons[p].SetSelected(p == shown.selectedIcon);
    }
    ShowPageButtons(shown.pageButtons ? SW_SHOW : SW_HIDE);
}

void CQuorvelDlg::ShowPageButtons(int show) {
    CWnd* buttons[] = {&m_btnLanguage,
                       &m_pageButtons[PAGE_DEVICE_PICKER],
                       &m_pageButtons[PAGE_BUTTONS],
                       &m_pageButtons[PAGE_ADVANCED],
                       &m_pageButtons[PAGE_MACRO],
                       &m_btnProfile,
                       &m_btnImport,
                       &m_btnExport,
                       &m_btnReset};
    for (CWnd* button : buttons) {
        if (button->m_hWnd) button->ShowWindow(show);
    }
    const bool ledShown = LedIconShown(show == SW_SHOW, g_linkType, g_deviceModel);
    if (m_pageButtons[PAGE_LED].m_hWnd) m_pageButtons[PAGE_LED].ShowWindow(ledShown ? SW_SHOW : SW_HIDE);
    LayoutPageButtons(ledShown);
}

void CQuorvelDlg::LayoutPageButtons(bool ledShown) {
    for (MainPageNumber page : kPageNumbers) {
        CIrrButton& button = m_pageButtons[page];
        if (!button.m_hWnd) continue;
        const RECT rect = ToRect(PageIconPlace(page, ledShown));
        const RECT now = button.GetRectInParent();
        if (::EqualRect(&rect, &now)) continue;
        button.MoveWindow(rect);
        // The snapshot under the icon moves with it.
        const SkinStateImages& images = m_pageIconImages[page];
        button.SetImages(&images.normal, &images.hover, &images.pressed, &m_bmpBackground, rect);
        button.Invalidate(TRUE);
    }
}

void CQuorvelDlg::RestorePreviousPage() {
    m_pageSwitch.GoBack();
}

void CQuorvelDlg::RefreshAllPages() {
    // Every path to a page refresh comes here (the tray's show, a page icon, a
    // profile switch): while a sync runs, the fill waits for its end.
    if (m_syncHold.PutOff(HeldWork::AllPages, SyncBusy())) return;
    m_pages.Refresh();
}

LRESULT CQuorvelDlg::OnRefreshPages() {
    // The button page's texts are written into g_settings, and a half-read
    // record must not be saved as the profile: both wait for a sync's end.
    if (m_syncHold.PutOff(HeldWork::PageTexts, SyncBusy())) return 1;
    m_pages.UpdateTexts();
    MessageBoxNotice notices(m_hWnd);
    SaveCurrentProfile(&notices);
    ::InvalidateRect(m_hWnd, &kWholeWindow, FALSE);
    return 1;
}

void CQuorvelDlg::StopMacroRecording() {
    if (CMainPage* macros = m_pages.Page(PAGE_MACRO)) macros->StopRecording();
}

// ---- mouse on the background ----

void CQuorvelDlg::OnLButtonDown(LPARAM lp) {
    StopMacroRecording();
    // A press on the skin drags the whole window, as on a caption.
    POINT pt = PointOf(lp);
    ClientToScreen(&pt);
    PostMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(pt.x, pt.y));
}

void CQuorvelDlg::OnMouseMove(LPARAM lp) {
    if (!m_hoverText.empty()) {
        m_hoverText.clear();
        ::InvalidateRect(m_hWnd, &kHoverTextRect, FALSE);
    }
    POINT pt = PointOf(lp);
    ClientToScreen(&pt);
    const struct {
        const CIrrButton& icon;
        int tip;
    } tips[] = {{m_pageButtons[PAGE_BUTTONS], kButtonsIconTip},
                {m_pageButtons[PAGE_MACRO], kMacroIconTip}};
    for (const auto& t : tips) {
        if (!t.icon.m_hWnd) continue;
        RECT r = t.icon.GetWindowRect();
        if (::PtInRect(&r, pt)) PostMessage(UWM_HOVER_TIP, 0, t.tip);
    }
}

LRESULT CQuorvelDlg::OnHoverTip() {
    m_hoverText.clear();
    return 1;
}

// ---- what the pages ask of the window ----

bool CQuorvelDlg::PageSide::Up() const {
    return g_pMainDlg == &m_dlg;
}

CUSBDriver* CQuorvelDlg::PageSide::Driver() {
    return Up() ? &m_dlg.m_usbDriver : nullptr;
}

bool CQuorvelDlg::PageSide::LinkOpen() {
    return Up() && m_dlg.m_linkMode != -1;
}

void CQuorvelDlg::PageSide::Connect(const DeviceEntry& entry, uint8_t connection) {
    if (!Up()) return;
    m_dlg.m_connection.SwitchConnection(entry.reportId, entry.reportLength, connection, entry.sensorType);
}

void CQuorvelDlg::PageSide::ShowPreviousPage() {
    if (Up()) m_dlg.RestorePreviousPage();
}

void CQuorvelDlg::PageSide::ShowHoverTip(int tip) {
    if (m_dlg.m_hWnd) m_dlg.PostMessage(UWM_HOVER_TIP, 0, tip);
}

LRESULT CQuorvelDlg::OnSysCommand(WPARAM id) {
    if (id >= kAboutFirst && id <= kAboutLast) {
        CAboutDlg about(this);
        about.DoModal();
        return 0;
    }
    return Default();
}
