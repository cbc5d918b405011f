#include "skin/xp_menu_win32.h"

#include "framework/gdi.h"
#include "skin/skin_draw_win32.h"
#include "skin/xp_menu_logic.h"

HHOOK g_menuHook = nullptr;
WNDPROC g_oldMenuWndProc = nullptr;

namespace {

// Marks a menu window whose size has had its border taken off once.
const wchar_t kShrunkProp[] = L"Quorvel.MenuShrunk";

constexpr UINT kXpTextFormat =
    DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_WORDBREAK | DT_NOCLIP | DT_END_ELLIPSIS;

RECT ToRect(const SkinRect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }

SkinRect ToSkin(const RECT& r) { return SkinRect{r.left, r.top, r.right, r.bottom}; }

void FillColor(HDC dc, const RECT& r, COLORREF color) {
    CBrush brush;
    if (brush.CreateSolidBrush(color)) ::FillRect(dc, &r, brush);
}

LRESULT CallOld(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    return g_oldMenuWndProc ? ::CallWindowProcW(g_oldMenuWndProc, hwnd, msg, wp, lp)
                            : ::DefWindowProcW(hwnd, msg, wp, lp);
}

}  // namespace

LRESULT CALLBACK MenuHookProc(int code, WPARAM wp, LPARAM lp) {
    if (code == HC_ACTION && lp) {
        const auto* call = reinterpret_cast<const CWPSTRUCT*>(lp);
        if (call->message == WM_CREATE) {
            wchar_t name[11] = {};
            int length = ::GetClassNameW(call->hwnd, name, 11);
            auto current = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(call->hwnd, GWLP_WNDPROC));
            if (length > 0 &&
                IsMenuWindowClass(reinterpret_cast<const char16_t*>(name),
                                  static_cast<size_t>(length)) &&
                current != MenuWindowProc) {
                g_oldMenuWndProc = current;
                ::SetWindowLongPtrW(call->hwnd, GWLP_WNDPROC,
                                    reinterpret_cast<LONG_PTR>(MenuWindowProc));
            }
        }
    }
    return ::CallNextHookEx(g_menuHook, code, wp, lp);
}

LRESULT CALLBACK MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_CREATE: {
            LRESULT result = CallOld(hwnd, msg, wp, lp);
            LONG_PTR style = ::GetWindowLongPtrW(hwnd, GWL_STYLE);
            ::SetWindowLongPtrW(hwnd, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_BORDER));
            LONG_PTR exStyle = ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
            ::SetWindowLongPtrW(
                hwnd, GWL_EXSTYLE,
                exStyle & ~static_cast<LONG_PTR>(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE));
            return result;
        }
        case WM_WINDOWPOSCHANGING: {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lp);
            if (pos) {
                RECT window{};
                ::GetWindowRect(hwnd, &window);
                SkinSize current{window.right - window.left, window.bottom - window.top};
                SkinSize proposed{pos->cx, pos->cy};
                bool shrunk = ::GetPropW(hwnd, kShrunkProp) != nullptr;
                if (ShouldShrinkMenuWindow((pos->flags & SWP_NOSIZE) != 0, proposed, current,
                                           shrunk)) {
                    SkinSize size = ShrunkMenuWindowSize(proposed, ::GetSystemMetrics(SM_CXBORDER),
                                                         ::GetSystemMetrics(SM_CYBORDER));
                    pos->cx = size.cx;
                    pos->cy = size.cy;
                    ::SetPropW(hwnd, kShrunkProp, reinterpret_cast<HANDLE>(1));
                }
            }
            CallOld(hwnd, msg, wp, lp);
            return 0;
        }
        case WM_GETICON:
            return 0;
        case WM_PRINT:
            return CallOld(hwnd, WM_PRINTCLIENT, wp, lp);
        case WM_NCDESTROY:
            ::RemovePropW(hwnd, kShrunkProp);
            return CallOld(hwnd, msg, wp, lp);
        default:
            return CallOld(hwnd, msg, wp, lp);
    }
}

