// The device picker end to end against simulated mice: the arrows page
// through four mice, a tile click connects and shows the button page, a
// receiver's link shows on its tile within two scan ticks (only while the
// picker is shown), and the marker file opens the update dialog, which the
// main window's exit closes in order.
#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/main_window/connection.h"
#include "app/main_window/harness_win32.h"
#include "app/pages/host_page_win32.h"
#include "device/device_tables.h"
#include "firmware/fw_update_dlg_win32.h"
#include "firmware/fw_update_session.h"
#include "firmware/ota_protocol.h"
#include "sim/sim_topology.h"
#include "support/message_spy_win32.h"
#include "text/u16_buffer.h"

namespace {

using namespace e2e;

// Only a hang takes this long: the waits below count the picker's scan ticks, not time.
constexpr int kHangMs = 60000;

struct SimMachine {
    std::unique_ptr<SimMouseRig> rig = std::make_unique<SimMouseRig>();
    SimTopology topology{rig->backend};
    std::vector<SimCableMouse> cables;
    std::vector<SimReceiver> receivers;
};

class HostPageTest : public MainWindowFixture {
protected:
    // n mice on their cables.
    void CableMice(int n) {
        for (int i = 0; i < n; ++i) {
            SimMouseIdentity identity;
            m_machine->cables.push_back(m_machine->topology.PlugCableMouse(identity));
        }
        m_machine->rig->mouse = m_machine->cables.front().mouse;
    }
    void UseMachine() { UseRig(std::move(m_machine->rig)); }

    static CHostDlg& Picker(CQuorvelDlg& dlg) { return *dlg.m_pages.DevicePicker(); }
    // Waits until done() holds or the picker's scan has ticked twice in full
    // from now, however long that takes; then done()'s answer. `ticks` keeps
    // the main window's timers.
    static bool WithinTwoScans(CQuorvelDlg& dlg, const MessageSpy& ticks, const std::function<bool()>& done) {
        const HWND picker = Picker(dlg).m_hWnd;
        // The tick under way now may have looked before the change: it does not count.
        const int wholeTicks = ticks.Ticks(picker, TIMER_DEVICE_SCAN) + 3;
        WaitFor([&] { return done() || ticks.Ticks(picker, TIMER_DEVICE_SCAN) >= wholeTicks; }, kHangMs);
        return done();
    }
    static void ClickControl(const CWnd& page, const CWnd& control) {
        ::SendMessageW(page.m_hWnd, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                       reinterpret_cast<LPARAM>(control.m_hWnd));
    }
    // The entries the three tiles show, as the paths of their first connection.
    static std::vector<std::u16string> ShownPaths(CQuorvelDlg& dlg, UiInvoker& ui) {
        std::vector<std::u16string> paths;
        ui.Call([&] {
            CHostDlg& picker = Picker(dlg);
            for (int k = 0; k < HOST_TILE_COUNT; ++k) {
                const DeviceTileView tile = picker.Model().Tile(k, false);
                if (!tile.shown) continue;
                const DeviceEntry& e = g_deviceTable[tile.entry];
                for (int c = 0; c < CONNECTION_COUNT; ++c) {
                    if ((e.pathMask >> c) & 1) {
                        paths.emplace_back(BufferText(e.paths[c]));
                        break;
                    }
                }
            }
        });
        return paths;
    }
    static void ShowPicker(CQuorvelDlg& dlg, UiInvoker& ui) {
        ui.Call([&] {
            dlg.m_prevPage = dlg.m_curPage;
            dlg.m_curPage = PAGE_DEVICE_PICKER;
            dlg.ShowPage(PAGE_DEVICE_PICKER);
        });
    }
    static void ShowButtonPage(CQuorvelDlg& dlg, UiInvoker& ui) {
        ui.Call([&] {
            dlg.m_prevPage = dlg.m_curPage;
            dlg.m_curPage = PAGE_BUTTONS;
            dlg.ShowPage(PAGE_BUTTONS);
        });
    }
    void Shoot(CQuorvelDlg& dlg, UiInvoker& ui, const std::wstring& name) {
        ui.Call([&] { m_shots += SaveScreenshot(*RenderWindow(dlg.m_hWnd), name) ? 1 : 0; });
    }
    int CountReads() const {
        int n = 0;
        for (const SimReport& r : m_rig->backend.Log()) {
            n += r.kind == SimReport::Kind::SetFeature && r.bytes.size() > 1 && r.bytes[0] == 9 &&
                 (r.bytes[1] & 0x80) != 0;
        }
        return n;
    }

