#include "device/hid_enumerate_win32.h"

// clang-format off
// Order matters here: initguid.h makes devpkey.h define its keys in this file,
// and hidsdi.h brings the types that hidpi.h needs.
#include <windows.h>
#include <initguid.h>
#include <devpkey.h>
#include <devpropdef.h>
#include <setupapi.h>
#include <cfgmgr32.h>
extern "C" {
#include <hidsdi.h>
#include <hidpi.h>
}
// clang-format on

#include <algorithm>
#include <cwchar>

#include "device/property_text.h"

namespace {

// The property keys of a device that are read at most, and the bytes of each value.
constexpr DWORD kMaxPropertyKeys = 128;
constexpr DWORD kMaxPropertyBytes = 2048;

class DeviceInfoSet {
public:
    explicit DeviceInfoSet(HDEVINFO set) : m_set(set) {}
    ~DeviceInfoSet() {
        if (Valid()) SetupDiDestroyDeviceInfoList(m_set);
    }
    DeviceInfoSet(const DeviceInfoSet&) = delete;
    DeviceInfoSet& operator=(const DeviceInfoSet&) = delete;
    bool Valid() const { return m_set != INVALID_HANDLE_VALUE; }
    HDEVINFO Get() const { return m_set; }

private:
    HDEVINFO m_set;
};

class FileHandle {
public:
    explicit FileHandle(HANDLE file) : m_file(file) {}
    ~FileHandle() {
        if (Valid()) CloseHandle(m_file);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return m_file != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_file; }

private:
    HANDLE m_file;
};

class PreparsedData {
public:
    explicit PreparsedData(HANDLE file) {
        if (!HidD_GetPreparsedData(file, &m_data)) m_data = nullptr;
    }
    ~PreparsedData() {
        if (m_data) HidD_FreePreparsedData(m_data);
    }
    PreparsedData(const PreparsedData&) = delete;
    PreparsedData& operator=(const PreparsedData&) = delete;
    PHIDP_PREPARSED_DATA Get() const { return m_data; }

private:
    PHIDP_PREPARSED_DATA m_data = nullptr;
};

// Wine exports SetupDiGetDevicePropertyKeys only as a stub that ends the process.
bool CanListPropertyKeys() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return !(ntdll && GetProcAddress(ntdll, "wine_get_version"));
}

// Where the keys cannot be listed, the keys of the device's identity and of its
// place in the device tree are read, in the order Windows lists them. Each has a
// way of its own for property stores that do not hold it under its key (Wine's).
struct KnownKey {
    const DEVPROPKEY* key;
    DWORD registryProperty;  // SPDRP_MAXIMUM_PROPERTY: none
};

const KnownKey kKnownKeys[] = {
    {&DEVPKEY_Device_DeviceDesc, SPDRP_DEVICEDESC},
    {&DEVPKEY_Device_HardwareIds, SPDRP_HARDWAREID},
    {&DEVPKEY_Device_CompatibleIds, SPDRP_COMPATIBLEIDS},
    {&DEVPKEY_Device_Service, SPDRP_SERVICE},
    {&DEVPKEY_Device_Class, SPDRP_CLASS},
    {&DEVPKEY_Device_Driver, SPDRP_DRIVER},
    {&DEVPKEY_Device_Manufacturer, SPDRP_MFG},
    {&DEVPKEY_Device_LocationInfo, SPDRP_LOCATION_INFORMATION},
    {&DEVPKEY_Device_PDOName, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME},
    {&DEVPKEY_Device_InstanceId, SPDRP_MAXIMUM_PROPERTY},
    {&DEVPKEY_Device_Parent, SPDRP_MAXIMUM_PROPERTY},
    {&DEVPKEY_Device_LocationPaths, SPDRP_LOCATION_PATHS},
};

bool SameKey(const DEVPROPKEY& a, const DEVPROPKEY& b) {
    return a.pid == b.pid && IsEqualGUID(a.fmtid, b.fmtid);
}

// Reads one property value of at most kMaxPropertyBytes; size is what was written.
bool ReadProperty(HDEVINFO set, SP_DEVINFO_DATA* device, const DEVPROPKEY& key, DEVPROPTYPE& type,
                  BYTE* value, DWORD& size) {
    if (SetupDiGetDevicePropertyW(set, device, &key, &type, value, kMaxPropertyBytes, &size, 0)) {
        return true;
    }
    auto* text = reinterpret_cast<wchar_t*>(value);
    const DWORD textUnits = kMaxPropertyBytes / sizeof(wchar_t);
    type = DEVPROP_TYPE_STRING;
    if (SameKey(key, DEVPKEY_Device_InstanceId)) {
        DWORD units = 0;
        if (!SetupDiGetDeviceInstanceIdW(set, device, text, textUnits, &units)) return false;
        size = units * sizeof(wchar_t);
        return true;
    }
    if (SameKey(key, DEVPKEY_Device_Parent)) {
        DEVINST parent = 0;
        if (CM_Get_Parent(&parent, device->DevInst, 0) != CR_SUCCESS) return false;
        if (CM_Get_Device_IDW(parent, text, textUnits, 0) != CR_SUCCESS) return false;
        size = DWORD(wcsnlen(text, textUnits)) * sizeof(wchar_t);
        return true;
    }
    for (const KnownKey& known : kKnownKeys) {
        if (!SameKey(*known.key, key) || known.registryProperty == SPDRP_MAXIMUM_PROPERTY) continue;
        DWORD registryType = 0;
        if (!SetupDiGetDeviceRegistryPropertyW(set, device, known.registryProperty, &registryType,
                                               value, kMaxPropertyBytes, &size)) {
            return false;
        }
        if (registryType == REG_MULTI_SZ) type = DEVPROP_TYPE_STRING_LIST;
        return registryType == REG_SZ || registryType == REG_MULTI_SZ;
    }
    return false;
}

