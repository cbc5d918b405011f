// The application object: the program's instance, its folder and its main
// window. The program derives its own application class from it.
#pragma once

#include <windows.h>

#include <string>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    // The program's start; returning FALSE ends the process (no message loop
    // of the application's own: the main window runs modally).
    virtual BOOL InitInstance() { return FALSE; }

    HINSTANCE m_hInstance = nullptr;
    CWnd* m_pMainWnd = nullptr;

    static CWinApp* Current();
};

CWnd* GetAppMainWindow();

// The folder of the running program's file, of any length, always ending in
// a backslash; empty when the module path cannot be read. The application does
// not use it: it takes its folder from the first 260 characters of the path,
// as its start-up prescribes.
std::wstring ModuleFolder();

// A message box owned by the main window (or nothing), with the given caption.
int AppMessageBox(const std::wstring& text, const std::wstring& caption = L"", UINT type = MB_OK);
