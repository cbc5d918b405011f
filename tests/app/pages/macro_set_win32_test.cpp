// The macro editor page under Wine, on its own under a test window of the
// main window's size: recording real keys, the insert menu, the two lists,
// renames, deletes and applying a macro to the simulated mouse.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <thread>
#include <memory>
#include <string>
#include <vector>

#include "app/pages/macro_set_win32.h"
#include "app/pages/page_test_fixture_win32.h"
#include "device/file_system.h"
#include "device/key_names.h"
#include "device/keyboard_hook.h"
#include "device/profiles.h"
#include "device/usb_driver.h"
#include "device/user_notice.h"
#include "device/user_notice_win32.h"
#include "framework/strings.h"
#include "sim/memory_file_system.h"
#include "skin/skin_messages.h"
#include "skin/value_entry_logic.h"
#include "skin/value_entry_win32.h"
#include "support/connected_sim_mouse.h"
#include "support/input_win32.h"
#include "support/stored_macro.h"
#include "support/top_windows_win32.h"
#include "support/ui_thread_win32.h"
#include "support/window_harness_win32.h"
#include "text/u16_buffer.h"
#include "text/ui_texts.h"

namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kFirst = 0x15000001;
constexpr uint32_t kSecond = 0x15000002;

class Notices final : public UserNoticeSink {
public:
    void Show(std::u16string_view text, std::u16string_view) override { shown.emplace_back(text); }
    std::vector<std::u16string> shown;
};

class MacroPageTest : public PageTestFixture<CMacroSetDlg> {
protected:
    void SetUp() override {
        PageTestFixture::SetUp();
        // The store's file in memory, the skins from the dist folder.
        files.AddFolder(ToU16(TestDistDir()));
        SetFileSystem(&files);
        SetUserNoticeSink(&notices);
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        std::memset(&g_settings, 0, sizeof(g_settings));
        std::memset(g_profileSlots, 0, sizeof(g_profileSlots));
        g_lastHookVk = g_lastHookFlags = 0;
        TakeMacroStoreSaveFailure();
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\enr.xml"));
    }
    void TearDown() override {
        PageTestFixture::TearDown();
        SetValueEntryHandler({});
        SetNameEntryHandler({});
        SetUserNoticeSink(nullptr);
        SetFileSystem(nullptr);
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
    }
    void Refresh() override { page->ReloadMacroList(); }

    static void StoreMacro(int slot, uint32_t id, const char16_t* name, std::vector<MacroEvent> events) {
        PutStoredMacro(slot, id, name, events);
    }

    std::vector<MacroEvent> StoredEvents(uint32_t id) const {
        const MacroRecord* record = FindMacroRecord(id);
        if (!record) return {};
        return std::vector<MacroEvent>(record->events, record->events + MacroEventCountOf(*record));
    }

    static MacroEvent Press(uint32_t vk) { return MakeMacroEvent(MACRO_EVENT_PRESS, vk); }
    static MacroEvent Release(uint32_t vk) { return MakeMacroEvent(MACRO_EVENT_RELEASE, vk); }
    static MacroEvent Delay(uint32_t ms) { return MakeMacroEvent(MACRO_EVENT_DELAY, ms); }

    // Real keys typed into the recording; true once the page shows the last
    // one's release as its last row, however long the machine took.
    bool TypeIntoRecording(std::initializer_list<WORD> keys) {
        SendKeys(keys);
        const MacroEventRow last = MacroKeyRow(LIST_ITEM_KEY_UP, *(keys.end() - 1));
        return PumpUntil([&] {
            MacroRows rows = page->EventRows();
            return !rows.empty() && rows.back() == last;
        });
    }

    MemoryFileSystem files;
    Notices notices;
};

