#include "firmware/firmware_image.h"

#include <windows.h>

FirmwareImage LoadEmbeddedFirmwareImage() {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(FIRMWARE_IMAGE_RESOURCE_ID), L"BIN");
    if (!found) return {};
    // A loaded resource stays mapped with the module: nothing to free.
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return {};
    return {static_cast<const uint8_t*>(data), uint32_t(SizeofResource(nullptr, found))};
}
