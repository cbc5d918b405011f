#include "app/main_window/status_events.h"

#include <numeric>

BatterySampleWindow g_batterySampleWindow;

namespace {

constexpr uint8_t kEventMarker = 0x5A;
constexpr int kProfileCount = 4;

uint8_t ByteOf(uint32_t value, int index) { return uint8_t(value >> (8 * index)); }

}  // namespace

std::optional<StatusReport> DecodeDeviceEvent(uint32_t wParam, uint32_t lParam) {
    if (ByteOf(lParam, 0) != kEventMarker) return std::nullopt;
    const uint8_t b1 = ByteOf(wParam, 0);
    const uint8_t b2 = ByteOf(wParam, 1);
    const uint8_t b3 = ByteOf(wParam, 2);
    const uint8_t b7 = ByteOf(lParam, 3);
    StatusReport report;
    report.batterySample = b1 & 0x7F;
    report.charging = (b1 & 0x80) != 0;
    report.reportRateCode = b2 & 0x0F;
    report.dpiCurrent = b2 >> 4;
    report.debounceTime = b3 & 0x7F;
    report.profileCycle = (b3 & 0x80) != 0;
    report.motionSync = b7 & 0x0F;
    report.liftOffCode = b7 >> 4;
    return report;
}

int NextProfileNumber(int activeProfileIndex) {
    int next = activeProfileIndex + 1;
    if (next > kProfileCount - 1) next = 0;
    return next + 1;
}

std::optional<int> ApplyStatusReport(const StatusReport& report, bool syncBusy,
                                     int activeProfileIndex, SettingsImage& settings) {
    if (syncBusy) return std::nullopt;
    settings.reportRateCode = report.reportRateCode;
    settings.dpiCurrent = report.dpiCurrent;
    settings.debounceTime = report.debounceTime;
    settings.motionSync = report.motionSync;
    settings.liftOffCode = report.liftOffCode;
    if (!report.profileCycle) return std::nullopt;
    return NextProfileNumber(activeProfileIndex);
}

void BatterySampleWindow::Clear() { *this = BatterySampleWindow{}; }

void BatterySampleWindow::Store(int value) {
    if (count < BATTERY_WINDOW_SIZE) {
        samples[count++] = value;
        return;
    }
    for (int i = 1; i < BATTERY_WINDOW_SIZE; ++i) samples[i - 1] = samples[i];
    samples[BATTERY_WINDOW_SIZE - 1] = value;
}

int BatterySampleWindow::AddSample(int sample) {
    Store(sample);
    return std::accumulate(samples, samples + count, 0) / count;
}

int BatterySampleWindow::AddLevel(int level) {
    const bool wasFull = count == BATTERY_WINDOW_SIZE;
    Store(level);
    if (!wasFull) return level;
    return std::accumulate(samples, samples + BATTERY_WINDOW_SIZE, 0) / BATTERY_WINDOW_SIZE;
}

BatteryDisplay BatteryDisplayFor(int shown, int imageSet, int barMin, int barMax) {
    BatteryDisplay display;
    display.barLevel = shown >= barMin && shown <= barMax ? shown : barMin;
    display.imageSet = imageSet;
    std::string digits = std::to_string(shown);
    display.text.assign(digits.begin(), digits.end());
    display.text += u'%';
    return display;
}

bool ShouldPollLinkState(uint8_t isConnected, int linkMode, uint32_t syncBusy) {
    return isConnected != 0 && (linkMode == 1 || linkMode == 2) && syncBusy == 0;
}
