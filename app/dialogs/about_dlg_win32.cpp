#include "app/dialogs/about_dlg_win32.h"

#include "res/resource.h"
#include "skin/skin_draw_win32.h"

namespace {

constexpr wchar_t kVersionText[] = L"Quorvel\uff0c1.0 \u7248";
constexpr wchar_t kCopyrightText[] = L"Copyright (C) 2026";
constexpr wchar_t kOkText[] = L"\u786e\u5b9a";
constexpr RECT kIconRect{40, 50, 72, 82};
constexpr RECT kVersionRect{90, 50, 330, 72};
constexpr RECT kCopyrightRect{90, 80, 330, 102};
constexpr RECT kOkRect{122, 170, 238, 196};
constexpr UINT kTextFormat = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
constexpr int kTextHeight = 18;
constexpr COLORREF kTextColor = RGB(255, 255, 255);
// The caption as the other boxes' buttons place it.
constexpr int kOkTextOffset = 3;
constexpr int kOkTextHeight = 18;

}  // namespace

CAboutDlg::CAboutDlg(CWnd* parent) : CSkinnedDialog(IDD_ABOUTBOX, parent) {
    m_controls.Click(m_okButton, [this] { EndDialog(IDOK); });
}

BOOL CAboutDlg::OnInitDialog() {
    CSkinnedDialog::OnInitDialog();
    SetWindowText(kAboutTitle);
    LoadBackground(SkinImagePathW(L"msg_nr.png"));
    m_buttonImages.Load();
    m_buttonImages.CreateButton(m_okButton, *this, m_background, kOkRect, UiText::str_ok);
    // The box speaks its own language, whatever file is loaded.
    m_okButton.SetText(kOkText, kOkTextOffset, 0, kOkTextHeight, DT_CENTER, TRUE);
    // The one button that is meant to end the box carries its id.
    ::SetWindowLongPtrW(m_okButton.m_hWnd, GWLP_ID, IDOK);
    return TRUE;
}

void CAboutDlg::PaintSkin(HDC dc) {
    PaintDialogSkin(dc, m_background);
    HICON icon = static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                                 MAKEINTRESOURCEW(IDI_ABOUT_ICON), IMAGE_ICON, 32,
                                                 32, LR_SHARED));
    if (icon)
        ::DrawIconEx(dc, kIconRect.left, kIconRect.top, icon, kIconRect.right - kIconRect.left,
                     kIconRect.bottom - kIconRect.top, 0, nullptr, DI_NORMAL);
    DrawSkinText(dc, kVersionText, kVersionRect, kTextFormat, kTextHeight, FW_NORMAL, kTextColor);
    DrawSkinText(dc, kCopyrightText, kCopyrightRect, kTextFormat, kTextHeight, FW_NORMAL, kTextColor);
}
