#include "app/main_window/connection.h"

#include "app/app_state.h"
#include "app/main_window/device_change.h"
#include "device/device_state.h"
#include "device/usb_driver.h"

namespace {

constexpr uint8_t kLedLinkType = 2;
constexpr uint8_t kModelWithoutLed = 0xF1;
constexpr uint8_t kDeviceReady = 1;

// The value of g_isConnected for a device kind, 0 for a kind this program does not know.
uint8_t ConnectedValueForKind(uint8_t kind) {
    switch (kind) {
        case 7:
            return 1;
        case 2:
            return 2;
        case 3:
            return 3;
        default:
            return 0;
    }
}

}  // namespace

bool LedPageAvailable(uint8_t linkType, uint8_t deviceModel) {
    return linkType == kLedLinkType && deviceModel != kModelWithoutLed;
}

void MainConnection::Disconnect() {
    g_currentDevicePath.clear();
    m_linkMode = -1;
    g_isConnected = 0;
    m_view.ResetStatusDisplay();
    m_pages.GoTo(PAGE_DEVICE_PICKER);
}

bool MainConnection::SwitchConnection(int32_t reportId, int32_t reportLength, uint8_t pathIndex,
                                      uint8_t sensorType) {
    m_linkMode = -1;
    // A copy: the device picker may change the global while the driver holds the path.
    const std::u16string path = g_currentDevicePath;
    if (!m_driver.Open(path, reportId, reportLength, m_eventTarget)) {
        // The old connection's handles are closed by now: nothing may look
        // connected, and the picker must offer the same tile again.
        Disconnect();
        return false;
    }
    m_linkMode = pathIndex;
    g_sensorType = sensorType;

    m_view.ResetStatusDisplay();
    QueryLinkState();
    if (g_isConnected == 0) {
        m_pages.GoTo(PAGE_DEVICE_PICKER);
        return true;
    }
    m_pages.Set(PAGE_BUTTONS, PAGE_DEVICE_PICKER);
    if (!m_view.SyncRunning()) m_view.RunReadAll();
    // The mouse may have been removed during the read: the picker is up then.
    if (m_linkMode != -1) m_view.ShowLinkIcon(m_linkMode != 0);
    m_view.RefreshAllPages();
    return true;
}

void MainConnection::QueryLinkState() {
    g_isConnected = 0;
    if (m_linkMode == -1) {
        m_pages.GoTo(PAGE_DEVICE_PICKER);
    } else {
        uint8_t status = 0;
        uint8_t kind = 0;
        if (!m_driver.GetDeviceInfo(status, kind)) {
            m_pages.GoTo(PAGE_DEVICE_PICKER);
        } else {
            const uint8_t connected = status == kDeviceReady ? ConnectedValueForKind(kind) : 0;
            m_pages.GoTo(connected ? PAGE_BUTTONS : PAGE_DEVICE_PICKER);
            g_isConnected = connected;
            m_view.RefreshAllPages();
        }
        // The page icons are hidden on the device picker; the LED icon with them.
        const bool ledShown =
            m_pages.Current() != PAGE_DEVICE_PICKER && LedPageAvailable(g_linkType, g_deviceModel);
        m_view.LayoutPageButtons(ledShown);
    }
    m_view.UpdateAdvancedTexts();
}

bool MainConnection::DropConnectionIfGone() {
    if (!ConnectedPathGone(g_currentDevicePath)) return false;
    g_linkType = LINK_TYPE_NONE;
    Disconnect();
    return true;
}
