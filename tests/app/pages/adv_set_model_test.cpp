// The advanced page's decisions against the simulated mouse: what each event
// stores in g_settings, which frames reach the wire, and what the page shows.
#include "app/pages/adv_set_model.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "device/device_state.h"
#include "support/connected_sim_mouse.h"
#include "text/ui_texts.h"

namespace {

using Bytes = std::vector<uint8_t>;

class AdvSetModelTest : public ::testing::Test {
protected:
    AdvSetModelTest() {
        g_settings = SettingsImage{};
        g_settings.dpiCount = 4;
        g_settings.dpiCurrent = 1;
        g_settings.dpiLedMode = 0;
        g_settings.dpiConfigByte5 = 0x15;
        g_settings.dpiConfigByte6 = 0x16;
        g_settings.yTableMarker = Y_TABLE_MARKER;
        for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
            g_settings.dpiColours[i][0] = uint8_t(0x10 + i);
            g_settings.dpiColours[i][1] = 0x20;
            g_settings.dpiColours[i][2] = 0x30;
        }
        g_sensorType = SENSOR_F1;
        g_linkType = 2;
        g_uiTexts = UiTextTable{};
        g_uiTexts[UiText::str_dpi_led_dx1] = u"steady";
        g_uiTexts[UiText::str_dpi_led_dx2] = u"breathing";
        g_uiTexts[UiText::str_dpi_led_dx3] = u"off";
        EXPECT_TRUE(sim.opened);
        backend.ClearLog();
    }
    ~AdvSetModelTest() override {
        g_sensorType = 0;
        g_linkType = 0;
        g_uiTexts = UiTextTable{};
    }

    std::vector<Bytes> Sent() const { return sim.SetCommands(); }
    static Bytes Stage(int stage, int step, uint8_t axis) {
        return {CMD_SET_DPI_STAGE, uint8_t(stage), uint8_t(step & 0xFF), uint8_t(step >> 8), uint8_t(0x10 + stage),
                0x20, 0x30, axis};
    }
    static Bytes Config(uint8_t count, uint8_t current, uint8_t led) {
        return {CMD_SET_DPI_CONFIG, count, current, led, 0x15, 0x16, 0, 0};
    }

    ConnectedSimMouse sim;
    SimHidBackend& backend = sim.backend;
    std::shared_ptr<SimMouse>& mouse = sim.mouse;
    AdvSetModel model{[this] { return &sim.driver; }};
};

TEST_F(AdvSetModelTest, DraggingShowsAndStoresButOnlyTheReleaseSends) {
    struct Case {
        uint8_t sensor;
        int sliderId;
        int positions[3];  // two moves, then the release
        std::u16string shown;
        uint8_t axis;
    };
    const Case cases[] = {
        {SENSOR_E1, 2565, {10, 40, 158}, u"16000", 0},
        {SENSOR_E2, 2566, {150, 199, 200}, u"10100", 0},
        {SENSOR_F0, 2569, {3, 5, 519}, u"26000", 1},
        {SENSOR_F1, 2570, {100, 2, 599}, u"30000", 1},
        {SENSOR_F1, 2581, {1, 2, 31}, u"1600", 2},  // Y of stage 3
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sliderId);
        g_sensorType = c.sensor;
        backend.ClearLog();
        bool y = c.sliderId >= DPI_SLIDER_Y_FIRST_ID;
        int stage = c.sliderId - (y ? DPI_SLIDER_Y_FIRST_ID : DPI_SLIDER_X_FIRST_ID);
        model.SliderMoving(c.sliderId, c.positions[0]);
        model.SliderMoving(c.sliderId, c.positions[1]);
        const DpiAxisRow& row = y ? model.Screen().stages[stage].y : model.Screen().stages[stage].x;
        EXPECT_EQ((y ? g_settings.dpiStepsY : g_settings.dpiStepsX)[stage], c.positions[1]);
        EXPECT_TRUE(Sent().empty());
        model.SliderReleased(c.sliderId, c.positions[2]);
        EXPECT_EQ(row.text, c.shown);
        EXPECT_EQ(row.position, c.positions[2]);
        EXPECT_EQ(Sent(), std::vector<Bytes>{Stage(stage, c.positions[2], c.axis)});
        SimDpiStage held = mouse->Settings().stages[stage];
        EXPECT_EQ(y ? held.stepY : held.stepX, c.positions[2]);
    }
}

