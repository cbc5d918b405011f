#include "firmware/ota_protocol.h"

#include "device/device_tables.h"

uint8_t g_otaReport[OTA_BUFFER_SIZE];
uint8_t g_otaReply[OTA_BUFFER_SIZE];

uint8_t g_otaCounter = 0;
uint8_t g_otaSequence = 1;
uint8_t g_otaBlockIndex = 0;
uint8_t g_otaBlockCount = 0;
uint32_t g_otaImageSize = 0;
uint16_t g_otaChecksum = 0;
uint16_t g_otaPacketSize = OTA_DEFAULT_PACKET_SIZE;
uint16_t g_otaPacketsPerGroup = OTA_DEFAULT_PACKETS_PER_GROUP;
uint8_t g_otaPacketDelay = OTA_DEFAULT_PACKET_DELAY;
uint32_t g_otaRetry = 0;

HidHandle g_otaReadHandle = kInvalidHidHandle;
HidHandle g_otaWriteHandle = kInvalidHidHandle;

uint8_t g_fwVersion[3] = {};
uint16_t g_fwIdWord = 0;

uint16_t g_otaVendorId = MOUSE_VENDOR_ID;
uint16_t g_otaProductId = PRODUCT_ID_WIRED;

std::u16string g_otaDevicePath;
uint8_t g_otaProbeByte1 = 0;
uint8_t g_otaProbeByte2 = 0;
