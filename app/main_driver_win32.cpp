#include "app/main_driver_win32.h"

#include "app/quorvel_dlg_win32.h"

namespace {
CUSBDriver* g_driverOverride = nullptr;
}  // namespace

CUSBDriver* MainWindowDriver() {
    if (g_driverOverride) return g_driverOverride;
    CQuorvelDlg* dlg = g_pMainDlg;
    return dlg ? &dlg->m_usbDriver : nullptr;
}

void SetMainWindowDriverOverride(CUSBDriver* driver) {
    g_driverOverride = driver;
}
