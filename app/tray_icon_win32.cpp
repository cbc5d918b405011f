#include "app/tray_icon_win32.h"

#include <utility>

namespace {

TrayNotifyHandler& Handler() {
    static TrayNotifyHandler handler;
    return handler;
}

}  // namespace

void SetTrayNotifyHandler(TrayNotifyHandler handler) { Handler() = std::move(handler); }

BOOL TrayNotify(DWORD message, NOTIFYICONDATAW& data) {
    if (const TrayNotifyHandler& handler = Handler()) return handler(message, data);
    return ::Shell_NotifyIconW(message, &data);
}
