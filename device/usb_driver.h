// The transport to one connected mouse: the 9-byte feature-report frames of
// every command, the command set built on them, and the reader thread that
// turns the mouse's status input reports into UWM_DEVICE_EVENT messages.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "device/hid_backend.h"
#include "device/message_sink.h"

constexpr uint8_t REPORT_ID_MOUSE = 9;
constexpr uint8_t CMD_GET_FLAG = 0x80;

constexpr uint8_t CMD_SET_REPORT_RATE = 0x01;
constexpr uint8_t CMD_GET_REPORT_RATE = 0x81;
constexpr uint8_t CMD_SET_DPI_STAGE = 0x02;
constexpr uint8_t CMD_GET_DPI_STAGE = 0x82;
constexpr uint8_t CMD_SET_DPI_CONFIG = 0x03;
constexpr uint8_t CMD_GET_DPI_CONFIG = 0x83;
constexpr uint8_t CMD_GROUP_SENSOR = 0x04;  // the get is CMD_GROUP_SENSOR | CMD_GET_FLAG
constexpr uint8_t CMD_GROUP_TIMING = 0x05;
constexpr uint8_t CMD_SET_BUTTON = 0x06;
constexpr uint8_t CMD_GET_BUTTON = 0x86;
constexpr uint8_t CMD_WRITE_MACRO_CHUNK = 0x07;
constexpr uint8_t CMD_READ_MACRO_CHUNK = 0x87;
constexpr uint8_t CMD_SET_LED_EFFECT = 0x08;
constexpr uint8_t CMD_GET_LED_EFFECT = 0x88;
constexpr uint8_t CMD_GET_LINK_INFO = 0x8E;
constexpr uint8_t CMD_GET_DEVICE_INFO = 0x8F;

// Sub-commands of the sensor group.
constexpr uint8_t SENSOR_LIFT_OFF = 0x01;
constexpr uint8_t SENSOR_RIPPLE_CONTROL = 0x02;
constexpr uint8_t SENSOR_ANGLE_SNAP = 0x03;
constexpr uint8_t SENSOR_MOTION_SYNC = 0x04;
constexpr uint8_t SENSOR_MODE = 0x05;
// Sub-commands of the timing group.
constexpr uint8_t TIMING_DEBOUNCE = 0x01;
constexpr uint8_t TIMING_FIRE_KEY = 0x02;
constexpr uint8_t TIMING_POWER_DOWN = 0x03;
// Sub-command 1 of the link information: link state and the device's own identifier.
constexpr uint8_t LINK_INFO_STATE = 0x01;

// The DPI axis byte: sensors 0xF0 and 0xF1 keep separate X and Y steps.
constexpr uint8_t DPI_AXIS_BOTH = 0;
constexpr uint8_t DPI_AXIS_X = 1;
constexpr uint8_t DPI_AXIS_Y = 2;

constexpr uint8_t REPORT_RATE_CODE_MAX = 6;
constexpr uint32_t FIRE_INTERVAL_MAX = 30;

// Waits between a get request and fetching its reply.
constexpr uint32_t GET_REPLY_WAIT_MS = 10;
constexpr uint32_t DEVICE_INFO_REPLY_WAIT_MS = 30;

constexpr uint32_t UWM_DEVICE_EVENT = 0x80A;
constexpr uint8_t DEVICE_EVENT_MARKER = 0x5A;  // low byte of lParam; the receiver checks it

constexpr size_t REPORT_BUFFER_SIZE = 255;
constexpr size_t FEATURE_REPORT_SIZE = 9;
constexpr size_t INPUT_REPORT_SIZE = 33;

// Every device command: report id, command byte, sub-command and parameters.
struct FeatureReport {
    uint8_t reportId;
    uint8_t command;
    uint8_t params[7];
};
static_assert(sizeof(FeatureReport) == FEATURE_REPORT_SIZE);

// A status input report; only bytes 1 to 7 carry anything.
struct InputReport {
    uint8_t reportId;
    uint8_t status[7];
    uint8_t unused[25];
};
static_assert(sizeof(InputReport) == INPUT_REPORT_SIZE);

struct DeviceEventParams {
    uint32_t wParam;
    uint32_t lParam;
};

// wParam carries status bytes 1 to 4 (byte 1 lowest), lParam the marker and bytes 5 to 7.
DeviceEventParams PackDeviceEvent(const uint8_t* report);

// State of the one reader that runs at a time.
extern std::atomic<uint32_t> g_readerStop;
extern uint8_t g_inputReport[64];

class CUSBDriver;
void ReaderThreadProc(CUSBDriver* driver);

class CUSBDriver {
public:
    CUSBDriver();
    // Stops the reader before the handles it reads from go away.
    ~CUSBDriver();
    CUSBDriver(const CUSBDriver&) = delete;
    CUSBDriver& operator=(const CUSBDriver&) = delete;

