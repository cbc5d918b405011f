#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "device/device_state.h"
#include "device/settings.h"

namespace {

// The file format, written by offset into raw bytes, independently of the struct.
class RawRecord {
public:
    explicit RawRecord(uint8_t fill) : m_bytes(sizeof(SettingsImage), fill) {}

    void U8(size_t offset, uint8_t value) { m_bytes.at(offset) = value; }
    void U32(size_t offset, uint32_t value) {
        for (int i = 0; i < 4; ++i) m_bytes.at(offset + i) = uint8_t(value >> (8 * i));
    }
    void Steps(size_t offset, std::initializer_list<uint32_t> steps) {
        for (uint32_t step : steps) {
            U32(offset, step);
            offset += 4;
        }
    }
    const std::vector<uint8_t>& Bytes() const { return m_bytes; }

private:
    std::vector<uint8_t> m_bytes;
};

constexpr size_t kButtonOffsets[BUTTON_COUNT] = {0x0004, 0x042C, 0x0854, 0x0C7C, 0x10A4};
constexpr uint32_t kDefaultFunctions[BUTTON_COUNT] = {1, 2, 4, 8, 16};

// What both default procedures write, at the file-format offsets.
void WriteExpectedDefaults(RawRecord& raw, uint8_t debounce, bool yAxis) {
    raw.U32(0x14E0, 10);
    raw.U8(0x14DC, 0);
    raw.U8(0x14DD, 3);
    raw.U8(0x14CC, 0);
    raw.U8(0x14CD, 0);
    raw.Steps(0x14FC, {7, 15, 31, 47, 63, 127});
    if (yAxis) {
        raw.U8(0x153D, 0x5A);
        raw.Steps(0x1540, {7, 15, 31, 47, 63, 127});
    }
    for (int i = 0; i < BUTTON_COUNT; ++i) {
        raw.U32(kButtonOffsets[i], kDefaultFunctions[i]);
        raw.U8(kButtonOffsets[i] + 0x220, 0);  // empty name: no language loaded
        raw.U8(kButtonOffsets[i] + 0x221, 0);
    }
    raw.U8(0x1534, 1);
    raw.U8(0x14E4, debounce);
    raw.U32(0x14E8, 0x0000FF00);
    raw.U8(0x152C, 6);
    raw.U8(0x152D, 1);
    raw.U8(0x152E, 1);
    raw.U8(0x152F, 1);
    raw.U8(0x1530, 1);
    raw.U8(0x1531, 1);
    raw.U8(0x1532, 0);
    raw.U8(0x1533, 0);
    raw.U32(0x1538, 60);
    raw.U8(0x153C, 0);
}

std::vector<uint8_t> BytesOf(const SettingsImage& record) {
    const auto* p = reinterpret_cast<const uint8_t*>(&record);
    return std::vector<uint8_t>(p, p + sizeof(record));
}

// Reports the first differing offset, which names the field at fault.
void ExpectSameBytes(const std::vector<uint8_t>& expected, const SettingsImage& record) {
    std::vector<uint8_t> actual = BytesOf(record);
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(expected[i], actual[i]) << "first difference at offset 0x" << std::hex << i;
    }
}

class SettingsDefaultsTest : public ::testing::TestWithParam<uint8_t> {
protected:
    void SetUp() override { g_sensorType = GetParam(); }
    void TearDown() override {
        g_sensorType = 0;
        std::memset(&g_settings, 0, sizeof(g_settings));
    }
    bool YAxis() const { return GetParam() == 0xF0 || GetParam() == 0xF1; }
};

TEST_P(SettingsDefaultsTest, ResetWritesTheFactoryRecord) {
    SettingsImage record;
    std::memset(&record, 0xCC, sizeof(record));
    ResetSettingsToDefaults(record);

    RawRecord expected(0);
    expected.U32(0x0000, SETTINGS_MAGIC);
    WriteExpectedDefaults(expected, 4, YAxis());
    ExpectSameBytes(expected.Bytes(), record);
}

TEST_P(SettingsDefaultsTest, NewProfileDefaultsKeepEverythingTheyDoNotName) {
    std::memset(&g_settings, 0xAB, sizeof(g_settings));
    g_settings.buttons[3].functionId = FUNC_MACRO;
    g_settings.buttons[3].macroId = 0x15000007;
    g_settings.buttons[3].deviceCode = 0x00000409;
    g_settings.reportRateCode = 4;

    RawRecord expected(0xAB);
    expected.U32(kButtonOffsets[3] + 0x004, 0x15000007);
    expected.U32(kButtonOffsets[3] + 0x00C, 0x00000409);
    WriteExpectedDefaults(expected, 8, YAxis());

    ApplyNewProfileDefaults();

    ExpectSameBytes(expected.Bytes(), g_settings);
    EXPECT_EQ(g_settings.buttons[3].functionId, FUNC_FORWARD);
    EXPECT_EQ(g_settings.magic, 0xABABABABu) << "the profile store sets the magic, not the defaults";
}

INSTANTIATE_TEST_SUITE_P(SensorTypes, SettingsDefaultsTest,
                         ::testing::Values(uint8_t(0xE1), uint8_t(0xE2), uint8_t(0xF0),
                                           uint8_t(0xF1), uint8_t(0x00)),
                         [](const ::testing::TestParamInfo<uint8_t>& info) {
                             char name[16];
                             std::snprintf(name, sizeof(name), "Sensor%02X", info.param);
                             return std::string(name);
                         });

TEST(SettingsRecordTest, YTableMarkerRule) {
    SettingsImage record{};
    const int32_t x[DPI_LEVEL_COUNT] = {1, 2, 3, 4, 5, 6};
    const int32_t y[DPI_LEVEL_COUNT] = {9, 9, 9, 9, 9, 9};

    std::memcpy(record.dpiStepsX, x, sizeof(x));
    std::memcpy(record.dpiStepsY, y, sizeof(y));
    record.yTableMarker = 0x59;
    ApplyYTableMarkerRule(record);
    EXPECT_EQ(record.yTableMarker, 0x5A);
    EXPECT_EQ(0, std::memcmp(record.dpiStepsY, x, sizeof(x)));

    // A valid Y table is kept as it is.
    std::memcpy(record.dpiStepsY, y, sizeof(y));
    ApplyYTableMarkerRule(record);
    EXPECT_EQ(0, std::memcmp(record.dpiStepsY, y, sizeof(y)));
}

TEST(SettingsRecordTest, DeviceButtonNumbersSwapForwardAndBack) {
    const uint8_t expected[BUTTON_COUNT] = {0, 1, 2, 4, 3};
    for (int i = 0; i < BUTTON_COUNT; ++i) EXPECT_EQ(DeviceButtonNumber(i), expected[i]) << i;
}

}  // namespace