TEST_F(MacroPageTest, TheStoresMacrosAreListedAndTheLastIsShown) {
    StoreMacro(0, kFirst, u"First", {Press('A'), Delay(120), Release('A')});
    StoreMacro(3, 0x22000001, u"Foreign", {Press('C')});  // not a macro made here
    StoreMacro(5, kSecond, u"Second", {Press('B'), Release('B')});
    OpenPage();
    ASSERT_EQ(page->m_macroList.GetCount(), 2);
    EXPECT_EQ(page->m_macroList.GetText(0), L"First");
    EXPECT_EQ(page->m_macroList.GetCurSel(), 1);
    EXPECT_EQ(page->SelectedMacroIndex(), 1);
    MacroRows rows = page->EventRows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].type, LIST_ITEM_KEY_DOWN);
    EXPECT_EQ(rows[1].type, LIST_ITEM_KEY_UP);
    EXPECT_TRUE(page->m_repeatRadios[2].m_checked);
    EXPECT_TRUE(page->m_countEdit.IsWindowEnabled());

    // The keyboard moves the selection: the page shows the macro now selected,
    // whatever lies under the cursor.
    page->m_macroList.SetFocus();
    page->m_macroList.SendMessage(WM_KEYDOWN, VK_UP, 0);
    PumpMessages();
    EXPECT_EQ(page->SelectedMacroIndex(), 0);
    EXPECT_EQ(page->EventRows().size(), 3u);
    EXPECT_EQ(page->EventRows()[1].text, u"120  ms");
}

TEST_F(MacroPageTest, RecordingRealKeysStoresThemWithTheirDelays) {
    StoreMacro(0, kFirst, u"First", {Press('Z')});
    OpenPage();
    Click(page->m_recordButton);
    ASSERT_TRUE(page->IsRecording());
    EXPECT_TRUE(IsCapturingKeyboard(reinterpret_cast<WindowHandle>(page->m_hWnd)));
    EXPECT_FALSE(page->m_newButton.IsWindowEnabled());
    EXPECT_FALSE(page->m_insertButton.IsWindowEnabled());
    EXPECT_EQ(page->m_recordButton.m_text, ToWide(g_uiTexts[UiText::str_macro_end]));
    EXPECT_EQ(page->m_eventList.GetCount(), 0);

    ASSERT_TRUE(TypeIntoRecording({'Q', 'W'}));
    Click(page->m_recordButton);
    EXPECT_FALSE(page->IsRecording());
    EXPECT_FALSE(IsCapturingKeyboard(reinterpret_cast<WindowHandle>(page->m_hWnd)));
    EXPECT_TRUE(page->m_newButton.IsWindowEnabled());
    EXPECT_EQ(page->m_recordButton.m_text, ToWide(g_uiTexts[UiText::str_macro_start]));

    // Q down, Q up, W down, W up with a delay before each but the first; the
    // simulated clock stands still, so every delay is 0.
    EXPECT_EQ(StoredEvents(kFirst),
              (std::vector<MacroEvent>{Press('Q'), Delay(0), Release('Q'), Delay(0), Press('W'), Delay(0), Release('W')}));
}

TEST_F(MacroPageTest, AFixedDelayGoesBeforeEveryKeyAndTheLeadingOneIsNotStored) {
    StoreMacro(0, kFirst, u"First", {Press('Z')});
    OpenPage();
    Click(page->m_autoDelayBox);
    EXPECT_FALSE(page->m_autoDelayBox.m_checked);
    EXPECT_TRUE(page->m_fixedDelayEdit.IsWindowEnabled());
    page->m_fixedDelayEdit.SetWindowText(L"25");
    Click(page->m_recordButton);
    ASSERT_TRUE(TypeIntoRecording({'A'}));
    page->StopRecording();  // as the main window does on a page switch
    MacroRows rows = page->EventRows();
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0].value, 25u);
    EXPECT_EQ(StoredEvents(kFirst), (std::vector<MacroEvent>{Press('A'), Delay(25), Release('A')}));
}

TEST_F(MacroPageTest, HidingThePageEndsTheRecordingAndTheCapture) {
    StoreMacro(0, kFirst, u"First", {Press('Z')});
    OpenPage();
    Click(page->m_recordButton);
    ASSERT_TRUE(page->IsRecording());
    ASSERT_TRUE(TypeIntoRecording({'K'}));
    page->ShowWindow(SW_HIDE);
    PumpMessages();
    EXPECT_FALSE(page->IsRecording());
    EXPECT_EQ(g_keyboardHook, 0u);
    EXPECT_EQ(StoredEvents(kFirst), (std::vector<MacroEvent>{Press('K'), Delay(0), Release('K')}));
}

