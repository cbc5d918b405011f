// The LED page: three radio-style buttons, one per lighting effect of the
// mouse, beside the mouse picture. A click stores the effect and sends it at
// once; the main window refreshes the page after every read or profile change
// and re-texts it after a language change.
#pragma once

#include <windows.h>

#include "app/pages/led_set_model.h"
#include "app/pages/main_page_win32.h"
#include "framework/gdiplus_helpers.h"
#include "skin/mouse_bitmap_win32.h"
#include "skin/push_buttons_win32.h"

class CLedSetDlg : public CMainPage {
    // The state images the buttons borrow: declared first, so that they
    // outlive every button.
    GdipImage m_radioImages[3];

public:
    // driver: where the page's command goes; by default the main window's
    // transport, once there is a main window.
    explicit CLedSetDlg(const CBitmap* mainBackground, LedSetModel::DriverSource driver = {});

    void RefreshFromSettings() override;
    void UpdateTexts() override;

    // Only the first three slots are effect buttons; the page never makes
    // the others.
    CGDIBitmapBtn m_effectButtons[LED_EFFECT_NAME_COUNT];
    CMouseBitmap m_mouse;

    BOOL PreTranslateMessage(MSG* msg) override;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;

private:
    void BuildControls();

    LedSetModel m_model;
    HWND m_parentHwnd = nullptr;
};
