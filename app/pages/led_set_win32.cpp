#include "app/pages/led_set_win32.h"

#include "app/key_filter_win32.h"
#include "device/settings.h"
#include "framework/strings.h"
#include "res/resource.h"
#include "skin/skin_draw_win32.h"
#include "skin/skin_messages.h"

namespace {

constexpr DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | BS_OWNERDRAW;
constexpr RECT kMouseRect{563, 0, 767, 399};
constexpr int kEffectLeft = 57;
constexpr int kEffectRight = 416;
constexpr int kEffectTop = 28;
constexpr int kEffectHeight = 16;
constexpr int kEffectPitch = 30;
// The caption's drawing parameters: beside the radio image, 18 high, left-aligned.
constexpr int kCaptionOffset = 20;
constexpr int kCaptionFont = 18;
// Messages the page takes and answers with 1 without acting on them.
constexpr UINT UWM_LED_PAGE_IGNORED = 0x808;

RECT EffectRect(int k) {
    return RECT{kEffectLeft, kEffectTop + kEffectPitch * k, kEffectRight, kEffectTop + kEffectHeight + kEffectPitch * k};
}

}  // namespace

CLedSetDlg::CLedSetDlg(const CBitmap* mainBackground, PageHost& host)
    : CMainPage(IDD_LED_PAGE, mainBackground), m_model([&host] { return host.Driver(); }) {
    for (int k = 0; k < LED_EFFECT_BUTTON_COUNT; ++k)
        m_controls.Click(m_effectButtons[k], [this, k] { m_model.ChooseEffect(k); });
}

void CLedSetDlg::BuildControls() {
    LoadBackground(L"led_set_nr.png");
    const wchar_t* radio[3] = {L"radio_nr.png", L"radio_ov.png", L"radio_dn.png"};
    for (int s = 0; s < 3; ++s) m_radioImages[s] = GdipImage::FromFile(SkinImagePathW(radio[s]));
    for (int k = 0; k < LED_EFFECT_BUTTON_COUNT; ++k) {
        CGDIBitmapBtn& button = m_effectButtons[k];
        RECT rect = EffectRect(k);
        std::wstring caption = ToWide(m_model.Name(k));
        button.m_checkMode = 1;
        button.Create(caption.c_str(), kButtonStyle, rect, this, 0);
        button.SetImages(&m_radioImages[0], &m_radioImages[1], &m_radioImages[2], &m_bmpBackground, rect);
        button.SetText(caption, kCaptionOffset, 0, kCaptionFont, DT_LEFT, FALSE);
    }
    m_mouse.Create(L"", kButtonStyle, kMouseRect, this, 0);
    m_mouse.SetImages(SkinImagePathW(L"mouse_nr.png"), SkinImagePathW(L""), &m_bmpBackground, kMouseRect);
}

BOOL CLedSetDlg::OnInitDialog() {
    CMainPage::OnInitDialog();
    m_parentHwnd = GetParentHwnd();
    return TRUE;
}

BOOL CLedSetDlg::PreTranslateMessage(MSG* msg) {
    if (IsSwallowedDialogKey(msg, true)) return TRUE;
    return CMainPage::PreTranslateMessage(msg);
}

LRESULT CLedSetDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT result = CMainPage::WindowProc(msg, wp, lp);
        if (result != -1) BuildControls();
        return result;
    }
    case UWM_LED_PAGE_IGNORED:
    case UWM_VALUE_CHANGED:
        return 1;
    default:
        return CMainPage::WindowProc(msg, wp, lp);
    }
}

BOOL CLedSetDlg::OnCommand(WPARAM wp, LPARAM lp) {
    const BOOL handled = CMainPage::OnCommand(wp, lp);
    // Whatever the command, the page shows the settings afterwards.
    RefreshFromSettings();
    return handled;
}

void CLedSetDlg::RefreshFromSettings() {
    const int checked = CheckedLedButton(g_settings.ledEffect);
    for (int k = 0; k < LED_EFFECT_BUTTON_COUNT; ++k) m_effectButtons[k].SetChecked(k == checked ? 1 : 0);
    if (m_mouse.m_hWnd) {
        m_mouse.SetOverlayImage(SkinImagePathW(L"mouse_nr.png"), L"");
        m_mouse.Invalidate(FALSE);
    }
    UpdateTexts();
}

void CLedSetDlg::UpdateTexts() {
    m_model.ReloadNames();
    for (int k = 0; k < LED_EFFECT_BUTTON_COUNT; ++k) {
        CGDIBitmapBtn& button = m_effectButtons[k];
        button.SetText(ToWide(m_model.Name(k)), kCaptionOffset, 0, kCaptionFont, DT_LEFT, FALSE);
    }
}
