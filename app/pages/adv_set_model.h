// The advanced page's decisions, apart from its window: what each click, drag,
// typed value and popup choice stores in g_settings and sends to the mouse, and
// what every control of the page shows. The window hands each notice to the
// model and then shows the model's screen.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "app/pages/dpi_formulas.h"
#include "app/pages/sensor_options.h"
#include "device/settings.h"

class CUSBDriver;

// Control ids of the stage rows (stage 1 first); the sliders report them, the
// value boxes report theirs.
constexpr int DPI_SLIDER_X_FIRST_ID = 2565;
constexpr int DPI_BOX_X_FIRST_ID = 2571;
constexpr int DPI_SLIDER_Y_FIRST_ID = 2579;
constexpr int DPI_BOX_Y_FIRST_ID = 2585;

constexpr int DPI_LED_MODE_COUNT = 3;

// The three sensor switches, each on or off.
enum SensorSwitch : int { SWITCH_MOTION_SYNC, SWITCH_ANGLE_SNAP, SWITCH_RIPPLE_CONTROL, SENSOR_SWITCH_COUNT };

// A button's state as the page sets it.
struct PageControl {
    bool shown = true;
    bool enabled = true;
    bool checked = false;
    bool operator==(const PageControl&) const = default;
};

// One axis of a stage row: its slider, its value box and its "X:" or "Y:" label.
struct DpiAxisRow {
    bool shown = true;        // slider and value box
    bool labelShown = true;
    SliderRange range{0, 599};
    int position = 0;
    std::u16string text = u"400";
    bool operator==(const DpiAxisRow&) const = default;
};

struct DpiStageRow {
    DpiAxisRow x;
    DpiAxisRow y;
    PageControl selector;
    bool operator==(const DpiStageRow&) const = default;
};

// Everything the page shows; the window copies it into its controls.
struct AdvSetScreen {
    DpiStageRow stages[DPI_LEVEL_COUNT];
    std::u16string countText;
    std::u16string ledModeText;
    std::u16string countCaption;

    PageControl rates[REPORT_RATE_BUTTON_COUNT];
    std::u16string rateCaption;
    PageControl liftOff[LIFT_OFF_BUTTON_COUNT];  // by code
    int liftOffLeft[LIFT_OFF_BUTTON_COUNT] = {540, 620, 700};
    bool liftOffCaptionShown = true;
    std::u16string liftOffCaption;
    PageControl sensorModes[SENSOR_MODE_COUNT];
    std::u16string sensorModeTexts[SENSOR_MODE_COUNT] = {u"LP", u"HP", u"Corded"};
    bool sensorModeCaptionShown = true;
    std::u16string sensorModeCaption;
    PageControl switches[SENSOR_SWITCH_COUNT];
    std::u16string switchTexts[SENSOR_SWITCH_COUNT];
};

class AdvSetModel {
public:
    // driver gives the connected mouse's transport at the moment of a send, or
    // null while there is none (the page's own start-up): then only g_settings
    // changes.
    using DriverSource = std::function<CUSBDriver*()>;
    explicit AdvSetModel(DriverSource driver);

    const AdvSetScreen& Screen() const { return m_screen; }
    int64_t DpiValueX(int stage) const { return m_dpiValueX[stage]; }
    int64_t DpiValueY(int stage) const { return m_dpiValueY[stage]; }
    int SelectedStage() const { return m_selectedStage; }

    // ---- DPI stages ----
    // A slider being dragged: shows and stores, sends nothing.
    void SliderMoving(int sliderId, int position);
    // A slider let go (or a drag that lost the mouse): stores and sends the stage.
    void SliderReleased(int sliderId, int position);
    // A value typed into a value box.
    void DpiTyped(int boxId, uint32_t dpi);
    void StageClicked(int stage);
    // The count popup's result: a count 1..6, or 0 when it closed without a choice.
    void DpiCountChosen(uint32_t count);
    // The LED mode popup's result: item 1..3, or 0 when it closed without a choice.
    void DpiLedChosen(uint32_t item);

    // ---- report rate and sensor options ----
    // Rate button index 0..6. The rate goes out on every click, also when it is
    // already set; 4000 and 8000 Hz only after confirm() said yes.
    void RateClicked(int index, const std::function<bool()>& confirm);
    // These send only what changes the record.
    void LiftOffClicked(int code);
    void SensorModeClicked(int mode);
    void SwitchClicked(SensorSwitch which);

    // ---- from g_settings ----
    // After g_settings was replaced; also sets the sliders' ranges for the sensor.
    void RefreshFromSettingsAndRanges();
    // After a status report: the ranges stay as they are.
    void RefreshFromSettings();
    // The texts of the language now loaded.
    void UpdateTexts();

private:
    struct StageRef {
        int stage = -1;  // -1: not a control of the stage rows
        DpiAxis axis = DpiAxis::X;
    };
    static StageRef StageOf(int id, int firstXId, int firstYId);

    DpiAxisRow& Row(const StageRef& ref);
    // Shows and stores a slider's position; false for a slider that changes nothing.
    bool MoveSlider(int sliderId, int position);
    CUSBDriver* Driver() const;
    void SendStage(int stage, DpiAxis axis) const;
    void SendDpiConfig() const;
    // Computes a stage's DPI into the cache and shows it in its value box.
    void ShowStageValue(int stage, DpiAxis axis, int step);
    void StoreStep(int stage, DpiAxis axis, int step);
    void CheckSelector(int stage);
    void LayOutStageRows();
    void RefreshDpi(bool ranges);
    // full: the variant that also sets the sliders' ranges.
    void Refresh(bool full);
    void CheckOnly(PageControl* group, int count, std::optional<int> index);
    void ShowFastRates();
    void ShowSensorModeGroup(bool show);
    void RefreshSensorOptions();

    DriverSource m_driver;
    AdvSetScreen m_screen;
    // What a stored step stands for may lie far beyond 32 bits.
    int64_t m_dpiValueX[DPI_LEVEL_COUNT];
    int64_t m_dpiValueY[DPI_LEVEL_COUNT];
    int m_selectedStage = 0;
};
