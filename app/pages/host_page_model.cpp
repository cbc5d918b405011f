#include "app/pages/host_page_model.h"

#include <algorithm>
#include <cstring>

#include "app/app_state.h"
#include "device/device_tables.h"
#include "text/u16_buffer.h"

namespace {

constexpr char16_t kMouseName[] = u"Brantis";
// Identifiers a receiver reports when it has no partner.
constexpr uint32_t kNoId = 0;
constexpr uint32_t kNoIdAlt = 0xFFFFFFFF;

std::u16string KindName(uint8_t kind) {
    switch (kind) {
    case 1:
    case 7: return kMouseName;
    case 2: return u"MOUSE2";
    case 3: return u"MOUSE3";
    case 4: return u"MOUSE4";
    default: return u"";
    }
}

// Per connection: the icon with and without the mouse answering over it.
struct ConnectionIcons {
    const char16_t* plain;
    const char16_t* online;
};
constexpr ConnectionIcons kIcons[CONNECTION_COUNT] = {
    {u"usb.png", u"usb-ol.png"},
    {u"1KHz.png", u"1KHz-ol.png"},
    {u"8KHz.png", u"8KHz-ol.png"},
};

bool Bit(uint8_t mask, int k) {
    return (mask >> k) & 1;
}

std::u16string_view PathOf(const DeviceEntry& e, int k) {
    return BufferText(e.paths[k]);
}

bool IsConnectedEntry(const DeviceEntry& e) {
    if (g_currentDevicePath.empty()) return false;
    for (int k = 0; k < CONNECTION_COUNT; ++k) {
        if (PathOf(e, k) == g_currentDevicePath) return true;
    }
    return false;
}

int CountUsed() {
    int count = 0;
    for (const DeviceEntry& e : g_deviceTable) count += e.used != 0;
    return count;
}

}  // namespace

void HostPageModel::Recount() {
    m_count = uint8_t(CountUsed());
    m_first = 0;
}

DeviceTileView HostPageModel::Tile(int k, bool atCreation) const {
    DeviceTileView tile;
    const int entry = m_first + k;
    if (k < 0 || k >= HOST_TILE_COUNT || k >= m_count || entry < 0 || entry >= DEVICE_TABLE_SIZE) {
        return tile;
    }
    const DeviceEntry& e = g_deviceTable[entry];
    if (!e.used) return tile;
    tile.shown = true;
    tile.entry = entry;
    tile.picture = !atCreation && IsConnectedEntry(e) ? u"mouse_nr.png" : u"mouse_nr-d.png";
    tile.name = atCreation ? KindName(e.deviceKind) : kMouseName;
    for (int c = 0; c < CONNECTION_COUNT; ++c) {
        if (!Bit(e.pathMask, c)) continue;
        tile.icons[c] = Bit(e.onlineMask, c) ? kIcons[c].online : kIcons[c].plain;
    }
    return tile;
}

bool HostPageModel::MoveLeft() {
    if (!ArrowsShown() || m_first <= 0) return false;
    --m_first;
    return true;
}

bool HostPageModel::MoveRight() {
    if (!ArrowsShown() || m_first >= m_count - HOST_TILE_COUNT) return false;
    ++m_first;
    return true;
}

TileClick HostPageModel::Click(int k, bool connectionLive) const {
    TileClick click;
    const DeviceTileView tile = Tile(k, false);
    if (!tile.shown) return click;
    const DeviceEntry& e = g_deviceTable[tile.entry];
    for (int c = 0; c < CONNECTION_COUNT; ++c) {
        if (!Bit(e.pathMask, c) || !Bit(e.onlineMask, c)) continue;
        click.entry = tile.entry;
        click.connection = uint8_t(c);
        // Connected that way already: back to where the user came from. A
        // connection that did not open (or was lost) is tried again instead,
        // or the user could never reconnect to this mouse.
        const bool samePath = PathOf(e, c) == g_currentDevicePath;
        click.action = samePath && connectionLive ? TileClick::Action::ReturnToPrevious
                                                  : TileClick::Action::Connect;
        return click;
    }
    return click;
}

