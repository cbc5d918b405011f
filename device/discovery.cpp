#include "device/discovery.h"

#include <algorithm>
#include <cstring>

#include "device/clock.h"
#include "device/device_tables.h"
#include "device/usb_driver.h"
#include "firmware/ota_protocol.h"
#include "text/ascii_case.h"

HidHandle g_probeReadHandle = kInvalidHidHandle;
HidHandle g_probeWriteHandle = kInvalidHidHandle;
HidHandle g_scanReadHandle = kInvalidHidHandle;
HidHandle g_scanWriteHandle = kInvalidHidHandle;

namespace {

constexpr uint32_t PROBE_REPLY_WAIT_MS = 30;
constexpr uint8_t DEVICE_READY = 1;
constexpr uint8_t LINK_REPLY_OK = 1;  // byte 2 of a link-information reply the cable probe takes

// The scan probes' report buffers: discovery runs before any window exists.
uint8_t g_scanOut[REPORT_BUFFER_SIZE];
uint8_t g_scanIn[REPORT_BUFFER_SIZE];

// Path bits of a DeviceEntry.
constexpr uint8_t PATH_CABLE = 0x01;
constexpr uint8_t PATH_RECEIVER_1 = 0x02;
constexpr uint8_t PATH_RECEIVER_2 = 0x04;

// 0 is what an identifier holds when no reply gave one, so it is none as well.
bool IsId(uint32_t id) { return id != LINK_ID_NONE && id != 0; }

uint32_t IdAt(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 |
           uint32_t(bytes[3]) << 24;
}

bool AllFF(const uint8_t* bytes) {
    return bytes[0] == 0xFF && bytes[1] == 0xFF && bytes[2] == 0xFF && bytes[3] == 0xFF;
}

// Copies text into a fixed field; false when it does not fit with its terminator.
bool PutText(char16_t (&field)[PATH_LENGTH], const std::u16string& text) {
    if (text.size() >= size_t(PATH_LENGTH)) return false;
    std::memset(field, 0, sizeof(field));
    std::copy(text.begin(), text.end(), field);
    return true;
}

void CopyField(char16_t (&to)[PATH_LENGTH], const char16_t (&from)[PATH_LENGTH]) {
    std::memcpy(to, from, sizeof(to));
}

bool SameText(const char16_t (&field)[PATH_LENGTH], const std::u16string& text) {
    size_t length = 0;
    while (length < size_t(PATH_LENGTH) && field[length] != 0) ++length;
    return text.size() == length && std::equal(text.begin(), text.end(), field);
}

bool HasCapability(const HidInterfaceDescription& d, uint16_t usagePage, uint16_t usage) {
    return std::any_of(
        d.featureValueCaps.begin(), d.featureValueCaps.end(),
        [&](const HidUsage& u) { return u.usagePage == usagePage && u.usage == usage; });
}

void CloseHandlePair(HidHandle& read, HidHandle& write) {
    HidBackend& hid = GetHidBackend();
    if (read != kInvalidHidHandle) hid.Close(read);
    if (write != kInvalidHidHandle) hid.Close(write);
    read = kInvalidHidHandle;
    write = kInvalidHidHandle;
}

void OpenHandlePair(const std::u16string& path, HidHandle& read, HidHandle& write) {
    CloseHandlePair(read, write);
    HidBackend& hid = GetHidBackend();
    read = hid.Open(path, HidAccess::Read);
    write = hid.Open(path, HidAccess::Write);
}

// One exchange of the scan probes: [9, command, sub] sent, a pause, 9 bytes fetched.
bool ScanExchange(uint8_t command, uint8_t sub) {
    HidBackend& hid = GetHidBackend();
    std::memset(g_scanOut, 0, sizeof(g_scanOut));
    std::memset(g_scanIn, 0, sizeof(g_scanIn));
    g_scanOut[0] = REPORT_ID_MOUSE;
    g_scanOut[1] = command;
    g_scanOut[2] = sub;
    if (!hid.SetFeature(g_scanWriteHandle, g_scanOut, FEATURE_REPORT_SIZE)) return false;
    SleepMs(PROBE_REPLY_WAIT_MS);
    g_scanIn[0] = REPORT_ID_MOUSE;
    return hid.GetFeature(g_scanReadHandle, g_scanIn, FEATURE_REPORT_SIZE);
}

bool LinkReplyFor(uint8_t byte2) {
    return g_scanIn[1] == CMD_GET_LINK_INFO && g_scanIn[2] == byte2;
}

bool FirstByteFF(const uint8_t* bytes) { return bytes[0] == 0xFF; }

// The scan handles of one probe, open on path for as long as the probe runs.
class ScanHandles {
public:
    explicit ScanHandles(const std::u16string& path) {
        OpenHandlePair(path, g_scanReadHandle, g_scanWriteHandle);
    }
    ~ScanHandles() { CloseHandlePair(g_scanReadHandle, g_scanWriteHandle); }
    ScanHandles(const ScanHandles&) = delete;
    ScanHandles& operator=(const ScanHandles&) = delete;
};

// The device information exchange that opens both scan probes; true when the
// reply came and says the device is ready.
bool AskDeviceInfoReady(bool& exchanged) {
    exchanged = ScanExchange(CMD_GET_DEVICE_INFO, 0);
    return exchanged && g_scanIn[1] == CMD_GET_DEVICE_INFO && g_scanIn[2] == DEVICE_READY;
}

// One partner's two identifiers: sub-command sub gives the first and, unless
// that one is none, sub + 1 the second (otherwise the second is the first).
// Only replies whose byte 2 is accepted (the sub-command itself when echoSub,
// else LINK_REPLY_OK) are taken. False when an exchange failed.
bool AskIdentifierPair(uint8_t sub, bool echoSub, bool (*isNone)(const uint8_t*), uint32_t& first,
                       uint32_t& second) {
    auto accepted = [&](uint8_t asked) { return LinkReplyFor(echoSub ? asked : LINK_REPLY_OK); };
    if (!ScanExchange(CMD_GET_LINK_INFO, sub)) return false;
    if (accepted(sub)) {
        first = IdAt(g_scanIn + 3);
        if (isNone(g_scanIn + 3)) {
            second = first;
            return true;
        }
    }
    const uint8_t next = uint8_t(sub + 1);
    if (!ScanExchange(CMD_GET_LINK_INFO, next)) return false;
    if (accepted(next)) second = IdAt(g_scanIn + 3);
    return true;
}

// ---- the interface table

void PlaceInterface(const HidInterfaceDescription& d, const std::u16string& location, bool isOta,
                    bool isConfig, bool isMouse, bool probed, uint8_t kind, uint8_t model) {
    if (location.empty() || !(isOta || isConfig || isMouse)) return;
    HidInterfaceEntry* entry = nullptr;
    for (HidInterfaceEntry& e : g_hidInterfaces) {
        if (e.used && SameText(e.location, location)) {
            entry = &e;
            break;
        }
    }
    if (!entry) {
        // The table holds 30 devices; a further one is left out.
        if (g_hidInterfaceCount >= DEVICE_TABLE_SIZE) return;
        entry = &g_hidInterfaces[g_hidInterfaceCount];
        std::memset(entry, 0, sizeof(*entry));
        if (!PutText(entry->location, location)) return;
        entry->used = 1;
        entry->vendorId = d.vendorId;
        entry->productId = d.productId;
        ++g_hidInterfaceCount;
    }
    if (isOta && PutText(entry->otaPath, d.path)) entry->interfaceMask |= INTERFACE_OTA_OR_CONFIG;
    if (isConfig && PutText(entry->configPath, d.path)) {
        entry->interfaceMask |= INTERFACE_OTA_OR_CONFIG;
    }
    if (isMouse && PutText(entry->mousePath, d.path)) {
        entry->interfaceMask |= INTERFACE_MOUSE;
        entry->probed = probed ? 1 : 0;
        if (kind != 0) {
            entry->probeKind = kind;
            entry->probeModel = model;
        }
    }
}

// ---- the device table

struct ReceiverProbe {
    uint8_t receiverKind = 0, deviceKind = 0, linkStatus = 0, model = 0;
    uint32_t id1 = 0, id2 = 0, id3 = 0, id4 = 0, id5 = 0;
};

struct WiredProbe {
    uint8_t kind = 0, model = 0;
    uint32_t id2 = 0, id3 = 0, id4 = 0, id5 = 0;
};

int ConnectionOf(uint8_t receiverKind) { return receiverKind == 1 ? 1 : 2; }

void StorePartnerIds(DeviceEntry& e, const ReceiverProbe& p) {
    if (p.linkStatus != 1) return;
    if (p.receiverKind == 1) {
        if (IsId(p.id4)) e.linkIdC = p.id4;
        if (IsId(p.id5)) e.linkIdD = p.id5;
    } else {
        if (IsId(p.id2)) e.linkIdA = p.id2;
        if (IsId(p.id3)) e.linkIdB = p.id3;
    }
}

void AddReceiverPath(DeviceEntry& e, const std::u16string& path, const ReceiverProbe& p) {
    const int connection = ConnectionOf(p.receiverKind);
    const uint8_t bit = uint8_t(1 << connection);
    if (!PutText(e.paths[connection], path)) return;
    e.pathMask |= bit;
    if (p.linkStatus == 1) e.onlineMask |= bit;
    e.receiverKind = p.receiverKind;
    e.sensorType = p.model;
}

DeviceEntry* NewEntry() {
    if (g_deviceCount >= DEVICE_TABLE_SIZE) return nullptr;
    DeviceEntry& e = g_deviceTable[g_deviceCount];
    std::memset(&e, 0, sizeof(e));
    e.used = 1;
    e.reportId = REPORT_ID_MOUSE;
    e.reportLength = 8;
    ++g_deviceCount;
    return &e;
}

bool ReceiverMatches(const DeviceEntry& e, const ReceiverProbe& p) {
    const bool rk1 = p.receiverKind == 1;
    const bool linked = p.linkStatus == 1;
    if (e.pathMask & PATH_CABLE) return rk1 ? e.linkIdA == p.id1 : e.linkIdC == p.id1;
    if (rk1 && (e.pathMask & PATH_RECEIVER_2)) {
        return linked ? IsId(p.id4) && e.linkIdC == p.id4 : e.linkIdA == p.id1;
    }
    if (!rk1 && (e.pathMask & PATH_RECEIVER_1)) {
        return linked ? IsId(p.id2) && e.linkIdA == p.id2 : e.linkIdC == p.id1;
    }
    return false;
}

void ScanReceiver(const std::u16string& path) {
    ReceiverProbe p;
    if (!ProbeReceiver(path, p.receiverKind, p.deviceKind, p.linkStatus, p.model, p.id1, p.id3,
                       p.id2, p.id5, p.id4)) {
        return;
    }
    if (!IsId(p.id1)) return;
    // Only a known receiver kind has a place among the paths.
    if (p.receiverKind < 1 || p.receiverKind > 4) return;

    bool matched = false;
    for (int i = 0; i < g_deviceCount; ++i) {
        DeviceEntry& e = g_deviceTable[i];
        if (!e.used || !ReceiverMatches(e, p)) continue;
        matched = true;
        AddReceiverPath(e, path, p);
        if (e.pathMask & PATH_CABLE) {
            StorePartnerIds(e, p);
            break;
        }
    }
    if (matched) return;

    // A path the table cannot hold would leave an entry that no path leads to.
    if (path.size() >= size_t(PATH_LENGTH)) return;
    DeviceEntry* e = NewEntry();
    if (!e) return;
    e->deviceKind = p.deviceKind;
    if (p.receiverKind == 1) {
        e->linkIdA = p.id1;
        e->linkIdB = p.id3;
    } else {
        e->linkIdC = p.id1;
    }
    StorePartnerIds(*e, p);
    AddReceiverPath(*e, path, p);
}

// Moves the receiver paths of other into e and takes other out of use. Every
// path it has moves, so that nothing it held is lost.
void FoldInto(DeviceEntry& e, DeviceEntry& other) {
    for (int connection = 1; connection < CONNECTION_COUNT; ++connection) {
        const uint8_t bit = uint8_t(1 << connection);
        if (!(other.pathMask & bit)) continue;
        CopyField(e.paths[connection], other.paths[connection]);
        e.pathMask |= bit;
    }
    other.used = 0;
}

void FoldMatching(DeviceEntry& e, uint32_t DeviceEntry::*field, uint32_t id) {
    for (int j = 0; j < g_deviceCount; ++j) {
        DeviceEntry& other = g_deviceTable[j];
        if (&other != &e && other.used && other.*field == id) FoldInto(e, other);
    }
}

void TakeCablePath(DeviceEntry& e, const std::u16string& path, const WiredProbe& p) {
    if (!PutText(e.paths[0], path)) return;
    e.pathMask |= PATH_CABLE;
    e.onlineMask = PATH_CABLE;
    e.deviceKind = p.kind;
    e.linkIdB = p.id2;
    e.sensorType = p.model;
    if (IsId(p.id5)) {
        e.linkIdC = p.id5;
        FoldMatching(e, &DeviceEntry::linkIdC, p.id5);
    }
}

void ScanWiredMouse(const std::u16string& path) {
    WiredProbe p;
    if (!ProbeWiredMouse(path, p.kind, p.model, p.id3, p.id2, p.id5, p.id4)) return;

    auto makeEntry = [&](uint32_t linkIdA, uint32_t linkIdC) {
        DeviceEntry* e = NewEntry();
        if (!e) return;
        if (!PutText(e->paths[0], path)) {
            e->used = 0;
            return;
        }
        e->deviceKind = p.kind;
        e->receiverKind = 0;
        e->onlineMask = PATH_CABLE;
        e->pathMask = PATH_CABLE;
        e->linkIdA = linkIdA;
        e->linkIdB = p.id2;
        e->linkIdC = linkIdC;
        e->linkIdD = p.id4;
        e->sensorType = p.model;
    };

    if (p.id3 == LINK_ID_NONE && p.id5 == LINK_ID_NONE) {
        makeEntry(LINK_ID_NONE, LINK_ID_NONE);
        return;
    }

    bool cableTaken = false;
    bool matched = false;
    for (int i = 0; i < g_deviceCount; ++i) {
        DeviceEntry& e = g_deviceTable[i];
        if (!e.used) continue;
        if (IsId(p.id3) && p.id3 == e.linkIdA) {
            matched = true;
            TakeCablePath(e, path, p);
            cableTaken = true;
        }
        if (IsId(p.id5) && p.id5 == e.linkIdC) {
            matched = true;
            if (!cableTaken) {
                TakeCablePath(e, path, p);
                e.linkIdA = p.id3;
                cableTaken = true;
            } else if (IsId(p.id3)) {
                e.linkIdA = p.id3;
                FoldMatching(e, &DeviceEntry::linkIdA, p.id3);
            }
            e.linkIdD = p.id4;
        }
    }
    if (!matched) makeEntry(p.id3, p.id5);
}

void CompactDeviceTable() {
    int used = 0;
    for (int i = 0; i < DEVICE_TABLE_SIZE; ++i) {
        if (!g_deviceTable[i].used) continue;
        if (i != used) {
            g_deviceTable[used] = g_deviceTable[i];
            std::memset(&g_deviceTable[i], 0, sizeof(DeviceEntry));
        }
        ++used;
    }
    // Entries folded into others near the end were never moved over: clear them too.
    for (int i = used; i < DEVICE_TABLE_SIZE; ++i) {
        std::memset(&g_deviceTable[i], 0, sizeof(DeviceEntry));
    }
    g_deviceCount = used;
}

}  // namespace

