#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <numeric>
#include <utility>
#include <vector>

#include "firmware/firmware_update.h"
#include "ota_fixture.h"

namespace {

struct RecordingSink : FirmwareUpdateSink {
    void OnProgressRange(int32_t maximum) override { ranges.push_back(maximum); }
    void OnProgressPosition(int32_t position) override { positions.push_back(position); }
    void OnResult(bool finished, FirmwareUpdateStep step) override {
        results.emplace_back(finished, step);
    }
    bool StopRequested() override { return stop && stop(); }

    std::vector<int32_t> ranges;
    std::vector<int32_t> positions;
    std::vector<std::pair<bool, FirmwareUpdateStep>> results;
    std::function<bool()> stop;
};

class FirmwareUpdateTest : public OtaFixture {
protected:
    void SetUp() override {
        OtaFixture::SetUp();
        g_otaDevicePath = kPath;
        ASSERT_TRUE(OpenOtaHandles());
        g_otaPacketDelay = 10;  // what the update dialog sets
    }

    FirmwareUpdateResult Run(const std::vector<uint8_t>& image) {
        m_start = m_clock->TickCount();
        return RunFirmwareUpdate(image.data(), uint32_t(image.size()), m_sink);
    }
    uint32_t Elapsed() { return m_clock->TickCount() - m_start; }

    std::vector<SimReport> DataPackets() const {
        std::vector<SimReport> packets;
        for (const auto& r : m_backend.Log()) {
            if (r.kind == SimReport::Kind::SetFeature && r.bytes[6] == OTA_CMD_DATA) packets.push_back(r);
        }
        return packets;
    }

    RecordingSink m_sink;
    uint32_t m_start = 0;
};

TEST_F(FirmwareUpdateTest, StreamsAWholeImageIntoTheFlash) {
    const auto image = MakeTestFirmwareImage(104716);
    const FirmwareUpdateResult result = Run(image);

    EXPECT_EQ(result.outcome, FirmwareUpdateOutcome::Finished);
    EXPECT_EQ(m_sink.results, (std::vector<std::pair<bool, FirmwareUpdateStep>>{
                                  {true, FirmwareUpdateStep::None}}));
    EXPECT_TRUE(m_device->ProtocolErrors().empty()) << m_device->ProtocolErrors().front();
    EXPECT_EQ(m_device->Flash(), image);
    const auto written = m_device->Written();
    EXPECT_EQ(std::count(written.begin(), written.end(), true), 104716);
    EXPECT_EQ(m_device->RunningChecksum(),
              uint16_t(std::accumulate(image.begin(), image.end(), 0u)));
    // 25 full blocks of five groups, and a last block of 2,316 bytes in three.
    EXPECT_EQ(m_device->GroupChecksumsMatched(), 25u * 5 + 3);
    EXPECT_TRUE(m_device->FinishMatched());
    EXPECT_TRUE(m_device->EndReceived());
    EXPECT_EQ(m_device->DataPackets(), 4193u);
    EXPECT_EQ(g_otaBlockCount, 26);

    // Progress: the image's bytes as the range, and after each packet the bytes
    // sent so far, so the bar moves with the image and never wraps; the whole
    // image at the end.
    EXPECT_EQ(m_sink.ranges, std::vector<int32_t>{104716});
    const auto packets = DataPackets();
    ASSERT_EQ(m_sink.positions.size(), packets.size() + 1);
    int32_t sent = 0;
    for (size_t i = 0; i < packets.size(); ++i) {
        sent += packets[i].bytes[8];
        ASSERT_EQ(m_sink.positions[i], sent) << "packet " << i;
    }
    EXPECT_EQ(m_sink.positions[0], 25);
    EXPECT_EQ(m_sink.positions.back(), 104716);

    // The last two commands carry the counters the whole run led to.
    const auto log = m_backend.Log();
    const std::vector<uint8_t>& finish = log[log.size() - 4].bytes;
    const std::vector<uint8_t>& end = log[log.size() - 2].bytes;
    EXPECT_EQ(std::vector<uint8_t>(finish.begin() + 4, finish.begin() + 8),
              (std::vector<uint8_t>{0x9C, 0x00, OTA_CMD_FINISH, 0x9D}));
    EXPECT_EQ(std::vector<uint8_t>(end.begin() + 4, end.begin() + 8),
              (std::vector<uint8_t>{0x9D, 0x00, OTA_CMD_END, 0x9E}));

    // Only the prescribed pauses pass: 10 + 10 for start and 0x42, 100 a block
    // header, 10 a packet, 80 + 10 a group checksum, 500 + 10 for finish and end.
    const uint32_t prescribed = 20 + 26 * 100 + 4193 * 10 + 128 * 90 + 510;
    EXPECT_EQ(Elapsed(), prescribed);
    EXPECT_EQ(PrescribedFirmwareUpdateMs(104716, 25, 40, 10), prescribed);
}

TEST_F(FirmwareUpdateTest, KeepsThePacingBetweenReports) {
    const auto image = MakeTestFirmwareImage(4096 + 100, 7);
    ASSERT_EQ(Run(image).outcome, FirmwareUpdateOutcome::Finished);
    const auto log = m_backend.Log();
    // The pause after each command until its reply is read.
    const std::map<uint8_t, uint32_t> pauses = {
        {OTA_CMD_START, 10}, {OTA_CMD_42, 10},     {OTA_CMD_BLOCK, 100},
        {OTA_CMD_GROUP_CHECKSUM, 10}, {OTA_CMD_FINISH, 500}, {OTA_CMD_END, 10}};
    for (size_t i = 1; i < log.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "report " << i);
        const uint32_t gap = log[i].time - log[i - 1].time;
        if (log[i].kind == SimReport::Kind::GetFeature) {
            EXPECT_EQ(gap, pauses.at(log[i - 1].bytes[6]));
        } else if (log[i].bytes[6] == OTA_CMD_DATA) {
            EXPECT_EQ(gap, 10u);
        } else if (log[i].bytes[6] == OTA_CMD_GROUP_CHECKSUM) {
            EXPECT_EQ(log[i - 1].bytes[6], OTA_CMD_DATA);
            EXPECT_EQ(gap, 80u) << "the settle time after the last packet of the group";
        } else {
            EXPECT_EQ(gap, 0u);
        }
    }
}

