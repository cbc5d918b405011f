#include "sim/sim_mouse.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

// One request and its reply, straight through the interface.
Bytes Exchange(SimMouseInterface& iface, Bytes request) {
    request.resize(9, 0);
    if (!iface.HandleSetFeature(request.data(), request.size())) return {};
    Bytes reply(9, 0);
    reply[0] = 9;
    if (!iface.HandleGetFeature(reply.data(), reply.size())) return {};
    return reply;
}

TEST(SimMouseTest, LinkInformationAnswersByteTwoAsConfigured) {
    SimLinkInfo link;
    link.ownId = 0x44332211;
    link.linkStatus = 1;
    link.ids[0] = 0xA1A2A3A4;   // sub 2
    link.ids[3] = SIM_ID_NONE;  // sub 5
    SimMouseInterface iface(SimMouseInterface::CommandInterface(u"p", 0x522C, u"1&x"), nullptr,
                            SimDeviceInfo{}, link);

    EXPECT_EQ(Exchange(iface, {9, 0x8E, 1}), (Bytes{9, 0x8E, 1, 0x11, 0x22, 0x33, 0x44, 1, 0}));
    EXPECT_EQ(Exchange(iface, {9, 0x8E, 2}), (Bytes{9, 0x8E, 1, 0xA4, 0xA3, 0xA2, 0xA1, 0, 0}))
        << "a cable-style answer: status 1 in byte 2";
    link.byte2 = SimLinkByte2::EchoSub;
    iface.SetLinkInfo(link);
    EXPECT_EQ(Exchange(iface, {9, 0x8E, 5}), (Bytes{9, 0x8E, 5, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0}))
        << "a receiver-style answer: the sub-command echoed";
    EXPECT_TRUE(Exchange(iface, {9, 0x8E, 6}).empty()) << "no such sub-command";
}

TEST(SimMouseTest, AReceiverWithNothingLinkedTakesCommandsButAnswersOnlyForItself) {
    SimMouseInterface iface(SimMouseInterface::CommandInterface(u"p", 0x522C, u"1&x"), nullptr,
                            SimDeviceInfo{1, 7, 2, 0xFA, 0xE2}, SimLinkInfo{});
    EXPECT_EQ(Exchange(iface, {9, 0x81}), (Bytes{9, 0, 0, 0, 0, 0, 0, 0, 0}))
        << "no reply: byte 1 echoes nothing";
    EXPECT_EQ(Exchange(iface, {9, 0x8F}), (Bytes{9, 0x8F, 1, 7, 2, 0xFA, 0xE2, 0, 0}));

    auto mouse = std::make_shared<SimMouse>();
    iface.SetMouse(mouse);
    EXPECT_EQ(Exchange(iface, {9, 0x86, 4}), (Bytes{9, 0x86, 4, 0x01, 0x00, 0xF4, 0x00, 0, 0}))
        << "device button 4 is forward by default";
}

TEST(SimMouseTest, StaleReplyFaultKeepsTheLastAnswer) {
    auto mouse = std::make_shared<SimMouse>();
    SimMouseInterface iface(SimMouseInterface::CommandInterface(u"p", 0x622C, u"1&x"), mouse,
                            SimDeviceInfo{}, SimLinkInfo{});
    Exchange(iface, {9, 0x85, 1});
    iface.SetFault(SimFault::StaleReply, true);
    EXPECT_EQ(Exchange(iface, {9, 0x81}), (Bytes{9, 0x85, 1, 4, 0, 0, 0, 0, 0}));
}

}  // namespace
