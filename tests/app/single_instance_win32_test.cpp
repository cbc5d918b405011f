// The program as a process: the demo started twice from a folder of its own.
// The second start ends at once and leaves the first one as it was.
#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/main_window/harness_win32.h"
#include "framework/strings.h"
#include "sim/sim_ota_device.h"
#include "support/window_harness_win32.h"

namespace {

using namespace e2e;

// The visible top-level windows titled "Brantis Driver" of one process.
std::vector<HWND> MainWindowsOf(DWORD processId) {
    struct Search {
        DWORD pid;
        std::vector<HWND> found;
    } search{processId, {}};
    ::EnumWindows(
        [](HWND hwnd, LPARAM lp) -> BOOL {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD pid = 0;
            ::GetWindowThreadProcessId(hwnd, &pid);
            wchar_t title[64] = {};
            ::GetWindowTextW(hwnd, title, 64);
            if (pid == s->pid && ::IsWindowVisible(hwnd) && std::wcscmp(title, L"Brantis Driver") == 0)
                s->found.push_back(hwnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class Process {
public:
    bool Start(const std::wstring& exe, const std::wstring& folder) {
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        std::wstring commandLine = L"\"" + exe + L"\"";
        return ::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                folder.c_str(), &startup, &m_info) != FALSE;
    }
    ~Process() {
        if (m_info.hProcess) {
            if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) ::TerminateProcess(m_info.hProcess, 99);
            ::CloseHandle(m_info.hProcess);
            ::CloseHandle(m_info.hThread);
        }
    }
    DWORD Id() const { return m_info.dwProcessId; }
    // True once the process waits for input with none left to handle.
    bool WaitUntilIdle(DWORD milliseconds) const {
        return ::WaitForInputIdle(m_info.hProcess, milliseconds) == 0;
    }
    // True when the process ended within the time.
    bool Wait(DWORD milliseconds) const {
        return ::WaitForSingleObject(m_info.hProcess, milliseconds) == WAIT_OBJECT_0;
    }
    DWORD ExitCode() const {
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(m_info.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION m_info{};
};

std::wstring DemoFolder() {
    std::wstring folder = TestTempDir() + L"demo";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ::CopyFileW((TestDistDir() + L"QuorvelDemo.exe").c_str(), (folder + L"\\QuorvelDemo.exe").c_str(), FALSE);
    CopyTree(TestDistDir() + L"skins", folder + L"\\skins");
    CopyTree(TestDistDir() + L"language", folder + L"\\language");
    CopyTree(TestDistDir() + L"config", folder + L"\\config");
    return folder;
}

TEST(SingleInstanceTest, SecondStartEndsAtOnceAndLeavesTheFirstAlone) {
    std::wstring folder = DemoFolder();
    std::wstring exe = folder + L"\\QuorvelDemo.exe";
    ASSERT_NE(::GetFileAttributesW(exe.c_str()), INVALID_FILE_ATTRIBUTES) << "the demo is not built";

    Process first;
    ASSERT_TRUE(first.Start(exe, folder));
    HWND window = nullptr;
    ASSERT_TRUE(WaitFor(
        [&] {
            auto windows = MainWindowsOf(first.Id());
            window = windows.empty() ? nullptr : windows.front();
            return window != nullptr;
        },
        kHangLimitMs))
        << "the first instance shows no window";
    EXPECT_TRUE(first.WaitUntilIdle(20000)) << "the first instance is still starting up";
    RECT before{};
    ::GetWindowRect(window, &before);
    HWND foregroundBefore = ::GetForegroundWindow();

    Process second;
    ASSERT_TRUE(second.Start(exe, folder));
    auto started = Clock::now();
    ASSERT_TRUE(second.Wait(kHangLimitMs)) << "the second instance did not end";
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
    EXPECT_LT(took, 5000) << "the second instance should end at once";
    EXPECT_EQ(second.ExitCode(), 0u);

    // The first instance is untouched: same single window, same place, not brought forward.
    std::vector<HWND> after = MainWindowsOf(first.Id());
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after.front(), window);
    RECT rectAfter{};
    ::GetWindowRect(window, &rectAfter);
    EXPECT_TRUE(::EqualRect(&before, &rectAfter));
    // Other test programs share the display and may take the foreground; only
    // a first instance brought forward would show up here.
    if (foregroundBefore != window) {
        EXPECT_NE(::GetForegroundWindow(), window);
    }
    EXPECT_FALSE(first.Wait(0)) << "the first instance still runs";

    // Closing the main window ends the process.
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.Wait(kHangLimitMs)) << "closing did not end the first instance";
    EXPECT_EQ(first.ExitCode(), 0u);
}

TEST(SingleInstanceTest, TheDemoCarriesTheTestFirmwareImage) {
    std::wstring exe = TestDistDir() + L"QuorvelDemo.exe";
    HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(152), L"BIN");
    ASSERT_NE(resource, nullptr);
    DWORD size = ::SizeofResource(module, resource);
    const auto* bytes = static_cast<const uint8_t*>(::LockResource(::LoadResource(module, resource)));
    ASSERT_NE(bytes, nullptr);
    std::vector<uint8_t> image(bytes, bytes + size);
    ::FreeLibrary(module);
    EXPECT_EQ(image, MakeTestFirmwareImage(size)) << "the embedded image is the simulator's test image";
    EXPECT_EQ(size, 104716u);
}

// The product is built here without an image given to the build: it carries none.
TEST(SingleInstanceTest, TheProductCarriesNoImageOfItsOwn) {
    std::wstring exe = TestDistDir() + L"Quorvel.exe";
    HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(::FindResourceW(module, MAKEINTRESOURCEW(152), L"BIN"), nullptr);
    ::FreeLibrary(module);
}

}  // namespace
