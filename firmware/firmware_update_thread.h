// The update worker as a thread: it streams the image and posts its progress
// and outcome to the update dialog, and it can be stopped and joined from the
// dialog's thread at any point of the update.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "device/message_sink.h"
#include "firmware/firmware_update.h"

// Posted by the worker to the update dialog.
// wParam 0: the range is 0 .. lParam; wParam 1: the position is lParam.
constexpr uint32_t UWM_FW_PROGRESS = 0x70A;
// wParam 1, lParam 0: the update finished; wParam 0: it failed at step lParam (1..6).
constexpr uint32_t UWM_FW_RESULT = 0x70B;

struct FirmwareUpdateJob {
    const uint8_t* image = nullptr;
    uint32_t size = 0;
    MessageSink* dialog = nullptr;     // where the progress and the result go
    std::atomic<bool>* stop = nullptr;  // once set, nothing more is sent or posted
    // Written by the worker just before it ends.
    std::atomic<int>* outcome = nullptr;  // a FirmwareUpdateOutcome
};

// The worker's body: the whole update over the open update handles.
void FirmwareUpdateThreadProc(FirmwareUpdateJob job);

// Owns the worker thread of one update at a time.
class FirmwareUpdateWorker {
public:
    FirmwareUpdateWorker() = default;
    ~FirmwareUpdateWorker();  // stops and joins a worker still running
    FirmwareUpdateWorker(const FirmwareUpdateWorker&) = delete;
    FirmwareUpdateWorker& operator=(const FirmwareUpdateWorker&) = delete;

    // Starts the update of size bytes from image; progress and result go to dialog.
    // A previous worker must have been joined.
    bool Start(const uint8_t* image, uint32_t size, MessageSink& dialog);
    // Tells the worker to stop and waits until it has ended. The outcome of
    // the update it ran: Stopped when the stop cut it short.
    FirmwareUpdateOutcome StopAndJoin();
    // Waits for a worker that has posted its result and is ending anyway.
    FirmwareUpdateOutcome Join();
    bool Active() const { return m_thread.joinable(); }
    // The worker was told to stop, from any thread; it may still be ending.
    bool StopRequested() const { return m_stop; }

private:
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<int> m_outcome{int(FirmwareUpdateOutcome::Stopped)};
};
