#include <gtest/gtest.h>

#include <optional>
#include <vector>

#include "device/file_system.h"
#include "firmware/ota_marker.h"
#include "sim/memory_file_system.h"

namespace {

constexpr char16_t kFolder[] = u"C:\\Quorvel\\";
const std::u16string kMarker = std::u16string(kFolder) + u"config\\ota.ini";

class OtaMarkerTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_files.AddFolder(std::u16string(kFolder) + u"config");
        SetFileSystem(&m_files);
        SetProgramFolder(kFolder);
    }
    void TearDown() override { SetFileSystem(nullptr); }

    MemoryFileSystem m_files;
};

struct MarkerCase {
    const char* name;
    std::optional<std::vector<uint8_t>> file;  // nothing: no file
    uint16_t fwIdWord;
    bool opensUpdate;
    std::optional<std::vector<uint8_t>> afterUpdate;
};

TEST_F(OtaMarkerTest, DecidesAndMarksByTheFirstByte) {
    using Bytes = std::vector<uint8_t>;
    const MarkerCase cases[] = {
        {"zero", Bytes{0}, 0x0001, true, Bytes{1}},
        {"zero, more bytes", Bytes{0, 7, 7}, 0x0001, true, Bytes{1, 7, 7}},
        {"empty", Bytes{}, 0x0001, true, Bytes{1}},
        {"one, id 0x341D", Bytes{1}, 0x341D, true, Bytes{1}},
        {"one, id 0x5560", Bytes{1}, 0x5560, true, Bytes{1}},
        {"one, another id", Bytes{1}, 0x5561, false, Bytes{1}},
        {"one, no id read", Bytes{1}, 0x0000, false, Bytes{1}},
        {"two, id 0x341D", Bytes{2}, 0x341D, false, Bytes{2}},
        // The byte is binary: the digit '0' is not 0.
        {"digit zero", Bytes{'0'}, 0x0001, false, Bytes{'0'}},
        {"missing", std::nullopt, 0x341D, false, std::nullopt},
    };
    for (const MarkerCase& c : cases) {
        SCOPED_TRACE(c.name);
        m_files.Remove(kMarker);
        if (c.file) m_files.PutFile(kMarker, *c.file);
        EXPECT_EQ(ShouldOpenFirmwareUpdate(ReadOtaMarker(), c.fwIdWord), c.opensUpdate);
        MarkFirmwareUpdated();
        EXPECT_EQ(m_files.GetFile(kMarker), c.afterUpdate);
        EXPECT_EQ(m_files.OpenFileCount(), 0);
    }
}

TEST_F(OtaMarkerTest, AMarkerThatCannotBeWrittenIsNotOpened) {
    // It is opened for reading and writing, as the update will rewrite it.
    m_files.PutFile(kMarker, {0});
    m_files.SetReadOnly(kMarker, true);
    EXPECT_EQ(ReadOtaMarker(), std::nullopt);
    MarkFirmwareUpdated();
    EXPECT_EQ(m_files.GetFile(kMarker), std::vector<uint8_t>{0});
}

}  // namespace
