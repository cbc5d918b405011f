// A cable mouse's update interface in the simulated HID stack, listed in the
// interface table as discovery would list it, on a simulated clock.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/device_tables.h"
#include "firmware/ota_device.h"
#include "firmware/ota_protocol.h"
#include "sim/sim_clock.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_ota_device.h"

inline void ResetOtaState() {
    ResetOtaProtocolState();
}

inline void ClearInterfaceTable() {
    std::memset(g_hidInterfaces, 0, sizeof(g_hidInterfaces));
    g_hidInterfaceCount = 0;
}

inline void PutInterfaceEntry(int index, uint16_t vendorId, uint16_t productId,
                              const std::u16string& otaPath, uint8_t kind = 7, uint8_t model = 1) {
    HidInterfaceEntry& e = g_hidInterfaces[index];
    std::memset(&e, 0, sizeof(e));
    e.used = 1;
    e.interfaceMask = INTERFACE_OTA_OR_CONFIG | INTERFACE_MOUSE;
    std::memcpy(e.location, u"Port_#0001.Hub_#0002", 21 * sizeof(char16_t));
    std::memcpy(e.otaPath, otaPath.c_str(), (otaPath.size() + 1) * sizeof(char16_t));
    e.vendorId = vendorId;
    e.productId = productId;
    e.probed = 1;
    e.probeKind = kind;
    e.probeModel = model;
}

class OtaFixture : public ::testing::Test {
protected:
    static constexpr const char16_t* kPath = u"\\\\?\\hid#vid_093a&pid_622c&mi_01&col02#7&1a2b3c&0&0001";

    void SetUp() override {
        ResetOtaState();
        ClearInterfaceTable();
        m_device = std::make_shared<SimOtaInterface>(
            kPath, std::vector<std::u16string>{u"Cable mouse", u"USB\\VID_093A&PID_622C&MI_01\\7&1a2b3c&0&0001"});
        m_backend.Plug(m_device);
        SetHidBackend(&m_backend);
        PutInterfaceEntry(0, MOUSE_VENDOR_ID, PRODUCT_ID_WIRED, kPath);
    }
    void TearDown() override {
        CloseOtaHandles();
        SetHidBackend(nullptr);
        ClearInterfaceTable();
    }

    // The command bytes of the reports sent, in order ("40" for each data packet).
    std::vector<uint8_t> SentCommands() const {
        std::vector<uint8_t> commands;
        for (const auto& r : m_backend.Log()) {
            if (r.kind == SimReport::Kind::SetFeature) commands.push_back(r.bytes[6]);
        }
        return commands;
    }
    size_t ReadCount() const {
        size_t reads = 0;
        for (const auto& r : m_backend.Log()) reads += r.kind == SimReport::Kind::GetFeature;
        return reads;
    }

    ScopedSimClock m_clock;
    SimHidBackend m_backend;
    std::shared_ptr<SimOtaInterface> m_device;
};
