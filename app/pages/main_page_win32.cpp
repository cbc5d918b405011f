#include "app/pages/main_page_win32.h"

#include "app/key_filter_win32.h"
#include "framework/gdiplus_helpers.h"
#include "skin/skin_draw_win32.h"
#include "skin/skin_messages.h"
#include "skin/skinned_dialog_win32.h"

void EnableControl(const CWnd& control, bool enabled) {
    if (control.m_hWnd && (control.IsWindowEnabled() != 0) != enabled) {
        control.EnableWindow(enabled);
        control.Invalidate(TRUE);
    }
}

CMainPage::CMainPage(UINT templateId, const CBitmap* mainBackground)
    : CDialogEx(templateId), m_mainBackground(mainBackground) {}

bool CMainPage::LoadBackground(const std::wstring& imageName) {
    CBitmap skin;
    if (!LoadBitmapFromImageFile(SkinImagePathW(imageName), skin)) return false;
    TakeBackgroundFrom(skin);
    return true;
}

void CMainPage::TakeBackgroundFrom(const CBitmap& skin) {
    ClientDC screen(nullptr);
    CopyBitmapRect(screen, m_bmpBackground, skin, 1, kPageRect);
}

BOOL CMainPage::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedDialogKey(msg)) return TRUE;
    return CDialogEx::PreTranslateMessage(msg);
}

LRESULT CMainPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandlePaintMessage(m_hWnd, msg, wp, [this](HDC dc) { PaintDialogSkin(dc, m_bmpBackground); })) return 0;
    switch (msg) {
    case WM_NCCREATE:
        // Before WM_CREATE, where a page may load an image of its own instead.
        if (m_mainBackground && !m_mainBackground->IsEmpty() && m_bmpBackground.IsEmpty())
            TakeBackgroundFrom(*m_mainBackground);
        break;
    case WM_ERASEBKGND:
        return TRUE;  // the paint covers the whole page
    case UWM_BUTTON_PRESS_RELEASE:
    case UWM_SLIDER_MOVING:
    case UWM_SLIDER_RELEASED:
    case UWM_VALUE_CHANGED:
    case UWM_STEPPER_CHANGED:
        if (m_controls.Dispatch(msg, wp, lp)) {
            OnControlHandled();
            return 0;
        }
        break;
    default:
        break;
    }
    return CDialogEx::WindowProc(msg, wp, lp);
}

BOOL CMainPage::OnCommand(WPARAM wp, LPARAM lp) {
    if (m_controls.Dispatch(WM_COMMAND, wp, lp)) {
        OnControlHandled();
        return TRUE;
    }
    return CDialogEx::OnCommand(wp, lp);
}
