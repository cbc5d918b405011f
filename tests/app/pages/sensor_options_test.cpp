// The advanced page's tables: rate codes, the controls of each sensor and
// link, the lift-off row and the sensor-mode buttons at each rate.
#include <gtest/gtest.h>

#include "app/pages/dpi_formulas.h"
#include "app/pages/sensor_options.h"

namespace {

TEST(SensorOptionsTest, RateIndexAndCodeBothWays) {
    const uint8_t codes[REPORT_RATE_BUTTON_COUNT] = {3, 2, 1, 0, 6, 5, 4};  // 125 .. 8000 Hz
    for (int i = 0; i < REPORT_RATE_BUTTON_COUNT; ++i) {
        EXPECT_EQ(ReportRateCode(i), codes[i]) << i;
        EXPECT_EQ(ReportRateIndex(codes[i]), i) << i;
    }
    EXPECT_EQ(ReportRateIndex(7), std::nullopt);
    EXPECT_EQ(ReportRateIndex(0xFF), std::nullopt);
    for (int i = 0; i < REPORT_RATE_BUTTON_COUNT; ++i) {
        EXPECT_EQ(RateNeedsConfirmation(i), i == RATE_4000 || i == RATE_8000) << i;
        EXPECT_EQ(RateForcesCorded(i), i >= RATE_2000) << i;
    }
}

TEST(SensorOptionsTest, ControlsBySensorAndLink) {
    struct Case {
        uint8_t sensor, link;
        AdvControlSet shown;
    };
    const Case cases[] = {
        {SENSOR_E1, 2, {true, false, false}}, {SENSOR_E2, 1, {false, false, false}},
        {SENSOR_F0, 2, {true, true, false}},  {SENSOR_F0, 0, {false, true, false}},
        {SENSOR_F1, 1, {false, true, true}},  {SENSOR_F1, 2, {true, true, true}},
        {0x00, 2, {true, false, false}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AdvControlsFor(c.sensor, c.link), c.shown) << std::hex << int(c.sensor) << " link " << int(c.link);
}

TEST(SensorOptionsTest, LiftOffRowBySensor) {
    LiftOffLayout f1 = LiftOffLayoutFor(SENSOR_F1);
    EXPECT_EQ(f1.buttons[2], (LiftOffPlace{true, 540}));  // 0.7 mm first
    EXPECT_EQ(f1.buttons[0], (LiftOffPlace{true, 620}));
    EXPECT_EQ(f1.buttons[1], (LiftOffPlace{true, 700}));
    LiftOffLayout f0 = LiftOffLayoutFor(SENSOR_F0);
    EXPECT_EQ(f0.buttons[0], (LiftOffPlace{true, 540}));
    EXPECT_EQ(f0.buttons[1], (LiftOffPlace{true, 620}));
    EXPECT_FALSE(f0.buttons[2].shown);
    for (uint8_t sensor : {SENSOR_E1, SENSOR_E2, uint8_t(0x42)}) EXPECT_EQ(LiftOffLayoutFor(sensor), LiftOffLayout{});
}

TEST(SensorOptionsTest, SensorModeButtonsAtEachRate) {
    struct Case {
        uint8_t rateCode, mode;
        SensorModeGroup group;
    };
    const Case cases[] = {
        {0, 1, {true, 1}},          // 1000 Hz: the stored mode
        {3, 0, {true, 0}},          // 125 Hz
        {2, 7, {true, std::nullopt}},  // a mode the buttons do not offer
        {6, 0, {false, 2}},         // 2000 Hz: Corded, whatever is stored
        {4, 1, {false, 2}},         // 8000 Hz
        {9, 1, {false, 2}},         // an unknown code counts as fast
    };
    for (const Case& c : cases)
        EXPECT_EQ(SensorModeGroupFor(c.rateCode, c.mode), c.group) << int(c.rateCode) << " " << int(c.mode);
}

}  // namespace
