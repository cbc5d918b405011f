// The progress box with real worker threads under Wine: a worker that moves
// the bar to its end, one that ends at once, the read and the write of all
// settings without a device; the user's keys never close the box; painting
// keeps no object behind; screenshots in both languages.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/sync_progress_win32.h"
#include "device/device_state.h"
#include "device/file_system.h"
#include "device/usb_driver.h"
#include "device/user_notice.h"
#include "framework/strings.h"
#include "sim/sim_clock.h"
#include "support/ui_thread_win32.h"
#include "support/window_harness_win32.h"
#include "text/ui_texts.h"

namespace {

constexpr uint32_t kNormalArgb = 0xFF304050;
constexpr uint32_t kOverArgb = 0xFF20D0F0;
constexpr int kBarLeft = 35;
constexpr int kBarY = 51;

// The worker bodies are plain functions; a test puts what its worker does here.
std::function<void(const SyncJob&)> g_body;
void RunTestBody(const SyncJob& job) {
    g_body(job);
    if (job.running) job.running->store(0);
    StoreSyncBusy(0);
    job.sink->CloseProgress();
}

class NoticeRecorder final : public UserNoticeSink {
public:
    void Show(std::u16string_view text, std::u16string_view caption) override {
        texts.emplace_back(text);
        captions.emplace_back(caption);
    }
    std::vector<std::u16string> texts, captions;
};

HWND FindProgressBox() {
    return ::FindWindowW(nullptr, L"QuorvelProcessDlg");
}

class ProgressBoxTest : public testing::Test {
protected:
    void SetUp() override {
        EnsureGdiplus();
        g_uiTexts = UiTextTable{};
        SetUserNoticeSink(&notices);
        ASSERT_TRUE(mainWindow.Open());
        ASSERT_TRUE(ui.Create());
    }
    void TearDown() override {
        ui.DestroyWindow();
        g_body = nullptr;
        SetUserNoticeSink(nullptr);
        SetProgramFolder(u"");
        g_uiTexts = UiTextTable{};
    }
    // A program folder whose progress skins are plain colours, 330 x 70.
    void UsePlainSkins() {
        std::wstring folder = TestTempDir() + L"plain\\";
        ::CreateDirectoryW(folder.c_str(), nullptr);
        ::CreateDirectoryW((folder + L"skins").c_str(), nullptr);
        ASSERT_FALSE(WriteSolidPng(L"plain\\skins\\Progress_Normal.png", 330, 70, kNormalArgb).empty());
        ASSERT_FALSE(WriteSolidPng(L"plain\\skins\\Progress_Over.png", 330, 70, kOverArgb).empty());
        SetProgramFolder(ToU16(folder));
    }
    void Run(std::function<void(const SyncJob&)> body, void (*worker)(const SyncJob&) = &RunTestBody) {
        g_body = std::move(body);
        SyncJob job;
        job.running = &running;
        RunBehindProgressBox(worker, job, mainWindow.m_hWnd);
        PumpMessages(50);
    }

