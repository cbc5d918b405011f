#include "app/dialogs/fire_key_dlg_win32.h"

#include "app/dialogs/fire_key_model.h"
#include "device/usb_driver.h"
#include "device/settings.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "skin/skin_draw_win32.h"
#include "skin/skin_messages.h"
#include "text/ui_texts.h"

namespace {

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | ES_NUMBER | ES_CENTER | ES_AUTOHSCROLL;
constexpr RECT kCountLabelRect{20, 42, 150, 64};
constexpr RECT kIntervalLabelRect{160, 42, 320, 64};
constexpr RECT kCountEditRect{30, 76, 130, 98};
constexpr RECT kIntervalEditRect{180, 76, 280, 98};
constexpr RECT kCountHintRect{10, 110, 340, 132};
constexpr RECT kIntervalHintRect{10, 134, 340, 156};
constexpr RECT kOkRect{37, 165, 143, 191};
constexpr RECT kCancelRect{228, 165, 334, 191};
constexpr int kLabelFontHeight = 16;
constexpr int kHintFontHeight = 15;

}  // namespace

CFireKeyDlg::CFireKeyDlg(CWnd* parent, CUSBDriver* driver)
    : CSkinnedDialog(IDD_FIRE_KEY_DIALOG, parent), m_driver(driver) {
    m_controls.Click(m_okButton, [this] { Confirm(); });
    m_controls.Click(m_cancelButton, [this] { EndDialog(IDCANCEL); });
}

BOOL CFireKeyDlg::OnInitDialog() {
    CSkinnedDialog::OnInitDialog();
    SetWindowText(L"CFireKeyDlg");
    BuildSkin();
    return FALSE;  // the focus is in the interval field
}

void CFireKeyDlg::BuildSkin() {
    LoadBackground(SkinImagePathW(L"msg_nr.png"));
    m_buttonImages.Load();
    struct CaptionSpec {
        CGDIBitmapBtn& caption;
        RECT rect;
        UiText text;
        int fontHeight;
    };
    for (const CaptionSpec& c :
         {CaptionSpec{m_countLabel, kCountLabelRect, UiText::str_msg6, kLabelFontHeight},
          CaptionSpec{m_intervalLabel, kIntervalLabelRect, UiText::str_msg7, kLabelFontHeight},
          CaptionSpec{m_countHint, kCountHintRect, UiText::str_msg8, kHintFontHeight},
          CaptionSpec{m_intervalHint, kIntervalHintRect, UiText::str_msg15, kHintFontHeight}})
        CreateBoxCaption(c.caption, *this, m_background, c.rect, ToWide(g_uiTexts[c.text]), c.fontHeight, DT_CENTER);
    m_buttonImages.CreateOkCancel(m_okButton, kOkRect, m_cancelButton, kCancelRect, *this, m_background);

    struct EditSpec {
        CFilterEdit& edit;
        RECT rect;
        uint32_t maxValue;
        uint32_t initial;
    };
    for (const EditSpec& e : {EditSpec{m_fireCountEdit, kCountEditRect, FIRE_COUNT_FIELD_MAX, FIRE_COUNT_DEFAULT},
                              EditSpec{m_fireIntervalEdit, kIntervalEditRect, FIRE_INTERVAL_FIELD_MAX,
                                       FIRE_INTERVAL_DEFAULT}}) {
        e.edit.m_minValue = 0;
        e.edit.m_maxValue = e.maxValue;
        e.edit.m_bkBrush.CreateSolidBrush(CFilterEdit::kBackColor);
        e.edit.Create(kEditStyle, e.rect, this, FIRE_KEY_EDIT_ID);
        e.edit.SetWindowText(FormatW(L"%u", e.initial));
    }
    m_fireIntervalEdit.SetFocus();
}

LRESULT CFireKeyDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == UWM_VALUE_CHANGED) return 0;  // the fields keep to their ranges; OK reads them
    return CSkinnedDialog::WindowProc(msg, wp, lp);
}

void CFireKeyDlg::Confirm() {
    FireKeyValues values = ReadFireKeyFields(ToU16(m_fireCountEdit.GetWindowText()),
                                             ToU16(m_fireIntervalEdit.GetWindowText()));
    g_settings.fireCount = values.count;
    g_settings.fireInterval = values.interval;
    // The result is not looked at: the values stay stored either way.
    if (m_driver) m_driver->SetFireKey(values.count, values.interval);
    EndDialog(IDOK);
}
