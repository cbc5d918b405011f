// The HID backend of the Windows program: SetupAPI for discovery, the HID
// library for feature reports, overlapped file I/O for input and output reports.
#pragma once

#include "device/hid_backend.h"

HidBackend& GetWin32HidBackend();
