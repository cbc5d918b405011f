// The key-combination box: up to three keys, modifiers included, taken from
// the whole keyboard through the process's low-level hook while the box is
// open, so that combinations the system would act on (Alt+Tab, the Win key)
// can be chosen too. The keyboard is let go on every way the box ends.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/dialogs/key_combo_model.h"
#include "framework/gdiplus_helpers.h"
#include "framework/keyboard_capture.h"
#include "skin/box_controls_win32.h"
#include "skin/push_buttons_win32.h"
#include "skin/skinned_dialog_win32.h"

// The last ordinary key a box took, kept between boxes as the program always
// has; each box clears it when it opens.
extern uint32_t g_lastComboKey;

// What the button page stores for the choice.
struct ComboFunction {
    uint32_t code = 0;        // a keyboard ButtonFunctionCode
    uint32_t functionId = 0;  // FUNC_SINGLE_KEY
};

class CDlgSingleCombo : public CSkinnedDialog {
public:
    explicit CDlgSingleCombo(CWnd* parent = nullptr);

    GdipImage m_checkNormal;
    GdipImage m_checkHover;
    GdipImage m_checkPressed;
    CBoxButtonImages m_buttonImages;
    CGDIBitmapBtn m_ctrlCheck;
    CGDIBitmapBtn m_altCheck;
    CGDIBitmapBtn m_shiftCheck;
    CGDIBitmapBtn m_winCheck;
    CGDIBitmapBtn m_okButton;
    CGDIBitmapBtn m_cancelButton;

    // After IDOK: the choice as the mouse stores it.
    void EncodeFunctionCode(ComboFunction& out) const;
    const KeyComboModel& Model() const { return m_model; }

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void PaintSkin(HDC dc) override;
    // The box's close is a cancel. Enter, Escape and Space never reach the
    // dialog manager (the hook takes them as keys of the combination, and the
    // key filter swallows them when the hook was refused).
    void OnOK() override {}
    void OnCancel() override { Dismiss(); }

private:
    void BuildSkin();
    LRESULT OnHookKey(uint32_t vk, LPARAM state);
    void ShowModifiers();
    void Confirm();
    void Dismiss();

    void ToggleModifier(uint8_t modifier);

    KeyComboModel m_model{g_lastComboKey};
    CKeyboardCapture m_capture{*this};
};
