#include "app/dialogs/key_combo_dlg_win32.h"

#include "app/key_filter_win32.h"
#include "device/settings.h"
#include "device/keyboard_hook.h"
#include "device/user_notice.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "skin/skin_draw_win32.h"
#include "text/ui_texts.h"

uint32_t g_lastComboKey = 0;

namespace {

constexpr DWORD kControlStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
constexpr RECT kTipRect{0, 31, 350, 51};
constexpr RECT kKeyBoxRect{70, 61, 260, 81};
constexpr RECT kCtrlRect{35, 129, 100, 142};
constexpr RECT kAltRect{110, 129, 175, 142};
constexpr RECT kShiftRect{185, 129, 260, 142};
constexpr RECT kWinRect{270, 129, 335, 142};
constexpr RECT kOkRect{37, 165, 143, 191};
constexpr RECT kCancelRect{218, 165, 324, 191};
constexpr COLORREF kTipColor = 0xC8C8C8;
constexpr COLORREF kKeyTextColor = 0x323232;
constexpr int kTipFontHeight = 15;
constexpr int kTipFontWeight = 300;
constexpr int kCheckFontHeight = 14;
constexpr int kCheckTextOffset = 12;  // past the 14-pixel box image
constexpr UINT kOneLineCentred = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

}  // namespace

CDlgSingleCombo::CDlgSingleCombo(CWnd* parent) : CSkinnedDialog(IDD_KEY_COMBO_DIALOG, parent) {
    m_controls.Click(m_ctrlCheck, [this] { ToggleModifier(COMBO_CTRL); });
    m_controls.Click(m_altCheck, [this] { ToggleModifier(COMBO_ALT); });
    m_controls.Click(m_shiftCheck, [this] { ToggleModifier(COMBO_SHIFT); });
    m_controls.Click(m_winCheck, [this] { ToggleModifier(COMBO_WIN); });
    m_controls.Click(m_okButton, [this] { Confirm(); });
    m_controls.Click(m_cancelButton, [this] { Dismiss(); });
}

BOOL CDlgSingleCombo::OnInitDialog() {
    CSkinnedDialog::OnInitDialog();
    SetWindowText(L"QuorvelSingleCombDlg");
    BuildSkin();
    // On a refused hook the user has been told ("hook failure!"); the box
    // stays open without capture and can still be ended.
    m_capture.Start();
    return TRUE;
}

void CDlgSingleCombo::BuildSkin() {
    LoadBackground(SkinImagePathW(L"msg_nr.png"));
    m_checkNormal = GdipImage::FromFile(SkinImagePathW(L"check_nr.png"));
    m_checkHover = GdipImage::FromFile(SkinImagePathW(L"check_ov.png"));
    m_checkPressed = GdipImage::FromFile(SkinImagePathW(L"check_dn.png"));
    m_buttonImages.Load();

    struct CheckSpec {
        CGDIBitmapBtn& box;
        RECT rect;
        const wchar_t* label;
    };
    for (const CheckSpec& c : {CheckSpec{m_ctrlCheck, kCtrlRect, L"CTRL"}, CheckSpec{m_altCheck, kAltRect, L"ALT"},
                               CheckSpec{m_shiftCheck, kShiftRect, L"SHIFT"},
                               CheckSpec{m_winCheck, kWinRect, L"WIN "}}) {
        c.box.Create(L"", kControlStyle, c.rect, this, 0);
        c.box.m_checkMode = 1;
        c.box.m_toggleOnClick = 0;  // the model decides; the box shows it
        c.box.SetImages(&m_checkNormal, &m_checkHover, &m_checkPressed, &m_background, c.rect);
        c.box.SetText(c.label, kCheckTextOffset, 0, kCheckFontHeight, DT_LEFT, FALSE);
    }

    m_buttonImages.CreateOkCancel(m_okButton, kOkRect, m_cancelButton, kCancelRect, *this, m_background);
}

BOOL CDlgSingleCombo::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedDialogKey(msg)) return TRUE;
    return CSkinnedDialog::PreTranslateMessage(msg);
}

LRESULT CDlgSingleCombo::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case UWM_HOOK_KEY:
        return OnHookKey(static_cast<uint32_t>(wp), lp);
    case WM_HELP:
        return TRUE;
    default:
        return CSkinnedDialog::WindowProc(msg, wp, lp);
    }
}

void CDlgSingleCombo::PaintSkin(HDC dc) {
    PaintDialogSkin(dc, m_background);
    DrawSkinText(dc, ToWide(g_uiTexts[UiText::str_combo_tips]), kTipRect, kOneLineCentred, kTipFontHeight,
                 kTipFontWeight, kTipColor);
    CBrush white;
    white.CreateSolidBrush(RGB(255, 255, 255));
    ::FillRect(dc, &kKeyBoxRect, white);
    if (m_model.KeyCount() != 0)
        DrawSkinText(dc, ToWide(m_model.KeyText()), kKeyBoxRect, kOneLineCentred, kTipFontHeight, kTipFontWeight,
                     kKeyTextColor);
}

LRESULT CDlgSingleCombo::OnHookKey(uint32_t vk, LPARAM state) {
    if (!m_model.OnHookKey(vk, state == HOOK_KEY_RELEASE)) return 1;
    if (ComboModifierOf(vk)) {
        ShowModifiers();
    } else {
        ::InvalidateRect(m_hWnd, &kKeyBoxRect, FALSE);
    }
    return 1;
}

void CDlgSingleCombo::ShowModifiers() {
    m_ctrlCheck.SetChecked(m_model.IsChecked(COMBO_CTRL));
    m_altCheck.SetChecked(m_model.IsChecked(COMBO_ALT));
    m_shiftCheck.SetChecked(m_model.IsChecked(COMBO_SHIFT));
    m_winCheck.SetChecked(m_model.IsChecked(COMBO_WIN));
}

void CDlgSingleCombo::ToggleModifier(uint8_t modifier) {
    m_model.ToggleModifier(modifier);
    ShowModifiers();
}

void CDlgSingleCombo::Confirm() {
    switch (m_model.Confirm()) {
    case ComboConfirm::TooMany:
        ShowUserNotice(g_uiTexts[UiText::str_msg3], u"");
        return;
    case ComboConfirm::Accept:
        m_capture.Stop();
        EndDialog(IDOK);
        return;
    case ComboConfirm::Empty:
        Dismiss();
        return;
    }
}

void CDlgSingleCombo::Dismiss() {
    m_capture.Stop();
    EndDialog(IDCANCEL);
}

void CDlgSingleCombo::EncodeFunctionCode(ComboFunction& out) const {
    out.code = m_model.EncodeFunctionCode();
    out.functionId = FUNC_SINGLE_KEY;
}
