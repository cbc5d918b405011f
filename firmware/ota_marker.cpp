#include "firmware/ota_marker.h"

#include "device/file_system.h"

namespace {

constexpr char16_t kMarkerFile[] = u"config\\ota.ini";

std::unique_ptr<File> OpenMarker() {
    return GetFileSystem().Open(ProgramFolder() + kMarkerFile, FileOpenMode::ReadWriteExisting,
                                nullptr);
}

uint16_t ReadFirstByte(File& file) {
    uint8_t byte = 0;
    file.Read(&byte, 1);
    return byte;
}

}  // namespace

std::optional<uint16_t> ReadOtaMarker() {
    std::unique_ptr<File> file = OpenMarker();
    if (!file) return std::nullopt;
    return ReadFirstByte(*file);
}

bool ShouldOpenFirmwareUpdate(std::optional<uint16_t> marker, uint16_t fwIdWord) {
    if (!marker) return false;
    if (*marker == 0) return true;
    return *marker == 1 && (fwIdWord == 0x341D || fwIdWord == 0x5560);
}

void MarkFirmwareUpdated() {
    std::unique_ptr<File> file = OpenMarker();
    if (!file || ReadFirstByte(*file) != 0) return;
    const uint8_t done = 1;
    if (file->SeekToStart()) file->Write(&done, 1);
}
