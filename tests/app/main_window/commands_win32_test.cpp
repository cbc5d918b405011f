// The main window's profile commands end to end against the simulated mouse:
// export and import through the file dialogs, a refused file, the reset, and
// the language and profile popups.
#include <gtest/gtest.h>

#include <mutex>

#include "app/file_dialogs_win32.h"
#include "app/main_window/harness_win32.h"

namespace {

using namespace e2e;

Bytes BytesOfSettings() {
    const auto* p = reinterpret_cast<const uint8_t*>(&g_settings);
    return Bytes(p, p + sizeof(g_settings));
}

class MainWindowCommandsTest : public MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        SetFileDialogHandler(
            [this](const FileDialogRequest& request) -> std::optional<std::wstring> {
                std::lock_guard<std::mutex> lock(m_mutex);
                m_requests.push_back(request);
                return m_nextFile;
            });
    }
    void TearDown() override {
        SetFileDialogHandler(nullptr);
        MainWindowFixture::TearDown();
    }
    // The name the next file dialog gives back; nothing: the user cancels.
    void NextFile(std::optional<std::wstring> path) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_nextFile = std::move(path);
    }
    std::vector<FileDialogRequest> Requests() {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }

    // The "Info" box with exactly this text, answered; false when none came.
    static bool AnswerBox(const std::wstring& text, int milliseconds = kHangLimitMs) {
        HWND box = nullptr;
        if (!WaitFor([&] { return (box = FindMessageBox(text.c_str())) != nullptr; }, milliseconds))
            return false;
        const bool info = WindowTitle(box) == L"Info";
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        WaitFor([&] { return !::IsWindow(box); }, kHangLimitMs);
        return info;
    }
    static void Click(CQuorvelDlg& dlg, const CWnd& button) {
        ::PostMessageW(dlg.m_hWnd, WM_COMMAND, BN_CLICKED << 16,
                       reinterpret_cast<LPARAM>(button.m_hWnd));
    }
    int CountSets() const {
        int n = 0;
        for (const SimReport& r : m_rig->backend.Log())
            if (r.kind == SimReport::Kind::SetFeature && r.bytes.size() > 1 && r.bytes[0] == 9 &&
                r.bytes[1] < 0x80)
                ++n;
        return n;
    }

    std::mutex m_mutex;
    std::optional<std::wstring> m_nextFile;
    std::vector<FileDialogRequest> m_requests;
};

TEST_F(MainWindowCommandsTest, ExportThenImportRoundTripsAndWritesTheMouse) {
    UseRig(MakeDemoMouseRig());
    const std::wstring file = Path(L"mine.ini");
    bool connected = false, exported = false, imported = false;
    Bytes settingsAtExport;
    SettingsImage afterImport{};
    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            if (!WaitForMainWindow(dlg)) return;
            connected = ConnectMouse(dlg, ui, 0);
            ui.Call([&] { settingsAtExport = BytesOfSettings(); });
            NextFile(file);
            Click(dlg, dlg.m_btnExport);
            exported = AnswerBox(file + L" export success!");

            // The user changes things, on the page and on the mouse; the import brings the file
            // back.
            ui.Call([&] { g_settings.reportRateCode = 3; });
            SimMouseSettings onMouse = m_rig->mouse->Settings();
            onMouse.reportRate = 3;
            m_rig->mouse->SetSettings(onMouse);
            Click(dlg, dlg.m_btnImport);
            imported = AnswerBox(file + L" import success!");
            ui.Call([&] { afterImport = g_settings; });
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        60000);
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    EXPECT_TRUE(exported);
    EXPECT_TRUE(imported);
    std::optional<Bytes> written = ReadFileBytes(file);
    ASSERT_TRUE(written);
    EXPECT_EQ(*written, settingsAtExport);
    ASSERT_EQ(written->size(), 5464u);
    EXPECT_EQ(Bytes(written->begin(), written->begin() + 4), (Bytes{0x10, 0x02, 0x80, 0x80}));
    EXPECT_EQ(afterImport.reportRateCode, 1) << "the demo mouse's rate, from the file";
    EXPECT_EQ(m_rig->mouse->Settings().reportRate, 1) << "the import was written to the mouse";

    std::vector<FileDialogRequest> requests = Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_FALSE(requests[1].save);
    for (const FileDialogRequest& r : requests) {
        EXPECT_EQ(std::wstring(r.defaultExtension), L"ini");
        EXPECT_EQ(std::wstring(r.filter), L"ini Files(*.ini)");
        EXPECT_EQ(std::wstring(r.filter + std::wcslen(r.filter) + 1), L"*.ini");
        EXPECT_TRUE(r.flags & OFN_HIDEREADONLY);
        EXPECT_TRUE(r.flags & OFN_OVERWRITEPROMPT);
    }
    EXPECT_TRUE(requests[1].flags & OFN_NOCHANGEDIR);
}

