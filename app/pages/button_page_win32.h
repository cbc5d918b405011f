// The button assignment page: five selectors for the mouse's buttons, the
// mouse picture with a marker over the button under the cursor, eleven
// function buttons that give the selected button its function (some through a
// dialog or a popup first), and the debounce and power-down steppers. Every
// change goes into g_settings and to the mouse at once; the decisions are
// those of button_page_model.h.
#pragma once

#include <windows.h>

#include "app/pages/button_page_model.h"
#include "app/pages/main_page_win32.h"
#include "app/pages/page_host.h"
#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"
#include "skin/mouse_bitmap_win32.h"
#include "skin/popup_opener_win32.h"
#include "skin/push_buttons_win32.h"
#include "skin/stepper_win32.h"

constexpr UINT UWM_HOVER_CHECK = 0x1424;

class CBaseSetDlg : public CMainPage {
    // The state images the controls borrow: declared first, so that they
    // outlive every control.
    GdipImage m_keyMenuNormal;
    GdipImage m_keyMenuHover;
    GdipImage m_keyMenuPressed;
    GdipImage m_keyMenuHoverPopup;
    GdipImage m_keyMenuPressedPopup;
    GdipImage m_stepperImage;

public:
    // The page's commands, and the fire-key box's, go through the host's driver.
    CBaseSetDlg(const CBitmap* mainBackground, PageHost& host);

    void RefreshFromSettings() override;
    void UpdateTexts() override;

    int SelectedButton() const { return m_selected; }

    CGDIBitmapBtn m_selectors[BUTTON_COUNT];
    CMouseBitmap m_mousePicture;
    CGDIBitmapBtn m_selectedLabel;
    CGDIBitmapBtn m_debounceCaption;
    CGDIBitmapBtn m_powerDownCaption;
    CGDIBitmapBtnAddSub m_powerDownStepper;
    CGDIBitmapBtnAddSub m_debounceStepper;
    CGDIBitmapBtn m_functionButtons[FUNCTION_BUTTON_COUNT];
    PopupMenuSlot m_dpiPopup;
    PopupMenuSlot m_mediaPopup;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void BuildControls();
    void LoadImages();
    void MakeCaption(CGDIBitmapBtn& caption, RECT rect);
    void ConfigureSteppers();
    void ListHandlers();

    void OnSelectorClicked(int k);
    void OnFunctionClicked(int j);
    void OpenPopup(PopupMenuSlot& slot, PopupKind kind, int raise);
    void OnPopupResult(PopupMenuSlot& slot, PopupKind kind, LPARAM value);
    void CheckHover();
    void DrawPanelsOnce();

    // Every text from g_settings and the loaded language.
    void ShowTexts();
    void ShowSelectorCaption(int k);
    void ShowSelectedLabel();

    ButtonAssigner Assigner();

    PageHost& m_host;
    int m_selected = -1;
    bool m_panelsDrawn = false;
};
