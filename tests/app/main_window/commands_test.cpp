#include "app/main_window/commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/button_macro_ids.h"
#include "device/profiles.h"
#include "sim/memory_file_system.h"
#include "support/profile_store_fixture.h"
#include "support/store_env.h"
#include "text/u16_buffer.h"

namespace {

class RecordingCommandView final : public ProfileCommandView {
public:
    void RefreshPages() override { calls.push_back("refresh"); }
    bool SyncRunning() override { return syncRunning; }
    WriteAllOutcome RunWriteAll() override {
        calls.push_back("write all");
        writtenRate = g_settings.reportRateCode;
        return outcome;
    }

    std::vector<std::string> calls;
    bool syncRunning = false;
    WriteAllOutcome outcome = WriteAllOutcome::Written;
    int writtenRate = -1;
};

class ProfileCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        env = MemoryStoreEnv().make();
        ResetProfileGlobals();
        LoadProfileTable();
        files = env->FakeFiles();
        ASSERT_NE(files, nullptr);
    }
    void TearDown() override {
        ResetProfileGlobals();
        env.reset();
    }
    std::u16string Path(const char16_t* name) const { return env->Folder() + name; }

    std::unique_ptr<StoreEnv> env;
    MemoryFileSystem* files = nullptr;
    RecordingNotices notices;
    RecordingCommandView view;
};

Bytes Truncated(Bytes bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

TEST(ImportCheckTest, RecordsAreCheckedBeforeUse) {
    const Bytes whole = BytesOf(SampleRecord(5));
    Bytes otherMagic = whole;
    otherMagic[0] ^= 1;
    Bytes unterminated = whole;
    // Button 3's name fills its buffer to the end.
    const size_t name = offsetof(SettingsImage, buttons) + 3 * sizeof(ButtonAssignment) +
                        offsetof(ButtonAssignment, displayName);
    for (size_t i = 0; i < DISPLAY_NAME_LENGTH; ++i) {
        unterminated[name + 2 * i] = 'A';
        unterminated[name + 2 * i + 1] = 0;
    }
    // A record with more behind it: what a reader of the first record's bytes
    // takes, whatever follows.
    Bytes longer = whole;
    longer.insert(longer.end(), 300, 0xEE);
    Bytes longerUnterminated = unterminated;
    longerUnterminated.push_back(0);

    struct Case {
        const char* name;
        Bytes bytes;
        ImportCheck expected;
    };
    const Case cases[] = {
        {"a whole export", whole, ImportCheck::Accepted},
        {"shorter, zeros behind", Truncated(whole, 100), ImportCheck::Accepted},
        {"the magic alone", Truncated(whole, 4), ImportCheck::Accepted},
        {"less than the magic", Truncated(whole, 3), ImportCheck::WrongMagic},
        {"empty", Bytes{}, ImportCheck::WrongMagic},
        {"another first dword", otherMagic, ImportCheck::WrongMagic},
        {"a name without its end", unterminated, ImportCheck::UnterminatedText},
        {"longer than a record", longer, ImportCheck::Accepted},
        {"longer, with a name without its end", longerUnterminated, ImportCheck::UnterminatedText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsImage record;
        std::memset(&record, 0xCC, sizeof(record));
        EXPECT_EQ(CheckImportedSettings(c.bytes.data(), c.bytes.size(), &record), c.expected);
        if (c.expected != ImportCheck::Accepted) continue;
        Bytes got = BytesOf(record);
        Bytes want = c.bytes;
        want.resize(sizeof(SettingsImage), 0);
        EXPECT_EQ(got, want);
    }
}

TEST_F(ProfileCommandsTest, ExportThenImportRoundTripsAndWritesTheMouse) {
    g_settings = SampleRecord(3);
    g_settings.debounceTime = 9;
    const Bytes exported = BytesOf(g_settings);
    RunExport(Path(u"mine.ini"), notices);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].text, Path(u"mine.ini") + u" export success!");
    EXPECT_EQ(notices.shown[0].caption, u"Info");
    EXPECT_EQ(env->GetFile(Path(u"mine.ini")), exported);

    g_settings = SampleRecord(1);
    g_buttonMacroIds[2] = 77;  // assigned on the page for the settings being replaced
    notices.shown.clear();
    RunImport(Path(u"mine.ini"), view, notices);
    EXPECT_EQ(BytesOf(g_settings), exported);
    EXPECT_EQ(g_buttonMacroIds[2], 0);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"refresh", "write all"}));
    EXPECT_EQ(view.writtenRate, 3);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].text, Path(u"mine.ini") + u" import success!");
}

