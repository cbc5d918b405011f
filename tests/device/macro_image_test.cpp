#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/macro_image.h"
#include "device/macro_store.h"
#include "text/code_pages.h"
#include "text/u16_buffer.h"

namespace {

constexpr MacroEvent Press(uint32_t vk) { return MakeMacroEvent(MACRO_EVENT_PRESS, vk); }
constexpr MacroEvent Release(uint32_t vk) { return MakeMacroEvent(MACRO_EVENT_RELEASE, vk); }
constexpr MacroEvent Delay(uint32_t ms) { return MakeMacroEvent(MACRO_EVENT_DELAY, ms); }

// Letters as on a US keyboard; everything else is absent.
uint32_t LetterUsage(uint32_t vk) {
    return vk >= 0x41 && vk <= 0x5A ? vk - 0x41 + 0x04 : 0;
}

// An OEM page with one byte for ASCII and two for CJK ideographs, as the
// double-byte pages have.
class FakeOemPage final : public CodePages {
public:
    bool ToUtf16(uint32_t, std::string_view, std::u16string&) override { return false; }
    bool FromUtf16(uint32_t codePage, std::u16string_view text, std::string& out) override {
        out.clear();
        if (codePage != CODE_PAGE_OEM) return false;
        for (char16_t c : text) {
            if (c < 0x80) {
                out += char(c);
            } else if (c >= 0x4E00 && c <= 0x9FFF) {
                out += char(0x81 + (c & 0x1F));
                out += char(0x40 + (c >> 8 & 0x3F));
            } else {
                out += '?';
            }
        }
        return true;
    }
};

MacroRecord Record(std::vector<MacroEvent> events, std::u16string_view name = u"") {
    MacroRecord record{};
    record.size = uint32_t(104 + 4 * events.size());
    record.magic = MACRO_MAGIC;
    record.macroId = 0x15123456;
    record.repeatMode = 2;
    record.repeatCount = 0x10203;  // only the low 16 bits go to the mouse
    record.eventCount = uint32_t(events.size());
    if (!events.empty()) std::memcpy(record.events, events.data(), 4 * events.size());
    CopyToBuffer(record.name, name);
    return record;
}

class MacroImageTest : public ::testing::Test {
protected:
    void SetUp() override { SetCodePages(&oem); }
    void TearDown() override { SetCodePages(nullptr); }

    int Build(const MacroRecord& record, uint8_t slot = 3) {
        std::memset(image, 0xCC, sizeof(image));
        return BuildDeviceMacroImage(record, slot, image, LetterUsage);
    }
    std::vector<uint8_t> Step(int j) const { return {image + 4 * j, image + 4 * j + 4}; }
    uint32_t U16(size_t at) const { return image[at] | image[at + 1] << 8; }
    uint32_t U32(size_t at) const {
        return image[at] | image[at + 1] << 8 | image[at + 2] << 16 | uint32_t(image[at + 3]) << 24;
    }
    // The steps beyond the last written one are zero, up to the name.
    void ExpectZeroStepsFrom(int j) const {
        for (size_t at = 4 * size_t(j); at < MACRO_IMAGE_NAME; ++at)
            ASSERT_EQ(image[at], 0) << "offset " << at;
    }

