#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/pages/host_page_model.h"
#include "device/device_tables.h"
#include "text/u16_buffer.h"

namespace {

std::u16string CablePath(int n) {
    return u"\\\\?\\hid#vid_093a&pid_622c&mi_01#cable" + std::u16string(1, char16_t(u'0' + n));
}
std::u16string ReceiverPath(int n) {
    return u"\\\\?\\hid#vid_093a&pid_522c&mi_01#recv" + std::u16string(1, char16_t(u'0' + n));
}

class HostPageModelTest : public ::testing::Test {
protected:
    void SetUp() override { Clear(); }
    void TearDown() override { Clear(); }
    static void Clear() {
        std::memset(g_deviceTable, 0, sizeof(g_deviceTable));
        g_deviceCount = 0;
        g_currentDevicePath.clear();
    }

    // Entry i with its paths (empty: none) and the online bits.
    static DeviceEntry& Put(int i, const std::u16string& p0, const std::u16string& p1,
                            const std::u16string& p2, uint8_t online, uint8_t kind = 7) {
        DeviceEntry& e = g_deviceTable[i];
        std::memset(&e, 0, sizeof(e));
        e.used = 1;
        const std::u16string* paths[] = {&p0, &p1, &p2};
        for (int k = 0; k < CONNECTION_COUNT; ++k) {
            if (paths[k]->empty()) continue;
            CopyToBuffer(e.paths[k], *paths[k]);
            e.pathMask |= uint8_t(1u << k);
        }
        e.onlineMask = online;
        e.deviceKind = kind;
        e.reportId = 9;
        e.reportLength = 8;
        e.sensorType = 0xE1;
        g_deviceCount = std::max(g_deviceCount, i + 1);
        return e;
    }

    // Entries 0..n-1, each a mouse on its cable.
    void PutCableMice(int n) {
        for (int i = 0; i < n; ++i) Put(i, CablePath(i), u"", u"", 1);
        m_model.Recount();
    }

    std::vector<int> ShownEntries() const {
        std::vector<int> entries;
        for (int k = 0; k < HOST_TILE_COUNT; ++k) {
            const DeviceTileView tile = m_model.Tile(k, false);
            if (tile.shown) entries.push_back(tile.entry);
        }
        return entries;
    }

