#include "app/pages/dpi_formulas.h"

#include "device/device_state.h"
#include "device/usb_driver.h"

std::optional<int64_t> DpiOfStep(uint8_t sensorType, int32_t step) {
    const int64_t s = step;
    switch (sensorType) {
    case SENSOR_E1: return (s + 2) * 100;
    case SENSOR_E2: return s <= 199 ? (s + 1) * 50 : (s - 99) * 100;
    case SENSOR_F0:
    case SENSOR_F1: return (s + 1) * 50;
    default: return std::nullopt;
    }
}

int64_t YDpiOfStep(int32_t step) {
    return (int64_t(step) + 1) * 50;
}

uint32_t LowestDpi(uint8_t sensorType) {
    return sensorType == SENSOR_E1 ? 200 : 50;
}

std::optional<int> StepOfDpi(uint8_t sensorType, DpiAxis axis, uint32_t dpi) {
    if (axis == DpiAxis::Y && !SensorHasYAxis(sensorType)) return std::nullopt;
    if (dpi < LowestDpi(sensorType)) return std::nullopt;
    // Below 2^32 / 50 every quotient fits an int.
    int byFifty = static_cast<int>(dpi / 50);
    int byHundred = static_cast<int>(dpi / 100);
    switch (sensorType) {
    case SENSOR_E1: return byHundred - 2;
    case SENSOR_E2: return dpi <= 10000 ? byFifty - 1 : byHundred + 99;
    case SENSOR_F0:
    case SENSOR_F1: return byFifty - 1;
    default: return std::nullopt;
    }
}

std::optional<SliderRange> DpiSliderRange(uint8_t sensorType, DpiAxis axis) {
    switch (sensorType) {
    case SENSOR_F1: return SliderRange{0, 599};
    case SENSOR_F0: return SliderRange{0, 519};
    case SENSOR_E1: return axis == DpiAxis::X ? std::optional(SliderRange{0, 158}) : std::nullopt;
    case SENSOR_E2: return axis == DpiAxis::X ? std::optional(SliderRange{0, 219}) : std::nullopt;
    default: return std::nullopt;
    }
}

int SliderPositionOfStep(int step, const SliderRange& range) {
    return step < range.min || step > range.max ? range.min : step;
}

uint8_t DpiAxisByte(uint8_t sensorType, DpiAxis axis) {
    if (axis == DpiAxis::Y) return DPI_AXIS_Y;
    return SensorHasYAxis(sensorType) ? DPI_AXIS_X : DPI_AXIS_BOTH;
}
