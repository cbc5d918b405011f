#include "skin/popup_opener_win32.h"

#include "skin/skin_draw_win32.h"
#include "framework/strings.h"

PopupMenuSlot::~PopupMenuSlot() {
    if (!IsOpen()) return;
    m_popup->m_ownerWnd = nullptr;
    ::DestroyWindow(m_hwnd);
}

bool PopupMenuSlot::IsOpen() const {
    // The popup deletes itself with its window: only a live window bound to
    // the object remembered means the pointer is still good.
    return m_popup && m_hwnd && ::IsWindow(m_hwnd) && CWnd::FromHandle(m_hwnd) == m_popup;
}

CMenuEx* PopupMenuSlot::Open(PopupKind kind, CWnd& owner, POINT topLeft) {
    CMenuEx* popup = NewPopupMenu(kind);
    PopupMenuSpec spec = PopupMenuRows(kind);
    return Open(popup, SkinImagePathW(ToWide(spec.skinFile)), owner, topLeft, PopupResultMessage(kind));
}

CMenuEx* PopupMenuSlot::Open(CMenuEx* popup, const std::wstring& skinPath, CWnd& owner, POINT topLeft,
                             UINT resultMsg) {
    if (!popup) return nullptr;
    popup->LoadSkin(skinPath);
    Close();
    // The popup sizes itself to its rows; only the corner matters here.
    RECT rect{topLeft.x, topLeft.y, topLeft.x + kPopupNarrowWidth, topLeft.y + kPopupRowHeight};
    if (popup->Create(&owner, rect, resultMsg) != 0) {
        delete popup;
        return nullptr;
    }
    m_popup = popup;
    m_hwnd = popup->m_hWnd;
    return popup;
}

std::optional<uint32_t> PopupMenuSlot::TakeResult(LPARAM value) {
    if (!IsOpen()) {
        m_popup = nullptr;
        m_hwnd = nullptr;
        return std::nullopt;
    }
    if (value == 0) {
        // Closed without a choice; it is on its way out by itself.
        m_popup = nullptr;
        m_hwnd = nullptr;
        return std::nullopt;
    }
    // Not silenced: its 0 comes to an owner that has forgotten it.
    ::PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
    m_popup = nullptr;
    m_hwnd = nullptr;
    return static_cast<uint32_t>(value);
}

void PopupMenuSlot::Close() {
    // Silenced first: the close runs later, and its 0 could otherwise reach
    // the owner after another popup is remembered here and make it forget that one.
    if (IsOpen()) {
        m_popup->m_ownerWnd = nullptr;
        ::PostMessageW(m_hwnd, WM_CLOSE, 0, 0);
    }
    m_popup = nullptr;
    m_hwnd = nullptr;
}

POINT PopupMenuSlot::TopLeft(PopupKind kind, const RECT& r) {
    SkinPoint p = PopupOpenerOffset(kind, SkinRect{r.left, r.top, r.right, r.bottom});
    return POINT{p.x, p.y};
}