TEST_F(MacroPageTest, AKeyBoxOpenedDuringARecordingHandsTheKeyboardBack) {
    StoreMacro(0, kFirst, u"First", {Press('Z')});
    OpenPage();
    Click(page->m_recordButton);
    ASSERT_TRUE(TypeIntoRecording({'A'}));
    ASSERT_EQ(page->m_eventList.GetCount(), 3);
    // A double click on the press row opens the real key box over the
    // recording; its key goes to the box, not into the recording.
    std::atomic<bool> done{false};
    bool answered = false;
    std::thread driver([&] {
        HWND entry = WaitForTopLevelWindow(L"QuorvelMacroModifyDlg", nullptr, kHangLimitMs);
        if (entry) {
            SendKeys({'B'});
            // OK once the box shows the key it took.
            const std::wstring name = ToWide(VirtualKeyName('B'));
            HWND edit = ::GetDlgItem(entry, VALUE_ENTRY_EDIT_ID);
            WaitFor([&] { return WindowTitle(edit) == name; }, kHangLimitMs);
            answered = ClickControl(::ChildWindowFromPoint(entry, POINT{40, 170}));
        }
        done = true;
    });
    RECT r = page->m_eventList.GetItemRect(0);
    POINT at{r.left + 40, (r.top + r.bottom) / 2};
    POINT screen = at;
    page->m_eventList.ClientToScreen(&screen);
    ::SetCursorPos(screen.x, screen.y);
    PostMouse(page->m_eventList, WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
    PostMouse(page->m_eventList, WM_LBUTTONUP, at.x, at.y, 0);
    PostMouse(page->m_eventList, WM_LBUTTONDBLCLK, at.x, at.y, MK_LBUTTON);
    PostMouse(page->m_eventList, WM_LBUTTONUP, at.x, at.y, 0);
    PumpUntil([&] { return done.load(); });
    driver.join();
    PumpMessages();
    ASSERT_TRUE(answered);
    ASSERT_EQ(page->m_eventList.GetCount(), 3);
    EXPECT_EQ(page->EventRows()[0], MacroKeyRow(LIST_ITEM_KEY_DOWN, 'B'));
    // The recording has the keyboard again.
    EXPECT_TRUE(page->IsRecording());
    ASSERT_TRUE(TypeIntoRecording({'C'}));
    EXPECT_EQ(page->m_eventList.GetCount(), 7);
    page->StopRecording();
    EXPECT_EQ(g_keyboardHook, 0u);
    EXPECT_EQ(StoredEvents(kFirst).front(), Press('B'));
    EXPECT_EQ(StoredEvents(kFirst).back(), Release('C'));
}

// The shown system message boxes of this process that say text.
std::vector<HWND> MessageBoxesSaying(const std::wstring& text) {
    std::vector<HWND> boxes;
    for (HWND hwnd : TopLevelWindows()) {
        HWND label = ::GetDlgItem(hwnd, 0xFFFF);
        if (label && ::IsWindowVisible(hwnd) && WindowTitle(label) == text) boxes.push_back(hwnd);
    }
    return boxes;
}

// The recording counts key events: a press and a release are one each. Real
// keys, 75 events: the 71st ends the recording as the record button does
// (saved, keyboard let go, the button's start look back) and the limit's box
// shows once; the rest do not open another, and Enter closes it.
TEST_F(MacroPageTest, AFullRecordingEndsBeforeItsOneBoxShows) {
    StoreMacro(0, kFirst, u"First", {Press('Z')});
    OpenPage();
    MessageBoxNotice boxes;  // the program's own: real boxes without an owner
    SetUserNoticeSink(&boxes);
    UiInvoker ui;
    ASSERT_TRUE(ui.Create());
    Click(page->m_recordButton);
    ASSERT_TRUE(page->IsRecording());
    const std::wstring limitText = ToWide(g_uiTexts[UiText::str_msg4]);
    // None of them is a key the box acts on.
    const WORD letters[] = {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'L', 'M'};
    constexpr int kEvents = 75;
    const WORD heldAtEnd = letters[(kEvents - 1) / 2 % std::size(letters)];
    int boxesAfterKeys = -1;
    bool closedByEnter = false;
    std::atomic<bool> done{false};
    std::thread driver([&] {
        for (int i = 0; i < kEvents; ++i) {
            INPUT input{};
            input.type = INPUT_KEYBOARD;
            input.ki.wVk = letters[i / 2 % std::size(letters)];
            input.ki.dwFlags = i % 2 ? KEYEVENTF_KEYUP : 0;
            ::SendInput(1, &input, sizeof(INPUT));
        }
        // Once the page's thread has nothing of those keys left waiting, nor
        // anything their handling posted, every one of them has been handled.
        std::vector<HWND> shown;
        ui.CallWhenIdle([&] {
            shown = MessageBoxesSaying(limitText);
            // For people to look at: the page back at its start look.
            SaveScreenshot(*RenderWindow(parent.m_hWnd), L"macro_key_limit_page");
        });
        boxesAfterKeys = static_cast<int>(shown.size());
        if (boxesAfterKeys == 1) {
            SendKey(VK_RETURN);
            closedByEnter = WaitFor([&] { return !::IsWindow(shown[0]); }, kHangLimitMs);
        }
        // The key still held goes up before any box left open is closed: a
        // recording that still held the keyboard would open one more for it.
        INPUT release{};
        release.type = INPUT_KEYBOARD;
        release.ki.wVk = heldAtEnd;
        release.ki.dwFlags = KEYEVENTF_KEYUP;
        ::SendInput(1, &release, sizeof(INPUT));
        ui.Call([] {});
        // Boxes left open (a pile of them) are closed as the mouse would.
        WaitFor([&] {
            std::vector<HWND> open = MessageBoxesSaying(limitText);
            for (HWND box : open) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
            return open.empty();
        }, kHangLimitMs);
        done = true;
    });
    while (!done) PumpMessages(20);
    driver.join();
    const bool recordingAfter = page->IsRecording();
    page->StopRecording();  // a recording the fault left running lets go here
    SetUserNoticeSink(&notices);
    ui.DestroyWindow();

    EXPECT_EQ(boxesAfterKeys, 1);
    EXPECT_TRUE(closedByEnter);
    EXPECT_FALSE(recordingAfter);
    EXPECT_EQ(g_keyboardHook, 0u) << "a hook was left installed";
    EXPECT_TRUE(page->m_newButton.IsWindowEnabled());
    EXPECT_EQ(page->m_recordButton.m_text, ToWide(g_uiTexts[UiText::str_macro_start]));
    EXPECT_NE(page->m_recordButton.m_pathNormal.find(L"record_play_nr.png"), std::wstring::npos);
    // The first 70 events, each after a delay but the first.
    const std::vector<MacroEvent> stored = StoredEvents(kFirst);
    std::vector<MacroEvent> keys;
    for (MacroEvent e : stored)
        if (MacroEventType(e) != MACRO_EVENT_DELAY) keys.push_back(e);
    ASSERT_EQ(keys.size(), 70u);
    EXPECT_EQ(stored.size(), 139u);
    for (size_t i = 0; i < keys.size(); ++i) {
        const uint32_t vk = letters[i / 2 % std::size(letters)];
        EXPECT_EQ(keys[i], i % 2 ? Release(vk) : Press(vk)) << i;
    }
}

TEST_F(MacroPageTest, HoverTipsGoToTheMainWindow) {
    StoreMacro(0, kFirst, u"First", {Press('A')});
    OpenPage();
    struct Case {
        POINT at;
        int tip;
    };
    const Case cases[] = {
        {{50, 380}, 0x21},  {{170, 380}, 0x22}, {{440, 380}, 0x24}, {{520, 380}, 0x25},
        {{700, 380}, 0x26}, {{770, 190}, 0x28}, {{609, 110}, 0x28},  // a radio's rectangle grown by a pixel
    };
    for (const Case& c : cases) {
        host.tips.clear();
        page->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(c.at.x, c.at.y));
        PumpMessages();
        EXPECT_EQ(host.tips, std::vector<int>{c.tip}) << c.at.x << "," << c.at.y;
    }
    host.tips.clear();
    page->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(300, 20));  // over no control
    PumpMessages();
    EXPECT_TRUE(host.tips.empty());
}

