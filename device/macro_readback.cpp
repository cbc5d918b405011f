#include "device/macro_readback.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "device/macro_image.h"
#include "text/code_pages.h"
#include "text/u16_buffer.h"

namespace {

constexpr size_t kRepeatMode = 1;
constexpr size_t kRepeatCount = 2;
constexpr size_t kNameMaxChars = 32;
constexpr int kMaxSteps = 71;

uint32_t U16(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8;
}

uint32_t U32(const uint8_t* at) {
    return U16(at) | U16(at + 2) << 16;
}

std::u16string DeviceName(const uint8_t* bytes) {
    std::u16string name;
    GetCodePages().ToUtf16(CODE_PAGE_OEM,
                           std::string_view(reinterpret_cast<const char*>(bytes), MACRO_IMAGE_NAME_BYTES), name);
    name = std::u16string(BufferText(name.data(), name.size()));
    if (name.size() > kNameMaxChars) name.resize(kNameMaxChars);
    return name;
}

}  // namespace

bool MacroReadback::Decode(const uint8_t* image, UsageToVirtualKey keyOf) {
    std::memset(m_words, 0, sizeof(m_words));
    m_bufferSize = 0;
    m_name.clear();

    const uint32_t sizeField = U32(image + MACRO_IMAGE_SIZE_FIELD);
    if (sizeField == 0) return false;
    const uint32_t eventField = U16(image + MACRO_IMAGE_EVENT_COUNT);
    m_bufferSize = std::min<size_t>(std::max<size_t>(sizeField, 108 + 4 * size_t(eventField)),
                                    MACRO_READBACK_BLOB_LIMIT);
    const size_t capacity = (m_bufferSize - MACRO_BLOB_HEADER_SIZE) / sizeof(MacroEvent);

    MacroBlob& blob = MutableBlob();
    blob.magic = U32(image + MACRO_IMAGE_MAGIC);
    blob.macroId = U32(image + MACRO_IMAGE_MACRO_ID);
    blob.repeatMode = image[kRepeatMode];
    blob.repeatCount = U16(image + kRepeatCount);
    m_name = DeviceName(image + MACRO_IMAGE_NAME);
    CopyToBuffer(blob.name, m_name);

    // The count fields the mouse keeps are not the number of events: the last
    // step position may point one past the last step written, and the event
    // count is one more than the events encoded. The blob says what was decoded.
    MacroEvent* events = Events();
    size_t count = 0;
    auto add = [&](MacroEvent event) {
        if (count == capacity) return false;
        events[count++] = event;
        return true;
    };
    const int steps = std::min<int>(int(U16(image + MACRO_IMAGE_STEP_POSITION)), kMaxSteps);
    for (int k = 1; k <= steps; ++k) {
        const uint8_t* step = image + 4 * k;
        const uint8_t flags = step[0];
        const uint32_t delay = U16(step + 2);
        if (k == 1 && flags == MACRO_STEP_LEADING) {
            if (!add(MakeMacroEvent(MACRO_EVENT_DELAY, delay))) break;
            continue;
        }
        // A step without a key (an empty or a delay-only step) adds no key event.
        const uint32_t key = step[1] != 0 && keyOf ? keyOf(step[1]) : 0;
        if (key != 0 &&
            !add(MakeMacroEvent((flags & MACRO_STEP_RELEASE) ? MACRO_EVENT_RELEASE : MACRO_EVENT_PRESS, key))) {
            break;
        }
        if ((flags & 0x7F) == MACRO_STEP_DELAY && !add(MakeMacroEvent(MACRO_EVENT_DELAY, delay))) break;
    }
    blob.eventCount = uint32_t(count);
    blob.size = uint32_t(MACRO_BLOB_HEADER_SIZE + 4 * count);
    return true;
}
