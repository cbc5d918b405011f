#include "skin/stepper_win32.h"

#include <windowsx.h>

#include <optional>
#include <utility>

#include "framework/strings.h"
#include "skin/confirm_dlg_win32.h"
#include "skin/skin_messages.h"

namespace {

// What the state buttons take off each side of a caption rectangle.
constexpr int kCaptionMargin = 5;

StepConfirmation& Confirmation() {
    static StepConfirmation confirmation;
    return confirmation;
}

}  // namespace

void SetStepConfirmation(StepConfirmation confirmation) {
    Confirmation() = std::move(confirmation);
}

bool ConfirmStep(CWnd* parent) {
    if (StepConfirmation& confirmation = Confirmation()) return confirmation(parent);
    CDebounceWDlg dialog(parent);
    return dialog.DoModal() == IDOK;
}

void CGDIBitmapBtnAddSub::SetText(const std::wstring& text, int textOffsetX, int stored, int fontHeight,
                                  UINT format) {
    // The caption's usual margins leave a 34-pixel stepper 22 pixels, and
    // three digits would end in an ellipsis ("2..." for 240 seconds): the
    // number gets the stepper's whole width, centred on its middle row.
    if (m_hWnd) {
        RECT client = GetClientRect();
        m_useTextRect = 1;
        m_textRect = RECT{-kCaptionMargin, client.bottom / 2 - fontHeight / 2, client.right + kCaptionMargin,
                          client.bottom};
    }
    CGDIBitmapBtn::SetText(text, textOffsetX, stored, fontHeight, format, FALSE);
}

LRESULT CGDIBitmapBtnAddSub::OnLeftDown(WPARAM wp, LPARAM lp) {
    if (!m_mouseEnabled) return 0;
    HWND owner = GetOwnerHwnd();
    if (owner && ::GetActiveWindow() != owner) ::SetActiveWindow(owner);

    RECT client = GetClientRect();
    StepperZone zone = StepperZoneAt(GET_X_LPARAM(lp), GET_Y_LPARAM(lp), client.right);
    bool asked = false;
    HWND self = m_hWnd;
    std::optional<int> reported = Press(zone, [&] {
        asked = true;
        return ConfirmStep(this);
    });
    // The box runs a message loop: the stepper may be gone when it returns.
    if (asked && (!::IsWindow(self) || CWnd::FromHandle(self) != this)) return 0;
    if (reported) {
        SetText(FormatW(L"%d", *reported), m_textOffsetX, m_textStored, m_fontHeight, m_textFormat);
        ::PostMessageW(GetParentHwnd(), UWM_STEPPER_CHANGED, static_cast<WPARAM>(m_mode),
                       static_cast<LPARAM>(*reported));
    }
    // After the box the press is long over: the system button would take the
    // capture for a release that already went to the box, and keep the next
    // click anywhere for itself.
    if (asked && !(::GetKeyState(VK_LBUTTON) & 0x8000)) return 0;
    return CGDIBitmapBtn::WindowProc(WM_LBUTTONDOWN, wp, lp);
}

LRESULT CGDIBitmapBtnAddSub::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_LBUTTONDOWN:
        return OnLeftDown(wp, lp);
    default:
        break;
    }
    return CGDIBitmapBtn::WindowProc(msg, wp, lp);
}
