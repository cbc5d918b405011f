// The firmware update protocol: 64-byte feature reports with report id 3, in
// which the mouse tells its firmware version and takes a new firmware image.
// Its state is process-wide and serves one exchange at a time: the start-up
// version query, the update worker, or the discovery probe that borrows the
// two buffers for its own exchange.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "device/hid_backend.h"

constexpr uint8_t OTA_REPORT_ID = 3;
constexpr size_t OTA_REPORT_LENGTH = 64;
// The builders clear this much of the report buffer, the exchange of the reply buffer.
constexpr size_t OTA_CLEAR_LENGTH = 66;
// The discovery probe clears 255 bytes of each buffer before its own exchange.
constexpr size_t OTA_BUFFER_SIZE = 256;

constexpr uint8_t OTA_CMD_START = 0x27;
constexpr uint8_t OTA_CMD_42 = 0x42;
constexpr uint8_t OTA_CMD_GET_VERSION = 0x23;
constexpr uint8_t OTA_CMD_BLOCK = 0x25;
constexpr uint8_t OTA_CMD_GROUP_CHECKSUM = 0x41;
constexpr uint8_t OTA_CMD_DATA = 0x40;
constexpr uint8_t OTA_CMD_FINISH = 0x18;
constexpr uint8_t OTA_CMD_END = 0x22;

constexpr uint32_t OTA_BLOCK_SIZE = 4096;
// Bytes 0 to 8 of a report are its header; a data packet carries the rest.
constexpr size_t OTA_MAX_DATA_BYTES = OTA_REPORT_LENGTH - 9;
constexpr uint16_t OTA_DEFAULT_PACKET_SIZE = 25;
constexpr uint16_t OTA_DEFAULT_PACKETS_PER_GROUP = 40;
constexpr uint8_t OTA_DEFAULT_PACKET_DELAY = 20;

extern uint8_t g_otaReport[OTA_BUFFER_SIZE];
extern uint8_t g_otaReply[OTA_BUFFER_SIZE];

extern uint8_t g_otaCounter;      // transaction counter, wraps at 256
extern uint8_t g_otaSequence;     // advances once per confirmed command
extern uint8_t g_otaBlockIndex;
extern uint8_t g_otaBlockCount;
extern uint32_t g_otaImageSize;
extern uint16_t g_otaChecksum;    // 16-bit sum of every image byte sent so far
extern uint16_t g_otaPacketSize;
extern uint16_t g_otaPacketsPerGroup;
extern uint8_t g_otaPacketDelay;  // milliseconds after each data packet
extern uint32_t g_otaRetry;       // reads of the running exchange

// Replies are read on the read handle and reports written on the write handle;
// both are kInvalidHidHandle while closed.
extern HidHandle g_otaReadHandle;
extern HidHandle g_otaWriteHandle;

extern uint8_t g_fwVersion[3];
extern uint16_t g_fwIdWord;

// The ids of the mouse whose interface takes updates; discovery sets them
// before it fills g_hidInterfaces.
extern uint16_t g_otaVendorId;
extern uint16_t g_otaProductId;

// The update interface chosen from g_hidInterfaces, with that entry's probe bytes.
extern std::u16string g_otaDevicePath;
extern uint8_t g_otaProbeByte1;
extern uint8_t g_otaProbeByte2;

// The builders fill g_otaReport (64 bytes to send) and advance the counters as
// each command requires. Only the data builder can fail: on a null pointer, or
// on more bytes than one report carries.
// Puts every protocol global back to its start-up value, for a process that
// runs the protocol again from scratch (tests and fuzzing do).
void ResetOtaProtocolState();

bool BuildOtaStartReport(uint32_t imageSize);
bool BuildOtaCmd42Report();
bool BuildOtaVersionQueryReport();
bool BuildOtaBlockHeaderReport();
bool BuildOtaGroupChecksumReport();
bool BuildOtaDataReport(uint8_t length, const uint8_t* data);
bool BuildOtaFinishReport();
bool BuildOtaEndReport();

// Accepts g_otaReply when it answers the last report that carried a counter;
// a version or start reply also updates what it reports.
bool CheckOtaReply();

// How one command waits for its confirmation: the pause after sending, the
// interval between reads, and the number of reads in all.
struct OtaPacing {
    uint32_t pauseMs;
    uint32_t pollIntervalMs;
    uint32_t readLimit;
};

// Sends the report the caller has just built on g_otaWriteHandle and reads
// g_otaReadHandle until a reply is accepted. False when no reply was accepted
// within the read limit, or when stopRequested said so before a further read.
bool ExchangeOtaReport(const OtaPacing& pacing,
                       const std::function<bool()>& stopRequested = nullptr);
