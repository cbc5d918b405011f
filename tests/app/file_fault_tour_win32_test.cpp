// Files a user's machine may hold in the program's folder, broken, missing or
// in the way, met by the real main window against the simulated mouse: at
// start-up, at a profile switch and at a language change. Each time the window
// comes up and closes, every page paints, the user is told what the user must
// know, and the profile files, the macro store and the registry stay whole.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/main_window/commands.h"
#include "app/main_window/harness_win32.h"
#include "app/tray_icon_win32.h"
#include "skin/popup_menu_logic.h"
#include "support/profile_store_fixture.h"

namespace {

using namespace e2e;

constexpr size_t kRecordSize = sizeof(SettingsImage);
const wchar_t* const kProfileFiles[PROFILE_FILE_COUNT] = {
    L"Config\\FConfig1.ini", L"Config\\FConfig2.ini", L"Config\\FConfig3.ini",
    L"Config\\FConfig4.ini"};
constexpr wchar_t kMacroFile[] = L"MFile.ini";
constexpr wchar_t kEnglish[] = L"language\\enr.xml";
constexpr wchar_t kRussian[] = L"language\\rus.xml";
constexpr char16_t kRussianExit[] = u"\u0412\u044b\u0445\u043e\u0434";

Bytes TextBytes(const char* text) {
    return Bytes(text, text + std::strlen(text));
}

// A profile as this program writes it, told apart by its debounce time.
Bytes ProfileBytes(uint8_t debounce) {
    SettingsImage record = SampleRecord(0);
    record.magic = SETTINGS_MAGIC;
    record.debounceTime = debounce;
    return BytesOf(record);
}

bool IsWholeProfile(const std::optional<Bytes>& file) {
    if (!file || file->size() != kRecordSize) return false;
    uint32_t magic = 0;
    std::memcpy(&magic, file->data(), sizeof(magic));
    return magic == SETTINGS_MAGIC;
}

// A folder where the program expects a file: no user can write it.
void PutFolderAt(const std::wstring& path) {
    ::DeleteFileW(path.c_str());
    ASSERT_TRUE(::CreateDirectoryW(path.c_str(), nullptr));
}

// The language file cut off inside its second text.
void TruncateLanguageFile(const std::wstring& path) {
    Bytes text = *ReadFileBytes(path);
    const std::string whole(text.begin(), text.end());
    text.resize(whole.find("<str_msg1>") + 7);
    WriteFileBytes(path, text);
}

// A message box of this process, visible now, or null.
HWND AnyMessageBox() {
    return FindTopLevelWindow([](HWND hwnd) {
        return WindowClassName(hwnd) == L"#32770" && ::GetDlgItem(hwnd, 0xFFFF) != nullptr;
    });
}

// What the user was shown: "caption: text" of each box, answered with OK.
struct Boxes {
    std::vector<std::wstring> seen;

    void AnswerUntil(const std::function<bool()>& done, int milliseconds) {
        WaitFor(
            [&] {
                if (HWND box = AnyMessageBox()) {
                    seen.push_back(WindowTitle(box) + L": " + WindowTitle(::GetDlgItem(box, 0xFFFF)));
                    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
                    WaitFor([&] { return !::IsWindow(box); }, kHangLimitMs);
                }
                return done();
            },
            milliseconds);
    }
};

class FileFaultTourTest : public MainWindowFixture {
protected:
    // The program as a user has it: English chosen, four profiles and the
    // demo's macros saved, a slot table in the registry.
    void SetUp() override {
        MainWindowFixture::SetUp();
        // The tray is not what these cases are about, and a display without a
        // notification area costs seconds a window.
        SetTrayNotifyHandler([](DWORD, const NOTIFYICONDATAW&) { return TRUE; });
        WriteFileBytes(Path(L"config\\test.ini"), Bytes{'1'});
        PutRegistryValue(L"Language", Bytes{2, 0, 0, 0});
        PutRegistryValue(L"ConfigInfo", Bytes(sizeof(g_profileSlots), 0));
        for (int i = 0; i < PROFILE_FILE_COUNT; ++i)
            WriteFileBytes(Path(kProfileFiles[i]), ProfileBytes(uint8_t(10 + i)));
        ASSERT_TRUE(StoreDemoMacros());
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        UseRig(MakeDemoMouseRig());
    }
    void TearDown() override {
        SetTrayNotifyHandler(nullptr);
        MainWindowFixture::TearDown();
    }

