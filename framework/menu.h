// A popup menu. Owner-drawn items are drawn and measured by the object that
// tracks the menu: the owner window routes WM_DRAWITEM / WM_MEASUREITEM with
// ODT_MENU to it while TrackPopupMenu runs.
#pragma once

#include <windows.h>

class CMenu {
public:
    CMenu() = default;
    virtual ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;

    bool CreatePopupMenu();
    void Attach(HMENU menu);
    HMENU Detach();
    BOOL DestroyMenu();
    BOOL AppendMenu(UINT flags, UINT_PTR id, const wchar_t* text);
    BOOL AppendOwnerDrawn(UINT_PTR id, const void* itemData, UINT extraFlags = 0);
    // Tracks the menu for owner; its owner-drawn items come back to this object.
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner);

    virtual void DrawItem(DRAWITEMSTRUCT* dis) {}
    virtual void MeasureItem(MEASUREITEMSTRUCT* mis) {}
};
