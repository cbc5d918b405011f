// Installs a HID backend (the simulated stack) for the life of a fixture. Declare
// it before the objects that talk to devices, so that they are gone before the
// backend is taken away.
#pragma once

#include "device/hid_backend.h"

struct InstalledBackend {
    explicit InstalledBackend(HidBackend& backend) { SetHidBackend(&backend); }
    ~InstalledBackend() { SetHidBackend(nullptr); }
    InstalledBackend(const InstalledBackend&) = delete;
    InstalledBackend& operator=(const InstalledBackend&) = delete;
};
