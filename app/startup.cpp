#include "app/startup.h"

#include "device/clock.h"
#include "device/profiles.h"

std::u16string FolderOfModulePath(std::u16string_view modulePath) {
    size_t slash = modulePath.find_last_of(u'\\');
    if (slash == std::u16string_view::npos) return {};
    return std::u16string(modulePath.substr(0, slash + 1));
}

int WaitForMouseUsbIds(const std::function<bool(std::u16string_view hardwareId)>& isPresent) {
    for (int attempt = 0; attempt < kUsbWaitAttempts; ++attempt) {
        if (isPresent(kUsbIdWired)) return 0;
        if (isPresent(kUsbIdReceiver)) return 1;
        SleepMs(kUsbWaitPauseMs);
    }
    return -1;
}

int LastActiveProfileSlot() {
    int active = -1;
    for (int i = 0; i < PROFILE_SLOT_COUNT; ++i) {
        if (g_profileSlots[i].magic == PROFILE_SLOT_MAGIC && g_profileSlots[i].isActive != 0)
            active = i;
    }
    return active;
}
