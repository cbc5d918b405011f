// What the firmware update dialog decides, without its window: Start finds and
// opens the update interface and starts the worker; the worker's posts move the
// bar and end the update; every way of closing the dialog stops a running
// update in order. The window shows View() and forwards its messages here.
#pragma once

#include <cstdint>
#include <functional>

#include "device/message_sink.h"
#include "firmware/firmware_image.h"
#include "firmware/firmware_update_thread.h"

// 1 from a successful start until the result arrives or the update is stopped.
extern int32_t g_fwUpdateRunning;

// The status line's texts.
enum class FwUpdateStatus {
    None,     // hidden
    Running,  // str_msg22
    Failed,   // str_msg23: no mouse found, or the update failed
    Done,     // str_msg24
};

struct FwUpdateView {
    FwUpdateStatus status = FwUpdateStatus::None;
    bool barShown = false;
    bool startShown = true;
    bool exitMoved = false;   // to its place beside the bar, once Start was pressed
    bool exitSaysOk = false;  // str_ok1 after a result, str_cancel before
    int32_t barMinimum = 0;
    int32_t barMaximum = 0;
    int32_t barPosition = 0;
};

class FwUpdateSession {
public:
    using ImageSource = std::function<FirmwareImage()>;

    // dialog: where the worker posts UWM_FW_PROGRESS and UWM_FW_RESULT.
    FwUpdateSession(MessageSink& dialog, ImageSource image);
    ~FwUpdateSession();  // stops a running update
    FwUpdateSession(const FwUpdateSession&) = delete;
    FwUpdateSession& operator=(const FwUpdateSession&) = delete;

    // The Start button.
    void Start();
    // Every way of closing the dialog. A running worker is told to stop and
    // joined; only then, when the stop cut the update short, the end command
    // goes out, once. The handles are closed after that.
    void Stop();
    // UWM_FW_PROGRESS: true when the bar's position changed and it must repaint.
    bool OnProgress(uintptr_t wParam, intptr_t lParam);
    // UWM_FW_RESULT.
    void OnResult(uintptr_t wParam, intptr_t lParam);

    const FwUpdateView& View() const { return m_view; }
    // A worker was started and its result not taken yet.
    bool Running() const { return m_active; }
    // Stop has told the worker to stop (it may be waiting for it on another thread).
    bool StopRequested() const { return m_worker.StopRequested(); }

private:
    void ShowFailed() {
        m_view.status = FwUpdateStatus::Failed;
    }
    void ApplyResult(bool finished);

    MessageSink& m_dialog;
    ImageSource m_image;
    FirmwareUpdateWorker m_worker;
    FwUpdateView m_view;
    bool m_active = false;
};