TEST_F(AdvSetModelTest, YSlidersOfASensorWithoutAYAxisChangeNothing) {
    g_sensorType = SENSOR_E2;
    g_settings.dpiStepsY[0] = 7;
    model.SliderMoving(2579, 50);
    model.SliderReleased(2579, 50);
    model.DpiTyped(2585, 1000);
    EXPECT_EQ(g_settings.dpiStepsY[0], 7);
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(model.Screen().stages[0].y.text, u"400");
}

TEST_F(AdvSetModelTest, ATypedValueIsStoredAsItsStepAndSent) {
    struct Case {
        uint8_t sensor;
        int boxId;
        uint32_t dpi;
        int step;      // stored and sent
        int position;  // the slider after it (its range set for the sensor)
        uint8_t axis;
    };
    const Case cases[] = {
        {SENSOR_E2, 2571, 10000, 199, 199, 0},
        {SENSOR_E2, 2572, 12000, 219, 219, 0},
        {SENSOR_E2, 2573, 24000, 339, 0, 0},  // beyond the slider: it shows its minimum
        {SENSOR_E1, 2571, 200, 0, 0, 0},
        {SENSOR_E1, 2576, 16000, 158, 158, 0},
        {SENSOR_F1, 2571, 30000, 599, 599, 1},
        {SENSOR_F0, 2574, 1234, 23, 23, 1},  // off the grid: the box keeps 1234
        {SENSOR_F0, 2590, 5000, 99, 99, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        g_sensorType = c.sensor;
        model.RefreshFromSettingsAndRanges();
        backend.ClearLog();
        bool y = c.boxId >= DPI_BOX_Y_FIRST_ID;
        int stage = c.boxId - (y ? DPI_BOX_Y_FIRST_ID : DPI_BOX_X_FIRST_ID);
        model.DpiTyped(c.boxId, c.dpi);
        const DpiAxisRow& row = y ? model.Screen().stages[stage].y : model.Screen().stages[stage].x;
        EXPECT_EQ((y ? g_settings.dpiStepsY : g_settings.dpiStepsX)[stage], c.step);
        EXPECT_EQ(row.position, c.position);
        std::string typed = std::to_string(c.dpi);
        EXPECT_EQ(row.text, std::u16string(typed.begin(), typed.end()));
        EXPECT_EQ(Sent(), std::vector<Bytes>{Stage(stage, c.step, c.axis)});
    }
}

TEST_F(AdvSetModelTest, AValueWithoutAStepIsRefusedAndNeverReachesTheMouse) {
    struct Case {
        uint8_t sensor;
        uint32_t dpi;
    };
    // Below the lowest DPI (the value box posts 0 for 1..25; 50..150 on 0xE1),
    // and above what the value entry takes.
    const Case cases[] = {{SENSOR_F1, 0}, {SENSOR_F0, 49}, {SENSOR_E1, 150}, {SENSOR_E2, 0}, {SENSOR_F1, 30050},
                          {SENSOR_E1, 4000000000u}};
    g_settings.dpiStepsX[2] = 11;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        g_sensorType = c.sensor;
        model.RefreshFromSettingsAndRanges();
        std::u16string before = model.Screen().stages[2].x.text;
        backend.ClearLog();
        model.DpiTyped(2573, c.dpi);
        EXPECT_EQ(g_settings.dpiStepsX[2], 11);
        EXPECT_TRUE(Sent().empty());
        EXPECT_EQ(model.Screen().stages[2].x.text, before);
        EXPECT_EQ(model.Screen().stages[2].x.position, 11);
    }
}