TEST_F(MainWindowCommandsTest, AWrongFileIsRefusedAndChangesNothing) {
    UseRig(MakeDemoMouseRig());
    const std::wstring file = Path(L"other.ini");
    Bytes wrong(5464, 0x11);
    WriteFileBytes(file, wrong);
    bool connected = false, refused = false;
    Bytes before, after;
    int setsAfter = -1;
    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            if (!WaitForMainWindow(dlg)) return;
            connected = ConnectMouse(dlg, ui, 0);
            ui.Call([&] { before = BytesOfSettings(); });
            m_rig->backend.ClearLog();
            NextFile(file);
            Click(dlg, dlg.m_btnImport);
            refused = AnswerBox(file + L" is an invaild Profile!");
            ui.Call([&] { after = BytesOfSettings(); });
            setsAfter = CountSets();
            // Cancelling the dialog does nothing at all.
            NextFile(std::nullopt);
            Click(dlg, dlg.m_btnImport);
            Click(dlg, dlg.m_btnExport);
            ui.CallWhenIdle([] {});  // both clicks have been handled
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        40000);
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    EXPECT_TRUE(refused);
    EXPECT_EQ(after, before);
    EXPECT_EQ(setsAfter, 0) << "nothing was sent to the mouse";
    EXPECT_EQ(Requests().size(), 3u);
}

TEST_F(MainWindowCommandsTest, ResetWritesTheDefaultsToTheMouse) {
    UseRig(MakeDemoMouseRig());
    bool connected = false, written = false;
    SettingsImage after{};
    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            if (!WaitForMainWindow(dlg)) return;
            connected = ConnectMouse(dlg, ui, 0);
            Click(dlg, dlg.m_btnReset);
            WaitFor([&] { return LoadSyncBusy() != 0; }, kHangLimitMs);
            written = WaitForSyncEnd(dlg);
            ui.Call([&] { after = g_settings; });
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        40000);
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    EXPECT_TRUE(written);
    SettingsImage defaults;
    ResetSettingsToDefaults(defaults);
    EXPECT_EQ(std::memcmp(&after, &defaults, sizeof(after)), 0);
    SimMouseSettings mouse = m_rig->mouse->Settings();
    EXPECT_EQ(mouse.reportRate, defaults.reportRateCode);
    EXPECT_EQ(mouse.debounce, defaults.debounceTime);
    EXPECT_EQ(mouse.dpiCount, defaults.dpiCount);
    EXPECT_EQ(mouse.powerDown, defaults.powerDownTime);
}

