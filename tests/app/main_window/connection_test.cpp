#include "app/main_window/connection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "device/device_state.h"
#include "device/device_tables.h"
#include "device/usb_driver.h"
#include "sim/sim_clock.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_mouse.h"
#include "support/installed_backend.h"
#include "text/u16_buffer.h"

namespace {

const std::u16string kPath = u"\\\\?\\hid#vid_093a&pid_622c&mi_01#7&2a3b4c5d&0&0000#{4d1e55b2}";

class RecordingView final : public PageView, public ConnectionView {
public:
    void ShowPage(int page) override { calls.push_back("page " + std::to_string(page)); }
    void RefreshAllPages() override { calls.push_back("refresh"); }
    void LayoutPageButtons(bool ledShown) override {
        calls.push_back(ledShown ? "layout led" : "layout");
    }
    void UpdateAdvancedTexts() override { calls.push_back("adv texts"); }
    void ResetStatusDisplay() override { calls.push_back("reset status"); }
    void ShowLinkIcon(bool wireless) override {
        calls.push_back(wireless ? "icon 2.4g" : "icon usb");
    }
    bool SyncRunning() override { return syncRunning; }
    void RunReadAll() override { calls.push_back("read all"); }

    bool syncRunning = false;
    std::vector<std::string> calls;
};

class ConnectionTest : public ::testing::Test {
protected:
    ConnectionTest()
        : iface(std::make_shared<SimMouseInterface>(
              SimMouseInterface::CommandInterface(kPath, PRODUCT_ID_WIRED, u"7&2a3b4c5d"),
              std::make_shared<SimMouse>(), SimDeviceInfo{}, SimLinkInfo{})) {
        backend.Plug(iface);
        g_currentDevicePath = kPath;
        g_isConnected = 0;
        g_linkType = 0;
        g_deviceModel = 0;
        g_sensorType = 0;
        std::memset(g_deviceTable, 0, sizeof(g_deviceTable));
        g_deviceCount = 0;
    }
    ~ConnectionTest() override {
        driver.reset();
        g_currentDevicePath.clear();
        g_isConnected = 0;
        std::memset(g_deviceTable, 0, sizeof(g_deviceTable));
        g_deviceCount = 0;
    }

