// The DPI arithmetic of the four sensor types and of an unknown one.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "app/pages/dpi_formulas.h"

namespace {

constexpr uint8_t kUnknownSensor = 0x33;

TEST(DpiFormulaTest, StepToDpiAndBackOnEverySensor) {
    // Each step's DPI, and the step the same value typed gives back.
    struct Case {
        uint8_t sensor;
        int step;
        int dpi;
    };
    const Case cases[] = {
        {SENSOR_E1, 0, 200},    {SENSOR_E1, 1, 300},     {SENSOR_E1, 158, 16000},
        {SENSOR_E2, 0, 50},     {SENSOR_E2, 199, 10000}, {SENSOR_E2, 200, 10100},
        {SENSOR_E2, 219, 12000}, {SENSOR_E2, 339, 24000},  // the value entry's top, beyond the slider
        {SENSOR_F0, 0, 50},     {SENSOR_F0, 519, 26000}, {SENSOR_F1, 0, 50},
        {SENSOR_F1, 599, 30000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DpiOfStep(c.sensor, c.step), c.dpi) << std::hex << int(c.sensor) << std::dec << " step " << c.step;
        EXPECT_EQ(StepOfDpi(c.sensor, DpiAxis::X, uint32_t(c.dpi)), c.step)
            << std::hex << int(c.sensor) << std::dec << " dpi " << c.dpi;
    }
    EXPECT_EQ(DpiOfStep(kUnknownSensor, 10), std::nullopt);
    EXPECT_EQ(YDpiOfStep(0), 50);
    EXPECT_EQ(YDpiOfStep(599), 30000);
}

// A profile file may hold any 32-bit step: each gives the value of its formula,
// never a wrapped one, and puts the slider at its minimum.
TEST(DpiFormulaTest, EveryStoredStepHasItsValueWithoutOverflow) {
    constexpr int kMax = std::numeric_limits<int32_t>::max();
    constexpr int kMin = std::numeric_limits<int32_t>::min();
    struct Case {
        int step;
        int64_t e1, e2, f;  // f: 0xF0, 0xF1 and every Y axis
    };
    const Case cases[] = {
        {kMax, 214748364900, 214748354800, 107374182400},
        {kMin, -214748364600, -107374182350, -107374182350},
        {-1, 100, 0, 0},
        {65535, 6553700, 6543600, 3276800},
        {65536, 6553800, 6543700, 3276850},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        EXPECT_EQ(DpiOfStep(SENSOR_E1, c.step), c.e1);
        EXPECT_EQ(DpiOfStep(SENSOR_E2, c.step), c.e2);
        EXPECT_EQ(DpiOfStep(SENSOR_F0, c.step), c.f);
        EXPECT_EQ(DpiOfStep(SENSOR_F1, c.step), c.f);
        EXPECT_EQ(YDpiOfStep(c.step), c.f);
        EXPECT_EQ(DpiOfStep(kUnknownSensor, c.step), std::nullopt);
        for (uint8_t sensor : {SENSOR_E1, SENSOR_E2, SENSOR_F0, SENSOR_F1}) {
            for (DpiAxis axis : {DpiAxis::X, DpiAxis::Y}) {
                if (std::optional<SliderRange> range = DpiSliderRange(sensor, axis)) {
                    EXPECT_EQ(SliderPositionOfStep(c.step, *range), 0);
                }
            }
        }
    }

    // The largest value a box can hand over has a step that fits.
    const uint32_t top = std::numeric_limits<uint32_t>::max();
    EXPECT_EQ(StepOfDpi(SENSOR_E1, DpiAxis::X, top), 42949670);
    EXPECT_EQ(StepOfDpi(SENSOR_E2, DpiAxis::X, top), 42949771);
    EXPECT_EQ(StepOfDpi(SENSOR_F0, DpiAxis::Y, top), 85899344);
    EXPECT_EQ(StepOfDpi(SENSOR_F1, DpiAxis::X, top), 85899344);
}

TEST(DpiFormulaTest, TypedValuesRoundDownToTheGridAndNothingBelowTheLowest) {
    struct Case {
        uint8_t sensor;
        DpiAxis axis;
        uint32_t dpi;
        std::optional<int> step;
    };
    const Case cases[] = {
        {SENSOR_F0, DpiAxis::X, 1234, 23},    // 1200
        {SENSOR_F0, DpiAxis::Y, 1234, 23},
        {SENSOR_E1, DpiAxis::X, 16099, 158},  // 16000
        {SENSOR_E2, DpiAxis::X, 10050, 199},  // 10000: the finer grid ends there
        {SENSOR_E2, DpiAxis::X, 10199, 200},  // 10100
        // No step: below the lowest DPI (the value box posts 0 for 1..25), an
        // unknown sensor, a Y axis the sensor does not have.
        {SENSOR_F1, DpiAxis::X, 0, std::nullopt},
        {SENSOR_F1, DpiAxis::X, 49, std::nullopt},
        {SENSOR_E1, DpiAxis::X, 150, std::nullopt},
        {SENSOR_E1, DpiAxis::X, 199, std::nullopt},
        {SENSOR_E2, DpiAxis::X, 0, std::nullopt},
        {kUnknownSensor, DpiAxis::X, 1000, std::nullopt},
        {SENSOR_E1, DpiAxis::Y, 1000, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(StepOfDpi(c.sensor, c.axis, c.dpi), c.step) << std::hex << int(c.sensor) << std::dec << " " << c.dpi;
}

TEST(DpiFormulaTest, RangesAndAxisBytes) {
    struct Case {
        uint8_t sensor;
        std::optional<SliderRange> x, y;
        uint8_t xAxisByte;
    };
    const Case cases[] = {
        {SENSOR_E1, SliderRange{0, 158}, std::nullopt, 0},
        {SENSOR_E2, SliderRange{0, 219}, std::nullopt, 0},
        {SENSOR_F0, SliderRange{0, 519}, SliderRange{0, 519}, 1},
        {SENSOR_F1, SliderRange{0, 599}, SliderRange{0, 599}, 1},
        {kUnknownSensor, std::nullopt, std::nullopt, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.sensor));
        EXPECT_EQ(DpiSliderRange(c.sensor, DpiAxis::X), c.x);
        EXPECT_EQ(DpiSliderRange(c.sensor, DpiAxis::Y), c.y);
        EXPECT_EQ(DpiAxisByte(c.sensor, DpiAxis::X), c.xAxisByte);
        EXPECT_EQ(DpiAxisByte(c.sensor, DpiAxis::Y), 2);
    }
}

TEST(DpiFormulaTest, AStepOutsideTheRangePutsTheSliderAtItsMinimum) {
    const SliderRange e1{0, 158};
    EXPECT_EQ(SliderPositionOfStep(158, e1), 158);
    EXPECT_EQ(SliderPositionOfStep(159, e1), 0);   // a profile made on another sensor
    EXPECT_EQ(SliderPositionOfStep(-1, e1), 0);
    EXPECT_EQ(SliderPositionOfStep(339, SliderRange{0, 219}), 0);
}

}  // namespace