std::u16string UsbLocationOf(const std::u16string& value) {
    size_t first = value.find(u'\\');
    if (first == std::u16string::npos) return {};
    size_t second = value.find(u'\\', first + 1);
    if (second == std::u16string::npos) return {};
    const size_t start = second + 1;
    size_t amp = value.find(u'&', start);
    if (amp == std::u16string::npos) return {};
    amp = value.find(u'&', amp + 1);
    if (amp == std::u16string::npos) return {};
    return value.substr(start, amp - start);
}

bool IsUsbIdPresent(const std::u16string& text) {
    for (const std::u16string& id : GetHidBackend().UsbHardwareIds()) {
        if (ContainsIgnoringAsciiCase(id, text)) return true;
    }
    return false;
}

void EnumerateHidInterfaces() {
    CloseHandlePair(g_probeReadHandle, g_probeWriteHandle);
    std::memset(g_hidInterfaces, 0, sizeof(g_hidInterfaces));
    g_hidInterfaceCount = 0;
    g_otaVendorId = MOUSE_VENDOR_ID;
    g_otaProductId = PRODUCT_ID_WIRED;
    std::memset(g_otaReply, 0, sizeof(g_otaReply));

    for (const HidInterfaceDescription& d : GetHidBackend().EnumerateInterfaces()) {
        if (d.vendorId != MOUSE_VENDOR_ID || d.productId != PRODUCT_ID_WIRED) continue;
        if (!d.capsValid) continue;

        std::u16string location;
        for (const std::u16string& value : d.deviceProperties) {
            if (value.find(u"USB") == std::u16string::npos) continue;
            location = UsbLocationOf(value);
            break;
        }

        bool isOta = false, isConfig = false, isMouse = false, probed = false;
        uint8_t kind = 0, model = 0;
        if (d.featureValueCaps.empty()) {
            isConfig = d.topLevel.usagePage == USAGE_PAGE_MOUSE_VENDOR &&
                       d.topLevel.usage == USAGE_MOUSE_CONFIG;
        } else {
            for (const HidUsage& cap : d.featureValueCaps) {
                if (cap.usagePage == USAGE_PAGE_OTA && cap.usage == USAGE_OTA) isOta = true;
                if (cap.usagePage == USAGE_PAGE_MOUSE_VENDOR && cap.usage == USAGE_MOUSE_COMMANDS &&
                    !isMouse) {
                    isMouse = true;
                    probed = true;
                    uint8_t probeKind = 0, probeModel = 0;
                    if (ProbeHidPath(d.path, probeKind, probeModel)) {
                        kind = probeKind;
                        model = probeModel;
                    }
                }
            }
        }
        PlaceInterface(d, location, isOta, isConfig, isMouse, probed, kind, model);
    }
}

