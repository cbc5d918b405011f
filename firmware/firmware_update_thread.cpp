#include "firmware/firmware_update_thread.h"

namespace {

// Turns the update's reports into the dialog's messages, and holds back every
// post once the dialog asked the worker to stop: the dialog may be gone by then.
class PostingSink final : public FirmwareUpdateSink {
public:
    explicit PostingSink(const FirmwareUpdateJob& job) : m_job(job) {}

    void OnProgressRange(int32_t maximum) override { Post(UWM_FW_PROGRESS, 0, maximum); }
    void OnProgressPosition(int32_t position) override { Post(UWM_FW_PROGRESS, 1, position); }
    void OnResult(bool finished, FirmwareUpdateStep failedStep) override {
        Post(UWM_FW_RESULT, finished ? 1 : 0, finished ? 0 : intptr_t(failedStep));
    }
    bool StopRequested() override { return m_job.stop && m_job.stop->load(); }

private:
    void Post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
        if (!StopRequested() && m_job.dialog) m_job.dialog->Post(message, wParam, lParam);
    }

    const FirmwareUpdateJob& m_job;
};

}  // namespace

void FirmwareUpdateThreadProc(FirmwareUpdateJob job) {
    FirmwareUpdateOutcome outcome = FirmwareUpdateOutcome::Stopped;
    try {
        PostingSink sink(job);
        outcome = RunFirmwareUpdate(job.image, job.size, sink).outcome;
    } catch (...) {
        // Nothing may leave a thread entry; the dialog sees no result, and its
        // close path still ends the update in order.
    }
    if (job.outcome) job.outcome->store(int(outcome));
}

FirmwareUpdateWorker::~FirmwareUpdateWorker() {
    StopAndJoin();
}

bool FirmwareUpdateWorker::Start(const uint8_t* image, uint32_t size, MessageSink& dialog) {
    if (m_thread.joinable()) return false;
    m_stop = false;
    m_outcome = int(FirmwareUpdateOutcome::Stopped);
    FirmwareUpdateJob job;
    job.image = image;
    job.size = size;
    job.dialog = &dialog;
    job.stop = &m_stop;
    job.outcome = &m_outcome;
    try {
        m_thread = std::thread(FirmwareUpdateThreadProc, job);
    } catch (...) {
        return false;
    }
    return true;
}

FirmwareUpdateOutcome FirmwareUpdateWorker::StopAndJoin() {
    m_stop = true;
    return Join();
}

FirmwareUpdateOutcome FirmwareUpdateWorker::Join() {
    if (m_thread.joinable()) m_thread.join();
    return FirmwareUpdateOutcome(m_outcome.load());
}