TEST_F(MacroPageTest, TheInsertMenusRowsGoAfterTheSelectionAndAreSaved) {
    StoreMacro(0, kFirst, u"First", {Press('A'), Release('A')});
    OpenPage();
    page->m_eventList.SetCurSel(-1);
    page->SendMessage(WM_COMMAND, MAKEWPARAM(0xE092, 0), 0);  // left click, nothing selected: at the top
    EXPECT_EQ(StoredEvents(kFirst),
              (std::vector<MacroEvent>{Press(1), Delay(50), Release(1), Press('A'), Release('A')}));
    EXPECT_EQ(page->EventRows()[1].text, u"50 ms");

    // A delay after a delay row replaces it; the store follows.
    SetValueEntryHandler([](CWnd*, int mode) -> std::optional<uint32_t> {
        return mode == VALUE_ENTRY_DELAY ? std::optional<uint32_t>(300) : std::optional<uint32_t>('B');
    });
    page->m_eventList.SetCurSel(0);
    page->SendMessage(WM_COMMAND, MAKEWPARAM(0xE091, 0), 0);
    EXPECT_EQ(StoredEvents(kFirst)[1], Delay(300));
    // A key after the last row.
    page->m_eventList.SetCurSel(4);
    page->SendMessage(WM_COMMAND, MAKEWPARAM(0xE090, 0), 0);
    EXPECT_EQ(StoredEvents(kFirst).size(), 8u);
    EXPECT_EQ(StoredEvents(kFirst)[5], Press('B'));
    EXPECT_EQ(page->m_eventList.GetCurSel(), 7);
}

