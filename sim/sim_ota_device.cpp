#include "sim/sim_ota_device.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr size_t kReportLength = 64;
constexpr uint32_t kBlockSize = 4096;

uint16_t U16(const uint8_t* at) {
    return uint16_t(at[0] | (at[1] << 8));
}

uint32_t U32(const uint8_t* at) {
    return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24;
}

std::string Hex(uint32_t value) {
    static const char* digits = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), digits[value & 0xF]);
        value >>= 4;
    } while (value);
    return "0x" + text;
}

// Payload length of each command, the repeated command byte included.
int CommandLength(uint8_t command) {
    switch (command) {
    case 0x27: return 6;
    case 0x42: return 2;
    case 0x23: return 2;
    case 0x25: return 9;
    case 0x41: return 3;
    case 0x18: return 12;
    case 0x22: return 2;
    default: return -1;
    }
}

}  // namespace

HidInterfaceDescription SimOtaInterface::Describe(std::u16string path,
                                                  std::vector<std::u16string> deviceProperties) {
    HidInterfaceDescription d;
    d.path = std::move(path);
    d.vendorId = 0x093A;
    d.productId = 0x622C;
    d.capsValid = true;
    d.topLevel = {0xFF00, 0x0001};
    d.featureValueCaps = {{0xFF00, 0x0001}};
    d.deviceProperties = std::move(deviceProperties);
    return d;
}

SimOtaInterface::SimOtaInterface(std::u16string path, std::vector<std::u16string> deviceProperties)
    : SimHidInterface(Describe(std::move(path), std::move(deviceProperties))) {}

void SimOtaInterface::SetVersion(uint8_t major, uint8_t minor, uint8_t patch, uint16_t idWord,
                                 bool withDots) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_version[0] = major;
    m_version[1] = minor;
    m_version[2] = patch;
    m_idWord = idWord;
    m_versionDots = withDots;
}

void SimOtaInterface::SetStartReply(uint16_t packetSize, uint16_t packetsPerGroup,
                                    uint8_t lengthByte) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_startPacketSize = packetSize;
    m_startPacketsPerGroup = packetsPerGroup;
    m_startLengthByte = lengthByte;
}

void SimOtaInterface::FaultStaleReplies(uint8_t command, uint32_t reads) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_staleFault = {command, reads, true};
}

void SimOtaInterface::FaultNoReply(uint8_t command, uint32_t reads) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_noReplyFault = {command, reads, true};
}

void SimOtaInterface::FaultRefuseChecksum(uint8_t command) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_refuseChecksumCommand = command;
}

void SimOtaInterface::FaultUnplugAfterDataPackets(uint32_t packets,
                                                  std::function<void()> onUnplug) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_unplugAfter = packets;
    m_unplugArmed = true;
    m_onUnplug = std::move(onUnplug);
}

std::vector<uint8_t> SimOtaInterface::Flash() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_flash;
}

std::vector<bool> SimOtaInterface::Written() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_written;
}

uint32_t SimOtaInterface::StartedImageSize() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_imageSize;
}

uint16_t SimOtaInterface::RunningChecksum() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_checksum;
}

uint32_t SimOtaInterface::DataPackets() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_dataPackets;
}

uint32_t SimOtaInterface::GroupChecksumsMatched() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_groupsMatched;
}

bool SimOtaInterface::FinishMatched() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_finishMatched;
}

bool SimOtaInterface::EndReceived() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_endReceived;
}

std::vector<std::string> SimOtaInterface::ProtocolErrors() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_errors;
}

void SimOtaInterface::Error(std::string text) {
    m_errors.push_back(std::move(text));
}