// ---- CXPMenu ----

CXPMenu::~CXPMenu() {
    m_hookFlag = 0;
    RemoveHook();
}

bool CXPMenu::InstallHook() {
    if (!g_menuHook)
        g_menuHook = ::SetWindowsHookExW(WH_CALLWNDPROC, MenuHookProc, ::GetModuleHandleW(nullptr),
                                         ::GetCurrentThreadId());
    return g_menuHook != nullptr;
}

void CXPMenu::RemoveHook() {
    if (g_menuHook) {
        ::UnhookWindowsHookEx(g_menuHook);
        g_menuHook = nullptr;
    }
}

BOOL CXPMenu::TrackWithHook(UINT flags, int x, int y, HWND owner) {
    m_hookFlag = 1;
    InstallHook();
    BOOL result = TrackPopupMenu(flags, x, y, owner);
    m_hookFlag = 0;
    RemoveHook();
    return result;
}

void CXPMenu::DrawItem(DRAWITEMSTRUCT* dis) {
    if (!dis || !dis->itemData) return;
    HDC dc = dis->hDC;
    ::SetBkMode(dc, TRANSPARENT);
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    FillColor(dc, dis->rcItem, selected ? kXpMenuSelectedFill : kXpMenuFill);
    const auto* text = reinterpret_cast<const wchar_t*>(dis->itemData);
    DrawSkinText(dc, text, ToRect(XpMenuTextRect(ToSkin(dis->rcItem))), kXpTextFormat, 16, 500,
                 selected ? kXpMenuSelectedText : kXpMenuText);
}

void CXPMenu::MeasureItem(MEASUREITEMSTRUCT* mis) {
    if (!mis) return;
    mis->itemWidth = static_cast<UINT>(m_itemWidth);
    mis->itemHeight = static_cast<UINT>(m_itemHeight);
}

// ---- CXPMenuEx ----

HICON LoadSharedIcon16(int id) {
    if (id <= 0) return nullptr;
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id),
                                           IMAGE_ICON, 16, 16, LR_SHARED));
}

void CXPMenuEx::DrawItem(DRAWITEMSTRUCT* dis) {
    if (!dis || !dis->itemData) return;
    const auto* item = reinterpret_cast<const XPMenuExItem*>(dis->itemData);
    HDC dc = dis->hDC;
    ::SetBkMode(dc, TRANSPARENT);
    const RECT& r = dis->rcItem;
    bool selected = (dis->itemState & ODS_SELECTED) != 0;
    XpMenuExRowLayout layout = LayoutXpMenuExRow(ToSkin(r), selected);
    COLORREF textColor;
    if (selected) {
        {
            SelectScope brush(dc, ::GetStockObject(NULL_BRUSH));
            SelectScope pen(dc, ::GetStockObject(BLACK_PEN));
            ::Rectangle(dc, r.left, r.top, r.right, r.bottom);
        }
        RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
        FillColor(dc, inner, kXpMenuExSelectedFill);
        if (HICON icon = LoadSharedIcon16(item->selectedIcon))
            ::DrawIconEx(dc, layout.icon.x, layout.icon.y, icon, 16, 16, 0, nullptr, DI_NORMAL);
        textColor = kXpMenuExSelectedText;
    } else {
        FillColor(dc, ToRect(layout.iconColumn), kXpMenuExFill);
        FillColor(dc, ToRect(layout.textColumn), kXpMenuExFill);
        if (HICON icon = LoadSharedIcon16(item->normalIcon))
            ::DrawIconEx(dc, layout.icon.x, layout.icon.y, icon, 16, 16, 0, nullptr, DI_NORMAL);
        textColor = kXpMenuExText;
    }
    DrawSkinText(dc, item->text, ToRect(layout.text), kXpTextFormat, 14, 500, textColor);
}

void CXPMenuEx::MeasureItem(MEASUREITEMSTRUCT* mis) {
    if (!mis) return;
    mis->itemWidth = kXpMenuExRowWidth;
    mis->itemHeight = kXpMenuExRowHeight;
}
