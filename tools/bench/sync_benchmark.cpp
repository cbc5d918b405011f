// How much time the read and the write of all settings, and a firmware update,
// take beyond the pauses the mouse needs. Runs them against the simulated mouse
// on the real clock and prints each pass's wall time as a ratio to the sum of
// its prescribed pauses: the sync's own pauses, the 10 ms every get waits for
// its reply, and, for a macro button, the chunk transfer's pauses and, when the
// read stores the mouse's macro, the macro store's save; for the update, the
// pause after each command and each data packet and the settle time before each
// group checksum. The read of a macro button runs twice: with the store's copy
// the very macro the mouse holds (kept, nothing saved) and with a copy that
// differs (the mouse's replaces it, and the store is saved).
// Not part of the test run: it takes about a minute and a half.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "device/device_state.h"
#include "device/device_tables.h"
#include "device/file_system.h"
#include "device/macro_store.h"
#include "device/profiles.h"
#include "device/settings.h"
#include "device/sync_threads.h"
#include "device/usb_driver.h"
#include "firmware/firmware_update.h"
#include "firmware/ota_device.h"
#include "firmware/ota_protocol.h"
#include "sim/memory_file_system.h"
#include "sim/sim_hid_backend.h"
#include "sim/sim_mouse.h"
#include "sim/sim_ota_device.h"
#include "text/u16_buffer.h"

namespace {

const std::u16string kPath = u"\\\\?\\hid#vid_093a&pid_622c&mi_01#7&1bench&0&0000#{4d1e55b2}";
constexpr char16_t kFolder[] = u"C:\\Quorvel\\";
const std::u16string kOtaPath = u"\\\\?\\hid#vid_093a&pid_622c&mi_01&col02#7&1bench&0&0001";
constexpr uint32_t kMacroId = 0x15000001;
// The image the update streams: the size of the one the program carries.
constexpr uint32_t kFirmwareSize = 104716;

// Counts the macros a read put into the store: each one saved the store.
class CountingSink final : public SyncSink {
public:
    void Progress(int) override {}
    void CloseProgress() override {}
    void Done() override {}
    void Notice(std::u16string_view) override {}
    void MacroStoreChanged() override { ++storeSaves; }

    int storeSaves = 0;
};

class NullUpdateSink final : public FirmwareUpdateSink {
public:
    void OnProgressRange(int32_t) override {}
    void OnProgressPosition(int32_t) override {}
    void OnResult(bool, FirmwareUpdateStep) override {}
};

// The whole update of the test image, as the update dialog runs it; the ratio,
// or 0 when the update did not finish.
double FirmwareUpdatePass(SimHidBackend& backend) {
    auto device = std::make_shared<SimOtaInterface>(kOtaPath, std::vector<std::u16string>{});
    backend.Plug(device);
    g_otaDevicePath = kOtaPath;
    if (!OpenOtaHandles()) {
        std::fprintf(stderr, "sync_benchmark: the update interface did not open\n");
        return 0;
    }
    g_otaPacketDelay = 10;  // what the update dialog sets
    const std::vector<uint8_t> image = MakeTestFirmwareImage(kFirmwareSize);
    NullUpdateSink sink;
    const auto start = std::chrono::steady_clock::now();
    const FirmwareUpdateResult result = RunFirmwareUpdate(image.data(), kFirmwareSize, sink);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    CloseOtaHandles();
    const uint64_t pauses = PrescribedFirmwareUpdateMs(kFirmwareSize, OTA_DEFAULT_PACKET_SIZE,
                                                       OTA_DEFAULT_PACKETS_PER_GROUP, 10);
    const bool ok = result.outcome == FirmwareUpdateOutcome::Finished && device->Flash() == image;
    std::printf("%-22s %10.1f %10llu %7.4f%s\n", "firmware update", ms,
                static_cast<unsigned long long>(pauses), ms / pauses, ok ? "" : "  (failed)");
    return ok ? ms / pauses : 0;
}

struct Pass {
    const char* name;
    bool write;
    uint8_t sensor;
    int macros;  // macro buttons
    // The store's copy of the macro is changed before the pass, so that a read
    // finds it differs from the mouse's and stores the mouse's.
    bool storedDiffers = false;
};

// The pauses, in milliseconds, that each step of a pass keeps for the mouse;
// storeSaves is how many times the read saved the macro store (which is there
// already, so each save waits before it writes and after).
uint32_t ReadPauses(bool yAxis, bool led, int macros, int storeSaves) {
    const uint32_t levels = yAxis ? 12 : 6;
    uint32_t sync = 50 + 100 + 80 + 80 * levels + 80 + 80 + 8 * 80 + 5 * 100 + 100 * macros +
                    80 + 50 + 50;
    uint32_t replies = 10 * (1 + levels + 1 + 8 + 5 + (led ? 1 : 0));
    uint32_t downloads = macros * 10 * 100;
    uint32_t saves = storeSaves * (100 + 100);
    return sync + replies + downloads + saves;
}

uint32_t WritePauses(bool yAxis, int macros) {
    const uint32_t levels = yAxis ? 12 : 6;
    uint32_t sync = 50 + 150 + 150 + 200 * levels + 150 + 150 + 8 * 150 + 5 * 100 +
                    macros * (500 + 100 + 50) + 100 + 100 + 50;
    uint32_t uploads = macros * 10 * (40 + 60);
    return sync + uploads;
}

}  // namespace

