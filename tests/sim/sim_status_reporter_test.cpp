// The status input reports the demo mouse sends over its two links: when,
// and what they carry.
#include "sim/sim_status_reporter.h"

#include <gtest/gtest.h>

#include <cstring>

#include "sim/sim_clock.h"
#include "sim/sim_demo_mouse.h"

namespace {

using Bytes = std::vector<uint8_t>;

class StatusReporterTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_rig = MakeDemoMouseRig();
        m_cableRead = m_rig->backend.Open(CablePath(), HidAccess::Read);
        m_receiverRead = m_rig->backend.Open(ReceiverPath(), HidAccess::Read);
        ASSERT_NE(m_cableRead, kInvalidHidHandle);
        ASSERT_NE(m_receiverRead, kInvalidHidHandle);
    }
    std::u16string CablePath() const { return m_rig->cable.command->Description().path; }
    std::u16string ReceiverPath() const { return m_rig->receiver.command->Description().path; }

    // The reports queued for a reader so far, without waiting for more: a
    // marker pushed behind them ends the reads.
    std::vector<Bytes> Received(HidHandle handle, const std::u16string& path) {
        m_rig->backend.PushInputReport(path, {0xEE});
        std::vector<Bytes> reports;
        uint8_t buffer[33];
        while (m_rig->backend.ReadInput(handle, buffer, sizeof(buffer)) && buffer[0] != 0xEE)
            reports.emplace_back(buffer, buffer + sizeof(buffer));
        return reports;
    }
    std::vector<Bytes> ReceivedOverCable() { return Received(m_cableRead, CablePath()); }

    // A set command as the program sends it, over the cable.
    bool Set(Bytes command) {
        command.insert(command.begin(), 9);
        command.resize(9, 0);
        HidHandle write = m_rig->backend.Open(CablePath(), HidAccess::Write);
        const bool ok = m_rig->backend.SetFeature(write, command.data(), command.size());
        m_rig->backend.Close(write);
        return ok;
    }

    ScopedSimClock m_clock;
    std::unique_ptr<SimMouseRig> m_rig;
    HidHandle m_cableRead = kInvalidHidHandle;
    HidHandle m_receiverRead = kInvalidHidHandle;
};

TEST_F(StatusReporterTest, AReportOnTheFirstTickAndThenOnceASecond) {
    SimStatusReporter& status = *m_rig->status;
    EXPECT_TRUE(ReceivedOverCable().empty()) << "nothing before the first tick";
    status.Tick();
    EXPECT_EQ(ReceivedOverCable().size(), 1u) << "the first tick reports at once";
    EXPECT_EQ(Received(m_receiverRead, ReceiverPath()).size(), 1u)
        << "the linked receiver reports the same";

    const struct {
        uint32_t advance;
        size_t reports;
    } steps[] = {{0, 0}, {400, 0}, {599, 0}, {1, 1}, {999, 0}, {1, 1}, {2500, 1}, {1000, 1}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.advance);
        m_clock->Advance(step.advance);
        status.Tick();
        EXPECT_EQ(ReceivedOverCable().size(), step.reports);
    }
}

