// The macro editor inside the real main window against the simulated mouse:
// a macro recorded from real keys is stored, applied to a button (its upload
// and the button's command reach the mouse), and is there again, event for
// event, after the program starts anew.
#include <gtest/gtest.h>

#include "app/main_window/connection.h"
#include "app/main_window/harness_win32.h"
#include "app/pages/macro_set_win32.h"
#include "skin/value_entry_win32.h"
#include "support/input_win32.h"

namespace {

using namespace e2e;

class MacroSetMainWindowTest : public MainWindowFixture {
protected:
    void TearDown() override {
        SetNameEntryHandler({});
        MainWindowFixture::TearDown();
    }
};

CMacroSetDlg* MacroPage(CQuorvelDlg& dlg) {
    return dlg.m_pages.Macro();
}

TEST_F(MacroSetMainWindowTest, ARecordedMacroIsAppliedToAButtonAndFoundAgainAfterARestart) {
    UseRig(MakeDemoMouseRig());
    SetNameEntryHandler([](CWnd*) -> std::optional<std::wstring> { return std::wstring(L"Typed"); });
    constexpr int kButton = 2;  // the middle button: device button 2
    bool connected = false;
    uint32_t id = 0;
    std::vector<MacroEvent> stored;
    int eventRows = 0;
    Run first = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg)) return;
        connected = ConnectMouse(dlg, ui, 0);
        if (!connected) return;
        HWND newButton = nullptr, recordButton = nullptr, applyButton = nullptr;
        ui.Call([&] {
            dlg.ShowPage(PAGE_MACRO);
            if (CMacroSetDlg* page = MacroPage(dlg)) {
                newButton = page->m_newButton.m_hWnd;
                recordButton = page->m_recordButton.m_hWnd;
                applyButton = page->m_applyButton.m_hWnd;
            }
        });
        if (!newButton) return;
        ClickControl(newButton);
        WaitFor([&] {
            int rows = 0;
            ui.Call([&] { rows = MacroPage(dlg)->m_macroList.GetCount(); });
            return rows == 1;
        }, kHangLimitMs);
        ClickControl(recordButton);
        bool recording = WaitFor([&] {
            bool on = false;
            ui.Call([&] { on = MacroPage(dlg)->IsRecording(); });
            return on;
        }, kHangLimitMs);
        if (!recording) return;
        SendKeys({'M', 'N'});
        WaitFor([&] {
            ui.Call([&] { eventRows = MacroPage(dlg)->m_eventList.GetCount(); });
            return eventRows == 7;
        }, kHangLimitMs);
        ClickControl(recordButton);
        WaitFor([&] {
            bool on = true;
            ui.Call([&] { on = MacroPage(dlg)->IsRecording(); });
            return !on;
        }, kHangLimitMs);
        ui.Call([&] {
            CMacroSetDlg* page = MacroPage(dlg);
            id = static_cast<uint32_t>(page->m_macroList.GetItemData(0));
            if (const MacroRecord* record = FindMacroRecord(id))
                stored.assign(record->events, record->events + MacroEventCountOf(*record));
            // The button page would have assigned it so.
            g_settings.buttons[kButton].functionId = FUNC_MACRO;
            g_settings.buttons[kButton].macroId = int32_t(id);
            m_rig->backend.ClearLog();
        });
        ClickControl(applyButton);
        WaitFor([&] { return m_rig->mouse->Settings().buttons[DeviceButtonNumber(kButton)] == MacroButtonCode(2); },
                kHangLimitMs);
    });
    EXPECT_TRUE(first.ended);
    ASSERT_TRUE(connected);
    EXPECT_EQ(eventRows, 7);
    const std::vector<MacroEvent> expected{MakeMacroEvent(MACRO_EVENT_PRESS, 'M'),   MakeMacroEvent(MACRO_EVENT_DELAY, 0),
                                           MakeMacroEvent(MACRO_EVENT_RELEASE, 'M'), MakeMacroEvent(MACRO_EVENT_DELAY, 0),
                                           MakeMacroEvent(MACRO_EVENT_PRESS, 'N'),   MakeMacroEvent(MACRO_EVENT_DELAY, 0),
                                           MakeMacroEvent(MACRO_EVENT_RELEASE, 'N')};
    ASSERT_EQ(stored.size(), expected.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(MacroEventType(stored[i]), MacroEventType(expected[i])) << i;
        if (MacroEventType(stored[i]) != MACRO_EVENT_DELAY) {
            EXPECT_EQ(stored[i], expected[i]) << i;
        }
    }
    // The upload into the button's slot, then the button's command.
    int chunks = 0;
    Bytes lastSet;
    for (const SimReport& r : m_rig->backend.Log()) {
        if (r.kind == SimReport::Kind::Output) ++chunks;
        if (r.kind == SimReport::Kind::SetFeature) lastSet.assign(r.bytes.begin() + 1, r.bytes.begin() + 7);
    }
    EXPECT_EQ(chunks, 10);
    EXPECT_EQ(lastSet, (Bytes{0x06, 0x02, 0x09, 0x00, 0x02, 0x00}));
    EXPECT_EQ(m_rig->mouse->Settings().buttons[2], MacroButtonCode(2));

    // A fresh start reads the store's file: the macro is listed, shown and whole.
    const std::vector<MacroEvent> before = stored;
    std::memset(&g_macroStore, 0, sizeof(g_macroStore));
    std::vector<MacroEvent> shownAgain;
    std::wstring name;
    Run second = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg)) return;
        ui.Call([&] {
            CMacroSetDlg* page = MacroPage(dlg);
            if (!page || page->m_macroList.GetCount() != 1) return;
            name = page->m_macroList.GetText(0);
            for (const MacroEventRow& row : page->EventRows()) {
                uint8_t type = row.type == LIST_ITEM_KEY_DOWN  ? MACRO_EVENT_PRESS
                               : row.type == LIST_ITEM_KEY_UP ? MACRO_EVENT_RELEASE
                                                              : MACRO_EVENT_DELAY;
                shownAgain.push_back(MakeMacroEvent(type, row.value));
            }
        });
    });
    EXPECT_TRUE(second.ended);
    EXPECT_EQ(name, L"Typed");
    EXPECT_EQ(shownAgain, before);
}

}  // namespace
