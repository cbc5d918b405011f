#include "skin/list_box_ex_win32.h"

#include <windowsx.h>

#include "device/file_system.h"
#include "framework/gdiplus_helpers.h"
#include "framework/strings.h"
#include "skin/skin_messages.h"
#include "skin/skin_path.h"
#include "skin/skin_scroll_wnd_win32.h"
#include "skin/value_entry_win32.h"

CListBoxEx::CListBoxEx() {
    m_font.CreateSkinFont(18, 400);
    m_programDir = ToWide(ProgramFolder());
}

bool CListBoxEx::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    if (!CListBox::Create(style, rect, parent, id)) return false;
    // The rows were measured while the list was being made, before it was ours.
    SetItemHeight(0, static_cast<UINT>(m_itemHeight));
    return true;
}

void CListBoxEx::PreSubclassWindow() {
    m_selTextColor = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
    m_textColor = ::GetSysColor(COLOR_WINDOWTEXT);
    m_selBkColor = ::GetSysColor(COLOR_HIGHLIGHT);
    m_itemHeight = 20;
    m_iconWidth = 16;
    m_iconHeight = 16;
    // Reaches a list subclassed from a template; one still being made ignores it.
    SetItemHeight(0, static_cast<UINT>(m_itemHeight));
}

HWND CListBoxEx::OwnerWindow() const {
    return m_hWnd ? ScrollFrameOwnerOf(m_hWnd) : nullptr;
}

int CListBoxEx::AddItem(int value, BYTE type, const std::wstring& text) {
    if (m_inplaceEdit) {
        ::DestroyWindow(m_inplaceEdit);
        m_inplaceEdit = nullptr;
        m_editRow = -1;
    }
    int index = AddString(text.c_str());
    if (index >= 0) {
        m_showIcons = type;
        SetItemData(index, static_cast<LPARAM>(ListItemData(type, value)));
    }
    SetCurSel(index);
    return index;
}

int CListBoxEx::InsertItem(const std::wstring& text, int index, BYTE type, int value) {
    int at = InsertString(index, text.c_str());
    if (at >= 0) SetItemData(at, static_cast<LPARAM>(ListItemData(type, value)));
    SetCurSel(at);
    return at;
}

int CListBoxEx::ReplaceDelayItem(int index, const std::wstring& text, int value) {
    int at = LB_ERR;
    if (DeleteString(index) != LB_ERR) {
        at = InsertString(index, text.c_str());
        if (at >= 0) SetItemData(at, static_cast<LPARAM>(ListItemData(LIST_ITEM_DELAY, value)));
    }
    SetCurSel(index);
    return at;
}

void CListBoxEx::ReplaceRow(int index, const std::wstring& text, uint32_t data) {
    if (DeleteString(index) == LB_ERR) return;
    int at = InsertString(index, text.c_str());
    if (at >= 0) SetItemData(at, static_cast<LPARAM>(data));
}

void CListBoxEx::PostEdited(int row) const {
    HWND target = m_notifyWnd ? m_notifyWnd : OwnerWindow();
    if (target) ::PostMessageW(target, UWM_LIST_DBLCLK, static_cast<WPARAM>(GetDlgCtrlID()), row);
}

void CListBoxEx::RedrawRow(int row) const {
    if (row < 0) return;
    RECT r = GetItemRect(row);
    ::InvalidateRect(m_hWnd, &r, TRUE);
}

BOOL CListBoxEx::OnChildNotify(UINT code) {
    switch (code) {
    case LBN_SELCHANGE: {
        // The selected row, whichever way it was chosen: the row under the
        // cursor is another one after a change from the keyboard.
        HWND target = m_useNotifyWnd ? m_notifyWnd : OwnerWindow();
        if (target)
            ::PostMessageW(target, UWM_LIST_SELCHANGE, static_cast<WPARAM>(GetDlgCtrlID()), GetCurSel());
        return TRUE;
    }
    case LBN_DBLCLK:
        OnDoubleClick();
        return TRUE;
    default:
        return FALSE;
    }
}

void CListBoxEx::OnDoubleClick() {
    POINT pt{};
    ::GetCursorPos(&pt);
    ScreenToClient(&pt);
    BOOL outside = FALSE;
    int row = ItemFromPoint(pt, outside);
    if (row >= GetCount()) row = -1;
    const uint32_t data = row >= 0 ? static_cast<uint32_t>(GetItemData(row)) : 0;
    const int id = GetDlgCtrlID();
    ListDoubleClick action =
        ChooseListDoubleClick(m_dblClickEdit != 0, m_inplaceEdit != nullptr, OwnerWindow() != nullptr, id, row, data);
    HWND self = m_hWnd;
    switch (action) {
    case ListDoubleClick::EditDelay:
    case ListDoubleClick::EditKey: {
        auto value = RunValueEntry(this, action == ListDoubleClick::EditDelay ? VALUE_ENTRY_DELAY : VALUE_ENTRY_KEY);
        if (!value || !::IsWindow(self)) return;
        auto edit = EditedListRow(action, data, *value);
        if (!edit) return;
        ReplaceRow(row, ToWide(edit->text), edit->data);
        SetCurSel(row);
        PostEdited(row);
        return;
    }
    case ListDoubleClick::Rename: {
        RedrawRow(row);
        m_editRow = row;
        auto name = RunNameEntry(this);
        if (!::IsWindow(self)) return;
        if (name) {
            ReplaceRow(row, *name, data);
            SetCurSel(row);
            m_inplaceEdit = nullptr;
            Invalidate(TRUE);
            // The owner stores the new name; without this it would live only
            // on the screen.
            PostEdited(row);
        }
        m_editRow = -1;
        return;
    }
    case ListDoubleClick::None:
        return;
    }
}

