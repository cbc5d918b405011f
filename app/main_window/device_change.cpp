#include "app/main_window/device_change.h"

#include "device/clock.h"
#include "device/device_tables.h"
#include "device/discovery.h"
#include "text/ascii_case.h"
#include "text/u16_buffer.h"

DeviceChange ClassifyDeviceChange(uint32_t event, uint32_t recordType, std::u16string_view name) {
    if (event != DEVICE_CHANGE_ARRIVAL && event != DEVICE_CHANGE_REMOVE_COMPLETE)
        return DeviceChange::Ignored;
    if (recordType != DEVICE_RECORD_INTERFACE) return DeviceChange::Ignored;
    if (!ContainsIgnoringAsciiCase(name, HARDWARE_ID_WIRED) &&
        !ContainsIgnoringAsciiCase(name, HARDWARE_ID_RECEIVER))
        return DeviceChange::Ignored;
    return event == DEVICE_CHANGE_ARRIVAL ? DeviceChange::Arrival : DeviceChange::Removal;
}

bool ConnectedPathGone(std::u16string_view currentPath) {
    if (currentPath.empty()) return false;
    for (const DeviceEntry& entry : g_deviceTable) {
        if (!entry.used) continue;
        for (const auto& path : entry.paths)
            if (BufferText(path) == currentPath) return false;
    }
    return true;
}

namespace {

uint32_t Now() { return GetClock().TickCount(); }

uint32_t FirstWait(DeviceChange change) {
    return change == DeviceChange::Arrival ? ARRIVAL_FIRST_WAIT_MS : REMOVAL_WAIT_MS;
}

// Tick counts wrap: a due time is reached once the distance to it is no longer positive.
int32_t Until(uint32_t dueAt, uint32_t now) { return int32_t(dueAt - now); }

}  // namespace

void DeviceRescan::Add(DeviceChange change) {
    if (change == DeviceChange::Ignored) return;
    // The change being handled keeps its place: its scans may have begun.
    if (m_queue.size() > 1 && m_queue.back() == change) return;
    if (m_queue.size() == 1 && m_queue.front() == change && m_scans == 0) return;
    m_queue.push_back(change);
    if (m_queue.size() == 1) StartNext(Now());
}

bool DeviceRescan::RemovalPending() const {
    for (DeviceChange change : m_queue)
        if (change == DeviceChange::Removal) return true;
    return false;
}

void DeviceRescan::StartNext(uint32_t now) {
    m_scans = 0;
    if (!m_queue.empty()) m_dueAt = now + FirstWait(m_queue.front());
}

uint32_t DeviceRescan::DueInMs() const {
    const int32_t left = Until(m_dueAt, Now());
    return left > 0 ? uint32_t(left) : 0;
}

bool DeviceRescan::Step(bool syncBusy, RescanTarget& target) {
    if (m_queue.empty() || syncBusy || Until(m_dueAt, Now()) > 0) return false;
    const DeviceChange change = m_queue.front();
    const bool found = target.ScanFindsMouse();
    ++m_scans;
    if (change == DeviceChange::Arrival && !found && m_scans < ARRIVAL_SCAN_LIMIT) {
        m_dueAt = Now() + ARRIVAL_RETRY_WAIT_MS;
        return true;
    }
    if (change == DeviceChange::Removal) target.CheckConnectedPath();
    target.ChangeHandled();
    m_queue.pop_front();
    StartNext(Now());
    return true;
}

bool DeviceRescan::RunRemovalsNow(RescanTarget& target) {
    if (!RemovalPending()) return false;
    const bool currentIsRemoval = m_queue.front() == DeviceChange::Removal;
    std::deque<DeviceChange> rest;
    for (DeviceChange change : m_queue)
        if (change != DeviceChange::Removal) rest.push_back(change);
    target.ScanFindsMouse();
    target.CheckConnectedPath();
    target.ChangeHandled();
    m_queue = std::move(rest);
    // An arrival whose scans had begun goes on where it was; one that had not starts now.
    if (currentIsRemoval) StartNext(Now());
    return true;
}
