#include "framework/dialog.h"

#include "framework/app.h"

namespace {

// The dialog manager calls this only for messages our window procedure hands
// to Default(); everything is handled in WindowProc.
INT_PTR CALLBACK FrameworkDialogProc(HWND, UINT msg, WPARAM, LPARAM) {
    return msg == WM_INITDIALOG ? TRUE : FALSE;
}

bool IsInputMessage(UINT msg) {
    return (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST);
}

void AppendString(std::vector<WORD>& out, const wchar_t* text) {
    for (; *text; ++text) out.push_back(static_cast<WORD>(*text));
    out.push_back(0);
}

}  // namespace

CDialog::CDialog(UINT templateId, CWnd* parent) : m_parentWnd(parent), m_templateId(templateId) {}

CDialog::CDialog(std::vector<WORD> memoryTemplate, CWnd* parent)
    : m_parentWnd(parent), m_memoryTemplate(std::move(memoryTemplate)) {}

HWND CDialog::GetSafeOwner(CWnd* parent, HWND* disabledTop) {
    HWND hwnd = parent ? parent->m_hWnd : nullptr;
    if (!hwnd) {
        if (CWnd* main = GetAppMainWindow()) hwnd = main->m_hWnd;
    }
    // A popup cannot be owned by a child window.
    while (hwnd && (::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) hwnd = ::GetParent(hwnd);

    HWND top = hwnd;
    for (HWND up = hwnd; up; up = ::GetParent(up)) top = up;

    if (!parent && hwnd) hwnd = ::GetLastActivePopup(hwnd);

    if (disabledTop) {
        *disabledTop = nullptr;
        if (top && top != hwnd && ::IsWindowEnabled(top)) {
            *disabledTop = top;
            ::EnableWindow(top, FALSE);
        }
    }
    return hwnd;
}

bool CDialog::CreateFromTemplate(HWND owner) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    // Bound before the dialog's first message, so that WM_CREATE and
    // WM_INITDIALOG already reach our WindowProc.
    HWND hwnd = CreateBoundWindow(this, [&] {
        if (!m_memoryTemplate.empty())
            return ::CreateDialogIndirectParamW(
                instance, reinterpret_cast<const DLGTEMPLATE*>(m_memoryTemplate.data()), owner,
                FrameworkDialogProc, 0);
        return ::CreateDialogParamW(instance, MAKEINTRESOURCEW(m_templateId), owner, FrameworkDialogProc, 0);
    });
    return hwnd != nullptr && m_hWnd == hwnd;
}

bool CDialog::CreateModeless(CWnd* parent) {
    if (m_hWnd) return false;
    m_modal = false;
    if (parent) m_parentWnd = parent;
    return CreateFromTemplate(m_parentWnd ? m_parentWnd->m_hWnd : nullptr);
}

INT_PTR CDialog::DoModal() {
    if (m_hWnd) return -1;
    HWND disabledTop = nullptr;
    HWND owner = GetSafeOwner(m_parentWnd, &disabledTop);
    bool enableOwner = false;
    if (owner && owner != ::GetDesktopWindow() && ::IsWindowEnabled(owner)) {
        ::EnableWindow(owner, FALSE);
        enableOwner = true;
    }

    m_modal = true;
    m_endRequested = false;
    m_result = -1;
    if (CreateFromTemplate(owner)) {
        // OnInitDialog may already have ended the dialog.
        if (!m_endRequested && m_hWnd) ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
        RunModalLoop();
        if (m_hWnd)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    }

    // The owner comes back before the dialog goes, so that activation returns
    // to it rather than to some other program's window.
    if (enableOwner) ::EnableWindow(owner, TRUE);
    if (owner && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(owner);
    if (m_hWnd) ::DestroyWindow(m_hWnd);
    if (disabledTop) ::EnableWindow(disabledTop, TRUE);
    m_modal = false;
    return m_result;
}

void CDialog::RunModalLoop() {
    MSG msg;
    // Ends on EndDialog, on the window's destruction (its owner went away), or
    // on WM_QUIT, which is posted again so that outer loops end as well.
    while (!m_endRequested && m_hWnd) {
        BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_result = -1;
            break;
        }
        if (got == -1) break;
        if (!WalkPreTranslate(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

void CDialog::EndDialog(INT_PTR result) {
    if (m_modal) {
        m_result = result;
        m_endRequested = true;
        // Wake the loop should this come from outside any message.
        if (m_hWnd) ::PostMessageW(m_hWnd, WM_NULL, 0, 0);
    } else if (m_hWnd) {
        ::EndDialog(m_hWnd, result);  // a modeless dialog is only hidden
    }
}

BOOL CDialog::WalkPreTranslate(MSG* msg) {
    for (HWND hwnd = msg->hwnd; hwnd; hwnd = ::GetParent(hwnd)) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd)) {
            if (wnd->PreTranslateMessage(msg)) return TRUE;
        }
        if (!(::GetWindowLongPtrW(hwnd, GWL_STYLE) & WS_CHILD)) break;  // the top-level window was last
    }
    return FALSE;
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    if (!m_hWnd || !IsInputMessage(msg->message)) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    return ::IsDialogMessageW(m_hWnd, msg);
}

LRESULT CDialog::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        // The result decides whether the dialog manager sets the focus.
        return OnInitDialog();
    }
    if (msg == WM_NCDESTROY && m_modal) {
        // Destroyed from a sent message (its owner went away) the loop would
        // sleep in GetMessage until something is posted; wake it to see that
        // the window is gone.
        ::PostThreadMessageW(::GetCurrentThreadId(), WM_NULL, 0, 0);
    }
    return CWnd::WindowProc(msg, wp, lp);
}

BOOL CDialog::OnCommand(WPARAM wp, LPARAM lp) {
    // Enter and Esc arrive as IDOK and IDCANCEL from the dialog manager, and
    // WM_CLOSE as IDCANCEL. Our skinned controls all have id 0, so their
    // clicks never end a dialog by accident.
    if (HIWORD(wp) == BN_CLICKED) {
        switch (LOWORD(wp)) {
        case IDOK:
            OnOK();
            return TRUE;
        case IDCANCEL:
            OnCancel();
            return TRUE;
        default:
            break;
        }
    }
    return FALSE;
}

std::vector<WORD> BuildDialogTemplate(DWORD style, DWORD exStyle, short cx, short cy) {
    std::vector<WORD> t;
    t.push_back(1);       // dlgVer
    t.push_back(0xFFFF);  // signature: DLGTEMPLATEEX
    t.push_back(0);       // helpID
    t.push_back(0);
    t.push_back(LOWORD(exStyle));
    t.push_back(HIWORD(exStyle));
    t.push_back(LOWORD(style));
    t.push_back(HIWORD(style));
    t.push_back(0);  // no controls
    t.push_back(0);  // x
    t.push_back(0);  // y
    t.push_back(static_cast<WORD>(cx));
    t.push_back(static_cast<WORD>(cy));
    t.push_back(0);  // no menu
    t.push_back(0);  // default class
    t.push_back(0);  // no title
    if (style & (DS_SETFONT | DS_SHELLFONT)) {
        t.push_back(8);    // point size
        t.push_back(400);  // weight
        t.push_back(0);    // italic, charset
        AppendString(t, L"MS Shell Dlg");
    }
    return t;
}