TEST_F(AdvSetModelTest, AnUnknownSensorKeepsItsShownValuesAndSendsWithBothAxes) {
    g_sensorType = 0x33;
    g_settings.dpiStepsX[0] = 5;
    model.SliderReleased(2565, 9);
    EXPECT_EQ(model.Screen().stages[0].x.text, u"400");  // no formula: the value shown before
    model.DpiTyped(2571, 1200);                             // no formula: nothing stored
    EXPECT_EQ(g_settings.dpiStepsX[0], 9);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Stage(0, 9, 0), Stage(0, 9, 0)}));
}

TEST_F(AdvSetModelTest, TheStageSelectorSendsTheConfigurationAndChecksOneButton) {
    model.StageClicked(3);
    EXPECT_EQ(g_settings.dpiCurrent, 3);
    EXPECT_EQ(model.SelectedStage(), 3);
    EXPECT_EQ(Sent(), std::vector<Bytes>{Config(4, 3, 0)});
    EXPECT_EQ(mouse->Settings().dpiCurrent, 3);
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) EXPECT_EQ(model.Screen().stages[i].selector.checked, i == 3) << i;
}

TEST_F(AdvSetModelTest, TheCountPopupStoresSendsAndLaysOutTheRows) {
    struct Step {
        uint32_t result;  // 0: closed without a choice
        uint8_t count;
        bool sent;
    };
    const Step steps[] = {
        {4, 4, false},  // the count already set
        {2, 2, true},
        {0, 2, true},   // dismissed: the unchanged configuration once more
        {6, 6, true},
        {9, 6, true},   // not a count: nothing stored, sent as it is
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.result);
        backend.ClearLog();
        model.DpiCountChosen(s.result);
        EXPECT_EQ(g_settings.dpiCount, s.count);
        EXPECT_EQ(Sent(), s.sent ? std::vector<Bytes>{Config(s.count, 1, 0)} : std::vector<Bytes>{});
        if (!s.sent) continue;
        EXPECT_EQ(model.Screen().countText, std::u16string(1, char16_t(u'0' + s.count)));
        for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
            const DpiStageRow& row = model.Screen().stages[i];
            bool used = i < s.count;
            EXPECT_EQ(row.x.shown && row.x.labelShown && row.selector.shown, used) << i;
            EXPECT_EQ(row.y.shown && row.y.labelShown, used) << i;
        }
    }
    EXPECT_EQ(mouse->Settings().dpiCount, 6);
}

TEST_F(AdvSetModelTest, TheLedPopupStoresTheModeAndShowsItsText) {
    struct Step {
        uint32_t result;
        uint8_t mode;
        bool sent;
        std::u16string text;
    };
    const Step steps[] = {
        {1, 0, false, u""},  // the mode already set: not even the text changes
        {2, 1, true, u"breathing"},
        {3, 2, true, u"off"},
        {0, 2, true, u"off"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.result);
        backend.ClearLog();
        model.DpiLedChosen(s.result);
        EXPECT_EQ(g_settings.dpiLedMode, s.mode);
        EXPECT_EQ(Sent(), s.sent ? std::vector<Bytes>{Config(4, 1, s.mode)} : std::vector<Bytes>{});
        EXPECT_EQ(model.Screen().ledModeText, s.text);
    }
    EXPECT_EQ(mouse->Settings().dpiLedMode, 2);
}

