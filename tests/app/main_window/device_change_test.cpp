#include "app/main_window/device_change.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/device_tables.h"
#include "sim/sim_clock.h"
#include "text/u16_buffer.h"

namespace {

const std::u16string kCablePath = u"\\\\?\\hid#vid_093a&pid_622c&mi_01#7&1a&0&0000#{4d1e55b2}";
const std::u16string kReceiverPath = u"\\\\?\\hid#vid_093a&pid_522c&mi_01#7&2b&0&0000#{4d1e55b2}";

TEST(DeviceChangeTest, OnlyTheMouseInterfacesArrivalAndRemovalCount) {
    const std::u16string usbName = u"\\\\?\\USB#VID_093A&PID_622C#5&1c2d#{a5dcbf10-6530}";
    struct Case {
        const char* name;
        uint32_t event;
        uint32_t recordType;
        std::u16string deviceName;
        DeviceChange expected;
    };
    const Case cases[] = {
        {"cable arrival", 0x8000, 5, usbName, DeviceChange::Arrival},
        {"receiver removal, lower case", 0x8004, 5, u"\\\\?\\usb#vid_093a&pid_522c#6&1",
         DeviceChange::Removal},
        {"mixed case", 0x8000, 5, u"x VID_093a&PID_522C y", DeviceChange::Arrival},
        {"query remove", 0x8001, 5, usbName, DeviceChange::Ignored},
        {"remove pending", 0x8003, 5, usbName, DeviceChange::Ignored},
        {"devnodes changed", 0x0007, 5, usbName, DeviceChange::Ignored},
        {"volume record", 0x8000, 2, usbName, DeviceChange::Ignored},
        {"handle record", 0x8004, 6, usbName, DeviceChange::Ignored},
        {"another product", 0x8000, 5, u"\\\\?\\USB#VID_093A&PID_6220#1", DeviceChange::Ignored},
        {"another vendor", 0x8000, 5, u"\\\\?\\USB#VID_046D&PID_622C#1", DeviceChange::Ignored},
        {"empty name", 0x8000, 5, u"", DeviceChange::Ignored},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ClassifyDeviceChange(c.event, c.recordType, c.deviceName), c.expected) << c.name;
}

class DeviceTableTest : public ::testing::Test {
protected:
    DeviceTableTest() { Clear(); }
    ~DeviceTableTest() override { Clear(); }
    static void Clear() {
        std::memset(g_deviceTable, 0, sizeof(g_deviceTable));
        g_deviceCount = 0;
    }
    static void AddEntry(int index, const std::u16string& path0,
                         const std::u16string& path1 = u"") {
        DeviceEntry& e = g_deviceTable[index];
        e.used = 1;
        CopyToBuffer(e.paths[0], path0);
        CopyToBuffer(e.paths[1], path1);
        ++g_deviceCount;
    }
};

TEST_F(DeviceTableTest, RemovalDropsOnlyAConnectionWhosePathWent) {
    AddEntry(0, kCablePath);
    AddEntry(3, u"", kReceiverPath);  // a second mouse, through its receiver
    EXPECT_FALSE(ConnectedPathGone(kCablePath));
    EXPECT_FALSE(ConnectedPathGone(kReceiverPath)) << "any of the three paths, any used entry";
    EXPECT_FALSE(ConnectedPathGone(u"")) << "nothing connected: nothing to lose";

    // The second mouse was unplugged: the connected one stays.
    std::memset(&g_deviceTable[3], 0, sizeof(DeviceEntry));
    EXPECT_FALSE(ConnectedPathGone(kCablePath));
    EXPECT_TRUE(ConnectedPathGone(kReceiverPath));

    // The paths are compared exactly, as they were stored.
    std::u16string upper = kCablePath;
    for (char16_t& ch : upper)
        if (ch >= u'a' && ch <= u'z') ch = char16_t(ch - u'a' + u'A');
    EXPECT_TRUE(ConnectedPathGone(upper));
    // An entry no longer in use does not count, whatever it still holds.
    g_deviceTable[0].used = 0;
    EXPECT_TRUE(ConnectedPathGone(kCablePath));
}

class RecordingTarget final : public RescanTarget {
public:
    explicit RecordingTarget(SimClock& clock) : m_clock(clock) {}
    bool ScanFindsMouse() override {
        scans.push_back(m_clock.TickCount());
        m_clock.Advance(scanCostMs);
        events.push_back("scan");
        return findFromScan > 0 && int(scans.size()) >= findFromScan;
    }
    void CheckConnectedPath() override { events.push_back("check"); }
    void ChangeHandled() override { events.push_back("handled"); }

