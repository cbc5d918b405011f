#include "framework/wnd.h"

#include "framework/keyboard_capture.h"
#include "framework/menu.h"

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

namespace {

// The object of a window, and the procedure to fall back to once a window has
// been unbound while somebody else's subclass still sat on top of ours.
const wchar_t kObjectProp[] = L"Quorvel.Wnd";
const wchar_t kPrevProcProp[] = L"Quorvel.PrevProc";

// The message being handled, per window, innermost last. Kept outside the
// objects so that a window that deletes itself inside a nested message leaves
// nothing behind for the outer frames to touch.
struct Frame {
    CWnd* wnd;
    HWND hwnd;
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};
thread_local std::vector<Frame> t_frames;

// Creation: the object waiting for the next window this thread creates.
thread_local CWnd* t_wndInit = nullptr;
thread_local HHOOK t_cbtHook = nullptr;
thread_local int t_hookDepth = 0;

thread_local CMenu* t_trackedMenu = nullptr;

}  // namespace

// Binds the object at HCBT_CREATEWND, which comes before any message of the
// new window (WM_GETMINMAXINFO, WM_NCCREATE, WM_CREATE).
struct CreationHookAccess {
    static void BindNew(CWnd* wnd, HWND hwnd);
};

namespace {

LRESULT CALLBACK CbtHookProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND && t_wndInit) {
        CWnd* wnd = t_wndInit;
        t_wndInit = nullptr;
        CreationHookAccess::BindNew(wnd, reinterpret_cast<HWND>(wp));
    }
    return ::CallNextHookEx(t_cbtHook, code, wp, lp);
}

// Sets the object to bind for the duration of one creation call.
class CreationScope {
public:
    explicit CreationScope(CWnd* wnd) : m_saved(t_wndInit) {
        if (t_hookDepth++ == 0)
            t_cbtHook = ::SetWindowsHookExW(WH_CBT, CbtHookProc, nullptr, ::GetCurrentThreadId());
        t_wndInit = wnd;
    }
    ~CreationScope() {
        t_wndInit = m_saved;
        if (--t_hookDepth == 0 && t_cbtHook) {
            ::UnhookWindowsHookEx(t_cbtHook);
            t_cbtHook = nullptr;
        }
    }
    CreationScope(const CreationScope&) = delete;
    CreationScope& operator=(const CreationScope&) = delete;

private:
    CWnd* m_saved;
};

}  // namespace

void CreationHookAccess::BindNew(CWnd* wnd, HWND hwnd) {
    // Same order as SubclassWindow: bound, then PreSubclassWindow, then our
    // procedure in front of the class's.
    wnd->Bind(hwnd);
    CallGuarded([&] { wnd->PreSubclassWindow(); });
    wnd->m_prevProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWindowProc)));
}

HWND CreateBoundWindow(CWnd* wnd, const std::function<HWND()>& create) {
    CreationScope scope(wnd);
    return create();
}

void SetTrackedMenu(CMenu* menu) {
    t_trackedMenu = menu;
}

CMenu* GetTrackedMenu() {
    return t_trackedMenu;
}

CWnd::~CWnd() {
    // A window outliving its object would call into freed memory.
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    if (m_hWnd) Unbind();
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (!hwnd) return nullptr;
    return static_cast<CWnd*>(::GetPropW(hwnd, kObjectProp));
}

namespace {

// A wrapper that only names a window: never bound, and its destruction leaves
// the window alone.
class CTempWnd final : public CWnd {
public:
    explicit CTempWnd(HWND hwnd) { m_hWnd = hwnd; }
    ~CTempWnd() override { m_hWnd = nullptr; }
};

thread_local std::map<HWND, std::unique_ptr<CTempWnd>> t_tempWnds;

}  // namespace

CWnd* CWnd::FromHandle(HWND hwnd) {
    if (CWnd* wnd = FromHandlePermanent(hwnd)) return wnd;
    if (!hwnd || !::IsWindow(hwnd)) return nullptr;
    auto found = t_tempWnds.find(hwnd);
    if (found != t_tempWnds.end()) return found->second.get();
    // The wrappers of windows that have gone since go now, so that they stay
    // as few as the windows they name.
    for (auto it = t_tempWnds.begin(); it != t_tempWnds.end();)
        it = ::IsWindow(it->first) ? std::next(it) : t_tempWnds.erase(it);
    return t_tempWnds.emplace(hwnd, std::make_unique<CTempWnd>(hwnd)).first->second.get();
}

