#include "device/device_state.h"

uint8_t g_sensorType = 0;
