#include "device/macro_readback.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;

constexpr MacroEvent Press(uint32_t vk) { return MakeMacroEvent(MACRO_EVENT_PRESS, vk); }
constexpr MacroEvent Release(uint32_t vk) { return MakeMacroEvent(MACRO_EVENT_RELEASE, vk); }
constexpr MacroEvent Delay(uint32_t ms) { return MakeMacroEvent(MACRO_EVENT_DELAY, ms); }

// Usages 4.. are the letters, as on a US keyboard; anything else has no key.
uint32_t LetterKeys(uint32_t usage) {
    return usage >= 4 && usage <= 29 ? 0x41 + (usage - 4) : 0;
}

// A slot image laid out by offset, the way the mouse keeps it.
class Image {
public:
    Image() : m_bytes(320, 0) {}
    Image& Header(uint8_t repeatMode, uint16_t repeatCount, uint32_t size, uint32_t magic,
                  uint32_t macroId, uint16_t eventCount, uint16_t stepCount) {
        m_bytes[1] = repeatMode;
        U16(2, repeatCount);
        U32(304, size);
        U32(308, magic);
        U32(312, macroId);
        U16(316, eventCount);
        U16(318, stepCount);
        return *this;
    }
    Image& Step(int k, uint8_t flags, uint8_t usage, uint16_t delay) {
        m_bytes[4 * k] = flags;
        m_bytes[4 * k + 1] = usage;
        U16(4 * k + 2, delay);
        return *this;
    }
    Image& Name(const char* name, size_t length) {
        std::memcpy(&m_bytes[288], name, length);
        return *this;
    }
    const uint8_t* data() const { return m_bytes.data(); }

private:
    void U16(size_t at, uint32_t v) {
        m_bytes[at] = uint8_t(v);
        m_bytes[at + 1] = uint8_t(v >> 8);
    }
    void U32(size_t at, uint32_t v) {
        U16(at, v);
        U16(at + 2, v >> 16);
    }
    Bytes m_bytes;
};

std::vector<MacroEvent> EventsOf(const MacroReadback& readback) {
    const MacroBlob& blob = readback.Blob();
    return std::vector<MacroEvent>(blob.Events(), blob.Events() + blob.eventCount);
}

struct DecodeCase {
    const char* name;
    Image image;
    std::vector<MacroEvent> expected;
};

// Images as the encoder writes them: its counts run one ahead of the events,
// and a macro that ends in a delay leaves an empty last step.
TEST(MacroReadbackTest, StepsDecodeToTheEventsTheyHold) {
    const DecodeCase cases[] = {
        {"press, delay, release, delay",
         Image()
             .Header(0, 1, 128, MACRO_MAGIC, 0x15000001, 5, 3)
             .Step(1, 0x01, 4, 50)
             .Step(2, 0x81, 4, 20),
         {Press('A'), Delay(50), Release('A'), Delay(20)}},
        {"leading delay, keys with the default gap, ending on a key",
         Image()
             .Header(0, 1, 128, MACRO_MAGIC, 0x15000002, 5, 3)
             .Step(1, 0x04, 0, 30)
             .Step(2, 0x02, 5, 10)
             .Step(3, 0x80, 5, 8),
         {Delay(30), Press('B'), Release('B')}},
        {"two delays in a row",
         Image()
             .Header(0, 1, 124, MACRO_MAGIC, 0x15000003, 4, 3)
             .Step(1, 0x01, 6, 40)
             .Step(2, 0x01, 0, 60),
         {Press('C'), Delay(40), Delay(60)}},
        {"a usage without a key adds only its delay",
         Image()
             .Header(0, 1, 124, MACRO_MAGIC, 0x15000004, 3, 2)
             .Step(1, 0x01, 0x70, 15)
             .Step(2, 0x80, 7, 8),
         {Delay(15), Release('D')}},
        {"the step count is 16 bits wide, at most 71 steps",
         Image()
             .Header(0, 1, 116, MACRO_MAGIC, 0x15000005, 3, 0x0100)
             .Step(1, 0x01, 4, 50)
             .Step(71, 0x80, 4, 8),
         {Press('A'), Delay(50), Release('A')}},
    };
    for (const DecodeCase& c : cases) {
        SCOPED_TRACE(c.name);
        MacroReadback readback;
        ASSERT_TRUE(readback.Decode(c.image.data(), LetterKeys));
        EXPECT_EQ(EventsOf(readback), c.expected);
        // The header describes what was decoded, not the mouse's counters.
        EXPECT_EQ(readback.Blob().size, 104 + 4 * c.expected.size());
        EXPECT_LE(readback.Blob().size, readback.BufferSize());
    }
}

