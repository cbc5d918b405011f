#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "firmware/ota_protocol.h"
#include "sim/sim_ota_device.h"

namespace {

// The simulated device is what the update tests trust to notice a host that
// breaks the protocol: each case sends one faulty report after a good start,
// which must be reported. A damaged report or a wrong checksum, offset or size
// is also left unconfirmed; counters and sequence numbers the device only
// echoes, so those still get their confirmation.
struct HostFault {
    const char* name;
    std::function<void()> build;              // fills g_otaReport after the good prefix
    std::function<void(uint8_t*)> damage;     // then spoils it
    bool confirmed = false;
};

void PrintTo(const HostFault& c, std::ostream* os) {
    *os << c.name;
}

class SimOtaDeviceTest : public ::testing::TestWithParam<HostFault> {
protected:
    void SetUp() override {
        g_otaCounter = 0;
        g_otaSequence = 1;
        g_otaBlockIndex = 0;
        g_otaChecksum = 0;
        Send([] { BuildOtaStartReport(8192); });
        Send([] { BuildOtaCmd42Report(); });
        Send([] { BuildOtaBlockHeaderReport(); });
        ASSERT_TRUE(m_device.ProtocolErrors().empty()) << m_device.ProtocolErrors().front();
    }

    void Send(const std::function<void()>& build, const std::function<void(uint8_t*)>& damage = {}) {
        build();
        if (damage) damage(g_otaReport);
        ASSERT_TRUE(m_device.HandleSetFeature(g_otaReport, OTA_REPORT_LENGTH));
    }
    uint8_t Echo() {
        uint8_t reply[64] = {3};
        EXPECT_TRUE(m_device.HandleGetFeature(reply, sizeof(reply)));
        return reply[4];
    }

    SimOtaInterface m_device{u"ota", {}};
};

void Reseal(uint8_t* r) {
    uint8_t sum = 0;
    for (int i = 2; i < 64; ++i) sum = uint8_t(sum + r[i]);
    r[1] = sum;
}

const uint8_t kData[25] = {1, 2, 3};

TEST_P(SimOtaDeviceTest, NoticesAndRefusesAFaultyReport) {
    const HostFault& c = GetParam();
    const uint8_t echoBefore = Echo();
    Send(c.build, c.damage);
    if (g_otaReport[6] != OTA_CMD_DATA) {
        EXPECT_EQ(Echo(), c.confirmed ? g_otaReport[4] : echoBefore);
    }
    EXPECT_FALSE(m_device.ProtocolErrors().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SimOtaDeviceTest,
    ::testing::Values(
        HostFault{"WrongReportChecksum", [] { BuildOtaGroupChecksumReport(); },
                  [](uint8_t* r) { ++r[1]; }},
        HostFault{"WrongHeader", [] { BuildOtaGroupChecksumReport(); },
                  [](uint8_t* r) { r[3] = 0x3B; Reseal(r); }},
        HostFault{"SkippedCounter", [] { ++g_otaCounter; BuildOtaCmd42Report(); }, {}, true},
        HostFault{"RepeatedSequence", [] { --g_otaSequence; BuildOtaCmd42Report(); }, {}, true},
        HostFault{"GroupChecksumOfBytesNeverSent", [] { g_otaChecksum = 6; BuildOtaGroupChecksumReport(); }, {}},
        HostFault{"BlockOutsideTheImage", [] { g_otaBlockIndex = 2; BuildOtaBlockHeaderReport(); }, {}},
        HostFault{"FinishForAnotherSize", [] { g_otaImageSize = 8191; BuildOtaFinishReport(); }, {}},
        HostFault{"DataWithACounter", [] { BuildOtaDataReport(3, kData); },
                  [](uint8_t* r) { r[4] = 7; Reseal(r); }},
        HostFault{"DataWithAnotherSequence", [] { BuildOtaDataReport(3, kData); },
                  [](uint8_t* r) { r[7] = 9; Reseal(r); }},
        HostFault{"BytesAfterThePayload", [] { BuildOtaDataReport(3, kData); },
                  [](uint8_t* r) { r[40] = 1; Reseal(r); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SimOtaImageTest, IsReproducibleNoise) {
    const auto a = MakeTestFirmwareImage(4096, 1);
    EXPECT_EQ(a, MakeTestFirmwareImage(4096, 1));
    EXPECT_NE(a, MakeTestFirmwareImage(4096, 2));
    // Every byte value shows up, so a byte in the wrong place changes the flash.
    std::vector<bool> seen(256);
    for (uint8_t b : a) seen[b] = true;
    EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 256);
}

}  // namespace