TEST_F(AdvSetModelTest, RefreshShowsTheRecordForTheSensor) {
    const int stepsX[DPI_LEVEL_COUNT] = {0, 158, 159, 599, 700, -3};
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        g_settings.dpiStepsX[i] = stepsX[i];
        g_settings.dpiStepsY[i] = 10 * i;
    }
    g_settings.dpiCurrent = 9;  // a status report carries up to 15: no selector checked
    g_settings.dpiLedMode = 4;  // no such mode: no text

    g_sensorType = SENSOR_E1;
    model.RefreshFromSettingsAndRanges();
    const AdvSetScreen& screen = model.Screen();
    const int positionsE1[DPI_LEVEL_COUNT] = {0, 158, 0, 0, 0, 0};  // outside 0..158: the minimum
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(screen.stages[i].x.range, (SliderRange{0, 158}));
        EXPECT_EQ(screen.stages[i].y.range, (SliderRange{0, 599}));  // untouched
        EXPECT_EQ(screen.stages[i].x.position, positionsE1[i]);
        EXPECT_EQ(model.DpiValueX(i), (stepsX[i] + 2) * 100);
        EXPECT_FALSE(screen.stages[i].selector.checked);
        EXPECT_FALSE(screen.stages[i].y.shown || screen.stages[i].y.labelShown);
        EXPECT_EQ(screen.stages[i].x.shown, i < 4);
    }
    EXPECT_EQ(screen.stages[1].x.text, u"16000");
    EXPECT_EQ(screen.countText, u"4");
    EXPECT_EQ(screen.ledModeText, u"");

    g_sensorType = SENSOR_F1;
    model.RefreshFromSettingsAndRanges();
    EXPECT_EQ(screen.stages[3].x.position, 599);
    EXPECT_EQ(screen.stages[3].x.text, u"30000");
    EXPECT_EQ(screen.stages[2].y.position, 20);
    EXPECT_EQ(screen.stages[2].y.text, u"1050");
    EXPECT_TRUE(screen.stages[0].y.shown && screen.stages[0].y.labelShown);

    // A status report's refresh keeps the ranges: the E2 sensor's would be 0..219.
    g_sensorType = SENSOR_E2;
    model.RefreshFromSettings();
    EXPECT_EQ(screen.stages[3].x.range, (SliderRange{0, 599}));
    EXPECT_EQ(screen.stages[3].x.position, 599);
    EXPECT_TRUE(Sent().empty());
}

// A damaged or crafted profile may hold any 32-bit step: the page shows each
// stage's value by its formula, the slider at its minimum, and sends nothing.
TEST_F(AdvSetModelTest, ExtremeStepsShowTheirValuesAndSendNothing) {
    const int32_t steps[DPI_LEVEL_COUNT] = {std::numeric_limits<int32_t>::max(),
                                            std::numeric_limits<int32_t>::min(), -1, 65535, 65536, 7};
    struct Case {
        uint8_t sensor;
        const char16_t* x[DPI_LEVEL_COUNT];  // the shown values of the steps above
    };
    const Case cases[] = {
        {SENSOR_E1, {u"214748364900", u"-214748364600", u"100", u"6553700", u"6553800", u"900"}},
        {SENSOR_E2, {u"214748354800", u"-107374182350", u"0", u"6543600", u"6543700", u"400"}},
        {SENSOR_F0, {u"107374182400", u"-107374182350", u"0", u"3276800", u"3276850", u"400"}},
        {SENSOR_F1, {u"107374182400", u"-107374182350", u"0", u"3276800", u"3276850", u"400"}},
    };
    // The Y axis: the same values in the other order.
    const char16_t* const y[DPI_LEVEL_COUNT] = {u"400", u"3276850", u"3276800", u"0", u"-107374182350",
                                                u"107374182400"};
    g_settings.dpiCount = DPI_LEVEL_COUNT;
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
        g_settings.dpiStepsX[i] = steps[i];
        g_settings.dpiStepsY[i] = steps[DPI_LEVEL_COUNT - 1 - i];
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.sensor));
        g_sensorType = c.sensor;
        for (bool ranges : {true, false}) {
            ranges ? model.RefreshFromSettingsAndRanges() : model.RefreshFromSettings();
            for (int i = 0; i < DPI_LEVEL_COUNT; ++i) {
                SCOPED_TRACE(i);
                const DpiStageRow& row = model.Screen().stages[i];
                EXPECT_EQ(row.x.text, c.x[i]);
                EXPECT_EQ(row.x.position, i == 5 ? 7 : 0);
                if (!SensorHasYAxis(c.sensor)) continue;
                EXPECT_EQ(row.y.text, y[i]);
                EXPECT_EQ(row.y.position, i == 0 ? 7 : 0);
            }
        }
    }
    EXPECT_TRUE(Sent().empty());
    for (int i = 0; i < DPI_LEVEL_COUNT; ++i) EXPECT_EQ(g_settings.dpiStepsX[i], steps[i]) << "the record stays";
}

