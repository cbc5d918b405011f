#include "device/usb_driver.h"

#include <algorithm>
#include <cstring>

#include "device/clock.h"
#include "device/device_state.h"
#include "device/settings.h"

std::atomic<uint32_t> g_readerStop{0};
uint8_t g_inputReport[64];

DeviceEventParams PackDeviceEvent(const uint8_t* report) {
    // Unsigned all the way: status bytes at 0x80 and above must not sign-extend.
    DeviceEventParams p;
    p.wParam = uint32_t(report[1]) | uint32_t(report[2]) << 8 | uint32_t(report[3]) << 16 |
               uint32_t(report[4]) << 24;
    p.lParam = uint32_t(DEVICE_EVENT_MARKER) | uint32_t(report[5]) << 8 |
               uint32_t(report[6]) << 16 | uint32_t(report[7]) << 24;
    return p;
}

void ReaderThreadProc(CUSBDriver* driver) { driver->RunReader(); }

CUSBDriver::CUSBDriver() = default;

CUSBDriver::~CUSBDriver() {
    std::lock_guard<std::mutex> lock(m_commandLock);
    StopReaderLocked();
    CloseHandles();
}

void CUSBDriver::CloseHandles() {
    HidBackend& hid = GetHidBackend();
    if (m_writeHandle != kInvalidHidHandle) hid.Close(m_writeHandle);
    if (m_readHandle != kInvalidHidHandle) hid.Close(m_readHandle);
    m_writeHandle = kInvalidHidHandle;
    m_readHandle = kInvalidHidHandle;
}

void CUSBDriver::StopReader() {
    std::lock_guard<std::mutex> lock(m_commandLock);
    StopReaderLocked();
}

void CUSBDriver::StopReaderLocked() {
    if (!m_readerThread.joinable()) return;
    g_readerStop = 1;
    GetHidBackend().CancelRead(m_readHandle);
    {
        // Taken so that a reader about to wait cannot miss the wake-up.
        std::lock_guard<std::mutex> lock(m_stopMutex);
    }
    m_stopWake.notify_all();
    // The backend's read returns only once the pending read has completed, so after
    // the join nothing is left that could still write into the reader's buffer.
    m_readerThread.join();
}

bool CUSBDriver::Open(const std::u16string& path, int32_t reportId, int32_t reportLength,
                      MessageSink* notify) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    HidBackend& hid = GetHidBackend();
    StopReaderLocked();
    m_notifyWnd = notify;
    CloseHandles();

    m_readHandle = hid.Open(path, HidAccess::Read);
    m_writeHandle = hid.Open(path, HidAccess::Write);

    g_readerStop = 0;
    std::memset(g_inputReport, 0, sizeof(g_inputReport));
    // No reader at all when there is nothing to read from.
    if (m_readHandle != kInvalidHidHandle) m_readerThread = std::thread(ReaderThreadProc, this);

    m_reportId = reportId;
    m_reportLength = reportLength;
    return m_readHandle != kInvalidHidHandle && m_writeHandle != kInvalidHidHandle;
}

void CUSBDriver::RunReader() {
    HidBackend& hid = GetHidBackend();
    const HidHandle handle = m_readHandle;
    MessageSink* const notify = m_notifyWnd;
    for (;;) {
        std::memset(g_inputReport, 0, sizeof(g_inputReport));
        bool ok = hid.ReadInput(handle, g_inputReport, INPUT_REPORT_SIZE);
        if (g_readerStop) return;
        if (!ok) {
            // A read that fails at once (the device is gone) would fail again at
            // once: wait to be stopped instead of spinning.
            std::unique_lock<std::mutex> lock(m_stopMutex);
            m_stopWake.wait(lock, [] { return g_readerStop.load() != 0; });
            return;
        }
        if (g_inputReport[0] != REPORT_ID_MOUSE) continue;
        DeviceEventParams event = PackDeviceEvent(g_inputReport);
        if (notify) notify->Post(UWM_DEVICE_EVENT, event.wParam, intptr_t(event.lParam));
    }
}

size_t CUSBDriver::TransferLength() const {
    // Never more than the buffers hold, whatever length the caller opened with.
    return size_t(std::clamp<int32_t>(m_reportLength + 1, 1, int32_t(REPORT_BUFFER_SIZE)));
}

bool CUSBDriver::SendFrame() {
    if (m_writeHandle == kInvalidHidHandle) return false;
    m_outReport[0] = uint8_t(m_reportId);
    return GetHidBackend().SetFeature(m_writeHandle, m_outReport, TransferLength());
}

bool CUSBDriver::SetFrame(std::initializer_list<uint8_t> bytes) {
    std::memset(m_outReport, 0, sizeof(m_outReport));
    std::copy(bytes.begin(), bytes.end(), m_outReport + 1);
    return SendFrame();
}

