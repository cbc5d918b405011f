// Process-wide state of the device link that several subsystems read.
#pragma once

#include <atomic>
#include <cstdint>

// Sensor type of the connected mouse (0xE1, 0xE2, 0xF0 or 0xF1): it selects the
// DPI formulas, slider ranges, the Y axis and the lift-off choices.
extern uint8_t g_sensorType;

// 0 while no mouse is connected; 1, 2 or 3 for the device kinds 7, 2 and 3.
// Readers only test it for non-zero.
extern uint8_t g_isConnected;

// Bytes 4 and 5 of the mouse's device-information reply, kept by the link-state
// query: link type 2 enables the LED effect and the fast report rates; model 0xF1
// hides the battery display.
extern uint8_t g_linkType;
extern uint8_t g_deviceModel;

// Non-zero while a read-all or write-all sync runs. The starter sets it, the
// worker clears it, and the status poll, the windows and the rescans read it
// from other threads: every access goes through the two functions below.
extern uint32_t g_syncBusy;

inline uint32_t LoadSyncBusy() {
    return std::atomic_ref<uint32_t>(g_syncBusy).load();
}
inline void StoreSyncBusy(uint32_t busy) {
    std::atomic_ref<uint32_t>(g_syncBusy).store(busy);
}

// The language choice kept in the registry; 3 selects the AZERTY key tables.
extern uint32_t g_languageIndex;

constexpr bool SensorHasYAxis(uint8_t sensorType) {
    return sensorType == 0xF0 || sensorType == 0xF1;
}

// The last link state the main window's poll read from the receiver (1 linked,
// 0 not linked); the device picker shows it as the receiver's online flag.
extern uint8_t g_receiverLinkState;
