// Time as the device link sees it: tick counts and pauses. Tests install a
// simulated clock whose pauses only advance its time, so nothing really waits.
#pragma once

#include <cstdint>

class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t TickCount() = 0;  // milliseconds, wrapping like GetTickCount
    virtual void Sleep(uint32_t milliseconds) = 0;
};

Clock& GetClock();
void SetClock(Clock* clock);  // null restores the real clock

inline void SleepMs(uint32_t milliseconds) {
    GetClock().Sleep(milliseconds);
}
