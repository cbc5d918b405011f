// What the fuzz targets share: the fuzzer's bytes read as the values a target
// needs, a simulated HID interface that answers from them, and the check of
// the invariants a target holds the code to.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "sim/sim_hid_backend.h"

// Sanitizers catch the memory faults; this catches a result that can never be right.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (0)

// The input read front to back; past its end every read gives zeros.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    bool Empty() const { return m_at >= m_size; }
    size_t Remaining() const { return m_size - m_at; }

    uint8_t Byte() { return Empty() ? 0 : m_data[m_at++]; }
    // Little-endian; the reads are sequenced, as the operands of | would not be.
    uint16_t U16() {
        const uint16_t low = Byte();
        return uint16_t(low | Byte() << 8);
    }
    uint32_t U32() {
        const uint32_t low = U16();
        return low | uint32_t(U16()) << 16;
    }

    // Copies up to size bytes and zeroes the rest of out; returns the bytes copied.
    size_t Fill(void* out, size_t size) {
        const size_t count = std::min(size, Remaining());
        if (count) std::memcpy(out, m_data + m_at, count);
        if (size > count) std::memset(static_cast<uint8_t*>(out) + count, 0, size - count);
        m_at += count;
        return count;
    }

    std::vector<uint8_t> Bytes(size_t size) {
        std::vector<uint8_t> bytes(std::min(size, Remaining()));
        Fill(bytes.data(), bytes.size());
        return bytes;
    }

    std::vector<uint8_t> Rest() { return Bytes(Remaining()); }

    // Files and registry values larger than an input: a length, a pattern that
    // repeats to fill it, and a few 32-bit values laid over it at chosen offsets
    // (the fields that matter, anywhere in a large record).
    std::vector<uint8_t> LargeBlob(size_t maxLength) {
        const size_t length = U16() % (maxLength + 1);
        const std::vector<uint8_t> pattern = Bytes(Byte());
        std::vector<uint8_t> blob(length, 0);
        if (!pattern.empty()) {
            for (size_t i = 0; i < length; ++i) blob[i] = pattern[i % pattern.size()];
        }
        for (int patches = Byte() % 8; patches > 0; --patches) {
            const size_t offset = U16();
            const uint32_t value = U32();
            for (size_t i = 0; i < 4 && offset + i < length; ++i)
                blob[offset + i] = uint8_t(value >> (8 * i));
        }
        return blob;
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// A device whose every reply comes from the input: each get takes one control
// byte (0xF0 and above fail the transfer) and then the reply's bytes after the
// report id. Sets always succeed; once the input is used up every get fails.
class ReplyInterface final : public SimHidInterface {
public:
    ReplyInterface(HidInterfaceDescription description, FuzzInput& input)
        : SimHidInterface(std::move(description)), m_input(input) {}

    bool HandleSetFeature(const uint8_t*, size_t) override { return true; }
    bool HandleOutputReport(const uint8_t*, size_t) override { return true; }
    bool HandleGetFeature(uint8_t* data, size_t length) override {
        if (m_input.Empty() || length == 0) return false;
        if (m_input.Byte() >= 0xF0) return false;
        m_input.Fill(data + 1, length - 1);
        return true;
    }

private:
    FuzzInput& m_input;
};

// Every UTF-16 field of a fixed record must end within its buffer.
template <size_t N>
bool IsTerminated(const char16_t (&field)[N]) {
    return std::find(field, field + N, u'\0') != field + N;
}
