#include "device/macro_image.h"

#include <algorithm>
#include <cstring>

#include "device/key_names.h"
#include "device/usb_driver.h"
#include "text/code_pages.h"

namespace {

void PutU16(uint8_t* at, uint32_t value) {
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}

void PutU32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(value >> (8 * i));
}

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

std::string MacroNameForDevice(std::u16string_view name) {
    constexpr size_t kMaxBytes = MACRO_IMAGE_NAME_BYTES - 1;
    CodePages& codePages = GetCodePages();
    std::string result;
    // One character at a time, so that a double-byte character is never split.
    for (size_t at = 0; at < name.size() && name[at] != u'\0';) {
        size_t length = IsHighSurrogate(name[at]) && at + 1 < name.size() &&
                                IsLowSurrogate(name[at + 1])
                            ? 2
                            : 1;
        std::string bytes;
        if (!codePages.FromUtf16(CODE_PAGE_OEM, name.substr(at, length), bytes)) break;
        if (result.size() + bytes.size() > kMaxBytes) break;
        result += bytes;
        at += length;
    }
    return result;
}

int BuildDeviceMacroImage(const MacroRecord& record, uint8_t slot, uint8_t* buffer,
                          KeyUsageLookup usageOf) {
    std::memset(buffer, 0, MACRO_IMAGE_BUFFER_SIZE);
    buffer[0] = slot;
    buffer[1] = uint8_t(record.repeatMode);
    PutU16(buffer + 2, record.repeatCount);

    const uint32_t count = MacroEventCountOf(record);
    int j = 1;
    // The events processed: all of them, or those up to the one that filled the
    // last step. Both count fields of the image are made from this number.
    uint32_t processed = count;
    bool stopped = false;
    uint8_t previousType = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const MacroEvent event = record.events[i];
        const uint8_t type = MacroEventType(event);
        const uint32_t value = MacroEventValue(event);
        uint8_t* step = buffer + 4 * j;
        switch (type) {
        case MACRO_EVENT_DELAY:
            // The event holds 24 bits but the wire only 16: a long delay stays
            // as long as the wire allows instead of wrapping to a short one.
            PutU16(step + 2, std::min<uint32_t>(value, 0xFFFF));
            if (i == 0) {
                step[0] = MACRO_STEP_LEADING;
                step[1] = 0;
            } else {
                step[0] |= MACRO_STEP_DELAY;
            }
            ++j;
            break;
        case MACRO_EVENT_PRESS:
        case MACRO_EVENT_RELEASE:
            if (previousType != MACRO_EVENT_DELAY && i != 0) {
                step[0] |= MACRO_STEP_GAP;
                PutU16(step + 2, MACRO_DEFAULT_GAP_MS);
                ++j;
                step = buffer + 4 * j;
            }
            step[1] = uint8_t(usageOf(value));
            if (type == MACRO_EVENT_PRESS) {
                step[0] = 0;
            } else {
                step[0] = MACRO_STEP_RELEASE;
                step[2] = MACRO_RELEASE_HOLD;
            }
            break;
        default:
            break;
        }
        previousType = type;
        if (j > MACRO_LAST_STEP) {
            processed = i + 1;
            stopped = true;
            break;
        }
    }

    std::string name = MacroNameForDevice(MacroNameOf(record));
    std::memcpy(buffer + MACRO_IMAGE_NAME, name.data(), name.size());

    // The mouse's count field runs one ahead of the events when the macro fits,
    // and equals them when the steps ran out (also on the macro's last event).
    const uint32_t countField = stopped ? processed : processed + 1;
    PutU32(buffer + MACRO_IMAGE_SIZE_FIELD, 4 * processed + 112);
    PutU32(buffer + MACRO_IMAGE_MAGIC, record.magic);
    PutU32(buffer + MACRO_IMAGE_MACRO_ID, record.macroId);
    PutU16(buffer + MACRO_IMAGE_EVENT_COUNT, countField);
    buffer[MACRO_IMAGE_STEP_POSITION] = uint8_t(j);
    buffer[MACRO_IMAGE_STEP_POSITION + 1] = 0;
    return j;
}

int EncodeAndUploadMacro(const MacroRecord* record, CUSBDriver* driver, uint8_t slot) {
    if (!record || !driver) return 0;
    uint8_t buffer[MACRO_IMAGE_BUFFER_SIZE];
    int position = BuildDeviceMacroImage(*record, slot, buffer, VkToHidUsage);
    if (!driver->UploadMacroChunks(slot, buffer)) return 0;
    return position;
}
