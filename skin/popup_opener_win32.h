// How an owner (a dialog or page) opens its skinned popup menus. An owner
// keeps one PopupMenuSlot per group of menus that replace each other, and:
//   - opens a menu with Open(kind, *this, topLeft), where topLeft comes from
//     the opener button's screen rectangle (PopupMenuSlot::TopLeft, or the
//     page's own place for it);
//   - handles the menu's result message (PopupResultMessage(kind), 0x401 to
//     0x406, wParam 0) with TakeResult(lParam): a value means the user chose
//     that row (the popup is closing), nothing means the popup closed without
//     a choice or the message is from a popup no longer remembered.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "framework/wnd.h"
#include "skin/popup_menu_win32.h"

class PopupMenuSlot {
public:
    PopupMenuSlot() = default;
    // A popup still open goes with its owner's slot, reporting nothing.
    ~PopupMenuSlot();
    PopupMenuSlot(const PopupMenuSlot&) = delete;
    PopupMenuSlot& operator=(const PopupMenuSlot&) = delete;

    // Opens a new menu of the kind with its skin, owned by owner, its top-left
    // corner at topLeft (screen coordinates). A popup open here before closes
    // first without reporting anything, so its close can never be taken for
    // the new one's. Returns the new popup, or null when its window could not
    // be made (the object is then deleted and nothing is remembered).
    CMenuEx* Open(PopupKind kind, CWnd& owner, POINT topLeft);
    // The same with a popup of the caller's (made with new; the slot takes it),
    // its skin file path and its result message.
    CMenuEx* Open(CMenuEx* popup, const std::wstring& skinPath, CWnd& owner, POINT topLeft, UINT resultMsg);

    // The lParam of a result message. A chosen value closes the popup (its
    // close reports 0 once more, which is then ignored) and is returned.
    std::optional<uint32_t> TakeResult(LPARAM value);

    // Closes the popup, if one is open, and forgets it; it reports nothing more.
    void Close();
    bool IsOpen() const;
    CMenuEx* Get() const { return IsOpen() ? m_popup : nullptr; }

    // Where a menu opens from the opener button's screen rectangle.
    static POINT TopLeft(PopupKind kind, const RECT& openerScreenRect);

private:
    CMenuEx* m_popup = nullptr;
    HWND m_hwnd = nullptr;
};
