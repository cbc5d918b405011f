#include "skin/confirm_dlg_win32.h"

#include "framework/strings.h"
#include "res/resource.h"
#include "skin/skin_draw_win32.h"

namespace {

constexpr RECT kOkRect{37, 165, 143, 191};
constexpr RECT kCancelRect{258, 165, 364, 191};
constexpr int kRowFontHeight = 14;

const CConfirmationDlg::Kind kDebounce{
    IDD_DEBOUNCE_DIALOG,
    L"CDebounceWDlg",
    {{5, 42, 420, 64}, {5, 70, 420, 92}, {5, 100, 420, 122}},
    {UiText::str_msg9, UiText::str_msg10, UiText::str_msg14},
};

const CConfirmationDlg::Kind kRate{
    IDD_RATE_DIALOG,
    L"CRateMsgDlg",
    {{5, 72, 420, 94}, {5, 96, 420, 118}, {5, 120, 420, 142}},
    {UiText::str_msg11, UiText::str_msg16, UiText::str_msg12},
};

}  // namespace

CConfirmationDlg::CConfirmationDlg(const Kind& kind, CWnd* parent)
    : CSkinnedDialog(kind.templateId, parent), m_kind(kind) {
    m_controls.Click(m_okButton, [this] { OnOK(); });
    m_controls.Click(m_cancelButton, [this] { EndDialog(IDCANCEL); });
}

CDebounceWDlg::CDebounceWDlg(CWnd* parent) : CConfirmationDlg(kDebounce, parent) {}

CRateMsgDlg::CRateMsgDlg(CWnd* parent) : CConfirmationDlg(kRate, parent) {}

BOOL CConfirmationDlg::OnInitDialog() {
    CSkinnedDialog::OnInitDialog();
    SetWindowText(m_kind.windowText);
    BuildSkin();
    return FALSE;
}

void CConfirmationDlg::BuildSkin() {
    // A missing skin leaves the box without background; the controls still work.
    LoadBackground(SkinImagePathW(L"msg_nr-2.png"));
    m_buttonImages.Load();
    m_buttonImages.CreateOkCancel(m_okButton, kOkRect, m_cancelButton, kCancelRect, *this, m_background);
    for (int i = 0; i < 3; ++i)
        CreateBoxCaption(m_textRows[i], *this, m_background, m_kind.rows[i], ToWide(g_uiTexts[m_kind.texts[i]]),
                         kRowFontHeight, 0);
}

