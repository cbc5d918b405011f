// The window object: one C++ object bound to one HWND for the window's life.
//
// The link lives in a window property, never in GWLP_USERDATA: controls are
// free to use that slot for themselves (the scroll frame keeps its pointer
// there). Every window we create or subclass runs StaticWindowProc, which finds
// the object and calls its virtual WindowProc; classes override WindowProc with
// a switch and hand everything they do not handle to their base class, which
// ends in Default(): the window procedure that was there before we subclassed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

class CMenu;

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd();
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    HWND m_hWnd = nullptr;

    HWND GetSafeHwnd() const { return m_hWnd; }
    operator HWND() const { return m_hWnd; }

    // The object bound to a window. For a window we do not manage (a system
    // dialog, another program's window) a temporary wrapper that does not own
    // it: code written as GetParent()->PostMessage(...) never meets a null for
    // a window that exists. A temporary lives on this thread until a later call
    // finds its window gone; keep it no longer than the message being handled.
    // Null only for a null handle or one that names no window.
    static CWnd* FromHandle(HWND hwnd);
    // The object bound to a window, or null for windows we do not manage.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Creation. A null class name means the framework's default child class
    // (double clicks, arrow cursor, no background brush). The object is bound
    // before the window's first message (WM_GETMINMAXINFO / WM_NCCREATE).
    bool CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                  const RECT& rect, HWND parent, UINT id, void* createParam = nullptr);
    bool Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                CWnd* parent, UINT id);

    // Binds this object to an existing window and routes its messages through
    // WindowProc; PreSubclassWindow runs first.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    // Gives the window its previous procedure back, when nobody has subclassed
    // on top of us meanwhile; returns the handle.
    HWND UnsubclassWindow();

    BOOL DestroyWindow();

    // Calls the window procedure that was in place before ours with the message
    // now being handled: "default processing".
    LRESULT Default();
    // The previous procedure with another message in place of the current one.
    LRESULT DefaultAs(UINT msg, WPARAM wp, LPARAM lp);

    // The walk of the modal loop: return TRUE to swallow the message.
    virtual BOOL PreTranslateMessage(MSG* msg);

    // Class names registered on demand; the same arguments give the same class.
    static const wchar_t* RegisterWndClass(UINT style, HCURSOR cursor = nullptr,
                                           HBRUSH background = nullptr, HICON icon = nullptr);
    static const wchar_t* DefaultClassName();

    // Thin wrappers. The parent (a popup's owner) as FromHandle gives it.
    CWnd* GetParent() const;
    HWND GetParentHwnd() const { return ::GetParent(m_hWnd); }
    // The owner of a popup, else the parent.
    HWND GetOwnerHwnd() const;
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(m_hWnd); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    DWORD GetStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0);
    BOOL ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0);
    void Invalidate(BOOL erase = TRUE) const { ::InvalidateRect(m_hWnd, nullptr, erase); }
    void UpdateWindow() const { ::UpdateWindow(m_hWnd); }
    BOOL RedrawWindow(UINT flags = RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE) const {
        return ::RedrawWindow(m_hWnd, nullptr, nullptr, flags);
    }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return ::PostMessageW(m_hWnd, msg, wp, lp);
    }
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const {
        return ::SendMessageW(m_hWnd, msg, wp, lp);
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse) const { return ::SetTimer(m_hWnd, id, elapse, nullptr); }
    BOOL KillTimer(UINT_PTR id) const { return ::KillTimer(m_hWnd, id); }
    BOOL ShowWindow(int cmd) const { return ::ShowWindow(m_hWnd, cmd); }
    BOOL EnableWindow(BOOL enable = TRUE) const { return ::EnableWindow(m_hWnd, enable); }
    BOOL IsWindowVisible() const { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const { return ::IsWindowEnabled(m_hWnd); }
    BOOL MoveWindow(const RECT& r, BOOL repaint = TRUE) const {
        return ::MoveWindow(m_hWnd, r.left, r.top, r.right - r.left, r.bottom - r.top, repaint);
    }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    RECT GetWindowRect() const;
    RECT GetClientRect() const;
    // The window's rectangle in its parent's client coordinates.
    RECT GetRectInParent() const;
    void ClientToScreen(POINT* pt) const { ::ClientToScreen(m_hWnd, pt); }
    void ScreenToClient(POINT* pt) const { ::ScreenToClient(m_hWnd, pt); }
    void SetWindowText(const std::wstring& text) const { ::SetWindowTextW(m_hWnd, text.c_str()); }
    std::wstring GetWindowText() const;
    HWND SetCapture() const { return ::SetCapture(m_hWnd); }
    bool HasCapture() const { return m_hWnd && ::GetCapture() == m_hWnd; }
    HWND SetFocus() const { return ::SetFocus(m_hWnd); }

protected:
    friend LRESULT CALLBACK StaticWindowProc(HWND, UINT, WPARAM, LPARAM);
    friend class CDialog;
    friend struct CreationHookAccess;

    // One switch per class; unhandled messages go to the base class.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);

    // Runs when the object is bound to its window, before the window sees its
    // first message through us (also before WM_NCCREATE when we create it).
    virtual void PreSubclassWindow() {}
    // Runs after the window is gone and the object is unbound; a window that
    // lives on the heap deletes itself here.
    virtual void PostNcDestroy() {}

    // WM_COMMAND that no child took as a reflected notification. TRUE: handled.
    virtual BOOL OnCommand(WPARAM wp, LPARAM lp) { return FALSE; }

    // Reflected to the control from its parent's messages.
    virtual void DrawItem(DRAWITEMSTRUCT* dis) {}
    virtual void MeasureItem(MEASUREITEMSTRUCT* mis) {}
    // WM_CTLCOLOR*: a brush, or null to let the parent decide.
    virtual HBRUSH CtlColor(HDC dc, UINT ctlColorMsg) { return nullptr; }
    // A WM_COMMAND notification from this control to its parent (EN_CHANGE,
    // LBN_SELCHANGE, LBN_DBLCLK, ...). TRUE takes it: the parent then does not
    // see it. Clicks (BN_CLICKED) are left to the parent unless a class says so.
    virtual BOOL OnChildNotify(UINT code) { return FALSE; }

private:
    void Bind(HWND hwnd);
    void Unbind();

    WNDPROC m_prevProc = nullptr;  // the procedure Default() calls
    UINT m_curMsg = 0;
    WPARAM m_curWParam = 0;
    LPARAM m_curLParam = 0;
};

LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

// Runs create (a CreateWindowEx or CreateDialog call) with wnd bound to the
// first window it makes, before that window's first message.
HWND CreateBoundWindow(CWnd* wnd, const std::function<HWND()>& create);

// Owner-drawn menu items carry no window of their own: WM_DRAWITEM and
// WM_MEASUREITEM for ODT_MENU go to the menu being tracked on this thread.
void SetTrackedMenu(CMenu* menu);
CMenu* GetTrackedMenu();

// Calls fn, catching everything: nothing may unwind through a Win32 callback.
// Returns false when fn threw.
template <typename Fn>
bool CallGuarded(Fn&& fn) noexcept {
    try {
        fn();
        return true;
    } catch (...) {
        ::OutputDebugStringW(L"Quorvel: exception stopped at a window callback\n");
        return false;
    }
}
