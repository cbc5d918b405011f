#include "sim/sim_topology.h"

namespace {

const std::u16string kHidClassGuid = u"{4d1e55b2-f16f-11cf-88cb-001111000030}";

std::u16string Hex4(unsigned value) {
    static const char16_t digits[] = u"0123456789abcdef";
    std::u16string text;
    for (int shift = 12; shift >= 0; shift -= 4) text += digits[(value >> shift) & 0xF];
    return text;
}

std::u16string InterfacePath(uint16_t productId, const std::u16string& collection,
                             const std::u16string& location) {
    return u"\\\\?\\hid#vid_093a&pid_" + Hex4(productId) + collection + u"#" + location +
           u"&0&0000#" + kHidClassGuid;
}

std::vector<std::u16string> VendorProperties(uint16_t productId, const std::u16string& location) {
    return SimMouseInterface::CommandInterface(u"", productId, location).deviceProperties;
}

}  // namespace

std::u16string SimTopology::NewLocation() { return u"7&1a2b" + Hex4(unsigned(m_nextLocation++)); }

SimCableMouse SimTopology::PlugCableMouse(const SimMouseIdentity& identity,
                                          std::shared_ptr<SimMouse> mouse,
                                          const SimCableOptions& options) {
    SimCableMouse cable;
    cable.mouse = mouse ? std::move(mouse) : std::make_shared<SimMouse>();
    cable.location = options.location.empty() ? NewLocation() : options.location;
    const uint16_t pid = 0x622C;

    SimDeviceInfo info;
    info.kind = identity.kind;
    info.linkType = identity.linkType;
    if (identity.linkType == 2) {
        info.byte5 = identity.modelByte;
        info.byte6 = identity.sensorType;
    } else {
        info.byte5 = identity.sensorType;
        info.byte6 = 0;
    }
    SimLinkInfo link;
    link.ids[0] = link.ids[1] = identity.kind1ReceiverId;  // subs 2 and 3
    link.ids[2] = link.ids[3] = identity.kind2ReceiverId;  // subs 4 and 5
    link.byte2 = SimLinkByte2::Status;

    cable.command = std::make_shared<SimMouseInterface>(
        SimMouseInterface::CommandInterface(InterfacePath(pid, u"&mi_01&col01", cable.location),
                                            pid, cable.location),
        cable.mouse, info, link);
    m_backend.Plug(cable.command);
    if (options.ota) {
        cable.ota =
            std::make_shared<SimOtaInterface>(InterfacePath(pid, u"&mi_01&col02", cable.location),
                                              VendorProperties(pid, cable.location));
        m_backend.Plug(cable.ota);
    }
    if (options.config) {
        HidInterfaceDescription d;
        d.path = InterfacePath(pid, u"&mi_00", cable.location);
        d.vendorId = 0x093A;
        d.productId = pid;
        d.capsValid = true;
        d.topLevel = {0xFF05, 1};
        d.deviceProperties = VendorProperties(pid, cable.location);
        cable.config = std::make_shared<SimHidInterface>(d);
        m_backend.Plug(cable.config);
    }
    m_backend.AddUsbHardwareId(u"USB\\VID_093A&PID_622C&REV_0100");
    return cable;
}

SimDeviceInfo SimTopology::ReceiverDeviceInfo(int kind, const SimMouseIdentity* paired,
                                              bool linked) {
    static const uint8_t kModelByte[5] = {0, 0x00, 0xFA, 0xF0, 0xF1};
    SimDeviceInfo info;
    info.linkType = kind == 1 ? 1 : 2;
    info.byte5 = kModelByte[kind >= 1 && kind <= 4 ? kind : 0];
    info.kind = paired && linked ? paired->kind : 0;
    info.byte6 = paired ? paired->sensorType : 0;
    return info;
}

SimLinkInfo SimTopology::ReceiverLinkInfo(int kind, uint32_t ownId, const SimMouseIdentity* paired,
                                          bool linked) {
    SimLinkInfo link;
    link.ownId = ownId;
    link.linkStatus = linked ? 1 : 0;
    link.byte2 = SimLinkByte2::EchoSub;
    if (paired && kind == 1) link.ids[2] = link.ids[3] = paired->kind2ReceiverId;
    if (paired && kind != 1) link.ids[0] = link.ids[1] = paired->kind1ReceiverId;
    return link;
}

SimReceiver SimTopology::PlugReceiver(int kind, uint32_t ownId, const SimMouseIdentity* paired,
                                      std::shared_ptr<SimMouse> mouse, bool linked) {
    SimReceiver receiver;
    receiver.kind = kind;
    receiver.location = NewLocation();
    const uint16_t pid = 0x522C;
    receiver.command = std::make_shared<SimMouseInterface>(
        SimMouseInterface::CommandInterface(InterfacePath(pid, u"&mi_01&col01", receiver.location),
                                            pid, receiver.location),
        linked ? std::move(mouse) : nullptr, ReceiverDeviceInfo(kind, paired, linked),
        ReceiverLinkInfo(kind, ownId, paired, linked));
    m_backend.Plug(receiver.command);
    m_backend.AddUsbHardwareId(u"USB\\VID_093A&PID_522C&REV_0100");
    return receiver;
}

std::shared_ptr<SimHidInterface> SimTopology::PlugForeign(uint16_t vendorId, uint16_t productId,
                                                          HidUsage topLevel,
                                                          std::vector<HidUsage> featureValueCaps) {
    const std::u16string location = NewLocation();
    HidInterfaceDescription d;
    d.path = u"\\\\?\\hid#vid_" + Hex4(vendorId) + u"&pid_" + Hex4(productId) + u"#" + location +
             u"&0&0000#" + kHidClassGuid;
    d.vendorId = vendorId;
    d.productId = productId;
    d.capsValid = true;
    d.topLevel = topLevel;
    d.featureValueCaps = std::move(featureValueCaps);
    d.deviceProperties = {u"USB Input Device", u"USB\\VID_" + Hex4(vendorId) + u"&PID_" +
                                                   Hex4(productId) + u"\\" + location + u"&0&0001"};
    auto device = std::make_shared<SimHidInterface>(d);
    m_backend.Plug(device);
    return device;
}

void SimTopology::PlugWineDevices() {
    for (uint16_t pid : {uint16_t(1), uint16_t(2)}) {
        HidInterfaceDescription d;
        d.path = u"\\\\?\\hid#vid_845e&pid_" + Hex4(pid) + u"#0&0000&0&0#" + kHidClassGuid;
        d.vendorId = 0x845E;
        d.productId = pid;
        d.capsValid = true;
        d.topLevel = {0x0001, uint16_t(pid == 1 ? 2 : 6)};
        d.deviceProperties = {u"Wine HID device",
                              u"HID\\VID_845E&PID_" + Hex4(pid) + u"\\0&0000&0&0"};
        m_backend.Plug(std::make_shared<SimHidInterface>(d));
    }
}
