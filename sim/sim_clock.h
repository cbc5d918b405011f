// A clock whose pauses only move its time on: tests run at full speed and still
// see the pacing the device link keeps, in the simulator's timestamps.
#pragma once

#include <atomic>
#include <cstdint>

#include "device/clock.h"

class SimClock final : public Clock {
public:
    uint32_t TickCount() override { return m_now.load(); }
    void Sleep(uint32_t milliseconds) override { m_now.fetch_add(milliseconds); }
    void Advance(uint32_t milliseconds) { m_now.fetch_add(milliseconds); }

private:
    std::atomic<uint32_t> m_now{1000};
};

// Installs a SimClock for the life of a test and restores the real clock after.
class ScopedSimClock {
public:
    ScopedSimClock() { SetClock(&m_clock); }
    ~ScopedSimClock() { SetClock(nullptr); }
    ScopedSimClock(const ScopedSimClock&) = delete;
    ScopedSimClock& operator=(const ScopedSimClock&) = delete;
    SimClock& operator*() { return m_clock; }
    SimClock* operator->() { return &m_clock; }

private:
    SimClock m_clock;
};
