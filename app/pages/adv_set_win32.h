// The advanced page: the DPI stages (a slider and a value box per stage and
// axis, the stage selectors, the stage count and the DPI LED mode), the report
// rate, the lift-off distance, the sensor mode and switches, and the button to
// the system's mouse settings. Its decisions are AdvSetModel's; the window
// hands every notice to the model and shows the model's screen.
#pragma once

#include <windows.h>

#include <functional>

#include "app/pages/adv_set_model.h"
#include "app/pages/main_page_win32.h"
#include "app/pages/page_host.h"
#include "framework/gdi.h"
#include "framework/gdiplus_helpers.h"
#include "skin/bars_win32.h"
#include "skin/popup_opener_win32.h"
#include "skin/push_buttons_win32.h"

// What the mouse-settings button runs; tests put their own in place. An empty
// handler restores the system's control panel.
void SetMouseSettingsLauncher(std::function<void()> launcher);

class CAdvSetDlg : public CMainPage {
    // The state images the controls borrow: declared first, so that they
    // outlive every control.
    GdipImage m_radioImages[3];
    GdipImage m_checkImages[3];
    GdipImage m_stageImages[3];
    GdipImage m_trackImage;
    GdipImage m_restImage;
    GdipImage m_thumbImage;

public:
    // The page's commands go through the host's driver.
    CAdvSetDlg(const CBitmap* mainBackground, PageHost& host);

    // After g_settings was replaced: also sets the sliders' ranges for the sensor.
    void RefreshFromSettingsAndRanges();
    // After a status report; the ranges stay.
    void RefreshFromSettings() override;
    void UpdateTexts() override;
    // The sliders' ranges follow the sensor now connected.
    void Refresh() override { RefreshFromSettingsAndRanges(); }

    const AdvSetModel& Model() const { return m_model; }

    // The page's controls, in the order the page's click table tests them.
    CBitmap m_bmpAdvSkin;  // the whole skin image the sliders paint their background from
    CGDIBitmapBtn m_rateButtons[REPORT_RATE_BUTTON_COUNT];
    CGDIBitmapBtn m_liftOffButtons[LIFT_OFF_BUTTON_COUNT];
    CGDIBitmapBtnEx2 m_dpiBoxX[DPI_LEVEL_COUNT];
    CHProgressBar m_dpiSliderX[DPI_LEVEL_COUNT];
    CGDIBitmapBtnEx2 m_dpiBoxY[DPI_LEVEL_COUNT];
    CHProgressBar m_dpiSliderY[DPI_LEVEL_COUNT];
    CGDIBitmapBtn m_stageButtons[DPI_LEVEL_COUNT];
    CGDIBitmapBtn m_countCaption;
    CGDIBitmapBtnEx m_countButton;
    CGDIBitmapBtnEx m_mouseSettingsButton;
    CGDIBitmapBtn m_switches[SENSOR_SWITCH_COUNT];
    CGDIBitmapBtn m_rateCaption;
    CGDIBitmapBtn m_liftOffCaption;
    CGDIBitmapBtn m_sensorModeCaption;
    CGDIBitmapBtn m_sensorModeButtons[SENSOR_MODE_COUNT];
    CGDIBitmapBtnEx m_ledModeButton;
    CGDIBitmapBtn m_labelX[DPI_LEVEL_COUNT];
    CGDIBitmapBtn m_labelY[DPI_LEVEL_COUNT];
    PopupMenuSlot m_popup;

protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;
    // What a control changed shows at once.
    void OnControlHandled() override { ShowScreen(); }

private:
    void BuildControls();
    void BuildDpiRows();
    void BuildOptions();
    void ListHandlers();
    void MakeLabel(CGDIBitmapBtn& label, RECT rect, int fontHeight, UINT format);
    void MakeRadio(CGDIBitmapBtn& button, RECT rect, const wchar_t* caption);
    void MakeSlider(CHProgressBar& slider, int id, RECT rect);

    // Puts the model's screen into the controls; only what changed is repainted.
    void ShowScreen();
    void PlaceLiftOffButton(int code, int left);

    void OpenPopup(PopupKind kind, const CWnd& opener);
    // A popup's result: its value, 0 when it closed without a choice, or
    // nothing when it is no result of the popup open here.
    std::optional<uint32_t> TakePopupResult(WPARAM wp, LPARAM lp);
    bool ConfirmFastRate();
    void OnRateClicked(int index);

    AdvSetModel m_model;
    HWND m_parentHwnd = nullptr;
};