TEST_F(AdvSetModelTest, WithoutAValidYTableTheYRowsFollowTheXTable) {
    g_settings.yTableMarker = 0;
    g_settings.dpiStepsX[0] = 39;
    g_settings.dpiStepsY[0] = 5;
    model.RefreshFromSettingsAndRanges();
    EXPECT_EQ(model.Screen().stages[0].y.position, 39);
    EXPECT_EQ(model.Screen().stages[0].y.text, u"2000");
}

Bytes Frame(std::initializer_list<uint8_t> bytes) {
    Bytes frame(bytes);
    frame.resize(FEATURE_REPORT_SIZE - 1, 0);
    return frame;
}

TEST_F(AdvSetModelTest, EveryRateClickSendsTheRate) {
    int asked = 0;
    auto yes = [&] { ++asked; return true; };
    const uint8_t codes[REPORT_RATE_BUTTON_COUNT] = {3, 2, 1, 0, 6, 5, 4};
    for (int i = 0; i < REPORT_RATE_BUTTON_COUNT; ++i) {
        SCOPED_TRACE(i);
        backend.ClearLog();
        model.RateClicked(i, yes);
        model.RateClicked(i, yes);  // the rate already set goes out again
        EXPECT_EQ(g_settings.reportRateCode, codes[i]);
        EXPECT_EQ(Sent(), (std::vector<Bytes>{Frame({CMD_SET_REPORT_RATE, codes[i]}),
                                               Frame({CMD_SET_REPORT_RATE, codes[i]})}));
        EXPECT_EQ(mouse->Settings().reportRate, codes[i]);
        for (int k = 0; k < REPORT_RATE_BUTTON_COUNT; ++k) EXPECT_EQ(model.Screen().rates[k].checked, k == i) << k;
    }
    EXPECT_EQ(asked, 4);  // 4000 and 8000 Hz, twice each
}

TEST_F(AdvSetModelTest, ACancelledFastRateLeavesEverythingAsItWas) {
    model.RateClicked(3, nullptr);  // 1000 Hz
    backend.ClearLog();
    for (int fast : {RATE_4000, RATE_8000}) {
        model.RateClicked(fast, [] { return false; });
        EXPECT_EQ(g_settings.reportRateCode, 0);
        EXPECT_TRUE(model.Screen().rates[3].checked);
        EXPECT_FALSE(model.Screen().rates[fast].checked);
        EXPECT_TRUE(model.Screen().sensorModes[0].enabled);
    }
    model.RateClicked(RATE_8000, nullptr);  // nobody to ask: no
    EXPECT_TRUE(Sent().empty());
    EXPECT_EQ(mouse->Settings().reportRate, 0);
}

TEST_F(AdvSetModelTest, FastRatesShowCordedWithoutStoringIt) {
    g_settings.sensorMode = 1;
    model.RefreshFromSettingsAndRanges();
    backend.ClearLog();
    model.RateClicked(RATE_2000, nullptr);
    const AdvSetScreen& screen = model.Screen();
    for (int m = 0; m < SENSOR_MODE_COUNT; ++m) {
        EXPECT_FALSE(screen.sensorModes[m].enabled) << m;
        EXPECT_EQ(screen.sensorModes[m].checked, m == SENSOR_MODE_CORDED) << m;
    }
    // Back to 1000 Hz: the buttons can be used again, still showing Corded
    // until the next refresh; the stored mode never changed.
    model.RateClicked(3, nullptr);
    EXPECT_TRUE(screen.sensorModes[0].enabled && screen.sensorModes[1].enabled);
    EXPECT_TRUE(screen.sensorModes[SENSOR_MODE_CORDED].checked);
    EXPECT_EQ(g_settings.sensorMode, 1);
    EXPECT_EQ(Sent(), (std::vector<Bytes>{Frame({CMD_SET_REPORT_RATE, 6}), Frame({CMD_SET_REPORT_RATE, 0})}));
    model.RefreshFromSettings();
    EXPECT_TRUE(screen.sensorModes[1].checked && !screen.sensorModes[SENSOR_MODE_CORDED].checked);
}

