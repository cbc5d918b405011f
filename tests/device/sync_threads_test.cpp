#include "device/sync_threads.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "device/button_codes.h"
#include "sync_fixture.h"

namespace sync_test {
namespace {

const std::vector<int> kProgress = {5, 10, 15, 15, 20, 25, 30, 35, 40, 45, 50, 57, 64, 71, 78, 85, 100};

// A mouse whose every setting differs from the factory and from g_settings before the read.
SimMouseSettings DistinctMouse() {
    SimMouseSettings s;
    s.reportRate = 5;
    for (int i = 0; i < 6; ++i) {
        s.stages[i].stepX = uint16_t(0x0101 * (i + 1) + 0x10);
        s.stages[i].stepY = uint16_t(0x0203 * (i + 1));
        s.stages[i].colour[0] = uint8_t(0x10 + i);
        s.stages[i].colour[1] = uint8_t(0x20 + i);
        s.stages[i].colour[2] = uint8_t(0x30 + i);
    }
    s.dpiCount = 4;
    s.dpiCurrent = 2;
    s.dpiLedMode = 2;
    s.dpiByte5 = 7;
    s.dpiByte6 = 9;
    s.sensor[1] = 2;  // lift-off
    s.sensor[2] = 1;  // ripple
    s.sensor[3] = 1;  // angle snap
    s.sensor[4] = 0;  // motion sync
    s.sensor[5] = 2;  // sensor mode
    s.debounce = 12;
    s.fireCount = 6;
    s.fireInterval = 0x0115;
    s.powerDown = 900;
    // By device button: record index 3 is device button 4 and record 4 device button 3.
    s.buttons[0] = 0x01CA0006;
    s.buttons[1] = 0x00040100;
    s.buttons[2] = 0x00010080;  // three keys: not read back
    s.buttons[3] = 0x00E20003;
    s.buttons[4] = 0x0218F00A;
    s.ledEffect = 2;
    return s;
}

SettingsImage Filled(uint8_t byte) {
    SettingsImage record;
    std::memset(&record, byte, sizeof(record));
    return record;
}

using SyncThreadsTest = SyncFixture;

TEST_F(SyncThreadsTest, ReadAllFillsEverySettingFromTheMouse) {
    mouse->SetSettings(DistinctMouse());
    g_sensorType = 0xF0;
    g_linkType = 2;
    g_settings = Filled(0xEE);
    Connect();

    ReadAllSettingsThread(Job());

    // Everything the read touches, set by hand from the mouse's state; every
    // other byte of the record must still be what it was.
    SettingsImage expected = Filled(0xEE);
    const SimMouseSettings m = DistinctMouse();
    expected.reportRateCode = 5;
    for (int i = 0; i < 6; ++i) {
        expected.dpiStepsX[i] = m.stages[i].stepX;
        expected.dpiStepsY[i] = m.stages[i].stepY;
        const uint8_t colour[4] = {m.stages[i].colour[0], m.stages[i].colour[1],
                                   m.stages[i].colour[2], 0};
        std::memcpy(expected.dpiColours[i], colour, 4);
    }
    expected.dpiCount = 4;
    expected.dpiCurrent = 2;
    expected.dpiLedMode = 2;
    expected.dpiConfigByte5 = 7;
    expected.dpiConfigByte6 = 9;
    expected.liftOffCode = 2;
    expected.rippleControl = 1;
    expected.angleSnap = 1;
    expected.motionSync = 0;
    expected.sensorMode = 2;
    expected.debounceTime = 12;
    expected.fireCount = 6;
    expected.fireInterval = 0x0115;
    expected.powerDownTime = 900;
    expected.ledEffect = 2;
    expected.yTableMarker = Y_TABLE_MARKER;  // the Y table read is the mouse's
    expected.buttons[0].functionId = FUNC_SPECIAL_2;
    expected.buttons[1].functionId = FUNC_SINGLE_KEY;
    expected.buttons[1].deviceCode = 0x00040100;
    expected.buttons[3].functionId = FUNC_DOUBLE_CLICK;
    expected.buttons[4].functionId = FUNC_MUTE;

    EXPECT_EQ(g_settings.dpiStepsY[5], expected.dpiStepsY[5]);
    EXPECT_EQ(g_settings.buttons[1].deviceCode, 0x00040100u);
    EXPECT_EQ(g_settings.buttons[2].functionId, int32_t(0xEEEEEEEE));
    EXPECT_EQ(std::memcmp(&g_settings, &expected, sizeof(expected)), 0);

    EXPECT_EQ(sink.Positions(), kProgress);
    EXPECT_EQ(sink.Count(SinkCall::Done), 1);
    EXPECT_EQ(sink.Calls().back().kind, SinkCall::Close);
    EXPECT_EQ(sink.Count(SinkCall::Notice), 0);
}

TEST_F(SyncThreadsTest, ReadAllAsksInOrderAndKeepsItsPauses) {
    g_linkType = 2;
    Connect();
    const uint32_t start = clock.TickCount();
    ReadAllSettingsThread(Job());

    const std::vector<uint8_t> expectedOrder = {
        0x81, 0x82, 0x82, 0x82, 0x82, 0x82, 0x82, 0x83, 0x84, 0x84, 0x84, 0x84,
        0x84, 0x85, 0x85, 0x85, 0x86, 0x86, 0x86, 0x86, 0x86, 0x88};
    EXPECT_EQ(CommandsSent(), expectedOrder);
    const std::vector<SentFrame> frames = SentFrames();
    ASSERT_EQ(frames.size(), expectedOrder.size());
    // Sub-commands and buttons in the order the record holds them.
    const uint8_t subs[] = {1, 2, 3, 4, 5, 1, 3, 2, 0, 1, 2, 4, 3};
    for (size_t i = 0; i < std::size(subs); ++i) EXPECT_EQ(frames[8 + i].bytes[2], subs[i]) << i;

    // Each request's time after the one before: 80 ms between reads, 100 ms
    // before each button, and the 10 ms every get waits for its reply.
    const uint32_t gaps[] = {150, 90, 90, 90, 90, 90, 90, 170, 90, 90, 90, 90,
                             90, 90, 90, 90, 190, 110, 110, 110, 110, 90};
    uint32_t previous = start;
    for (size_t i = 0; i < frames.size(); ++i) {
        EXPECT_EQ(frames[i].time - previous, gaps[i]) << "request " << i;
        previous = frames[i].time;
    }
    // 10 ms for the last reply, then 50 + 50 to the end.
    EXPECT_EQ(sink.Calls().back().time - previous, 110u);
}

TEST_F(SyncThreadsTest, WritePutsEverySettingOnAFreshMouse) {
    g_sensorType = 0xF1;
    g_linkType = 2;
    SettingsImage& s = g_settings;
    s = Filled(0);
    s.reportRateCode = 6;
    for (int i = 0; i < 6; ++i) {
        s.dpiStepsX[i] = 0x0111 * (i + 1);
        s.dpiStepsY[i] = 0x0222 * (i + 1);
        s.dpiColours[i][0] = uint8_t(0xA0 + i);
        s.dpiColours[i][1] = uint8_t(0xB0 + i);
        s.dpiColours[i][2] = uint8_t(0xC0 + i);
        s.dpiColours[i][3] = 0x77;  // never sent
    }
    s.dpiCount = 3;
    s.dpiCurrent = 1;
    s.dpiLedMode = 2;
    s.dpiConfigByte5 = 5;
    s.dpiConfigByte6 = 6;
    s.liftOffCode = 1;
    s.rippleControl = 1;
    s.angleSnap = 1;
    s.motionSync = 1;
    s.sensorMode = 1;
    s.debounceTime = 20;
    s.powerDownTime = 0x10384;  // the wire holds 16 bits
    s.fireCount = 9;
    s.fireInterval = 45;  // capped at 30
    s.ledEffect = 1;
    s.buttons[0].functionId = FUNC_SPECIAL_1;
    s.buttons[1].functionId = FUNC_SINGLE_KEY;
    s.buttons[1].deviceCode = 0x00050200;
    s.buttons[2].functionId = FUNC_RAW_CODE;
    s.buttons[2].rawCode = 0x00060080;
    s.buttons[3].functionId = FUNC_DPI_LOOP;
    s.buttons[4].functionId = FUNC_DISABLED;
    Connect();

    WriteAllSettingsThread(Job());

    const SimMouseSettings m = mouse->Settings();
    EXPECT_EQ(m.reportRate, 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m.stages[i].stepX, 0x0111 * (i + 1));
        EXPECT_EQ(m.stages[i].stepY, 0x0222 * (i + 1));
        EXPECT_EQ(m.stages[i].colour[0], 0xA0 + i);
        EXPECT_EQ(m.stages[i].colour[1], 0xB0 + i);
        EXPECT_EQ(m.stages[i].colour[2], 0xC0 + i);
    }
    EXPECT_EQ(m.dpiCount, 3);
    EXPECT_EQ(m.dpiCurrent, 1);
    EXPECT_EQ(m.dpiLedMode, 2);
    EXPECT_EQ(m.dpiByte5, 5);
    EXPECT_EQ(m.dpiByte6, 6);
    for (int sub = 1; sub <= 5; ++sub) EXPECT_EQ(m.sensor[sub], 1) << sub;
    EXPECT_EQ(m.debounce, 20);
    EXPECT_EQ(m.powerDown, 0x0384);
    EXPECT_EQ(m.fireCount, 9);
    EXPECT_EQ(m.fireInterval, 30);
    EXPECT_EQ(m.ledEffect, 1);
    EXPECT_EQ(m.buttons[0], 0x01C90006u);
    EXPECT_EQ(m.buttons[1], 0x00050200u);
    EXPECT_EQ(m.buttons[2], 0x00060080u);
    EXPECT_EQ(m.buttons[4], 0x00030007u);  // record 3 is device button 4
    EXPECT_EQ(m.buttons[3], 0x00000000u);
    EXPECT_EQ(allSent.load(), 1) << "the mouse took every command";

