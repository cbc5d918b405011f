#include "firmware/fw_update_session.h"

#include "device/clock.h"
#include "device/discovery.h"
#include "device/hid_backend.h"
#include "firmware/ota_device.h"
#include "firmware/ota_marker.h"
#include "firmware/ota_protocol.h"

int32_t g_fwUpdateRunning = 0;

namespace {

// Only this kind and model of mouse takes the image the program carries.
constexpr uint8_t kQualifyingProbeKind = 7;
constexpr uint8_t kQualifyingProbeModel = 1;
constexpr uint8_t kUpdatePacketDelayMs = 10;
// The device needs this long after an end command that no reply confirms.
constexpr uint32_t kEndSettleMs = 100;

}  // namespace

FwUpdateSession::FwUpdateSession(MessageSink& dialog, ImageSource image)
    : m_dialog(dialog), m_image(std::move(image)) {}

FwUpdateSession::~FwUpdateSession() {
    Stop();
}

void FwUpdateSession::Start() {
    if (m_active) return;
    // A path found at start-up, or by an earlier Start, is used again.
    if (g_otaDevicePath.empty()) {
        EnumerateHidInterfaces();
        ChooseOtaDevice();
    }
    m_view.status = FwUpdateStatus::None;
    if (g_otaDevicePath.empty()) return ShowFailed();
    if (!OpenOtaHandles()) {
        // The interface is gone (unplugged since it was found): search again
        // at the next Start instead of retrying a dead path until restart.
        g_otaDevicePath.clear();
        return ShowFailed();
    }

    m_view.status = FwUpdateStatus::Running;
    m_view.barShown = true;
    m_view.startShown = false;
    m_view.exitMoved = true;

    const FirmwareImage image = m_image ? m_image() : FirmwareImage{};
    // An empty image, or one larger than the one-byte block counter holds, is
    // refused here, before anything reaches the mouse.
    if (g_otaProbeByte1 == kQualifyingProbeKind && g_otaProbeByte2 == kQualifyingProbeModel &&
        image.data && IsFirmwareImageSizeValid(image.size)) {
        g_otaImageSize = image.size;
        g_fwUpdateRunning = 1;
        g_otaPacketDelay = kUpdatePacketDelayMs;
        m_view.barPosition = m_view.barMinimum;
        if (m_worker.Start(image.data, image.size, m_dialog)) {
            m_active = true;
            return;
        }
        g_fwUpdateRunning = 0;
    }
    // Only Exit remains: the mouse does not take this image, or there is none.
    CloseOtaHandles();
    ShowFailed();
}

void FwUpdateSession::Stop() {
    if (!m_active) return;
    const FirmwareUpdateOutcome outcome = m_worker.StopAndJoin();
    if (outcome != FirmwareUpdateOutcome::Stopped) {
        // The worker ended on its own; its result is still on the way to the
        // dialog, which will not take it any more.
        ApplyResult(outcome == FirmwareUpdateOutcome::Finished);
        return;
    }
    m_active = false;
    // The worker no longer touches the protocol state: the end command cannot
    // interleave with its reports.
    if (g_fwUpdateRunning && g_otaWriteHandle != kInvalidHidHandle) {
        BuildOtaEndReport();
        GetHidBackend().SetFeature(g_otaWriteHandle, g_otaReport, OTA_REPORT_LENGTH);
        SleepMs(kEndSettleMs);
    }
    g_fwUpdateRunning = 0;
    CloseOtaHandles();
}

bool FwUpdateSession::OnProgress(uintptr_t wParam, intptr_t lParam) {
    if (!m_active) return false;
    if (wParam == 0) {
        m_view.barMinimum = 0;
        m_view.barMaximum = int32_t(lParam);
        return false;
    }
    if (wParam != 1) return false;
    const bool inRange = lParam >= m_view.barMinimum && lParam <= m_view.barMaximum;
    m_view.barPosition = inRange ? int32_t(lParam) : m_view.barMinimum;
    return true;
}

void FwUpdateSession::OnResult(uintptr_t wParam, intptr_t lParam) {
    // A result after a stop belongs to an update already ended in order.
    if (!m_active) return;
    // The result is the worker's last act: it is ending, and joins at once.
    m_worker.Join();
    ApplyResult(wParam == 1);
}

void FwUpdateSession::ApplyResult(bool finished) {
    m_active = false;
    g_fwUpdateRunning = 0;
    m_view.status = finished ? FwUpdateStatus::Done : FwUpdateStatus::Failed;
    m_view.exitSaysOk = true;
    // After a failure a second attempt may start; after success there is nothing left to do.
    m_view.startShown = !finished;
    if (finished) MarkFirmwareUpdated();
    CloseOtaHandles();
}
