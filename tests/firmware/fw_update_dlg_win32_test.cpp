// The firmware update dialog under Wine against the simulated update
// interface: its states, every way of closing it during an update, and
// screenshots in English and Russian.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "device/device_state.h"
#include "device/file_system.h"
#include "firmware/fw_update_dlg_win32.h"
#include "framework/strings.h"
#include "ota_fixture.h"
#include "sim/memory_file_system.h"
#include "support/box_driver_win32.h"
#include "support/input_win32.h"
#include "support/message_spy_win32.h"
#include "support/window_harness_win32.h"
#include "text/ui_texts.h"

namespace {

// Reads the dialog from the driving thread, through messages its own thread answers.
struct DialogProbe {
    HWND start, exit, status, bar;

    static DialogProbe Of(const CFWUpdateDlg& dialog) {
        return {dialog.m_startButton.m_hWnd, dialog.m_exitButton.m_hWnd, dialog.m_statusLine.m_hWnd,
                dialog.m_progress.m_hWnd};
    }
    static std::wstring Text(HWND hwnd) {
        wchar_t text[256] = {};
        ::GetWindowTextW(hwnd, text, 256);
        return text;
    }
    static bool Shown(HWND hwnd) { return ::IsWindowVisible(hwnd) != FALSE; }
    static RECT PlaceIn(HWND hwnd) {
        RECT r{};
        ::GetWindowRect(hwnd, &r);
        ::MapWindowPoints(nullptr, ::GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    // Waits until done says so; false only when a hang kept it from that.
    static bool WaitUntil(const std::function<bool()>& done, int limitMs = kHangLimitMs) {
        return WaitFor(done, limitMs);
    }
};

void Click(HWND dialog, HWND button) {
    ::SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button));
}

std::wstring Text(UiText key) {
    return ToWide(g_uiTexts[key]);
}

class FwUpdateDialogTest : public OtaFixture {
protected:
    void SetUp() override {
        OtaFixture::SetUp();
        EnsureGdiplus();
        const std::u16string folder = ToU16(TestDistDir());
        m_files.AddFolder(folder + u"config");
        m_files.PutFile(folder + u"config\\ota.ini", {0});
        SetFileSystem(&m_files);
        SetProgramFolder(folder);
        ChooseOtaDevice();
        g_fwUpdateRunning = 0;
        ASSERT_TRUE(m_owner.Open());
        LoadLanguage(L"enr");
    }
    void TearDown() override {
        SetProgramFolder(u"");
        SetFileSystem(nullptr);
        g_uiTexts = UiTextTable{};
        OtaFixture::TearDown();
    }

    void LoadLanguage(const wchar_t* language) {
        g_languageIndex = std::wstring(language) == L"enr" ? 2 : 1;
        LoadLanguageFile(ToU16(TestDistDir() + L"language\\" + language + L".xml"));
    }
    // Runs the dialog on this thread while script drives it from another.
    void Run(const std::function<void(HWND, const DialogProbe&)>& script) {
        EndableBox<CFWUpdateDlg> dialog(&m_owner);
        if (m_noImage) dialog.m_imageSource = [] { return FirmwareImage{}; };
        m_result = RunBoxDriven(dialog, [&](HWND hwnd) {
            // Ready comes at the end of its initialisation, before it is shown.
            DialogProbe::WaitUntil([&] { return ::IsWindowVisible(hwnd) != FALSE; }, kBoxWaitMs);
            script(hwnd, DialogProbe::Of(dialog));
        });
        // Nothing more reaches the device once the dialog has gone.
        m_logAtClose = m_backend.Log().size();
        PumpMessages(200);
    }
    void Shoot(HWND hwnd, const std::wstring& name) {
        std::unique_ptr<Dib32> dib = RenderWindow(hwnd);
        m_shotsSaved += SaveScreenshot(*dib, name) ? 1 : 0;
    }
    size_t EndCommands() const {
        const auto sent = SentCommands();
        return size_t(std::count(sent.begin(), sent.end(), OTA_CMD_END));
    }
    std::vector<uint8_t> Marker() {
        return *m_files.GetFile(ToU16(TestDistDir()) + u"config\\ota.ini");
    }

