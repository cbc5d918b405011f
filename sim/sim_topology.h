// A simulated machine for discovery: mice by cable, receivers of kinds 1 to 4,
// each with its HID collections at a USB location of its own, pairing
// identifiers and sensor types, and HID devices of other vendors.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "sim/sim_hid_backend.h"
#include "sim/sim_mouse.h"
#include "sim/sim_ota_device.h"

// Who a mouse is: its kind and sensor, and the identifiers of the receivers it
// is paired with (one of kind 1, one of kind 2, 3 or 4).
struct SimMouseIdentity {
    uint8_t kind = 7;
    uint8_t sensorType = 0xE1;
    uint32_t kind1ReceiverId = SIM_ID_NONE;
    uint32_t kind2ReceiverId = SIM_ID_NONE;
    uint8_t linkType = 1;      // device information byte 4 over the cable
    uint8_t modelByte = 0xF0;  // byte 5 when the link type is 2 (byte 6 is then the sensor)
};

struct SimCableMouse {
    std::shared_ptr<SimMouse> mouse;
    std::shared_ptr<SimMouseInterface> command;
    std::shared_ptr<SimOtaInterface> ota;     // null without an update collection
    std::shared_ptr<SimHidInterface> config;  // null without a configuration collection
    std::u16string location;
};

struct SimReceiver {
    int kind = 1;
    std::shared_ptr<SimMouseInterface> command;
    std::u16string location;
};

struct SimCableOptions {
    bool ota = true;
    bool config = true;
    std::u16string location;  // empty: a new one
};

class SimTopology {
public:
    explicit SimTopology(SimHidBackend& backend) : m_backend(backend) {}

    // A mouse on its cable: the command interface, and the update and
    // configuration collections at the same USB location.
    SimCableMouse PlugCableMouse(const SimMouseIdentity& identity,
                                 std::shared_ptr<SimMouse> mouse = nullptr,
                                 const SimCableOptions& options = {});

    // A receiver of kind 1 to 4 with its own identifier, paired with the mouse of
    // identity (none when null); a linked receiver passes commands to mouse.
    SimReceiver PlugReceiver(int kind, uint32_t ownId, const SimMouseIdentity* paired,
                             std::shared_ptr<SimMouse> mouse, bool linked);
    static SimDeviceInfo ReceiverDeviceInfo(int kind, const SimMouseIdentity* paired, bool linked);
    static SimLinkInfo ReceiverLinkInfo(int kind, uint32_t ownId, const SimMouseIdentity* paired,
                                        bool linked);

    // A HID interface of another vendor or kind, at a USB location of its own.
    std::shared_ptr<SimHidInterface> PlugForeign(uint16_t vendorId, uint16_t productId,
                                                 HidUsage topLevel,
                                                 std::vector<HidUsage> featureValueCaps = {});
    // The two HID devices Wine shows of its own (vendor 0x845E).
    void PlugWineDevices();

    std::u16string NewLocation();

private:
    SimHidBackend& m_backend;
    int m_nextLocation = 1;
};
