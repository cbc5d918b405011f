#include "device/discovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>

#include "device/device_tables.h"
#include "device/property_text.h"
#include "device/usb_driver.h"
#include "sim/sim_clock.h"
#include "sim/sim_topology.h"
#include "support/installed_backend.h"

namespace {

std::u16string Text(const char16_t (&field)[PATH_LENGTH]) {
    size_t n = 0;
    while (n < size_t(PATH_LENGTH) && field[n]) ++n;
    return std::u16string(field, n);
}

class DiscoveryTest : public ::testing::Test {
protected:
    DiscoveryTest() {
        std::memset(g_deviceTable, 0xCC, sizeof(g_deviceTable));
        g_deviceCount = 99;
        std::memset(g_hidInterfaces, 0xCC, sizeof(g_hidInterfaces));
        g_hidInterfaceCount = 99;
    }

    // The link-information sub-commands sent to path, in order.
    std::vector<uint8_t> LinkInfoSubs(const std::u16string& path) {
        std::vector<uint8_t> subs;
        for (const SimReport& r : backend.Log()) {
            if (r.kind == SimReport::Kind::SetFeature && r.path == path &&
                r.bytes[1] == CMD_GET_LINK_INFO) {
                subs.push_back(r.bytes[2]);
            }
        }
        return subs;
    }