    EXPECT_EQ(sink.Positions(), kProgress);
    EXPECT_EQ(sink.Count(SinkCall::Done), 1);
    EXPECT_EQ(sink.Calls().back().kind, SinkCall::Close);
}

TEST_F(SyncThreadsTest, WriteSendsInOrderAndKeepsItsPauses) {
    g_linkType = 2;
    g_settings.reportRateCode = 2;
    g_settings.dpiStepsX[0] = 0x1234;
    g_settings.dpiColours[0][0] = 0x10;
    g_settings.dpiColours[0][1] = 0x20;
    g_settings.dpiColours[0][2] = 0x30;
    g_settings.dpiCount = 6;
    g_settings.dpiCurrent = 3;
    g_settings.dpiLedMode = 1;
    g_settings.dpiConfigByte5 = 0x15;
    g_settings.dpiConfigByte6 = 0x16;
    g_settings.liftOffCode = 2;
    // The record's bytes go out as they stand, whatever a page would have put there.
    g_settings.rippleControl = 2;
    g_settings.angleSnap = 1;
    g_settings.motionSync = 0x11;
    g_settings.debounceTime = 8;
    g_settings.powerDownTime = 600;
    g_settings.fireCount = 3;
    g_settings.fireInterval = 100;
    g_settings.ledEffect = 2;
    const FunctionId functions[] = {FUNC_LEFT_BUTTON, FUNC_MUTE, FUNC_DPI_UP, FUNC_SHOW_DESKTOP,
                                    FUNC_FORWARD};
    for (int i = 0; i < 5; ++i) g_settings.buttons[i].functionId = functions[i];
    Connect();
    const uint32_t start = clock.TickCount();

    WriteAllSettingsThread(Job());

    struct Expected {
        uint32_t gap;  // after the frame before
        Bytes bytes;   // from byte 1
    };
    const Expected expected[] = {
        {200, {0x01, 0x02}},
        {150, {0x02, 0, 0x34, 0x12, 0x10, 0x20, 0x30, 0}},
        {200, {0x02, 1, 0, 0, 0, 0, 0, 0}},
        {200, {0x02, 2, 0, 0, 0, 0, 0, 0}},
        {200, {0x02, 3, 0, 0, 0, 0, 0, 0}},
        {200, {0x02, 4, 0, 0, 0, 0, 0, 0}},
        {200, {0x02, 5, 0, 0, 0, 0, 0, 0}},
        {350, {0x03, 6, 3, 1, 0x15, 0x16}},
        {150, {0x04, 1, 2}},
        {150, {0x04, 2, 2}},
        {150, {0x04, 3, 1}},
        {150, {0x04, 4, 0x11}},
        {150, {0x04, 5, 0}},
        {150, {0x05, 1, 8}},
        {150, {0x05, 3, 0x58, 0x02}},
        {150, {0x05, 2, 3, 30, 0}},
        {250, {0x06, 0, 0x01, 0x00, 0xF0, 0x00}},
        {100, {0x06, 1, 0x03, 0x00, 0xE2, 0x00}},
        {100, {0x06, 2, 0x07, 0x00, 0x01, 0x00}},
        // Record 3 (show desktop) has no code: nothing goes to device button 4.
        {200, {0x06, 3, 0x01, 0x00, 0xF4, 0x00}},
        {100, {0x08, 2, 0, 0}},
    };
    const std::vector<SentFrame> frames = SentFrames();
    ASSERT_EQ(frames.size(), std::size(expected));
    uint32_t previous = start;
    for (size_t i = 0; i < frames.size(); ++i) {
        SCOPED_TRACE(i);
        Bytes wire(FEATURE_REPORT_SIZE, 0);
        wire[0] = REPORT_ID_MOUSE;
        std::copy(expected[i].bytes.begin(), expected[i].bytes.end(), wire.begin() + 1);
        EXPECT_EQ(frames[i].bytes, wire);
        EXPECT_EQ(frames[i].time - previous, expected[i].gap);
        previous = frames[i].time;
    }
    EXPECT_EQ(sink.Calls().back().time - previous, 150u);
    EXPECT_EQ(clock.TickCount() - start, 3800u);
}

// The Y axis follows the sensor and the LED effect the link type, in both directions.
TEST_F(SyncThreadsTest, ReadAllMarksTheYTableOnlyOnASensorWithAYAxis) {
    mouse->SetSettings(DistinctMouse());
    for (uint8_t sensor : {uint8_t(0xE1), uint8_t(0xE2), uint8_t(0xF0), uint8_t(0xF1)}) {
        SCOPED_TRACE(int(sensor));
        g_sensorType = sensor;
        g_settings = Filled(0);
        Connect();
        ReadAllSettingsThread(Job());
        const bool yAxis = sensor >= 0xF0;
        EXPECT_EQ(g_settings.yTableMarker, yAxis ? Y_TABLE_MARKER : 0);
        // What a profile load then makes of the record: the mouse's Y steps stay.
        ApplyYTableMarkerRule(g_settings);
        EXPECT_EQ(g_settings.dpiStepsY[3], yAxis ? DistinctMouse().stages[3].stepY : DistinctMouse().stages[3].stepX);
    }
}

TEST_F(SyncThreadsTest, DpiAxesFollowTheSensorAndTheLedTheLinkType) {
    struct Case {
        uint8_t sensor;
        uint8_t linkType;
        std::vector<uint8_t> axes;  // of the DPI level frames, in order
        bool led;
    };
    const std::vector<uint8_t> both(6, 0);
    std::vector<uint8_t> split(6, 1);
    split.insert(split.end(), 6, 2);
    const Case cases[] = {
        {0xE1, 1, both, false}, {0xE2, 2, both, true}, {0xF0, 1, split, false},
        {0xF1, 2, split, true},
    };
    for (const Case& c : cases) {
        for (bool write : {false, true}) {
            SCOPED_TRACE(testing::Message() << int(c.sensor) << " link " << int(c.linkType)
                                            << (write ? " write" : " read"));
            g_sensorType = c.sensor;
            g_linkType = c.linkType;
            Connect();
            write ? WriteAllSettingsThread(Job()) : ReadAllSettingsThread(Job());
            std::vector<uint8_t> axes;
            bool led = false;
            for (const SentFrame& f : SentFrames()) {
                const uint8_t command = f.bytes[1] & 0x7F;
                if (command == CMD_SET_DPI_STAGE) axes.push_back(f.bytes[write ? 8 : 3]);
                led = led || command == CMD_SET_LED_EFFECT;
            }
            EXPECT_EQ(axes, c.axes);
            EXPECT_EQ(led, c.led);
        }
    }
}


// ---- faults

TEST_F(SyncThreadsTest, AFailedGetLeavesItsFieldAsItWas) {
    mouse->SetSettings(DistinctMouse());
    g_settings = Filled(0xEE);
    faults->FailRequest(0x85, TIMING_DEBOUNCE);
    faults->FailRequest(0x82, -1);  // every DPI level
    faults->FailRequest(0x86, 1);   // record 1's button
    Connect();

    ReadAllSettingsThread(Job());

    EXPECT_EQ(g_settings.debounceTime, 0xEE);
    EXPECT_EQ(g_settings.dpiStepsX[3], int32_t(0xEEEEEEEE));
    EXPECT_EQ(g_settings.dpiColours[0][3], 0xEE);
    EXPECT_EQ(g_settings.buttons[1].functionId, int32_t(0xEEEEEEEE));
    EXPECT_EQ(g_settings.buttons[1].deviceCode, 0xEEEEEEEEu);
    // The rest of the pass still ran.
    EXPECT_EQ(g_settings.powerDownTime, 900u);
    EXPECT_EQ(g_settings.buttons[0].functionId, FUNC_SPECIAL_2);
    EXPECT_EQ(g_settings.buttons[4].functionId, FUNC_MUTE);
    EXPECT_EQ(sink.Positions(), kProgress);
    EXPECT_EQ(sink.Count(SinkCall::Done), 1);
}

// A reply that names another button carries nobody's code: the button keeps
// what it had instead of taking a stale or a zero (disabled) code.
TEST_F(SyncThreadsTest, AReplyForAnotherButtonIsNotDecoded) {
    mouse->SetSettings(DistinctMouse());
    g_settings = Filled(0xEE);
    g_settings.buttons[3].functionId = FUNC_FORWARD;
    faults->WrongButtonEcho(4);  // record 3
    Connect();

    ReadAllSettingsThread(Job());

    EXPECT_EQ(g_settings.buttons[3].functionId, FUNC_FORWARD);
    EXPECT_EQ(g_settings.buttons[4].functionId, FUNC_MUTE);
}

struct UnplugCase {
    const char* name;
    void (*body)(const SyncJob&);
};

// The cable comes out in the middle: the worker runs out its pass on failing
// commands, closes the view and clears the flags, and nothing after the unplug
// reaches the record or the mouse.
TEST_F(SyncThreadsTest, AnUnplugInTheMiddleEndsTheWorkerCleanly) {
    const UnplugCase cases[] = {{"read", ReadAllSettingsThread}, {"write", WriteAllSettingsThread}};
    for (const UnplugCase& c : cases) {
        SCOPED_TRACE(c.name);
        auto unplugged = std::make_shared<SimMouse>();
        iface->SetMouse(unplugged);
        unplugged->SetSettings(DistinctMouse());
        g_settings = Filled(0x00);
        g_settings.sensorMode = 1;
        g_settings.debounceTime = 3;
        ASSERT_TRUE(driver->Open(kPath, REPORT_ID_MOUSE, 8, nullptr));
        backend.ClearLog();
        // After the sensor mode, before the debounce time.
        const uint32_t unplugAt =
            clock.TickCount() + (c.body == ReadAllSettingsThread ? 1350 : 2500);
        clock.At(unplugAt, [&] { backend.Unplug(kPath); });
        sink.Clear();

        std::thread worker = StartSyncThread(c.body, Job());
        worker.join();

        const std::vector<SinkCall> calls = sink.Calls();
        ASSERT_FALSE(calls.empty());
        EXPECT_EQ(calls.back().kind, SinkCall::Close);
        EXPECT_EQ(sink.Count(SinkCall::Close), 1);
        EXPECT_EQ(sink.Positions(), kProgress);
        EXPECT_EQ(LoadSyncBusy(), 0u);
        EXPECT_EQ(running.load(), 0);
        if (c.body == ReadAllSettingsThread) {
            EXPECT_EQ(g_settings.sensorMode, 2);    // read before
            EXPECT_EQ(g_settings.debounceTime, 3);  // not after
            EXPECT_EQ(g_settings.buttons[0].functionId, 0);
        } else {
            EXPECT_EQ(unplugged->Settings().sensor[5], 1);    // written before
            EXPECT_EQ(unplugged->Settings().debounce, 12);    // not after
            EXPECT_EQ(unplugged->Settings().buttons[0], 0x01CA0006u);
            EXPECT_EQ(allSent.load(), 0) << "the write says that the mouse missed part of it";
        }
        for (const SimReport& r : backend.Log()) {
            if (r.time > unplugAt) {
                EXPECT_FALSE(r.ok);
            }
        }

        backend.Plug(faults);
    }
}

// ---- flags, the end and the missing device

TEST_F(SyncThreadsTest, TheFlagsAreSetBeforeTheWorkerStartsAndClearedBeforeTheViewCloses) {
    static std::atomic<int> busyAtStart{-1};
    static std::atomic<int> runningAtStart{-1};
    static std::atomic<int32_t>* runningFlag = nullptr;
    runningFlag = &running;
    Connect();
    auto body = [](const SyncJob& job) {
        busyAtStart = int(LoadSyncBusy());
        runningAtStart = runningFlag->load();
        ReadAllSettingsThread(job);
    };
    std::thread worker = StartSyncThread(body, Job());
    worker.join();

    EXPECT_EQ(busyAtStart.load(), 1);
    EXPECT_EQ(runningAtStart.load(), 1);
    const std::vector<SinkCall> calls = sink.Calls();
    for (const SinkCall& call : calls) {
        if (call.kind == SinkCall::Progress || call.kind == SinkCall::Done) {
            EXPECT_EQ(call.busy, 1u);
        }
    }
    EXPECT_EQ(calls.back().kind, SinkCall::Close);
    EXPECT_EQ(calls.back().busy, 0u);
    EXPECT_EQ(running.load(), 0);
}

TEST_F(SyncThreadsTest, ReadAllWithoutADeviceSaysSoAndStillClosesTheView) {
    g_settings = Filled(0x42);
    const SettingsImage before = g_settings;
    StoreSyncBusy(1);
    running = 1;

    ReadAllSettingsThread(Job(-1));

    const std::vector<SinkCall> calls = sink.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].kind, SinkCall::Notice);
    EXPECT_EQ(calls[0].text, u"Open hid device failed.");
    EXPECT_EQ(calls[1].kind, SinkCall::Close);
    EXPECT_EQ(LoadSyncBusy(), 0u);
    EXPECT_EQ(running.load(), 0);
    EXPECT_TRUE(backend.Log().empty());
    EXPECT_EQ(std::memcmp(&g_settings, &before, sizeof(before)), 0);
}

// Without a connection the write still runs its whole pass, on commands that
// all fail, and ends like any other pass.
TEST_F(SyncThreadsTest, WriteAllWithoutADeviceSaysSoAndRunsItsPass) {
    const uint32_t start = clock.TickCount();
    WriteAllSettingsThread(Job(-1));

    const std::vector<SinkCall> calls = sink.Calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().kind, SinkCall::Notice);
    EXPECT_EQ(calls.front().text, u"Open hid device failed");
    EXPECT_EQ(sink.Positions(), kProgress);
    EXPECT_EQ(sink.Count(SinkCall::Done), 1);
    EXPECT_EQ(calls.back().kind, SinkCall::Close);
    EXPECT_TRUE(backend.Log().empty());
    EXPECT_EQ(clock.TickCount() - start, 3800u);
    EXPECT_EQ(allSent.load(), 0);
}

}  // namespace
}  // namespace sync_test
