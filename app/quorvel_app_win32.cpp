#include "app/quorvel_app_win32.h"

#include <commctrl.h>
#include <objidl.h>

#include <gdiplus.h>

#include "app/main_window/quorvel_dlg_win32.h"
#include "app/startup.h"
#include "device/file_system.h"
#include "framework/strings.h"

CQuorvelApp theApp;

CQuorvelApp::CQuorvelApp() {
    // Registered with the restart manager once the start-up runs.
    m_restartSupport = true;
}

BOOL CQuorvelApp::InitInstance() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), 0xFF};
    ::InitCommonControlsEx(&controls);
    CWinApp::InitInstance();
    if (m_restartSupport) ::RegisterApplicationRestart(nullptr, 0);

    // A failed start is not checked: images then fail to load where they are drawn.
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&m_gdiplusToken, &gdiplusInput, nullptr);

    // The first instance keeps its handle until the process ends.
    HANDLE mutex = ::CreateMutexW(nullptr, FALSE, kInstanceMutexName);
    if (::GetLastError() == ERROR_ALREADY_EXISTS) {
        // The running instance is looked for but neither activated nor told anything.
        ::FindWindowW(nullptr, kMainWindowTitle);
        if (mutex) ::CloseHandle(mutex);
        return FALSE;
    }

    // A path cut short inside the file name still gives the whole folder.
    wchar_t modulePath[kModuleDirLength] = {};
    if (::GetModuleFileNameW(nullptr, modulePath, kModuleDirLength) == 0) return FALSE;
    modulePath[kModuleDirLength - 1] = 0;
    std::u16string folder = FolderOfModulePath(ToU16(modulePath));
    folder.copy(reinterpret_cast<char16_t*>(m_moduleDir), kModuleDirLength - 1);
    SetProgramFolder(folder);

    {
        CQuorvelDlg dlg;
        m_pMainWnd = &dlg;
        dlg.DoModal();
        m_pMainWnd = nullptr;
    }
    return FALSE;
}