    struct Kept {
        std::optional<Bytes> profiles[PROFILE_FILE_COUNT];
        std::optional<Bytes> macros;
        std::optional<Bytes> configInfo;
        std::optional<Bytes> language;
        std::optional<Bytes> defaultSetting;
    };
    Kept Snapshot() {
        Kept kept;
        for (int i = 0; i < PROFILE_FILE_COUNT; ++i) kept.profiles[i] = ReadFileBytes(Path(kProfileFiles[i]));
        kept.macros = ReadFileBytes(Path(kMacroFile));
        kept.configInfo = RegistryValue(L"ConfigInfo");
        kept.language = RegistryValue(L"Language");
        kept.defaultSetting = RegistryValue(L"DefaultSetting");
        return kept;
    }

    // Shows and paints each page as the window holds it now; the number painted.
    static int PaintEveryPage(CQuorvelDlg& dlg, UiInvoker& ui, const wchar_t* shot = nullptr) {
        int painted = 0;
        ui.Call([&] {
            for (MainPageNumber page : kPageNumbers) {
                dlg.ShowPage(page);
                if (RenderWindow(dlg.m_hWnd)) ++painted;
            }
            if (shot) SaveScreenshot(*RenderWindow(dlg.m_hWnd), shot);
        });
        return painted;
    }

    // Closes the window as the user does, answering whatever it shows meanwhile.
    static void Close(CQuorvelDlg& dlg, Boxes& boxes) {
        ::PostMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
        boxes.AnswerUntil([&] { return !::IsWindow(dlg.m_hWnd); }, kHangLimitMs);
    }

