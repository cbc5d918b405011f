// Finding and opening the mouse's update interface, and the firmware version
// query the main window runs at start.
#pragma once

// Searches g_hidInterfaces from the last entry down for a used entry with the
// update vendor and product ids; the first one found gives g_otaDevicePath and
// the two probe bytes. Without a match everything stays as it was.
bool ChooseOtaDevice();

// Opens g_otaReadHandle and g_otaWriteHandle on g_otaDevicePath. True only when
// both opened; otherwise neither is left open.
bool OpenOtaHandles();
void CloseOtaHandles();

// Reads the firmware version and id word over the update protocol from the
// device found in g_hidInterfaces. The outcome is only what the version reply
// leaves in g_fwVersion and g_fwIdWord.
void QueryFirmwareVersion();