void CListBoxEx::MeasureItem(MEASUREITEMSTRUCT* mis) {
    mis->itemHeight = static_cast<UINT>(m_itemHeight);
}

void CListBoxEx::DrawItem(DRAWITEMSTRUCT* dis) {
    if (dis->CtlType != ODT_LISTBOX) return;
    HDC dc = dis->hDC;
    const RECT item = dis->rcItem;
    const bool selected = (dis->itemState & ODS_SELECTED) != 0;
    ListRowFill fill = ChooseListRowFill(selected, (dis->itemAction & ODA_SELECT) != 0,
                                         (dis->itemAction & ODA_FOCUS) != 0, (dis->itemState & ODS_FOCUS) != 0);
    CBrush selection;
    if (fill.selection || fill.selectionAgain) selection.CreateSolidBrush(m_selBkColor);
    if (fill.selection) ::FillRect(dc, &item, selection);
    if (fill.background && !m_bkBrush.IsEmpty()) ::FillRect(dc, &item, m_bkBrush);
    if (fill.selectionAgain) ::FillRect(dc, &item, selection);

    COLORREF color = selected ? m_selTextColor : m_textColor;
    if ((dis->itemState & ODS_DISABLED) || !IsWindowEnabled()) color = ::GetSysColor(COLOR_BTNSHADOW);
    if (dis->itemID == static_cast<UINT>(-1)) return;

    const uint32_t data = static_cast<uint32_t>(dis->itemData);
    const uint8_t type = ListItemDataType(data);
    if (m_showIcons) {
        if (const char16_t* file = ListRowIconFile(type, selected)) {
            // The icon's file as it is at this paint; it is never held open.
            const std::wstring path = ToWide(SkinImagePath(ToU16(m_programDir), file));
            const GdipImage& icon = m_loadedIcons[path].Load(path);
            GdipGraphics graphics(dc);
            graphics.DrawImageRect(&icon, item.left + 5, item.top + 1, m_iconWidth, m_iconHeight);
        }
    }
    RECT text = item;
    text.right -= 20;
    text.left += ListRowTextLeft(type, m_showIcons != 0, m_iconWidth);
    std::wstring row = GetText(static_cast<int>(dis->itemID));
    int oldMode = ::SetBkMode(dc, TRANSPARENT);
    COLORREF oldColor = ::SetTextColor(dc, color);
    {
        SelectScope font(dc, m_font);
        ::DrawTextW(dc, row.c_str(), static_cast<int>(row.size()), &text,
                    DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_WORDBREAK | DT_NOCLIP | DT_END_ELLIPSIS);
    }
    ::SetTextColor(dc, oldColor);
    ::SetBkMode(dc, oldMode);
}

HBRUSH CListBoxEx::CtlColor(HDC, UINT ctlColorMsg) {
    if (ctlColorMsg != WM_CTLCOLORLISTBOX) return nullptr;
    // The system's own brush of that colour: never deleted, valid for as long
    // as the list paints with it.
    if (!IsWindowEnabled()) return ::GetSysColorBrush(COLOR_INACTIVEBORDER);
    return m_bkBrush.IsEmpty() ? nullptr : m_bkBrush.GetSafeHandle();
}

LRESULT CListBoxEx::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_ENABLE: {
        LRESULT result = Default();
        Invalidate(TRUE);
        return result;
    }
    case WM_MOUSEMOVE: {
        LRESULT result = Default();
        if (!m_tracking) {
            TRACKMOUSEEVENT track{sizeof(track), TME_LEAVE, m_hWnd, 0};
            m_tracking = ::TrackMouseEvent(&track);
        }
        if (!m_inplaceEdit) {
            BOOL outside = FALSE;
            int row = ItemFromPoint(POINT{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)}, outside);
            if (outside) row = -1;
            if (row != m_hoverRow) {
                RedrawRow(m_hoverRow);
                RedrawRow(row);
                m_hoverRow = row;
            }
        }
        return result;
    }
    case WM_MOUSELEAVE:
        m_tracking = 0;
        return Default();
    default:
        break;
    }
    return CListBox::WindowProc(msg, wp, lp);
}
