// The device link as the pages and small dialogs reach it: through the main
// window, which is not set yet while the pages run their own start-up.
#pragma once

class CUSBDriver;

// The main window's driver, or null while there is no main window.
CUSBDriver* MainWindowDriver();

// For a page or box tested without the main window: the driver it sends
// through instead; null gives the main window's back.
void SetMainWindowDriverOverride(CUSBDriver* driver);
