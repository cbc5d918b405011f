// The main window's connection to the mouse, apart from its window: opening the
// path the user picked, asking the mouse what it is, and letting the connection
// go when its device is removed. It keeps the window's connection index (owned
// by the window), changes pages through the window's PageSwitch and asks the
// window, through ConnectionView, for what else it shows.
#pragma once

#include <cstdint>

#include "app/main_window/page_switch.h"

class CUSBDriver;
class MessageSink;

constexpr uint8_t LINK_TYPE_NONE = 0xFF;

class ConnectionView {
public:
    virtual ~ConnectionView() = default;
    virtual void RefreshAllPages() = 0;
    // Lays out the page icons with the LED page icon shown or hidden.
    virtual void LayoutPageButtons(bool ledShown) = 0;
    // The advanced page's texts depend on the connected mouse.
    virtual void UpdateAdvancedTexts() = 0;
    virtual void ResetStatusDisplay() = 0;
    // The cable icon for connection 0, the wireless icon otherwise.
    virtual void ShowLinkIcon(bool wireless) = 0;
    virtual bool SyncRunning() = 0;
    // Reads every setting of the mouse behind the progress view; returns when it has ended.
    virtual void RunReadAll() = 0;
};

// The LED page exists for a mouse of link type 2 whose model is not 0xF1.
bool LedPageAvailable(uint8_t linkType, uint8_t deviceModel);

class MainConnection {
public:
    MainConnection(ConnectionView& view, CUSBDriver& driver, int& linkMode, PageSwitch& pages)
        : m_view(view), m_driver(driver), m_linkMode(linkMode), m_pages(pages) {}

    // Where the reader posts the mouse's status reports.
    void SetEventTarget(MessageSink* target) { m_eventTarget = target; }

    // Connects to g_currentDevicePath over path index 0..2 and reads the mouse's
    // settings. False when the path could not be opened: nothing is connected
    // then, the path is forgotten and the device picker is shown.
    bool SwitchConnection(int32_t reportId, int32_t reportLength, uint8_t pathIndex,
                          uint8_t sensorType);

    // Asks the mouse what it is; shows the button page for a known mouse and
    // the device picker otherwise.
    void QueryLinkState();

    // After a removal's rescan: when the connected path is no longer in the
    // device table the connection goes. True when it went.
    bool DropConnectionIfGone();

private:
    void Disconnect();

    ConnectionView& m_view;
    CUSBDriver& m_driver;
    int& m_linkMode;
    PageSwitch& m_pages;
    MessageSink* m_eventTarget = nullptr;
};
