#include "device/usb_driver.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>

#include "device/device_state.h"
#include "device/settings.h"
#include "support/cable_driver_fixture.h"

namespace {

using Bytes = std::vector<uint8_t>;

class DriverTest : public ::testing::Test, protected CableDriverFixture {
protected:
    DriverTest() { g_settings = SettingsImage{}; }

    bool OpenDriver() { return driver.Open(kPath, REPORT_ID_MOUSE, 8, &sink); }

    // The feature reports that reached the interface, in order.
    std::vector<SimReport> FeatureLog() {
        std::vector<SimReport> out;
        for (const SimReport& r : backend.Log()) {
            if (r.kind == SimReport::Kind::SetFeature || r.kind == SimReport::Kind::GetFeature) {
                out.push_back(r);
            }
        }
        return out;
    }

    static Bytes Frame(const Bytes& fromByte1) {
        Bytes frame(FEATURE_REPORT_SIZE, 0);
        frame[0] = REPORT_ID_MOUSE;
        std::copy(fromByte1.begin(), fromByte1.end(), frame.begin() + 1);
        return frame;
    }
};

// ---- set commands

struct SetCase {
    const char* name;
    std::function<void()> prepare;  // g_settings for the DPI stage
    std::function<bool(CUSBDriver&)> call;
    Bytes wire;  // from byte 1
};

TEST_F(DriverTest, EverySetCommandSendsItsBytes) {
    const SetCase cases[] = {
        {"rate", nullptr, [](CUSBDriver& d) { return d.SetReportRate(3); }, {0x01, 0x03}},
        {"rate 7 is sent as 0",
         nullptr,
         [](CUSBDriver& d) { return d.SetReportRate(7); },
         {0x01, 0x00}},
        {"rate -1 is sent as 0",
         nullptr,
         [](CUSBDriver& d) { return d.SetReportRate(-1); },
         {0x01, 0x00}},
        {"dpi stage axis 2 takes the Y step",
         [] {
             g_settings.dpiStepsX[2] = 0x0777;
             g_settings.dpiStepsY[2] = 0x1234;
             g_settings.dpiColours[2][0] = 0x10;
             g_settings.dpiColours[2][1] = 0x20;
             g_settings.dpiColours[2][2] = 0x30;
             g_settings.dpiColours[2][3] = 0x40;
         },
         [](CUSBDriver& d) { return d.SetDpiStage(2, DPI_AXIS_Y); },
         {0x02, 0x02, 0x34, 0x12, 0x10, 0x20, 0x30, 0x02}},
        {"dpi stage axis 0 takes the X step, low 16 bits",
         [] {
             g_settings.dpiStepsX[5] = 0x10345;
             g_settings.dpiStepsY[5] = 0x0999;
             g_settings.dpiColours[5][0] = 0xFF;
         },
         [](CUSBDriver& d) { return d.SetDpiStage(5, DPI_AXIS_BOTH); },
         {0x02, 0x05, 0x45, 0x03, 0xFF, 0x00, 0x00, 0x00}},
        {"dpi config",
         nullptr,
         [](CUSBDriver& d) { return d.SetDpiConfig(4, 1, 2, 5, 6); },
         {0x03, 0x04, 0x01, 0x02, 0x05, 0x06}},
        {"lift-off",
         nullptr,
         [](CUSBDriver& d) { return d.SetLiftOffDistance(2); },
         {0x04, 0x01, 0x02}},
        {"ripple",
         nullptr,
         [](CUSBDriver& d) { return d.SetRippleControl(1); },
         {0x04, 0x02, 0x01}},
        {"angle snap",
         nullptr,
         [](CUSBDriver& d) { return d.SetAngleSnap(0); },
         {0x04, 0x03, 0x00}},
        {"motion sync",
         nullptr,
         [](CUSBDriver& d) { return d.SetMotionSync(1); },
         {0x04, 0x04, 0x01}},
        {"sensor mode",
         nullptr,
         [](CUSBDriver& d) { return d.SetSensorMode(2); },
         {0x04, 0x05, 0x02}},
        {"debounce",
         nullptr,
         [](CUSBDriver& d) { return d.SetDebounceTime(8); },
         {0x05, 0x01, 0x08}},
        {"fire key interval capped at 30",
         nullptr,
         [](CUSBDriver& d) { return d.SetFireKey(3, 100); },
         {0x05, 0x02, 0x03, 0x1E, 0x00}},
        {"fire key cap compares unsigned",
         nullptr,
         [](CUSBDriver& d) { return d.SetFireKey(2, 0xFFFFFFFF); },
         {0x05, 0x02, 0x02, 0x1E, 0x00}},
        {"fire key under the cap",
         nullptr,
         [](CUSBDriver& d) { return d.SetFireKey(1, 20); },
         {0x05, 0x02, 0x01, 0x14, 0x00}},
        {"power-down 900",
         nullptr,
         [](CUSBDriver& d) { return d.SetPowerDownTime(900); },
         {0x05, 0x03, 0x84, 0x03}},
        {"power-down low 16 bits",
         nullptr,
         [](CUSBDriver& d) { return d.SetPowerDownTime(0x12345); },
         {0x05, 0x03, 0x45, 0x23}},
        {"button code little-endian after the device button",
         nullptr,
         [](CUSBDriver& d) { return d.SetButtonFunction(0x0218F00A, 4); },
         {0x06, 0x04, 0x0A, 0xF0, 0x18, 0x02}},
        {"led effect",
         nullptr,
         [](CUSBDriver& d) { return d.SetLedEffect(2); },
         {0x08, 0x02, 0x00, 0x00}},
    };
    ASSERT_TRUE(OpenDriver());
    for (const SetCase& c : cases) {
        SCOPED_TRACE(c.name);
        g_settings = SettingsImage{};
        if (c.prepare) c.prepare();
        backend.ClearLog();
        EXPECT_TRUE(c.call(driver));
        auto log = FeatureLog();
        ASSERT_EQ(log.size(), 1u);
        EXPECT_EQ(log[0].kind, SimReport::Kind::SetFeature);
        EXPECT_EQ(log[0].bytes, Frame(c.wire));
    }
}

TEST_F(DriverTest, SetCommandsChangeTheMouse) {
    ASSERT_TRUE(OpenDriver());
    g_settings.dpiStepsX[1] = 300;
    g_settings.dpiStepsY[1] = 400;
    g_settings.dpiColours[1][1] = 0x7F;
    EXPECT_TRUE(driver.SetDpiStage(1, DPI_AXIS_BOTH));
    g_settings.dpiStepsY[1] = 500;
    EXPECT_TRUE(driver.SetDpiStage(1, DPI_AXIS_Y));
    EXPECT_TRUE(driver.SetButtonFunction(0x00040009, 4));
    EXPECT_TRUE(driver.SetSensorMode(1));
    EXPECT_TRUE(driver.SetFireKey(4, 25));

    SimMouseSettings s = mouse->Settings();
    EXPECT_EQ(s.stages[1].stepX, 300);
    EXPECT_EQ(s.stages[1].stepY, 500);
    EXPECT_EQ(s.stages[1].colour[1], 0x7F);
    EXPECT_EQ(s.buttons[4], 0x00040009u);
    EXPECT_EQ(s.sensor[5], 1);
    EXPECT_EQ(s.fireCount, 4);
    EXPECT_EQ(s.fireInterval, 25);
}

TEST_F(DriverTest, DpiStageOutsideTheTablesIsRefused) {
    ASSERT_TRUE(OpenDriver());
    backend.ClearLog();
    const SettingsImage before = g_settings;
    EXPECT_FALSE(driver.SetDpiStage(6, DPI_AXIS_BOTH));
    EXPECT_FALSE(driver.SetDpiStage(-1, DPI_AXIS_Y));
    EXPECT_FALSE(driver.GetDpiStage(6, DPI_AXIS_Y));
    EXPECT_TRUE(FeatureLog().empty());
    EXPECT_EQ(std::memcmp(&before, &g_settings, sizeof(SettingsImage)), 0);
}

// ---- get commands

constexpr uint32_t kUntouched8 = 0xA5;
constexpr uint32_t kUntouched32 = 0xA5A5A5A5;

using Outputs = std::vector<uint32_t>;

struct GetCase {
    const char* name;
    Bytes request;  // from byte 1
    bool subEcho;   // byte 2 of the reply is checked
    // Outputs start untouched (0xA5 / 0xA5A5A5A5) and are reported after the call.
    std::function<bool(CUSBDriver&, Outputs&)> call;
    Outputs expected;   // from the mouse state of MouseWithDistinctState
    Outputs untouched;  // what the call reports when it wrote nothing
};

void MouseWithDistinctState(SimMouse& mouse, SimMouseInterface& iface) {
    SimMouseSettings s;
    s.reportRate = 5;
    s.stages[2].stepX = 0x2F;
    s.stages[2].stepY = 0x0123;
    s.stages[2].colour[0] = 0x10;
    s.stages[2].colour[1] = 0x20;
    s.stages[2].colour[2] = 0x30;
    s.dpiCount = 4;
    s.dpiCurrent = 2;
    s.dpiLedMode = 1;
    s.dpiByte5 = 7;
    s.dpiByte6 = 8;
    for (int sub = 1; sub <= 5; ++sub) s.sensor[sub] = uint8_t(0x10 + sub);
    s.debounce = 9;
    s.fireCount = 3;
    s.fireInterval = 0x011E;
    s.powerDown = 900;
    s.buttons[3] = 0x00F30001;
    s.ledEffect = 2;
    mouse.SetSettings(s);
    iface.SetDeviceInfo({1, 7, 2, 0xF0, 0xE2});
    SimLinkInfo link;
    link.ownId = 0x11223344;
    link.linkStatus = 1;
    iface.SetLinkInfo(link);
}

const GetCase kGetCases[] = {
    {"report rate",
     {0x81},
     false,
     [](CUSBDriver& d, Outputs& o) {
         uint8_t code = kUntouched8;
         bool r = d.GetReportRate(code);
         o = {code};
         return r;
     },
     {5},
     {kUntouched8}},
    {"dpi stage axis 1 into X",
     {0x82, 0x02, 0x01},
     false,
     [](CUSBDriver& d, Outputs& o) {
         g_settings.dpiStepsX[2] = int32_t(kUntouched32);
         std::memset(g_settings.dpiColours[2], 0xA5, 4);
         bool r = d.GetDpiStage(2, DPI_AXIS_X);
         uint32_t colour;
         std::memcpy(&colour, g_settings.dpiColours[2], 4);
         o = {uint32_t(g_settings.dpiStepsX[2]), colour};
         return r;
     },
     {47, 0x00302010},
     {kUntouched32, kUntouched32}},
    {"dpi stage axis 2 into Y",
     {0x82, 0x02, 0x02},
     false,
     [](CUSBDriver& d, Outputs& o) {
         g_settings.dpiStepsY[2] = int32_t(kUntouched32);
         std::memset(g_settings.dpiColours[2], 0xA5, 4);
         bool r = d.GetDpiStage(2, DPI_AXIS_Y);
         uint32_t colour;
         std::memcpy(&colour, g_settings.dpiColours[2], 4);
         o = {uint32_t(g_settings.dpiStepsY[2]), colour};
         return r;
     },
     {0x0123, 0x00302010},
     {kUntouched32, kUntouched32}},
    {"dpi config",
     {0x83},
     false,
     [](CUSBDriver& d, Outputs& o) {
         uint8_t v[5] = {0xA5, 0xA5, 0xA5, 0xA5, 0xA5};
         bool r = d.GetDpiConfig(v[0], v[1], v[2], v[3], v[4]);
         o = {v[0], v[1], v[2], v[3], v[4]};
         return r;
     },
     {4, 2, 1, 7, 8},
     {0xA5, 0xA5, 0xA5, 0xA5, 0xA5}},
#define QUORVEL_SENSOR_CASE(label, method, sub) \
    {                                           \
        label, {0x84, sub}, true,               \
            [](CUSBDriver& d, Outputs& o) {     \
                uint8_t v = kUntouched8;        \
                bool r = d.method(v);           \
                o = {v};                        \
                return r;                       \
            },                                  \
            {0x10 + sub}, {                     \
            kUntouched8                         \
        }                                       \
    }
    QUORVEL_SENSOR_CASE("lift-off", GetLiftOffDistance, 1),
    QUORVEL_SENSOR_CASE("ripple", GetRippleControl, 2),
    QUORVEL_SENSOR_CASE("angle snap", GetAngleSnap, 3),
    QUORVEL_SENSOR_CASE("motion sync", GetMotionSync, 4),
    QUORVEL_SENSOR_CASE("sensor mode", GetSensorMode, 5),
#undef QUORVEL_SENSOR_CASE
    {"debounce",
     {0x85, 0x01},
     true,
     [](CUSBDriver& d, Outputs& o) {
         uint8_t v = kUntouched8;
         bool r = d.GetDebounceTime(v);
         o = {v};
         return r;
     },
     {9},
     {kUntouched8}},
    {"fire key",
     {0x85, 0x02},
     true,
     [](CUSBDriver& d, Outputs& o) {
         uint8_t count = kUntouched8;
         uint32_t interval = kUntouched32;
         bool r = d.GetFireKey(count, interval);
         o = {count, interval};
         return r;
     },
     {3, 0x011E},
     {kUntouched8, kUntouched32}},
    {"power-down",
     {0x85, 0x03},
     true,
     [](CUSBDriver& d, Outputs& o) {
         uint32_t seconds = kUntouched32;
         bool r = d.GetPowerDownTime(seconds);
         o = {seconds};
         return r;
     },
     {900},
     {kUntouched32}},
    // With a wrong sub-command echo this is the reply for button 4 to a request for 3.
    {"button 3",
     {0x86, 0x03},
     true,
     [](CUSBDriver& d, Outputs& o) {
         uint32_t code = kUntouched32;
         bool written = true;
         bool r = d.GetButtonFunction(3, code, &written);
         o = {code, written ? 1u : 0u};
         return r;
     },
     {0x00F30001, 1},
     {kUntouched32, 0}},
    {"led effect",
     {0x88},
     false,
     [](CUSBDriver& d, Outputs& o) {
         uint8_t v = kUntouched8;
         bool r = d.GetLedEffect(v);
         o = {v};
         return r;
     },
     {2},
     {kUntouched8}},
    {"receiver link state",
     {0x8E, 0x01},
     false,
     [](CUSBDriver& d, Outputs& o) {
         uint8_t v = kUntouched8;
         bool r = d.GetReceiverLinkState(v);
         o = {v};
         return r;
     },
     {1},
     {kUntouched8}},
    {"device info",
     {0x8F},
     false,
     [](CUSBDriver& d, Outputs& o) {
         uint8_t status = kUntouched8, kind = kUntouched8;
         g_linkType = kUntouched8;
         g_deviceModel = kUntouched8;
         bool r = d.GetDeviceInfo(status, kind);
         o = {status, kind, g_linkType, g_deviceModel};
         return r;
     },
     {1, 7, 2, 0xF0},
     {kUntouched8, kUntouched8, kUntouched8, kUntouched8}},
};

TEST_F(DriverTest, EveryGetCommandAsksAndDecodesTheReply) {
    MouseWithDistinctState(*mouse, *iface);
    ASSERT_TRUE(OpenDriver());
    for (const GetCase& c : kGetCases) {
        SCOPED_TRACE(c.name);
        backend.ClearLog();
        Outputs out;
        EXPECT_TRUE(c.call(driver, out));
        EXPECT_EQ(out, c.expected);

        auto log = FeatureLog();
        ASSERT_EQ(log.size(), 2u);
        EXPECT_EQ(log[0].kind, SimReport::Kind::SetFeature);
        EXPECT_EQ(log[0].bytes, Frame(c.request));
        EXPECT_EQ(log[1].kind, SimReport::Kind::GetFeature);
        EXPECT_EQ(log[1].bytes.size(), FEATURE_REPORT_SIZE);
        const uint32_t wait = c.request[0] == CMD_GET_DEVICE_INFO ? 30 : 10;
        EXPECT_EQ(log[1].time - log[0].time, wait);
    }
}

TEST_F(DriverTest, AWrongCommandEchoOrAFailedTransferLeavesTheOutputs) {
    struct Fault {
        SimFault fault;
        const char* name;
        size_t reportsOnWire;
    };
    const Fault faults[] = {{SimFault::WrongCommandEcho, "wrong command echo", 2},
                            {SimFault::NoReply, "no reply", 2},
                            {SimFault::FailGet, "failed get", 2},
                            {SimFault::FailSet, "failed set", 1}};
    MouseWithDistinctState(*mouse, *iface);
    ASSERT_TRUE(OpenDriver());
    for (const Fault& f : faults) {
        iface->SetFault(f.fault, true);
        for (const GetCase& c : kGetCases) {
            SCOPED_TRACE(std::string(f.name) + ": " + c.name);
            backend.ClearLog();
            Outputs out;
            EXPECT_FALSE(c.call(driver, out));
            EXPECT_EQ(out, c.untouched);
            EXPECT_EQ(FeatureLog().size(), f.reportsOnWire);
        }
        iface->SetFault(f.fault, false);
    }
}

TEST_F(DriverTest, AnotherSubCommandEchoIsTrueWithTheOutputsLeft) {
    MouseWithDistinctState(*mouse, *iface);
    iface->SetFault(SimFault::WrongSubEcho, true);
    ASSERT_TRUE(OpenDriver());
    for (const GetCase& c : kGetCases) {
        SCOPED_TRACE(c.name);
        Outputs out;
        EXPECT_TRUE(c.call(driver, out));
        if (c.subEcho) {
            EXPECT_EQ(out, c.untouched);
        } else {
            // Commands without a sub-command take the reply whatever byte 2 holds.
            EXPECT_NE(out, c.untouched);
        }
    }
}

TEST_F(DriverTest, CommandsBeforeTheFirstOpenSendNothing) {
    MouseWithDistinctState(*mouse, *iface);
    for (const GetCase& c : kGetCases) {
        SCOPED_TRACE(c.name);
        Outputs out;
        EXPECT_FALSE(c.call(driver, out));
        EXPECT_EQ(out, c.untouched);
    }
    EXPECT_FALSE(driver.SetReportRate(1));
    EXPECT_FALSE(driver.SetDpiStage(0, DPI_AXIS_BOTH));
    EXPECT_FALSE(driver.SetButtonFunction(SIM_CODE_LEFT, 0));
    EXPECT_TRUE(backend.Log().empty());
}

TEST_F(DriverTest, AFailedOpenRunsNoReaderAndALaterOpenWorks) {
    backend.FailOpen(kPath, HidAccess::Read, true);
    EXPECT_FALSE(OpenDriver());
    EXPECT_FALSE(driver.IsReaderRunning());
    uint8_t code = kUntouched8;
    EXPECT_FALSE(driver.GetReportRate(code)) << "the reply needs the read handle";
    EXPECT_EQ(code, kUntouched8);

    backend.FailOpen(kPath, HidAccess::Read, false);
    ASSERT_TRUE(OpenDriver());
    EXPECT_TRUE(driver.IsReaderRunning());
    EXPECT_TRUE(driver.GetReportRate(code));
    iface->SendStatusReport(backend);
    EXPECT_TRUE(sink.WaitFor(1));
}

// ---- the reader

TEST(DeviceEventPackingTest, BytesOneToSevenAroundTheMarker) {
    const uint8_t counting[8] = {9, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07};
    DeviceEventParams p = PackDeviceEvent(counting);
    EXPECT_EQ(p.wParam, 0x04030201u);
    EXPECT_EQ(p.lParam, 0x0706055Au);
    const uint8_t high[8] = {9, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    p = PackDeviceEvent(high);
    EXPECT_EQ(p.wParam, 0xFFFFFFFFu);
    EXPECT_EQ(p.lParam, 0xFFFFFF5Au);
}

TEST_F(DriverTest, ReaderPostsReportsWithId9Only) {
    ASSERT_TRUE(OpenDriver());
    backend.PushInputReport(kPath, {3, 0x11, 0x12, 0x13, 0x14, 0x15, 0x16, 0x17});
    backend.PushInputReport(kPath, {9, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07});
    // The reader takes reports in order: once the second is posted, the first was dropped.
    ASSERT_TRUE(sink.WaitFor(1));
    driver.StopReader();
    auto messages = sink.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].message, UWM_DEVICE_EVENT);
    EXPECT_EQ(messages[0].wParam, 0x04030201u);
    EXPECT_EQ(uint32_t(messages[0].lParam), 0x0706055Au);
}

