// The device picker's decisions, without its window: which entries of the
// device table the three tiles show and how, what a tile click does, how far
// the arrows move, and what the scan tick learns from the receivers: which of
// their connections are online, and which two entries are one mouse seen
// through both of its receivers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

constexpr int HOST_TILE_COUNT = 3;

struct DeviceTileView {
    bool shown = false;  // false: the tile is cleared
    int entry = -1;      // index into g_deviceTable
    // Image file names in the skin folder; an empty icon leaves its place empty.
    std::u16string picture;
    std::u16string icons[3];
    std::u16string name;
};

// What a tile click does.
struct TileClick {
    enum class Action {
        None,            // the mouse answers over none of its connections
        Connect,         // connect over path `connection` of `entry`
        ReturnToPrevious,  // already connected that way: back to the page shown before
    };
    Action action = Action::None;
    int entry = -1;
    uint8_t connection = 0;
};

// What one receiver probe of the tick told.
struct ReceiverProbe {
    bool answered = false;
    uint8_t linkStatus = 0;  // 1: the mouse is linked to this receiver
    uint32_t id2 = 0;        // the partner identifiers of sub-commands 2 and 4
    uint32_t id4 = 0;
};
using ReceiverProber = std::function<ReceiverProbe(const std::u16string& path)>;

struct ScanTickContext {
    bool pageShown = false;
    bool updateDialogOpen = false;  // g_fwUpdateDlg is set
    bool syncBusy = false;
    bool mainWindow = false;  // the main window is up
    uint8_t receiverLinkState = 0;  // g_receiverLinkState, for the connected path
};

class HostPageModel {
public:
    // At creation and after a device change: count the used entries, first shown 0.
    void Recount();

    uint8_t Count() const { return m_count; }
    int32_t First() const { return m_first; }
    bool ArrowsShown() const { return m_count > HOST_TILE_COUNT; }

    // Tile k. At creation every picture is the "not connected" one and names
    // follow the device kind; later every tile names the mouse alike.
    DeviceTileView Tile(int k, bool atCreation) const;

    // One entry per click; false when the arrow is at its end (or hidden).
    bool MoveLeft();
    bool MoveRight();

    // connectionLive: the main window holds an open connection.
    TileClick Click(int k, bool connectionLive) const;

    // The scan tick: probes the receivers of the entries not online by cable,
    // updates their online bits and merges entries of one mouse. True when the
    // tiles must be redrawn.
    bool Tick(const ScanTickContext& context, const ReceiverProber& probe);

private:
    bool UpdateReceiver(int i, int connection, const ScanTickContext& context,
                        const ReceiverProber& probe, bool& merged);
    void Compact();

    uint8_t m_count = 0;
    int32_t m_first = 0;
};
