// A macro image as the mouse may hold it in a button slot: decoded into the
// store's blob, stored, encoded back for the mouse and decoded again. Byte 0 of
// the input chooses the key lookup; the next 320 bytes are the image.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "device/key_names.h"
#include "device/macro_image.h"
#include "device/macro_readback.h"
#include "device/macro_store.h"
#include "fuzz/fuzz_input.h"

namespace {

uint32_t KeyOf(uint32_t usage) { return HidUsageToVirtualKey(usage); }
// A lookup that knows every usage, so that every step with a key adds an event.
uint32_t AnyKey(uint32_t usage) { return usage; }
uint32_t UsageOf(uint32_t virtualKey) { return VkToHidUsage(virtualKey); }

bool g_storeTouched = false;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input(data, size);
    if (g_storeTouched) std::memset(&g_macroStore, 0, sizeof(g_macroStore));
    g_storeTouched = false;

    const uint8_t mode = input.Byte();
    const MacroReadback::UsageToVirtualKey lookups[3] = {KeyOf, AnyKey, nullptr};
    uint8_t image[DEVICE_MACRO_IMAGE_SIZE];
    input.Fill(image, sizeof(image));

    MacroReadback readback;
    if (!readback.Decode(image, lookups[mode % 3])) {
        FUZZ_CHECK(readback.BufferSize() == 0 && readback.Name().empty());
        return 0;
    }
    const MacroBlob& blob = readback.Blob();
    FUZZ_CHECK(readback.BufferSize() >= MACRO_BLOB_HEADER_SIZE + 4);
    FUZZ_CHECK(readback.BufferSize() <= MACRO_READBACK_BLOB_LIMIT);
    FUZZ_CHECK(blob.size == MACRO_BLOB_HEADER_SIZE + 4 * blob.eventCount);
    FUZZ_CHECK(blob.size <= readback.BufferSize());
    FUZZ_CHECK(IsTerminated(blob.name));
    FUZZ_CHECK(readback.Name().size() < size_t(MACRO_NAME_LENGTH));

    g_storeTouched = true;
    if (!StoreMacroBlob(&blob, readback.BufferSize())) return 0;
    const MacroRecord* record = FindMacroRecord(blob.macroId);
    FUZZ_CHECK(record && record->eventCount == blob.eventCount);
    FUZZ_CHECK(std::memcmp(record->events, blob.Events(), 4 * blob.eventCount) == 0);
    FUZZ_CHECK(IsTerminated(record->name));

    uint8_t encoded[MACRO_IMAGE_BUFFER_SIZE];
    const int steps = BuildDeviceMacroImage(*record, image[0], encoded, UsageOf);
    FUZZ_CHECK(steps >= 1 && steps <= MACRO_LAST_STEP + 1);
    MacroReadback again;
    FUZZ_CHECK(again.Decode(encoded, KeyOf));
    // A macro the mouse holds whole, with keys both tables know, comes back as it went.
    bool whole = mode % 3 == 0 && steps < MACRO_LAST_STEP;
    for (uint32_t i = 0; whole && i < record->eventCount; ++i) {
        const MacroEvent event = record->events[i];
        whole = MacroEventType(event) == MACRO_EVENT_DELAY ||
                KeyOf(UsageOf(MacroEventValue(event))) == MacroEventValue(event);
    }
    if (whole) {
        FUZZ_CHECK(again.Blob().eventCount == record->eventCount);
        FUZZ_CHECK(std::memcmp(again.Blob().Events(), record->events, 4 * record->eventCount) == 0);
    }
    return 0;
}