bool SimOtaInterface::HandleSetFeature(const uint8_t* r, size_t length) {
    std::function<void()> unplugNow;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_unplugged) return false;
        if (length < kReportLength || r[0] != 3) {
            Error("report of " + std::to_string(length) + " bytes with id " + Hex(r[0]));
            return false;
        }
        uint8_t sum = 0;
        for (size_t i = 2; i < kReportLength; ++i) sum = uint8_t(sum + r[i]);
        // The device drops a damaged report without a word; the host only
        // sees that no reply confirms it.
        if (r[2] != 0x65 || r[3] != 0x3A || r[5] != 0) {
            Error("bad header in command " + Hex(r[6]));
            return true;
        }
        if (r[1] != sum) {
            Error("checksum " + Hex(r[1]) + " instead of " + Hex(sum) + " in command " + Hex(r[6]));
            return true;
        }
        if (r[8] > kReportLength - 9) {
            Error("payload of " + std::to_string(r[8]) + " bytes");
            return true;
        }
        for (size_t i = 9 + r[8]; i < kReportLength; ++i) {
            if (r[i] != 0) {
                Error("byte " + std::to_string(i) + " after the payload of command " + Hex(r[6]) +
                      " is not 0");
                break;
            }
        }
        if (r[6] == 0x40) {
            HandleData(r);
            if (m_unplugArmed && m_dataPackets >= m_unplugAfter) {
                m_unplugArmed = false;
                m_unplugged = true;
                unplugNow = std::move(m_onUnplug);
            }
        } else {
            HandleCommand(r);
        }
    }
    if (unplugNow) unplugNow();
    return true;
}

void SimOtaInterface::HandleData(const uint8_t* r) {
    const uint8_t n = r[8];
    if (r[4] != 0) Error("data packet with counter " + Hex(r[4]));
    if (r[7] != uint8_t(m_lastSequence + 1)) {
        Error("data packet with sequence " + Hex(r[7]) + " after command sequence " +
              Hex(m_lastSequence));
    }
    if (!m_inBlock || m_writeOffset + n > m_blockBase + kBlockSize ||
        m_writeOffset + n > m_imageSize) {
        Error("data packet of " + std::to_string(n) + " bytes at " + Hex(m_writeOffset) +
              " outside its block or the image");
        return;
    }
    for (uint8_t i = 0; i < n; ++i) {
        m_flash[m_writeOffset + i] = r[9 + i];
        m_written[m_writeOffset + i] = true;
        m_checksum = uint16_t(m_checksum + r[9 + i]);
    }
    m_writeOffset += n;
    ++m_dataPackets;
}

void SimOtaInterface::Accept(const uint8_t* r) {
    std::memset(m_reply, 0, sizeof(m_reply));
    m_reply[0] = 3;
    m_reply[1] = 0x65;
    m_reply[2] = 0x00;
    m_reply[3] = 0x25;
    m_reply[4] = r[4];
}

void SimOtaInterface::ArmFaults(uint8_t command) {
    m_staleReadsLeft = 0;
    m_noReplyReadsLeft = 0;
    if (m_staleFault.armed && m_staleFault.command == command) {
        m_staleReadsLeft = m_staleFault.reads;
        m_staleFault.armed = false;
    }
    if (m_noReplyFault.armed && m_noReplyFault.command == command) {
        m_noReplyReadsLeft = m_noReplyFault.reads;
        m_noReplyFault.armed = false;
    }
}

