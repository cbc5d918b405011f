#include "app/pages/adv_set_model.h"

#include <optional>
#include <string>

#include "device/device_state.h"
#include "device/usb_driver.h"
#include "skin/value_entry_logic.h"
#include "text/ui_texts.h"

namespace {

std::u16string Decimal(long long value) {
    std::string digits = std::to_string(value);
    return std::u16string(digits.begin(), digits.end());
}

// The LED mode button's text; a mode the popup does not offer has none.
std::u16string LedModeText(uint8_t mode) {
    if (mode >= DPI_LED_MODE_COUNT) return {};
    return g_uiTexts[static_cast<UiText>(static_cast<int>(UiText::str_dpi_led_dx1) + mode)];
}

}  // namespace

AdvSetModel::AdvSetModel(DriverSource driver) : m_driver(std::move(driver)) {
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        m_dpiValueX[i] = 400;
        m_dpiValueY[i] = 400;
    }
    m_screen.countText = Decimal(g_settings.dpiCount);
    ShowFastRates();
}

AdvSetModel::StageRef AdvSetModel::StageOf(int id, int firstXId, int firstYId) {
    if (id >= firstXId && id < firstXId + DPI_LEVEL_COUNT) return {id - firstXId, DpiAxis::X};
    if (id >= firstYId && id < firstYId + DPI_LEVEL_COUNT) return {id - firstYId, DpiAxis::Y};
    return {};
}

CUSBDriver* AdvSetModel::Driver() const {
    return m_driver ? m_driver() : nullptr;
}

void AdvSetModel::SendStage(int stage, DpiAxis axis) const {
    if (CUSBDriver* driver = Driver()) driver->SetDpiStage(stage, DpiAxisByte(g_sensorType, axis));
}

void AdvSetModel::SendDpiConfig() const {
    if (CUSBDriver* driver = Driver())
        driver->SetDpiConfig(g_settings.dpiCount, g_settings.dpiCurrent, g_settings.dpiLedMode,
                             g_settings.dpiConfigByte5, g_settings.dpiConfigByte6);
}

void AdvSetModel::ShowStageValue(int stage, DpiAxis axis, int step) {
    if (axis == DpiAxis::X) {
        // An unknown sensor has no formula: the value shown before stays.
        if (std::optional<int64_t> dpi = DpiOfStep(g_sensorType, step)) m_dpiValueX[stage] = *dpi;
        m_screen.stages[stage].x.text = Decimal(m_dpiValueX[stage]);
    } else {
        if (SensorHasYAxis(g_sensorType)) m_dpiValueY[stage] = YDpiOfStep(step);
        m_screen.stages[stage].y.text = Decimal(m_dpiValueY[stage]);
    }
}

DpiAxisRow& AdvSetModel::Row(const StageRef& ref) {
    return ref.axis == DpiAxis::X ? m_screen.stages[ref.stage].x : m_screen.stages[ref.stage].y;
}

void AdvSetModel::StoreStep(int stage, DpiAxis axis, int step) {
    (axis == DpiAxis::X ? g_settings.dpiStepsX : g_settings.dpiStepsY)[stage] = step;
}

bool AdvSetModel::MoveSlider(int sliderId, int position) {
    StageRef ref = StageOf(sliderId, DPI_SLIDER_X_FIRST_ID, DPI_SLIDER_Y_FIRST_ID);
    if (ref.stage < 0) return false;
    // A Y step the release would never send must not be stored either: the
    // record and the mouse would part.
    if (ref.axis == DpiAxis::Y && !SensorHasYAxis(g_sensorType)) return false;
    Row(ref).position = position;
    ShowStageValue(ref.stage, ref.axis, position);
    StoreStep(ref.stage, ref.axis, position);
    return true;
}

void AdvSetModel::SliderMoving(int sliderId, int position) {
    MoveSlider(sliderId, position);
}

void AdvSetModel::SliderReleased(int sliderId, int position) {
    // Every row shows the value it sends: a click on the track moves the
    // slider without any drag before it.
    if (!MoveSlider(sliderId, position)) return;
    StageRef ref = StageOf(sliderId, DPI_SLIDER_X_FIRST_ID, DPI_SLIDER_Y_FIRST_ID);
    SendStage(ref.stage, ref.axis);
}

void AdvSetModel::DpiTyped(int boxId, uint32_t dpi) {
    StageRef ref = StageOf(boxId, DPI_BOX_X_FIRST_ID, DPI_BOX_Y_FIRST_ID);
    if (ref.stage < 0) return;
    DpiAxisRow& row = Row(ref);
    bool knownSensor = DpiOfStep(g_sensorType, 0).has_value();
    std::optional<int> step = StepOfDpi(g_sensorType, ref.axis, dpi);
    // Below the sensor's lowest DPI there is no step, above what the value
    // entry takes the step would not fit the command, and a sensor without a
    // Y axis has no Y stage: nothing changes, and the box (which already shows
    // what was typed) goes back to what it showed before.
    bool refused = (ref.axis == DpiAxis::Y && !SensorHasYAxis(g_sensorType)) ||
                   (knownSensor && (!step || dpi > SensorDpiMaximum(g_sensorType)));
    if (refused) return;
    // The box keeps the typed value, even off the sensor's grid, until the next refresh.
    row.text = Decimal(dpi);
    if (step) {
        StoreStep(ref.stage, ref.axis, *step);
        row.position = SliderPositionOfStep(*step, row.range);
    }
    SendStage(ref.stage, ref.axis);
}

