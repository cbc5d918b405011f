#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "sim/sim_clock.h"
#include "sim/sim_hid_backend.h"

namespace {

class EchoInterface : public SimHidInterface {
public:
    EchoInterface() : SimHidInterface(Describe()) {}
    static HidInterfaceDescription Describe() {
        HidInterfaceDescription d;
        d.path = u"\\\\?\\hid#echo";
        d.vendorId = 0x1234;
        d.capsValid = true;
        return d;
    }
    bool HandleSetFeature(const uint8_t* data, size_t length) override {
        m_last.assign(data, data + length);
        return true;
    }
    bool HandleGetFeature(uint8_t* data, size_t length) override {
        for (size_t i = 1; i < length && i < m_last.size(); ++i) data[i] = m_last[i];
        return true;
    }

private:
    std::vector<uint8_t> m_last;
};

TEST(SimHidBackendTest, FeatureReportsReachTheDeviceAndAreLogged) {
    ScopedSimClock clock;
    SimHidBackend backend;
    backend.Plug(std::make_shared<EchoInterface>());
    HidHandle write = backend.Open(EchoInterface::Describe().path, HidAccess::Write);
    HidHandle read = backend.Open(EchoInterface::Describe().path, HidAccess::Read);
    ASSERT_NE(write, kInvalidHidHandle);

    const uint8_t out[3] = {9, 0x8F, 0x01};
    EXPECT_TRUE(backend.SetFeature(write, out, sizeof(out)));
    clock->Sleep(30);
    uint8_t in[3] = {9, 0, 0};
    EXPECT_TRUE(backend.GetFeature(read, in, sizeof(in)));
    EXPECT_EQ(in[1], 0x8F);

    auto log = backend.Log();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[1].time - log[0].time, 30u);
    EXPECT_EQ(log[1].kind, SimReport::Kind::GetFeature);

    HidHandle none = backend.Open(EchoInterface::Describe().path, HidAccess::None);
    EXPECT_FALSE(backend.SetFeature(none, out, sizeof(out))) << "no access rights, no reports";
}

TEST(SimHidBackendTest, ReadWaitsForInputAndEndsOnCancelOrUnplug) {
    SimHidBackend backend;
    const auto path = EchoInterface::Describe().path;
    backend.Plug(std::make_shared<EchoInterface>());
    HidHandle read = backend.Open(path, HidAccess::Read);

    std::atomic<int> reads{0};
    std::thread reader([&] {
        uint8_t buffer[33];
        while (backend.ReadInput(read, buffer, sizeof(buffer))) ++reads;
    });
    backend.PushInputReport(path, {9, 1, 2, 3});
    while (reads.load() == 0) std::this_thread::yield();
    backend.CancelRead(read);
    reader.join();
    EXPECT_EQ(reads.load(), 1);

    backend.ResetRead(read);
    std::thread second([&] {
        uint8_t buffer[33];
        EXPECT_FALSE(backend.ReadInput(read, buffer, sizeof(buffer)));
    });
    backend.Unplug(path);
    second.join();
    EXPECT_EQ(backend.Open(path, HidAccess::Read), kInvalidHidHandle);
}

// The watcher sees each report once it has passed and may pull the device
// there and then: the very next report fails.
TEST(SimHidBackendTest, AWatcherCanUnplugAtAnExactReport) {
    SimHidBackend backend;
    const auto path = EchoInterface::Describe().path;
    backend.Plug(std::make_shared<EchoInterface>());
    HidHandle write = backend.Open(path, HidAccess::Write);
    std::vector<uint8_t> seen;
    backend.WatchReports([&](const SimReport& r) {
        seen.push_back(r.bytes[1]);
        if (r.bytes[1] == 2) backend.Unplug(path);
    });
    for (uint8_t command : {1, 2, 3}) {
        const uint8_t out[3] = {9, command, 0};
        backend.SetFeature(write, out, sizeof(out));
    }
    backend.WatchReports(nullptr);
    const uint8_t out[3] = {9, 4, 0};
    backend.SetFeature(write, out, sizeof(out));

    EXPECT_EQ(seen, (std::vector<uint8_t>{1, 2, 3}));
    const auto log = backend.Log();
    ASSERT_EQ(log.size(), 4u);
    EXPECT_TRUE(log[1].ok);
    EXPECT_FALSE(log[2].ok) << "gone after the report it was pulled at";
}

}  // namespace
