#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "ota_fixture.h"

namespace {

std::vector<uint8_t> Report() {
    return std::vector<uint8_t>(g_otaReport, g_otaReport + OTA_REPORT_LENGTH);
}

// The expected 64 bytes: the given start, zeros after it.
std::vector<uint8_t> Padded(std::vector<uint8_t> start) {
    start.resize(OTA_REPORT_LENGTH, 0);
    return start;
}

const uint8_t kData21[21] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                             12, 13, 14, 15, 16, 17, 18, 19, 20, 21};

struct BuilderCase {
    const char* name;
    uint8_t counter, sequence, blockIndex;
    uint16_t checksum;
    uint32_t imageSize;
    std::function<bool()> build;
    std::vector<uint8_t> expected;  // up to the last non-zero byte
    uint8_t counterAfter, sequenceAfter, blockIndexAfter;
};

void PrintTo(const BuilderCase& c, std::ostream* os) {
    *os << c.name;
}

class OtaBuilderTest : public ::testing::TestWithParam<BuilderCase> {
protected:
    void SetUp() override { ResetOtaState(); }
};

TEST_P(OtaBuilderTest, BuildsEveryByteAndAdvancesTheCounters) {
    const BuilderCase& c = GetParam();
    // Bytes left from an earlier, longer exchange must not leak into the report.
    std::memset(g_otaReport, 0xAA, sizeof(g_otaReport));
    g_otaCounter = c.counter;
    g_otaSequence = c.sequence;
    g_otaBlockIndex = c.blockIndex;
    g_otaChecksum = c.checksum;
    g_otaImageSize = c.imageSize;
    ASSERT_TRUE(c.build());
    EXPECT_EQ(Report(), Padded(c.expected));
    EXPECT_EQ(g_otaCounter, c.counterAfter);
    EXPECT_EQ(g_otaSequence, c.sequenceAfter);
    EXPECT_EQ(g_otaBlockIndex, c.blockIndexAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Reports, OtaBuilderTest,
    ::testing::Values(
        // Whatever the counters held, the start command carries 0 and 1.
        BuilderCase{"StartFor104716Bytes", 77, 9, 0, 0, 0, [] { return BuildOtaStartReport(104716); },
                    {0x03, 0x9A, 0x65, 0x3A, 0x00, 0x00, 0x27, 0x01, 0x06, 0x27, 0x0C, 0x99, 0x01, 0x00},
                    1, 2, 0},
        BuilderCase{"StartForTheVersionQuery", 5, 5, 3, 0, 0, [] { return BuildOtaStartReport(0); },
                    {0x03, 0xF4, 0x65, 0x3A, 0x00, 0x00, 0x27, 0x01, 0x06, 0x27}, 1, 2, 3},
        BuilderCase{"Cmd42", 1, 2, 0, 0, 0, [] { return BuildOtaCmd42Report(); },
                    {0x03, 0x28, 0x65, 0x3A, 0x01, 0x00, 0x42, 0x02, 0x02, 0x42}, 2, 3, 0},
        BuilderCase{"VersionQuery", 2, 3, 0, 0, 0, [] { return BuildOtaVersionQueryReport(); },
                    {0x03, 0xEC, 0x65, 0x3A, 0x02, 0x00, 0x23, 0x03, 0x02, 0x23}, 3, 4, 0},
        BuilderCase{"FirstBlockHeader", 2, 3, 0, 0, 0, [] { return BuildOtaBlockHeaderReport(); },
                    {0x03, 0x07, 0x65, 0x3A, 0x02, 0x00, 0x25, 0x03, 0x09, 0x25, 0x00, 0x00, 0x00,
                     0x00, 0x00, 0x10},
                    3, 4, 1},
        // The last block of a 104,716-byte image still announces 4096 bytes.
        BuilderCase{"LastBlockHeader", 0x98, 0x99, 25, 0, 0, [] { return BuildOtaBlockHeaderReport(); },
                    {0x03, 0xC4, 0x65, 0x3A, 0x98, 0x00, 0x25, 0x99, 0x09, 0x25, 0x00, 0x90, 0x01,
                     0x00, 0x00, 0x10},
                    0x99, 0x9A, 26},
        BuilderCase{"GroupChecksum", 3, 4, 1, 0xBEEF, 0, [] { return BuildOtaGroupChecksumReport(); },
                    {0x03, 0xD8, 0x65, 0x3A, 0x03, 0x00, 0x41, 0x04, 0x03, 0x41, 0xEF, 0xBE}, 4, 5, 1},
        // Data packets carry counter 0 and the current sequence, and advance nothing.
        BuilderCase{"DataOf21Bytes", 3, 4, 1, 0, 0, [] { return BuildOtaDataReport(21, kData21); },
                    {0x03, 0xDF, 0x65, 0x3A, 0x00, 0x00, 0x40, 0x04, 0x15, 1,  2,  3,  4,  5,  6,
                     7,    8,    9,    10,   11,   12,   13,   14,   15,   16, 17, 18, 19, 20, 21},
                    3, 4, 1},
        BuilderCase{"Finish", 0x9C, 0x9D, 26, 0x1234, 104716, [] { return BuildOtaFinishReport(); },
                    {0x03, 0x5C, 0x65, 0x3A, 0x9C, 0x00, 0x18, 0x9D, 0x0C, 0x18, 0x0C, 0x99, 0x01,
                     0x00, 0x34, 0x12, 0x00, 0x2E, 0x00, 0x2E},
                    0x9D, 0x9E, 26},
        BuilderCase{"End", 0x9D, 0x9E, 26, 0, 0, [] { return BuildOtaEndReport(); },
                    {0x03, 0x20, 0x65, 0x3A, 0x9D, 0x00, 0x22, 0x9E, 0x02, 0x22}, 0x9E, 0x9F, 26},
        // Counter and sequence are bytes: they wrap.
        BuilderCase{"CommandAtTheWrap", 0xFF, 0xFF, 0, 0, 0, [] { return BuildOtaCmd42Report(); },
                    {0x03, 0x23, 0x65, 0x3A, 0xFF, 0x00, 0x42, 0xFF, 0x02, 0x42}, 0x00, 0x00, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(OtaDataReportTest, RefusesWhatNoReportCanCarry) {
    ResetOtaState();
    std::vector<uint8_t> data(56, 0x5A);
    std::memset(g_otaReport, 0xAA, sizeof(g_otaReport));
    EXPECT_FALSE(BuildOtaDataReport(10, nullptr));
    EXPECT_FALSE(BuildOtaDataReport(56, data.data())) << "more than 64 - 9 bytes";
    EXPECT_EQ(g_otaReport[0], 0xAA) << "a refused packet builds nothing";

    ASSERT_TRUE(BuildOtaDataReport(55, data.data()));
    EXPECT_EQ(g_otaReport[8], 55);
    EXPECT_EQ(g_otaReport[63], 0x5A) << "55 bytes fill the report to its last byte";
    EXPECT_EQ(g_otaReport[64], 0) << "the builder clears 66 bytes";
}

// A reply fixture: plain header with the given echo, and a mutation on top.
struct ReplyCase {
    const char* name;
    uint8_t counter;  // g_otaCounter when the reply is checked
    std::vector<std::pair<int, uint8_t>> bytes;  // set after the plain header 03 65 00 25 <counter-1>
    bool accepted;
    std::vector<uint8_t> versionAfter;  // {} = unchanged from 7.7.7
    int idWordAfter;                    // -1 = unchanged from 0x7777
    int packetSizeAfter, perGroupAfter; // -1 = unchanged from 25 / 40
};

void PrintTo(const ReplyCase& c, std::ostream* os) {
    *os << c.name;
}

class OtaReplyCheckTest : public ::testing::TestWithParam<ReplyCase> {};

std::vector<std::pair<int, uint8_t>> VersionReply(bool dots) {
    return {{5, 0x00}, {6, 0x0E}, {7, 9},  {8, 0x23}, {9, 0},         {10, 2},
            {11, uint8_t(dots ? '.' : 0)}, {12, 5},   {13, uint8_t(dots ? '.' : 0)},
            {14, 11}, {15, 0x1D}, {16, 0x34}};
}

std::vector<std::pair<int, uint8_t>> StartReply(uint8_t length) {
    return {{5, 0x00}, {6, 0x0E}, {7, length}, {8, 0x27}, {9, 0},
            {19, 0x30}, {20, 0x00}, {21, 0x08}, {22, 0x01}};
}

template <typename V>
V With(V base, std::vector<std::pair<int, uint8_t>> more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

TEST_P(OtaReplyCheckTest, AcceptsOnlyTheAnswerToTheLastReport) {
    const ReplyCase& c = GetParam();
    ResetOtaState();
    g_fwVersion[0] = g_fwVersion[1] = g_fwVersion[2] = 7;
    g_fwIdWord = 0x7777;
    g_otaCounter = c.counter;
    const uint8_t header[5] = {0x03, 0x65, 0x00, 0x25, uint8_t(c.counter - 1)};
    std::memcpy(g_otaReply, header, sizeof(header));
    for (auto [at, value] : c.bytes) g_otaReply[at] = value;

    EXPECT_EQ(CheckOtaReply(), c.accepted);
    std::vector<uint8_t> version(g_fwVersion, g_fwVersion + 3);
    const std::vector<uint8_t> unchanged{7, 7, 7};
    EXPECT_EQ(version, c.versionAfter.empty() ? unchanged : c.versionAfter);
    EXPECT_EQ(g_fwIdWord, c.idWordAfter < 0 ? 0x7777 : c.idWordAfter);
    EXPECT_EQ(g_otaPacketSize, c.packetSizeAfter < 0 ? 25 : c.packetSizeAfter);
    EXPECT_EQ(g_otaPacketsPerGroup, c.perGroupAfter < 0 ? 40 : c.perGroupAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, OtaReplyCheckTest,
    ::testing::Values(
        ReplyCase{"PlainConfirmation", 5, {}, true, {}, -1, -1, -1},
        ReplyCase{"WrongReportId", 5, {{0, 0x09}}, false, {}, -1, -1, -1},
        ReplyCase{"WrongSecondByte", 5, {{1, 0x66}}, false, {}, -1, -1, -1},
        ReplyCase{"WrongThirdByte", 5, {{2, 0x01}}, false, {}, -1, -1, -1},
        ReplyCase{"WrongFourthByte", 5, {{3, 0x3A}}, false, {}, -1, -1, -1},
        ReplyCase{"StaleEcho", 5, {{4, 3}}, false, {}, -1, -1, -1},
        ReplyCase{"EchoOfTheCurrentCounter", 5, {{4, 5}}, false, {}, -1, -1, -1},
        ReplyCase{"EchoOf255AfterTheWrap", 0, {}, true, {}, -1, -1, -1},
        ReplyCase{"AllZeros", 1, {{0, 0}, {1, 0}, {3, 0}}, false, {}, -1, -1, -1},
        ReplyCase{"VersionWithDots", 3, VersionReply(true), true, {2, 5, 11}, 0x341D, -1, -1},
        ReplyCase{"VersionWithoutDots", 3, VersionReply(false), true, {}, 0x341D, -1, -1},
        ReplyCase{"VersionOfAnotherLength", 3, With(VersionReply(true), {{7, 8}}), true, {}, -1, -1, -1},
        ReplyCase{"VersionWithoutPayloadMark", 3, With(VersionReply(true), {{6, 0x0D}}), true, {}, -1, -1, -1},
        ReplyCase{"StaleVersion", 3, With(VersionReply(true), {{4, 1}}), false, {}, -1, -1, -1},
        ReplyCase{"StartReply", 1, StartReply(0x10), true, {}, -1, 0x30, 0x108},
        ReplyCase{"StartReplyOfAnotherLength", 1, StartReply(0x0F), true, {}, -1, -1, -1},
        ReplyCase{"StartReplyWithNonZeroByte9", 1, With(StartReply(0x10), {{9, 1}}), true, {}, -1, -1, -1},
        ReplyCase{"StartReplyWithByte5Set", 1, With(StartReply(0x10), {{5, 1}}), true, {}, -1, -1, -1}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- The exchange, against the simulated device ----

using OtaExchangeTest = OtaFixture;

struct ExchangeCase {
    OtaPacing pacing;
    uint32_t staleReads;
    bool accepted;
    size_t reads;
};

TEST_F(OtaExchangeTest, ReadsUntilAcceptedOrTheLimit) {
    const ExchangeCase cases[] = {
        {{10, 100, 10}, 0, true, 1},    {{10, 100, 10}, 9, true, 10},
        {{10, 100, 10}, 10, false, 10}, {{10, 100, 10}, 50, false, 10},
        {{10, 120, 100}, 99, true, 100}, {{100, 100, 100}, 100, false, 100},
    };
    for (const ExchangeCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "limit " << c.pacing.readLimit << ", stale "
                                          << c.staleReads);
        m_backend.ClearLog();
        g_otaDevicePath = kPath;
        ASSERT_TRUE(OpenOtaHandles());
        m_device->FaultStaleReplies(OTA_CMD_START, c.staleReads);
        BuildOtaStartReport(0);
        const uint32_t before = m_clock->TickCount();
        EXPECT_EQ(ExchangeOtaReport(c.pacing), c.accepted);
        EXPECT_EQ(ReadCount(), c.reads);

        // The pause after the report, then the poll interval between reads.
        auto log = m_backend.Log();
        ASSERT_EQ(log.size(), c.reads + 1);
        EXPECT_EQ(log[0].time, before);
        EXPECT_EQ(log[1].time - log[0].time, c.pacing.pauseMs);
        for (size_t i = 2; i < log.size(); ++i) {
            EXPECT_EQ(log[i].time - log[i - 1].time, c.pacing.pollIntervalMs);
        }
        CloseOtaHandles();
    }
}

TEST_F(OtaExchangeTest, FailedReadsCountAgainstTheLimit) {
    g_otaDevicePath = kPath;
    ASSERT_TRUE(OpenOtaHandles());
    m_device->FaultNoReply(OTA_CMD_START, 3);
    BuildOtaStartReport(0);
    EXPECT_TRUE(ExchangeOtaReport({10, 100, 10}));
    EXPECT_EQ(g_otaRetry, 4u);

    m_device->FaultNoReply(OTA_CMD_42, 10);
    BuildOtaCmd42Report();
    EXPECT_FALSE(ExchangeOtaReport({10, 100, 10}));
}

TEST_F(OtaExchangeTest, StopEndsThePollingBeforeTheNextRead) {
    g_otaDevicePath = kPath;
    ASSERT_TRUE(OpenOtaHandles());
    m_device->FaultStaleReplies(OTA_CMD_START, 1000);
    BuildOtaStartReport(0);
    int asked = 0;
    EXPECT_FALSE(ExchangeOtaReport({10, 100, 100}, [&] { return ++asked == 3; }));
    EXPECT_EQ(ReadCount(), 3u);
}

// ---- Choosing and opening the update device ----

TEST(OtaDeviceChoiceTest, TakesTheHighestUsedEntryOfTheCableMouse) {
    ResetOtaState();
    ClearInterfaceTable();
    PutInterfaceEntry(0, MOUSE_VENDOR_ID, PRODUCT_ID_WIRED, u"path-A", 7, 1);
    PutInterfaceEntry(5, MOUSE_VENDOR_ID, PRODUCT_ID_WIRED, u"path-B", 2, 0);
    PutInterfaceEntry(12, MOUSE_VENDOR_ID, PRODUCT_ID_RECEIVER, u"receiver", 7, 1);
    PutInterfaceEntry(20, 0x1234, PRODUCT_ID_WIRED, u"other-vendor", 7, 1);
    PutInterfaceEntry(29, MOUSE_VENDOR_ID, PRODUCT_ID_WIRED, u"unused", 7, 1);
    g_hidInterfaces[29].used = 0;

    ASSERT_TRUE(ChooseOtaDevice());
    EXPECT_EQ(g_otaDevicePath, u"path-B");
    EXPECT_EQ(g_otaProbeByte1, 2);
    EXPECT_EQ(g_otaProbeByte2, 0);

    // Without a match, the path found before stays.
    g_hidInterfaces[0].used = g_hidInterfaces[5].used = 0;
    g_otaProbeByte1 = 9;
    EXPECT_FALSE(ChooseOtaDevice());
    EXPECT_EQ(g_otaDevicePath, u"path-B");
    EXPECT_EQ(g_otaProbeByte1, 9);

    // The ids discovery sets decide which entries count.
    g_otaProductId = PRODUCT_ID_RECEIVER;
    ASSERT_TRUE(ChooseOtaDevice());
    EXPECT_EQ(g_otaDevicePath, u"receiver");
    ClearInterfaceTable();
}

using OtaHandlesTest = OtaFixture;

TEST_F(OtaHandlesTest, OpensBothOrNeither) {
    EXPECT_FALSE(OpenOtaHandles()) << "no path chosen yet";
    EXPECT_EQ(m_backend.OpenHandleCount(), 0);

    g_otaDevicePath = kPath;
    ASSERT_TRUE(OpenOtaHandles());
    EXPECT_EQ(m_backend.OpenHandleCount(), 2);
    CloseOtaHandles();
    EXPECT_EQ(m_backend.OpenHandleCount(), 0);
    EXPECT_EQ(g_otaReadHandle, kInvalidHidHandle);
    EXPECT_EQ(g_otaWriteHandle, kInvalidHidHandle);

    for (HidAccess failing : {HidAccess::Read, HidAccess::Write}) {
        m_backend.FailOpen(kPath, failing, true);
        EXPECT_FALSE(OpenOtaHandles());
        EXPECT_EQ(m_backend.OpenHandleCount(), 0);
        EXPECT_EQ(g_otaReadHandle, kInvalidHidHandle);
        EXPECT_EQ(g_otaWriteHandle, kInvalidHidHandle);
        m_backend.FailOpen(kPath, failing, false);
    }
}

// ---- The start-up version query ----

using FirmwareVersionQueryTest = OtaFixture;

TEST_F(FirmwareVersionQueryTest, ReadsVersionAndIdWordWithAndWithoutDots) {
    m_device->SetVersion(1, 4, 9, 0x5560);
    g_fwIdWord = 0x1111;
    QueryFirmwareVersion();
    EXPECT_EQ(std::vector<uint8_t>(g_fwVersion, g_fwVersion + 3), (std::vector<uint8_t>{1, 4, 9}));
    EXPECT_EQ(g_fwIdWord, 0x5560);
    EXPECT_EQ(g_otaDevicePath, kPath);
    EXPECT_EQ(g_otaProbeByte1, 7);
    EXPECT_EQ(g_otaProbeByte2, 1);
    // Start, 0x42 and the version query; no end command follows.
    EXPECT_EQ(SentCommands(), (std::vector<uint8_t>{OTA_CMD_START, OTA_CMD_42, OTA_CMD_GET_VERSION}));
    EXPECT_EQ(m_backend.OpenHandleCount(), 0);
    EXPECT_EQ(g_otaReadHandle, kInvalidHidHandle);
    EXPECT_EQ(g_otaWriteHandle, kInvalidHidHandle);
    EXPECT_TRUE(m_device->ProtocolErrors().empty());

    m_backend.ClearLog();
    m_device->SetVersion(2, 0, 1, 0x341D, false);
    QueryFirmwareVersion();
    EXPECT_EQ(std::vector<uint8_t>(g_fwVersion, g_fwVersion + 3), (std::vector<uint8_t>{1, 4, 9}))
        << "without the dots the version stays";
    EXPECT_EQ(g_fwIdWord, 0x341D);
    EXPECT_EQ(SentCommands().size(), 3u);
}

TEST_F(FirmwareVersionQueryTest, AFailedExchangeAbandonsTheRest) {
    struct Case {
        uint8_t command;
        uint32_t staleReads;
        std::vector<uint8_t> sent;
        bool versionRead;
    };
    const Case cases[] = {
        {OTA_CMD_START, 10, {OTA_CMD_START}, false},
        {OTA_CMD_42, 10, {OTA_CMD_START, OTA_CMD_42}, false},
        {OTA_CMD_GET_VERSION, 10, {OTA_CMD_START, OTA_CMD_42, OTA_CMD_GET_VERSION}, false},
        {OTA_CMD_42, 9, {OTA_CMD_START, OTA_CMD_42, OTA_CMD_GET_VERSION}, true},
    };
    m_device->SetVersion(3, 1, 4, 0x341D);
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "command " << int(c.command) << ", stale " << c.staleReads);
        m_backend.ClearLog();
        g_fwIdWord = 0x9999;
        std::memset(g_fwVersion, 0, sizeof(g_fwVersion));
        m_device->FaultStaleReplies(c.command, c.staleReads);
        QueryFirmwareVersion();
        EXPECT_EQ(SentCommands(), c.sent);
        EXPECT_EQ(g_fwIdWord, c.versionRead ? 0x341D : 0) << "the query clears the id word first";
        EXPECT_EQ(g_fwVersion[0], c.versionRead ? 3 : 0);
        EXPECT_EQ(m_backend.OpenHandleCount(), 0);
    }
}

TEST_F(FirmwareVersionQueryTest, SendsNothingWithoutADeviceOrHandles) {
    ClearInterfaceTable();
    g_fwIdWord = 0x4242;
    QueryFirmwareVersion();
    EXPECT_TRUE(m_backend.Log().empty());
    EXPECT_EQ(g_fwIdWord, 0x4242);

    PutInterfaceEntry(3, MOUSE_VENDOR_ID, PRODUCT_ID_WIRED, kPath);
    m_backend.FailOpen(kPath, HidAccess::Write, true);
    QueryFirmwareVersion();
    EXPECT_TRUE(m_backend.Log().empty());
    EXPECT_EQ(m_backend.OpenHandleCount(), 0);
    EXPECT_EQ(g_otaReadHandle, kInvalidHidHandle);
}

}  // namespace
