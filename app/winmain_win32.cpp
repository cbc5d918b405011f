// Entry point of Quorvel.exe: the system's registry, files and HID stack, then
// the application object.
#include <windows.h>

#include "app/quorvel_app_win32.h"
#include "device/file_system.h"
#include "device/hid_backend_win32.h"
#include "device/registry.h"
#include "device/user_notice_win32.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::unique_ptr<Registry> registry = MakeWin32Registry();
    SetRegistry(registry.get());
    SetFileSystem(&Win32FileSystem());
    SetHidBackend(&GetWin32HidBackend());
    MessageBoxNotice notices;
    SetUserNoticeSink(&notices);
    theApp.InitInstance();
    return 0;
}
