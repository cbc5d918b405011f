#include "firmware/ota_protocol.h"

#include <cstring>

#include "device/clock.h"
#include "device/device_tables.h"

uint8_t g_otaReport[OTA_BUFFER_SIZE];
uint8_t g_otaReply[OTA_BUFFER_SIZE];

uint8_t g_otaCounter = 0;
uint8_t g_otaSequence = 1;
uint8_t g_otaBlockIndex = 0;
uint8_t g_otaBlockCount = 0;
uint32_t g_otaImageSize = 0;
uint16_t g_otaChecksum = 0;
uint16_t g_otaPacketSize = OTA_DEFAULT_PACKET_SIZE;
uint16_t g_otaPacketsPerGroup = OTA_DEFAULT_PACKETS_PER_GROUP;
uint8_t g_otaPacketDelay = OTA_DEFAULT_PACKET_DELAY;
uint32_t g_otaRetry = 0;

HidHandle g_otaReadHandle = kInvalidHidHandle;
HidHandle g_otaWriteHandle = kInvalidHidHandle;

uint8_t g_fwVersion[3] = {};
uint16_t g_fwIdWord = 0;

uint16_t g_otaVendorId = MOUSE_VENDOR_ID;
uint16_t g_otaProductId = PRODUCT_ID_WIRED;

std::u16string g_otaDevicePath;
uint8_t g_otaProbeByte1 = 0;
uint8_t g_otaProbeByte2 = 0;

void ResetOtaProtocolState() {
    std::memset(g_otaReport, 0, sizeof(g_otaReport));
    std::memset(g_otaReply, 0, sizeof(g_otaReply));
    g_otaCounter = 0;
    g_otaSequence = 1;
    g_otaBlockIndex = 0;
    g_otaBlockCount = 0;
    g_otaImageSize = 0;
    g_otaChecksum = 0;
    g_otaPacketSize = OTA_DEFAULT_PACKET_SIZE;
    g_otaPacketsPerGroup = OTA_DEFAULT_PACKETS_PER_GROUP;
    g_otaPacketDelay = OTA_DEFAULT_PACKET_DELAY;
    g_otaRetry = 0;
    g_otaReadHandle = kInvalidHidHandle;
    g_otaWriteHandle = kInvalidHidHandle;
    std::memset(g_fwVersion, 0, sizeof(g_fwVersion));
    g_fwIdWord = 0;
    g_otaVendorId = MOUSE_VENDOR_ID;
    g_otaProductId = PRODUCT_ID_WIRED;
    g_otaDevicePath.clear();
    g_otaProbeByte1 = 0;
    g_otaProbeByte2 = 0;
}

namespace {

void PutU16(uint8_t* at, uint16_t value) {
    at[0] = uint8_t(value);
    at[1] = uint8_t(value >> 8);
}

void PutU32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(value >> (8 * i));
}

uint16_t GetU16(const uint8_t* at) {
    return uint16_t(at[0] | (at[1] << 8));
}

// Clears the report and lays down the fixed header with the given counter.
uint8_t* BeginReport(uint8_t counter, uint8_t command, uint8_t sequence, uint8_t length) {
    std::memset(g_otaReport, 0, OTA_CLEAR_LENGTH);
    g_otaReport[0] = OTA_REPORT_ID;
    g_otaReport[2] = 0x65;
    g_otaReport[3] = 0x3A;
    g_otaReport[4] = counter;
    g_otaReport[6] = command;
    g_otaReport[7] = sequence;
    g_otaReport[8] = length;
    return g_otaReport + 9;
}

// The checksum covers everything after itself, so it goes in last.
void SealReport() {
    uint8_t sum = 0;
    for (size_t i = 2; i < OTA_REPORT_LENGTH; ++i) sum = uint8_t(sum + g_otaReport[i]);
    g_otaReport[1] = sum;
}

// A command that carries the running counter and sequence, and moves both on.
uint8_t* BeginCommand(uint8_t command, uint8_t length) {
    uint8_t* payload = BeginReport(g_otaCounter, command, g_otaSequence, length);
    payload[0] = command;
    ++g_otaCounter;
    ++g_otaSequence;
    return payload;
}

bool BuildPlainCommand(uint8_t command) {
    BeginCommand(command, 2);
    SealReport();
    return true;
}

}  // namespace