    HostPageModel m_model;
};

TEST_F(HostPageModelTest, TilesShowTheMasksAndTheConnectedMouse) {
    struct Case {
        uint8_t pathMask, onlineMask;
        std::u16string icons[3];
    };
    const Case cases[] = {
        {0b001, 0b001, {u"usb-ol.png", u"", u""}},
        {0b001, 0b000, {u"usb.png", u"", u""}},
        {0b110, 0b010, {u"", u"1KHz-ol.png", u"8KHz.png"}},
        {0b111, 0b100, {u"usb.png", u"1KHz.png", u"8KHz-ol.png"}},
        // An online bit without its path shows nothing.
        {0b010, 0b111, {u"", u"1KHz-ol.png", u""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.pathMask) << "/" << int(c.onlineMask));
        DeviceEntry& e = Put(0, CablePath(0), ReceiverPath(1), ReceiverPath(2), c.onlineMask);
        e.pathMask = c.pathMask;
        m_model.Recount();
        const DeviceTileView tile = m_model.Tile(0, false);
        ASSERT_TRUE(tile.shown);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(tile.icons[k], c.icons[k]) << "icon " << k;
    }

    // The picture tells the connected mouse by any of its paths, compared exactly.
    Put(0, CablePath(0), ReceiverPath(0), u"", 0b011);
    Put(1, CablePath(1), u"", u"", 0b001, 2);
    m_model.Recount();
    const std::map<std::u16string, std::vector<std::u16string>> pictures = {
        {u"", {u"mouse_nr-d.png", u"mouse_nr-d.png"}},
        {ReceiverPath(0), {u"mouse_nr.png", u"mouse_nr-d.png"}},
        {CablePath(1), {u"mouse_nr-d.png", u"mouse_nr.png"}},
        {u"\\\\?\\HID#VID_093A&PID_622C&MI_01#CABLE1", {u"mouse_nr-d.png", u"mouse_nr-d.png"}},
    };
    for (const auto& [current, expected] : pictures) {
        g_currentDevicePath = current;
        EXPECT_EQ(m_model.Tile(0, false).picture, expected[0]);
        EXPECT_EQ(m_model.Tile(1, false).picture, expected[1]);
    }
    // At creation every picture is the other one and the name follows the kind.
    g_currentDevicePath = CablePath(1);
    EXPECT_EQ(m_model.Tile(1, true).picture, u"mouse_nr-d.png");
    EXPECT_EQ(m_model.Tile(1, true).name, u"MOUSE2");
    EXPECT_EQ(m_model.Tile(1, false).name, u"Brantis");
    EXPECT_FALSE(m_model.Tile(2, false).shown) << "beyond the count";
}

TEST_F(HostPageModelTest, NamesAtCreationFollowTheKind) {
    const std::map<uint8_t, std::u16string> names = {
        {1, u"Brantis"}, {7, u"Brantis"}, {2, u"MOUSE2"}, {3, u"MOUSE3"}, {4, u"MOUSE4"}, {5, u""}};
    for (const auto& [kind, name] : names) {
        Put(0, CablePath(0), u"", u"", 1, kind);
        m_model.Recount();
        EXPECT_EQ(m_model.Tile(0, true).name, name) << int(kind);
        EXPECT_EQ(m_model.Tile(0, false).name, u"Brantis");
    }
}

TEST_F(HostPageModelTest, ArrowsMoveOneEntryWithinBounds) {
    for (int n : {1, 3}) {
        SCOPED_TRACE(n);
        Clear();
        PutCableMice(n);
        EXPECT_FALSE(m_model.ArrowsShown());
        EXPECT_FALSE(m_model.MoveRight());
        EXPECT_FALSE(m_model.MoveLeft());
        EXPECT_EQ(m_model.First(), 0);
    }
    Clear();
    PutCableMice(5);
    EXPECT_TRUE(m_model.ArrowsShown());
    EXPECT_FALSE(m_model.MoveLeft());
    EXPECT_TRUE(m_model.MoveRight());
    EXPECT_EQ(ShownEntries(), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(m_model.MoveRight());
    EXPECT_EQ(ShownEntries(), (std::vector<int>{2, 3, 4})) << "the last entry in the third tile";
    EXPECT_FALSE(m_model.MoveRight());
    EXPECT_TRUE(m_model.MoveLeft());
    EXPECT_EQ(m_model.First(), 1);
    // A device change starts again from the first entry.
    m_model.Recount();
    EXPECT_EQ(m_model.First(), 0);
}

TEST_F(HostPageModelTest, AClickTakesTheFirstConnectionThatAnswers) {
    struct Case {
        uint8_t pathMask, onlineMask;
        TileClick::Action action;
        uint8_t connection;
    };
    using A = TileClick::Action;
    const Case cases[] = {
        {0b001, 0b001, A::Connect, 0},
        {0b111, 0b110, A::Connect, 1},
        {0b101, 0b111, A::Connect, 0},
        {0b110, 0b100, A::Connect, 2},
        {0b111, 0b000, A::None, 0},
        {0b010, 0b101, A::None, 0},  // online where it has no path
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << int(c.pathMask) << "/" << int(c.onlineMask));
        DeviceEntry& e = Put(0, CablePath(0), ReceiverPath(1), ReceiverPath(2), c.onlineMask);
        e.pathMask = c.pathMask;
        m_model.Recount();
        const TileClick click = m_model.Click(0, true);
        EXPECT_EQ(click.action, c.action);
        if (c.action == A::Connect) {
            EXPECT_EQ(click.connection, c.connection);
            EXPECT_EQ(click.entry, 0);
        }
    }
    EXPECT_EQ(m_model.Click(1, true).action, A::None) << "an empty tile";

    // The path already connected: back to the page before, unless the
    // connection is not live, which connects again.
    Put(0, CablePath(0), ReceiverPath(1), u"", 0b011);
    m_model.Recount();
    g_currentDevicePath = CablePath(0);
    EXPECT_EQ(m_model.Click(0, true).action, A::ReturnToPrevious);
    EXPECT_EQ(m_model.Click(0, false).action, A::Connect);
    // Connected through the receiver: the cable is another path.
    g_currentDevicePath = ReceiverPath(1);
    EXPECT_EQ(m_model.Click(0, true).action, A::Connect);
}

class HostPageTickTest : public HostPageModelTest {
protected:
    ScanTickContext Shown() const {
        ScanTickContext context;
        context.pageShown = true;
        context.mainWindow = true;
        context.receiverLinkState = 2;
        return context;
    }
    bool Tick(const ScanTickContext& context) {
        return m_model.Tick(context, [this](const std::u16string& path) {
            probed.push_back(path);
            auto it = replies.find(path);
            return it == replies.end() ? ReceiverProbe{} : it->second;
        });
    }

