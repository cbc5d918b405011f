#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "device/device_state.h"
#include "device/macro_image.h"
#include "device/usb_driver.h"
#include "support/cable_driver_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A pattern that tells every byte's offset apart.
Bytes PatternImage(uint8_t seed) {
    Bytes image(DEVICE_MACRO_IMAGE_SIZE);
    for (size_t i = 0; i < image.size(); ++i) image[i] = uint8_t(i * 7 + seed);
    return image;
}

Bytes Header(uint8_t command, uint8_t index, uint8_t slot) {
    return {REPORT_ID_MOUSE, command, 0x0A, index, 0x20, slot, 0, 0, 0};
}

Bytes DataReport(const Bytes& image, int index) {
    Bytes report{REPORT_ID_MOUSE};
    report.insert(report.end(), image.begin() + 32 * index, image.begin() + 32 * index + 32);
    return report;
}

class MacroTransferTest : public ::testing::Test, protected CableDriverFixture {
protected:
    void Open() { ASSERT_TRUE(CableDriverFixture::Open()); }

    // The reports that reached the interface, without the reader's input reports.
    std::vector<SimReport> Transfers() {
        std::vector<SimReport> out;
        for (const SimReport& r : backend.Log())
            if (r.kind != SimReport::Kind::Input) out.push_back(r);
        return out;
    }
};

TEST_F(MacroTransferTest, UploadSendsTenPacedChunks) {
    Open();
    const Bytes image = PatternImage(1);
    ASSERT_EQ(driver.UploadMacroChunks(3, image.data()), 1);

    std::vector<SimReport> log = Transfers();
    ASSERT_EQ(log.size(), 20u);
    for (int index = 0; index < 10; ++index) {
        SCOPED_TRACE(index);
        const SimReport& header = log[2 * index];
        const SimReport& data = log[2 * index + 1];
        EXPECT_EQ(header.kind, SimReport::Kind::SetFeature);
        EXPECT_EQ(header.bytes, Header(0x07, uint8_t(index), 3));
        EXPECT_EQ(data.kind, SimReport::Kind::Output);
        EXPECT_EQ(data.bytes, DataReport(image, index));
        EXPECT_EQ(data.time - header.time, 40u);
        if (index > 0) {
            EXPECT_EQ(header.time - log[2 * index - 1].time, 60u);
        }
    }
    EXPECT_EQ(mouse->MacroImage(3), image);
}

TEST_F(MacroTransferTest, DownloadAsksForTenPacedChunks) {
    Open();
    const Bytes image = PatternImage(2);
    mouse->SetMacroImage(2, image);
    Bytes destination(DEVICE_MACRO_IMAGE_SIZE, 0xEE);
    ASSERT_EQ(driver.DownloadMacroChunks(destination.data(), 2), 1);
    EXPECT_EQ(destination, image);

    std::vector<SimReport> log = Transfers();
    ASSERT_EQ(log.size(), 20u);
    for (int index = 0; index < 10; ++index) {
        SCOPED_TRACE(index);
        const SimReport& header = log[2 * index];
        const SimReport& reply = log[2 * index + 1];
        EXPECT_EQ(header.bytes, Header(0x87, uint8_t(index), 2));
        EXPECT_EQ(reply.kind, SimReport::Kind::GetFeature);
        EXPECT_EQ(reply.bytes.size(), 33u);
        EXPECT_EQ(reply.time - header.time, 100u);
    }
}

TEST_F(MacroTransferTest, FailedDownloadChunkKeepsTheLaterOffsets) {
    Open();
    const Bytes image = PatternImage(3);
    mouse->SetMacroImage(4, image);
    mouse->SetMacroChunkFault(4, SimChunkFault::FailData);
    Bytes destination(DEVICE_MACRO_IMAGE_SIZE, 0xEE);
    EXPECT_EQ(driver.DownloadMacroChunks(destination.data(), 4), 0) << "the failure is reported";
    for (size_t at = 0; at < destination.size(); ++at) {
        const bool inFailedChunk = at / 32 == 4;
        ASSERT_EQ(destination[at], inFailedChunk ? 0 : image[at]) << "offset " << at;
    }
}

TEST_F(MacroTransferTest, RefusedHeaderEndsTheTransfer) {
    Open();
    const Bytes image = PatternImage(4);
    mouse->SetMacroChunkFault(3, SimChunkFault::RefuseHeader);
    EXPECT_EQ(driver.UploadMacroChunks(1, image.data()), 0);
    std::vector<SimReport> log = Transfers();
    ASSERT_EQ(log.size(), 7u) << "three chunks, then the refused header";
    EXPECT_FALSE(log.back().ok);
    Bytes expected(DEVICE_MACRO_IMAGE_SIZE, 0);
    std::copy(image.begin(), image.begin() + 96, expected.begin());
    EXPECT_EQ(mouse->MacroImage(1), expected);

    backend.ClearLog();
    Bytes destination(DEVICE_MACRO_IMAGE_SIZE);
    EXPECT_EQ(driver.DownloadMacroChunks(destination.data(), 1), 0);
    EXPECT_EQ(Transfers().size(), 7u);
}