TEST_F(MacroPageTest, NoMacroGrowsBeyondAThousandEvents) {
    std::vector<MacroEvent> events(MACRO_MAX_EVENTS - 2, Delay(1));
    events[0] = Press('A');
    StoreMacro(0, kFirst, u"Long", events);
    OpenPage();
    ASSERT_EQ(page->m_eventList.GetCount(), int(MACRO_MAX_EVENTS - 2));
    page->SendMessage(WM_COMMAND, MAKEWPARAM(0xE092, 0), 0);
    EXPECT_EQ(page->m_eventList.GetCount(), int(MACRO_MAX_EVENTS - 2));
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(StoredEvents(kFirst).size(), MACRO_MAX_EVENTS - 2);
}

TEST_F(MacroPageTest, ModifyAndDeleteEditTheSelectedRow) {
    StoreMacro(0, kFirst, u"First", {Press('A'), Delay(40), Release('A')});
    OpenPage();
    SetValueEntryHandler([](CWnd*, int mode) -> std::optional<uint32_t> {
        return mode == VALUE_ENTRY_DELAY ? 700u : uint32_t('C');
    });
    page->m_eventList.SetCurSel(1);
    Click(page->m_modifyButton);
    EXPECT_EQ(page->EventRows()[1].text, u"700 ms");
    EXPECT_EQ(StoredEvents(kFirst)[1], Delay(700));
    page->m_eventList.SetCurSel(2);
    Click(page->m_modifyButton);
    EXPECT_EQ(StoredEvents(kFirst)[2], Release('C'));

    page->m_eventList.SetCurSel(1);
    Click(page->m_deleteEventButton);
    EXPECT_EQ(StoredEvents(kFirst), (std::vector<MacroEvent>{Press('A'), Release('C')}));
    // Deleting the last rows leaves the stored macro as it was.
    for (int i = 0; i < 2; ++i) {
        page->m_eventList.SetCurSel(0);
        Click(page->m_deleteEventButton);
    }
    EXPECT_EQ(page->m_eventList.GetCount(), 0);
    EXPECT_EQ(StoredEvents(kFirst), (std::vector<MacroEvent>{Release('C')}));
}