CUSBDriver::GetResult CUSBDriver::GetFrame(std::initializer_list<uint8_t> bytes, int subEcho) {
    const uint8_t command = *bytes.begin();
    std::memset(m_outReport, 0, sizeof(m_outReport));
    std::copy(bytes.begin(), bytes.end(), m_outReport + 1);
    std::memset(m_inReport, 0, sizeof(m_inReport));
    if (!SendFrame()) return GetResult::Failed;

    SleepMs(command == CMD_GET_DEVICE_INFO ? DEVICE_INFO_REPLY_WAIT_MS : GET_REPLY_WAIT_MS);

    if (m_readHandle == kInvalidHidHandle) return GetResult::Failed;
    m_inReport[0] = uint8_t(m_reportId);
    if (!GetHidBackend().GetFeature(m_readHandle, m_inReport, TransferLength())) {
        return GetResult::Failed;
    }
    if (m_inReport[1] != command) return GetResult::Failed;
    if (subEcho >= 0 && m_inReport[2] != uint8_t(subEcho)) return GetResult::OtherSubCommand;
    return GetResult::Ok;
}

// ---- set commands

bool CUSBDriver::SetReportRate(int code) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    if (code < 0 || code > REPORT_RATE_CODE_MAX) code = 0;
    return SetFrame({CMD_SET_REPORT_RATE, uint8_t(code)});
}

bool CUSBDriver::SetDpiStage(int stage, int axis) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    // The stage indexes the settings tables.
    if (stage < 0 || stage >= DPI_LEVEL_COUNT) return false;
    const uint32_t step =
        uint32_t(axis == DPI_AXIS_Y ? g_settings.dpiStepsY[stage] : g_settings.dpiStepsX[stage]);
    const uint8_t* colour = g_settings.dpiColours[stage];
    return SetFrame({CMD_SET_DPI_STAGE, uint8_t(stage), uint8_t(step), uint8_t(step >> 8),
                     colour[0], colour[1], colour[2], uint8_t(axis)});
}

bool CUSBDriver::SetDpiConfig(uint8_t count, uint8_t current, uint8_t ledMode, uint8_t byte5,
                              uint8_t byte6) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    return SetFrame({CMD_SET_DPI_CONFIG, count, current, ledMode, byte5, byte6});
}

bool CUSBDriver::SetLiftOffDistance(uint8_t code) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    return SetFrame({CMD_GROUP_SENSOR, SENSOR_LIFT_OFF, code});
}

bool CUSBDriver::SetRippleControl(uint8_t on) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    return SetFrame({CMD_GROUP_SENSOR, SENSOR_RIPPLE_CONTROL, on});
}

bool CUSBDriver::SetAngleSnap(uint8_t on) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    return SetFrame({CMD_GROUP_SENSOR, SENSOR_ANGLE_SNAP, on});
}

bool CUSBDriver::SetMotionSync(uint8_t on) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    return SetFrame({CMD_GROUP_SENSOR, SENSOR_MOTION_SYNC, on});
}

bool CUSBDriver::SetSensorMode(uint8_t mode) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    return SetFrame({CMD_GROUP_SENSOR, SENSOR_MODE, mode});
}

bool CUSBDriver::SetDebounceTime(uint8_t value) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    return SetFrame({CMD_GROUP_TIMING, TIMING_DEBOUNCE, value});
}

bool CUSBDriver::SetFireKey(uint8_t count, uint32_t interval) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    interval = std::min(interval, FIRE_INTERVAL_MAX);
    return SetFrame(
        {CMD_GROUP_TIMING, TIMING_FIRE_KEY, count, uint8_t(interval), uint8_t(interval >> 8)});
}

bool CUSBDriver::SetPowerDownTime(uint32_t seconds) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    return SetFrame({CMD_GROUP_TIMING, TIMING_POWER_DOWN, uint8_t(seconds), uint8_t(seconds >> 8)});
}

bool CUSBDriver::SetButtonFunction(uint32_t code, uint8_t button) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    return SetFrame({CMD_SET_BUTTON, button, uint8_t(code), uint8_t(code >> 8), uint8_t(code >> 16),
                     uint8_t(code >> 24)});
}

bool CUSBDriver::SetLedEffect(uint8_t effect) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    return SetFrame({CMD_SET_LED_EFFECT, effect, 0, 0});
}

// ---- get commands

bool CUSBDriver::GetReportRate(uint8_t& code) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    if (GetFrame({CMD_GET_REPORT_RATE}, -1) != GetResult::Ok) return false;
    code = m_inReport[2];
    return true;
}

