#include "skin/filter_edit_win32.h"

#include "framework/strings.h"
#include "skin/filter_edit_logic.h"
#include "skin/skin_messages.h"

LRESULT CFilterEdit::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CREATE) return OnCreate();
    return CEdit::WindowProc(msg, wp, lp);
}

LRESULT CFilterEdit::OnCreate() {
    if (Default() == -1) return -1;
    LimitText(kTextLimit);
    m_font.CreateSkinFont(m_fontHeight, 500);
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
    ModifyStyle(WS_BORDER | WS_TABSTOP, 0);
    return 0;
}

BOOL CFilterEdit::OnChildNotify(UINT code) {
    if (code != EN_CHANGE) return FALSE;
    OnTextChanged();
    return TRUE;
}

void CFilterEdit::OnTextChanged() {
    if (IsNumeric()) {
        FieldNumber number = FilterFieldNumber(ToU16(GetWindowText()), m_minValue, m_maxValue);
        // The rewrite raises EN_CHANGE again, which finds the number in range
        // and reports it before this call does.
        if (number.rewrite) SetWindowText(ToWide(*number.rewrite));
        ::PostMessageW(GetParentHwnd(), UWM_VALUE_CHANGED, number.value, GetDlgCtrlID());
    }
    Invalidate(TRUE);
}

HBRUSH CFilterEdit::CtlColor(HDC dc, UINT) {
    ::SetTextColor(dc, kTextColor);
    ::SetBkColor(dc, kBackColor);
    ::SetBkMode(dc, TRANSPARENT);
    return m_bkBrush.GetSafeHandle();
}

BOOL CFilterEdit::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYDOWN && msg->hwnd == m_hWnd) {
        auto vk = static_cast<uint32_t>(msg->wParam);
        std::u16string name = FunctionKeyName(vk);
        if (!name.empty()) {
            // Only a key that is really down: a posted key-down alone names nothing.
            if (::GetKeyState(static_cast<int>(vk)) < 0) {
                SetWindowText(ToWide(name));
                return TRUE;
            }
        } else if (!IsNumeric()) {
            SetWindowText(L"");  // the character this key types is all that stays
        }
    }
    return CEdit::PreTranslateMessage(msg);
}