TEST_F(ProfileCommandsTest, AFileLongerThanARecordImportsItsFirstRecord) {
    const Bytes record = BytesOf(SampleRecord(6));
    Bytes file = record;
    file.insert(file.end(), 2 * kSettingsFileSize, 0xEE);
    env->PutFile(Path(u"long.ini"), file);
    g_settings = SampleRecord(1);
    RunImport(Path(u"long.ini"), view, notices);
    EXPECT_EQ(BytesOf(g_settings), record);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"refresh", "write all"}));
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].text, Path(u"long.ini") + u" import success!");
}

TEST_F(ProfileCommandsTest, ARefusedImportChangesNothing) {
    Bytes otherMagic = BytesOf(SampleRecord(2));
    otherMagic[3] = 0;
    env->PutFile(Path(u"other.ini"), otherMagic);
    env->PutFile(Path(u"long.ini"), Bytes(kSettingsFileSize * 2, 0x10));
    g_settings = SampleRecord(4);
    g_buttonMacroIds[0] = 5;
    const Bytes before = BytesOf(g_settings);
    for (const char16_t* name : {u"other.ini", u"long.ini", u"missing.ini"}) {
        SCOPED_TRACE(std::string(name, name + std::char_traits<char16_t>::length(name)));
        notices.shown.clear();
        RunImport(Path(name), view, notices);
        EXPECT_EQ(BytesOf(g_settings), before);
        EXPECT_EQ(g_buttonMacroIds[0], 5);
        EXPECT_TRUE(view.calls.empty());
        ASSERT_EQ(notices.shown.size(), 1u);
        EXPECT_EQ(notices.shown[0].text, Path(name) + u" is an invaild Profile!");
        EXPECT_EQ(notices.shown[0].caption, u"Info");
    }
}

TEST_F(ProfileCommandsTest, ImportReportsSuccessOnlyWhenTheMouseTookTheWrite) {
    env->PutFile(Path(u"p.ini"), BytesOf(SampleRecord(6)));
    g_settings = SampleRecord(1);
    view.outcome = WriteAllOutcome::NotStarted;
    RunImport(Path(u"p.ini"), view, notices);
    EXPECT_EQ(g_settings.reportRateCode, 6);
    EXPECT_TRUE(notices.shown.empty()) << "the mouse never got the profile";

    // The mouse refused a command or went away during the write.
    g_settings = SampleRecord(1);
    view.outcome = WriteAllOutcome::NotWritten;
    RunImport(Path(u"p.ini"), view, notices);
    EXPECT_EQ(g_settings.reportRateCode, 6);
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].text, u"Please connect the mouse.");
    EXPECT_EQ(notices.shown[0].caption, u"Info");

    // While a sync runs nothing may replace the settings it works on.
    view.calls.clear();
    view.syncRunning = true;
    g_settings = SampleRecord(1);
    RunImport(Path(u"p.ini"), view, notices);
    EXPECT_EQ(g_settings.reportRateCode, 1);
    EXPECT_TRUE(view.calls.empty());
}

TEST_F(ProfileCommandsTest, AFailedExportSaysSoAndLeavesNoPieceOfARecord) {
    g_settings = SampleRecord(2);
    // No room for a whole record: the old export beside it stays as it was.
    const Bytes old = BytesOf(SampleRecord(5));
    env->PutFile(Path(u"old.ini"), old);
    files->SetFreeSpace(100);
    RunExport(Path(u"old.ini"), notices);
    EXPECT_EQ(env->GetFile(Path(u"old.ini")), old);
    RunExport(Path(u"new.ini"), notices);
    EXPECT_FALSE(env->GetFile(Path(u"new.ini")));

    // A folder that takes no new file: the file itself is written, and stops short.
    env->AddFolder(Path(u"locked"));
    env->PutFile(Path(u"locked\\p.ini"), old);
    files->SetFolderReadOnly(Path(u"locked"), true);
    RunExport(Path(u"locked\\p.ini"), notices);
    EXPECT_FALSE(env->GetFile(Path(u"locked\\p.ini"))) << "a piece that an import would take";

    files->SetFolderReadOnly(Path(u"locked"), false);
    files->SetFreeSpace(std::nullopt);
    RunExport(Path(u"gone\\q.ini"), notices);  // a folder that is not there

    ASSERT_EQ(notices.shown.size(), 4u);
    EXPECT_EQ(notices.shown[0].text, Path(u"old.ini") + u" export failed!");
    EXPECT_EQ(notices.shown[1].text, Path(u"new.ini") + u" export failed!");
    EXPECT_EQ(notices.shown[2].text, Path(u"locked\\p.ini") + u" export failed!");
    EXPECT_EQ(notices.shown[3].text, Path(u"gone\\q.ini") + u" export failed!");
}

