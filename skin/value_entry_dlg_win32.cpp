#include "skin/value_entry_dlg_win32.h"

#include "device/device_state.h"
#include "device/key_names.h"
#include "device/keyboard_hook.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "skin/skin_draw_win32.h"
#include "skin/skin_messages.h"
#include "text/ui_texts.h"

namespace {

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | ES_CENTER | ES_AUTOHSCROLL;
constexpr RECT kTitleRect{30, 32, 350, 54};
constexpr RECT kEditRect{37, 76, 320, 98};
constexpr RECT kOkRect{37, 165, 143, 191};
constexpr RECT kCancelRect{208, 165, 314, 191};
// EM_SETSEL with both ends past any text puts the caret at the end.
constexpr int kSelectionEnd = 0xFFFF;

bool IsDialogKey(UINT msg, WPARAM wp) {
    return (msg == WM_KEYDOWN || msg == WM_KEYUP) && (wp == VK_RETURN || wp == VK_ESCAPE || wp == VK_SPACE);
}

}  // namespace

CMacroModifyDlg::CMacroModifyDlg(CWnd* parent) : CSkinnedDialog(IDD_VALUE_ENTRY_DIALOG, parent) {
    m_controls.Click(m_okButton, [this] { Confirm(); });
    m_controls.Click(m_cancelButton, [this] { Dismiss(); });
}

BOOL CMacroModifyDlg::OnInitDialog() {
    CSkinnedDialog::OnInitDialog();
    SetWindowText(L"QuorvelMacroModifyDlg");
    m_setup = ValueEntryModeFor(m_mode, g_sensorType);
    BuildSkin();
    // On a refused hook the user has been told; the box stays open without
    // capture, and key mode then has nothing to report.
    if (m_setup.capturesKeys) m_capture.Start();
    return FALSE;  // the focus stays in the edit field
}

void CMacroModifyDlg::BuildSkin() {
    LoadBackground(SkinImagePathW(L"msg_nr.png"));
    m_buttonImages.Load();
    m_buttonImages.CreateOkCancel(m_okButton, kOkRect, m_cancelButton, kCancelRect, *this, m_background);
    std::u16string title = m_setup.titleKey ? g_uiTexts[*m_setup.titleKey] : m_setup.fixedTitle;
    CreateBoxCaption(m_titleRow, *this, m_background, kTitleRect, ToWide(title), m_setup.titleFontHeight, 0);

    if (m_setup.setsLimits) {
        m_edit.m_minValue = m_setup.minValue;
        m_edit.m_maxValue = m_setup.maxValue;
    }
    m_edit.m_bkBrush.CreateSolidBrush(CFilterEdit::kBackColor);
    m_edit.Create(kEditStyle | (m_setup.numeric ? ES_NUMBER : 0), kEditRect, this, VALUE_ENTRY_EDIT_ID);
    m_edit.SetFocus();
}

BOOL CMacroModifyDlg::PreTranslateMessage(MSG* msg) {
    // Enter and Escape neither confirm nor cancel, and Space presses no button:
    // they go to the focused window as they are.
    if (IsDialogKey(msg->message, msg->wParam)) return FALSE;
    return CDialogEx::PreTranslateMessage(msg);
}

LRESULT CMacroModifyDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UWM_HOOK_KEY:
        return OnHookKey(static_cast<uint32_t>(wp), lp);
    case UWM_VALUE_CHANGED:
        return 0;  // the field keeps its own number in range; OK reads it
    default:
        return CSkinnedDialog::WindowProc(msg, wp, lp);
    }
}

LRESULT CMacroModifyDlg::OnHookKey(uint32_t vk, LPARAM state) {
    if (!m_edit.m_hWnd) return 1;
    if (m_mode == VALUE_ENTRY_KEY) {
        if (KeyModeTakes(vk)) {
            m_value = vk;
            m_edit.SetWindowText(ToWide(VirtualKeyName(vk)));
            Invalidate(TRUE);
        }
    } else if (m_mode == VALUE_ENTRY_NAME) {
        std::wstring text = m_edit.GetWindowText();
        int start = 0, end = 0;
        m_edit.GetSel(start, end);
        std::optional<NameEdit> edit = ApplyNameKey(ToU16(text), start, end, vk, state == HOOK_KEY_RELEASE);
        if (edit) {
            std::wstring next = ToWide(edit->text);
            m_text = next;
            if (next != text) m_edit.SetWindowText(next);
            // Twice, as the field scrolls only once it has been repainted.
            m_edit.SetSel(kSelectionEnd, kSelectionEnd);
            m_edit.SendMessage(EM_SCROLLCARET);
            Invalidate(TRUE);
            m_edit.SetSel(kSelectionEnd, kSelectionEnd);
            m_edit.SendMessage(EM_SCROLLCARET);
        }
    }
    return 1;
}

void CMacroModifyDlg::Confirm() {
    m_capture.Stop();
    if (m_mode == VALUE_ENTRY_NAME) {
        m_text = m_edit.GetWindowText();
    } else if (m_setup.numeric) {
        m_value = TypedEntryValue(m_setup, ToU16(m_edit.GetWindowText()));
    }
    EndDialog(IDOK);
}

void CMacroModifyDlg::Dismiss() {
    m_capture.Stop();
    EndDialog(IDCANCEL);
}