    ScopedSimClock clock;
    SimHidBackend backend;
    InstalledBackend installed{backend};
    SimTopology topology{backend};
};

// ---- the USB location and the hardware ids

TEST(UsbLocationTest, TheTextBetweenTheSecondBackslashAndTheSecondAmpersand) {
    const struct {
        std::u16string value;
        std::u16string location;
    } cases[] = {
        {u"USB\\VID_093A&PID_622C&MI_01\\7&2a3b4c5d&0&0001", u"7&2a3b4c5d"},
        {u"USB\\VID_093A&PID_622C\\5&1f&0", u"5&1f"},
        {u"USB\\VID_093A&PID_622C&MI_01\\7&2a3b4c5d", u""},  // one '&' after the backslash
        {u"USB\\VID_093A&PID_622C&MI_01", u""},              // one backslash
        {u"USB Input Device", u""},
        {u"", u""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(UsbLocationOf(c.value), c.location);
    }
}

TEST(PropertyTextTest, StringsAreTakenWithinTheValuesSize) {
    // A list value that fills its buffer to the last byte, without a terminator.
    using namespace std::string_literals;
    const std::u16string list = u"USB\\VID_093A&PID_622C&REV_0100\0\0USB\\VID_093A&PID_622C"s;
    std::vector<uint8_t> value;
    for (char16_t c : list) {
        value.push_back(uint8_t(c));
        value.push_back(uint8_t(c >> 8));
    }
    auto exact = std::make_unique<uint8_t[]>(value.size());  // nothing beyond for ASan to allow
    std::copy(value.begin(), value.end(), exact.get());
    std::vector<std::u16string> strings;
    AppendPropertyStrings(exact.get(), value.size(), strings);
    EXPECT_EQ(strings, (std::vector<std::u16string>{u"USB\\VID_093A&PID_622C&REV_0100",
                                                    u"USB\\VID_093A&PID_622C"}));
    strings.clear();
    AppendPropertyStrings(exact.get(), 7, strings);  // an odd size: the last byte is no unit
    EXPECT_EQ(strings, (std::vector<std::u16string>{u"USB"}));
}

TEST_F(DiscoveryTest, UsbIdPresenceIgnoresCase) {
    EXPECT_FALSE(IsUsbIdPresent(HARDWARE_ID_WIRED));
    topology.PlugWineDevices();
    topology.PlugReceiver(1, 0x1111, nullptr, nullptr, false);
    EXPECT_FALSE(IsUsbIdPresent(HARDWARE_ID_WIRED));
    EXPECT_TRUE(IsUsbIdPresent(HARDWARE_ID_RECEIVER));
    topology.PlugCableMouse({});
    EXPECT_TRUE(IsUsbIdPresent(HARDWARE_ID_WIRED));
}

// ---- the interface table

TEST_F(DiscoveryTest, InterfacesOfOneLocationShareOneEntry) {
    topology.PlugWineDevices();
    SimMouseIdentity id;
    id.sensorType = 0xF1;
    SimCableMouse cable = topology.PlugCableMouse(id);
    EnumerateHidInterfaces();

    ASSERT_EQ(g_hidInterfaceCount, 1);
    const HidInterfaceEntry& e = g_hidInterfaces[0];
    EXPECT_EQ(e.used, 1u);
    EXPECT_EQ(Text(e.location), cable.location);
    EXPECT_EQ(Text(e.mousePath), cable.command->Description().path);
    EXPECT_EQ(Text(e.otaPath), cable.ota->Description().path);
    EXPECT_EQ(Text(e.configPath), cable.config->Description().path);
    EXPECT_EQ(e.interfaceMask, INTERFACE_OTA_OR_CONFIG | INTERFACE_MOUSE);
    EXPECT_EQ(e.vendorId, MOUSE_VENDOR_ID);
    EXPECT_EQ(e.productId, PRODUCT_ID_WIRED);
    EXPECT_EQ(e.probed, 1);
    EXPECT_EQ(e.probeKind, 7);
    EXPECT_EQ(e.probeModel, 1) << "model byte 0xF1";
    EXPECT_EQ(g_hidInterfaces[1].used, 0u) << "the rest of the table is cleared";
    EXPECT_EQ(backend.OpenHandleCount(), 0) << "the probe's handles are closed again";
}

TEST_F(DiscoveryTest, EnumerationListsOnlyCableInterfacesWithALocationAndARole) {
    topology.PlugWineDevices();
    topology.PlugReceiver(2, 0x2222, nullptr, nullptr, false);
    // A vendor collection without any of the three roles, and a cable mouse whose
    // properties name no USB location.
    topology.PlugForeign(0x093A, 0x622C, {0xFF05, 2}, {{0xFF05, 2}});
    HidInterfaceDescription noLocation =
        SimMouseInterface::CommandInterface(u"\\\\?\\hid#nolocation", 0x622C, u"x");
    noLocation.deviceProperties = {u"HidUsb", u"USB\\VID_093A&PID_622C"};
    backend.Plug(std::make_shared<SimMouseInterface>(noLocation, std::make_shared<SimMouse>(),
                                                     SimDeviceInfo{}, SimLinkInfo{}));
    EnumerateHidInterfaces();
    EXPECT_EQ(g_hidInterfaceCount, 0);
}

TEST_F(DiscoveryTest, ProbeKindsAndModels) {
    const struct {
        uint8_t status, kind, byte5;
        bool result;
        uint8_t probeKind, probeModel;
    } cases[] = {
        {1, 7, 0xF1, true, 7, 1},     {1, 5, 0xF3, true, 5, 3},     {1, 1, 0xE1, true, 1, 0},
        {1, 6, 0xF0, false, 0xA5, 0}, {1, 0, 0xF2, false, 0xA5, 2}, {0, 7, 0xF1, false, 0xA5, 0xA5},
    };
    SimCableMouse cable = topology.PlugCableMouse({});
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.kind));
        SimDeviceInfo info;
        info.status = c.status;
        info.kind = c.kind;
        info.byte5 = c.byte5;
        cable.command->SetDeviceInfo(info);
        backend.ClearLog();
        uint8_t kind = 0xA5, model = 0xA5;
        EXPECT_EQ(ProbeHidPath(cable.command->Description().path, kind, model), c.result);
        EXPECT_EQ(kind, c.probeKind);
        EXPECT_EQ(model, c.probeModel);
        auto log = backend.Log();
        ASSERT_EQ(log.size(), 2u);
        EXPECT_EQ(log[0].bytes, (std::vector<uint8_t>{9, 0x8F, 0, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(log[1].time - log[0].time, 30u);
    }
    EXPECT_EQ(backend.OpenHandleCount(), 0);
}

TEST_F(DiscoveryTest, ThirtyLocationsAtMost) {
    for (int i = 0; i < 31; ++i) topology.PlugCableMouse({}, nullptr, {false, false, {}});
    EnumerateHidInterfaces();
    EXPECT_EQ(g_hidInterfaceCount, DEVICE_TABLE_SIZE);
}

// ---- the device table

// One entry as a test compares it.
struct Entry {
    uint8_t pathMask;
    uint8_t onlineMask;
    uint8_t receiverKind;
    uint8_t deviceKind;
    uint8_t sensorType;

    bool operator==(const Entry& o) const {
        return pathMask == o.pathMask && onlineMask == o.onlineMask &&
               receiverKind == o.receiverKind && deviceKind == o.deviceKind &&
               sensorType == o.sensorType;
    }
};

void PrintTo(const Entry& e, std::ostream* os) {
    *os << "{paths " << int(e.pathMask) << ", online " << int(e.onlineMask) << ", receiver "
        << int(e.receiverKind) << ", kind " << int(e.deviceKind) << ", sensor " << std::hex
        << int(e.sensorType) << std::dec << "}";
}

std::vector<Entry> Table() {
    std::vector<Entry> out;
    for (int i = 0; i < g_deviceCount; ++i) {
        const DeviceEntry& e = g_deviceTable[i];
        out.push_back({e.pathMask, e.onlineMask, e.receiverKind, e.deviceKind, e.sensorType});
    }
    return out;
}

constexpr uint32_t R1 = 0x11111111;  // the kind-1 receiver of mouse M
constexpr uint32_t R2 = 0x22222222;  // the kind-2 receiver of mouse M

SimMouseIdentity MouseM() {
    SimMouseIdentity m;
    m.sensorType = 0xF0;
    m.kind1ReceiverId = R1;
    m.kind2ReceiverId = R2;
    return m;
}

// Builds a topology; each letter plugs one interface, in order: C the cable of M,
// 1 / 2 its kind-1 / kind-2 receiver linked, a / b the same unlinked, N the cable
// of an unrelated mouse N, U an unpaired cable mouse.
void Plug(SimTopology& topology, const std::string& letters) {
    static const SimMouseIdentity m = MouseM();
    SimMouseIdentity n;
    n.sensorType = 0xE2;
    n.kind1ReceiverId = 0x33333333;
    n.kind2ReceiverId = 0x44444444;
    for (char c : letters) {
        switch (c) {
            case 'C':
                topology.PlugCableMouse(m);
                break;
            case '1':
                topology.PlugReceiver(1, R1, &m, std::make_shared<SimMouse>(), true);
                break;
            case '2':
                topology.PlugReceiver(2, R2, &m, std::make_shared<SimMouse>(), true);
                break;
            case 'a':
                topology.PlugReceiver(1, R1, &m, nullptr, false);
                break;
            case 'b':
                topology.PlugReceiver(2, R2, &m, nullptr, false);
                break;
            case 'N':
                topology.PlugCableMouse(n);
                break;
            case 'U':
                topology.PlugCableMouse({});
                break;
        }
    }
}

struct ScanCase {
    std::string letters;
    std::vector<Entry> entries;
};

TEST_F(DiscoveryTest, ScansFoldEveryConnectionOfAMouseIntoOneEntry) {
    const Entry cable{0x01, 0x01, 0, 7, 0xF0};
    const ScanCase cases[] = {
        {"C", {cable}},
        {"U", {{0x01, 0x01, 0, 7, 0xE1}}},
        {"1", {{0x02, 0x02, 1, 7, 0xF0}}},
        {"a", {{0x02, 0x00, 1, 0, 0xF0}}},
        {"2", {{0x04, 0x04, 2, 7, 0xF0}}},
        // Cable and receivers of one mouse, in every order. A cable joining an entry
        // clears its receivers' online bits; the receiver kind is the last one's.
        {"C1", {{0x03, 0x03, 1, 7, 0xF0}}},
        {"1C", {{0x03, 0x01, 1, 7, 0xF0}}},
        {"C2", {{0x05, 0x05, 2, 7, 0xF0}}},
        {"2C", {{0x05, 0x01, 2, 7, 0xF0}}},
        {"C12", {{0x07, 0x07, 2, 7, 0xF0}}},
        {"C21", {{0x07, 0x07, 1, 7, 0xF0}}},
        {"1C2", {{0x07, 0x05, 2, 7, 0xF0}}},
        {"2C1", {{0x07, 0x03, 1, 7, 0xF0}}},
        {"12C", {{0x07, 0x01, 2, 7, 0xF0}}},
        {"21C", {{0x07, 0x01, 1, 7, 0xF0}}},
        // Two receivers of one mouse, linked or with one of them unlinked.
        {"12", {{0x06, 0x06, 2, 7, 0xF0}}},
        {"21", {{0x06, 0x06, 1, 7, 0xF0}}},
        {"1b", {{0x06, 0x02, 2, 7, 0xF0}}},
        {"2a", {{0x06, 0x04, 1, 7, 0xF0}}},
        // Both unlinked: nothing ties them together until the cable does.
        {"ab", {{0x02, 0x00, 1, 0, 0xF0}, {0x04, 0x00, 2, 0, 0xF0}}},
        {"abC", {{0x07, 0x01, 1, 7, 0xF0}}},
        // The cable meets the kind-2 entry first and the kind-1 entry after it.
        {"baC", {{0x07, 0x01, 1, 7, 0xF0}}},
        // Two mice.
        {"CN", {cable, {0x01, 0x01, 0, 7, 0xE2}}},
        {"NC1", {{0x01, 0x01, 0, 7, 0xE2}, {0x03, 0x03, 1, 7, 0xF0}}},
        {"UU", {{0x01, 0x01, 0, 7, 0xE1}, {0x01, 0x01, 0, 7, 0xE1}}},
    };
    for (const ScanCase& c : cases) {
        SCOPED_TRACE(c.letters);
        SimHidBackend machine;
        SetHidBackend(&machine);
        SimTopology t(machine);
        t.PlugWineDevices();
        Plug(t, c.letters);
        ScanDevices();
        EXPECT_EQ(Table(), c.entries);
        EXPECT_EQ(machine.OpenHandleCount(), 0);
        SetHidBackend(&backend);
    }
}

TEST_F(DiscoveryTest, AFoldedEntryKeepsEveryPathAndIdentifier) {
    Plug(topology, "abC");
    ScanDevices();
    ASSERT_EQ(g_deviceCount, 1);
    const DeviceEntry& e = g_deviceTable[0];
    EXPECT_EQ(e.linkIdA, R1);
    EXPECT_EQ(e.linkIdB, R1);
    EXPECT_EQ(e.linkIdC, R2);
    EXPECT_EQ(e.linkIdD, R2);
    EXPECT_EQ(e.reportId, 9);
    EXPECT_EQ(e.reportLength, 8);
    auto paths = backend.EnumerateInterfaces();
    // Receiver 1, receiver 2 and the cable were plugged in that order.
    EXPECT_EQ(Text(e.paths[1]), paths[0].path);
    EXPECT_EQ(Text(e.paths[2]), paths[1].path);
    EXPECT_EQ(Text(e.paths[0]), paths[2].path);
    EXPECT_EQ(g_deviceTable[1].used, 0u) << "compaction left the folded entry's slot clear";
}

TEST_F(DiscoveryTest, CompactionLeavesNoGap) {
    // The unlinked receivers make two entries, N a third; M's cable then folds the
    // second into the first, which leaves a hole at index 1 until compaction.
    Plug(topology, "abNC");
    ScanDevices();
    ASSERT_EQ(g_deviceCount, 2);
    EXPECT_EQ(Table(), (std::vector<Entry>{{0x07, 0x01, 1, 7, 0xF0}, {0x01, 0x01, 0, 7, 0xE2}}));
    for (int i = g_deviceCount; i < DEVICE_TABLE_SIZE; ++i) EXPECT_EQ(g_deviceTable[i].used, 0u);
}

TEST_F(DiscoveryTest, AReceiverWithoutAnIdentifierMakesNoEntry) {
    const uint32_t noIds[] = {0x123456FF, SIM_ID_NONE, 0};
    for (uint32_t ownId : noIds) {
        SCOPED_TRACE(ownId);
        SimHidBackend machine;
        SetHidBackend(&machine);
        SimTopology t(machine);
        const SimMouseIdentity m = MouseM();
        t.PlugReceiver(1, ownId, &m, nullptr, true);
        ScanDevices();
        EXPECT_EQ(g_deviceCount, 0);
        SetHidBackend(&backend);
    }
}

TEST_F(DiscoveryTest, AMouseWhosePathDoesNotFitTheTableMakesNoEntry) {
    // An entry without its path would list a mouse that no path leads to.
    const SimMouseIdentity m = MouseM();
    const std::u16string tooLong = u"\\\\?\\hid#vid_093a&pid_522c&mi_01&col01#" +
                                   std::u16string(PATH_LENGTH, u'7') + u"&0&0000";
    for (const bool cable : {false, true}) {
        SCOPED_TRACE(cable ? "cable" : "receiver");
        SimHidBackend machine;
        SetHidBackend(&machine);
        const uint16_t pid = cable ? 0x622C : 0x522C;
        const SimDeviceInfo info =
            cable ? SimDeviceInfo{} : SimTopology::ReceiverDeviceInfo(2, &m, true);
        const SimLinkInfo link =
            cable ? SimLinkInfo{} : SimTopology::ReceiverLinkInfo(2, 0x5555, &m, true);
        machine.Plug(std::make_shared<SimMouseInterface>(
            SimMouseInterface::CommandInterface(tooLong, pid, u"7&1f"),
            std::make_shared<SimMouse>(), info, link));
        ScanDevices();
        EXPECT_EQ(g_deviceCount, 0);
        SetHidBackend(&backend);
    }
}

TEST_F(DiscoveryTest, ACableIdentifierOfAllFFSkipsItsSecondSubCommand) {
    SimMouseIdentity m = MouseM();
    m.kind1ReceiverId = SIM_ID_NONE;
    SimCableMouse cable = topology.PlugCableMouse(m);
    uint8_t kind, model;
    uint32_t id3, id2, id5, id4;
    EXPECT_TRUE(
        ProbeWiredMouse(cable.command->Description().path, kind, model, id3, id2, id5, id4));
    EXPECT_EQ(LinkInfoSubs(cable.command->Description().path), (std::vector<uint8_t>{2, 4, 5}));
    EXPECT_EQ(id2, SIM_ID_NONE);
    EXPECT_EQ(id3, SIM_ID_NONE);
    EXPECT_EQ(id4, R2);
    EXPECT_EQ(id5, R2);
    EXPECT_EQ(kind, 7);
    EXPECT_EQ(model, 0xF0);
}

TEST_F(DiscoveryTest, ReceiverProbesAskThePartnerOfTheirKind) {
    const SimMouseIdentity m = MouseM();
    const struct {
        int kind;
        bool linked;
        std::vector<uint8_t> subs;
        uint8_t receiverKind;
    } cases[] = {
        {1, true, {1, 4, 5}, 1}, {2, true, {1, 2, 3}, 2}, {3, true, {1, 2, 3}, 3},
        {4, true, {1, 2, 3}, 4}, {1, false, {1}, 1},      {4, false, {1}, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind * 10 + c.linked);
        SimReceiver r = topology.PlugReceiver(c.kind, 0x5555, &m, nullptr, c.linked);
        const std::u16string path = r.command->Description().path;
        uint8_t receiverKind, deviceKind, linkStatus, model;
        uint32_t id1, id3, id2, id5, id4;
        EXPECT_TRUE(ProbeReceiver(path, receiverKind, deviceKind, linkStatus, model, id1, id3, id2,
                                  id5, id4));
        EXPECT_EQ(LinkInfoSubs(path), c.subs);
        EXPECT_EQ(receiverKind, c.receiverKind);
        EXPECT_EQ(id1, 0x5555u);
        EXPECT_EQ(linkStatus, c.linked ? 1 : 0);
        EXPECT_EQ(model, 0xF0);
        const uint32_t partner = c.linked ? (c.kind == 1 ? R2 : R1) : 0;
        EXPECT_EQ(c.kind == 1 ? id4 : id2, partner);
        EXPECT_EQ(c.kind == 1 ? id5 : id3, partner);
    }

    // A partner identifier whose first byte is 0xFF is none: its second is not asked.
    SimMouseIdentity lone = m;
    lone.kind2ReceiverId = SIM_ID_NONE;
    SimReceiver r = topology.PlugReceiver(1, 0x6666, &lone, nullptr, true);
    const std::u16string path = r.command->Description().path;
    uint8_t receiverKind, deviceKind, linkStatus, model;
    uint32_t id1, id3, id2, id5, id4;
    EXPECT_TRUE(ProbeReceiver(path, receiverKind, deviceKind, linkStatus, model, id1, id3, id2,
                              id5, id4));
    EXPECT_EQ(LinkInfoSubs(path), (std::vector<uint8_t>{1, 4}));
    EXPECT_EQ(id4, SIM_ID_NONE);
    EXPECT_EQ(id5, SIM_ID_NONE);
}

TEST_F(DiscoveryTest, AnIdentifierOfZeroNeverMatches) {
    // An unlinked receiver stores no partner (0), and a cable that answers its link
    // information the receiver's way gives the probe no identifier at all (0):
    // the cable must not take the unrelated receiver's entry.
    const SimMouseIdentity m = MouseM();
    topology.PlugReceiver(2, R2, &m, nullptr, false);
    SimMouseIdentity n;
    n.kind1ReceiverId = 0x33333333;
    n.kind2ReceiverId = 0x44444444;
    SimCableMouse cable = topology.PlugCableMouse(n);
    SimLinkInfo link = cable.command->LinkInfo();
    link.byte2 = SimLinkByte2::EchoSub;
    cable.command->SetLinkInfo(link);
    ScanDevices();
    EXPECT_EQ(Table(), (std::vector<Entry>{{0x04, 0x00, 2, 0, 0xF0}, {0x01, 0x01, 0, 7, 0xE1}}));
}

TEST_F(DiscoveryTest, ACableAnsweringTheReceiversWayIsNotFoldedWithItsReceiver) {
    // What the literal cable probe makes of a device that echoes the sub-command.
    Plug(topology, "1");
    SimCableMouse cable = topology.PlugCableMouse(MouseM());
    SimLinkInfo link = cable.command->LinkInfo();
    link.byte2 = SimLinkByte2::EchoSub;
    cable.command->SetLinkInfo(link);
    ScanDevices();
    EXPECT_EQ(Table(), (std::vector<Entry>{{0x02, 0x02, 1, 7, 0xF0}, {0x01, 0x01, 0, 7, 0xF0}}));
}

TEST_F(DiscoveryTest, OnlyInterfacesWithTheCommandCapabilityAreProbed) {
    // The update and configuration collections of the cable are never probed, nor
    // a receiver collection without the capability, nor other vendors' devices.
    topology.PlugWineDevices();
    topology.PlugForeign(0x093A, 0x522C, {0xFF05, 1});
    topology.PlugForeign(0x1234, 0x622C, {0xFF05, 4}, {{0xFF05, 4}});
    SimCableMouse cable = topology.PlugCableMouse(MouseM());
    ScanDevices();
    EXPECT_EQ(g_deviceCount, 1);
    for (const SimReport& r : backend.Log()) {
        EXPECT_EQ(r.path, cable.command->Description().path);
    }
}

TEST_F(DiscoveryTest, ThirtyMiceAtMost) {
    for (int i = 0; i < 31; ++i) {
        SimMouseIdentity id;
        id.kind1ReceiverId = 0x1000 + i;
        id.kind2ReceiverId = 0x2000 + i;
        topology.PlugCableMouse(id, nullptr, {false, false, {}});
    }
    ScanDevices();
    EXPECT_EQ(g_deviceCount, DEVICE_TABLE_SIZE);
    EXPECT_EQ(g_deviceTable[DEVICE_TABLE_SIZE - 1].linkIdA, 0x1000u + 29);
}

}  // namespace