void SimOtaInterface::HandleCommand(const uint8_t* r) {
    const uint8_t command = r[6];
    if (CommandLength(command) < 0) {
        Error("unknown command " + Hex(command));
        return;
    }
    if (r[8] != CommandLength(command) || r[9] != command) {
        Error("command " + Hex(command) + " with payload length " + std::to_string(r[8]) +
              " and first payload byte " + Hex(r[9]));
        return;
    }
    ArmFaults(command);

    if (command == 0x27) {
        if (r[4] != 0 || r[7] != 1) Error("start with counter " + Hex(r[4]) + ", sequence " + Hex(r[7]));
        if (r[14] != 0) Error("start with a sixth payload byte " + Hex(r[14]));
        m_started = true;
        m_lastCounter = 0;
        m_lastSequence = 1;
        m_inBlock = false;
        m_checksum = 0;
        // A start of size 0 only opens the way to the version query; the flash
        // keeps what an earlier update wrote.
        const uint32_t size = U32(r + 10);
        m_imageSize = size;
        if (size > 0) {
            m_flash.assign(size, 0xFF);
            m_written.assign(size, false);
            m_dataPackets = 0;
            m_groupsMatched = 0;
            m_finishMatched = false;
            m_endReceived = false;
        }
        Accept(r);
        m_reply[5] = 0x00;
        m_reply[6] = 0x0E;
        m_reply[7] = m_startLengthByte;
        m_reply[8] = 0x27;
        m_reply[9] = 0x00;
        m_reply[19] = uint8_t(m_startPacketSize);
        m_reply[20] = uint8_t(m_startPacketSize >> 8);
        m_reply[21] = uint8_t(m_startPacketsPerGroup);
        m_reply[22] = uint8_t(m_startPacketsPerGroup >> 8);
        return;
    }

    if (!m_started) Error("command " + Hex(command) + " before a start");
    if (r[4] != uint8_t(m_lastCounter + 1)) {
        Error("command " + Hex(command) + " with counter " + Hex(r[4]) + " after " +
              Hex(m_lastCounter));
    }
    if (r[7] != uint8_t(m_lastSequence + 1)) {
        Error("command " + Hex(command) + " with sequence " + Hex(r[7]) + " after " +
              Hex(m_lastSequence));
    }
    m_lastCounter = r[4];
    m_lastSequence = r[7];

    switch (command) {
    case 0x42:
        Accept(r);
        break;
    case 0x23:
        Accept(r);
        m_reply[5] = 0x00;
        m_reply[6] = 0x0E;
        m_reply[7] = 9;
        m_reply[8] = 0x23;
        m_reply[9] = 0x00;
        m_reply[10] = m_version[0];
        m_reply[11] = m_versionDots ? '.' : ' ';
        m_reply[12] = m_version[1];
        m_reply[13] = m_versionDots ? '.' : ' ';
        m_reply[14] = m_version[2];
        m_reply[15] = uint8_t(m_idWord);
        m_reply[16] = uint8_t(m_idWord >> 8);
        break;
    case 0x25: {
        const uint32_t offset = U32(r + 10);
        const uint32_t size = U32(r + 14);
        if (size != kBlockSize) Error("block header announcing " + std::to_string(size) + " bytes");
        if (offset % kBlockSize != 0 || offset >= m_imageSize) {
            Error("block header at " + Hex(offset) + " for an image of " +
                  std::to_string(m_imageSize) + " bytes");
            m_inBlock = false;
            return;  // not confirmed
        }
        m_inBlock = true;
        m_blockBase = offset;
        m_writeOffset = offset;
        Accept(r);
        break;
    }
    case 0x41: {
        const uint16_t sum = U16(r + 10);
        if (m_refuseChecksumCommand == 0x41) {
            m_refuseChecksumCommand = 0;
            return;
        }
        if (sum != m_checksum) {
            Error("group checksum " + Hex(sum) + ", own sum " + Hex(m_checksum));
            return;
        }
        ++m_groupsMatched;
        Accept(r);
        break;
    }
    case 0x18: {
        const uint32_t size = U32(r + 10);
        const uint16_t sum = U16(r + 14);
        static const uint8_t kTail[5] = {0x00, 0x2E, 0x00, 0x2E, 0x00};
        if (std::memcmp(r + 16, kTail, sizeof(kTail)) != 0) Error("finish command with another tail");
        if (m_refuseChecksumCommand == 0x18) {
            m_refuseChecksumCommand = 0;
            return;
        }
        if (size != m_imageSize || sum != m_checksum) {
            Error("finish for " + std::to_string(size) + " bytes, sum " + Hex(sum) + "; started " +
                  std::to_string(m_imageSize) + " bytes, own sum " + Hex(m_checksum));
            return;
        }
        m_finishMatched = true;
        Accept(r);
        break;
    }
    case 0x22:
        m_endReceived = true;
        m_inBlock = false;
        Accept(r);
        break;
    }
}

bool SimOtaInterface::HandleGetFeature(uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_unplugged || length < kReportLength || data[0] != 3) return false;
    if (m_noReplyReadsLeft > 0) {
        --m_noReplyReadsLeft;
        return false;
    }
    std::memcpy(data, m_reply, kReportLength);
    data[0] = 3;
    if (m_staleReadsLeft > 0) {
        // Still the reply to the report before: the device is not done yet.
        --m_staleReadsLeft;
        data[4] = uint8_t(m_reply[4] - 1);
    }
    return true;
}

std::vector<uint8_t> MakeTestFirmwareImage(uint32_t size, uint32_t seed) {
    std::vector<uint8_t> image(size);
    uint32_t state = seed ? seed : 1;
    for (auto& byte : image) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        byte = uint8_t(state >> 24);
    }
    return image;
}