bool HostPageModel::Tick(const ScanTickContext& context, const ReceiverProber& probe) {
    // A probe borrows the scan's handles and blocks the page: not while an
    // update or a sync has the mouse, and only while the picker is looked at.
    if (!context.pageShown || context.updateDialogOpen || context.syncBusy || m_count == 0) {
        return false;
    }
    bool changed = false;
    bool merged = false;
    for (int i = 0; i < m_count && i < DEVICE_TABLE_SIZE; ++i) {
        const DeviceEntry& e = g_deviceTable[i];
        if (!e.used || Bit(e.onlineMask, 0)) continue;  // online by cable: nothing to learn
        for (int connection = 1; connection <= 2; ++connection) {
            if (!Bit(g_deviceTable[i].pathMask, connection) || !context.mainWindow) continue;
            changed |= UpdateReceiver(i, connection, context, probe, merged);
        }
    }
    if (merged) {
        m_count = uint8_t(CountUsed());
        Compact();
        g_deviceCount = m_count;
        // The table closed up: keep every entry reachable with the arrows.
        m_first = std::max(0, std::min<int32_t>(m_first, m_count - HOST_TILE_COUNT));
    }
    return changed;
}

// Connection 1 or 2 of entry i. The partner's identifier that this receiver
// reports names the other receiver of the same mouse: an entry holding only
// that other connection is the same mouse, and folds into entry i.
bool HostPageModel::UpdateReceiver(int i, int connection, const ScanTickContext& context,
                                   const ReceiverProber& probe, bool& merged) {
    DeviceEntry& e = g_deviceTable[i];
    const uint8_t bit = uint8_t(1u << connection);
    const std::u16string path(PathOf(e, connection));
    if (path == g_currentDevicePath) {
        // The connected receiver is not probed: the status poll tells its link.
        if (context.receiverLinkState == 1 && !(e.onlineMask & bit)) {
            e.onlineMask |= bit;
            return true;
        }
        if (context.receiverLinkState == 0 && (e.onlineMask & bit)) {
            e.onlineMask &= uint8_t(~bit);
            return true;
        }
        return false;
    }
    const ReceiverProbe result = probe ? probe(path) : ReceiverProbe{};
    if (!result.answered) return false;
    if (result.linkStatus != 1) {
        e.onlineMask &= uint8_t(~bit);
        return true;
    }
    e.onlineMask |= bit;
    const int other = connection == 1 ? 2 : 1;
    const uint32_t partner = connection == 1 ? result.id4 : result.id2;
    if (partner == kNoId || partner == kNoIdAlt) return true;
    for (int j = 0; j < m_count && j < DEVICE_TABLE_SIZE; ++j) {
        DeviceEntry& o = g_deviceTable[j];
        if (j == i || !o.used || Bit(o.onlineMask, 0) || !Bit(o.pathMask, other)) continue;
        const uint32_t otherId = connection == 1 ? o.linkIdC : o.linkIdA;
        if (otherId != partner) continue;
        e.pathMask |= uint8_t(1u << other);
        std::memcpy(e.paths[other], o.paths[other], sizeof(e.paths[other]));
        // Freed whole: nothing of it can show up in a tile or match a path.
        std::memset(&o, 0, sizeof(o));
        merged = true;
    }
    return true;
}

// Used entries move up into the free slots before them, in their order.
void HostPageModel::Compact() {
    int to = 0;
    for (int from = 0; from < DEVICE_TABLE_SIZE; ++from) {
        if (!g_deviceTable[from].used) continue;
        if (from != to) {
            g_deviceTable[to] = g_deviceTable[from];
            std::memset(&g_deviceTable[from], 0, sizeof(g_deviceTable[from]));
        }
        ++to;
    }
}