    FakeOemPage oem;
    uint8_t image[MACRO_IMAGE_BUFFER_SIZE];
};

using Bytes = std::vector<uint8_t>;

TEST_F(MacroImageTest, KeysWithDelaysTakeOneStepEach) {
    EXPECT_EQ(Build(Record({Press(0x41), Delay(50), Release(0x41), Delay(20)})), 3);
    EXPECT_EQ(Bytes(image, image + 4), (Bytes{3, 2, 0x03, 0x02})) << "slot, mode, count";
    EXPECT_EQ(Step(1), (Bytes{0x01, 0x04, 50, 0}));
    EXPECT_EQ(Step(2), (Bytes{0x81, 0x04, 20, 0}));
    ExpectZeroStepsFrom(3);
    EXPECT_EQ(image[MACRO_IMAGE_STEP_POSITION], 3);
    EXPECT_EQ(U16(MACRO_IMAGE_EVENT_COUNT), 5u);
    EXPECT_EQ(U32(MACRO_IMAGE_SIZE_FIELD), 128u);
    EXPECT_EQ(U32(MACRO_IMAGE_MAGIC), MACRO_MAGIC);
    EXPECT_EQ(U32(MACRO_IMAGE_MACRO_ID), 0x15123456u);
    EXPECT_EQ(image[319], 0);
    for (size_t at = DEVICE_MACRO_IMAGE_SIZE; at < MACRO_IMAGE_BUFFER_SIZE; ++at)
        ASSERT_EQ(image[at], 0);
}

TEST_F(MacroImageTest, KeysWithoutDelayGetTheDefaultGap) {
    EXPECT_EQ(Build(Record({Press(0x41), Release(0x41)})), 2);
    EXPECT_EQ(Step(1), (Bytes{0x02, 0x04, 10, 0}));
    EXPECT_EQ(Step(2), (Bytes{0x80, 0x04, 8, 0}));
    ExpectZeroStepsFrom(3);
    EXPECT_EQ(image[MACRO_IMAGE_STEP_POSITION], 2);
    EXPECT_EQ(U16(MACRO_IMAGE_EVENT_COUNT), 3u);
    EXPECT_EQ(U32(MACRO_IMAGE_SIZE_FIELD), 120u);
}

TEST_F(MacroImageTest, DelaySteps) {
    struct Case {
        const char* what;
        std::vector<MacroEvent> events;
        std::vector<Bytes> steps;
    };
    const Case cases[] = {
        {"a leading delay", {Delay(100), Press(0x42)}, {{0x04, 0, 100, 0}, {0x00, 0x05, 0, 0}}},
        {"two delays in a row", {Press(0x41), Delay(5), Delay(300)},
         {{0x01, 0x04, 5, 0}, {0x01, 0, 0x2C, 0x01}}},
        {"a delay beyond 16 bits saturates", {Press(0x41), Delay(70000)}, {{0x01, 0x04, 0xFF, 0xFF}}},
        {"an unknown event writes nothing but is no delay",
         {Press(0x41), Delay(5), 0x12000000, Release(0x41)},
         {{0x01, 0x04, 5, 0}, {0x02, 0, 10, 0}, {0x80, 0x04, 8, 0}}},
        {"an unknown event before a key closes the step with a gap",
         {Press(0x41), 0x12000000, Release(0x41)}, {{0x02, 0x04, 10, 0}, {0x80, 0x04, 8, 0}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Build(Record(c.events));
        for (size_t s = 0; s < c.steps.size(); ++s) EXPECT_EQ(Step(int(s) + 1), c.steps[s]) << s;
    }
}

TEST_F(MacroImageTest, EmptyRecordGivesStepOne) {
    EXPECT_EQ(Build(Record({})), 1);
    ExpectZeroStepsFrom(1);
    EXPECT_EQ(U16(MACRO_IMAGE_EVENT_COUNT), 1u);
    EXPECT_EQ(U32(MACRO_IMAGE_SIZE_FIELD), 112u);
}

TEST_F(MacroImageTest, StopsAfterTheSeventiethStep) {
    // Keys without delays: event k ends on step k + 1, so event 70 fills step 71.
    std::vector<MacroEvent> keys;
    for (int k = 0; k < 200; ++k) keys.push_back(k % 2 ? Release(0x41) : Press(0x41));
    EXPECT_EQ(Build(Record(keys, u"Keys")), 71);
    EXPECT_EQ(Step(70), (Bytes{0x82, 0x04, 10, 0}));
    EXPECT_EQ(Step(71), (Bytes{0x00, 0x04, 0, 0}));
    // Events 0..70 were processed: both count fields say 71.
    EXPECT_EQ(U16(MACRO_IMAGE_EVENT_COUNT), 71u) << "only the events processed count";
    EXPECT_EQ(U32(MACRO_IMAGE_SIZE_FIELD), 112u + 4 * 71);
    EXPECT_EQ(image[MACRO_IMAGE_NAME], 'K') << "the steps never reach the name";

    // Keys each followed by a delay: the 70th delay (event 139) ends the image.
    std::vector<MacroEvent> paced;
    for (int k = 0; k < 100; ++k) {
        paced.push_back(Press(0x41));
        paced.push_back(Delay(1));
    }
    EXPECT_EQ(Build(Record(paced)), 71);
    EXPECT_EQ(Step(70), (Bytes{0x01, 0x04, 1, 0}));
    EXPECT_EQ(Step(71), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(U16(MACRO_IMAGE_EVENT_COUNT), 140u);
    EXPECT_EQ(U32(MACRO_IMAGE_SIZE_FIELD), 112u + 4 * 140);

    // The steps run out on the record's last event: the stop still counts.
    paced.resize(140);
    EXPECT_EQ(Build(Record(paced)), 71);
    EXPECT_EQ(U16(MACRO_IMAGE_EVENT_COUNT), 140u);
    EXPECT_EQ(U32(MACRO_IMAGE_SIZE_FIELD), 112u + 4 * 140);
    paced.resize(139);
    EXPECT_EQ(Build(Record(paced)), 70);
    EXPECT_EQ(U16(MACRO_IMAGE_EVENT_COUNT), 140u) << "all 139 events fit: one ahead";
    EXPECT_EQ(U32(MACRO_IMAGE_SIZE_FIELD), 112u + 4 * 139);
}

TEST_F(MacroImageTest, ForeignEventCountReadsNoFurtherThanTheRecord) {
    MacroRecord record = Record({});
    record.eventCount = 0x7F7F7F7F;
    for (MacroEvent& event : record.events) event = 0x12000000;  // writes no step
    EXPECT_EQ(Build(record), 1);
    EXPECT_EQ(U16(MACRO_IMAGE_EVENT_COUNT), (MACRO_MAX_EVENTS + 1) & 0xFFFF);
}

TEST_F(MacroImageTest, NameInTheOemPage) {
    struct Case {
        const char* what;
        std::u16string name;
        std::string bytes;
    };
    const Case cases[] = {
        {"five letters", u"Macro", "Macro"},
        {"cut to fifteen bytes", u"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNO"},
        {"double-byte characters are never split", u"abcdefgh\u4E00\u4E01\u4E02\u4E03",
         "abcdefgh\x81\x4E\x82\x4E\x83\x4E"},
        {"empty", u"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Build(Record({Press(0x41)}, c.name));
        std::string expected = c.bytes;
        expected.resize(MACRO_IMAGE_NAME_BYTES, '\0');
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(image + MACRO_IMAGE_NAME),
                              MACRO_IMAGE_NAME_BYTES),
                  expected);
    }

    // The system's own OEM page.
    SetCodePages(nullptr);
    Build(Record({Press(0x41)}, u"Macro"));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image + MACRO_IMAGE_NAME), 6),
              std::string("Macro\0", 6));
    SetCodePages(&oem);

    // A name with no terminator in the record.
    MacroRecord record = Record({Press(0x41)});
    for (char16_t& c : record.name) c = u'z';
    Build(record);
    EXPECT_EQ(image[MACRO_IMAGE_NAME + 14], 'z');
    EXPECT_EQ(image[MACRO_IMAGE_NAME + 15], 0);
}

}  // namespace