TEST_F(StatusReporterTest, TheReportCarriesTheStateAndTheBatteryChargesOnTheCableOnly) {
    SimStatusReporter& status = *m_rig->status;
    status.Tick();
    std::vector<Bytes> reports = ReceivedOverCable();
    ASSERT_EQ(reports.size(), 1u);
    const SimMouseSettings demo = m_rig->mouse->Settings();
    Bytes expected(33, 0);
    expected[0] = 9;
    expected[1] = 0x80 | 72;  // charging on the cable
    expected[2] = uint8_t(demo.reportRate | demo.dpiCurrent << 4);
    expected[3] = demo.debounce;
    expected[7] = uint8_t(demo.sensor[4] | demo.sensor[1] << 4);
    EXPECT_EQ(reports[0], expected);

    // A point per charging period, reported at the next period.
    m_clock->Advance(SIM_BATTERY_CHARGE_MS - 1);
    status.Tick();
    EXPECT_EQ(ReceivedOverCable().at(0)[1], 0x80 | 72);
    m_clock->Advance(1 + SIM_STATUS_PERIOD_MS);
    status.Tick();
    EXPECT_EQ(ReceivedOverCable().at(0)[1], 0x80 | 73);

    // The cable pulled: the receiver reports at once that it no longer charges,
    // then the battery runs down a point per draining period.
    Received(m_receiverRead, ReceiverPath());
    m_rig->backend.Unplug(CablePath());
    status.Tick();
    reports = Received(m_receiverRead, ReceiverPath());
    ASSERT_EQ(reports.size(), 1u) << "the change goes out before the period is over";
    EXPECT_EQ(reports[0][1], 73);
    m_clock->Advance(SIM_BATTERY_DRAIN_MS);
    status.Tick();
    reports = Received(m_receiverRead, ReceiverPath());
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0][1], 72);
    EXPECT_EQ(m_rig->mouse->Status().battery, 72);

    // Full stays full, empty stays empty.
    for (const bool cable : {true, false}) {
        SCOPED_TRACE(cable ? "charging" : "draining");
        if (cable) m_rig->backend.Plug(m_rig->cable.command);
        m_clock->Advance(200 * (cable ? SIM_BATTERY_CHARGE_MS : SIM_BATTERY_DRAIN_MS));
        status.Tick();
        EXPECT_EQ(m_rig->mouse->Status().battery, cable ? SIM_BATTERY_FULL : 0);
        if (cable) m_rig->backend.Unplug(CablePath());
    }
}

TEST_F(StatusReporterTest, ASetThatChangesWhatTheReportCarriesIsReportedAtOnce) {
    m_rig->status->Tick();
    ReceivedOverCable();
    const struct {
        const char* name;
        Bytes command;
        int byte;      // the report byte it changes; 0: none
        uint8_t value;
    } cases[] = {
        {"debounce", {0x05, 1, 12}, 3, 12},
        {"report rate", {0x01, 0}, 2, uint8_t(0 | 1 << 4)},
        {"DPI stage", {0x03, 4, 3, 1, 1, 1}, 2, uint8_t(0 | 3 << 4)},
        {"lift-off", {0x04, 1, 2}, 7, uint8_t(1 | 2 << 4)},
        {"motion sync", {0x04, 4, 0}, 7, uint8_t(0 | 2 << 4)},
        {"the same debounce again", {0x05, 1, 12}, 0, 0},
        {"the LED effect", {0x08, 2}, 0, 0},
        {"a button", {0x06, 1, 0x01, 0x00, 0xF0, 0x00}, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Set(c.command));
        std::vector<Bytes> reports = ReceivedOverCable();
        if (c.byte == 0) {
            EXPECT_TRUE(reports.empty());
            continue;
        }
        ASSERT_EQ(reports.size(), 1u);
        EXPECT_EQ(reports[0][c.byte], c.value);
        EXPECT_EQ(reports[0], m_rig->mouse->StatusReport());
    }
    // A reporter that is gone leaves the interfaces without it.
    m_rig->status.reset();
    EXPECT_TRUE(Set({0x05, 1, 20}));
    EXPECT_TRUE(ReceivedOverCable().empty());
}

TEST_F(StatusReporterTest, ItsOwnThreadReportsOnTheClock) {
    SimStatusReporter& status = *m_rig->status;
    status.Start();
    // The thread ticks on its own; the simulated clock decides when a report is due.
    uint8_t buffer[33];
    ASSERT_TRUE(m_rig->backend.ReadInput(m_cableRead, buffer, sizeof(buffer)));
    EXPECT_EQ(buffer[0], 9);
    m_clock->Advance(SIM_STATUS_PERIOD_MS);
    ASSERT_TRUE(m_rig->backend.ReadInput(m_cableRead, buffer, sizeof(buffer)));
    status.Stop();
    status.Stop();
    m_rig->backend.Close(m_cableRead);
    m_cableRead = kInvalidHidHandle;
}

}  // namespace