// The texts a page shows: its controls' captions.
std::vector<std::wstring> TextsOf(const CWnd& page) {
    std::vector<std::wstring> texts;
    ::EnumChildWindows(
        page.m_hWnd,
        [](HWND child, LPARAM lp) -> BOOL {
            wchar_t text[256] = {};
            if (::GetWindowTextW(child, text, 256) > 0)
                reinterpret_cast<std::vector<std::wstring>*>(lp)->push_back(text);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

TEST_F(MainWindowCommandsTest, TheLanguagePopupSwitchesTheTextsAndTheChoiceSurvivesARestart) {
    WriteFileBytes(Path(L"config\\test.ini"), Bytes{'1'});
    PutRegistryValue(L"Language", Bytes{2, 0, 0, 0});
    UseRig(MakeDemoMouseRig());
    std::u16string exitBefore, exitDismissed, exitChosen, exitAfterRestart;
    uint32_t indexDismissed = 0, indexChosen = 0;
    bool connected = false, chosen = false;
    RECT popupRect{};
    RECT buttonRect{};
    std::vector<std::wstring> pageTextsBefore, pageTextsAfter;
    Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg)) return;
        connected = ConnectMouse(dlg, ui, 0);
        ui.Call([&] {
            exitBefore = g_uiTexts[UiText::str_exit];
            // The macro page is up, with texts of its own.
            dlg.SendMessage(WM_COMMAND, 0,
                            reinterpret_cast<LPARAM>(dlg.m_pageButtons[PAGE_MACRO].m_hWnd));
            if (CMainPage* macros = dlg.m_pages.Page(PAGE_MACRO)) pageTextsBefore = TextsOf(*macros);
        });
        // Dismissed without a choice: nothing changes.
        Click(dlg, dlg.m_btnLanguage);
        WaitFor([&] { return dlg.m_popup.IsOpen(); }, kHangLimitMs);
        ui.Call([&] {
            if (CMenuEx* menu = dlg.m_popup.Get()) {
                popupRect = menu->GetWindowRect();
                ::PostMessageW(menu->m_hWnd, WM_CLOSE, 0, 0);
            }
            buttonRect = dlg.m_btnLanguage.GetWindowRect();
        });
        WaitFor([&] { return !dlg.m_popup.IsOpen(); }, kHangLimitMs);
        ui.CallWhenIdle([&] {
            exitDismissed = g_uiTexts[UiText::str_exit];
            indexDismissed = g_languageIndex;
        });

        Click(dlg, dlg.m_btnLanguage);
        WaitFor([&] { return dlg.m_popup.IsOpen(); }, kHangLimitMs);
        chosen = ChoosePopupRow(dlg.m_popup, ui, 1);
        ui.CallWhenIdle([&] {
            exitChosen = g_uiTexts[UiText::str_exit];
            indexChosen = g_languageIndex;
            if (CMainPage* macros = dlg.m_pages.Page(PAGE_MACRO)) pageTextsAfter = TextsOf(*macros);
            SaveScreenshot(*RenderWindow(dlg.m_hWnd), L"main_window_language_chosen_ru");
        });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    }, 40000);
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    EXPECT_EQ(exitBefore, u"Exit");
    EXPECT_EQ(exitDismissed, u"Exit");
    EXPECT_EQ(indexDismissed, 2u);
    // The popup opens on the button's corner: (left - 18, bottom - 85).
    EXPECT_EQ(popupRect.left, buttonRect.left - 18);
    EXPECT_EQ(popupRect.top, buttonRect.bottom - 85);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(indexChosen, 1u);
    EXPECT_EQ(exitChosen, u"\u0412\u044b\u0445\u043e\u0434");
    EXPECT_EQ(RegistryValue(L"Language"), (Bytes{1, 0, 0, 0}));
    EXPECT_FALSE(pageTextsBefore.empty());
    EXPECT_NE(pageTextsAfter, pageTextsBefore) << "the page shown took the new language";

    g_uiTexts = UiTextTable{};
    Run again = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
        if (!WaitForMainWindow(dlg)) return;
        ui.Call([&] { exitAfterRestart = g_uiTexts[UiText::str_exit]; });
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
    });
    EXPECT_TRUE(again.ended);
    EXPECT_EQ(exitAfterRestart, u"\u0412\u044b\u0445\u043e\u0434");
}

TEST_F(MainWindowCommandsTest, TheProfilePopupShowsTheChoiceAndSwitchesProfile) {
    UseRig(MakeDemoMouseRig());
    bool connected = false, chosen = false;
    std::wstring caption;
    int active = -1;
    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            if (!WaitForMainWindow(dlg)) return;
            connected = ConnectMouse(dlg, ui, 0);
            Click(dlg, dlg.m_btnProfile);
            WaitFor([&] { return dlg.m_popup.IsOpen(); }, kHangLimitMs);
            ui.Call(
                [&] { SaveScreenshot(*RenderWindow(dlg.m_hWnd), L"main_window_profile_popup"); });
            chosen = ChoosePopupRow(dlg.m_popup, ui, 3);
            // The caption changes first; the switch writes the profile to the mouse.
            WaitFor([&] { return LoadSyncBusy() != 0; }, kHangLimitMs);
            WaitForSyncEnd(dlg);
            ui.Call([&] {
                caption = dlg.m_btnProfile.GetWindowText();
                active = dlg.m_activeProfileIndex;
            });
            ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        },
        40000);
    EXPECT_TRUE(run.ended);
    ASSERT_TRUE(connected);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(caption, L"3");
    EXPECT_EQ(active, 2);
}

}  // namespace
