// Entry point of QuorvelDemo.exe: the program as it ships, but talking to a
// simulated mouse instead of the system's HID stack, so that it can be tried
// without the hardware. The registry and the files are the real ones, and the
// mouse keeps its memory in a file beside the demo, as a real one would.
// QUORVEL_WIRE_LOG=<file> in the environment writes every report that passed
// to that file when the demo ends.
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
#include "sim/sim_mouse_state_file.h"
#include "sim/sim_wire_log.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    std::unique_ptr<Registry> registry = MakeWin32Registry();
    SetRegistry(registry.get());
    SetFileSystem(&Win32FileSystem());
    MessageBoxNotice notices;
    SetUserNoticeSink(&notices);

    std::unique_ptr<SimMouseRig> rig = MakeDemoMouseRig();
    SetHidBackend(&rig->backend);

    // A first run brings a few macros along, so that the macro editor has something to show.
    std::u16string mouseStatePath;
    wchar_t modulePath[MAX_PATH];
    DWORD length = ::GetModuleFileNameW(nullptr, modulePath, MAX_PATH);
    if (length != 0 && length < MAX_PATH) {
        SetProgramFolder(FolderOfModulePath(ToU16(modulePath)));
        if (!LoadMacroStore()) StoreDemoMacros();
        // A first run, or a file that is not whole, meets the demo's own settings.
        mouseStatePath = ProgramFolder() + kSimMouseStateFileName;
        LoadMouseState(mouseStatePath, *rig->mouse);
    }

    // The mouse reports its battery and state on the real clock, as a real one does.
    rig->status->Start();
    theApp.InitInstance();
    rig->status->Stop();
    SetHidBackend(nullptr);

    if (!mouseStatePath.empty()) SaveMouseState(*rig->mouse, mouseStatePath);
    wchar_t logPath[MAX_PATH];
    length = ::GetEnvironmentVariableW(L"QUORVEL_WIRE_LOG", logPath, MAX_PATH);
    if (length != 0 && length < MAX_PATH) WriteWireLog(rig->backend.Log(), ToU16(logPath));
    return 0;
}