    std::vector<uint32_t> scans;
    std::vector<std::string> events;
    int findFromScan = 0;  // 0: never
    uint32_t scanCostMs = 0;

private:
    SimClock& m_clock;
};

// Steps the schedule as the window's timer would: waits until the next step is
// due, then runs it. Returns the number of steps run.
int RunToEnd(DeviceRescan& rescan, SimClock& clock, RescanTarget& target, int limit = 100) {
    int steps = 0;
    while (rescan.Pending() && steps < limit) {
        clock.Advance(rescan.DueInMs());
        if (rescan.Step(false, target)) ++steps;
    }
    return steps;
}

TEST(DeviceRescanTest, ArrivalGivesUpAfterTwentyOneScans) {
    ScopedSimClock clock;
    RecordingTarget target(*clock);
    target.scanCostMs = 5;
    DeviceRescan rescan;
    const uint32_t start = clock->TickCount();
    rescan.Add(DeviceChange::Arrival);
    EXPECT_EQ(rescan.DueInMs(), 300u);
    EXPECT_FALSE(rescan.Step(false, target)) << "not due yet";
    EXPECT_EQ(RunToEnd(rescan, *clock, target), 21);
    ASSERT_EQ(target.scans.size(), 21u);
    EXPECT_EQ(target.scans[0] - start, 300u);
    for (size_t i = 1; i < target.scans.size(); ++i)
        EXPECT_EQ(target.scans[i] - target.scans[i - 1], 205u) << "200 ms after the scan before";
    // 300 ms, then 20 waits of 200 ms: about 4.3 s of waiting.
    EXPECT_EQ(target.scans.back() + 5 - start, 300u + 20 * 205 + 5);
    EXPECT_EQ(target.events.back(), "handled");
    EXPECT_FALSE(rescan.Pending());
}

TEST(DeviceRescanTest, ArrivalStopsAtTheFirstScanThatFindsTheMouse) {
    ScopedSimClock clock;
    RecordingTarget target(*clock);
    target.findFromScan = 4;
    DeviceRescan rescan;
    rescan.Add(DeviceChange::Arrival);
    EXPECT_EQ(RunToEnd(rescan, *clock, target), 4);
    EXPECT_EQ(target.events, (std::vector<std::string>{"scan", "scan", "scan", "scan", "handled"}));
}

TEST(DeviceRescanTest, RemovalScansOnceAfterHalfASecondAndChecksTheConnection) {
    ScopedSimClock clock;
    RecordingTarget target(*clock);
    DeviceRescan rescan;
    const uint32_t start = clock->TickCount();
    rescan.Add(DeviceChange::Removal);
    EXPECT_TRUE(rescan.RemovalPending());
    clock->Advance(499);
    EXPECT_FALSE(rescan.Step(false, target));
    clock->Advance(1);
    EXPECT_TRUE(rescan.Step(false, target));
    EXPECT_EQ(target.scans, (std::vector<uint32_t>{start + 500}));
    EXPECT_EQ(target.events, (std::vector<std::string>{"scan", "check", "handled"}));
    EXPECT_FALSE(rescan.Pending());
}

TEST(DeviceRescanTest, ASyncHoldsEveryStepUntilItEnds) {
    ScopedSimClock clock;
    RecordingTarget target(*clock);
    DeviceRescan rescan;
    rescan.Add(DeviceChange::Removal);
    clock->Advance(3000);
    EXPECT_FALSE(rescan.Step(true, target));
    EXPECT_TRUE(target.scans.empty());
    EXPECT_EQ(rescan.DueInMs(), 0u);
    EXPECT_TRUE(rescan.Step(false, target));
    EXPECT_EQ(target.events, (std::vector<std::string>{"scan", "check", "handled"}));
}

TEST(DeviceRescanTest, ChangesAreHandledOneAfterTheOther) {
    ScopedSimClock clock;
    RecordingTarget target(*clock);
    target.findFromScan = 1;
    DeviceRescan rescan;
    const uint32_t start = clock->TickCount();
    rescan.Add(DeviceChange::Removal);
    rescan.Add(DeviceChange::Removal);  // the same change again: nothing more to learn
    rescan.Add(DeviceChange::Arrival);
    rescan.Add(DeviceChange::Arrival);
    rescan.Add(DeviceChange::Ignored);
    EXPECT_EQ(RunToEnd(rescan, *clock, target), 2);
    EXPECT_EQ(target.events,
              (std::vector<std::string>{"scan", "check", "handled", "scan", "handled"}));
    // The arrival's wait begins when the removal has been handled.
    EXPECT_EQ(target.scans, (std::vector<uint32_t>{start + 500, start + 800}));
}

TEST(DeviceRescanTest, RemovalsRunAtOnceWhenASyncEnds) {
    ScopedSimClock clock;
    RecordingTarget target(*clock);
    DeviceRescan rescan;
    EXPECT_FALSE(rescan.RunRemovalsNow(target));
    rescan.Add(DeviceChange::Removal);
    rescan.Add(DeviceChange::Arrival);
    EXPECT_TRUE(rescan.RunRemovalsNow(target));
    EXPECT_EQ(target.events, (std::vector<std::string>{"scan", "check", "handled"}));
    EXPECT_FALSE(rescan.RemovalPending());
    ASSERT_TRUE(rescan.Pending()) << "the arrival still waits its turn";
    EXPECT_EQ(rescan.DueInMs(), 300u);
}

}  // namespace