    MemoryFileSystem m_files;
    TestDialog m_owner{600, 460};
    bool m_noImage = false;
    INT_PTR m_result = 0;
    size_t m_logAtClose = 0;
    int m_shotsSaved = 0;
};

TEST_F(FwUpdateDialogTest, AFinishedUpdateRelabelsExitAndMarksTheFile) {
    bool idleOk = false, doneOk = false;
    std::wstring status, exitText;
    Run([&](HWND hwnd, const DialogProbe& p) {
        idleOk = p.Shown(p.start) && !p.Shown(p.status) && !p.Shown(p.bar) &&
                 p.Text(p.exit) == Text(UiText::str_cancel) && p.Text(p.start) == Text(UiText::str_ok1);
        Click(hwnd, p.start);
        doneOk = p.WaitUntil([&] { return p.Text(p.exit) == Text(UiText::str_ok1); });
        status = p.Text(p.status);
        exitText = p.Text(p.exit);
        doneOk = doneOk && !p.Shown(p.start) && p.Shown(p.status) && p.Shown(p.bar);
        Click(hwnd, p.exit);
    });
    EXPECT_TRUE(idleOk);
    EXPECT_TRUE(doneOk);
    EXPECT_EQ(status, Text(UiText::str_msg24));
    EXPECT_EQ(m_result, IDCANCEL);
    EXPECT_EQ(m_device->Flash(), MakeTestFirmwareImage(104716)) << "the program's own image";
    EXPECT_EQ(EndCommands(), 1u);
    EXPECT_EQ(Marker(), std::vector<uint8_t>{1});
    EXPECT_EQ(g_otaReadHandle, kInvalidHidHandle);
    EXPECT_EQ(g_fwUpdateDlg, nullptr);
}

TEST_F(FwUpdateDialogTest, AFailedUpdateOffersStartAgain) {
    m_device->FaultNoReply(OTA_CMD_START, 100);
    bool failedOk = false;
    std::wstring status;
    Run([&](HWND hwnd, const DialogProbe& p) {
        Click(hwnd, p.start);
        failedOk = p.WaitUntil([&] { return p.Shown(p.start); }) &&
                   p.Text(p.exit) == Text(UiText::str_ok1);
        status = p.Text(p.status);
    });
    EXPECT_TRUE(failedOk);
    EXPECT_EQ(status, Text(UiText::str_msg23));
    EXPECT_EQ(EndCommands(), 0u);
    EXPECT_EQ(Marker(), std::vector<uint8_t>{0});
}

TEST_F(FwUpdateDialogTest, WithoutAnImageOrForAnotherMouseOnlyExitRemains) {
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round == 0 ? "no image" : "another model");
        m_noImage = round == 0;
        if (round == 1) g_otaProbeByte2 = 0;
        m_backend.ClearLog();
        bool ok = false;
        std::wstring status;
        Run([&](HWND hwnd, const DialogProbe& p) {
            Click(hwnd, p.start);
            ok = !p.Shown(p.start) && p.Shown(p.bar) && p.Shown(p.status) &&
                 p.Text(p.exit) == Text(UiText::str_cancel);
            status = p.Text(p.status);
        });
        EXPECT_TRUE(ok);
        EXPECT_EQ(status, Text(UiText::str_msg23));
        EXPECT_TRUE(m_backend.Log().empty()) << "nothing sent";
        EXPECT_EQ(g_otaWriteHandle, kInvalidHidHandle);
    }
}

// Enter and Escape, real keys as a stray hand gives them, pressed in the
// middle of an update: the update goes on to its end and the dialog stays.
TEST_F(FwUpdateDialogTest, EnterAndEscapeDuringAnUpdateLeaveItRunningToItsEnd) {
    bool keysTaken = false, openAfterKeys = false, done = false;
    std::wstring status;
    Run([&](HWND hwnd, const DialogProbe& p) {
        MessageSpy spy(hwnd, [](UINT msg) { return msg == WM_KEYDOWN || msg == WM_KEYUP; });
        if (!spy.ok()) return;
        // The worker waits at its 30th data packet until the dialog's thread
        // has taken both keys (the last release comes after the handling of
        // every press), so the update cannot end before they have had their say.
        std::atomic<int> packets{0};
        m_backend.WatchReports([&](const SimReport& r) {
            if (r.kind != SimReport::Kind::SetFeature || r.bytes.size() < 7 || r.bytes[6] != OTA_CMD_DATA) return;
            if (++packets != 30) return;
            SendKeys({VK_RETURN, VK_ESCAPE});
            keysTaken = spy.WaitFor(WM_KEYUP, 2, kHangLimitMs);
            // Read only from a dialog's thread that is free to answer.
            openAfterKeys = keysTaken && ::IsWindow(hwnd) && p.Text(p.status) == Text(UiText::str_msg22);
        });
        Click(hwnd, p.start);
        done = p.WaitUntil([&] { return !::IsWindow(hwnd) || p.Text(p.exit) == Text(UiText::str_ok1); });
        done = done && ::IsWindow(hwnd);
        status = p.Text(p.status);
        m_backend.WatchReports(nullptr);
        // With the update over, Escape closes the dialog again.
        SendKey(VK_ESCAPE);
        p.WaitUntil([&] { return !::IsWindow(hwnd); }, kBoxWaitMs);
    });
    m_backend.WatchReports(nullptr);
    EXPECT_EQ(m_result, IDCANCEL);
    EXPECT_TRUE(keysTaken) << "the keys did not reach the dialog";
    EXPECT_TRUE(openAfterKeys);
    EXPECT_TRUE(done) << "the dialog ended before the update";
    EXPECT_EQ(status, Text(UiText::str_msg24));
    EXPECT_EQ(m_device->Flash(), MakeTestFirmwareImage(104716)) << "the whole image";
    EXPECT_EQ(EndCommands(), 1u) << "only the update's own end";
    EXPECT_TRUE(m_device->ProtocolErrors().empty());
    EXPECT_EQ(Marker(), std::vector<uint8_t>{1});
}