TEST_F(MacroPageTest, NewMacrosGetAFreshIdAndAreStoredWithTheirFirstEvents) {
    OpenPage();
    SetNameEntryHandler([](CWnd*) -> std::optional<std::wstring> { return std::wstring(); });
    Click(page->m_newButton);
    ASSERT_EQ(page->m_macroList.GetCount(), 1);
    EXPECT_EQ(page->m_macroList.GetText(0), L"New Macro");
    const auto id = static_cast<uint32_t>(page->m_macroList.GetItemData(0));
    EXPECT_EQ(id >> 24, 0x15u);
    EXPECT_EQ(page->SelectedMacroIndex(), 0);
    EXPECT_EQ(FindMacroRecord(id), nullptr);  // nothing stored yet
    page->SendMessage(WM_COMMAND, MAKEWPARAM(0xE094, 0), 0);  // a middle click
    EXPECT_EQ(StoredEvents(id), (std::vector<MacroEvent>{Press(4), Delay(50), Release(4)}));
    EXPECT_EQ(MacroNameOf(*FindMacroRecord(id)), u"New Macro");
}

TEST_F(MacroPageTest, AnAppliedMacroIsNotDeletedAndNothingIsSavedOverIt) {
    StoreMacro(0, kFirst, u"First", {Press('A')});
    StoreMacro(1, kSecond, u"Second", {Press('B'), Release('B')});
    g_profileSlots[2].appliedMacroIds[4] = int32_t(kSecond);
    OpenPage();
    Click(page->m_deleteButton);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0], u"The macro is being applied and cannot be deleted!");
    EXPECT_NE(FindMacroRecord(kSecond), nullptr);
    EXPECT_EQ(page->m_macroList.GetCount(), 2);
    EXPECT_EQ(page->m_eventList.GetCount(), 0);
    // Its events are no longer shown: an insert now must not replace them.
    page->SendMessage(WM_COMMAND, MAKEWPARAM(0xE092, 0), 0);
    EXPECT_EQ(StoredEvents(kSecond), (std::vector<MacroEvent>{Press('B'), Release('B')}));

    // The other one goes, from the store and the list.
    page->m_macroList.SetCurSel(0);
    page->SendMessage(UWM_LIST_SELCHANGE, MACRO_LIST_ID, 0);
    Click(page->m_deleteButton);
    EXPECT_EQ(FindMacroRecord(kFirst), nullptr);
    ASSERT_EQ(page->m_macroList.GetCount(), 1);
    EXPECT_EQ(page->m_macroList.GetText(0), L"Second");
    EXPECT_EQ(page->SelectedMacroIndex(), -1);
    // Clicking the row that moved up shows it.
    page->m_macroList.SetCurSel(0);
    page->SendMessage(UWM_LIST_SELCHANGE, MACRO_LIST_ID, 0);
    EXPECT_EQ(page->SelectedMacroIndex(), 0);
    EXPECT_EQ(page->m_eventList.GetCount(), 2);
}

// The store keeps each change, but a file that missed one loses it at the next
// start: the user is told, once for each change.
TEST_F(MacroPageTest, AChangeTheStoreFileMissedIsTold) {
    StoreMacro(0, kFirst, u"First", {Press('A'), Release('A')});
    StoreMacro(1, kSecond, u"Second", {Press('B'), Release('B')});
    OpenPage();
    files.SetFreeSpace(100);  // a full disk
    page->m_eventList.SetCurSel(0);
    Click(page->m_deleteEventButton);
    Click(page->m_deleteButton);
    const std::u16string told = u"The macros could not be saved to " + MacroStorePath() + u".";
    EXPECT_EQ(notices.shown, (std::vector<std::u16string>{told, told}));
    EXPECT_FALSE(files.FileExists(MacroStorePath())) << "no piece of a store to load at the next start";

    files.SetFreeSpace(std::nullopt);
    page->m_macroList.SetCurSel(0);
    page->SendMessage(UWM_LIST_SELCHANGE, MACRO_LIST_ID, 0);
    page->m_eventList.SetCurSel(0);
    Click(page->m_deleteEventButton);
    EXPECT_EQ(notices.shown.size(), 2u);
    EXPECT_EQ(files.GetFile(MacroStorePath())->size(), sizeof(MacroStore));
    EXPECT_EQ(FindMacroRecord(kSecond), nullptr);
    EXPECT_EQ(StoredEvents(kFirst), (std::vector<MacroEvent>{Release('A')}));
}

