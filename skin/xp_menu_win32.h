// Owner-drawn context menus. CXPMenu (the macro editor's insert menu): dark
// rows, centred light text, a blue selection; while it is tracked a hook on
// this thread takes over every system menu window as it is made and strips its
// border. CXPMenuEx (the tray menu): light rows with a 16 x 16 icon each.
// Both are tracked by the owner; the framework routes the owner's
// WM_DRAWITEM and WM_MEASUREITEM for menu items to the tracked menu.
#pragma once

#include <windows.h>

#include <string>

#include "framework/menu.h"

// The call-window hook while a CXPMenu is tracked (null when none), and the
// procedure of the system menu class that MenuWindowProc passes on to.
extern HHOOK g_menuHook;
extern WNDPROC g_oldMenuWndProc;

LRESULT CALLBACK MenuHookProc(int code, WPARAM wp, LPARAM lp);
LRESULT CALLBACK MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);

class CXPMenu : public CMenu {
public:
    // Removes a hook still installed, then the menu goes.
    ~CXPMenu() override;

    int m_hookFlag = 0;  // 1 while tracked
    int m_itemWidth = 0;
    int m_itemHeight = 0;

    // Appends a row; text must outlive the menu (a text of g_uiTexts).
    BOOL AppendRow(UINT_PTR id, const wchar_t* text) { return AppendOwnerDrawn(id, text); }

    // Installs MenuHookProc for this thread unless a hook is in place; false
    // when it could not be installed (the menu then keeps its border).
    bool InstallHook();
    void RemoveHook();
    // Hook, track, unhook: the hook never outlives the call, whatever the menu
    // returns. The choice arrives at the owner as WM_COMMAND.
    BOOL TrackWithHook(UINT flags, int x, int y, HWND owner);

    void DrawItem(DRAWITEMSTRUCT* dis) override;
    void MeasureItem(MEASUREITEMSTRUCT* mis) override;
};

// A tray-menu row, owned by the caller while the menu is tracked.
struct XPMenuExItem {
    int normalIcon = 0;  // icon resource ids of this program
    int selectedIcon = 0;
    std::wstring text;
};

class CXPMenuEx : public CMenu {
public:
    BOOL AppendRow(UINT_PTR id, const XPMenuExItem* item) { return AppendOwnerDrawn(id, item); }
    void DrawItem(DRAWITEMSTRUCT* dis) override;
    void MeasureItem(MEASUREITEMSTRUCT* mis) override;
};

// A 16 x 16 icon of this program's resources, loaded once and shared: never
// destroyed by the caller. Null when missing.
HICON LoadSharedIcon16(int id);
