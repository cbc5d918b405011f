#include "sim/sim_mouse_state_file.h"

#include <gtest/gtest.h>

#include "sim/memory_file_system.h"

namespace {

using Bytes = std::vector<uint8_t>;

const std::u16string kPath = u"C:\\Demo\\QuorvelDemoMouse.bin";

class SimMouseStateFileTest : public testing::Test {
protected:
    void SetUp() override {
        m_files.AddFolder(u"C:\\Demo");
        SetFileSystem(&m_files);
    }
    void TearDown() override { SetFileSystem(nullptr); }

    // A mouse whose every field and slot differs from a fresh one's.
    static void Customise(SimMouse& mouse) {
        SimMouseSettings s;
        s.reportRate = 3;
        for (int i = 0; i < 6; ++i) {
            s.stages[i].stepX = uint16_t(0x0101 * (i + 1));
            s.stages[i].stepY = uint16_t(0x0F00 + i);
            s.stages[i].colour[0] = uint8_t(10 * i);
            s.stages[i].colour[2] = uint8_t(200 + i);
        }
        s.dpiCount = 3;
        s.dpiCurrent = 2;
        s.dpiLedMode = 2;
        s.dpiByte5 = 0;
        s.dpiByte6 = 7;
        s.sensor[5] = 1;
        s.debounce = 12;
        s.fireCount = 5;
        s.fireInterval = 0x1234;
        s.powerDown = 0xABCD;
        s.buttons[4] = 0x11223344;
        s.ledEffect = 4;
        mouse.SetSettings(s);
        for (uint8_t slot = 0; slot < SIM_MACRO_SLOT_COUNT; ++slot) {
            Bytes image(SIM_MACRO_IMAGE_SIZE);
            for (size_t i = 0; i < image.size(); ++i) image[i] = uint8_t(i * 7 + slot);
            mouse.SetMacroImage(slot, image);
        }
    }

    MemoryFileSystem m_files;
};

TEST_F(SimMouseStateFileTest, AMouseLoadedFromTheFileIsTheMouseThatWasSaved) {
    SimMouse saved;
    Customise(saved);
    ASSERT_TRUE(SaveMouseState(saved, kPath));

    SimMouse loaded;
    ASSERT_TRUE(LoadMouseState(kPath, loaded));
    EXPECT_EQ(EncodeMouseState(loaded), EncodeMouseState(saved));
    const SimMouseSettings s = loaded.Settings();
    EXPECT_EQ(s.stages[5].stepX, 0x0606);
    EXPECT_EQ(s.fireInterval, 0x1234);
    EXPECT_EQ(s.powerDown, 0xABCD);
    EXPECT_EQ(s.buttons[4], 0x11223344u);
    EXPECT_EQ(s.ledEffect, 4);
    EXPECT_EQ(loaded.MacroImage(4), saved.MacroImage(4));
    EXPECT_NE(loaded.MacroImage(4), loaded.MacroImage(3));
}

TEST_F(SimMouseStateFileTest, AMissingShortOrBrokenFileLeavesTheMouseAsItWas) {
    SimMouse source;
    Customise(source);
    const Bytes whole = EncodeMouseState(source);

    struct Case {
        const char* what;
        bool present;
        Bytes bytes;
    };
    Bytes flipped = whole;
    flipped[whole.size() / 2] ^= 0x01;
    Bytes otherTag = whole;
    otherTag[0] = 'X';
    Bytes longer = whole;
    longer.push_back(0);
    const Case cases[] = {
        {"no file", false, {}},
        {"an empty file", true, {}},
        {"a file cut short", true, Bytes(whole.begin(), whole.end() - 1)},
        {"a file with a byte more", true, longer},
        {"a byte changed", true, flipped},
        {"another file's tag", true, otherTag},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_files.Remove(kPath);
        if (c.present) m_files.PutFile(kPath, c.bytes);
        SimMouse mouse;
        mouse.SetSettings(SimMouseSettings{});
        const Bytes before = EncodeMouseState(mouse);
        EXPECT_FALSE(LoadMouseState(kPath, mouse));
        EXPECT_EQ(EncodeMouseState(mouse), before);
    }
}

}  // namespace
