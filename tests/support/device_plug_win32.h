// Plugging and unplugging the simulated machine's USB devices the way a user
// does: the device's HID interfaces and its USB id come or go in the simulated
// stack, and the window that registered for USB device interfaces hears the
// WM_DEVICECHANGE a real system sends it, while every top-level window of the
// process hears that the device tree changed.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "sim/sim_demo_mouse.h"

struct SimUsbDevice {
    std::vector<std::shared_ptr<SimHidInterface>> interfaces;
    std::u16string hardwareId;   // in the stack's USB id list while plugged in
    std::wstring interfaceName;  // the USB device interface the notices name
};

// The rig's mouse on its cable, and its receiver.
SimUsbDevice CableDevice(const SimMouseRig& rig);
SimUsbDevice ReceiverDevice(const SimMouseRig& rig);

// The notice of one USB device interface arriving (DBT_DEVICEARRIVAL) or gone
// (DBT_DEVICEREMOVECOMPLETE), sent to window and handled before it returns.
void SendDeviceChange(HWND window, UINT event, const wchar_t* interfaceName);

// notify: the window registered for the notices (null: none).
void UnplugDevice(SimHidBackend& backend, const SimUsbDevice& device, HWND notify);
void PlugDevice(SimHidBackend& backend, const SimUsbDevice& device, HWND notify);