void AdvSetModel::CheckSelector(int stage) {
    // A current stage beyond the six (a profile or status report may hold up
    // to 15) checks none.
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) m_screen.stages[i].selector.checked = i == stage;
}

void AdvSetModel::StageClicked(int stage) {
    if (stage < 0 || stage >= DPI_LEVEL_COUNT) return;
    m_selectedStage = stage;
    g_settings.dpiCurrent = static_cast<uint8_t>(stage);
    SendDpiConfig();
    CheckSelector(stage);
}

void AdvSetModel::LayOutStageRows() {
    bool yAxis = SensorHasYAxis(g_sensorType);
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        DpiStageRow& row = m_screen.stages[i];
        bool used = i < g_settings.dpiCount;
        row.x.shown = row.x.labelShown = used;
        row.y.shown = row.y.labelShown = used && yAxis;
        row.selector.shown = used;
    }
}

void AdvSetModel::DpiCountChosen(uint32_t count) {
    if (count == g_settings.dpiCount) return;
    if (count >= 1 && count <= DPI_LEVEL_COUNT) g_settings.dpiCount = static_cast<uint8_t>(count);
    // Also a popup closed without a choice: the configuration goes out again as it is.
    SendDpiConfig();
    m_screen.countText = Decimal(g_settings.dpiCount);
    LayOutStageRows();
}

void AdvSetModel::DpiLedChosen(uint32_t item) {
    if (item == g_settings.dpiLedMode + 1u) return;
    if (item >= 1 && item <= DPI_LED_MODE_COUNT) g_settings.dpiLedMode = static_cast<uint8_t>(item - 1);
    SendDpiConfig();
    m_screen.ledModeText = LedModeText(g_settings.dpiLedMode);
}

void AdvSetModel::RefreshDpi(bool ranges) {
    CheckSelector(g_settings.dpiCurrent);
    // The sensor's ranges first, so that a step beyond them (a profile made
    // with another sensor) puts its slider at the minimum.
    if (ranges) {
        std::optional<SliderRange> x = DpiSliderRange(g_sensorType, DpiAxis::X);
        std::optional<SliderRange> y = DpiSliderRange(g_sensorType, DpiAxis::Y);
        for (DpiStageRow& row : m_screen.stages) {
            if (x) row.x.range = *x;
            if (y) row.y.range = *y;
        }
    }
    bool yTable = g_settings.yTableMarker == Y_TABLE_MARKER;
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        DpiStageRow& row = m_screen.stages[i];
        int stepX = g_settings.dpiStepsX[i];
        // Without a valid Y table the Y slider and its value both follow the X table.
        int stepY = yTable ? g_settings.dpiStepsY[i] : stepX;
        row.x.position = SliderPositionOfStep(stepX, row.x.range);
        row.y.position = SliderPositionOfStep(stepY, row.y.range);
        ShowStageValue(i, DpiAxis::X, stepX);
        ShowStageValue(i, DpiAxis::Y, stepY);
    }
    m_screen.countText = Decimal(g_settings.dpiCount);
    LayOutStageRows();
}

// ---- report rate and sensor options ----

void AdvSetModel::CheckOnly(PageControl* group, int count, std::optional<int> index) {
    for (int i = 0; i < count; ++i) group[i].checked = index && *index == i;
}

void AdvSetModel::RateClicked(int index, const std::function<bool()>& confirm) {
    if (index < 0 || index >= REPORT_RATE_BUTTON_COUNT) return;
    // Cancelled: the record, the mouse and the checked button stay as they were.
    if (RateNeedsConfirmation(index) && !(confirm && confirm())) return;
    CheckOnly(m_screen.rates, REPORT_RATE_BUTTON_COUNT, index);
    bool corded = RateForcesCorded(index);
    for (PageControl& mode : m_screen.sensorModes) mode.enabled = !corded;
    // Corded is only shown: the stored sensor mode is neither changed nor sent.
    if (corded) CheckOnly(m_screen.sensorModes, SENSOR_MODE_COUNT, SENSOR_MODE_CORDED);
    g_settings.reportRateCode = ReportRateCode(index);
    if (CUSBDriver* driver = Driver()) driver->SetReportRate(g_settings.reportRateCode);
}

void AdvSetModel::LiftOffClicked(int code) {
    if (code < 0 || code >= LIFT_OFF_BUTTON_COUNT) return;
    CheckOnly(m_screen.liftOff, LIFT_OFF_BUTTON_COUNT, code);
    if (g_settings.liftOffCode == code) return;
    g_settings.liftOffCode = static_cast<uint8_t>(code);
    if (CUSBDriver* driver = Driver()) driver->SetLiftOffDistance(g_settings.liftOffCode);
}

