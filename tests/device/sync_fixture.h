// A connected simulated mouse for the sync workers: the simulated HID stack
// with one cable command interface, a driver opened on it, a clock that only
// pretends to wait, the macro store on in-memory files and a sink that records
// what the worker told the windows.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device/clock.h"
#include "device/device_tables.h"
#include "device/device_state.h"
#include "device/file_system.h"
#include "device/macro_store.h"
#include "device/profiles.h"
#include "device/settings.h"
#include "device/sync_threads.h"
#include "device/usb_driver.h"
#include "sim/memory_file_system.h"
#include "sim/sim_mouse.h"

namespace sync_test {

using Bytes = std::vector<uint8_t>;

inline const std::u16string kPath =
    u"\\\\?\\hid#vid_093a&pid_622c&mi_01#7&2a3b4c5d&0&0000#{4d1e55b2}";
constexpr char16_t kFolder[] = u"C:\\Quorvel\\";

// Virtual time that moves only when someone sleeps, and can do one thing at a
// set moment (pull the cable, say) from inside the sleep that reaches it.
class TestClock final : public Clock {
public:
    uint32_t TickCount() override { return m_now.load(); }
    void Sleep(uint32_t milliseconds) override {
        const uint32_t now = m_now.fetch_add(milliseconds) + milliseconds;
        std::function<void()> action;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_action && now >= m_actionAt) {
                action = std::move(m_action);
                m_action = nullptr;
            }
        }
        if (action) action();
    }
    void At(uint32_t time, std::function<void()> action) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_actionAt = time;
        m_action = std::move(action);
    }

private:
    std::atomic<uint32_t> m_now{1000};
    std::mutex m_mutex;
    uint32_t m_actionAt = 0;
    std::function<void()> m_action;
};

// What a worker told the windows, with the time and the sync flags at that call.
struct SinkCall {
    enum Kind { Progress, Close, Done, Notice, MacroStoreChanged } kind;
    int position;
    std::u16string text;
    uint32_t time = 0;
    uint32_t busy = 0;
};

class RecordingSyncSink final : public SyncSink {
public:
    void Progress(int position) override { Add({SinkCall::Progress, position, {}}); }
    void CloseProgress() override { Add({SinkCall::Close, 0, {}}); }
    void Done() override { Add({SinkCall::Done, 0, {}}); }
    void Notice(std::u16string_view text) override {
        Add({SinkCall::Notice, 0, std::u16string(text)});
    }
    void MacroStoreChanged() override { Add({SinkCall::MacroStoreChanged, 0, {}}); }

    std::vector<SinkCall> Calls() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }
    std::vector<int> Positions() const {
        std::vector<int> out;
        for (const SinkCall& c : Calls())
            if (c.kind == SinkCall::Progress) out.push_back(c.position);
        return out;
    }
    void Clear() {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.clear();
    }
    int Count(SinkCall::Kind kind) const {
        int n = 0;
        for (const SinkCall& c : Calls()) n += c.kind == kind;
        return n;
    }

private:
    void Add(SinkCall call) {
        call.time = GetClock().TickCount();
        call.busy = LoadSyncBusy();
        std::lock_guard<std::mutex> lock(m_mutex);
        m_calls.push_back(std::move(call));
    }
    mutable std::mutex m_mutex;
    std::vector<SinkCall> m_calls;
};

// Sits between the stack and the mouse's interface and spoils chosen commands:
// a get whose request matches fails, or a button's reply names another button.
class FaultyCommands final : public SimHidInterface {
public:
    explicit FaultyCommands(std::shared_ptr<SimMouseInterface> inner)
        : SimHidInterface(inner->Description()), m_inner(std::move(inner)) {}

    // sub < 0 matches any byte 2.
    void FailRequest(uint8_t command, int sub) { m_failing.push_back({command, sub}); }
    void WrongButtonEcho(uint8_t deviceButton) { m_wrongEcho = deviceButton; }

