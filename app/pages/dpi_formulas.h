// The DPI arithmetic of each sensor type: the value a slider step stands for,
// the step of a typed value, the sliders' ranges and the axis byte a stage is
// sent with. The mouse stores steps; DPI values are only ever shown.
#pragma once

#include <cstdint>
#include <optional>

constexpr uint8_t SENSOR_E1 = 0xE1;
constexpr uint8_t SENSOR_E2 = 0xE2;
constexpr uint8_t SENSOR_F0 = 0xF0;
constexpr uint8_t SENSOR_F1 = 0xF1;

enum class DpiAxis { X, Y };

struct SliderRange {
    int min = 0;
    int max = 0;
    bool operator==(const SliderRange&) const = default;
};

// The DPI of an X step; nothing for a sensor type the program does not know.
// A profile file may hold any 32-bit step: the value is what the formula
// gives for it, which only 64 bits hold at the ends.
std::optional<int64_t> DpiOfStep(uint8_t sensorType, int32_t step);
// The DPI of a Y step: the same grid of 50 on every sensor that has a Y axis.
int64_t YDpiOfStep(int32_t step);

// The step whose DPI is dpi rounded down to the sensor's grid. Nothing for an
// unknown sensor type, and nothing for a value below the sensor's lowest DPI:
// it has no step, and a negative one must never reach the mouse.
std::optional<int> StepOfDpi(uint8_t sensorType, DpiAxis axis, uint32_t dpi);

// The lowest DPI the sensor's first step stands for.
uint32_t LowestDpi(uint8_t sensorType);

// The sliders' range of the axis on the sensor; nothing where the sensor does
// not set one (an unknown type, or Y on a sensor without a Y axis): the range
// then stays as it was.
std::optional<SliderRange> DpiSliderRange(uint8_t sensorType, DpiAxis axis);

// Where a stored step puts a slider: a step outside the range puts it at the minimum.
int SliderPositionOfStep(int step, const SliderRange& range);

// The axis byte of the stage command: 2 for a Y stage; for an X stage 1 on the
// sensors with separate axes and 0 (both axes) on the others.
uint8_t DpiAxisByte(uint8_t sensorType, DpiAxis axis);
