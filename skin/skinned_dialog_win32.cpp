#include "skin/skinned_dialog_win32.h"

#include <optional>

#include "framework/gdiplus_helpers.h"
#include "skin/dialog_placement.h"

void PaintDialogSkin(HDC dc, const CBitmap& background) {
    if (background.IsEmpty()) return;
    SIZE size = background.GetSize();
    MemoryDC source(dc);
    source.Select(background);
    ::BitBlt(dc, 0, 0, size.cx, size.cy, source, 0, 0, SRCCOPY);
}

CSkinnedDialog::CSkinnedDialog(UINT templateId, CWnd* parent, Closing closing)
    : CDialogEx(templateId, parent),
      m_closing(closing),
      m_readyEvent(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

CSkinnedDialog::~CSkinnedDialog() {
    if (m_readyEvent) ::CloseHandle(m_readyEvent);
}

INT_PTR CSkinnedDialog::DoModal() {
    INT_PTR result = CDialogEx::DoModal();
    // Covers a template that never made a window: nobody may wait for it.
    SignalReady(nullptr);
    return result;
}

HWND CSkinnedDialog::WaitUntilReady(DWORD timeoutMs) const {
    if (!m_readyEvent || ::WaitForSingleObject(m_readyEvent, timeoutMs) != WAIT_OBJECT_0) return nullptr;
    return m_readyWindow.load();
}

void CSkinnedDialog::SignalReady(HWND hwnd) {
    m_readyWindow.store(hwnd);
    if (m_readyEvent) ::SetEvent(m_readyEvent);
}

BOOL CSkinnedDialog::OnCommand(WPARAM wp, LPARAM lp) {
    if (m_controls.Dispatch(WM_COMMAND, wp, lp)) return TRUE;
    return CDialogEx::OnCommand(wp, lp);
}

LRESULT CSkinnedDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (HandlePaintMessage(m_hWnd, msg, wp, [this](HDC dc) { PaintSkin(dc); })) return 0;
    switch (msg) {
    case WM_INITDIALOG: {
        // Ready only once the derived OnInitDialog is done as well.
        LRESULT result = CDialogEx::WindowProc(msg, wp, lp);
        SignalReady(m_hWnd);
        return result;
    }
    case WM_ERASEBKGND:
        return TRUE;  // the paint covers the whole client
    case WM_SYSCOMMAND:
        // Alt+F4 and the system menu's Close arrive as SC_CLOSE.
        if (!UserCanClose() && (wp & 0xFFF0) == SC_CLOSE) return 0;
        break;
    case WM_CLOSE:
        if (!UserCanClose()) {
            EndDialog(IDCANCEL);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        SignalReady(nullptr);
        break;
    default:
        break;
    }
    return CDialogEx::WindowProc(msg, wp, lp);
}

void CSkinnedDialog::OnOK() {
    if (UserCanClose()) CDialogEx::OnOK();
}

void CSkinnedDialog::OnCancel() {
    if (UserCanClose()) CDialogEx::OnCancel();
}

void CSkinnedDialog::PaintSkin(HDC dc) {
    PaintDialogSkin(dc, m_background);
}

bool CSkinnedDialog::LoadBackground(const std::wstring& path) {
    m_background.DeleteObject();
    bool loaded = LoadBitmapFromImageFile(path, m_background);
    FitToSkin(loaded ? m_background.GetSize() : SIZE{0, 0});
    return loaded;
}

void CSkinnedDialog::FitToSkin(SIZE size) {
    std::optional<DialogPoint> ownerCorner;
    // A popup's owner is the top-level window the framework chose for it.
    if (HWND owner = ::GetWindow(m_hWnd, GW_OWNER)) {
        RECT r{};
        ::GetWindowRect(owner, &r);
        ownerCorner = DialogPoint{r.left, r.top};
    }
    DialogPoint origin = SkinnedDialogOrigin(ownerCorner, ::GetSystemMetrics(SM_CXFULLSCREEN),
                                             ::GetSystemMetrics(SM_CYFULLSCREEN), size.cx, size.cy);
    SetWindowPos(nullptr, origin.x, origin.y, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate(TRUE);
}
