#include "framework/app.h"

#include "framework/wnd.h"

#include <vector>

namespace {
CWinApp* g_currentApp = nullptr;
}

CWinApp::CWinApp() {
    g_currentApp = this;
    m_hInstance = ::GetModuleHandleW(nullptr);
}

CWinApp::~CWinApp() {
    if (g_currentApp == this) g_currentApp = nullptr;
}

CWinApp* CWinApp::Current() {
    return g_currentApp;
}

CWnd* GetAppMainWindow() {
    return g_currentApp ? g_currentApp->m_pMainWnd : nullptr;
}

std::wstring ModuleFolder() {
    // Long paths: grow the buffer until the whole path fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) {
            std::wstring path(buffer.data(), length);
            size_t slash = path.find_last_of(L'\\');
            return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
        }
        if (buffer.size() > 32768) return {};
        buffer.resize(buffer.size() * 2);
    }
}

int AppMessageBox(const std::wstring& text, const std::wstring& caption, UINT type) {
    CWnd* main = GetAppMainWindow();
    HWND owner = main ? main->m_hWnd : nullptr;
    return ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}