void CWnd::Bind(HWND hwnd) {
    m_hWnd = hwnd;
    ::SetPropW(hwnd, kObjectProp, this);
}

void CWnd::Unbind() {
    HWND hwnd = m_hWnd;
    if (!hwnd) return;
    ::RemovePropW(hwnd, kObjectProp);
    auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
    if (current == StaticWindowProc) {
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_prevProc));
    } else if (m_prevProc) {
        // Another subclass sits on top and still calls StaticWindowProc as its
        // previous procedure: leave it the way on to ours.
        ::SetPropW(hwnd, kPrevProcProp, reinterpret_cast<HANDLE>(m_prevProc));
    }
    m_hWnd = nullptr;
}

bool CWnd::CreateEx(DWORD exStyle, const wchar_t* className, const wchar_t* windowName, DWORD style,
                    const RECT& rect, HWND parent, UINT id, void* createParam) {
    if (m_hWnd) return false;
    if (!className) className = DefaultClassName();
    // A popup's menu argument is a menu handle, not an id.
    HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    HWND hwnd = CreateBoundWindow(this, [&] {
        return ::CreateWindowExW(exStyle, className, windowName ? windowName : L"", style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent, menu,
                                 ::GetModuleHandleW(nullptr), createParam);
    });
    if (!hwnd) {
        // WM_NCCREATE or WM_CREATE refused: the window is gone and unbound.
        m_hWnd = nullptr;
        return false;
    }
    return true;
}

bool CWnd::Create(const wchar_t* className, const wchar_t* windowName, DWORD style, const RECT& rect,
                  CWnd* parent, UINT id) {
    return CreateEx(0, className, windowName, style, rect, parent ? parent->m_hWnd : nullptr, id);
}

bool CWnd::SubclassWindow(HWND hwnd) {
    if (m_hWnd || !hwnd || FromHandlePermanent(hwnd)) return false;
    Bind(hwnd);
    CallGuarded([&] { PreSubclassWindow(); });
    m_prevProc = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(StaticWindowProc)));
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = m_hWnd;
    Unbind();
    m_prevProc = nullptr;
    return hwnd;
}

BOOL CWnd::DestroyWindow() {
    if (!m_hWnd) return FALSE;
    return ::DestroyWindow(m_hWnd);
}

LRESULT CWnd::Default() {
    for (auto it = t_frames.rbegin(); it != t_frames.rend(); ++it) {
        if (it->wnd == this)
            return ::CallWindowProcW(m_prevProc ? m_prevProc : ::DefWindowProcW, it->hwnd, it->msg, it->wp,
                                     it->lp);
    }
    return 0;
}

LRESULT CWnd::DefaultAs(UINT msg, WPARAM wp, LPARAM lp) {
    if (!m_hWnd) return 0;
    return ::CallWindowProcW(m_prevProc ? m_prevProc : ::DefWindowProcW, m_hWnd, msg, wp, lp);
}

BOOL CWnd::PreTranslateMessage(MSG*) {
    return FALSE;
}

// Class registration: the same arguments give the same class name.
const wchar_t* CWnd::RegisterWndClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
    static std::mutex lock;
    static std::set<std::wstring> names;  // node-based: the c_str() pointers stay valid
    wchar_t buffer[96];
    _snwprintf(buffer, 96, L"QuorvelWnd:%x:%p:%p:%p", style, static_cast<void*>(cursor),
               static_cast<void*>(background), static_cast<void*>(icon));
    buffer[95] = L'\0';
    std::lock_guard<std::mutex> guard(lock);
    auto [it, inserted] = names.insert(buffer);
    if (inserted) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof(wc);
        wc.style = style;
        wc.lpfnWndProc = ::DefWindowProcW;  // our procedure is put in front at creation
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.hIcon = icon;
        wc.lpszClassName = it->c_str();
        WNDCLASSEXW existing{};
        existing.cbSize = sizeof(existing);
        if (!::GetClassInfoExW(wc.hInstance, wc.lpszClassName, &existing) && !::RegisterClassExW(&wc)) {
            names.erase(it);
            return L"";
        }
    }
    return it->c_str();
}

const wchar_t* CWnd::DefaultClassName() {
    return RegisterWndClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_ARROW));
}

CWnd* CWnd::GetParent() const {
    return FromHandle(::GetParent(m_hWnd));
}

HWND CWnd::GetOwnerHwnd() const {
    if (HWND owner = ::GetWindow(m_hWnd, GW_OWNER)) return owner;
    return ::GetParent(m_hWnd);
}

