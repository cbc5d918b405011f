// The application object: single instance, the program's folder, and the main
// window run modally for the whole life of the process.
#pragma once

#include <windows.h>

#include "framework/app.h"

constexpr int kModuleDirLength = 260;
inline constexpr wchar_t kInstanceMutexName[] = L"Quorvel.exe2";
inline constexpr wchar_t kMainWindowTitle[] = L"Brantis Driver";

class CQuorvelApp : public CWinApp {
public:
    CQuorvelApp();

    // Always FALSE: the process ends when it returns.
    BOOL InitInstance() override;

    ULONG_PTR m_gdiplusToken = 0;  // GDI+ stays started until the process ends
    wchar_t m_moduleDir[kModuleDirLength] = {};  // the program's folder, with its backslash

private:
    bool m_restartSupport = false;
};

extern CQuorvelApp theApp;
