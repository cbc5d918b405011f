#include "sim/sim_mouse.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint8_t kReportId = 9;

void PutId(uint8_t* at, uint32_t id) {
    for (int i = 0; i < 4; ++i) at[i] = uint8_t(id >> (8 * i));
}

}  // namespace

// ---- SimMouse

SimMouseSettings SimMouse::Settings() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_settings;
}

void SimMouse::SetSettings(const SimMouseSettings& settings) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_settings = settings;
}

SimMouseStatus SimMouse::Status() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_status;
}

void SimMouse::SetStatus(const SimMouseStatus& status) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_status = status;
}

std::vector<uint8_t> SimMouse::StatusReport() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<uint8_t> report(33, 0);
    report[0] = kReportId;
    report[1] = uint8_t((m_status.battery & 0x7F) | (m_status.charging ? 0x80 : 0));
    report[2] = uint8_t((m_settings.reportRate & 0x0F) | (m_settings.dpiCurrent & 0x0F) << 4);
    report[3] = uint8_t((m_settings.debounce & 0x7F) | (m_status.profileCycle ? 0x80 : 0));
    report[7] = uint8_t((m_settings.sensor[4] & 0x0F) | (m_settings.sensor[1] & 0x0F) << 4);
    return report;
}

bool SimMouse::ApplySet(const uint8_t* r) {
    std::lock_guard<std::mutex> lock(m_mutex);
    SimMouseSettings& s = m_settings;
    switch (r[1]) {
        case 0x01:
            s.reportRate = r[2];
            return true;
        case 0x02: {
            if (r[2] >= 6 || r[8] > 2) return false;
            SimDpiStage& stage = s.stages[r[2]];
            const uint16_t step = uint16_t(r[3] | r[4] << 8);
            if (r[8] != 2) stage.stepX = step;
            if (r[8] != 1) stage.stepY = step;
            std::copy(r + 5, r + 8, stage.colour);
            return true;
        }
        case 0x03:
            s.dpiCount = r[2];
            s.dpiCurrent = r[3];
            s.dpiLedMode = r[4];
            s.dpiByte5 = r[5];
            s.dpiByte6 = r[6];
            return true;
        case 0x04:
            if (r[2] < 1 || r[2] > 5) return false;
            s.sensor[r[2]] = r[3];
            return true;
        case 0x05:
            switch (r[2]) {
                case 1:
                    s.debounce = r[3];
                    return true;
                case 2:
                    s.fireCount = r[3];
                    s.fireInterval = uint16_t(r[4] | r[5] << 8);
                    return true;
                case 3:
                    s.powerDown = uint16_t(r[3] | r[4] << 8);
                    return true;
            }
            return false;
        case 0x06:
            if (r[2] >= 5) return false;
            s.buttons[r[2]] =
                uint32_t(r[3]) | uint32_t(r[4]) << 8 | uint32_t(r[5]) << 16 | uint32_t(r[6]) << 24;
            return true;
        case 0x08:
            s.ledEffect = r[2];
            return true;
        case 0x07:
            m_uploadSlot = m_uploadIndex = -1;
            if (!IsMacroHeader(r) || m_chunkFaults[r[3]] == SimChunkFault::RefuseHeader) return false;
            m_uploadSlot = r[5];
            m_uploadIndex = r[3];
            return true;
    }
    return false;
}

bool SimMouse::IsMacroHeader(const uint8_t* r) {
    return r[2] == SIM_MACRO_CHUNK_COUNT && r[3] < SIM_MACRO_CHUNK_COUNT &&
           r[4] == SIM_MACRO_CHUNK_SIZE && r[5] < SIM_MACRO_SLOT_COUNT;
}

std::vector<uint8_t> SimMouse::MacroImage(uint8_t slot) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (slot >= SIM_MACRO_SLOT_COUNT) return {};
    return std::vector<uint8_t>(m_macroImages[slot], m_macroImages[slot] + SIM_MACRO_IMAGE_SIZE);
}

void SimMouse::SetMacroImage(uint8_t slot, const std::vector<uint8_t>& image) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (slot >= SIM_MACRO_SLOT_COUNT) return;
    std::memset(m_macroImages[slot], 0, SIM_MACRO_IMAGE_SIZE);
    std::memcpy(m_macroImages[slot], image.data(), std::min(image.size(), SIM_MACRO_IMAGE_SIZE));
}

void SimMouse::SetMacroChunkFault(uint8_t index, SimChunkFault fault) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (index < SIM_MACRO_CHUNK_COUNT) m_chunkFaults[index] = fault;
}

