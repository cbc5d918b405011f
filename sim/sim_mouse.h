// The simulated mouse: the device side of the 9-byte command protocol with a
// state of its own. SimMouse is the physical mouse (its settings and status);
// SimMouseInterface is one command interface through which it is reached (the
// cable interface, or a receiver's), with that interface's own device and link
// information and switchable faults.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "sim/sim_hid_backend.h"

constexpr uint32_t SIM_ID_NONE = 0xFFFFFFFF;

// The factory defaults of the mouse's own buttons, by device button number.
constexpr uint32_t SIM_CODE_LEFT = 0x00F00001;
constexpr uint32_t SIM_CODE_RIGHT = 0x00F10001;
constexpr uint32_t SIM_CODE_MIDDLE = 0x00F20001;
constexpr uint32_t SIM_CODE_BACK = 0x00F30001;
constexpr uint32_t SIM_CODE_FORWARD = 0x00F40001;

struct SimDpiStage {
    uint16_t stepX = 0;
    uint16_t stepY = 0;
    uint8_t colour[3] = {};
};

// Everything the set commands change and the get commands answer from.
struct SimMouseSettings {
    uint8_t reportRate = 0;
    SimDpiStage stages[6];
    uint8_t dpiCount = 6;
    uint8_t dpiCurrent = 0;
    uint8_t dpiLedMode = 0;
    uint8_t dpiByte5 = 1;
    uint8_t dpiByte6 = 1;
    uint8_t sensor[6] = {};  // by sub-command 1..5: lift-off, ripple, angle snap, motion sync, mode
    uint8_t debounce = 4;
    uint8_t fireCount = 0;
    uint16_t fireInterval = 0;
    uint16_t powerDown = 0;
    uint32_t buttons[5] = {SIM_CODE_LEFT, SIM_CODE_RIGHT, SIM_CODE_MIDDLE, SIM_CODE_BACK,
                           SIM_CODE_FORWARD};
    uint8_t ledEffect = 0;
};

// The mouse keeps one macro image per slot (the device button number), moved in
// ten chunks of 32 bytes.
constexpr int SIM_MACRO_SLOT_COUNT = 5;
constexpr size_t SIM_MACRO_IMAGE_SIZE = 320;
constexpr int SIM_MACRO_CHUNK_COUNT = 10;
constexpr size_t SIM_MACRO_CHUNK_SIZE = 32;

enum class SimChunkFault {
    None,
    RefuseHeader,  // the chunk's header feature report is refused
    FailData,      // the header passes, the chunk's data report does not
};

enum class SimChunkAnswer { Refused, Ok, FailData };

// What the status input report carries besides the settings.
struct SimMouseStatus {
    uint8_t battery = 80;  // 0..127
    bool charging = false;
    bool profileCycle = false;
};

class SimMouse {
public:
    SimMouseSettings Settings() const;
    void SetSettings(const SimMouseSettings& settings);
    SimMouseStatus Status() const;
    void SetStatus(const SimMouseStatus& status);

    // The 33-byte status input report (report id 9) of the current state.
    std::vector<uint8_t> StatusReport() const;

    // A settings set command (bytes from byte 0); false for one the mouse does not know.
    bool ApplySet(const uint8_t* report);
    // The reply to a settings get command; false for one the mouse does not know.
    bool AnswerGet(const uint8_t* request, uint8_t* reply) const;

    std::vector<uint8_t> MacroImage(uint8_t slot) const;
    void SetMacroImage(uint8_t slot, const std::vector<uint8_t>& image);
    // Every later transfer of chunk index meets the fault.
    void SetMacroChunkFault(uint8_t index, SimChunkFault fault);
    // The 33-byte output report that follows an upload chunk's header; false when
    // no header announced it or the chunk fails.
    bool ApplyMacroData(const uint8_t* data, size_t length);
    // A download chunk's header: the reply holds the chunk in bytes 1 to 32.
    SimChunkAnswer AnswerMacroChunk(const uint8_t* request, uint8_t* reply);

private:
    // A valid chunk header names a chunk of a slot and the fixed count and length.
    static bool IsMacroHeader(const uint8_t* report);

