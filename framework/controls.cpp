#include "framework/controls.h"

std::wstring CListBox::GetText(int index) const {
    LRESULT length = SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index));
    if (length == LB_ERR || length <= 0) return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

int CListBox::ItemFromPoint(POINT pt, BOOL& outside) const {
    LRESULT packed = SendMessage(LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
    outside = HIWORD(packed) != 0;
    return LOWORD(packed);
}

RECT CListBox::GetItemRect(int index) const {
    RECT r{};
    if (SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) == LB_ERR) return RECT{};
    return r;
}

bool CToolTipCtrl::Create(CWnd* parent, DWORD style) {
    // The class lives in the common controls, registered on demand.
    static const bool registered = [] {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES};
        return ::InitCommonControlsEx(&controls) != FALSE;
    }();
    if (!registered) return false;
    // It places and sizes itself whenever it shows a tip.
    return CreateEx(0, TOOLTIPS_CLASSW, L"", WS_POPUP | style, RECT{0, 0, 0, 0},
                    parent ? parent->m_hWnd : nullptr, 0);
}