bool SimMouse::ApplyMacroData(const uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    const int slot = m_uploadSlot;
    const int index = m_uploadIndex;
    m_uploadSlot = m_uploadIndex = -1;
    if (slot < 0 || length < 1 + SIM_MACRO_CHUNK_SIZE || data[0] != kReportId) return false;
    if (m_chunkFaults[index] == SimChunkFault::FailData) return false;
    std::memcpy(m_macroImages[slot] + SIM_MACRO_CHUNK_SIZE * index, data + 1, SIM_MACRO_CHUNK_SIZE);
    return true;
}

SimChunkAnswer SimMouse::AnswerMacroChunk(const uint8_t* request, uint8_t* reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!IsMacroHeader(request)) return SimChunkAnswer::Refused;
    const uint8_t index = request[3];
    if (m_chunkFaults[index] == SimChunkFault::RefuseHeader) return SimChunkAnswer::Refused;
    reply[0] = kReportId;
    std::memcpy(reply + 1, m_macroImages[request[5]] + SIM_MACRO_CHUNK_SIZE * index,
                SIM_MACRO_CHUNK_SIZE);
    return m_chunkFaults[index] == SimChunkFault::FailData ? SimChunkAnswer::FailData
                                                           : SimChunkAnswer::Ok;
}

bool SimMouse::AnswerGet(const uint8_t* q, uint8_t* a) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const SimMouseSettings& s = m_settings;
    a[0] = kReportId;
    a[1] = q[1];
    switch (q[1]) {
        case 0x81:
            a[2] = s.reportRate;
            return true;
        case 0x82: {
            if (q[2] >= 6) return false;
            const SimDpiStage& stage = s.stages[q[2]];
            const uint16_t step = q[3] == 2 ? stage.stepY : stage.stepX;
            a[2] = q[2];
            a[3] = uint8_t(step);
            a[4] = uint8_t(step >> 8);
            std::copy(stage.colour, stage.colour + 3, a + 5);
            a[8] = q[3];
            return true;
        }
        case 0x83:
            a[2] = s.dpiCount;
            a[3] = s.dpiCurrent;
            a[4] = s.dpiLedMode;
            a[5] = s.dpiByte5;
            a[6] = s.dpiByte6;
            return true;
        case 0x84:
            if (q[2] < 1 || q[2] > 5) return false;
            a[2] = q[2];
            a[3] = s.sensor[q[2]];
            return true;
        case 0x85:
            a[2] = q[2];
            switch (q[2]) {
                case 1:
                    a[3] = s.debounce;
                    return true;
                case 2:
                    a[3] = s.fireCount;
                    a[4] = uint8_t(s.fireInterval);
                    a[5] = uint8_t(s.fireInterval >> 8);
                    return true;
                case 3:
                    a[3] = uint8_t(s.powerDown);
                    a[4] = uint8_t(s.powerDown >> 8);
                    return true;
            }
            return false;
        case 0x86:
            if (q[2] >= 5) return false;
            a[2] = q[2];
            PutId(a + 3, s.buttons[q[2]]);
            return true;
        case 0x88:
            a[2] = s.ledEffect;
            return true;
    }
    return false;
}

// ---- SimMouseInterface

SimMouseInterface::SimMouseInterface(HidInterfaceDescription description,
                                     std::shared_ptr<SimMouse> mouse, SimDeviceInfo deviceInfo,
                                     SimLinkInfo linkInfo)
    : SimHidInterface(std::move(description)),
      m_mouse(std::move(mouse)),
      m_deviceInfo(deviceInfo),
      m_linkInfo(linkInfo) {}

HidInterfaceDescription SimMouseInterface::CommandInterface(std::u16string path, uint16_t productId,
                                                            const std::u16string& location) {
    HidInterfaceDescription d;
    d.path = std::move(path);
    d.vendorId = 0x093A;
    d.productId = productId;
    d.capsValid = true;
    d.topLevel = {0xFF05, 4};
    d.featureValueCaps = {{0xFF05, 4}};
    d.deviceProperties = {
        u"HID\\VID_093A&PID_" + std::u16string(productId == 0x522C ? u"522C" : u"622C") +
            u"&MI_01\\" + location + u"&0&0001",
        u"USB\\VID_093A&PID_" + std::u16string(productId == 0x522C ? u"522C" : u"622C") +
            u"&MI_01\\" + location + u"&0&0001"};
    return d;
}

std::shared_ptr<SimMouse> SimMouseInterface::Mouse() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mouse;
}

