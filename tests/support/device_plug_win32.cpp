#include "support/device_plug_win32.h"

#include <dbt.h>

#include <cstddef>
#include <cwchar>

#include "framework/strings.h"
#include "support/top_windows_win32.h"

namespace {

constexpr wchar_t kUsbDeviceClass[] = L"{a5dcbf10-6530-11d2-901f-00c04fb951ed}";

std::wstring UsbInterfaceName(const wchar_t* ids, const std::u16string& location) {
    return std::wstring(L"\\\\?\\USB#") + ids + L"#" + ToWide(location) + L"&0&1#" +
           kUsbDeviceClass;
}

// The system tells every top-level window that the device tree changed,
// whether or not it registered for anything; the notice names nothing.
void BroadcastNodesChanged() {
    for (HWND hwnd : TopLevelWindows()) {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(hwnd, WM_DEVICECHANGE, DBT_DEVNODES_CHANGED, 0, SMTO_NORMAL, 2000,
                              &result);
    }
}

}  // namespace

SimUsbDevice CableDevice(const SimMouseRig& rig) {
    SimUsbDevice device;
    for (const std::shared_ptr<SimHidInterface>& iface :
         {std::shared_ptr<SimHidInterface>(rig.cable.command),
          std::shared_ptr<SimHidInterface>(rig.cable.ota), rig.cable.config}) {
        if (iface) device.interfaces.push_back(iface);
    }
    device.hardwareId = u"USB\\VID_093A&PID_622C&REV_0100";
    device.interfaceName = UsbInterfaceName(L"VID_093A&PID_622C", rig.cable.location);
    return device;
}

SimUsbDevice ReceiverDevice(const SimMouseRig& rig) {
    SimUsbDevice device;
    if (rig.receiver.command) device.interfaces.push_back(rig.receiver.command);
    device.hardwareId = u"USB\\VID_093A&PID_522C&REV_0100";
    device.interfaceName = UsbInterfaceName(L"VID_093A&PID_522C", rig.receiver.location);
    return device;
}

void SendDeviceChange(HWND window, UINT event, const wchar_t* interfaceName) {
    struct {
        DEV_BROADCAST_DEVICEINTERFACE_W record;
        wchar_t rest[260];
    } message{};
    const size_t length = std::min<size_t>(std::wcslen(interfaceName), 260);
    message.record.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
    message.record.dbcc_classguid = {
        0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};
    std::wmemcpy(message.record.dbcc_name, interfaceName, length);
    message.record.dbcc_size = DWORD(offsetof(DEV_BROADCAST_DEVICEINTERFACE_W, dbcc_name) +
                                     (length + 1) * sizeof(wchar_t));
    // Sent and waited for: the record lives on this thread's stack.
    ::SendMessageW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&message.record));
}

void UnplugDevice(SimHidBackend& backend, const SimUsbDevice& device, HWND notify) {
    for (const std::shared_ptr<SimHidInterface>& iface : device.interfaces)
        backend.Unplug(iface->Description().path);
    backend.RemoveUsbHardwareId(device.hardwareId);
    BroadcastNodesChanged();
    if (notify) SendDeviceChange(notify, DBT_DEVICEREMOVECOMPLETE, device.interfaceName.c_str());
}

void PlugDevice(SimHidBackend& backend, const SimUsbDevice& device, HWND notify) {
    for (const std::shared_ptr<SimHidInterface>& iface : device.interfaces) backend.Plug(iface);
    backend.AddUsbHardwareId(device.hardwareId);
    BroadcastNodesChanged();
    if (notify) SendDeviceChange(notify, DBT_DEVICEARRIVAL, device.interfaceName.c_str());
}