TEST_F(DriverTest, StatusReportOfTheMouseReachesTheWindow) {
    SimMouseSettings s = mouse->Settings();
    s.reportRate = 6;
    s.dpiCurrent = 3;
    s.debounce = 12;
    s.sensor[SENSOR_MOTION_SYNC] = 1;
    s.sensor[SENSOR_LIFT_OFF] = 2;
    mouse->SetSettings(s);
    mouse->SetStatus({90, true, true});
    ASSERT_TRUE(OpenDriver());
    iface->SendStatusReport(backend);
    ASSERT_TRUE(sink.WaitFor(1));
    auto m = sink.Messages()[0];
    EXPECT_EQ(m.wParam, 0x008C36DAu);  // battery 90 + charging, rate 6 / stage 3, 12 + cycle
    EXPECT_EQ(uint32_t(m.lParam), 0x2100005Au);
}

TEST_F(DriverTest, ReopeningManyTimesNeverHangsAndKeepsOneReader) {
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(OpenDriver()) << i;
        // Every other round the reader is idle in its read; otherwise it is busy posting.
        if (i % 2 == 0) {
            backend.PushInputReport(kPath, {9, uint8_t(i), 0, 0, 0, 0, 0, 0});
            ASSERT_TRUE(sink.WaitFor(size_t(i / 2 + 1))) << i;
        }
    }
    // Only the last pair of handles is still open, and one reader posts each report once.
    EXPECT_EQ(backend.OpenHandleCount(), 2);
    sink.Clear();
    backend.PushInputReport(kPath, {9, 0xEE, 0, 0, 0, 0, 0, 0});
    ASSERT_TRUE(sink.WaitFor(1));
    driver.StopReader();
    EXPECT_EQ(sink.Messages().size(), 1u);
    EXPECT_EQ(sink.Messages()[0].wParam, 0xEEu);
}

