// The body of the firmware update worker: streams an image to the update
// interface whose handles are open, and reports progress and the outcome
// through a small interface, so it runs the same behind the dialog and in tests.
#pragma once

#include <cstdint>

// The step an update failed at, as the update dialog receives it.
enum class FirmwareUpdateStep : int {
    None = 0,
    Start = 1,
    Cmd42 = 2,
    BlockHeader = 3,
    GroupChecksum = 4,
    Finish = 5,
    End = 6,
};

class FirmwareUpdateSink {
public:
    virtual ~FirmwareUpdateSink() = default;
    // The progress range is 0 .. maximum, the image size in bytes; the position
    // is the number of image bytes sent so far.
    virtual void OnProgressRange(int32_t maximum) = 0;
    virtual void OnProgressPosition(int32_t position) = 0;
    // Called once at the end of an update that was not stopped.
    virtual void OnResult(bool finished, FirmwareUpdateStep failedStep) = 0;
    // Asked before every report and every further read. Once it says true the
    // update ends at once and reports nothing more, not even a result.
    virtual bool StopRequested() { return false; }
};

enum class FirmwareUpdateOutcome { Finished, Failed, Stopped };

struct FirmwareUpdateResult {
    FirmwareUpdateOutcome outcome;
    FirmwareUpdateStep failedStep;
};

// The block counter is one byte, so an image holds at most 255 blocks.
constexpr uint32_t OTA_MAX_IMAGE_SIZE = 255 * 4096;

// Images the protocol can carry: at least one byte, at most 255 blocks.
bool IsFirmwareImageSizeValid(uint32_t size);

// Streams size bytes from image over g_otaWriteHandle / g_otaReadHandle, with
// g_otaPacketDelay after each data packet. An image the protocol cannot carry,
// or a device that announces packet sizes no report can carry, fails at the
// start step before any image byte is sent.
FirmwareUpdateResult RunFirmwareUpdate(const uint8_t* image, uint32_t size,
                                       FirmwareUpdateSink& sink);

// The pauses and packet delays an update of size bytes takes when every
// command is confirmed at its first read: the time the device needs, against
// which a real run is measured.
uint64_t PrescribedFirmwareUpdateMs(uint32_t size, uint16_t packetSize, uint16_t packetsPerGroup,
                                    uint8_t packetDelay);
