// The macro chunk transfers: ten 32-byte chunks of a slot's macro image, each
// announced by a feature report and moved by an output report (upload) or a
// 33-byte feature report (download).
#include <cstring>

#include "device/clock.h"
#include "device/macro_image.h"
#include "device/usb_driver.h"

namespace {

constexpr uint32_t kUploadHeaderWaitMs = 40;
constexpr uint32_t kUploadDataWaitMs = 60;
constexpr uint32_t kDownloadWaitMs = 100;

}  // namespace

int CUSBDriver::UploadMacroChunks(uint8_t slot, const uint8_t* image) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    HidBackend& hid = GetHidBackend();
    bool allWritten = true;
    std::memset(m_outReport, 0, sizeof(m_outReport));
    m_outReport[2] = MACRO_CHUNK_COUNT;
    for (uint8_t index = 0; index < m_outReport[2]; ++index) {
        std::memset(m_outputReport, 0, sizeof(m_outputReport));
        m_outputReport[0] = uint8_t(m_reportId);
        std::memcpy(m_outputReport + 1, image + MACRO_CHUNK_LENGTH * index, MACRO_CHUNK_LENGTH);
        m_outReport[1] = CMD_WRITE_MACRO_CHUNK;
        m_outReport[3] = index;
        m_outReport[4] = MACRO_CHUNK_LENGTH;
        m_outReport[5] = slot;
        if (!SendFrame()) return 0;
        SleepMs(kUploadHeaderWaitMs);
        // The backend waits (bounded) for the overlapped write before the buffer
        // serves the next chunk.
        uint32_t written = 0;
        if (!hid.WriteOutput(m_writeHandle, m_outputReport, MACRO_CHUNK_REPORT_SIZE, &written))
            allWritten = false;
        m_bytesWritten = written;
        SleepMs(kUploadDataWaitMs);
    }
    return allWritten ? 1 : 0;
}

int CUSBDriver::DownloadMacroChunks(uint8_t* destination, uint8_t slot) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    HidBackend& hid = GetHidBackend();
    bool allRead = true;
    std::memset(m_outReport, 0, sizeof(m_outReport));
    m_outReport[1] = CMD_READ_MACRO_CHUNK;
    m_outReport[2] = MACRO_CHUNK_COUNT;
    m_outReport[5] = slot;
    for (uint8_t index = 0; index < MACRO_CHUNK_COUNT; ++index) {
        std::memset(m_inReport, 0, sizeof(m_inReport));
        m_inReport[0] = uint8_t(m_reportId);
        m_outReport[3] = index;
        m_outReport[4] = MACRO_CHUNK_LENGTH;
        if (!SendFrame()) return 0;
        SleepMs(kDownloadWaitMs);
        uint8_t* chunk = destination + MACRO_CHUNK_LENGTH * index;
        // A chunk that does not come keeps its place, zeroed, so the later
        // chunks still land at their own offsets.
        if (m_readHandle != kInvalidHidHandle &&
            hid.GetFeature(m_readHandle, m_inReport, MACRO_CHUNK_REPORT_SIZE)) {
            std::memcpy(chunk, m_inReport + 1, MACRO_CHUNK_LENGTH);
        } else {
            std::memset(chunk, 0, MACRO_CHUNK_LENGTH);
            allRead = false;
        }
    }
    return allRead ? 1 : 0;
}
