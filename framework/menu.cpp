#include "framework/menu.h"

#include "framework/wnd.h"

CMenu::~CMenu() {
    DestroyMenu();
}

bool CMenu::CreatePopupMenu() {
    DestroyMenu();
    m_hMenu = ::CreatePopupMenu();
    return m_hMenu != nullptr;
}

void CMenu::Attach(HMENU menu) {
    DestroyMenu();
    m_hMenu = menu;
}

HMENU CMenu::Detach() {
    HMENU menu = m_hMenu;
    m_hMenu = nullptr;
    return menu;
}

BOOL CMenu::DestroyMenu() {
    if (!m_hMenu) return FALSE;
    BOOL ok = ::DestroyMenu(m_hMenu);
    m_hMenu = nullptr;
    return ok;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const wchar_t* text) {
    return ::AppendMenuW(m_hMenu, flags, id, text);
}

BOOL CMenu::AppendOwnerDrawn(UINT_PTR id, const void* itemData, UINT extraFlags) {
    return ::AppendMenuW(m_hMenu, MF_OWNERDRAW | extraFlags, id, static_cast<const wchar_t*>(itemData));
}

BOOL CMenu::TrackPopupMenu(UINT flags, int x, int y, HWND owner) {
    CMenu* saved = GetTrackedMenu();
    SetTrackedMenu(this);
    BOOL result = ::TrackPopupMenu(m_hMenu, flags, x, y, 0, owner, nullptr);
    SetTrackedMenu(saved);
    return result;
}
