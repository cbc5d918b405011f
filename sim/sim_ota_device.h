// The mouse's side of the firmware update protocol, on the update collection
// of the cable mouse: a flash image that the blocks fill by their offsets, its
// own running checksum held against the group and finish checksums, version
// and start replies, and faults a test can switch on.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "sim/sim_hid_backend.h"

class SimOtaInterface final : public SimHidInterface {
public:
    // path: the interface path; deviceProperties: the device's text property
    // values, the USB location among them.
    SimOtaInterface(std::u16string path, std::vector<std::u16string> deviceProperties);

    static HidInterfaceDescription Describe(std::u16string path,
                                            std::vector<std::u16string> deviceProperties);

    // What the version reply tells. Without the dots the host keeps its version.
    void SetVersion(uint8_t major, uint8_t minor, uint8_t patch, uint16_t idWord,
                    bool withDots = true);
    // The packet size and packets per group the start reply announces, and the
    // reply's length byte (0x10 for a well-formed reply).
    void SetStartReply(uint16_t packetSize, uint16_t packetsPerGroup, uint8_t lengthByte = 0x10);

    // Faults. Each arms for the next report with that command byte.
    // The next `reads` reads after it echo the counter before it: not ready yet.
    void FaultStaleReplies(uint8_t command, uint32_t reads);
    // The next `reads` reads after it fail outright.
    void FaultNoReply(uint8_t command, uint32_t reads);
    // The group checksum (0x41) or finish (0x18) is refused as if the sums differed.
    void FaultRefuseChecksum(uint8_t command);
    // After that many data packets the device is gone: every transfer fails.
    // onUnplug, when given, runs then (to take it out of the simulated stack too).
    void FaultUnplugAfterDataPackets(uint32_t packets, std::function<void()> onUnplug = {});

    // What the device made of it.
    std::vector<uint8_t> Flash() const;      // the image the blocks wrote, by the started size
    std::vector<bool> Written() const;       // which flash bytes a data packet wrote
    uint32_t StartedImageSize() const;
    uint16_t RunningChecksum() const;
    uint32_t DataPackets() const;
    uint32_t GroupChecksumsMatched() const;
    bool FinishMatched() const;              // size and checksum of the finish command agreed
    bool EndReceived() const;
    // Reports that broke the protocol's rules (header, checksum, counters,
    // sequence, lengths, offsets); a faultless host leaves this empty.
    std::vector<std::string> ProtocolErrors() const;

    bool HandleSetFeature(const uint8_t* data, size_t length) override;
    bool HandleGetFeature(uint8_t* data, size_t length) override;

private:
    struct ArmedFault {
        uint8_t command = 0;
        uint32_t reads = 0;
        bool armed = false;
    };

    void Error(std::string text);
    void HandleCommand(const uint8_t* r);
    void HandleData(const uint8_t* r);
    void Accept(const uint8_t* r);  // the reply now echoes this report's counter
    void ArmFaults(uint8_t command);

    mutable std::mutex m_mutex;
    // What the device tells.
    uint8_t m_version[3] = {1, 0, 0};
    uint16_t m_idWord = 0x0001;
    bool m_versionDots = true;
    uint16_t m_startPacketSize = 25;
    uint16_t m_startPacketsPerGroup = 40;
    uint8_t m_startLengthByte = 0x10;

    // Protocol state.
    uint8_t m_reply[64] = {};
    bool m_started = false;
    uint8_t m_lastCounter = 0;
    uint8_t m_lastSequence = 0;
    uint32_t m_imageSize = 0;
    std::vector<uint8_t> m_flash;
    std::vector<bool> m_written;
    bool m_inBlock = false;
    uint32_t m_blockBase = 0;
    uint32_t m_writeOffset = 0;
    uint16_t m_checksum = 0;
    uint32_t m_dataPackets = 0;
    uint32_t m_groupsMatched = 0;
    bool m_finishMatched = false;
    bool m_endReceived = false;
    std::vector<std::string> m_errors;

    // Faults.
    ArmedFault m_staleFault, m_noReplyFault;
    uint32_t m_staleReadsLeft = 0;
    uint32_t m_noReplyReadsLeft = 0;
    uint8_t m_refuseChecksumCommand = 0;
    uint32_t m_unplugAfter = 0;
    bool m_unplugArmed = false;
    bool m_unplugged = false;
    std::function<void()> m_onUnplug;
};

// A firmware image for tests and the demo: size bytes of reproducible noise,
// so that every byte's place and the checksums are put to the test. The mouse
// never sees it; the simulator accepts any image.
std::vector<uint8_t> MakeTestFirmwareImage(uint32_t size, uint32_t seed = 1);
