// Finding the mouse among the machine's HID interfaces: the cable mouse's
// interfaces grouped by USB location (g_hidInterfaces), and every connected
// mouse with its cable and receiver paths (g_deviceTable), each found by
// probing its command interface with device and link information requests.
#pragma once

#include <cstdint>
#include <string>

#include "device/hid_backend.h"

// Hardware-id texts of the two products, as start-up looks for them.
constexpr const char16_t* HARDWARE_ID_WIRED = u"VID_093a&PID_622c";
constexpr const char16_t* HARDWARE_ID_RECEIVER = u"VID_093a&PID_522c";

// Vendor collections of the mouse.
constexpr uint16_t USAGE_PAGE_MOUSE_VENDOR = 0xFF05;
constexpr uint16_t USAGE_MOUSE_COMMANDS = 4;  // feature value capability of the command interface
constexpr uint16_t USAGE_MOUSE_CONFIG = 1;    // top level of the configuration collection
constexpr uint16_t USAGE_PAGE_OTA = 0xFF00;
constexpr uint16_t USAGE_OTA = 1;

// Handles of the enumeration probe and of the scan probes; open only during one probe.
extern HidHandle g_probeReadHandle;
extern HidHandle g_probeWriteHandle;
extern HidHandle g_scanReadHandle;
extern HidHandle g_scanWriteHandle;

// True when a present USB device has a hardware id containing text (case ignored).
bool IsUsbIdPresent(const std::u16string& text);

// Refills g_hidInterfaces with the cable mouse's interfaces.
void EnumerateHidInterfaces();

// Asks the device information on path. True when the mouse answered as ready
// with a known device kind.
bool ProbeHidPath(const std::u16string& path, uint8_t& kind, uint8_t& model);

// Refills g_deviceTable and g_deviceCount.
void ScanDevices();

// Probes a cable interface. Outputs start at 0; an identifier of 0xFFFFFFFF is none.
bool ProbeWiredMouse(const std::u16string& path, uint8_t& kind, uint8_t& model, uint32_t& id3,
                     uint32_t& id2, uint32_t& id5, uint32_t& id4);

// Probes a receiver interface. Outputs start at 0; id1 is the receiver's own
// identifier (0xFFFFFFFF when it has none), the others its partners'.
bool ProbeReceiver(const std::u16string& path, uint8_t& receiverKind, uint8_t& deviceKind,
                   uint8_t& linkStatus, uint8_t& model, uint32_t& id1, uint32_t& id3, uint32_t& id2,
                   uint32_t& id5, uint32_t& id4);

// The USB location in a device property value: the text after its second
// backslash, cut before the second '&' that follows. Empty when the value does
// not have that shape.
std::u16string UsbLocationOf(const std::u16string& value);