TEST_F(DriverTest, AnUnpluggedMouseLeavesTheReaderWaitingToBeStopped) {
    ASSERT_TRUE(OpenDriver());
    backend.Unplug(kPath);
    uint8_t code = kUntouched8;
    EXPECT_FALSE(driver.GetReportRate(code));
    EXPECT_EQ(code, kUntouched8);
    EXPECT_TRUE(driver.IsReaderRunning());
    driver.StopReader();  // must return: the reader is parked, not spinning or lost
    EXPECT_FALSE(driver.IsReaderRunning());

    backend.Plug(iface);
    ASSERT_TRUE(OpenDriver());
    EXPECT_TRUE(driver.GetReportRate(code));
}

TEST_F(DriverTest, CommandsFromTwoThreadsNeverInterleave) {
    MouseWithDistinctState(*mouse, *iface);
    ASSERT_TRUE(OpenDriver());
    std::atomic<int> failures{0};
    auto poll = [&](bool buttons) {
        for (int i = 0; i < 300; ++i) {
            if (buttons) {
                uint32_t code = 0;
                bool written = false;
                if (!driver.GetButtonFunction(3, code, &written) || !written ||
                    code != 0x00F30001) {
                    ++failures;
                }
            } else {
                uint8_t state = 0;
                if (!driver.GetReceiverLinkState(state) || state != 1) ++failures;
            }
        }
    };
    std::thread sync(poll, true);
    std::thread timer(poll, false);
    sync.join();
    timer.join();
    EXPECT_EQ(failures.load(), 0);
}

}  // namespace
