// The HID backend: everything the device link asks of the system's HID stack.
// The Windows build talks to SetupAPI and the HID library; tests and the demo
// build talk to the simulated mouse.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct HidUsage {
    uint16_t usagePage;
    uint16_t usage;
};

// One present HID interface, as discovery sees it.
struct HidInterfaceDescription {
    std::u16string path;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
    bool capsValid = false;               // the preparsed data and capabilities could be read
    HidUsage topLevel{};                  // usage page and usage of the top-level collection
    std::vector<HidUsage> featureValueCaps;  // one per feature value capability, in order
    // The device's property values that are text, in property-key order; discovery
    // takes the USB location from the first one that contains "USB".
    std::vector<std::u16string> deviceProperties;
};

using HidHandle = intptr_t;
constexpr HidHandle kInvalidHidHandle = -1;

enum class HidAccess { None, Read, Write };

class HidBackend {
public:
    virtual ~HidBackend() = default;

    virtual std::vector<HidInterfaceDescription> EnumerateInterfaces() = 0;
    // Hardware-id texts of the present devices of the USB enumerator.
    virtual std::vector<std::u16string> UsbHardwareIds() = 0;

    // Opens an interface for overlapped I/O, sharing read and write.
    virtual HidHandle Open(const std::u16string& path, HidAccess access) = 0;
    virtual void Close(HidHandle handle) = 0;

    // data[0] is the report id; length counts it.
    virtual bool SetFeature(HidHandle handle, const uint8_t* data, size_t length) = 0;
    // data[0] is preset with the report id; the reply replaces the buffer.
    virtual bool GetFeature(HidHandle handle, uint8_t* data, size_t length) = 0;

    // Waits for one input report. Returns false when the read failed at once,
    // or when CancelRead was called for the handle (before or during the wait).
    virtual bool ReadInput(HidHandle handle, uint8_t* data, size_t length) = 0;
    // Ends a ReadInput waiting on handle, from another thread, and makes the
    // next one on it return at once until ResetRead.
    virtual void CancelRead(HidHandle handle) = 0;
    virtual void ResetRead(HidHandle handle) = 0;

    // Writes one output report and waits (bounded) for it to complete.
    virtual bool WriteOutput(HidHandle handle, const uint8_t* data, size_t length,
                             uint32_t* bytesWritten) = 0;
};

// The backend in use. The program's entry point installs one before anything
// talks to a device.
HidBackend& GetHidBackend();
void SetHidBackend(HidBackend* backend);
