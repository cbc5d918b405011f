#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "device/button_codes.h"
#include "device/settings.h"

namespace {

ButtonAssignment Record(FunctionId id, uint32_t deviceCode = 0, uint32_t rawCode = 0) {
    ButtonAssignment record{};
    record.functionId = id;
    record.deviceCode = deviceCode;
    record.rawCode = rawCode;
    return record;
}

// The wire codes of the functions that have one fixed code, as the mouse knows them.
struct CodeRow {
    FunctionId id;
    uint32_t code;
};
constexpr CodeRow kWireCodes[] = {
    {1, 0x00F00001},   {2, 0x00F10001},   {4, 0x00F20001},   {16, 0x00F30001},
    {8, 0x00F40001},   {121, 0x00000000}, {40, 0x01830003},  {32, 0x00CD0003},
    {35, 0x00B50003},  {34, 0x00B60003},  {33, 0x00B70003},  {39, 0x00E20003},
    {37, 0x00E90003},  {38, 0x00EA0003},  {102, 0x018A0003}, {109, 0x01920003},
    {80, 0x01940003},  {101, 0x02210003}, {103, 0x02230003}, {97, 0x02250003},
    {96, 0x02240003},  {98, 0x02260003},  {99, 0x02270003},  {100, 0x022A0003},
    {116, 0x01C90006}, {117, 0x01CA0006}, {118, 0x01CB0006}, {141, 0x00010007},
    {138, 0x00020007}, {139, 0x00030007}, {142, 0x05040007}, {133, 0x0218F00A},
};

TEST(ButtonCodesTest, FixedFunctionsTranslateBothWays) {
    for (const CodeRow& row : kWireCodes) {
        SCOPED_TRACE(row.id);
        EXPECT_EQ(ButtonCodeForRecord(Record(row.id, 0x11223344, 0x55667788), 3), row.code);
        EXPECT_EQ(FunctionForButtonCode(row.code), row.id);
    }
}

TEST(ButtonCodesTest, RecordFieldsAndMacroSlotGiveTheirCodes) {
    EXPECT_EQ(ButtonCodeForRecord(Record(FUNC_SINGLE_KEY, 0x00040100, 7), 0), 0x00040100u);
    EXPECT_EQ(ButtonCodeForRecord(Record(FUNC_RAW_CODE, 7, 0x0004008A), 0), 0x0004008Au);
    // The macro code names the slot of the device button, not the record index.
    EXPECT_EQ(ButtonCodeForRecord(Record(FUNC_MACRO), 4), 0x00040009u);
    EXPECT_EQ(ButtonCodeForRecord(Record(FUNC_MACRO), 0), 0x00000009u);
}

TEST(ButtonCodesTest, FunctionsWithoutACodeSendNothing) {
    const FunctionId noCode[] = {11, 21, 22, 23, 81, 82, 83, 84, 85, 86, 87, 140,
                                 143, 144, 145, 146, 147, 0, -1, 3, 148, 1000};
    for (FunctionId id : noCode) {
        SCOPED_TRACE(id);
        EXPECT_EQ(ButtonCodeForRecord(Record(id, 0x00040100, 0x00040100), 1), std::nullopt);
    }
}

TEST(ButtonCodesTest, ReportedCodesDecodeByKind) {
    struct Case {
        uint32_t code;
        std::optional<FunctionId> expected;
    };
    const Case cases[] = {
        {0x00000000, FUNC_DISABLED},
        {0x00040100, FUNC_SINGLE_KEY},  // Ctrl with usage 0x04
        {0x00001E00, FUNC_SINGLE_KEY},
        {0x00000009, FUNC_MACRO},
        {0x00040009, FUNC_MACRO},
        {0x00020009, FUNC_MACRO},  // a macro code naming another slot is still a macro
        {0x00010080, std::nullopt},  // three plain keys are not read back
        {0x00000080, std::nullopt},
        {0x00F50001, std::nullopt},  // known kinds without a row
        {0x00CE0003, std::nullopt},
        {0x01CC0006, std::nullopt},
        {0x00040007, std::nullopt},
        {0x0218F10A, std::nullopt},
        {0x00F00002, std::nullopt},  // kinds the program has no use for
        {0x00F0000B, std::nullopt},
        {0xFFFFFFFF, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(FunctionForButtonCode(c.code), c.expected);
    }
}

}  // namespace