TEST_F(MacroPageTest, ARenameReachesTheStoreAndTheButtonsName) {
    StoreMacro(0, kFirst, u"First", {Press('A')});
    g_settings.buttons[1].functionId = FUNC_MACRO;
    g_settings.buttons[1].macroId = int32_t(kFirst);
    OpenPage();
    SetNameEntryHandler([](CWnd*) -> std::optional<std::wstring> { return std::wstring(L"Renamed"); });
    // The list's own double click, with the cursor over the row.
    RECT r = page->m_macroList.GetItemRect(0);
    POINT screen{r.left + 20, (r.top + r.bottom) / 2};
    page->m_macroList.ClientToScreen(&screen);
    ::SetCursorPos(screen.x, screen.y);
    POINT at{r.left + 20, (r.top + r.bottom) / 2};
    PostMouse(page->m_macroList, WM_LBUTTONDOWN, at.x, at.y, MK_LBUTTON);
    PostMouse(page->m_macroList, WM_LBUTTONUP, at.x, at.y, 0);
    PostMouse(page->m_macroList, WM_LBUTTONDBLCLK, at.x, at.y, MK_LBUTTON);
    PostMouse(page->m_macroList, WM_LBUTTONUP, at.x, at.y, 0);
    PumpMessages(50);
    EXPECT_EQ(page->m_macroList.GetText(0), L"Renamed");
    EXPECT_EQ(MacroNameOf(*FindMacroRecord(kFirst)), u"Renamed");
    EXPECT_EQ(std::u16string(g_settings.buttons[1].displayName), u"Macro:Renamed");
}

TEST_F(MacroPageTest, ApplyUploadsToTheButtonsThatPlayTheMacro) {
    StoreMacro(0, kFirst, u"First", {Press('A'), Delay(30), Release('A')});
    g_settings.buttons[1].functionId = FUNC_MACRO;
    g_settings.buttons[1].macroId = int32_t(kFirst);
    OpenPage();
    Click(page->m_repeatRadios[1]);
    EXPECT_FALSE(page->m_countEdit.IsWindowEnabled());
    // The upload runs on the page's thread for about a second: the window is
    // painted as it stands before it, and the wait cursor shows throughout.
    const HCURSOR wait = ::LoadCursorW(nullptr, IDC_WAIT);
    int headers = 0, underWait = 0;
    bool paintedAtFirst = false;
    sim.backend.WatchReports([&](const SimReport& r) {
        if (r.kind != SimReport::Kind::SetFeature || r.bytes.size() < 2 || r.bytes[1] != CMD_WRITE_MACRO_CHUNK) return;
        if (headers++ == 0) paintedAtFirst = !WaitsForPaint(parent.m_hWnd);
        if (::GetCursor() == wait) ++underWait;
    });
    const HCURSOR before = ::GetCursor();
    Click(page->m_applyButton);
    sim.backend.WatchReports(nullptr);
    EXPECT_TRUE(paintedAtFirst);
    EXPECT_EQ(underWait, 10);
    EXPECT_EQ(::GetCursor(), before);
    EXPECT_EQ(FindMacroRecord(kFirst)->repeatMode, 1u);
    int chunks = 0;
    for (const SimReport& r : sim.backend.Log()) chunks += r.kind == SimReport::Kind::Output;
    EXPECT_EQ(chunks, 10);
    std::vector<Bytes> commands = sim.SetCommands();
    ASSERT_FALSE(commands.empty());
    EXPECT_EQ(Bytes(commands.back().begin(), commands.back().begin() + 6), (Bytes{0x06, 0x01, 0x09, 0x00, 0x01, 0x00}));
    EXPECT_EQ(sim.mouse->Settings().buttons[1], 0x00010009u);
}