void AdvSetModel::SensorModeClicked(int mode) {
    if (mode < 0 || mode >= SENSOR_MODE_COUNT) return;
    CheckOnly(m_screen.sensorModes, SENSOR_MODE_COUNT, mode);
    if (g_settings.sensorMode == mode) return;
    g_settings.sensorMode = static_cast<uint8_t>(mode);
    if (CUSBDriver* driver = Driver()) driver->SetSensorMode(g_settings.sensorMode);
}

void AdvSetModel::SwitchClicked(SensorSwitch which) {
    if (which < 0 || which >= SENSOR_SWITCH_COUNT) return;
    uint8_t* stored[SENSOR_SWITCH_COUNT] = {&g_settings.motionSync, &g_settings.angleSnap, &g_settings.rippleControl};
    PageControl& box = m_screen.switches[which];
    box.checked = !box.checked;
    uint8_t on = box.checked ? 1 : 0;
    if (*stored[which] == on) return;
    *stored[which] = on;
    CUSBDriver* driver = Driver();
    if (!driver) return;
    switch (which) {
    case SWITCH_MOTION_SYNC: driver->SetMotionSync(on); break;
    case SWITCH_ANGLE_SNAP: driver->SetAngleSnap(on); break;
    case SWITCH_RIPPLE_CONTROL: driver->SetRippleControl(on); break;
    default: break;
    }
}

void AdvSetModel::ShowFastRates() {
    bool fastRates = AdvControlsFor(g_sensorType, g_linkType).fastRates;
    for (int i = RATE_2000; i < REPORT_RATE_BUTTON_COUNT; ++i) m_screen.rates[i].shown = fastRates;
}

void AdvSetModel::ShowSensorModeGroup(bool show) {
    for (PageControl& mode : m_screen.sensorModes) mode.shown = show;
}

// ---- from g_settings ----

void AdvSetModel::RefreshFromSettingsAndRanges() {
    Refresh(true);
}

void AdvSetModel::RefreshFromSettings() {
    Refresh(false);
}

void AdvSetModel::Refresh(bool full) {
    CheckOnly(m_screen.rates, REPORT_RATE_BUTTON_COUNT, ReportRateIndex(g_settings.reportRateCode));
    bool options = AdvControlsFor(g_sensorType, g_linkType).sensorOptions;
    m_screen.liftOffCaptionShown = m_screen.sensorModeCaptionShown = options;
    if (options) {
        SensorModeGroup group = SensorModeGroupFor(g_settings.reportRateCode, g_settings.sensorMode);
        // After a status report a fast rate leaves the buttons shown or hidden as they were.
        if (group.enabled || full) ShowSensorModeGroup(true);
        for (PageControl& mode : m_screen.sensorModes) mode.enabled = group.enabled;
        CheckOnly(m_screen.sensorModes, SENSOR_MODE_COUNT, group.checked);
    } else {
        ShowSensorModeGroup(false);
    }

    RefreshDpi(full);

    const uint8_t stored[SENSOR_SWITCH_COUNT] = {g_settings.motionSync, g_settings.angleSnap, g_settings.rippleControl};
    for (int i = 0; i < SENSOR_SWITCH_COUNT; ++i) {
        m_screen.switches[i].shown = options;
        if (options) m_screen.switches[i].checked = stored[i] == 1;
    }
    LiftOffLayout layout = LiftOffLayoutFor(g_sensorType);
    for (int i = 0; i < LIFT_OFF_BUTTON_COUNT; ++i) {
        m_screen.liftOff[i].shown = layout.buttons[i].shown;
        if (layout.buttons[i].shown) m_screen.liftOffLeft[i] = layout.buttons[i].left;
    }
    // A code beyond the three buttons (a status report carries four bits) checks none.
    if (options) {
        std::optional<int> code;
        if (g_settings.liftOffCode < LIFT_OFF_BUTTON_COUNT) code = g_settings.liftOffCode;
        CheckOnly(m_screen.liftOff, LIFT_OFF_BUTTON_COUNT, code);
    }
    UpdateTexts();
}

void AdvSetModel::UpdateTexts() {
    for (int i = 0; i < SENSOR_MODE_COUNT; ++i)
        m_screen.sensorModeTexts[i] = g_uiTexts[static_cast<UiText>(static_cast<int>(UiText::str_SensorLP) + i)];
    m_screen.rateCaption = g_uiTexts[UiText::str_usbreport];
    m_screen.liftOffCaption = g_uiTexts[UiText::str_LiftDetectionoptions];
    m_screen.countCaption = g_uiTexts[UiText::str_DPINum];
    m_screen.sensorModeCaption = g_uiTexts[UiText::str_SensorMode];
    m_screen.ledModeText = LedModeText(g_settings.dpiLedMode);
    m_screen.switchTexts[SWITCH_MOTION_SYNC] = g_uiTexts[UiText::str_MotionSync];
    m_screen.switchTexts[SWITCH_ANGLE_SNAP] = g_uiTexts[UiText::str_AngleSnap];
    m_screen.switchTexts[SWITCH_RIPPLE_CONTROL] = g_uiTexts[UiText::str_RippleCtrn];
    ShowFastRates();
}
