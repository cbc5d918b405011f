#include "sim/sim_status_reporter.h"

#include <algorithm>
#include <chrono>

#include "device/clock.h"

namespace {

constexpr auto kTickInterval = std::chrono::milliseconds(100);

}  // namespace

SimStatusReporter::SimStatusReporter(SimHidBackend& backend, std::shared_ptr<SimMouse> mouse,
                                     std::shared_ptr<SimMouseInterface> cable,
                                     std::shared_ptr<SimMouseInterface> receiver)
    : m_backend(backend),
      m_mouse(std::move(mouse)),
      m_cable(std::move(cable)),
      m_receiver(std::move(receiver)) {
    const uint32_t now = GetClock().TickCount();
    m_batteryTime = now;
    // What the mouse carries as it starts is no change: only a set command
    // that changes it, or the first period, sends a report.
    m_sent = CurrentReport(now);
    for (SimMouseInterface* command : {m_cable.get(), m_receiver.get()}) {
        if (command) command->WatchSets([this] { AfterSet(); });
    }
}

SimStatusReporter::~SimStatusReporter() {
    Stop();
    for (SimMouseInterface* command : {m_cable.get(), m_receiver.get()}) {
        if (command) command->WatchSets(nullptr);
    }
}

bool SimStatusReporter::CablePlugged() const {
    if (!m_cable) return false;
    const std::u16string& path = m_cable->Description().path;
    for (const HidInterfaceDescription& d : m_backend.EnumerateInterfaces()) {
        if (d.path == path) return true;
    }
    return false;
}

std::vector<uint8_t> SimStatusReporter::CurrentReport(uint32_t now) {
    const bool charging = CablePlugged();
    if (charging != m_charging) m_batteryCarry = 0;  // a new charge or drain starts afresh
    m_charging = charging;
    // A clock put in place after the reporter (a test's) may start behind it.
    if (int32_t(now - m_batteryTime) > 0) m_batteryCarry += now - m_batteryTime;
    m_batteryTime = now;

    SimMouseStatus status = m_mouse->Status();
    const uint32_t pointMs = charging ? SIM_BATTERY_CHARGE_MS : SIM_BATTERY_DRAIN_MS;
    const uint32_t points = m_batteryCarry / pointMs;
    m_batteryCarry %= pointMs;
    int battery = status.battery;
    battery = charging ? std::min<int>(SIM_BATTERY_FULL, battery + int(points))
                       : std::max<int>(0, battery - int(points));
    if (battery != status.battery || charging != status.charging) {
        status.battery = uint8_t(battery);
        status.charging = charging;
        m_mouse->SetStatus(status);
    }
    return m_mouse->StatusReport();
}

void SimStatusReporter::Send(const std::vector<uint8_t>& report, uint32_t now) {
    for (SimMouseInterface* command : {m_cable.get(), m_receiver.get()}) {
        // A receiver with nothing linked has nobody's status to report.
        if (command && command->Mouse() == m_mouse)
            m_backend.PushInputReport(command->Description().path, report);
    }
    m_sent = report;
    m_sentTime = now;
    m_sentOnce = true;
}

void SimStatusReporter::Tick() {
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint32_t now = GetClock().TickCount();
    std::vector<uint8_t> report = CurrentReport(now);
    if (!m_sentOnce || now - m_sentTime >= SIM_STATUS_PERIOD_MS || report != m_sent)
        Send(report, now);
}

void SimStatusReporter::AfterSet() {
    std::lock_guard<std::mutex> lock(m_mutex);
    const uint32_t now = GetClock().TickCount();
    std::vector<uint8_t> report = CurrentReport(now);
    if (report != m_sent) Send(report, now);
}

void SimStatusReporter::Start() {
    std::lock_guard<std::mutex> lock(m_threadMutex);
    if (m_thread.joinable()) return;
    m_stop = false;
    m_thread = std::thread([this] {
        std::unique_lock<std::mutex> threadLock(m_threadMutex);
        while (!m_stop) {
            threadLock.unlock();
            Tick();
            threadLock.lock();
            m_wake.wait_for(threadLock, kTickInterval, [this] { return m_stop; });
        }
    });
}

void SimStatusReporter::Stop() {
    std::thread thread;
    {
        std::lock_guard<std::mutex> lock(m_threadMutex);
        m_stop = true;
        thread = std::move(m_thread);
    }
    m_wake.notify_all();
    if (thread.joinable()) thread.join();
}
