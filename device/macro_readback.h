// A macro read back from one of the mouse's button slots, turned from the
// mouse's 320-byte image into the blob the macro store takes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "device/macro_store.h"

// The largest blob a read-back makes; the image cannot describe more.
constexpr size_t MACRO_READBACK_BLOB_LIMIT = 684;

class MacroReadback {
public:
    using UsageToVirtualKey = uint32_t (*)(uint32_t usage);

    // Decodes a 320-byte image. False when the slot holds no macro (its size
    // field is 0); the blob is then empty.
    bool Decode(const uint8_t* image, UsageToVirtualKey keyOf);

    const MacroBlob& Blob() const { return *reinterpret_cast<const MacroBlob*>(m_words); }
    // The bytes the blob's buffer holds: what the store may read, whatever the
    // header says.
    size_t BufferSize() const { return m_bufferSize; }
    // The macro's name as the mouse keeps it, converted from the OEM code page.
    const std::u16string& Name() const { return m_name; }

private:
    MacroBlob& MutableBlob() { return *reinterpret_cast<MacroBlob*>(m_words); }
    MacroEvent* Events() { return reinterpret_cast<MacroEvent*>(m_words) + MACRO_BLOB_HEADER_SIZE / 4; }

    uint32_t m_words[MACRO_READBACK_BLOB_LIMIT / 4] = {};
    size_t m_bufferSize = 0;
    std::u16string m_name;
};
