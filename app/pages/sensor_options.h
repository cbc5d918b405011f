// The advanced page's choices besides the DPI stages, as tables: the report
// rate buttons and the codes the mouse takes for them, which controls a sensor
// and a link offer, where the lift-off buttons go, and what the sensor-mode
// buttons show at a report rate.
#pragma once

#include <cstdint>
#include <optional>

constexpr int REPORT_RATE_BUTTON_COUNT = 7;  // 125, 250, 500, 1000, 2000, 4000, 8000 Hz
constexpr int RATE_2000 = 4;                 // button indices of the fast rates
constexpr int RATE_4000 = 5;
constexpr int RATE_8000 = 6;
constexpr int LIFT_OFF_BUTTON_COUNT = 3;     // 1 mm, 2 mm, 0.7 mm: the code is the index
constexpr int SENSOR_MODE_COUNT = 3;         // LP, HP, Corded: the code is the index
constexpr int SENSOR_MODE_CORDED = 2;

extern const char16_t* const kReportRateCaptions[REPORT_RATE_BUTTON_COUNT];
extern const char16_t* const kLiftOffCaptions[LIFT_OFF_BUTTON_COUNT];

// The code stored and sent for rate button index (0..6).
uint8_t ReportRateCode(int index);
// The button of a stored code; nothing for a code the buttons do not offer.
std::optional<int> ReportRateIndex(uint8_t code);
// 4000 and 8000 Hz are set only after the user confirms them.
bool RateNeedsConfirmation(int index);
// From 2000 Hz up the sensor runs in its corded mode: the page shows Corded and
// lets no other mode be chosen.
bool RateForcesCorded(int index);

// Which controls the page shows for the connected sensor and link.
struct AdvControlSet {
    bool fastRates = false;      // the 2000, 4000 and 8000 Hz buttons
    bool sensorOptions = false;  // sensor mode, lift-off caption, the three switches, the Y rows
    bool liftOffShort = false;   // the 0.7 mm button
    bool operator==(const AdvControlSet&) const = default;
};
AdvControlSet AdvControlsFor(uint8_t sensorType, uint8_t linkType);

// The lift-off row: where each button (by code) sits, and whether it shows.
struct LiftOffPlace {
    bool shown = false;
    int left = 0;  // page client x; the row is 80 pixels a button, y 195 to 207
    bool operator==(const LiftOffPlace&) const = default;
};
constexpr int LIFT_OFF_TOP = 195;
constexpr int LIFT_OFF_BOTTOM = 207;
constexpr int LIFT_OFF_WIDTH = 80;
struct LiftOffLayout {
    LiftOffPlace buttons[LIFT_OFF_BUTTON_COUNT];
    bool operator==(const LiftOffLayout&) const = default;
};
// Nothing on a sensor without lift-off choices: all three hidden.
LiftOffLayout LiftOffLayoutFor(uint8_t sensorType);

// What the sensor-mode buttons show at a stored rate code: enabled with the
// stored mode checked up to 1000 Hz; disabled with Corded checked above. A
// mode the buttons do not offer checks none.
struct SensorModeGroup {
    bool enabled = true;
    std::optional<int> checked;
    bool operator==(const SensorModeGroup&) const = default;
};
SensorModeGroup SensorModeGroupFor(uint8_t reportRateCode, uint8_t sensorMode);