int main() {
    SimHidBackend backend;
    SetHidBackend(&backend);
    auto mouse = std::make_shared<SimMouse>();
    backend.Plug(std::make_shared<SimMouseInterface>(
        SimMouseInterface::CommandInterface(kPath, PRODUCT_ID_WIRED, u"7&1bench"), mouse,
        SimDeviceInfo{}, SimLinkInfo{}));
    MemoryFileSystem files;
    files.AddFolder(kFolder);
    SetFileSystem(&files);
    SetProgramFolder(kFolder);
    files.PutFile(std::u16string(kFolder) + u"MFile.ini", std::vector<uint8_t>(sizeof(MacroStore)));
    g_activeProfile = &g_profileSlots[0];
    g_linkType = 2;

    MacroRecord& macro = g_macroStore.records[0];
    const MacroEvent events[] = {MakeMacroEvent(MACRO_EVENT_PRESS, 'A'),
                                 MakeMacroEvent(MACRO_EVENT_DELAY, 50),
                                 MakeMacroEvent(MACRO_EVENT_RELEASE, 'A')};
    macro.size = 104 + sizeof(events);
    macro.magic = MACRO_MAGIC;
    macro.macroId = kMacroId;
    macro.repeatCount = 1;
    macro.eventCount = 3;
    std::memcpy(macro.events, events, sizeof(events));
    CopyToBuffer(macro.name, u"Bench");

    {
        CUSBDriver driver;
        if (!driver.Open(kPath, REPORT_ID_MOUSE, 8, nullptr)) {
            std::fprintf(stderr, "sync_benchmark: the simulated mouse did not open\n");
            return 1;
        }
        CountingSink sink;
        SyncJob job;
        job.driver = &driver;
        job.sink = &sink;
        job.linkMode = 0;

        const Pass passes[] = {
            {"write-all", true, 0xE1, 0},       {"read-all", false, 0xE1, 0},
            {"write-all, X and Y", true, 0xF0, 0}, {"read-all, X and Y", false, 0xF0, 0},
            {"write-all, 1 macro", true, 0xE1, 1}, {"read-all, macro kept", false, 0xE1, 1},
            {"read-all, macro saved", false, 0xE1, 1, true},
        };
        std::printf("%-22s %10s %10s %7s\n", "pass", "time ms", "pauses ms", "ratio");
        double worst = 0;
        bool pathsRight = true;
        for (const Pass& pass : passes) {
            // Another key: the record no longer encodes to what the mouse holds.
            if (pass.storedDiffers) {
                macro.events[0] = MakeMacroEvent(MACRO_EVENT_PRESS, 'B');
                macro.events[2] = MakeMacroEvent(MACRO_EVENT_RELEASE, 'B');
            }
            g_sensorType = pass.sensor;
            ResetSettingsToDefaults(g_settings);
            for (int i = 0; i < pass.macros; ++i) {
                g_settings.buttons[i].functionId = FUNC_MACRO;
                g_settings.buttons[i].macroId = int32_t(kMacroId);
            }
            const bool yAxis = SensorHasYAxis(pass.sensor);

            sink.storeSaves = 0;
            const auto start = std::chrono::steady_clock::now();
            pass.write ? WriteAllSettingsThread(job) : ReadAllSettingsThread(job);
            const double ms = std::chrono::duration<double, std::milli>(
                                  std::chrono::steady_clock::now() - start)
                                  .count();
            // The pauses of the path the read took; a read that saved when the
            // stored copy matched, or kept one that differed, is reported.
            const uint32_t pauses = pass.write ? WritePauses(yAxis, pass.macros)
                                               : ReadPauses(yAxis, true, pass.macros, sink.storeSaves);
            const int expectedSaves = pass.storedDiffers ? pass.macros : 0;
            const double ratio = ms / pauses;
            worst = ratio > worst ? ratio : worst;
            std::printf("%-22s %10.1f %10u %7.4f", pass.name, ms, pauses, ratio);
            if (sink.storeSaves != expectedSaves) {
                std::printf("  (saved the store %d times, not %d)", sink.storeSaves, expectedSaves);
                pathsRight = false;
            }
            std::printf("\n");
        }
        const double update = FirmwareUpdatePass(backend);
        if (update == 0 || !pathsRight) return 1;
        worst = update > worst ? update : worst;
        std::printf("worst ratio %.4f (goal: at most 1.05)\n", worst);
    }
    SetFileSystem(nullptr);
    SetHidBackend(nullptr);
    return 0;
}
