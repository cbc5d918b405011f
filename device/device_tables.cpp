#include "device/device_tables.h"

HidInterfaceEntry g_hidInterfaces[DEVICE_TABLE_SIZE];
int g_hidInterfaceCount = 0;
DeviceEntry g_deviceTable[DEVICE_TABLE_SIZE];
int g_deviceCount = 0;
