// Process-wide state of the device link that several subsystems read.
#pragma once

#include <cstdint>

// Sensor type of the connected mouse (0xE1, 0xE2, 0xF0 or 0xF1): it selects the
// DPI formulas, slider ranges, the Y axis and the lift-off choices.
extern uint8_t g_sensorType;

constexpr bool SensorHasYAxis(uint8_t sensorType) {
    return sensorType == 0xF0 || sensorType == 0xF1;
}