// The export goes through a file of its own beside the one chosen, and only
// the chosen one changes.
TEST_F(ProfileCommandsTest, AnExportTouchesNoOtherFile) {
    const Bytes mine(40, 0x6D);
    const char16_t* const neighbours[] = {u"mouse.new", u"mouse.~00", u"mouse.ini.new"};
    for (const char16_t* name : neighbours) env->PutFile(Path(name), mine);
    g_settings = SampleRecord(3);
    RunExport(Path(u"mouse.ini"), notices);
    EXPECT_EQ(env->GetFile(Path(u"mouse.ini")), BytesOf(g_settings));
    ASSERT_EQ(notices.shown.size(), 1u);
    EXPECT_EQ(notices.shown[0].text, Path(u"mouse.ini") + u" export success!");

    // A full disk: the failed export leaves the folder as it was.
    files->SetFreeSpace(100);
    g_settings = SampleRecord(4);
    RunExport(Path(u"mouse.ini"), notices);
    files->SetFreeSpace(std::nullopt);
    EXPECT_EQ(env->GetFile(Path(u"mouse.ini")), BytesOf(SampleRecord(3)));
    for (const char16_t* name : neighbours) EXPECT_EQ(env->GetFile(Path(name)), mine);
    EXPECT_EQ(env->FileCount(env->Folder()), 4u) << "nothing is left beside them";
}

TEST_F(ProfileCommandsTest, ResetWritesTheDefaultsInItsOrder) {
    ASSERT_NE(g_activeProfile, nullptr);
    g_settings = SampleRecord(6);
    g_settings.buttons[1].functionId = FUNC_FORWARD;
    for (int32_t& id : g_activeProfile->appliedMacroIds) id = 0x15000001;
    g_buttonMacroIds[4] = 3;
    // Profile 2 has a profile-switch button 1; it takes the function the reset gives it.
    SettingsImage second = SampleRecord(0);
    second.buttons[1].functionId = FUNC_PROFILE_SWITCH;
    const std::u16string secondPath(BufferText(g_profileSlots[1].filePath));
    env->PutFile(secondPath, BytesOf(second));

    EXPECT_TRUE(ResetToDefaults(view));
    SettingsImage defaults;
    ResetSettingsToDefaults(defaults);
    EXPECT_EQ(BytesOf(g_settings), BytesOf(defaults));
    for (int32_t id : g_activeProfile->appliedMacroIds) EXPECT_EQ(id, 0);
    EXPECT_EQ(g_buttonMacroIds[4], 0);
    EXPECT_EQ(view.calls, (std::vector<std::string>{"refresh", "write all"}));
    EXPECT_EQ(view.writtenRate, defaults.reportRateCode);
    EXPECT_EQ(RecordOf(*env->GetFile(secondPath)).buttons[1].functionId,
              defaults.buttons[1].functionId);

    view.calls.clear();
    view.syncRunning = true;
    g_settings = SampleRecord(6);
    EXPECT_FALSE(ResetToDefaults(view));
    EXPECT_EQ(g_settings.reportRateCode, 6) << "a running sync owns the settings";
    EXPECT_TRUE(view.calls.empty());
}

TEST(MenuChoiceTest, LanguageAndProfileChoices) {
    const std::u16string folder = u"C:\\Q\\";
    EXPECT_FALSE(LanguageMenuChoiceFor(0, folder)) << "closed without a choice";
    auto russian = LanguageMenuChoiceFor(1, folder);
    ASSERT_TRUE(russian);
    EXPECT_EQ(russian->language, 1u);
    EXPECT_EQ(russian->file, u"C:\\Q\\language\\rus.xml");
    auto english = LanguageMenuChoiceFor(2, folder);
    ASSERT_TRUE(english);
    EXPECT_EQ(english->file, u"C:\\Q\\language\\enr.xml");
    auto other = LanguageMenuChoiceFor(3, folder);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->language, 3u);
    EXPECT_TRUE(other->file.empty()) << "stored, but no file to load";

    for (uint32_t value : {1u, 2u, 3u, 4u}) EXPECT_EQ(ProfileMenuChoiceFor(value), int(value));
    for (uint32_t value : {0u, 5u, 0xFFFFFFFFu}) EXPECT_FALSE(ProfileMenuChoiceFor(value));
}

}  // namespace