    std::map<std::u16string, ReceiverProbe> replies;
    std::vector<std::u16string> probed;
};

TEST_F(HostPageTickTest, OnlineBitsFollowTheProbes) {
    Put(0, u"", ReceiverPath(1), u"", 0b000);      // the link comes up
    Put(1, u"", u"", ReceiverPath(2), 0b100);      // the link goes
    Put(2, u"", ReceiverPath(3), u"", 0b010);      // no answer: kept as it was
    Put(3, CablePath(4), ReceiverPath(4), u"", 0b001);  // online by cable: not probed
    m_model.Recount();
    replies[ReceiverPath(1)] = {true, 1, 0, 0};
    replies[ReceiverPath(2)] = {true, 0, 0, 0};
    EXPECT_TRUE(Tick(Shown()));
    EXPECT_EQ(probed, (std::vector<std::u16string>{ReceiverPath(1), ReceiverPath(2), ReceiverPath(3)}));
    EXPECT_EQ(g_deviceTable[0].onlineMask, 0b010);
    EXPECT_EQ(g_deviceTable[1].onlineMask, 0b000);
    EXPECT_EQ(g_deviceTable[2].onlineMask, 0b010);
    EXPECT_EQ(g_deviceTable[3].onlineMask, 0b001);

    // A probe that gets no answer changes nothing to redraw.
    Clear();
    Put(0, u"", ReceiverPath(3), u"", 0b010);
    m_model.Recount();
    EXPECT_FALSE(Tick(Shown()));
}

TEST_F(HostPageTickTest, TheConnectedReceiverFollowsTheStatusPoll) {
    Put(0, u"", ReceiverPath(1), u"", 0b000);
    m_model.Recount();
    g_currentDevicePath = ReceiverPath(1);
    struct Step {
        uint8_t linkState;
        bool changed;
        uint8_t online;
    };
    const Step steps[] = {{1, true, 0b010}, {1, false, 0b010}, {2, false, 0b010},
                          {0, true, 0b000}, {0, false, 0b000}};
    for (const Step& s : steps) {
        ScanTickContext context = Shown();
        context.receiverLinkState = s.linkState;
        EXPECT_EQ(Tick(context), s.changed) << int(s.linkState);
        EXPECT_EQ(g_deviceTable[0].onlineMask, s.online);
    }
    EXPECT_TRUE(probed.empty()) << "the connected path is never probed";
}

TEST_F(HostPageTickTest, DoesNothingUnlessShownAndIdle) {
    Put(0, u"", ReceiverPath(1), u"", 0b000);
    m_model.Recount();
    replies[ReceiverPath(1)] = {true, 1, 0, 0};
    ScanTickContext hidden = Shown();
    hidden.pageShown = false;
    ScanTickContext updating = Shown();
    updating.updateDialogOpen = true;
    ScanTickContext syncing = Shown();
    syncing.syncBusy = true;
    ScanTickContext noMainWindow = Shown();
    noMainWindow.mainWindow = false;
    for (const ScanTickContext& c : {hidden, updating, syncing, noMainWindow}) {
        EXPECT_FALSE(Tick(c));
    }
    EXPECT_TRUE(probed.empty());
    EXPECT_EQ(g_deviceTable[0].onlineMask, 0);
    Clear();
    m_model.Recount();
    EXPECT_FALSE(Tick(Shown())) << "no entries";
}

TEST_F(HostPageTickTest, TwoReceiversOfOneMouseMergeIntoOneEntry) {
    // Through receiver 1 the mouse names its 8 kHz partner by sub-command 4,
    // which an entry holding only an 8 kHz receiver carries as its third word.
    struct Case {
        const char* name;
        int probedConnection;  // the receiver whose probe names the partner
    };
    for (const Case& c : {Case{"by the 1 kHz receiver", 1}, Case{"by the 8 kHz receiver", 2}}) {
        SCOPED_TRACE(c.name);
        Clear();
        probed.clear();
        replies.clear();
        Put(0, CablePath(0), u"", u"", 0b001);
        if (c.probedConnection == 1) {
            Put(1, u"", ReceiverPath(1), u"", 0);
        } else {
            Put(1, u"", u"", ReceiverPath(2), 0);
        }
        Put(2, CablePath(3), u"", u"", 0b001);
        DeviceEntry& b = c.probedConnection == 1 ? Put(3, u"", u"", ReceiverPath(2), 0)
                                                 : Put(3, u"", ReceiverPath(1), u"", 0);
        Put(4, CablePath(5), u"", u"", 0b001);
        if (c.probedConnection == 1) {
            b.linkIdC = 0x00C0FFEE;
            replies[ReceiverPath(1)] = {true, 1, 0, 0x00C0FFEE};
            replies[ReceiverPath(2)] = {true, 1, 0, 0};
        } else {
            b.linkIdA = 0x00C0FFEE;
            replies[ReceiverPath(2)] = {true, 1, 0x00C0FFEE, 0};
            replies[ReceiverPath(1)] = {true, 1, 0, 0};
        }
        m_model.Recount();
        ASSERT_TRUE(m_model.MoveRight());
        ASSERT_TRUE(m_model.MoveRight());  // first shown 2 of 5

        EXPECT_TRUE(Tick(Shown()));
        EXPECT_EQ(m_model.Count(), 4);
        EXPECT_EQ(g_deviceCount, 4);
        const DeviceEntry& merged = g_deviceTable[1];
        EXPECT_EQ(merged.pathMask, 0b110);
        EXPECT_EQ(BufferText(merged.paths[1]), ReceiverPath(1));
        EXPECT_EQ(BufferText(merged.paths[2]), ReceiverPath(2));
        // The 1 kHz receiver is looked at first: a partner it names is probed
        // in the same tick, one that the 8 kHz receiver names at the next.
        EXPECT_EQ(merged.onlineMask, c.probedConnection == 1 ? 0b110 : 0b100);
        // The list closed up in its order, with nothing left behind it.
        EXPECT_EQ(BufferText(g_deviceTable[2].paths[0]), CablePath(3));
        EXPECT_EQ(BufferText(g_deviceTable[3].paths[0]), CablePath(5));
        EXPECT_EQ(g_deviceTable[4].used, 0u);
        EXPECT_EQ(g_deviceTable[4].pathMask, 0);
        // Every entry stays reachable: the first shown moved back to the last three.
        EXPECT_EQ(m_model.First(), 1);
        EXPECT_EQ(ShownEntries(), (std::vector<int>{1, 2, 3}));
    }
}

TEST_F(HostPageTickTest, PartnersThatDoNotMatchStayApart) {
    Put(0, u"", ReceiverPath(1), u"", 0);
    DeviceEntry& online = Put(1, CablePath(2), u"", ReceiverPath(2), 0b001);  // online by cable
    DeviceEntry& other = Put(2, u"", u"", ReceiverPath(3), 0);
    online.linkIdC = 0x1234;
    other.linkIdC = 0x9999;
    m_model.Recount();
    for (uint32_t id : {0x1234u, 0u, 0xFFFFFFFFu}) {
        replies[ReceiverPath(1)] = {true, 1, 0, id};
        other.linkIdC = id;  // 0 and all ones name no partner, even when they match
        if (id == 0x1234u) other.linkIdC = 0x9999;
        Tick(Shown());
        EXPECT_EQ(m_model.Count(), 3) << id;
        EXPECT_EQ(g_deviceTable[0].pathMask, 0b010);
    }
}

}  // namespace