TEST_F(MacroPageTest, TheCountFieldIsKeptWithinItsRange) {
    StoreMacro(0, kFirst, u"First", {Press('A'), Release('A')});
    OpenPage();
    struct Case {
        const wchar_t* typed;
        const wchar_t* after;
        uint32_t stored;
    };
    const Case cases[] = {{L"0", L"1", 1}, {L"", L"1", 1}, {L"70000", L"65534", 0xFFFD}, {L"12", L"12", 12}};
    for (const Case& c : cases) {
        page->m_countEdit.SetWindowText(c.typed);  // each change saves
        page->SendMessage(WM_TIMER, TIMER_REPEAT_COUNT_CHECK, 0);
        EXPECT_EQ(page->m_countEdit.GetWindowText(), c.after);
        EXPECT_EQ(FindMacroRecord(kFirst)->repeatCount, c.stored) << c.typed;
    }
}

// What the timer saw while the insert menu was up: the page with the menu
// over it.
HWND g_menuPage = nullptr;
std::unique_ptr<Dib32> g_menuShot;

HWND FindMenuWindow() {
    for (HWND hwnd : TopLevelWindows())
        if (WindowClassName(hwnd) == L"#32768" && ::IsWindowVisible(hwnd)) return hwnd;
    return nullptr;
}

void CALLBACK ShootMenuAndEnd(HWND, UINT, UINT_PTR id, DWORD) {
    HWND menu = FindMenuWindow();
    if (!menu) return;  // not up yet: the next tick
    ::KillTimer(nullptr, id);
    g_menuShot = RenderWindow(g_menuPage);
    std::unique_ptr<Dib32> rows = CaptureTopLevelWindow(menu);
    POINT at{0, 0};
    ::ClientToScreen(g_menuPage, &at);
    RECT r{};
    ::GetWindowRect(menu, &r);
    ::BitBlt(g_menuShot->dc(), r.left - at.x, r.top - at.y, rows->width(), rows->height(), rows->dc(), 0, 0, SRCCOPY);
    ::EndMenu();
}

TEST_F(MacroPageTest, TheInsertButtonOpensTheMenuAboveIt) {
    StoreMacro(0, kFirst, u"First", {Press('A'), Delay(50), Release('A')});
    for (const wchar_t* language : {L"enr", L"rus"}) {
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + language + L".xml"));
        OpenPage();
        g_menuPage = page->m_hWnd;
        g_menuShot.reset();
        ::SetTimer(nullptr, 0, 50, ShootMenuAndEnd);
        Click(page->m_insertButton);
        ASSERT_TRUE(PumpUntil([] { return g_menuShot != nullptr; })) << "the menu did not open";
        EXPECT_TRUE(SaveScreenshot(*g_menuShot, std::wstring(L"macro_page_insert_menu_") + language));
        EXPECT_EQ(page->m_eventList.GetCount(), 3);  // closed without a choice: nothing inserted
        page->DestroyWindow();
        page.reset();
    }
}

TEST_F(MacroPageTest, Screenshots) {
    std::vector<MacroEvent> events;
    for (int i = 0; i < 40; ++i) {
        events.push_back(Press('A' + i % 26));
        events.push_back(Delay(20 + i));
        events.push_back(Release('A' + i % 26));
    }
    StoreMacro(0, kFirst, u"Short", {Press('A'), Release('A')});
    StoreMacro(1, kSecond, u"Long macro", events);
    for (const wchar_t* language : {L"enr", L"rus"}) {
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + language + L".xml"));
        OpenPage();
        page->UpdateTexts();
        page->m_eventList.SetCurSel(4);
        PumpMessages(50);
        ASSERT_TRUE(SaveScreenshot(*RenderWindow(page->m_hWnd), std::wstring(L"macro_page_long_") + language));

        page->m_macroList.SetCurSel(0);
        page->SendMessage(UWM_LIST_SELCHANGE, MACRO_LIST_ID, 0);
        Click(page->m_recordButton);
        ASSERT_TRUE(TypeIntoRecording({'R'}));
        ASSERT_TRUE(SaveScreenshot(*RenderWindow(page->m_hWnd), std::wstring(L"macro_page_recording_") + language));
        page->StopRecording();
        page->DestroyWindow();
        page.reset();
    }
}

}  // namespace