bool BuildOtaStartReport(uint32_t imageSize) {
    uint8_t* payload = BeginReport(0, OTA_CMD_START, 1, 6);
    payload[0] = OTA_CMD_START;
    PutU32(payload + 1, imageSize);
    SealReport();
    g_otaCounter = 1;
    g_otaSequence = 2;
    return true;
}

bool BuildOtaCmd42Report() {
    return BuildPlainCommand(OTA_CMD_42);
}

bool BuildOtaVersionQueryReport() {
    return BuildPlainCommand(OTA_CMD_GET_VERSION);
}

bool BuildOtaBlockHeaderReport() {
    uint8_t* payload = BeginCommand(OTA_CMD_BLOCK, 9);
    // The header always announces a whole block; the device learns the image's
    // real end from the start and finish commands.
    PutU32(payload + 1, uint32_t(g_otaBlockIndex) * OTA_BLOCK_SIZE);
    PutU32(payload + 5, OTA_BLOCK_SIZE);
    SealReport();
    ++g_otaBlockIndex;
    return true;
}

bool BuildOtaGroupChecksumReport() {
    uint8_t* payload = BeginCommand(OTA_CMD_GROUP_CHECKSUM, 3);
    PutU16(payload + 1, g_otaChecksum);
    SealReport();
    return true;
}

bool BuildOtaDataReport(uint8_t length, const uint8_t* data) {
    // More than the report holds would be cut off on the wire while the bytes
    // still counted in the checksum: refuse it rather than corrupt the flash.
    if (!data || length > OTA_MAX_DATA_BYTES) return false;
    uint8_t* payload = BeginReport(0, OTA_CMD_DATA, g_otaSequence, length);
    std::memcpy(payload, data, length);
    SealReport();
    return true;
}

bool BuildOtaFinishReport() {
    uint8_t* payload = BeginCommand(OTA_CMD_FINISH, 12);
    PutU32(payload + 1, g_otaImageSize);
    PutU16(payload + 5, g_otaChecksum);
    static const uint8_t kTail[5] = {0x00, 0x2E, 0x00, 0x2E, 0x00};
    std::memcpy(payload + 7, kTail, sizeof(kTail));
    SealReport();
    return true;
}

bool BuildOtaEndReport() {
    return BuildPlainCommand(OTA_CMD_END);
}

bool CheckOtaReply() {
    const uint8_t* r = g_otaReply;
    if (r[0] != OTA_REPORT_ID || r[1] != 0x65 || r[2] != 0 || r[3] != 0x25) return false;
    // A reply still echoing an earlier report is stale: the device has not
    // taken the last one yet.
    if (r[4] != uint8_t(g_otaCounter - 1)) return false;
    if (r[5] != 0 || r[6] != 0x0E) return true;
    if (r[8] == OTA_CMD_GET_VERSION && r[9] == 0 && r[7] == 9) {
        if (r[11] == '.' && r[13] == '.') {
            g_fwVersion[0] = r[10];
            g_fwVersion[1] = r[12];
            g_fwVersion[2] = r[14];
        }
        g_fwIdWord = GetU16(r + 15);
    } else if (r[8] == OTA_CMD_START && r[9] == 0 && r[7] == 0x10) {
        g_otaPacketSize = GetU16(r + 19);
        g_otaPacketsPerGroup = GetU16(r + 21);
    }
    return true;
}

bool ExchangeOtaReport(const OtaPacing& pacing, const std::function<bool()>& stopRequested) {
    HidBackend& hid = GetHidBackend();
    // Neither transfer's result is looked at: a report that did not arrive
    // shows up as a reply that is never accepted.
    hid.SetFeature(g_otaWriteHandle, g_otaReport, OTA_REPORT_LENGTH);
    SleepMs(pacing.pauseMs);
    std::memset(g_otaReply, 0, OTA_CLEAR_LENGTH);
    g_otaReply[0] = OTA_REPORT_ID;
    g_otaRetry = 1;
    hid.GetFeature(g_otaReadHandle, g_otaReply, OTA_REPORT_LENGTH);
    bool accepted = CheckOtaReply();
    while (!accepted) {
        ++g_otaRetry;
        if (g_otaRetry > pacing.readLimit) return false;
        if (stopRequested && stopRequested()) return false;
        SleepMs(pacing.pollIntervalMs);
        hid.GetFeature(g_otaReadHandle, g_otaReply, OTA_REPORT_LENGTH);
        accepted = CheckOtaReply();
    }
    return true;
}
