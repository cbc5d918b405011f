#include "app/main_window/status_events.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// wParam and lParam as the reader packs report bytes 1..7.
struct Packed {
    uint32_t wParam;
    uint32_t lParam;
};

Packed Pack(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b7, uint8_t marker = 0x5A) {
    return {uint32_t(b1) | uint32_t(b2) << 8 | uint32_t(b3) << 16 | 0xEEu << 24,
            uint32_t(marker) | 0xDDCCu << 8 | uint32_t(b7) << 24};
}

TEST(StatusEventsTest, DecodeSplitsTheReportBytes) {
    struct Case {
        const char* name;
        Packed packed;
        StatusReport expected;
    };
    const Case cases[] = {
        {"plain", Pack(0x40, 0x21, 0x08, 0x10), {64, false, 1, 2, 8, false, 0, 1}},
        {"charging and cycle bits",
         Pack(0xD5, 0x65, 0x85, 0x23),
         {0x55, true, 5, 6, 5, true, 3, 2}},
        // Every nibble at 15: kept as sent, bounds are the users' business.
        {"all ones", Pack(0xFF, 0xFF, 0xFF, 0xFF), {127, true, 15, 15, 127, true, 15, 15}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::optional<StatusReport> r = DecodeDeviceEvent(c.packed.wParam, c.packed.lParam);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->batterySample, c.expected.batterySample);
        EXPECT_EQ(r->charging, c.expected.charging);
        EXPECT_EQ(r->reportRateCode, c.expected.reportRateCode);
        EXPECT_EQ(r->dpiCurrent, c.expected.dpiCurrent);
        EXPECT_EQ(r->debounceTime, c.expected.debounceTime);
        EXPECT_EQ(r->profileCycle, c.expected.profileCycle);
        EXPECT_EQ(r->motionSync, c.expected.motionSync);
        EXPECT_EQ(r->liftOffCode, c.expected.liftOffCode);
    }
    for (uint8_t marker : {0x00, 0x59, 0x5B, 0x7A, 0xDA}) {
        Packed p = Pack(0x40, 0x21, 0x08, 0x10, marker);
        EXPECT_FALSE(DecodeDeviceEvent(p.wParam, p.lParam)) << int(marker);
    }
    // Only the low byte is the marker.
    EXPECT_FALSE(DecodeDeviceEvent(0, 0x5A00));
}

TEST(StatusEventsTest, NextProfileCyclesOneToFour) {
    const int expected[] = {2, 3, 4, 1, 1};
    for (int index = 0; index < 5; ++index)
        EXPECT_EQ(NextProfileNumber(index), expected[index]) << index;
}

TEST(StatusEventsTest, ApplyTouchesSettingsOnlyWithoutSync) {
    SettingsImage before{};
    std::memset(&before, 0x33, sizeof(before));
    const StatusReport report = *DecodeDeviceEvent(Pack(0xC2, 0x54, 0x8C, 0x21).wParam,
                                                   Pack(0xC2, 0x54, 0x8C, 0x21).lParam);

    SettingsImage settings = before;
    std::optional<int> target = ApplyStatusReport(report, false, 3, settings);
    EXPECT_EQ(target, 1) << "profile 4 active: the cycle goes to profile 1";
    EXPECT_EQ(settings.reportRateCode, 4);
    EXPECT_EQ(settings.dpiCurrent, 5);
    EXPECT_EQ(settings.debounceTime, 12) << "bit 7 is the cycle request, not debounce";
    EXPECT_EQ(settings.motionSync, 1);
    EXPECT_EQ(settings.liftOffCode, 2);
    // Nothing else of the record moves.
    SettingsImage expected = before;
    expected.reportRateCode = 4;
    expected.dpiCurrent = 5;
    expected.debounceTime = 12;
    expected.motionSync = 1;
    expected.liftOffCode = 2;
    EXPECT_EQ(std::memcmp(&settings, &expected, sizeof(settings)), 0);

    settings = before;
    EXPECT_FALSE(ApplyStatusReport(report, true, 3, settings)) << "a sync ignores the cycle bit";
    EXPECT_EQ(std::memcmp(&settings, &before, sizeof(settings)), 0) << "and leaves the settings";

    StatusReport noCycle = report;
    noCycle.profileCycle = false;
    EXPECT_FALSE(ApplyStatusReport(noCycle, false, 0, settings));
}

TEST(StatusEventsTest, BatteryWindowAveragesTheLastTenSamples) {
    BatterySampleWindow window;
    std::vector<int> shown;
    for (int s = 50; s <= 68; s += 2) shown.push_back(window.AddSample(s));
    EXPECT_EQ(shown, (std::vector<int>{50, 51, 52, 53, 54, 55, 56, 57, 58, 59}));
    EXPECT_EQ(window.AddSample(70), 61) << "the eleventh drops the first sample";
    EXPECT_EQ(window.count, 10);
    EXPECT_EQ(window.samples[0], 52);
    EXPECT_EQ(window.samples[9], 70);

    window.Clear();
    EXPECT_EQ(window.count, 0);
    EXPECT_EQ(window.AddSample(7), 7) << "a cleared window starts again";
}

TEST(StatusEventsTest, BatteryLevelShowsItselfUntilTheWindowIsFull) {
    BatterySampleWindow window;
    for (int i = 0; i < 10; ++i) EXPECT_EQ(window.AddLevel(10 * (i + 1)), 10 * (i + 1));
    // 20..100 and 5: (20+...+100 + 5) / 10.
    EXPECT_EQ(window.AddLevel(5), (540 + 5) / 10);
}

TEST(StatusEventsTest, BatteryDisplayClampsTheBarNotTheText) {
    struct Case {
        int shown;
        int bar;
        std::u16string text;
    };
    const Case cases[] = {
        {0, 0, u"0%"}, {59, 59, u"59%"}, {100, 100, u"100%"}, {101, 0, u"101%"}, {127, 0, u"127%"}};
    for (const Case& c : cases) {
        BatteryDisplay d = BatteryDisplayFor(c.shown, 1, 0, 100);
        EXPECT_EQ(d.barLevel, c.bar) << c.shown;
        EXPECT_EQ(d.text, c.text);
        EXPECT_EQ(d.imageSet, 1);
    }
    // A sample window of 127s (the top of seven bits) averages above the bar.
    BatterySampleWindow window;
    int avg = 0;
    for (int i = 0; i < 3; ++i) avg = window.AddSample(127);
    EXPECT_EQ(BatteryDisplayFor(avg, 0, 0, 100).barLevel, 0);
}

TEST(StatusEventsTest, LinkStatePollOnlyOnAReceiverPathWithoutSync) {
    struct Case {
        uint8_t connected;
        int linkMode;
        uint32_t busy;
        bool poll;
    };
    const Case cases[] = {
        {1, 1, 0, true},  {3, 2, 0, true},  {1, 0, 0, false}, {1, -1, 0, false},
        {1, 3, 0, false}, {0, 1, 0, false}, {1, 1, 1, false}, {2, 2, 1, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ShouldPollLinkState(c.connected, c.linkMode, c.busy), c.poll)
            << int(c.connected) << " " << c.linkMode << " " << c.busy;
}

}  // namespace
