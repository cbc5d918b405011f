// The About box of the main window's system menu: the program's name and
// version over the small boxes' skin, and an OK button.
#pragma once

#include <windows.h>

#include "skin/box_controls_win32.h"
#include "skin/push_buttons_win32.h"
#include "skin/skinned_dialog_win32.h"

inline constexpr wchar_t kAboutTitle[] = L"\u5173\u4e8e Quorvel";

class CAboutDlg : public CSkinnedDialog {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);

    CBoxButtonImages m_buttonImages;
    CGDIBitmapBtn m_okButton;

protected:
    BOOL OnInitDialog() override;
    void PaintSkin(HDC dc) override;

private:
};
