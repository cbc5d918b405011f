// The discovery half of the Win32 HID backend.
#pragma once

#include <string>
#include <vector>

#include "device/hid_backend.h"

// Every present interface of the HID class that can be opened for its attributes.
std::vector<HidInterfaceDescription> EnumerateHidInterfacesWin32();
// The hardware ids of the present devices of the USB enumerator, one text per id.
std::vector<std::u16string> UsbHardwareIdsWin32();