namespace {

// Changes the style (GWL_STYLE) or extended style (GWL_EXSTYLE) bits; with
// swpFlags the frame is told, as a style change alone does not redraw it.
BOOL ModifyWindowLong(HWND hwnd, int index, DWORD remove, DWORD add, UINT swpFlags) {
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(hwnd, index));
    DWORD changed = (style & ~remove) | add;
    if (style == changed) return FALSE;
    ::SetWindowLongPtrW(hwnd, index, static_cast<LONG_PTR>(changed));
    if (swpFlags)
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    return TRUE;
}

}  // namespace

BOOL CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyWindowLong(m_hWnd, GWL_STYLE, remove, add, swpFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) {
    return ModifyWindowLong(m_hWnd, GWL_EXSTYLE, remove, add, swpFlags);
}

RECT CWnd::GetWindowRect() const {
    RECT r{};
    ::GetWindowRect(m_hWnd, &r);
    return r;
}

RECT CWnd::GetClientRect() const {
    RECT r{};
    ::GetClientRect(m_hWnd, &r);
    return r;
}

RECT CWnd::GetRectInParent() const {
    RECT r = GetWindowRect();
    if (HWND parent = ::GetParent(m_hWnd); parent && (GetStyle() & WS_CHILD))
        ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring CWnd::GetWindowText() const {
    int length = ::GetWindowTextLengthW(m_hWnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    int copied = ::GetWindowTextW(m_hWnd, text.data(), length + 1);
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

// Reflection: what a parent receives on behalf of its children goes to the
// child's object first, as the controls expect to draw, measure and colour
// themselves and to hear their own notifications.
LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND: {
        // A reflected notification taken by the child never reaches OnCommand.
        CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lp));
        if (lp && child && child != this && child->OnChildNotify(HIWORD(wp))) return 0;
        if (OnCommand(wp, lp)) return 0;
        break;
    }
    case WM_DRAWITEM: {
        auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (dis->CtlType == ODT_MENU) {
            // wParam 0 and no window: the item belongs to the menu being tracked.
            if (CMenu* menu = GetTrackedMenu()) {
                menu->DrawItem(dis);
                return TRUE;
            }
            break;
        }
        if (CWnd* child = FromHandlePermanent(dis->hwndItem); child && child != this) {
            child->DrawItem(dis);
            return TRUE;
        }
        break;
    }
    case WM_MEASUREITEM: {
        auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (mis->CtlType == ODT_MENU) {
            if (CMenu* menu = GetTrackedMenu()) {
                menu->MeasureItem(mis);
                return TRUE;
            }
            break;
        }
        // No window handle in the record: find the control by its id. A list
        // box measures its rows while it is being created, before anyone could
        // subclass it; such a control sets its row height itself afterwards.
        CWnd* child = FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(mis->CtlID)));
        if (child && child != this) {
            child->MeasureItem(mis);
            return TRUE;
        }
        break;
    }
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORSCROLLBAR: {
        CWnd* child = FromHandlePermanent(reinterpret_cast<HWND>(lp));
        if (child && child != this) {
            if (HBRUSH brush = child->CtlColor(reinterpret_cast<HDC>(wp), msg))
                return reinterpret_cast<LRESULT>(brush);
        }
        break;
    }
    default:
        break;
    }
    return Default();
}

LRESULT CALLBACK StaticWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    CWnd* wnd = CWnd::FromHandlePermanent(hwnd);
    if (!wnd) {
        // Unbound under somebody else's subclass: pass through to what was there.
        auto prev = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, kPrevProcProp));
        LRESULT result = prev ? ::CallWindowProcW(prev, hwnd, msg, wp, lp) : ::DefWindowProcW(hwnd, msg, wp, lp);
        if (msg == WM_NCDESTROY) ::RemovePropW(hwnd, kPrevProcProp);
        return result;
    }

    t_frames.push_back(Frame{wnd, hwnd, msg, wp, lp});
    LRESULT result = 0;
    if (!CallGuarded([&] { result = wnd->WindowProc(msg, wp, lp); })) result = 0;
    t_frames.pop_back();

    if (msg == WM_DESTROY) {
        // A capturer closed with its owner never got to end its capture.
        ReleaseKeyboardCaptureOf(hwnd);
    }
    if (msg == WM_NCDESTROY) {
        // The window is gone: unbind first, so that an object deleting itself in
        // PostNcDestroy is no longer reachable from its handle.
        wnd->Unbind();
        wnd->m_prevProc = nullptr;
        CallGuarded([&] { wnd->PostNcDestroy(); });
    }
    return result;
}