    bool HandleSetFeature(const uint8_t* data, size_t length) override {
        m_lastCommand = data[1];
        m_lastSub = data[2];
        for (const auto& [command, sub] : m_failing)
            if (data[1] == command && (sub < 0 || data[2] == sub)) return false;
        return m_inner->HandleSetFeature(data, length);
    }
    bool HandleGetFeature(uint8_t* data, size_t length) override {
        const bool ok = m_inner->HandleGetFeature(data, length);
        if (ok && m_lastCommand == CMD_GET_BUTTON && m_lastSub == m_wrongEcho) data[2] ^= 0x01;
        return ok;
    }
    bool HandleOutputReport(const uint8_t* data, size_t length) override {
        return m_inner->HandleOutputReport(data, length);
    }

private:
    std::shared_ptr<SimMouseInterface> m_inner;
    std::vector<std::pair<uint8_t, int>> m_failing;
    int m_wrongEcho = -1;
    uint8_t m_lastCommand = 0;
    uint8_t m_lastSub = 0;
};

// One feature report the worker sent, with its time.
struct SentFrame {
    uint32_t time;
    Bytes bytes;  // the 9 bytes as sent
};

class SyncFixture : public ::testing::Test {
protected:
    SyncFixture()
        : mouse(std::make_shared<SimMouse>()),
          iface(std::make_shared<SimMouseInterface>(
              SimMouseInterface::CommandInterface(kPath, PRODUCT_ID_WIRED, u"7&2a3b4c5d"), mouse,
              SimDeviceInfo{}, SimLinkInfo{})),
          faults(std::make_shared<FaultyCommands>(iface)) {
        SetClock(&clock);
        SetHidBackend(&backend);
        backend.Plug(faults);
        files.AddFolder(kFolder);
        SetFileSystem(&files);
        SetProgramFolder(kFolder);
        std::memset(&g_macroStore, 0, sizeof(g_macroStore));
        std::memset(g_profileSlots, 0, sizeof(g_profileSlots));
        g_activeProfile = &g_profileSlots[1];
        ClearButtonMacroIds();
        g_settings = SettingsImage{};
        g_sensorType = 0xE1;
        g_linkType = 1;
        StoreSyncBusy(0);
    }
    ~SyncFixture() override {
        driver.reset();
        SetHidBackend(nullptr);
        SetFileSystem(nullptr);
        SetProgramFolder(u"");
        SetClock(nullptr);
        g_activeProfile = nullptr;
        StoreSyncBusy(0);
    }

    void Connect() {
        ASSERT_TRUE(driver->Open(kPath, REPORT_ID_MOUSE, 8, nullptr));
        backend.ClearLog();
    }

    SyncJob Job(int32_t linkMode = 0) {
        SyncJob job;
        job.driver = driver.get();
        job.sink = &sink;
        job.linkMode = linkMode;
        job.running = &running;
        allSent = -1;
        job.allSent = &allSent;
        return job;
    }

    // The settings commands that reached the mouse, without the macro chunks.
    std::vector<SentFrame> SentFrames() const {
        std::vector<SentFrame> out;
        for (const SimReport& r : backend.Log()) {
            if (r.kind != SimReport::Kind::SetFeature || r.bytes.size() != FEATURE_REPORT_SIZE)
                continue;
            const uint8_t command = r.bytes[1];
            if (command == CMD_WRITE_MACRO_CHUNK || command == CMD_READ_MACRO_CHUNK) continue;
            out.push_back({r.time, r.bytes});
        }
        return out;
    }
    std::vector<uint8_t> CommandsSent() const {
        std::vector<uint8_t> out;
        for (const SentFrame& f : SentFrames()) out.push_back(f.bytes[1]);
        return out;
    }


    TestClock clock;
    SimHidBackend backend;
    MemoryFileSystem files;
    RecordingSyncSink sink;
    std::atomic<int32_t> running{0};
    std::atomic<int32_t> allSent{-1};  // what the last write told of itself
    std::shared_ptr<SimMouse> mouse;
    std::shared_ptr<SimMouseInterface> iface;
    std::shared_ptr<FaultyCommands> faults;
    std::unique_ptr<CUSBDriver> driver = std::make_unique<CUSBDriver>();
};

}  // namespace sync_test
