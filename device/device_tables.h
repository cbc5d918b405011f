// The tables discovery fills: the cable mouse's HID interfaces grouped by USB
// location, and the connected mice with their cable and receiver paths.
#pragma once

#include <cstdint>

constexpr uint16_t MOUSE_VENDOR_ID = 0x093A;
constexpr uint16_t PRODUCT_ID_WIRED = 0x622C;
constexpr uint16_t PRODUCT_ID_RECEIVER = 0x522C;
constexpr int DEVICE_TABLE_SIZE = 30;
constexpr int PATH_LENGTH = 260;
constexpr uint32_t LINK_ID_NONE = 0xFFFFFFFF;

// Bits of HidInterfaceEntry::interfaceMask.
constexpr uint8_t INTERFACE_OTA_OR_CONFIG = 0x01;
constexpr uint8_t INTERFACE_MOUSE = 0x02;

struct HidInterfaceEntry {
    uint32_t used;
    uint8_t interfaceMask;
    char16_t location[PATH_LENGTH];
    char16_t otaPath[PATH_LENGTH];     // feature value caps include 0xFF00 usage 1
    char16_t mousePath[PATH_LENGTH];   // feature value caps include 0xFF05 usage 4
    char16_t configPath[PATH_LENGTH];  // top level 0xFF05 usage 1, no feature value caps
    uint16_t vendorId;
    uint16_t productId;
    uint8_t probed;
    uint8_t probeKind;
    uint8_t probeModel;
};

// Connection k of a device entry: 0 the cable, 1 and 2 the two receiver roles.
constexpr int CONNECTION_COUNT = 3;

struct DeviceEntry {
    uint32_t used;
    uint8_t onlineMask;  // bit k: the mouse answers over path k
    uint8_t pathMask;    // bit k: path k is filled
    char16_t paths[CONNECTION_COUNT][PATH_LENGTH];
    uint8_t deviceKind;
    uint8_t receiverKind;
    int32_t reportId;
    int32_t reportLength;
    uint32_t linkIdA;
    uint32_t linkIdB;
    uint32_t linkIdC;
    uint32_t linkIdD;
    uint8_t sensorType;
};

extern HidInterfaceEntry g_hidInterfaces[DEVICE_TABLE_SIZE];
extern int g_hidInterfaceCount;
extern DeviceEntry g_deviceTable[DEVICE_TABLE_SIZE];
extern int g_deviceCount;
