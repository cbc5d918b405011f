// The two workers that move the whole settings record between g_settings and
// the mouse: the read of all settings after connecting, and the write of all
// settings after an import, a reset or a profile switch. Each runs behind a
// modal progress view that it drives, and that only it closes.
#pragma once

#include <atomic>
#include <cstdint>
#include <string_view>
#include <thread>

#include "device/button_macro_ids.h"
#include "device/settings.h"

class CUSBDriver;

constexpr uint32_t UWM_PROGRESS_POS = 0x42B;  // wParam: position 0..100
constexpr uint32_t UWM_SYNC_DONE = 0x703;

// What a worker tells the windows. The Windows program posts UWM_PROGRESS_POS to
// the progress view, closes it with WM_CLOSE, posts UWM_SYNC_DONE to the main
// window and shows notices as message boxes; tests record the calls.
class SyncSink {
public:
    virtual ~SyncSink() = default;
    virtual void Progress(int position) = 0;
    // The last call of every worker, on every path.
    virtual void CloseProgress() = 0;
    // The pass ran to its end: the main window saves the slot table and the profile.
    virtual void Done() = 0;
    virtual void Notice(std::u16string_view text) = 0;
    // A macro read from the mouse went into the store: the macro editor reloads its list.
    virtual void MacroStoreChanged() {}
};

struct SyncJob {
    CUSBDriver* driver = nullptr;
    SyncSink* sink = nullptr;
    // The main window's connection index when the worker starts; -1 when no
    // connection is open.
    int32_t linkMode = -1;
    // The starter's own running flag, set with g_syncBusy before the worker starts.
    std::atomic<int32_t>* running = nullptr;
    // Set by the write of all settings before it ends: 1 when every command and
    // macro went out, 0 when the mouse refused one or was gone. The pass itself
    // never stops for a failure.
    std::atomic<int32_t>* allSent = nullptr;
};

// The worker bodies; they run on the calling thread (tests call them directly)
// and clear the sync flags when they end.
void ReadAllSettingsThread(const SyncJob& job);
void WriteAllSettingsThread(const SyncJob& job);

// Sets g_syncBusy and the job's running flag here, on the caller's thread, and
// then runs body on a thread of its own. The caller runs the progress view
// modally and joins the thread after it closes.
std::thread StartSyncThread(void (*body)(const SyncJob&), const SyncJob& job);

// Fetches the macro in the mouse's slot deviceButton into the macro store and
// assigns it to record buttonIndex of g_settings. False when the slot is empty.
bool ReadDeviceMacro(const SyncJob& job, uint8_t deviceButton, int buttonIndex);