bool ProbeHidPath(const std::u16string& path, uint8_t& kind, uint8_t& model) {
    HidBackend& hid = GetHidBackend();
    OpenHandlePair(path, g_probeReadHandle, g_probeWriteHandle);
    // The probe borrows the update protocol's buffers: nothing else runs during discovery.
    std::memset(g_otaReport, 0, REPORT_BUFFER_SIZE);
    std::memset(g_otaReply, 0, REPORT_BUFFER_SIZE);
    g_otaReport[0] = REPORT_ID_MOUSE;
    g_otaReport[1] = CMD_GET_DEVICE_INFO;
    bool ok = hid.SetFeature(g_probeWriteHandle, g_otaReport, FEATURE_REPORT_SIZE);
    if (ok) {
        SleepMs(PROBE_REPLY_WAIT_MS);
        g_otaReply[0] = REPORT_ID_MOUSE;
        ok = hid.GetFeature(g_probeReadHandle, g_otaReply, FEATURE_REPORT_SIZE);
    }
    CloseHandlePair(g_probeReadHandle, g_probeWriteHandle);
    if (!ok) return false;
    if (g_otaReply[1] != CMD_GET_DEVICE_INFO || g_otaReply[2] != DEVICE_READY) return false;
    const uint8_t b5 = g_otaReply[5];
    model = b5 >= 0xF0 && b5 <= 0xF3 ? uint8_t(b5 - 0xF0) : 0;
    switch (g_otaReply[3]) {
        case 1:
        case 2:
        case 3:
        case 4:
        case 5:
        case 7:
            kind = g_otaReply[3];
            return true;
    }
    return false;
}