    mutable std::mutex m_mutex;
    SimMouseSettings m_settings;
    SimMouseStatus m_status;
    uint8_t m_macroImages[SIM_MACRO_SLOT_COUNT][SIM_MACRO_IMAGE_SIZE] = {};
    SimChunkFault m_chunkFaults[SIM_MACRO_CHUNK_COUNT] = {};
    int m_uploadSlot = -1;  // the chunk the last upload header announced
    int m_uploadIndex = -1;
};

// Bytes 2 to 6 of the device-information reply.
struct SimDeviceInfo {
    uint8_t status = 1;
    uint8_t kind = 7;
    uint8_t linkType = 1;
    uint8_t byte5 = 0xE1;
    uint8_t byte6 = 0;
};

// How an interface fills byte 2 of its link-information replies to sub-commands 2 to 5.
enum class SimLinkByte2 {
    Status,   // 1, as the cable interface answers
    EchoSub,  // the sub-command, as a receiver answers
};

struct SimLinkInfo {
    uint32_t ownId = SIM_ID_NONE;  // sub-command 1, bytes 3 to 6
    uint8_t linkStatus = 0;        // sub-command 1, byte 7
    uint32_t ids[4] = {SIM_ID_NONE, SIM_ID_NONE, SIM_ID_NONE, SIM_ID_NONE};  // subs 2..5
    SimLinkByte2 byte2 = SimLinkByte2::Status;
};

enum class SimFault : uint32_t {
    WrongCommandEcho = 1 << 0,  // reply byte 1 is not the get command
    WrongSubEcho = 1 << 1,      // reply byte 2 is not the sub-command (or button)
    FailSet = 1 << 2,           // the set-feature transfer fails
    FailGet = 1 << 3,           // the get-feature transfer fails
    NoReply = 1 << 4,           // a get request leaves no reply (all zero)
    StaleReply = 1 << 5,        // a get request leaves the previous reply in place
};

class SimMouseInterface : public SimHidInterface {
public:
    // mouse may be null: a receiver with nothing linked answers only for itself.
    SimMouseInterface(HidInterfaceDescription description, std::shared_ptr<SimMouse> mouse,
                      SimDeviceInfo deviceInfo, SimLinkInfo linkInfo);

    // The description of a command interface (vendor collection 0xFF05, feature
    // value capability usage 4) of the given product at a USB location.
    static HidInterfaceDescription CommandInterface(std::u16string path, uint16_t productId,
                                                    const std::u16string& location);

    std::shared_ptr<SimMouse> Mouse() const;
    void SetMouse(std::shared_ptr<SimMouse> mouse);
    SimDeviceInfo DeviceInfo() const;
    void SetDeviceInfo(const SimDeviceInfo& info);
    SimLinkInfo LinkInfo() const;
    void SetLinkInfo(const SimLinkInfo& info);
    void SetFault(SimFault fault, bool on);

    // Sends the mouse's status input report to the readers of this interface.
    void SendStatusReport(SimHidBackend& backend) const;
    // Called after every set command the mouse took through this interface, on
    // the sending thread and outside the interface's lock. Null: none.
    void WatchSets(std::function<void()> watcher);

    bool HandleSetFeature(const uint8_t* data, size_t length) override;
    bool HandleGetFeature(uint8_t* data, size_t length) override;
    bool HandleOutputReport(const uint8_t* data, size_t length) override;

private:
    bool Has(SimFault fault) const { return (m_faults & uint32_t(fault)) != 0; }
    void AnswerLinkInfo(uint8_t sub, uint8_t* reply) const;

    mutable std::mutex m_mutex;
    std::shared_ptr<SimMouse> m_mouse;
    SimDeviceInfo m_deviceInfo;
    SimLinkInfo m_linkInfo;
    uint32_t m_faults = 0;
    std::function<void()> m_setWatcher;
    uint8_t m_reply[64] = {};  // the answer to the last get request
    bool m_failNextGet = false;  // a download chunk whose data does not pass
};
