#include "app/app_state.h"

std::u16string g_currentDevicePath;
