// The standard controls the skinned ones derive from: created as system
// BUTTON / EDIT / LISTBOX / SCROLLBAR windows with our procedure in front, so
// Default() runs the system control's own behaviour.
#pragma once

#include "framework/wnd.h"

// commctrl.h needs windows.h first (wnd.h brings it).
#include <commctrl.h>

class CButton : public CWnd {
public:
    bool Create(const wchar_t* caption, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CreateEx(0, L"BUTTON", caption, style, rect, parent ? parent->m_hWnd : nullptr, id);
    }
};

class CEdit : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CreateEx(0, L"EDIT", L"", style, rect, parent ? parent->m_hWnd : nullptr, id);
    }
    void SetSel(int start, int end) const { SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end); }
    void GetSel(int& start, int& end) const {
        DWORD s = 0, e = 0;
        SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        start = static_cast<int>(s);
        end = static_cast<int>(e);
    }
    void LimitText(int count) const { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(count)); }
};

class CListBox : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CreateEx(0, L"LISTBOX", L"", style, rect, parent ? parent->m_hWnd : nullptr, id);
    }
    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) const { return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index))); }
    int AddString(const wchar_t* text) const {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int InsertString(int index, const wchar_t* text) const {
        return static_cast<int>(
            SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text)));
    }
    int DeleteString(int index) const { return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index))); }
    LRESULT GetItemData(int index) const { return SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index)); }
    int SetItemData(int index, LPARAM data) const {
        return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), data));
    }
    // The row's text, of any length.
    std::wstring GetText(int index) const;
    // The row nearest to a client point; outside is TRUE when the point lies
    // beyond every row (the system packs both into one result).
    int ItemFromPoint(POINT pt, BOOL& outside) const;
    // The row's rectangle in the client; an empty one for a row that is not there.
    RECT GetItemRect(int index) const;
    int GetItemHeight(int index) const { return static_cast<int>(SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(index))); }
    int SetItemHeight(int index, UINT height) const {
        return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(index), MAKELPARAM(height, 0)));
    }
    int GetTopIndex() const { return static_cast<int>(SendMessage(LB_GETTOPINDEX)); }
    int SetTopIndex(int index) const { return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(index))); }
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
};

// The system's tooltip control.
class CToolTipCtrl : public CWnd {
public:
    // A tooltip popup for parent (a popup's owner is the top-level window
    // above it); style adds to WS_POPUP.
    bool Create(CWnd* parent, DWORD style = 0);
    void Activate(BOOL active) const { SendMessage(TTM_ACTIVATE, static_cast<WPARAM>(active)); }
    // Lets the tooltip see a message meant for one of its tools.
    void RelayEvent(MSG* msg) const { SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg)); }
};

class CScrollBar : public CWnd {
public:
    bool Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
        return CreateEx(0, L"SCROLLBAR", L"", style, rect, parent ? parent->m_hWnd : nullptr, id);
    }
    // Straight to the control's SBM_* handlers, so a bar that keeps its own
    // scroll state answers for itself.
    BOOL SetScrollInfo(const SCROLLINFO& info, BOOL redraw = TRUE) const {
        SCROLLINFO copy = info;
        copy.cbSize = sizeof(copy);
        return SendMessage(SBM_SETSCROLLINFO, static_cast<WPARAM>(redraw), reinterpret_cast<LPARAM>(&copy)) != 0;
    }
    BOOL GetScrollInfo(SCROLLINFO& info, UINT mask = SIF_ALL) const {
        info.cbSize = sizeof(info);
        info.fMask = mask;
        return SendMessage(SBM_GETSCROLLINFO, 0, reinterpret_cast<LPARAM>(&info)) != 0;
    }
};