    static std::u16string Text(UiInvoker& ui, UiText key) {
        std::u16string text = u"?";
        ui.Call([&] { text = g_uiTexts[key]; });
        return text;
    }
};

// Independent faults share a start: each window costs seconds under Wine.
TEST_F(FileFaultTourTest, StartUpOverBrokenMissingAndBlockedFiles) {
    struct Case {
        const char* name;
        std::function<void(const std::wstring& folder)> arrange;  // folder ends with a backslash
        const char16_t* exitText;                                  // str_exit once started
        std::vector<std::wstring> boxes;                           // "<folder>": the program's
        bool firstProfileWasNone;  // not a profile: the close saves a whole one over it
        bool keptInRegistry;       // the first profile's refused save went to the registry
        const wchar_t* shot;
    };
    const std::wstring kNoBackground =
        L"Brantis Driver: The skin image <folder>skins\\main_nr.png cannot be loaded.";
    const Case cases[] = {
        {"a profile, a macro store and a language file that are none, no background image",
         [](const std::wstring& f) {
             WriteFileBytes(f + kProfileFiles[0], TextBytes("[Profile]\r\nDPI=800\r\nRate=1000\r\n"));
             WriteFileBytes(f + kMacroFile, Bytes(sizeof(MacroStore), 'A'));
             ::CopyFileW((f + L"skins\\main_nr.png").c_str(), (f + kEnglish).c_str(), FALSE);
             ::DeleteFileW((f + L"skins\\main_nr.png").c_str());
         },
         u"", {kNoBackground}, true, false, L"fault_files_that_are_none"},
        {"no skins folder and no language file",
         [](const std::wstring& f) {
             RemoveTree(f + L"skins");
             ::DeleteFileW((f + kEnglish).c_str());
         },
         u"", {kNoBackground}, false, false, L"fault_no_skins"},
        {"folders in the way of the first profile and of the macro store",
         [](const std::wstring& f) {
             PutFolderAt(f + kProfileFiles[0]);
             PutFolderAt(f + kMacroFile);
         },
         u"Exit", {}, false, true, nullptr},
        {"a file in the way of the config folder",
         [](const std::wstring& f) {
             RemoveTree(f + L"config");
             WriteFileBytes(f + L"Config", TextBytes("not a folder"));
         },
         // Without its marker no language is chosen: the built-in words say it.
         u"", {L"Info: The profile could not be saved to <folder>Config\\FConfig1.ini."}, false,
         false, nullptr},
    };

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TearDown();
        SetUp();
        c.arrange(m_folder);
        const Kept before = Snapshot();
        std::u16string exitText = u"?";
        int painted = 0;
        Boxes boxes;
        Run run = RunMainWindow([&](CQuorvelDlg& dlg, UiInvoker& ui) {
            // What the start-up has to say comes before the window shows.
            boxes.AnswerUntil([&] { return WaitForMainWindow(dlg, 200); }, kHangLimitMs);
            if (!WaitForMainWindow(dlg)) return;
            exitText = Text(ui, UiText::str_exit);
            painted = PaintEveryPage(dlg, ui, c.shot);
            Close(dlg, boxes);
        });
        EXPECT_TRUE(run.ended) << "the window hung";
        EXPECT_EQ(painted, kPageCount);
        EXPECT_EQ(exitText, c.exitText);
        std::vector<std::wstring> expectedBoxes = c.boxes;
        for (std::wstring& text : expectedBoxes) {
            size_t at = text.find(L"<folder>");
            if (at != std::wstring::npos) text.replace(at, 8, m_folder);
        }
        EXPECT_EQ(boxes.seen, expectedBoxes);

        const Kept after = Snapshot();
        if (c.firstProfileWasNone)
            EXPECT_TRUE(IsWholeProfile(after.profiles[0]));
        else if (before.profiles[0])
            // The pages name the buttons in the language loaded; the settings stay.
            EXPECT_EQ(RecordOf(*after.profiles[0]).debounceTime, 10);
        else
            EXPECT_FALSE(after.profiles[0]);
        for (int i = 1; i < PROFILE_FILE_COUNT; ++i)
            EXPECT_EQ(after.profiles[i], before.profiles[i]) << "profile " << i + 1;
        EXPECT_EQ(after.macros, before.macros);
        EXPECT_EQ(after.configInfo, before.configInfo);
        EXPECT_EQ(after.language, before.language);
        if (c.keptInRegistry)
            EXPECT_TRUE(IsWholeProfile(after.defaultSetting));
        else
            EXPECT_EQ(after.defaultSetting, before.defaultSetting);
    }
}

