#include "device/clock.h"

#include <chrono>
#include <thread>

namespace {

class RealClock final : public Clock {
public:
    uint32_t TickCount() override {
        using namespace std::chrono;
        return uint32_t(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
    }
    void Sleep(uint32_t milliseconds) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
};

RealClock g_realClock;
Clock* g_clock = &g_realClock;

}  // namespace

Clock& GetClock() {
    return *g_clock;
}

void SetClock(Clock* clock) {
    g_clock = clock ? clock : &g_realClock;
}
