#include "sim/sim_hid_backend.h"

#include <algorithm>
#include <cstring>

#include "device/clock.h"

void SimHidBackend::Plug(std::shared_ptr<SimHidInterface> device) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.push_back(std::move(device));
}

void SimHidBackend::Unplug(const std::u16string& path) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_devices.erase(std::remove_if(m_devices.begin(), m_devices.end(),
                                   [&](const auto& d) { return d->Description().path == path; }),
                    m_devices.end());
    m_inputArrived.notify_all();
}

void SimHidBackend::AddUsbHardwareId(std::u16string hardwareId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_usbHardwareIds.push_back(std::move(hardwareId));
}

void SimHidBackend::RemoveUsbHardwareId(const std::u16string& hardwareId) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_usbHardwareIds.erase(
        std::remove(m_usbHardwareIds.begin(), m_usbHardwareIds.end(), hardwareId),
        m_usbHardwareIds.end());
}

void SimHidBackend::PushInputReport(const std::u16string& path, std::vector<uint8_t> report) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& [handle, open] : m_handles) {
        if (open.path == path && open.access == HidAccess::Read) open.input.push_back(report);
    }
    m_inputArrived.notify_all();
}

std::vector<SimReport> SimHidBackend::Log() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
}

void SimHidBackend::ClearLog() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.clear();
}

void SimHidBackend::WatchReports(std::function<void(const SimReport&)> watcher) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_watcher = std::move(watcher);
}

int SimHidBackend::OpenHandleCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return int(m_handles.size());
}

void SimHidBackend::FailOpen(const std::u16string& path, HidAccess access, bool fail) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto entry = std::make_pair(path, access);
    auto it = std::find(m_failingOpens.begin(), m_failingOpens.end(), entry);
    if (fail && it == m_failingOpens.end()) m_failingOpens.push_back(entry);
    if (!fail && it != m_failingOpens.end()) m_failingOpens.erase(it);
}

std::vector<HidInterfaceDescription> SimHidBackend::EnumerateInterfaces() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<HidInterfaceDescription> result;
    for (const auto& device : m_devices) result.push_back(device->Description());
    return result;
}

std::vector<std::u16string> SimHidBackend::UsbHardwareIds() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_usbHardwareIds;
}

HidHandle SimHidBackend::Open(const std::u16string& path, HidAccess access) {
    std::lock_guard<std::mutex> lock(m_mutex);
    bool present = std::any_of(m_devices.begin(), m_devices.end(),
                               [&](const auto& d) { return d->Description().path == path; });
    bool failing = std::find(m_failingOpens.begin(), m_failingOpens.end(),
                             std::make_pair(path, access)) != m_failingOpens.end();
    if (!present || failing) return kInvalidHidHandle;
    HidHandle handle = m_nextHandle++;
    OpenHandle& open = m_handles[handle];
    open.path = path;
    open.access = access;
    return handle;
}

void SimHidBackend::Close(HidHandle handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_handles.erase(handle);
    // Closing a handle ends a read pending on it, as on Windows.
    m_inputArrived.notify_all();
}

std::shared_ptr<SimHidInterface> SimHidBackend::DeviceFor(HidHandle handle, HidAccess needed) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto open = m_handles.find(handle);
    if (open == m_handles.end()) return nullptr;
    // A handle opened without access rights may only ask for attributes.
    if (open->second.access == HidAccess::None) return nullptr;
    if (needed != HidAccess::None && open->second.access != needed) return nullptr;
    for (const auto& device : m_devices) {
        if (device->Description().path == open->second.path) return device;
    }
    return nullptr;
}

std::u16string SimHidBackend::PathOf(HidHandle handle) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto open = m_handles.find(handle);
    return open == m_handles.end() ? std::u16string() : open->second.path;
}

void SimHidBackend::Record(SimReport::Kind kind, const std::u16string& path, const uint8_t* data,
                           size_t length, bool ok) {
    SimReport report{GetClock().TickCount(), kind, path, std::vector<uint8_t>(data, data + length),
                     ok};
    std::function<void(const SimReport&)> watcher;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_log.push_back(report);
        watcher = m_watcher;
    }
    // Outside the lock: the watcher may unplug, plug or push input.
    if (watcher) watcher(report);
}

// The HID class driver lets a feature report through on any handle with access
// rights; the simulation does the same.
bool SimHidBackend::SetFeature(HidHandle handle, const uint8_t* data, size_t length) {
    auto device = DeviceFor(handle, HidAccess::None);
    bool ok = device && device->HandleSetFeature(data, length);
    Record(SimReport::Kind::SetFeature, PathOf(handle), data, length, ok);
    return ok;
}

bool SimHidBackend::GetFeature(HidHandle handle, uint8_t* data, size_t length) {
    auto device = DeviceFor(handle, HidAccess::None);
    bool ok = device && device->HandleGetFeature(data, length);
    Record(SimReport::Kind::GetFeature, PathOf(handle), data, length, ok);
    return ok;
}

bool SimHidBackend::ReadInput(HidHandle handle, uint8_t* data, size_t length) {
    std::unique_lock<std::mutex> lock(m_mutex);
    std::vector<uint8_t> report;
    std::u16string path;
    for (;;) {
        auto open = m_handles.find(handle);
        if (open == m_handles.end() || open->second.access != HidAccess::Read) return false;
        if (open->second.cancelled) return false;
        bool present = std::any_of(m_devices.begin(), m_devices.end(), [&](const auto& d) {
            return d->Description().path == open->second.path;
        });
        if (!present) return false;
        if (!open->second.input.empty()) {
            report = std::move(open->second.input.front());
            open->second.input.pop_front();
            path = open->second.path;
            break;
        }
        m_inputArrived.wait(lock);
    }
    lock.unlock();
    std::memset(data, 0, length);
    std::memcpy(data, report.data(), std::min(length, report.size()));
    Record(SimReport::Kind::Input, path, data, length, true);
    return true;
}

void SimHidBackend::CancelRead(HidHandle handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto open = m_handles.find(handle);
    if (open != m_handles.end()) open->second.cancelled = true;
    m_inputArrived.notify_all();
}

void SimHidBackend::ResetRead(HidHandle handle) {
    std::lock_guard<std::mutex> lock(m_mutex);
    auto open = m_handles.find(handle);
    if (open != m_handles.end()) open->second.cancelled = false;
}

bool SimHidBackend::WriteOutput(HidHandle handle, const uint8_t* data, size_t length,
                                uint32_t* bytesWritten) {
    auto device = DeviceFor(handle, HidAccess::Write);
    bool ok = device && device->HandleOutputReport(data, length);
    if (bytesWritten) *bytesWritten = ok ? uint32_t(length) : 0;
    Record(SimReport::Kind::Output, PathOf(handle), data, length, ok);
    return ok;
}
