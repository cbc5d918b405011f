#include "device/device_state.h"

uint8_t g_sensorType = 0;
uint8_t g_isConnected = 0;
uint8_t g_linkType = 0;
uint8_t g_deviceModel = 0;
uint32_t g_syncBusy = 0;
uint32_t g_languageIndex = 0;
uint8_t g_receiverLinkState = 0;