struct PartitionCase {
    const char* name;
    uint32_t size;
    uint16_t packetSize, packetsPerGroup;  // from the start reply
    uint32_t packets, groups;
    uint8_t lastPacketLength;
};

void PrintTo(const PartitionCase& c, std::ostream* os) {
    *os << c.name;
}

class FirmwareUpdatePartitionTest : public FirmwareUpdateTest,
                                    public ::testing::WithParamInterface<PartitionCase> {};

TEST_P(FirmwareUpdatePartitionTest, SplitsBlocksIntoGroupsOfPackets) {
    const PartitionCase& c = GetParam();
    m_device->SetStartReply(c.packetSize, c.packetsPerGroup);
    const auto image = MakeTestFirmwareImage(c.size, c.size);
    ASSERT_EQ(Run(image).outcome, FirmwareUpdateOutcome::Finished);
    EXPECT_TRUE(m_device->ProtocolErrors().empty()) << m_device->ProtocolErrors().front();
    EXPECT_EQ(m_device->Flash(), image);
    EXPECT_EQ(m_device->DataPackets(), c.packets);
    EXPECT_EQ(m_device->GroupChecksumsMatched(), c.groups);
    const auto packets = DataPackets();
    ASSERT_FALSE(packets.empty());
    EXPECT_EQ(packets.back().bytes[8], c.lastPacketLength);
    EXPECT_EQ(Elapsed(), PrescribedFirmwareUpdateMs(c.size, c.packetSize, c.packetsPerGroup, 10));
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, FirmwareUpdatePartitionTest,
    ::testing::Values(
        PartitionCase{"OneByte", 1, 25, 40, 1, 1, 1},
        // A full block: four groups of 40 packets, then 3 of 25 bytes and one of 21.
        PartitionCase{"OneBlock", 4096, 25, 40, 164, 5, 21},
        PartitionCase{"TwoBlocks", 8192, 25, 40, 328, 10, 21},
        // One byte more adds a block of a single one-byte packet.
        PartitionCase{"TwoBlocksAndAByte", 8193, 25, 40, 329, 11, 1},
        PartitionCase{"LargestPackets", 4096, 55, 1, 75, 75, 26},
        PartitionCase{"SmallestPackets", 5000, 1, 3, 5000, 1366 + 302, 1},
        PartitionCase{"OneGroupPerBlock", 10000, 55, 65535, 75 + 75 + 33, 3, 48}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FirmwareUpdateTest, TheLargestImageTheBlockCounterHolds) {
    const auto image = MakeTestFirmwareImage(OTA_MAX_IMAGE_SIZE, 3);
    m_device->SetStartReply(55, 100);  // fewer packets, the same 255 blocks
    ASSERT_EQ(Run(image).outcome, FirmwareUpdateOutcome::Finished);
    EXPECT_TRUE(m_device->ProtocolErrors().empty()) << m_device->ProtocolErrors().front();
    EXPECT_EQ(m_device->Flash(), image);
    EXPECT_EQ(m_sink.ranges, std::vector<int32_t>{int32_t(OTA_MAX_IMAGE_SIZE)});
}

TEST_F(FirmwareUpdateTest, RefusesImagesTheProtocolCannotCarry) {
    const std::vector<uint8_t> tooLarge(OTA_MAX_IMAGE_SIZE + 1, 0x11);
    const std::vector<uint8_t> empty;
    for (const auto* image : {&empty, &tooLarge}) {
        SCOPED_TRACE(::testing::Message() << image->size() << " bytes");
        m_sink.results.clear();
        const FirmwareUpdateResult result = Run(*image);
        EXPECT_EQ(result.outcome, FirmwareUpdateOutcome::Failed);
        EXPECT_EQ(result.failedStep, FirmwareUpdateStep::Start);
        EXPECT_EQ(m_sink.results, (std::vector<std::pair<bool, FirmwareUpdateStep>>{
                                      {false, FirmwareUpdateStep::Start}}));
    }
    EXPECT_EQ(RunFirmwareUpdate(nullptr, 100, m_sink).failedStep, FirmwareUpdateStep::Start);
    EXPECT_TRUE(m_backend.Log().empty()) << "nothing reaches the device";
    EXPECT_FALSE(IsFirmwareImageSizeValid(0));
    EXPECT_TRUE(IsFirmwareImageSizeValid(1));
    EXPECT_TRUE(IsFirmwareImageSizeValid(255 * 4096));
    EXPECT_FALSE(IsFirmwareImageSizeValid(255 * 4096 + 1));
}

struct FaultCase {
    const char* name;
    std::function<void(SimOtaInterface&)> fault;
    FirmwareUpdateStep step;  // None: the update still finishes
    bool noDataSent;
};

void PrintTo(const FaultCase& c, std::ostream* os) {
    *os << c.name;
}

class FirmwareUpdateFaultTest : public FirmwareUpdateTest,
                                public ::testing::WithParamInterface<FaultCase> {};

TEST_P(FirmwareUpdateFaultTest, EndsAtTheRightStep) {
    const FaultCase& c = GetParam();
    c.fault(*m_device);
    const auto image = MakeTestFirmwareImage(10000, 5);
    const FirmwareUpdateResult result = Run(image);
    const bool finished = c.step == FirmwareUpdateStep::None;
    EXPECT_EQ(result.outcome, finished ? FirmwareUpdateOutcome::Finished : FirmwareUpdateOutcome::Failed);
    EXPECT_EQ(result.failedStep, c.step);
    EXPECT_EQ(m_sink.results, (std::vector<std::pair<bool, FirmwareUpdateStep>>{{finished, c.step}}));
    if (finished) {
        EXPECT_EQ(m_device->Flash(), image);
    }
    if (c.noDataSent) {
        EXPECT_EQ(m_device->DataPackets(), 0u);
        EXPECT_EQ(SentCommands(), std::vector<uint8_t>{OTA_CMD_START});
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FirmwareUpdateFaultTest,
    ::testing::Values(
        FaultCase{"NoReplyToStart", [](auto& d) { d.FaultNoReply(OTA_CMD_START, 100); },
                  FirmwareUpdateStep::Start, true},
        FaultCase{"StaleRepliesToCmd42", [](auto& d) { d.FaultStaleReplies(OTA_CMD_42, 100); },
                  FirmwareUpdateStep::Cmd42, false},
        FaultCase{"Cmd42ConfirmedAtTheLastRead", [](auto& d) { d.FaultStaleReplies(OTA_CMD_42, 99); },
                  FirmwareUpdateStep::None, false},
        FaultCase{"StaleRepliesToABlockHeader", [](auto& d) { d.FaultStaleReplies(OTA_CMD_BLOCK, 100); },
                  FirmwareUpdateStep::BlockHeader, false},
        FaultCase{"RefusedGroupChecksum", [](auto& d) { d.FaultRefuseChecksum(OTA_CMD_GROUP_CHECKSUM); },
                  FirmwareUpdateStep::GroupChecksum, false},
        FaultCase{"NoReplyToAGroupChecksum", [](auto& d) { d.FaultNoReply(OTA_CMD_GROUP_CHECKSUM, 100); },
                  FirmwareUpdateStep::GroupChecksum, false},
        FaultCase{"RefusedFinishChecksum", [](auto& d) { d.FaultRefuseChecksum(OTA_CMD_FINISH); },
                  FirmwareUpdateStep::Finish, false},
        FaultCase{"NoReplyToEnd", [](auto& d) { d.FaultNoReply(OTA_CMD_END, 100); },
                  FirmwareUpdateStep::End, false},
        // Start-reply sizes no 64-byte report can carry stop the update before any data.
        FaultCase{"PacketSizeZero", [](auto& d) { d.SetStartReply(0, 40); }, FirmwareUpdateStep::Start, true},
        FaultCase{"PacketSize56", [](auto& d) { d.SetStartReply(56, 40); }, FirmwareUpdateStep::Start, true},
        FaultCase{"PacketSizeAboveAByte", [](auto& d) { d.SetStartReply(0x119, 40); },
                  FirmwareUpdateStep::Start, true},
        FaultCase{"NoPacketsPerGroup", [](auto& d) { d.SetStartReply(25, 0); }, FirmwareUpdateStep::Start, true},
        FaultCase{"PacketSize55", [](auto& d) { d.SetStartReply(55, 1); }, FirmwareUpdateStep::None, false},
        // A start reply of another length is accepted but its sizes are not taken.
        FaultCase{"StartReplyOfAnotherLength", [](auto& d) { d.SetStartReply(0, 0, 0x0F); },
                  FirmwareUpdateStep::None, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FirmwareUpdateTest, UnplugMidTransferFailsAtTheGroupAtOnce) {
    m_device->FaultUnplugAfterDataPackets(250, [this] { m_backend.Unplug(kPath); });
    const FirmwareUpdateResult result = Run(MakeTestFirmwareImage(10000, 9));
    EXPECT_EQ(result.failedStep, FirmwareUpdateStep::GroupChecksum);
    EXPECT_EQ(m_sink.results, (std::vector<std::pair<bool, FirmwareUpdateStep>>{
                                  {false, FirmwareUpdateStep::GroupChecksum}}));
    // The first packet that did not arrive ends the update: no waiting for a
    // checksum reply that cannot come.
    const auto log = m_backend.Log();
    EXPECT_FALSE(log.back().ok);
    EXPECT_EQ(log.back().bytes[6], OTA_CMD_DATA);
    EXPECT_EQ(DataPackets().size(), 251u);
    EXPECT_TRUE(m_backend.EnumerateInterfaces().empty());
}

TEST_F(FirmwareUpdateTest, AStopEndsTheUpdateWithoutAResult) {
    m_sink.stop = [this] { return m_sink.positions.size() >= 100; };
    const FirmwareUpdateResult result = Run(MakeTestFirmwareImage(10000, 2));
    EXPECT_EQ(result.outcome, FirmwareUpdateOutcome::Stopped);
    EXPECT_TRUE(m_sink.results.empty());
    EXPECT_EQ(DataPackets().size(), 100u);
    EXPECT_EQ(m_backend.Log().back().bytes[6], OTA_CMD_DATA) << "nothing after the stop";

    // A stop while a command waits for its reply ends the polling too.
    m_backend.ClearLog();
    m_sink.positions.clear();
    m_device->FaultStaleReplies(OTA_CMD_42, 1000);
    int asked = 0;
    m_sink.stop = [&] { return ++asked > 5; };
    EXPECT_EQ(Run(MakeTestFirmwareImage(10000, 2)).outcome, FirmwareUpdateOutcome::Stopped);
    EXPECT_LE(ReadCount(), 6u) << "far from the hundred reads of the limit";
    EXPECT_TRUE(m_sink.results.empty());
}

}  // namespace