TEST_F(AdvSetModelTest, SensorChoicesSendOnlyWhatChangesTheRecord) {
    g_settings.liftOffCode = 0;
    g_settings.sensorMode = 0;
    g_settings.motionSync = 1;
    model.RefreshFromSettingsAndRanges();
    backend.ClearLog();
    model.LiftOffClicked(0);  // already set
    model.LiftOffClicked(2);
    model.SensorModeClicked(0);
    model.SensorModeClicked(1);
    model.SwitchClicked(SWITCH_MOTION_SYNC);    // on -> off
    model.SwitchClicked(SWITCH_ANGLE_SNAP);     // off -> on
    model.SwitchClicked(SWITCH_RIPPLE_CONTROL);
    model.SwitchClicked(SWITCH_RIPPLE_CONTROL);  // and off again
    EXPECT_EQ(Sent(), (std::vector<Bytes>{
                          Frame({CMD_GROUP_SENSOR, SENSOR_LIFT_OFF, 2}),
                          Frame({CMD_GROUP_SENSOR, SENSOR_MODE, 1}),
                          Frame({CMD_GROUP_SENSOR, SENSOR_MOTION_SYNC, 0}),
                          Frame({CMD_GROUP_SENSOR, SENSOR_ANGLE_SNAP, 1}),
                          Frame({CMD_GROUP_SENSOR, SENSOR_RIPPLE_CONTROL, 1}),
                          Frame({CMD_GROUP_SENSOR, SENSOR_RIPPLE_CONTROL, 0}),
                      }));
    const AdvSetScreen& screen = model.Screen();
    EXPECT_TRUE(screen.liftOff[2].checked && !screen.liftOff[0].checked);
    EXPECT_TRUE(screen.sensorModes[1].checked && !screen.sensorModes[0].checked);
    EXPECT_FALSE(screen.switches[SWITCH_MOTION_SYNC].checked);
    EXPECT_TRUE(screen.switches[SWITCH_ANGLE_SNAP].checked);
    EXPECT_FALSE(screen.switches[SWITCH_RIPPLE_CONTROL].checked);
    SimMouseSettings held = mouse->Settings();
    EXPECT_EQ(held.sensor[SENSOR_LIFT_OFF], 2);
    EXPECT_EQ(held.sensor[SENSOR_MODE], 1);
    EXPECT_EQ(held.sensor[SENSOR_ANGLE_SNAP], 1);

    // A box whose shown state already differs from the record: the click
    // turns the box and sends nothing when the record already holds its new state.
    g_settings.angleSnap = 0;
    backend.ClearLog();
    model.SwitchClicked(SWITCH_ANGLE_SNAP);
    EXPECT_FALSE(screen.switches[SWITCH_ANGLE_SNAP].checked);
    EXPECT_TRUE(Sent().empty());
}