    // Opens path for reading and for writing and starts a new reader that posts
    // UWM_DEVICE_EVENT to notify. True when both handles opened.
    bool Open(const std::u16string& path, int32_t reportId, int32_t reportLength,
              MessageSink* notify);
    // Ends the reader and waits until its pending read has completed.
    void StopReader();
    bool IsReaderRunning() const { return m_readerThread.joinable(); }

    // Set commands: true when the report was sent.
    bool SetReportRate(int code);
    bool SetDpiStage(int stage, int axis);  // step and colour come from g_settings
    bool SetDpiConfig(uint8_t count, uint8_t current, uint8_t ledMode, uint8_t byte5,
                      uint8_t byte6);
    bool SetLiftOffDistance(uint8_t code);
    bool SetRippleControl(uint8_t on);
    bool SetAngleSnap(uint8_t on);
    bool SetMotionSync(uint8_t on);
    bool SetSensorMode(uint8_t mode);
    bool SetDebounceTime(uint8_t value);
    bool SetFireKey(uint8_t count, uint32_t interval);
    bool SetPowerDownTime(uint32_t seconds);
    bool SetButtonFunction(uint32_t code, uint8_t button);
    bool SetLedEffect(uint8_t effect);

    // Get commands: false when nothing valid came back, outputs unchanged. A reply
    // that echoes the command but not the sub-command (or button) returns true and
    // leaves the outputs unchanged.
    bool GetReportRate(uint8_t& code);
    bool GetDpiStage(int stage, int axis);  // stores into g_settings
    bool GetDpiConfig(uint8_t& count, uint8_t& current, uint8_t& ledMode, uint8_t& byte5,
                      uint8_t& byte6);
    bool GetLiftOffDistance(uint8_t& code);
    bool GetRippleControl(uint8_t& on);
    bool GetAngleSnap(uint8_t& on);
    bool GetMotionSync(uint8_t& on);
    bool GetSensorMode(uint8_t& mode);
    bool GetDebounceTime(uint8_t& value);
    bool GetFireKey(uint8_t& count, uint32_t& interval);
    bool GetPowerDownTime(uint32_t& seconds);
    // codeWritten, when given, tells whether code holds a code from the mouse: it is
    // false after a reply for another button, which still returns true.
    bool GetButtonFunction(uint8_t button, uint32_t& code, bool* codeWritten = nullptr);
    bool GetLedEffect(uint8_t& effect);
    bool GetReceiverLinkState(uint8_t& state);
    // Also keeps reply bytes 4 and 5 in g_linkType and g_deviceModel.
    bool GetDeviceInfo(uint8_t& status, uint8_t& kind);

    // The macro image of a device slot, in ten chunks of 32 bytes. Upload: 1 when
    // every chunk went out; 0 without a write handle, at a refused header, or when
    // a chunk's output report failed. Download fills 320 bytes: 1 when every chunk
    // came back; a chunk that did not is left zero at its own offset, and gives 0.
    int UploadMacroChunks(uint8_t slot, const uint8_t* image);
    int DownloadMacroChunks(uint8_t* destination, uint8_t slot);

private:
    enum class GetResult { Failed, OtherSubCommand, Ok };

    friend void ReaderThreadProc(CUSBDriver* driver);

    size_t TransferLength() const;
    bool SendFrame();
    bool SetFrame(std::initializer_list<uint8_t> bytes);
    // bytes[0] is the get command. subEcho >= 0 names the value reply byte 2 must hold.
    GetResult GetFrame(std::initializer_list<uint8_t> bytes, int subEcho);
    template <typename Take>
    bool GetGroupValue(uint8_t group, uint8_t sub, Take take);
    bool GetSensorValue(uint8_t sub, uint8_t& value);
    void CloseHandles();
    void StopReaderLocked();
    void RunReader();

    MessageSink* m_notifyWnd = nullptr;
    HidHandle m_readHandle = kInvalidHidHandle;
    HidHandle m_writeHandle = kInvalidHidHandle;
    uint32_t m_bytesWritten = 0;
    uint8_t m_outReport[REPORT_BUFFER_SIZE] = {};
    uint8_t m_inReport[REPORT_BUFFER_SIZE] = {};
    int32_t m_reportId = 0;
    int32_t m_reportLength = 0;
    std::thread m_readerThread;
    // The macro chunk transfer's own output report; its overlapped record is the
    // HID backend's, per write handle.
    uint8_t m_outputReport[REPORT_BUFFER_SIZE] = {};

    // One command at a time: the report buffers are shared by every caller.
    std::mutex m_commandLock;
    // Where a reader whose read failed at once waits to be stopped.
    std::mutex m_stopMutex;
    std::condition_variable m_stopWake;
};