bool CUSBDriver::GetDpiStage(int stage, int axis) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    if (stage < 0 || stage >= DPI_LEVEL_COUNT) return false;
    if (GetFrame({CMD_GET_DPI_STAGE, uint8_t(stage), uint8_t(axis)}, -1) != GetResult::Ok) {
        return false;
    }
    const int32_t step = int32_t(m_inReport[3]) | int32_t(m_inReport[4]) << 8;
    if (axis == DPI_AXIS_Y) {
        g_settings.dpiStepsY[stage] = step;
    } else {
        g_settings.dpiStepsX[stage] = step;
    }
    uint8_t* colour = g_settings.dpiColours[stage];
    colour[0] = m_inReport[5];
    colour[1] = m_inReport[6];
    colour[2] = m_inReport[7];
    colour[3] = 0;
    return true;
}

bool CUSBDriver::GetDpiConfig(uint8_t& count, uint8_t& current, uint8_t& ledMode, uint8_t& byte5,
                              uint8_t& byte6) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    if (GetFrame({CMD_GET_DPI_CONFIG}, -1) != GetResult::Ok) return false;
    count = m_inReport[2];
    current = m_inReport[3];
    ledMode = m_inReport[4];
    byte5 = m_inReport[5];
    byte6 = m_inReport[6];
    return true;
}

// The gets of the sensor and timing groups: the outputs are taken only from a
// reply that echoes the sub-command, and such a mismatch still counts as an answer.
template <typename Take>
bool CUSBDriver::GetGroupValue(uint8_t group, uint8_t sub, Take take) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    GetResult result = GetFrame({uint8_t(group | CMD_GET_FLAG), sub}, sub);
    if (result == GetResult::Ok) take(m_inReport);
    return result != GetResult::Failed;
}

bool CUSBDriver::GetSensorValue(uint8_t sub, uint8_t& value) {
    return GetGroupValue(CMD_GROUP_SENSOR, sub, [&](const uint8_t* reply) { value = reply[3]; });
}

bool CUSBDriver::GetLiftOffDistance(uint8_t& code) { return GetSensorValue(SENSOR_LIFT_OFF, code); }

bool CUSBDriver::GetRippleControl(uint8_t& on) { return GetSensorValue(SENSOR_RIPPLE_CONTROL, on); }

bool CUSBDriver::GetAngleSnap(uint8_t& on) { return GetSensorValue(SENSOR_ANGLE_SNAP, on); }

bool CUSBDriver::GetMotionSync(uint8_t& on) { return GetSensorValue(SENSOR_MOTION_SYNC, on); }

bool CUSBDriver::GetSensorMode(uint8_t& mode) { return GetSensorValue(SENSOR_MODE, mode); }

bool CUSBDriver::GetDebounceTime(uint8_t& value) {
    return GetGroupValue(CMD_GROUP_TIMING, TIMING_DEBOUNCE,
                         [&](const uint8_t* reply) { value = reply[3]; });
}

bool CUSBDriver::GetFireKey(uint8_t& count, uint32_t& interval) {
    return GetGroupValue(CMD_GROUP_TIMING, TIMING_FIRE_KEY, [&](const uint8_t* reply) {
        count = reply[3];
        interval = uint32_t(reply[4]) | uint32_t(reply[5]) << 8;
    });
}

bool CUSBDriver::GetPowerDownTime(uint32_t& seconds) {
    return GetGroupValue(CMD_GROUP_TIMING, TIMING_POWER_DOWN, [&](const uint8_t* reply) {
        seconds = uint32_t(reply[3]) | uint32_t(reply[4]) << 8;
    });
}

bool CUSBDriver::GetButtonFunction(uint8_t button, uint32_t& code, bool* codeWritten) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    if (codeWritten) *codeWritten = false;
    GetResult result = GetFrame({CMD_GET_BUTTON, button}, button);
    if (result == GetResult::Ok) {
        code = uint32_t(m_inReport[3]) | uint32_t(m_inReport[4]) << 8 |
               uint32_t(m_inReport[5]) << 16 | uint32_t(m_inReport[6]) << 24;
        if (codeWritten) *codeWritten = true;
    }
    return result != GetResult::Failed;
}

bool CUSBDriver::GetLedEffect(uint8_t& effect) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    if (GetFrame({CMD_GET_LED_EFFECT}, -1) != GetResult::Ok) return false;
    effect = m_inReport[2];
    return true;
}

bool CUSBDriver::GetReceiverLinkState(uint8_t& state) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    if (GetFrame({CMD_GET_LINK_INFO, LINK_INFO_STATE}, -1) != GetResult::Ok) return false;
    state = m_inReport[7];
    return true;
}

bool CUSBDriver::GetDeviceInfo(uint8_t& status, uint8_t& kind) {
    std::lock_guard<std::mutex> lock(m_commandLock);
    if (GetFrame({CMD_GET_DEVICE_INFO}, -1) != GetResult::Ok) return false;
    status = m_inReport[2];
    kind = m_inReport[3];
    g_linkType = m_inReport[4];
    g_deviceModel = m_inReport[5];
    return true;
}