    std::unique_ptr<SimMachine> m_machine = std::make_unique<SimMachine>();
    int m_shots = 0;
};

TEST_F(HostPageTest, FourMicePageThroughTheArrowsAndATileConnects) {
    CableMice(4);
    std::vector<std::u16string> cablePaths;
    for (const SimCableMouse& c : m_machine->cables) cablePaths.push_back(c.command->Description().path);
    UseMachine();
    std::vector<std::vector<std::u16string>> pages;
    bool arrowsShown = false, leftAtEnd = false;
    int pageAfterClick = 0, readsForClick = 0, pageAfterSecondClick = 0, readsForSecondClick = -1;
    std::u16string connectedPath;
    RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        ASSERT_TRUE(WaitForMainWindow(dlg));
        ShowPicker(dlg, ui);
        CHostDlg& picker = Picker(dlg);
        ui.Call([&] { arrowsShown = picker.m_rightArrow.IsWindowVisible() && picker.m_leftArrow.IsWindowVisible(); });
        pages.push_back(ShownPaths(dlg, ui));
        ClickControl(picker, picker.m_rightArrow);
        pages.push_back(ShownPaths(dlg, ui));
        ClickControl(picker, picker.m_rightArrow);  // already at the end
        pages.push_back(ShownPaths(dlg, ui));
        ClickControl(picker, picker.m_leftArrow);
        ClickControl(picker, picker.m_leftArrow);
        ui.Call([&] { leftAtEnd = picker.Model().First() == 0; });

        // The second mouse's tile: connected over its cable, then the button page.
        m_rig->backend.ClearLog();
        ClickControl(picker, picker.m_tiles[1]);
        WaitFor([&] { return LoadSyncBusy() == 0 && dlg.m_syncRunning == 0 && ::IsWindowEnabled(dlg.m_hWnd); },
                kHangLimitMs);
        readsForClick = CountReads();
        ui.Call([&] {
            pageAfterClick = dlg.m_curPage;
            connectedPath = g_currentDevicePath;
        });

        // The connected mouse's tile again: back to the page before, nothing read.
        ShowPicker(dlg, ui);
        m_rig->backend.ClearLog();
        ClickControl(picker, picker.m_tiles[1]);
        ui.CallWhenIdle([&] {
            readsForSecondClick = CountReads();
            pageAfterSecondClick = dlg.m_curPage;
        });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(arrowsShown);
    ASSERT_EQ(pages.size(), 3u);
    // The table lists the mice in the order discovery found them; one entry per click.
    ASSERT_EQ(pages[0].size(), 3u);
    ASSERT_EQ(pages[1].size(), 3u);
    EXPECT_EQ(pages[1][0], pages[0][1]);
    EXPECT_EQ(pages[1][1], pages[0][2]);
    EXPECT_NE(pages[1][2], pages[0][0]);
    EXPECT_EQ(pages[2], pages[1]) << "the right arrow stops with the last mouse in the third tile";
    EXPECT_TRUE(leftAtEnd);
    EXPECT_EQ(connectedPath, pages[0][1]);
    EXPECT_GT(readsForClick, 20) << "the read of all settings ran";
    EXPECT_EQ(pageAfterClick, PAGE_BUTTONS);
    EXPECT_EQ(pageAfterSecondClick, PAGE_BUTTONS);
    EXPECT_EQ(readsForSecondClick, 0);
}

TEST_F(HostPageTest, ScreenshotsWithOneThreeAndFourMiceInBothLanguages) {
    struct Language {
        const wchar_t* name;
        Bytes marker;
        uint32_t value;
    };
    const Language languages[] = {{L"en", Bytes{'1'}, 2}, {L"ru", Bytes{'0'}, 1}};
    for (const Language& language : languages) {
        for (int n : {1, 3, 4}) {
            SCOPED_TRACE(testing::Message() << n << " mice");
            TearDown();
            SetUp();
            m_rig.reset();
            m_machine = std::make_unique<SimMachine>();
            if (n == 1) {
                // One mouse by cable and through its receiver.
                m_machine->rig = MakeDemoMouseRig();
            } else {
                CableMice(n - 1);
                SimMouseIdentity identity;
                identity.kind1ReceiverId = 0x00A1B2C3;
                m_machine->receivers.push_back(m_machine->topology.PlugReceiver(
                    1, 0x00A1B2C3, &identity, std::make_shared<SimMouse>(), true));
            }
            UseMachine();
            WriteFileBytes(Path(L"config\\test.ini"), language.marker);
            Bytes value(4);
            std::memcpy(value.data(), &language.value, 4);
            PutRegistryValue(L"Language", value);
            bool arrowsRight = false;
            int shown = 0;
            RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
                ASSERT_TRUE(WaitForMainWindow(dlg));
                ShowPicker(dlg, ui);
                ui.Call([&] {
                    CHostDlg& picker = Picker(dlg);
                    const bool arrows = picker.m_rightArrow.IsWindowVisible() && picker.m_leftArrow.IsWindowVisible();
                    arrowsRight = arrows == (n > 3);
                });
                shown = int(ShownPaths(dlg, ui).size());
                Shoot(dlg, ui, FormatW(L"device_picker_%d_mice_%s", n, language.name));
                ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
            });
            EXPECT_TRUE(arrowsRight);
            EXPECT_EQ(shown, std::min(n, 3));
        }
    }
    EXPECT_EQ(m_shots, 6);
}