bool ProbeWiredMouse(const std::u16string& path, uint8_t& kind, uint8_t& model, uint32_t& id3,
                     uint32_t& id2, uint32_t& id5, uint32_t& id4) {
    kind = model = 0;
    id2 = id3 = id4 = id5 = 0;
    bool result = false;
    ScanHandles handles(path);

    bool exchanged = false;
    if (AskDeviceInfoReady(exchanged)) {
        if (g_scanIn[3] != 0) {
            kind = g_scanIn[3];
            result = true;
        }
        model = g_scanIn[4] == 2 ? g_scanIn[6] : g_scanIn[5];
    }
    if (!exchanged) return result;

    // The cable answers its link information with 1 in byte 2, and an identifier
    // of four 0xFF bytes is none.
    if (!AskIdentifierPair(2, false, AllFF, id2, id3)) return result;
    AskIdentifierPair(4, false, AllFF, id4, id5);
    return result;
}

bool ProbeReceiver(const std::u16string& path, uint8_t& receiverKind, uint8_t& deviceKind,
                   uint8_t& linkStatus, uint8_t& model, uint32_t& id1, uint32_t& id3, uint32_t& id2,
                   uint32_t& id5, uint32_t& id4) {
    receiverKind = deviceKind = linkStatus = model = 0;
    id1 = id2 = id3 = id4 = id5 = 0;
    bool result = false;
    ScanHandles handles(path);

    bool exchanged = false;
    if (AskDeviceInfoReady(exchanged)) {
        const uint8_t linkType = g_scanIn[4];
        const uint8_t b5 = g_scanIn[5];
        if (linkType == 1) {
            receiverKind = 1;
            result = true;
        } else if (linkType == 2 && (b5 == 0xFA || b5 == 0xF0 || b5 == 0xF1)) {
            receiverKind = b5 == 0xFA ? 2 : b5 == 0xF0 ? 3 : 4;
            result = true;
        }
        if (g_scanIn[3] != 0) {
            deviceKind = g_scanIn[3];
            result = true;
        }
        model = g_scanIn[6];
    }
    if (!exchanged) return result;

    if (!ScanExchange(CMD_GET_LINK_INFO, LINK_INFO_STATE)) return result;
    if (!LinkReplyFor(LINK_INFO_STATE)) return result;
    // 0xFF in the first identifier byte means the receiver has none.
    if (g_scanIn[3] == 0xFF) {
        id1 = LINK_ID_NONE;
        return result;
    }
    id1 = IdAt(g_scanIn + 3);
    linkStatus = g_scanIn[7];
    if (linkStatus != 1) return result;

    // The partner identifiers, each reply echoing its sub-command: 4 and 5 for a
    // kind-1 receiver, 2 and 3 for the others.
    if (receiverKind == 1) {
        AskIdentifierPair(4, true, FirstByteFF, id4, id5);
    } else if (receiverKind >= 2 && receiverKind <= 4) {
        AskIdentifierPair(2, true, FirstByteFF, id2, id3);
    }
    return result;
}

void ScanDevices() {
    CloseHandlePair(g_scanReadHandle, g_scanWriteHandle);
    std::memset(g_deviceTable, 0, sizeof(g_deviceTable));
    g_deviceCount = 0;
    std::memset(g_scanIn, 0, sizeof(g_scanIn));

    for (const HidInterfaceDescription& d : GetHidBackend().EnumerateInterfaces()) {
        if (d.vendorId != MOUSE_VENDOR_ID) continue;
        if (d.productId != PRODUCT_ID_WIRED && d.productId != PRODUCT_ID_RECEIVER) continue;
        if (!d.capsValid || !HasCapability(d, USAGE_PAGE_MOUSE_VENDOR, USAGE_MOUSE_COMMANDS)) {
            continue;
        }
        if (d.productId == PRODUCT_ID_RECEIVER) {
            ScanReceiver(d.path);
        } else {
            ScanWiredMouse(d.path);
        }
    }
    CompactDeviceTable();
}
