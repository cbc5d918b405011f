// USB hot-plug as the main window handles it: which device-change
// notifications concern the mouse, whether the connected path went with a
// removal, and the rescans a change asks for. The rescans' waits are a
// schedule on the clock that the window steps from its timer, so that no wait
// holds the message loop.
#pragma once

#include <cstdint>
#include <deque>
#include <string_view>

constexpr uint32_t DEVICE_CHANGE_ARRIVAL = 0x8000;          // DBT_DEVICEARRIVAL
constexpr uint32_t DEVICE_CHANGE_REMOVE_COMPLETE = 0x8004;  // DBT_DEVICEREMOVECOMPLETE
constexpr uint32_t DEVICE_RECORD_INTERFACE = 5;             // DBT_DEVTYP_DEVICEINTERFACE

constexpr uint32_t ARRIVAL_FIRST_WAIT_MS = 300;
constexpr uint32_t ARRIVAL_RETRY_WAIT_MS = 200;
constexpr int ARRIVAL_SCAN_LIMIT = 21;
constexpr uint32_t REMOVAL_WAIT_MS = 500;

enum class DeviceChange { Ignored, Arrival, Removal };

// Only arrivals and completed removals of a device interface whose name holds
// one of the mouse's USB ids (letter case ignored) concern the mouse.
DeviceChange ClassifyDeviceChange(uint32_t event, uint32_t recordType, std::u16string_view name);

// True when a mouse was connected (currentPath not empty) and no used entry of
// the device table holds its path any more (compared exactly).
bool ConnectedPathGone(std::u16string_view currentPath);

// What a rescan does on the device link and the window.
class RescanTarget {
public:
    virtual ~RescanTarget() = default;
    // Scans the device table; true when it lists a mouse.
    virtual bool ScanFindsMouse() = 0;
    // After a removal's scan: the window lets the connection go if its path went.
    virtual void CheckConnectedPath() = 0;
    // A change has been handled: the device picker rebuilds its tiles.
    virtual void ChangeHandled() = 0;
};

// The rescans of the changes not yet handled, one change after the other, as
// the system would have delivered them to a handler that waited in place: an
// arrival scans 300 ms after it starts and again every 200 ms while no mouse
// is found, 21 scans at most; a removal scans once after 500 ms. Times come
// from the clock seam.
class DeviceRescan {
public:
    // A further change of the same kind as the last one waiting adds nothing:
    // its rescan would find the same table.
    void Add(DeviceChange change);
    bool Pending() const { return !m_queue.empty(); }
    bool RemovalPending() const;
    // Milliseconds until the next step is due, 0 when it is due now; only while pending.
    uint32_t DueInMs() const;
    // Runs the step that is due, if one is and no sync runs; a sync holds every
    // step until it has ended. True when a step ran.
    bool Step(bool syncBusy, RescanTarget& target);
    // Runs the waiting removals at once, scanning once for all of them (a sync
    // that ended has held them past their wait). True when one ran.
    bool RunRemovalsNow(RescanTarget& target);
    int ScansOfCurrentChange() const { return m_scans; }

private:
    void StartNext(uint32_t now);

    std::deque<DeviceChange> m_queue;
    uint32_t m_dueAt = 0;
    int m_scans = 0;
};
