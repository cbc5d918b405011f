// The owner-drawn list of the macro editor and the macro picker. Event rows
// carry a type and a value in their item data (list_box_logic.h) and show an
// icon; a double click edits a key or delay row through the value-entry box,
// or renames a row of any other list. Selection changes and edits reach the
// owner as UWM_LIST_SELCHANGE and UWM_LIST_DBLCLK (skin_messages.h).
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "skin/list_box_logic.h"
#include "skin/paint_image_win32.h"

class CListBoxEx : public CListBox {
public:
    CListBoxEx();

    CFont m_font;
    int m_hoverRow = -1;
    int m_editRow = -1;
    HWND m_inplaceEdit = nullptr;  // laid over a row by the owner; suspends hover and editing
    std::wstring m_programDir;     // ends with a backslash
    HWND m_notifyWnd = nullptr;
    BOOL m_useNotifyWnd = 0;       // 1: UWM_LIST_SELCHANGE goes to m_notifyWnd
    BOOL m_showIcons = 1;          // the type of the row AddItem added last
    BOOL m_tracking = 0;
    int m_itemHeight = 20;
    COLORREF m_selTextColor = 0;
    COLORREF m_textColor = 0;
    COLORREF m_selBkColor = 0;
    int m_iconWidth = 16;
    int m_iconHeight = 16;
    BOOL m_dblClickEdit = 0;
    CBrush m_bkBrush;  // made by the owner

    // Owner-drawn, fixed rows with strings, notifying, with a vertical bar.
    static constexpr DWORD kStyle =
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_NOTIFY;
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);

    // Each selects the row it made and returns its index (LB_ERR on failure,
    // which clears the selection).
    int AddItem(int value, BYTE type, const std::wstring& text);
    int InsertItem(const std::wstring& text, int index, BYTE type, int value);
    int ReplaceDelayItem(int index, const std::wstring& text, int value);

    // The window the notifications go to when m_notifyWnd is not used: the
    // list's owner, also while a scroll frame wraps it.
    HWND OwnerWindow() const;

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void DrawItem(DRAWITEMSTRUCT* dis) override;
    void MeasureItem(MEASUREITEMSTRUCT* mis) override;
    HBRUSH CtlColor(HDC dc, UINT ctlColorMsg) override;
    BOOL OnChildNotify(UINT code) override;

private:
    // The row icons by path: a few files that every paint draws.
    std::map<std::wstring, PaintImage> m_loadedIcons;

    void OnDoubleClick();
    // Deletes the row and inserts the new text at the same index.
    void ReplaceRow(int index, const std::wstring& text, uint32_t data);
    void PostEdited(int row) const;
    void RedrawRow(int row) const;
};