TEST_F(AdvSetModelTest, RefreshShowsTheControlsOfTheSensorAndLink) {
    struct Case {
        uint8_t sensor, link;
        bool fastRates, options, shortLiftOff;
        int left1mm;
    };
    const Case cases[] = {
        {SENSOR_E1, 2, true, false, false, -1}, {SENSOR_E2, 1, false, false, false, -1},
        {SENSOR_F0, 1, false, true, false, 540}, {SENSOR_F1, 2, true, true, true, 620},
        {0x42, 2, true, false, false, -1},
    };
    g_settings.reportRateCode = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.sensor));
        g_sensorType = c.sensor;
        g_linkType = c.link;
        model.RefreshFromSettingsAndRanges();
        const AdvSetScreen& s = model.Screen();
        for (int i = 0; i < REPORT_RATE_BUTTON_COUNT; ++i) EXPECT_EQ(s.rates[i].shown, i < RATE_2000 || c.fastRates);
        EXPECT_EQ(s.sensorModeCaptionShown, c.options);
        EXPECT_EQ(s.liftOffCaptionShown, c.options);
        for (const PageControl& m : s.sensorModes) EXPECT_EQ(m.shown, c.options);
        for (const PageControl& b : s.switches) EXPECT_EQ(b.shown, c.options);
        EXPECT_EQ(s.stages[0].y.shown, c.options);
        EXPECT_EQ(s.liftOff[0].shown && s.liftOff[1].shown, c.options);
        EXPECT_EQ(s.liftOff[2].shown, c.shortLiftOff);
        if (c.left1mm >= 0) {
            EXPECT_EQ(s.liftOffLeft[0], c.left1mm);
        }
    }
}

TEST_F(AdvSetModelTest, CodesTheButtonsDoNotOfferCheckNone) {
    g_settings.reportRateCode = 9;
    g_settings.liftOffCode = 11;  // a status report carries four bits
    g_settings.sensorMode = 3;
    model.RefreshFromSettingsAndRanges();
    const AdvSetScreen& s = model.Screen();
    for (const PageControl& r : s.rates) EXPECT_FALSE(r.checked);
    for (const PageControl& l : s.liftOff) EXPECT_FALSE(l.checked);
    // An unknown rate counts as fast: Corded, disabled.
    EXPECT_TRUE(s.sensorModes[SENSOR_MODE_CORDED].checked && !s.sensorModes[0].enabled);
    g_settings.reportRateCode = 0;
    model.RefreshFromSettings();
    for (const PageControl& m : s.sensorModes) EXPECT_FALSE(m.checked);
}

TEST_F(AdvSetModelTest, AStatusRefreshAtAFastRateLeavesTheModeButtonsHidden) {
    g_sensorType = SENSOR_E1;
    model.RefreshFromSettingsAndRanges();
    g_sensorType = SENSOR_F0;
    g_settings.reportRateCode = 6;
    model.RefreshFromSettings();
    EXPECT_FALSE(model.Screen().sensorModes[0].shown);
    EXPECT_TRUE(model.Screen().sensorModes[SENSOR_MODE_CORDED].checked);
    model.RefreshFromSettingsAndRanges();
    EXPECT_TRUE(model.Screen().sensorModes[0].shown);
}

TEST_F(AdvSetModelTest, TextsFollowTheLanguage) {
    g_uiTexts[UiText::str_SensorHP] = u"High";
    g_uiTexts[UiText::str_AngleSnap] = u"Snap";
    g_uiTexts[UiText::str_usbreport] = u"Rate";
    EXPECT_EQ(model.Screen().sensorModeTexts[1], u"HP");  // until a language replaces it
    g_linkType = 1;
    model.UpdateTexts();
    const AdvSetScreen& s = model.Screen();
    EXPECT_EQ(s.sensorModeTexts[1], u"High");
    EXPECT_EQ(s.sensorModeTexts[0], u"");  // no text in the language: none shown
    EXPECT_EQ(s.switchTexts[SWITCH_ANGLE_SNAP], u"Snap");
    EXPECT_EQ(s.rateCaption, u"Rate");
    EXPECT_EQ(s.ledModeText, u"steady");
    EXPECT_FALSE(s.rates[RATE_2000].shown);
}

TEST(AdvSetModelNoDriverTest, WithoutATransportOnlyTheRecordChanges) {
    g_settings = SettingsImage{};
    g_sensorType = SENSOR_F0;
    AdvSetModel model{[] { return nullptr; }};
    model.SliderReleased(2565, 19);
    model.StageClicked(2);
    EXPECT_EQ(g_settings.dpiStepsX[0], 19);
    EXPECT_EQ(g_settings.dpiCurrent, 2);
    g_sensorType = 0;
}

}  // namespace
