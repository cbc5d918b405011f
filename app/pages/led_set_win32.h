// The LED page: three radio-style buttons, one per lighting effect of the
// mouse, beside the mouse picture. A click stores the effect and sends it at
// once; the main window refreshes the page after every read or profile change
// and re-texts it after a language change.
#pragma once

#include <windows.h>

#include "app/pages/led_set_model.h"
#include "app/pages/main_page_win32.h"
#include "app/pages/page_host.h"
#include "framework/gdiplus_helpers.h"
#include "skin/mouse_bitmap_win32.h"
#include "skin/push_buttons_win32.h"

class CLedSetDlg : public CMainPage {
    // The state images the buttons borrow: declared first, so that they
    // outlive every button.
    GdipImage m_radioImages[3];

public:
    // The page's commands go through the host's driver.
    CLedSetDlg(const CBitmap* mainBackground, PageHost& host);

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