TEST_F(HostPageTest, AReceiversLinkShowsOnItsTileOnlyWhileThePickerIsShown) {
    // Mouse A on its cable; mouse B only through its receiver.
    CableMice(1);
    SimMouseIdentity identity;
    identity.kind1ReceiverId = 0x00B0B0B0;
    auto mouseB = std::make_shared<SimMouse>();
    m_machine->receivers.push_back(m_machine->topology.PlugReceiver(1, 0x00B0B0B0, &identity, mouseB, true));
    SimReceiver receiver = m_machine->receivers.front();
    const std::u16string cablePath = m_machine->cables.front().command->Description().path;
    UseMachine();
    auto setLink = [&](bool linked) {
        receiver.command->SetLinkInfo(SimTopology::ReceiverLinkInfo(1, 0x00B0B0B0, &identity, linked));
    };
    auto receiverIcon = [&](CQuorvelDlg& dlg, UiInvoker& ui) {
        std::wstring icon;
        ui.Call([&] {
            CHostDlg& picker = Picker(dlg);
            for (int k = 0; k < HOST_TILE_COUNT; ++k) {
                const std::wstring& path = picker.m_tiles[k].m_iconPaths[1];
                if (!path.empty()) icon = path.substr(path.find_last_of(L'\\') + 1);
            }
        });
        return icon;
    };
    std::wstring linked, unlinked, hiddenAfterFlip, shownAgain;
    bool unlinkedInTime = false, relinkedInTime = false;
    RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            // Connected by cable to A, so that B's receiver is probed, not polled.
            ui.Call([&] {
                for (int i = 0; i < g_deviceCount; ++i) {
                    const DeviceEntry& e = g_deviceTable[i];
                    if (BufferText(e.paths[0]) != cablePath) continue;
                    g_currentDevicePath = cablePath;
                    SwitchConnection(e.reportId, e.reportLength, 0, e.sensorType);
                }
            });
            WaitFor([&] { return LoadSyncBusy() == 0 && ::IsWindowEnabled(dlg.m_hWnd); }, kHangLimitMs);
            ShowPicker(dlg, ui);
            MessageSpy ticks(dlg.m_hWnd, MessageSpy::KeepTimers);
            ASSERT_TRUE(ticks.ok());
            linked = receiverIcon(dlg, ui);
            setLink(false);
            unlinkedInTime = WithinTwoScans(dlg, ticks, [&] { return receiverIcon(dlg, ui) == L"1KHz.png"; });
            unlinked = receiverIcon(dlg, ui);
            setLink(true);
            relinkedInTime = WithinTwoScans(dlg, ticks, [&] { return receiverIcon(dlg, ui) == L"1KHz-ol.png"; });
            Shoot(dlg, ui, L"device_picker_receiver_online");

            // With the button page shown the picker looks at nothing.
            ShowButtonPage(dlg, ui);
            setLink(false);
            WithinTwoScans(dlg, ticks, [] { return false; });
            hiddenAfterFlip = receiverIcon(dlg, ui);
            ShowPicker(dlg, ui);
            WithinTwoScans(dlg, ticks, [&] { return receiverIcon(dlg, ui) == L"1KHz.png"; });
            shownAgain = receiverIcon(dlg, ui);
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        60000);
    EXPECT_EQ(linked, L"1KHz-ol.png");
    EXPECT_TRUE(unlinkedInTime);
    EXPECT_EQ(unlinked, L"1KHz.png");
    EXPECT_TRUE(relinkedInTime);
    EXPECT_EQ(hiddenAfterFlip, L"1KHz-ol.png");
    EXPECT_EQ(shownAgain, L"1KHz.png");
}

