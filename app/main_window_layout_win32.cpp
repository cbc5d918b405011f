// The main window's layout: the skin, the controls at their places, the five
// pages and which of them is shown.
#include "app/connection.h"
#include "app/pages/adv_set_win32.h"
#include "app/pages/page_factory_win32.h"
#include "app/quorvel_dlg_win32.h"
#include "device/device_state.h"
#include "framework/gdiplus_helpers.h"
#include "skin/skin_draw_win32.h"

void CQuorvelDlg::BuildSkin() {
    LoadSkinBackground();
    CreateStatusControls();
    CreatePages();
    // At start-up nothing is connected yet: the device picker comes first.
    const bool connected = m_linkMode != -1 && g_isConnected != 0;
    m_connection.GoToPage(connected ? PAGE_BUTTONS : PAGE_DEVICE_PICKER);
}

void CQuorvelDlg::LoadSkinBackground() {
    if (!LoadBitmapFromImageFile(SkinImagePathW(L"main_nr.png"), m_bmpBackground)) return;
    SIZE size = m_bmpBackground.GetSize();
    int left = (::GetSystemMetrics(SM_CXSCREEN) - size.cx) / 2;
    int top = (::GetSystemMetrics(SM_CYSCREEN) - size.cy) / 2;
    SetWindowPos(nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void CQuorvelDlg::PaintBackground(HDC dc) {
    if (m_bmpBackground.IsEmpty()) return;
    SIZE size = m_bmpBackground.GetSize();
    MemoryDC memory(dc);
    memory.Select(m_bmpBackground);
    ::BitBlt(dc, 0, 0, size.cx, size.cy, memory, 0, 0, SRCCOPY);
}

void CQuorvelDlg::CreatePages() {
    m_pBaseDlg = CreateMainPage(kButtonsPage, *this, &m_bmpBackground);
    m_pAdvDlg = CreateMainPage(kAdvancedPage, *this, &m_bmpBackground);
    m_pLedDlg = CreateMainPage(kLedPage, *this, &m_bmpBackground);
    m_pMacroDlg = CreateMainPage(kMacroPage, *this, &m_bmpBackground);
    m_pHostDlg = CreateMainPage(kDevicePickerPage, *this, &m_bmpBackground);
    if (m_pBaseDlg) m_pBaseDlg->ShowWindow(SW_SHOW);
}

void CQuorvelDlg::ShowPage(int k) {
    // In the order of the page numbers.
    CMainPage* pages[] = {m_pBaseDlg.get(), m_pLedDlg.get(), m_pAdvDlg.get(), m_pMacroDlg.get(),
                          m_pHostDlg.get()};
    for (int i = 0; i < 5; ++i) {
        if (pages[i] && pages[i]->m_hWnd) pages[i]->ShowWindow(i == k ? SW_SHOW : SW_HIDE);
    }
}

void CQuorvelDlg::LayoutPageButtons(bool) {
    // The page icons belong to the window's layout, which places them.
}

void CQuorvelDlg::RefreshAllPages() {
    if (m_pBaseDlg) m_pBaseDlg->RefreshFromSettings();
    if (m_pLedDlg) m_pLedDlg->RefreshFromSettings();
    // The advanced page also takes the sliders' ranges of the sensor now connected.
    if (auto* adv = dynamic_cast<CAdvSetDlg*>(m_pAdvDlg.get())) adv->RefreshFromSettingsAndRanges();
    if (m_pMacroDlg) m_pMacroDlg->UpdateTexts();
}