    ScopedSimClock clock;
    SimHidBackend backend;
    InstalledBackend installed{backend};
    std::shared_ptr<SimMouseInterface> iface;
    std::unique_ptr<CUSBDriver> driver = std::make_unique<CUSBDriver>();
    RecordingView view;
    int linkMode = -1, curPage = 5, prevPage = 5;
    PageSwitch pages{view, curPage, prevPage};
    MainConnection connection{view, *driver, linkMode, pages};
};

TEST_F(ConnectionTest, AKnownMouseShowsTheButtonPageAndReadsItsSettings) {
    struct Case {
        uint8_t kind;
        uint8_t connected;
        uint8_t pathIndex;
        uint8_t linkType;
        uint8_t model;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {7,
         1,
         0,
         1,
         0xE1,
         {"reset status", "page 1", "refresh", "layout", "adv texts", "page 1", "read all",
          "icon usb", "refresh"}},
        {2,
         2,
         1,
         2,
         0xF0,
         {"reset status", "page 1", "refresh", "layout led", "adv texts", "page 1", "read all",
          "icon 2.4g", "refresh"}},
        // Model 0xF1 has no LED page.
        {3,
         3,
         2,
         2,
         0xF1,
         {"reset status", "page 1", "refresh", "layout", "adv texts", "page 1", "read all",
          "icon 2.4g", "refresh"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.kind));
        iface->SetDeviceInfo({1, c.kind, c.linkType, c.model, 0});
        view.calls.clear();
        curPage = prevPage = 5;
        ASSERT_TRUE(connection.SwitchConnection(REPORT_ID_MOUSE, 8, c.pathIndex, 0xF0));
        EXPECT_EQ(linkMode, c.pathIndex);
        EXPECT_EQ(g_isConnected, c.connected);
        EXPECT_EQ(g_sensorType, 0xF0);
        EXPECT_EQ(g_linkType, c.linkType);
        EXPECT_EQ(curPage, 1);
        EXPECT_EQ(prevPage, 5);
        EXPECT_EQ(view.calls, c.calls);
        EXPECT_EQ(g_currentDevicePath, kPath);
    }
}

TEST_F(ConnectionTest, ASyncAlreadyRunningIsNotJoinedByASecondRead) {
    view.syncRunning = true;
    ASSERT_TRUE(connection.SwitchConnection(REPORT_ID_MOUSE, 8, 0, 0xE1));
    for (const std::string& call : view.calls) EXPECT_NE(call, "read all");
    EXPECT_EQ(g_isConnected, 1);
}

TEST_F(ConnectionTest, AMouseThatIsNotReadyOrUnknownLeavesThePickerUp) {
    struct Case {
        const char* name;
        SimDeviceInfo info;
        bool failGet;
    };
    const Case cases[] = {
        {"status 0", {0, 7, 1, 0xE1, 0}, false},
        {"kind 4", {1, 4, 1, 0xE1, 0}, false},
        {"kind 1", {1, 1, 1, 0xE1, 0}, false},
        {"no reply", {1, 7, 2, 0xF0, 0}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        iface->SetDeviceInfo(c.info);
        iface->SetFault(SimFault::FailGet, c.failGet);
        g_isConnected = 2;
        g_linkType = 2;
        g_deviceModel = 0;
        view.calls.clear();
        curPage = 3;
        prevPage = 1;
        ASSERT_TRUE(connection.SwitchConnection(REPORT_ID_MOUSE, 8, 1, 0xE1));
        EXPECT_EQ(g_isConnected, 0);
        EXPECT_EQ(curPage, 5);
        for (const std::string& call : view.calls) {
            EXPECT_NE(call, "read all");
            // The picker hides the page icons: no LED icon over it.
            EXPECT_NE(call, "layout led");
        }
        EXPECT_EQ(view.calls.back(), "page 5");
    }
}

TEST_F(ConnectionTest, AFailedOpenLeavesNoPhantomConnection) {
    // Connected first, then the user picks a path that cannot be opened.
    ASSERT_TRUE(connection.SwitchConnection(REPORT_ID_MOUSE, 8, 0, 0xE1));
    ASSERT_EQ(g_isConnected, 1);
    backend.FailOpen(kPath, HidAccess::Write, true);
    view.calls.clear();
    EXPECT_FALSE(connection.SwitchConnection(REPORT_ID_MOUSE, 8, 1, 0xF0));
    EXPECT_EQ(linkMode, -1);
    EXPECT_EQ(g_isConnected, 0);
    EXPECT_TRUE(g_currentDevicePath.empty()) << "the picker must offer the tile again";
    EXPECT_EQ(curPage, 5);
    EXPECT_EQ(prevPage, 1);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"reset status", "page 5"}));
    EXPECT_EQ(g_sensorType, 0xE1) << "nothing of the new mouse is taken";
}

TEST_F(ConnectionTest, QueryWithoutConnectionShowsThePicker) {
    g_isConnected = 1;
    linkMode = -1;
    curPage = 2;
    connection.QueryLinkState();
    EXPECT_EQ(g_isConnected, 0);
    EXPECT_EQ(curPage, 5);
    EXPECT_EQ(prevPage, 2);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"page 5", "adv texts"}));
    EXPECT_TRUE(backend.Log().empty()) << "nothing is asked of a mouse not connected";
}

TEST_F(ConnectionTest, RemovalDropsTheConnectionOnlyWhenItsPathWent) {
    ASSERT_TRUE(connection.SwitchConnection(REPORT_ID_MOUSE, 8, 0, 0xE1));
    DeviceEntry& entry = g_deviceTable[0];
    entry.used = 1;
    CopyToBuffer(entry.paths[0], kPath);
    g_deviceCount = 1;
    view.calls.clear();
    EXPECT_FALSE(connection.DropConnectionIfGone()) << "another mouse went";
    EXPECT_EQ(g_isConnected, 1);
    EXPECT_TRUE(view.calls.empty());

    std::memset(&entry, 0, sizeof(entry));
    g_deviceCount = 0;
    EXPECT_TRUE(connection.DropConnectionIfGone());
    EXPECT_EQ(linkMode, -1);
    EXPECT_EQ(g_isConnected, 0);
    EXPECT_EQ(g_linkType, 0xFF);
    EXPECT_TRUE(g_currentDevicePath.empty());
    EXPECT_EQ(curPage, 5);
    EXPECT_EQ(prevPage, 1);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"reset status", "page 5"}));
    EXPECT_FALSE(connection.DropConnectionIfGone()) << "nothing connected any more";
}

}  // namespace
