// The mouse's status reports as the main window takes them: what one
// UWM_DEVICE_EVENT carries, what it changes in the settings while no sync runs,
// the battery display's window of recent samples, and when the receiver's link
// state is polled.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "device/settings.h"

// The fields of status report bytes 1, 2, 3 and 7. The nibbles are kept as the
// mouse sent them: whoever uses one as an index checks it first.
struct StatusReport {
    uint8_t batterySample = 0;   // byte 1 bits 0-6
    bool charging = false;       // byte 1 bit 7
    uint8_t reportRateCode = 0;  // byte 2 bits 0-3
    uint8_t dpiCurrent = 0;      // byte 2 bits 4-7
    uint8_t debounceTime = 0;    // byte 3 bits 0-6
    bool profileCycle = false;   // byte 3 bit 7
    uint8_t motionSync = 0;      // byte 7 bits 0-3
    uint8_t liftOffCode = 0;     // byte 7 bits 4-7
};

// wParam holds report bytes 1 to 4, lParam the marker 0x5A and bytes 5 to 7.
// Nothing when the marker is missing: the message did not come from the reader.
std::optional<StatusReport> DecodeDeviceEvent(uint32_t wParam, uint32_t lParam);

// The profile number (1..4) after the active slot index: 1, 2, 3, 4, then 1 again.
int NextProfileNumber(int activeProfileIndex);

// Copies the report's settings into settings unless a sync runs (the sync is
// then their only writer). Returns the profile number to switch to when the
// report asks for the next profile and no sync runs.
std::optional<int> ApplyStatusReport(const StatusReport& report, bool syncBusy,
                                     int activeProfileIndex, SettingsImage& settings);

constexpr int BATTERY_WINDOW_SIZE = 10;

// The most recent battery samples; the display shows their average so that a
// single odd sample does not make the bar jump.
struct BatterySampleWindow {
    int samples[BATTERY_WINDOW_SIZE] = {};
    int count = 0;

    void Clear();
    // A sample from a status report: stored (the oldest dropped once the window
    // is full); returns the integer average of the stored samples.
    int AddSample(int sample);
    // A level from UWM_BATTERY_LEVEL: stored the same way; returns the level
    // itself until the window was full before it came, the average of the ten after.
    int AddLevel(int level);

private:
    void Store(int value);
};

// The one window of the process, emptied whenever the status display is reset.
extern BatterySampleWindow g_batterySampleWindow;

// What the battery bar and its percentage text show.
struct BatteryDisplay {
    int barLevel = 0;
    int imageSet = 1;  // 1 the level images, 0 the charging images
    std::u16string text;
};

// A shown value outside the bar's range puts the bar at its minimum; the text
// still says the value.
BatteryDisplay BatteryDisplayFor(int shown, int imageSet, int barMin, int barMax);

// The receiver's link state is asked only over a receiver path of a connected
// mouse, and never while a sync uses the same handles.
bool ShouldPollLinkState(uint8_t isConnected, int linkMode, uint32_t syncBusy);