std::vector<DEVPROPKEY> PropertyKeys(HDEVINFO set, SP_DEVINFO_DATA* device) {
    std::vector<DEVPROPKEY> keys;
    if (!CanListPropertyKeys()) {
        for (const KnownKey& known : kKnownKeys) keys.push_back(*known.key);
        return keys;
    }
    DWORD keyCount = 0;
    SetupDiGetDevicePropertyKeys(set, device, nullptr, 0, &keyCount, 0);
    if (keyCount == 0) return keys;
    keys.resize(keyCount);
    if (!SetupDiGetDevicePropertyKeys(set, device, keys.data(), keyCount, &keyCount, 0)) {
        return {};
    }
    keys.resize(std::min<DWORD>(keyCount, kMaxPropertyKeys));
    return keys;
}

// The text values among the device's first properties, in key order.
std::vector<std::u16string> TextProperties(HDEVINFO set, SP_DEVINFO_DATA* device) {
    std::vector<std::u16string> texts;
    std::vector<DEVPROPKEY> keys = PropertyKeys(set, device);
    std::vector<BYTE> value(kMaxPropertyBytes);
    for (const DEVPROPKEY& key : keys) {
        DEVPROPTYPE type = 0;
        DWORD size = 0;
        if (!ReadProperty(set, device, key, type, value.data(), size)) continue;
        if (type == DEVPROP_TYPE_STRING || type == DEVPROP_TYPE_STRING_LIST) {
            AppendPropertyStrings(value.data(), std::min(size, kMaxPropertyBytes), texts);
        }
    }
    return texts;
}

void ReadCapabilities(HANDLE file, HidInterfaceDescription& d) {
    PreparsedData data(file);
    if (!data.Get()) return;
    HIDP_CAPS caps{};
    if (HidP_GetCaps(data.Get(), &caps) != HIDP_STATUS_SUCCESS) return;
    d.capsValid = true;
    d.topLevel = {caps.UsagePage, caps.Usage};
    if (caps.NumberFeatureValueCaps == 0) return;
    // One record for each capability: the call writes as many as it reports.
    std::vector<HIDP_VALUE_CAPS> values(caps.NumberFeatureValueCaps);
    USHORT count = USHORT(values.size());
    if (HidP_GetSpecificValueCaps(HidP_Feature, 0, 0, 0, values.data(), &count, data.Get()) !=
        HIDP_STATUS_SUCCESS) {
        return;
    }
    for (USHORT i = 0; i < count && i < values.size(); ++i) {
        const HIDP_VALUE_CAPS& v = values[i];
        d.featureValueCaps.push_back(
            {v.UsagePage, v.IsRange ? v.Range.UsageMin : v.NotRange.Usage});
    }
}

std::u16string FromWide(const wchar_t* text) {
    return std::u16string(reinterpret_cast<const char16_t*>(text));
}

}  // namespace

std::vector<HidInterfaceDescription> EnumerateHidInterfacesWin32() {
    std::vector<HidInterfaceDescription> result;
    GUID hidGuid;
    HidD_GetHidGuid(&hidGuid);
    DeviceInfoSet set(
        SetupDiGetClassDevsW(&hidGuid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
    if (!set.Valid()) return result;

    for (DWORD index = 0;; ++index) {
        SP_DEVICE_INTERFACE_DATA iface{};
        iface.cbSize = sizeof(iface);
        if (!SetupDiEnumDeviceInterfaces(set.Get(), nullptr, &hidGuid, index, &iface)) break;

        DWORD required = 0;
        SetupDiGetDeviceInterfaceDetailW(set.Get(), &iface, nullptr, 0, &required, nullptr);
        if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
        std::vector<BYTE> buffer(required + sizeof(wchar_t));
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        if (!SetupDiGetDeviceInterfaceDetailW(set.Get(), &iface, detail, required, nullptr,
                                              &device)) {
            continue;
        }

        HidInterfaceDescription d;
        d.path = FromWide(detail->DevicePath);
        // No access rights: enough for attributes and capabilities, and it works
        // while another program holds the device open.
        FileHandle file(CreateFileW(detail->DevicePath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        if (!file.Valid()) continue;
        HIDD_ATTRIBUTES attributes{};
        attributes.Size = sizeof(attributes);
        if (!HidD_GetAttributes(file.Get(), &attributes)) continue;
        d.vendorId = attributes.VendorID;
        d.productId = attributes.ProductID;
        ReadCapabilities(file.Get(), d);
        d.deviceProperties = TextProperties(set.Get(), &device);
        result.push_back(std::move(d));
    }
    return result;
}

std::vector<std::u16string> UsbHardwareIdsWin32() {
    std::vector<std::u16string> ids;
    DeviceInfoSet set(
        SetupDiGetClassDevsW(nullptr, L"USB", nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES));
    if (!set.Valid()) return ids;
    for (DWORD index = 0;; ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        if (!SetupDiEnumDeviceInfo(set.Get(), index, &device)) break;
        DWORD type = 0;
        DWORD required = 0;
        SetupDiGetDeviceRegistryPropertyW(set.Get(), &device, SPDRP_HARDWAREID, &type, nullptr, 0,
                                          &required);
        if (required == 0) continue;
        std::vector<BYTE> value(required);
        DWORD size = 0;
        if (!SetupDiGetDeviceRegistryPropertyW(set.Get(), &device, SPDRP_HARDWAREID, &type,
                                               value.data(), required, &size)) {
            continue;
        }
        if (type == REG_MULTI_SZ || type == REG_SZ) {
            AppendPropertyStrings(value.data(), std::min(size, required), ids);
        }
    }
    return ids;
}
