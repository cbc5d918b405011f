#include "app/dialogs/about_dlg_win32.h"

#include "res/resource.h"

CAboutDlg::CAboutDlg(CWnd* parent) : CDialogEx(IDD_ABOUTBOX, parent) {}