void SimMouseInterface::SetMouse(std::shared_ptr<SimMouse> mouse) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mouse = std::move(mouse);
}

SimDeviceInfo SimMouseInterface::DeviceInfo() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_deviceInfo;
}

void SimMouseInterface::SetDeviceInfo(const SimDeviceInfo& info) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_deviceInfo = info;
}

SimLinkInfo SimMouseInterface::LinkInfo() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_linkInfo;
}

void SimMouseInterface::SetLinkInfo(const SimLinkInfo& info) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_linkInfo = info;
}

void SimMouseInterface::SetFault(SimFault fault, bool on) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (on) {
        m_faults |= uint32_t(fault);
    } else {
        m_faults &= ~uint32_t(fault);
    }
}

void SimMouseInterface::SendStatusReport(SimHidBackend& backend) const {
    std::shared_ptr<SimMouse> mouse = Mouse();
    if (mouse) backend.PushInputReport(Description().path, mouse->StatusReport());
}

void SimMouseInterface::WatchSets(std::function<void()> watcher) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_setWatcher = std::move(watcher);
}

void SimMouseInterface::AnswerLinkInfo(uint8_t sub, uint8_t* a) const {
    if (sub == 1) {
        a[2] = 1;
        PutId(a + 3, m_linkInfo.ownId);
        a[7] = m_linkInfo.linkStatus;
        return;
    }
    a[2] = m_linkInfo.byte2 == SimLinkByte2::EchoSub ? sub : 1;
    PutId(a + 3, m_linkInfo.ids[sub - 2]);
}

bool SimMouseInterface::HandleSetFeature(const uint8_t* data, size_t length) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (Has(SimFault::FailSet) || length < 9 || data[0] != kReportId) return false;
    uint8_t request[9];
    std::memcpy(request, data, sizeof(request));
    const uint8_t command = request[1];

    if ((command & 0x80) == 0) {
        // A set command changes the mouse behind this interface; a receiver with
        // nothing linked takes the report but nothing happens.
        std::shared_ptr<SimMouse> mouse = m_mouse;
        std::function<void()> watcher = m_setWatcher;
        lock.unlock();
        if (!mouse) return true;
        if (!mouse->ApplySet(request)) return false;
        if (watcher) watcher();
        return true;
    }

    if (Has(SimFault::StaleReply)) return true;
    uint8_t reply[64] = {};
    bool known = true;
    if (command == 0x8F) {
        reply[0] = kReportId;
        reply[1] = command;
        reply[2] = m_deviceInfo.status;
        reply[3] = m_deviceInfo.kind;
        reply[4] = m_deviceInfo.linkType;
        reply[5] = m_deviceInfo.byte5;
        reply[6] = m_deviceInfo.byte6;
    } else if (command == 0x8E) {
        known = request[2] >= 1 && request[2] <= 5;
        if (known) {
            reply[0] = kReportId;
            reply[1] = command;
            AnswerLinkInfo(request[2], reply);
        }
    } else if (command == 0x87 && m_mouse) {
        SimChunkAnswer answer = m_mouse->AnswerMacroChunk(request, reply);
        known = answer != SimChunkAnswer::Refused;
        m_failNextGet = answer == SimChunkAnswer::FailData;
    } else if (m_mouse) {
        known = m_mouse->AnswerGet(request, reply);
    } else {
        // Nothing linked: the request is taken but never answered.
        std::memset(reply, 0, sizeof(reply));
    }
    if (!known) return false;
    if (Has(SimFault::NoReply)) std::memset(reply, 0, sizeof(reply));
    if (Has(SimFault::WrongCommandEcho)) reply[1] = uint8_t(reply[1] + 1);
    if (Has(SimFault::WrongSubEcho)) reply[2] = uint8_t(reply[2] + 1);
    std::memcpy(m_reply, reply, sizeof(m_reply));
    return true;
}

bool SimMouseInterface::HandleGetFeature(uint8_t* data, size_t length) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_failNextGet) {
        m_failNextGet = false;
        return false;
    }
    if (Has(SimFault::FailGet) || length == 0 || data[0] != kReportId) return false;
    const uint8_t reportId = data[0];
    std::memset(data, 0, length);
    std::memcpy(data, m_reply, std::min(length, sizeof(m_reply)));
    data[0] = reportId;
    return true;
}

bool SimMouseInterface::HandleOutputReport(const uint8_t* data, size_t length) {
    std::shared_ptr<SimMouse> mouse = Mouse();
    return mouse && mouse->ApplyMacroData(data, length);
}
