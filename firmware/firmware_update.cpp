#include "firmware/firmware_update.h"

#include <algorithm>

#include "device/clock.h"
#include "device/hid_backend.h"
#include "firmware/ota_protocol.h"

namespace {

// The device's pacing for each command of an update; every one allows 100 reads.
constexpr OtaPacing kStartPacing{10, 100, 100};
constexpr OtaPacing kCmd42Pacing{10, 120, 100};
constexpr OtaPacing kBlockHeaderPacing{100, 100, 100};
constexpr OtaPacing kGroupChecksumPacing{10, 100, 100};
constexpr OtaPacing kFinishPacing{500, 100, 100};
constexpr OtaPacing kEndPacing{10, 100, 100};
// The device needs this long after the last packet of a group before its checksum.
constexpr uint32_t kGroupSettleMs = 80;

class Update {
public:
    Update(const uint8_t* image, uint32_t size, FirmwareUpdateSink& sink)
        : m_image(image), m_size(size), m_sink(sink) {}

    FirmwareUpdateResult Run();

private:
    bool Stopped() { return m_sink.StopRequested(); }
    bool Exchange(const OtaPacing& pacing) {
        return ExchangeOtaReport(pacing, [this] { return Stopped(); });
    }
    FirmwareUpdateResult Fail(FirmwareUpdateStep step) {
        if (Stopped()) return {FirmwareUpdateOutcome::Stopped, FirmwareUpdateStep::None};
        m_sink.OnResult(false, step);
        return {FirmwareUpdateOutcome::Failed, step};
    }
    bool SendBlock(uint32_t blockBytes);

    const uint8_t* m_image;
    uint32_t m_size;
    FirmwareUpdateSink& m_sink;
    uint32_t m_sent = 0;
};

FirmwareUpdateResult Update::Run() {
    if (!m_image || !IsFirmwareImageSizeValid(m_size)) return Fail(FirmwareUpdateStep::Start);
    g_otaImageSize = m_size;
    g_otaCounter = 0;
    g_otaSequence = 1;
    g_otaBlockIndex = 0;
    g_otaBlockCount = uint8_t((m_size + OTA_BLOCK_SIZE - 1) / OTA_BLOCK_SIZE);
    g_otaPacketSize = OTA_DEFAULT_PACKET_SIZE;
    g_otaPacketsPerGroup = OTA_DEFAULT_PACKETS_PER_GROUP;

    if (Stopped() || !BuildOtaStartReport(m_size) || !Exchange(kStartPacing)) {
        return Fail(FirmwareUpdateStep::Start);
    }
    // The start reply may announce the packet sizes. Sizes no report can carry
    // would either be cut off on the wire or never end a group: stop here,
    // before a single image byte is sent.
    if (g_otaPacketSize < 1 || g_otaPacketSize > OTA_MAX_DATA_BYTES || g_otaPacketsPerGroup < 1) {
        return Fail(FirmwareUpdateStep::Start);
    }
    if (Stopped() || !BuildOtaCmd42Report() || !Exchange(kCmd42Pacing)) {
        return Fail(FirmwareUpdateStep::Cmd42);
    }

    g_otaChecksum = 0;
    // Progress counts image bytes: the sequence number the device sees wraps at
    // 256 and advances per command, so it tells nothing of how far the image is.
    m_sink.OnProgressRange(int32_t(m_size));
    for (uint32_t block = 0; block < g_otaBlockCount; ++block) {
        if (Stopped() || !BuildOtaBlockHeaderReport() || !Exchange(kBlockHeaderPacing)) {
            return Fail(FirmwareUpdateStep::BlockHeader);
        }
        if (!SendBlock(std::min(OTA_BLOCK_SIZE, m_size - m_sent))) {
            return Fail(FirmwareUpdateStep::GroupChecksum);
        }
    }

    if (Stopped() || !BuildOtaFinishReport() || !Exchange(kFinishPacing)) {
        return Fail(FirmwareUpdateStep::Finish);
    }
    if (Stopped() || !BuildOtaEndReport() || !Exchange(kEndPacing)) {
        return Fail(FirmwareUpdateStep::End);
    }
    m_sink.OnProgressPosition(int32_t(m_size));
    m_sink.OnResult(true, FirmwareUpdateStep::None);
    return {FirmwareUpdateOutcome::Finished, FirmwareUpdateStep::None};
}

// Sends one block in groups of up to g_otaPacketsPerGroup packets, each group
// confirmed by the running checksum. False when a packet could not be sent or
// a group checksum was not confirmed.
bool Update::SendBlock(uint32_t blockBytes) {
    HidBackend& hid = GetHidBackend();
    while (blockBytes > 0) {
        for (uint32_t packet = 0; packet < g_otaPacketsPerGroup && blockBytes > 0; ++packet) {
            if (Stopped()) return false;
            const uint32_t length = std::min<uint32_t>(g_otaPacketSize, blockBytes);
            const uint8_t* data = m_image + m_sent;
            if (!BuildOtaDataReport(uint8_t(length), data)) return false;
            SleepMs(g_otaPacketDelay);
            // A packet that did not reach the device would leave a hole in its
            // flash, which a checksum the device happens to confirm would hide:
            // fail the group at once instead of reporting success later.
            if (!hid.SetFeature(g_otaWriteHandle, g_otaReport, OTA_REPORT_LENGTH)) return false;
            for (uint32_t i = 0; i < length; ++i) g_otaChecksum = uint16_t(g_otaChecksum + data[i]);
            m_sent += length;
            blockBytes -= length;
            m_sink.OnProgressPosition(int32_t(m_sent));
        }
        SleepMs(kGroupSettleMs);
        if (Stopped() || !BuildOtaGroupChecksumReport() || !Exchange(kGroupChecksumPacing)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool IsFirmwareImageSizeValid(uint32_t size) {
    return size >= 1 && size <= OTA_MAX_IMAGE_SIZE;
}

FirmwareUpdateResult RunFirmwareUpdate(const uint8_t* image, uint32_t size,
                                       FirmwareUpdateSink& sink) {
    return Update(image, size, sink).Run();
}

uint64_t PrescribedFirmwareUpdateMs(uint32_t size, uint16_t packetSize, uint16_t packetsPerGroup,
                                    uint8_t packetDelay) {
    if (packetSize == 0 || packetsPerGroup == 0) return 0;
    uint64_t total = kStartPacing.pauseMs + kCmd42Pacing.pauseMs;
    const uint32_t groupBytes = uint32_t(packetSize) * packetsPerGroup;
    for (uint32_t offset = 0; offset < size; offset += OTA_BLOCK_SIZE) {
        const uint32_t blockBytes = std::min(OTA_BLOCK_SIZE, size - offset);
        const uint64_t packets = (blockBytes + packetSize - 1) / packetSize;
        const uint64_t groups = (blockBytes + groupBytes - 1) / groupBytes;
        total += kBlockHeaderPacing.pauseMs + packets * packetDelay +
                 groups * (kGroupSettleMs + kGroupChecksumPacing.pauseMs);
    }
    return total + kFinishPacing.pauseMs + kEndPacing.pauseMs;
}
