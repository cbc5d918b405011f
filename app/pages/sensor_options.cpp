#include "app/pages/sensor_options.h"

#include "app/pages/dpi_formulas.h"
#include "device/device_state.h"

const char16_t* const kReportRateCaptions[REPORT_RATE_BUTTON_COUNT] = {u"125",  u"250",  u"500", u"1000",
                                                                       u"2000", u"4000", u"8000"};
const char16_t* const kLiftOffCaptions[LIFT_OFF_BUTTON_COUNT] = {u"1mm", u"2mm", u"0.7mm"};

namespace {

constexpr uint8_t kRateCodes[REPORT_RATE_BUTTON_COUNT] = {3, 2, 1, 0, 6, 5, 4};
// Codes 0 to 3 are 1000 down to 125 Hz; the higher codes are the fast rates.
constexpr uint8_t kFirstFastRateCode = 4;

}  // namespace

uint8_t ReportRateCode(int index) {
    return index >= 0 && index < REPORT_RATE_BUTTON_COUNT ? kRateCodes[index] : kRateCodes[3];
}

std::optional<int> ReportRateIndex(uint8_t code) {
    for (int i = 0; i < REPORT_RATE_BUTTON_COUNT; ++i)
        if (kRateCodes[i] == code) return i;
    return std::nullopt;
}

bool RateNeedsConfirmation(int index) {
    return index == RATE_4000 || index == RATE_8000;
}

bool RateForcesCorded(int index) {
    return index >= RATE_2000;
}

AdvControlSet AdvControlsFor(uint8_t sensorType, uint8_t linkType) {
    AdvControlSet set;
    set.fastRates = linkType == 2;
    set.sensorOptions = SensorHasYAxis(sensorType);
    set.liftOffShort = sensorType == SENSOR_F1;
    return set;
}

LiftOffLayout LiftOffLayoutFor(uint8_t sensorType) {
    LiftOffLayout layout;
    if (sensorType == SENSOR_F1) {
        // The shortest distance first: 0.7 mm, 1 mm, 2 mm.
        layout.buttons[2] = {true, 540};
        layout.buttons[0] = {true, 620};
        layout.buttons[1] = {true, 700};
    } else if (sensorType == SENSOR_F0) {
        layout.buttons[0] = {true, 540};
        layout.buttons[1] = {true, 620};
    }
    return layout;
}

SensorModeGroup SensorModeGroupFor(uint8_t reportRateCode, uint8_t sensorMode) {
    if (reportRateCode >= kFirstFastRateCode) return SensorModeGroup{false, SENSOR_MODE_CORDED};
    SensorModeGroup group;
    if (sensorMode < SENSOR_MODE_COUNT) group.checked = sensorMode;
    return group;
}
