// The firmware image the program carries: resource 152 of type "BIN". The
// product build holds only an image given to the build; without one it holds
// none, and an update reports failure without sending anything.
#pragma once

#include <cstdint>

struct FirmwareImage {
    const uint8_t* data = nullptr;  // null when the program holds no image
    uint32_t size = 0;
};

constexpr int FIRMWARE_IMAGE_RESOURCE_ID = 152;

// Windows build only: the image in the program's resources.
FirmwareImage LoadEmbeddedFirmwareImage();