TEST(MacroReadbackTest, HeaderFieldsComeBackUnchanged) {
    Image image;
    image.Header(2, 0xFFFE, 116, 0xE8E81234, 0x15ABCDEF, 2, 1).Step(1, 0x00, 4, 0);
    image.Name("Sixteen chars!!!", 16);
    MacroReadback readback;
    ASSERT_TRUE(readback.Decode(image.data(), LetterKeys));
    const MacroBlob& blob = readback.Blob();
    EXPECT_EQ(blob.repeatMode, 2u);
    EXPECT_EQ(blob.repeatCount, 0xFFFEu);  // 16 bits: a one-key macro stays one
    EXPECT_EQ(blob.magic, 0xE8E81234u);
    EXPECT_EQ(blob.macroId, 0x15ABCDEFu);
    EXPECT_EQ(readback.Name(), u"Sixteen chars!!!");
    EXPECT_EQ(std::u16string(blob.name), u"Sixteen chars!!!");

    Image counted;
    counted.Header(0, 300, 116, MACRO_MAGIC, 1, 2, 1).Step(1, 0, 4, 0).Name("Mac\0junk", 8);
    ASSERT_TRUE(readback.Decode(counted.data(), LetterKeys));
    EXPECT_EQ(readback.Blob().repeatCount, 300u);
    EXPECT_EQ(readback.Name(), u"Mac");
}

TEST(MacroReadbackTest, AnEmptySlotHoldsNoMacro) {
    Image image;
    image.Header(1, 1, 0, MACRO_MAGIC, 7, 3, 2).Step(1, 0x01, 4, 10);
    MacroReadback readback;
    EXPECT_FALSE(readback.Decode(image.data(), LetterKeys));
    EXPECT_FALSE(readback.Decode(Image().data(), LetterKeys));
}

// Counters from the mouse are not trusted: whatever they say, nothing is
// written or read past the blob, and the count matches what it holds.
TEST(MacroReadbackTest, HostileCountersStayWithinTheBlob) {
    Image full;
    full.Header(0, 1, 0xFFFFFFFF, MACRO_MAGIC, 9, 0xFFFF, 0xFF);
    for (int k = 1; k <= 71; ++k) full.Step(k, 0x01, 4, uint16_t(k));
    MacroReadback readback;
    ASSERT_TRUE(readback.Decode(full.data(), LetterKeys));
    EXPECT_EQ(readback.BufferSize(), 684u);
    EXPECT_EQ(readback.Blob().eventCount, 142u);  // 71 steps, a key and a delay each
    EXPECT_EQ(EventsOf(readback).back(), Delay(71));

    // A size field that claims almost nothing: the blob holds one event and
    // decoding stops there.
    Image tiny;
    tiny.Header(0, 1, 1, MACRO_MAGIC, 9, 0, 3).Step(1, 0x01, 4, 5).Step(2, 0x00, 5, 0);
    ASSERT_TRUE(readback.Decode(tiny.data(), LetterKeys));
    EXPECT_EQ(readback.BufferSize(), 108u);
    EXPECT_EQ(EventsOf(readback), std::vector<MacroEvent>{Press('A')});
}

}  // namespace