    NoticeRecorder notices;
    TestDialog mainWindow;
    UiInvoker ui;  // on the box's thread, for the worker to look at the box when it is idle
    std::atomic<int32_t> running{0};
};

// Columns of fill from the bar's left end in a picture of the box.
int FillColumns(const Dib32& shot) {
    int columns = 0;
    while (columns < 260 && shot.Rgb(kBarLeft + columns, kBarY) == (kOverArgb & 0xFFFFFF)) ++columns;
    return columns;
}

TEST_F(ProgressBoxTest, AWorkerMovesTheBarToItsEndAndClosesTheBoxThatNoKeyCloses) {
    UsePlainSkins();
    struct Step {
        int position;
        int fill;
    };
    const std::vector<Step> steps = {
        {10, 26}, {50, 130}, {30, 78},  // positions need not grow
        {101, 0}, {-3, 0},              // out of range: empty, never full
        {100, 260},
    };
    std::vector<int> fills;
    bool openAfterKeys = false;
    long gdiGrowth = -1, gdiplusGrowth = -1;
    RECT boxRect{};
    Run([&](const SyncJob& job) {
        job.sink->Progress(0);  // waits for the box to be up
        HWND box = FindProgressBox();
        ::GetWindowRect(box, &boxRect);
        for (const Step& step : steps) {
            job.sink->Progress(step.position);
            fills.push_back(-1);
            ui.CallWhenIdle([&] { fills.back() = FillColumns(*RenderWindow(box)); });
        }
        // What a user might try: none of it ends the box.
        ::PostMessageW(box, WM_KEYDOWN, VK_ESCAPE, 1);
        ::PostMessageW(box, WM_KEYDOWN, VK_RETURN, 1);
        ::PostMessageW(box, WM_SYSKEYDOWN, VK_F4, 0x20000001);
        ::PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        ui.CallWhenIdle([&] { openAfterKeys = ::IsWindowVisible(box) != 0; });
        // Many more paints keep no GDI or GDI+ object behind. The counts are
        // taken on the box's thread between its messages, never inside a paint.
        long gdiBefore = 0, gdiplusBefore = 0;
        ui.CallWhenIdle([&] {
            RenderWindow(box);
            gdiBefore = gdi::LiveObjects();
            gdiplusBefore = gdiplus::LiveObjects();
        });
        for (int i = 0; i < 80; ++i) job.sink->Progress(i % 101);
        ui.CallWhenIdle([&] {
            RenderWindow(box);
            gdiGrowth = gdi::LiveObjects() - gdiBefore;
            gdiplusGrowth = gdiplus::LiveObjects() - gdiplusBefore;
        });
        job.sink->Done();
    });
    EXPECT_EQ(FindProgressBox(), nullptr) << "the box outlived its worker";
    ASSERT_EQ(fills.size(), steps.size());
    for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(fills[i], steps[i].fill) << "position " << steps[i].position;
    EXPECT_TRUE(openAfterKeys) << "Escape, Enter or Alt+F4 closed the box under its worker";
    EXPECT_EQ(gdiGrowth, 0);
    EXPECT_EQ(gdiplusGrowth, 0);
    EXPECT_EQ(boxRect.right - boxRect.left, 330);
    EXPECT_EQ(boxRect.bottom - boxRect.top, 70);
    EXPECT_EQ(mainWindow.Count(UWM_SYNC_DONE), 1);
    EXPECT_EQ(running.load(), 0);
}

TEST_F(ProgressBoxTest, AWorkerThatEndsAtOnceAlwaysClosesTheBox) {
    UsePlainSkins();
    for (int round = 0; round < 5; ++round) {
        Run([](const SyncJob&) {});
        EXPECT_EQ(FindProgressBox(), nullptr) << "round " << round;
    }
    EXPECT_EQ(mainWindow.Count(UWM_SYNC_DONE), 0);
}

TEST_F(ProgressBoxTest, TheSyncsWithoutADeviceSayWhyAndCloseTheBox) {
    SetProgramFolder(ToU16(TestDistDir()));
    // The pauses of the passes take no time, so each worker is over at once.
    ScopedSimClock clock;
    struct Case {
        const char* name;
        void (*worker)(const SyncJob&);
        std::u16string notice;
        int doneMessages;  // the write still runs its pass to the end
    };
    const Case cases[] = {
        {"read-all", &ReadAllSettingsThread, u"Open hid device failed.", 0},
        {"write-all", &WriteAllSettingsThread, u"Open hid device failed", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        notices.texts.clear();
        notices.captions.clear();
        mainWindow.Clear();
        CUSBDriver driver;  // never opened
        SyncJob job;
        job.driver = &driver;
        job.running = &running;
        job.linkMode = -1;
        RunBehindProgressBox(c.worker, job, mainWindow.m_hWnd);
        PumpMessages(50);
        EXPECT_EQ(FindProgressBox(), nullptr);
        ASSERT_EQ(notices.texts.size(), 1u);
        EXPECT_EQ(notices.texts[0], c.notice);
        EXPECT_EQ(notices.captions[0], u"Info");
        EXPECT_EQ(mainWindow.Count(UWM_SYNC_DONE), c.doneMessages);
        EXPECT_EQ(LoadSyncBusy(), 0u);
        EXPECT_EQ(running.load(), 0);
    }
}

TEST_F(ProgressBoxTest, ScreenshotsInEnglishAndRussian) {
    SetProgramFolder(ToU16(TestDistDir()));
    GdipImage skin = GdipImage::FromFile(TestSkinPath(L"Progress_Normal.png"));
    ASSERT_TRUE(skin);
    for (const wchar_t* language : {L"enr", L"rus"}) {
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + language + L".xml"));
        ASSERT_FALSE(g_uiTexts[UiText::str_updatemsg].empty());
        bool saved = false;
        RECT rect{};
        Run([&](const SyncJob& job) {
            job.sink->Progress(40);
            HWND box = FindProgressBox();
            ::GetWindowRect(box, &rect);
            ui.CallWhenIdle([&] { saved = SaveScreenshot(*RenderWindow(box), FormatW(L"progress_%s", language)); });
        });
        EXPECT_TRUE(saved);
        EXPECT_EQ(rect.right - rect.left, static_cast<LONG>(skin.Width()));
        EXPECT_EQ(rect.bottom - rect.top, static_cast<LONG>(skin.Height()));
    }
}

}  // namespace
