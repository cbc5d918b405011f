// Entry point of QuorvelDemo.exe: the program as it ships, but talking to a
// simulated mouse instead of the system's HID stack, so that it can be tried
// without the hardware. The registry and the files are the real ones.
#include <windows.h>

#include <memory>

#include "app/quorvel_app_win32.h"
#include "app/startup.h"
#include "device/file_system.h"
#include "device/macro_store.h"
#include "device/registry.h"
#include "device/user_notice_win32.h"
#include "framework/strings.h"
#include "sim/sim_demo_mouse.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::unique_ptr<Registry> registry = MakeWin32Registry();
    SetRegistry(registry.get());
    SetFileSystem(&Win32FileSystem());
    MessageBoxNotice notices;
    SetUserNoticeSink(&notices);

    std::unique_ptr<SimMouseRig> rig = MakeDemoMouseRig();
    SetHidBackend(&rig->backend);

    // A first run brings a few macros along, so that the macro editor has something to show.
    wchar_t modulePath[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    if (length != 0 && length < MAX_PATH) {
        SetProgramFolder(FolderOfModulePath(ToU16(modulePath)));
        if (!LoadMacroStore()) StoreDemoMacros();
    }

    theApp.InitInstance();
    SetHidBackend(nullptr);
    return 0;
}
