// The About box of the main window's system menu.
#pragma once

#include "framework/dialog.h"

class CAboutDlg : public CDialogEx {
public:
    explicit CAboutDlg(CWnd* parent = nullptr);
};
