// The status input reports of a simulated mouse, sent as a real one sends them:
// once a second to whoever reads its interfaces, and at once after a set
// command changed what the report carries. Its battery charges while the cable
// is plugged in and runs down slowly on the receiver alone. The reports go on
// while a firmware update streams in: the image goes to the update collection
// while the mouse keeps running the firmware it has, settings interface and
// status reports included, until the update ends.
//
// Time is the installed clock's: under a simulated clock a test moves the
// clock and calls Tick, so that every report is where the test put it; the
// demo lets a thread of the reporter's own tick on the real clock.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "sim/sim_hid_backend.h"
#include "sim/sim_mouse.h"

// A report is due this long after the last one.
constexpr uint32_t SIM_STATUS_PERIOD_MS = 1000;
// The battery gains a point this often on the cable and loses one this often without it.
constexpr uint32_t SIM_BATTERY_CHARGE_MS = 30000;
constexpr uint32_t SIM_BATTERY_DRAIN_MS = 120000;
constexpr uint8_t SIM_BATTERY_FULL = 100;

class SimStatusReporter {
public:
    // cable and receiver are the interfaces that reach mouse (either may be
    // null); a receiver reports only while mouse is linked through it.
    SimStatusReporter(SimHidBackend& backend, std::shared_ptr<SimMouse> mouse,
                      std::shared_ptr<SimMouseInterface> cable,
                      std::shared_ptr<SimMouseInterface> receiver);
    ~SimStatusReporter();
    SimStatusReporter(const SimStatusReporter&) = delete;
    SimStatusReporter& operator=(const SimStatusReporter&) = delete;

    // Brings the battery up to the clock's time, and sends the report when a
    // period has passed since the last one or what it carries has changed.
    void Tick();

    // Ticks from a thread of its own, every tenth of a second, until Stop.
    void Start();
    void Stop();

private:
    bool CablePlugged() const;
    // The mouse's report once its battery has caught up with now.
    std::vector<uint8_t> CurrentReport(uint32_t now);
    void Send(const std::vector<uint8_t>& report, uint32_t now);
    void AfterSet();

    SimHidBackend& m_backend;
    std::shared_ptr<SimMouse> m_mouse;
    std::shared_ptr<SimMouseInterface> m_cable;
    std::shared_ptr<SimMouseInterface> m_receiver;

    // Held while a report is made and sent, so that reports leave in the order
    // of the states they carry.
    std::mutex m_mutex;
    uint32_t m_batteryTime = 0;  // the clock's time the battery has caught up with
    uint32_t m_batteryCarry = 0;  // milliseconds towards the next point
    bool m_charging = false;
    uint32_t m_sentTime = 0;
    bool m_sentOnce = false;
    std::vector<uint8_t> m_sent;  // the last report sent, or the state the reporter started from

    std::mutex m_threadMutex;
    std::condition_variable m_wake;
    bool m_stop = false;
    std::thread m_thread;
};