TEST_F(MacroTransferTest, FailedOutputReportIsReported) {
    Open();
    const Bytes image = PatternImage(5);
    mouse->SetMacroChunkFault(6, SimChunkFault::FailData);
    EXPECT_EQ(driver.UploadMacroChunks(0, image.data()), 0);
    EXPECT_EQ(Transfers().size(), 20u) << "the other chunks still go out";
    const Bytes stored = mouse->MacroImage(0);
    for (size_t at = 0; at < stored.size(); ++at)
        ASSERT_EQ(stored[at], at / 32 == 6 ? 0 : image[at]) << "offset " << at;
}

TEST_F(MacroTransferTest, NothingIsSentWithoutAnOpenDevice) {
    const Bytes image = PatternImage(6);
    Bytes destination(DEVICE_MACRO_IMAGE_SIZE);
    EXPECT_EQ(driver.UploadMacroChunks(0, image.data()), 0);
    EXPECT_EQ(driver.DownloadMacroChunks(destination.data(), 0), 0);
    EXPECT_TRUE(Transfers().empty());
}

uint32_t LetterUsage(uint32_t vk) {
    return vk >= 0x41 && vk <= 0x5A ? vk - 0x41 + 0x04 : 0;
}

TEST_F(MacroTransferTest, EncodedMacroComesBackAsSent) {
    Open();
    MacroRecord record{};
    record.size = 120;
    record.magic = MACRO_MAGIC;
    record.macroId = 0x15000077;
    record.repeatMode = 1;
    record.repeatCount = 5;
    const MacroEvent events[] = {MakeMacroEvent(MACRO_EVENT_PRESS, 0x41),
                                 MakeMacroEvent(MACRO_EVENT_DELAY, 50),
                                 MakeMacroEvent(MACRO_EVENT_RELEASE, 0x41),
                                 MakeMacroEvent(MACRO_EVENT_DELAY, 20)};
    std::memcpy(record.events, events, sizeof(events));
    record.eventCount = 4;
    uint8_t buffer[MACRO_IMAGE_BUFFER_SIZE];
    ASSERT_EQ(BuildDeviceMacroImage(record, 4, buffer, LetterUsage), 3);
    ASSERT_EQ(driver.UploadMacroChunks(4, buffer), 1);

    Bytes destination(DEVICE_MACRO_IMAGE_SIZE);
    ASSERT_EQ(driver.DownloadMacroChunks(destination.data(), 4), 1);
    EXPECT_EQ(destination, Bytes(buffer, buffer + DEVICE_MACRO_IMAGE_SIZE));
    EXPECT_EQ(mouse->MacroImage(0), Bytes(DEVICE_MACRO_IMAGE_SIZE, 0)) << "other slots untouched";
}

TEST_F(MacroTransferTest, EncodeAndUploadUsesTheLayoutsKeyUsages) {
    Open();
    MacroRecord record{};
    record.size = 112;
    record.magic = MACRO_MAGIC;
    record.macroId = 0x15000078;
    record.events[0] = MakeMacroEvent(MACRO_EVENT_PRESS, 0x41);
    record.events[1] = MakeMacroEvent(MACRO_EVENT_RELEASE, 0x41);
    record.eventCount = 2;
    EXPECT_EQ(EncodeAndUploadMacro(&record, &driver, 2), 2);
    const Bytes stored = mouse->MacroImage(2);
    EXPECT_EQ(Bytes(stored.begin() + 4, stored.begin() + 12),
              (Bytes{0x02, 0x04, 10, 0, 0x80, 0x04, 8, 0}));

    // AZERTY: the A key sits where Q is on a US keyboard.
    g_languageIndex = 3;
    EncodeAndUploadMacro(&record, &driver, 2);
    g_languageIndex = 0;
    EXPECT_EQ(mouse->MacroImage(2)[5], 0x14);

    backend.ClearLog();
    EXPECT_EQ(EncodeAndUploadMacro(nullptr, &driver, 2), 0);
    EXPECT_EQ(EncodeAndUploadMacro(&record, nullptr, 2), 0);
    EXPECT_TRUE(Transfers().empty());
}

TEST_F(MacroTransferTest, EncodeAndUploadGivesZeroWhenAChunkDidNotGo) {
    MacroRecord record{};
    record.size = 112;
    record.magic = MACRO_MAGIC;
    record.events[0] = MakeMacroEvent(MACRO_EVENT_PRESS, 0x41);
    record.eventCount = 1;
    EXPECT_EQ(EncodeAndUploadMacro(&record, &driver, 1), 0) << "no device open";
    Open();
    EXPECT_NE(EncodeAndUploadMacro(&record, &driver, 1), 0);
    mouse->SetMacroChunkFault(5, SimChunkFault::FailData);
    EXPECT_EQ(EncodeAndUploadMacro(&record, &driver, 1), 0) << "chunk 5 did not pass";
}

}  // namespace