TEST_F(HostPageTest, TwoReceiversOfOneMouseMergeIntoOneTile) {
    // Mouse B is paired with two receivers, neither linked when the scan ran:
    // the scan lists them as two entries. Once receiver 1 links, it names its
    // partner, and the tick folds the other entry into its own.
    CableMice(1);
    constexpr uint32_t kIdR1 = 0x00C1C1C1, kIdR2 = 0x00C2C2C2;
    SimMouseIdentity identity;
    identity.kind1ReceiverId = kIdR1;
    identity.kind2ReceiverId = kIdR2;
    auto mouseB = std::make_shared<SimMouse>();
    SimReceiver r1 = m_machine->topology.PlugReceiver(1, kIdR1, nullptr, nullptr, false);
    SimReceiver r2 = m_machine->topology.PlugReceiver(2, kIdR2, nullptr, nullptr, false);
    const std::u16string cablePath = m_machine->cables.front().command->Description().path;
    UseMachine();
    int before = 0, after = 0;
    bool mergedInTime = false;
    std::wstring icons[3];
    RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitForMainWindow(dlg));
            ui.Call([&] {
                g_currentDevicePath = cablePath;
                SwitchConnection(REPORT_ID_MOUSE, 8, 0, 0xE1);
            });
            WaitFor([&] { return LoadSyncBusy() == 0 && ::IsWindowEnabled(dlg.m_hWnd); }, kHangLimitMs);
            ShowPicker(dlg, ui);
            before = int(ShownPaths(dlg, ui).size());
            r1.command->SetMouse(mouseB);
            r1.command->SetDeviceInfo(SimTopology::ReceiverDeviceInfo(1, &identity, true));
            r1.command->SetLinkInfo(SimTopology::ReceiverLinkInfo(1, kIdR1, &identity, true));
            MessageSpy ticks(dlg.m_hWnd, MessageSpy::KeepTimers);
            ASSERT_TRUE(ticks.ok());
            mergedInTime = WithinTwoScans(dlg, ticks, [&] { return ShownPaths(dlg, ui).size() == 2; });
            after = int(ShownPaths(dlg, ui).size());
            ui.Call([&] {
                CHostDlg& picker = Picker(dlg);
                for (int k = 0; k < HOST_TILE_COUNT; ++k) {
                    const auto& paths = picker.m_tiles[k].m_iconPaths;
                    if (paths[1].empty() || paths[2].empty()) continue;
                    for (int c = 0; c < 3; ++c)
                        icons[c] = paths[c].empty() ? L"" : paths[c].substr(paths[c].find_last_of(L'\\') + 1);
                }
            });
            Shoot(dlg, ui, L"device_picker_receivers_merged");
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        40000);
    EXPECT_EQ(before, 3);
    EXPECT_TRUE(mergedInTime);
    EXPECT_EQ(after, 2);
    // One tile with both receivers: the linked one online, the other not.
    EXPECT_EQ(icons[0], L"");
    EXPECT_EQ(icons[1], L"1KHz-ol.png");
    EXPECT_EQ(icons[2], L"8KHz.png");
}

TEST_F(HostPageTest, TheMarkerOpensTheUpdateDialogAndTheExitClosesItInOrder) {
    // A mouse that takes the image: kind 7, model byte 0xF1.
    SimMouseIdentity identity;
    identity.linkType = 2;
    identity.modelByte = 0xF1;
    m_machine->cables.push_back(m_machine->topology.PlugCableMouse(identity));
    m_machine->rig->mouse = m_machine->cables.front().mouse;
    auto ota = m_machine->cables.front().ota;
    UseMachine();
    WriteFileBytes(Path(L"config\\ota.ini"), Bytes{0});
    ::CopyFileW((TestDistDir() + L"config\\test.ini").c_str(), Path(L"config\\test.ini").c_str(), FALSE);
    HWND updateDialog = nullptr;
    bool started = false;
    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            ASSERT_TRUE(WaitFor(
                [&] {
                    updateDialog = FindTopLevelWindow(L"CFWUpdateDlg");
                    return updateDialog && ::IsWindowVisible(updateDialog) && g_fwUpdateDlg;
                },
                kHangLimitMs));
            // Start, then ask the main window to go while the image streams.
            CFWUpdateDlg* dialog = g_fwUpdateDlg;
            ASSERT_NE(dialog, nullptr);
            ::SendMessageW(updateDialog, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED),
                           reinterpret_cast<LPARAM>(dialog->m_startButton.m_hWnd));
            started = WaitFor([&] { return ota->DataPackets() > 20; }, kHangLimitMs);
            ::PostMessageW(dlg.m_hWnd, UWM_QUIT_REQUEST, 0, 0);
        },
        40000);
    EXPECT_TRUE(run.ended) << "the exit went on once the dialog had closed";
    EXPECT_TRUE(started);
    EXPECT_TRUE(ota->EndReceived()) << "the update was ended in order";
    int ends = 0;
    for (const SimReport& r : m_rig->backend.Log()) {
        ends += r.kind == SimReport::Kind::SetFeature && r.bytes.size() > 6 && r.bytes[0] == 3 &&
                r.bytes[6] == OTA_CMD_END;
    }
    EXPECT_EQ(ends, 1);
    EXPECT_FALSE(::IsWindow(updateDialog));
    EXPECT_EQ(g_fwUpdateRunning, 0);
    EXPECT_EQ(g_fwUpdateDlg, nullptr);
}

}  // namespace
