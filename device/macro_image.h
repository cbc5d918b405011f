// The 320-byte image in which the mouse keeps the macro of one button slot,
// moved in ten 32-byte chunks. Multi-byte fields are little-endian.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "device/macro_store.h"

constexpr size_t DEVICE_MACRO_IMAGE_SIZE = 320;
constexpr size_t MACRO_IMAGE_BUFFER_SIZE = 512;  // built in a larger zeroed buffer
constexpr uint8_t MACRO_CHUNK_COUNT = 0x0A;
constexpr uint8_t MACRO_CHUNK_LENGTH = 0x20;
constexpr size_t MACRO_CHUNK_REPORT_SIZE = 33;  // report id and one chunk

// Offsets in the image.
constexpr size_t MACRO_IMAGE_NAME = 288;
constexpr size_t MACRO_IMAGE_NAME_BYTES = 16;
constexpr size_t MACRO_IMAGE_SIZE_FIELD = 304;
constexpr size_t MACRO_IMAGE_MAGIC = 308;
constexpr size_t MACRO_IMAGE_MACRO_ID = 312;
constexpr size_t MACRO_IMAGE_EVENT_COUNT = 316;
constexpr size_t MACRO_IMAGE_STEP_POSITION = 318;

// Step j (1..71) lies at 4 x j: flags, HID usage, u16 milliseconds.
constexpr uint8_t MACRO_STEP_RELEASE = 0x80;
constexpr uint8_t MACRO_STEP_DELAY = 0x01;
constexpr uint8_t MACRO_STEP_GAP = 0x02;      // the default gap follows
constexpr uint8_t MACRO_STEP_LEADING = 0x04;  // a delay before the first key
constexpr uint16_t MACRO_DEFAULT_GAP_MS = 10;
constexpr uint8_t MACRO_RELEASE_HOLD = 8;  // a release step without a delay after it
constexpr int MACRO_LAST_STEP = 70;        // the encoder stops once it passes this step

class CUSBDriver;

using KeyUsageLookup = uint32_t (*)(uint32_t virtualKey);

// Builds the image of a record into a 512-byte buffer (zeroed first) and returns
// the final step position. Only the first DEVICE_MACRO_IMAGE_SIZE bytes go to the mouse.
int BuildDeviceMacroImage(const MacroRecord& record, uint8_t slot, uint8_t* buffer,
                          KeyUsageLookup usageOf);

// Builds a record's image with the keyboard usages of the current layout and
// uploads it to the slot. Returns the final step position (1 for a record
// without events); 0 for a null record or driver, and when a chunk was refused
// or failed, since the slot then holds a mix of two macros.
int EncodeAndUploadMacro(const MacroRecord* record, CUSBDriver* driver, uint8_t slot);

// The macro name as the mouse shows it: in the OEM code page, cut on a
// character boundary to at most 15 bytes so that a terminator always fits.
std::string MacroNameForDevice(std::u16string_view name);