// Connected, the user switches onto a profile whose file is none, then picks
// Russian while its file is cut off, missing, not XML and short of keys, and
// English again.
TEST_F(FileFaultTourTest, AProfileSwitchAndLanguageChangesOntoBrokenFiles) {
    WriteFileBytes(Path(kProfileFiles[1]), Bytes(kRecordSize, 0xFF));
    const Kept before = Snapshot();
    struct LanguageStep {
        const char* name;
        std::function<void(const std::wstring& path)> arrange;
        uint32_t language;
        const char16_t* exitText;
        const char16_t* okText;
    };
    const LanguageStep steps[] = {
        {"Russian, its file cut off half-way",
         [](const std::wstring& p) { TruncateLanguageFile(p); }, 1, u"", u""},
        {"Russian, its file missing", [](const std::wstring& p) { ::DeleteFileW(p.c_str()); }, 1, u"", u""},
        {"Russian, its file not XML", [](const std::wstring& p) { WriteFileBytes(p, Bytes(4000, 0xC3)); },
         1, u"", u""},
        {"Russian, its file without most keys",
         [](const std::wstring& p) {
             WriteFileBytes(p, TextBytes("<?xml version=\"1.0\" encoding=\"utf-8\"?><language><config>"
                                         "<str_exit>\xD0\x92\xD1\x8B\xD1\x85\xD0\xBE\xD0\xB4</str_exit>"
                                         "</config></language>"));
         },
         1, kRussianExit, u""},
        {"English, its file whole", [](const std::wstring&) {}, 2, u"Exit", u"OK"},
    };

    bool connected = false, switched = false;
    int activeProfile = -1, pagesAfterSwitch = 0;
    std::vector<std::u16string> exitTexts, okTexts;
    std::vector<bool> pagesPainted;
    Boxes boxes;
    Run run = RunMainWindow(
        [&](CQuorvelDlg& dlg, UiInvoker& ui) {
            if (!WaitForMainWindow(dlg)) return;
            connected = ConnectMouse(dlg, ui, 0);
            if (!connected) return;
            ::PostMessageW(dlg.m_hWnd, UWM_SWITCH_PROFILE, 0, 2);
            switched = WaitFor([&] { return LoadSyncBusy() != 0; }, kHangLimitMs) && WaitForSyncEnd(dlg);
            ui.Call([&] { activeProfile = dlg.m_activeProfileIndex; });
            pagesAfterSwitch = PaintEveryPage(dlg, ui, L"fault_profile_switched_onto_none");

            for (const LanguageStep& step : steps) {
                step.arrange(Path(kRussian));
                // As the language popup's choice arrives; the pages refresh from a posted message.
                ui.Call([&] { dlg.SendMessage(UWM_LANGUAGE_MENU_RESULT, kMenuResultAlways, step.language); });
                std::atomic<bool> refreshed{false};
                ui.Post([&] { refreshed = true; });
                WaitFor([&] { return refreshed.load(); }, kHangLimitMs);
                exitTexts.push_back(Text(ui, UiText::str_exit));
                okTexts.push_back(Text(ui, UiText::str_ok));
                // Every page painted without texts at start-up; here the page shown will do.
                bool painted = false;
                ui.Call([&] { painted = RenderWindow(dlg.m_hWnd) != nullptr; });
                pagesPainted.push_back(painted);
            }
            Close(dlg, boxes);
        },
        60000);

    EXPECT_TRUE(run.ended) << "the window hung";
    ASSERT_TRUE(connected);
    EXPECT_TRUE(switched);
    EXPECT_EQ(activeProfile, 1);
    EXPECT_EQ(pagesAfterSwitch, kPageCount);
    ASSERT_EQ(exitTexts.size(), std::size(steps));
    for (size_t i = 0; i < std::size(steps); ++i) {
        SCOPED_TRACE(steps[i].name);
        EXPECT_EQ(exitTexts[i], steps[i].exitText);
        EXPECT_EQ(okTexts[i], steps[i].okText);
        EXPECT_TRUE(pagesPainted[i]);
    }
    EXPECT_EQ(boxes.seen, std::vector<std::wstring>{});

    const Kept after = Snapshot();
    EXPECT_TRUE(IsWholeProfile(after.profiles[0])) << "saved before the switch";
    EXPECT_TRUE(IsWholeProfile(after.profiles[1])) << "the profile that was none is one now";
    EXPECT_EQ(after.profiles[2], before.profiles[2]);
    EXPECT_EQ(after.profiles[3], before.profiles[3]);
    EXPECT_EQ(after.macros, before.macros);
    EXPECT_EQ(after.language, (Bytes{2, 0, 0, 0}));
    ASSERT_TRUE(after.configInfo);
    EXPECT_EQ(after.configInfo->size(), sizeof(g_profileSlots)) << "the slot table stays whole";
}

}  // namespace