// Every deliberate way of closing the dialog while the update runs ends it in order.
TEST_F(FwUpdateDialogTest, EveryCloseDuringAnUpdateStopsItInOrder) {
    SetClock(nullptr);  // the real clock: the update is still running when it closes
    struct Way {
        const char* name;
        std::function<void(HWND, const DialogProbe&)> close;
    };
    const Way ways[] = {
        {"Exit", [](HWND hwnd, const DialogProbe& p) { Click(hwnd, p.exit); }},
        {"WM_CLOSE", [](HWND hwnd, const DialogProbe&) { ::SendMessageW(hwnd, WM_CLOSE, 0, 0); }},
        {"the main window's exit", [](HWND, const DialogProbe&) { CloseFirmwareUpdateDialog(); }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        m_backend.ClearLog();
        bool running = false;
        RECT exitPlace{};
        Run([&](HWND hwnd, const DialogProbe& p) {
            Click(hwnd, p.start);
            // Well into the first block.
            running = p.WaitUntil([&] { return m_device->DataPackets() > 30; }) && !p.Shown(p.start) &&
                      p.Text(p.status) == Text(UiText::str_msg22);
            exitPlace = p.PlaceIn(p.exit);
            way.close(hwnd, p);
        });
        EXPECT_TRUE(running);
        EXPECT_EQ(exitPlace.left, 380);
        EXPECT_EQ(exitPlace.top, 360);
        EXPECT_EQ(exitPlace.right - exitPlace.left, 120);
        EXPECT_EQ(exitPlace.bottom - exitPlace.top, 40);
        const auto sent = SentCommands();
        EXPECT_EQ(EndCommands(), 1u);
        ASSERT_FALSE(sent.empty());
        EXPECT_EQ(sent.back(), OTA_CMD_END) << "the worker sent nothing after the end";
        EXPECT_EQ(m_backend.Log().size(), m_logAtClose) << "nothing after the dialog closed";
        EXPECT_EQ(g_fwUpdateRunning, 0);
        EXPECT_EQ(g_otaWriteHandle, kInvalidHidHandle);
        EXPECT_EQ(g_fwUpdateDlg, nullptr);
        EXPECT_TRUE(m_device->ProtocolErrors().empty());
        m_device = std::make_shared<SimOtaInterface>(kPath, std::vector<std::u16string>{});
        m_backend.Unplug(kPath);
        m_backend.Plug(m_device);
    }
}

TEST_F(FwUpdateDialogTest, ScreenshotsOfEveryStateInEnglishAndRussian) {
    for (const wchar_t* language : {L"enr", L"rus"}) {
        LoadLanguage(language);
        // Idle, then running with part of the image sent (on the real clock).
        SetClock(nullptr);
        Run([&](HWND hwnd, const DialogProbe& p) {
            Shoot(hwnd, FormatW(L"fw_update_idle_%s", language));
            Click(hwnd, p.start);
            p.WaitUntil([&] { return m_device->DataPackets() > 250; });
            Shoot(hwnd, FormatW(L"fw_update_running_%s", language));
            Click(hwnd, p.exit);
        });
        SetClock(&*m_clock);
        m_device = std::make_shared<SimOtaInterface>(kPath, std::vector<std::u16string>{});
        m_backend.Unplug(kPath);
        m_backend.Plug(m_device);
        Run([&](HWND hwnd, const DialogProbe& p) {
            Click(hwnd, p.start);
            p.WaitUntil([&] { return p.Text(p.exit) == Text(UiText::str_ok1); });
            Shoot(hwnd, FormatW(L"fw_update_done_%s", language));
        });
        m_device->FaultNoReply(OTA_CMD_START, 100);
        Run([&](HWND hwnd, const DialogProbe& p) {
            Click(hwnd, p.start);
            p.WaitUntil([&] { return p.Shown(p.start); });
            Shoot(hwnd, FormatW(L"fw_update_failed_%s", language));
        });
    }
    EXPECT_EQ(m_shotsSaved, 8);
}

}  // namespace
