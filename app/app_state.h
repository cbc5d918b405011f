// Process-wide state of the application windows that the device link and the
// pages share.
#pragma once

#include <string>

// The interface path of the connected mouse; empty while none is connected.
extern std::u16string g_currentDevicePath;
