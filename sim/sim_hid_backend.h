// The simulated HID stack: the interfaces of simulated devices, the handles the
// device link opens on them, and a timestamped log of every report that passes.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/hid_backend.h"

// One HID interface of a simulated device. A device model derives from it and
// answers the reports sent to its interface; the backend calls these without
// holding its own lock, so a model may push input reports from them.
class SimHidInterface {
public:
    explicit SimHidInterface(HidInterfaceDescription description)
        : m_description(std::move(description)) {}
    virtual ~SimHidInterface() = default;

    const HidInterfaceDescription& Description() const { return m_description; }

    virtual bool HandleSetFeature(const uint8_t* data, size_t length) { return false; }
    // data[0] holds the requested report id; the model fills the rest.
    virtual bool HandleGetFeature(uint8_t* data, size_t length) { return false; }
    virtual bool HandleOutputReport(const uint8_t* data, size_t length) { return false; }

private:
    HidInterfaceDescription m_description;
};

struct SimReport {
    enum class Kind { SetFeature, GetFeature, Input, Output };
    uint32_t time;  // the installed clock's tick count when it passed
    Kind kind;
    std::u16string path;
    std::vector<uint8_t> bytes;  // what was sent, or the reply that came back
    bool ok;
};

class SimHidBackend final : public HidBackend {
public:
    void Plug(std::shared_ptr<SimHidInterface> device);
    // The interface disappears: enumeration no longer lists it and every open
    // handle on it fails from now on, as after a real unplug.
    void Unplug(const std::u16string& path);
    void AddUsbHardwareId(std::u16string hardwareId);
    void RemoveUsbHardwareId(const std::u16string& hardwareId);

    // Queues an input report for the read handles of path; a waiting read takes it.
    void PushInputReport(const std::u16string& path, std::vector<uint8_t> report);

    std::vector<SimReport> Log() const;
    void ClearLog();
    // Called with every report once it has passed, on the thread that sent or
    // read it and outside the stack's lock: a test can pull the cable or switch
    // a fault on at an exact point of an exchange. Null: none.
    void WatchReports(std::function<void(const SimReport&)> watcher);
    int OpenHandleCount() const;
    // Makes Open of path fail for the given access (a device that is busy or gone).
    void FailOpen(const std::u16string& path, HidAccess access, bool fail);

    std::vector<HidInterfaceDescription> EnumerateInterfaces() override;
    std::vector<std::u16string> UsbHardwareIds() override;
    HidHandle Open(const std::u16string& path, HidAccess access) override;
    void Close(HidHandle handle) override;
    bool SetFeature(HidHandle handle, const uint8_t* data, size_t length) override;
    bool GetFeature(HidHandle handle, uint8_t* data, size_t length) override;
    bool ReadInput(HidHandle handle, uint8_t* data, size_t length) override;
    void CancelRead(HidHandle handle) override;
    void ResetRead(HidHandle handle) override;
    bool WriteOutput(HidHandle handle, const uint8_t* data, size_t length,
                     uint32_t* bytesWritten) override;

private:
    struct OpenHandle {
        std::u16string path;
        HidAccess access;
        bool cancelled = false;
        std::deque<std::vector<uint8_t>> input;
    };

    std::shared_ptr<SimHidInterface> DeviceFor(HidHandle handle, HidAccess needed);
    void Record(SimReport::Kind kind, const std::u16string& path, const uint8_t* data,
                size_t length, bool ok);
    std::u16string PathOf(HidHandle handle) const;

    mutable std::mutex m_mutex;
    std::condition_variable m_inputArrived;
    std::vector<std::shared_ptr<SimHidInterface>> m_devices;
    std::vector<std::u16string> m_usbHardwareIds;
    std::map<HidHandle, OpenHandle> m_handles;
    std::vector<std::pair<std::u16string, HidAccess>> m_failingOpens;
    HidHandle m_nextHandle = 0x100;
    std::vector<SimReport> m_log;
    std::function<void(const SimReport&)> m_watcher;
};
