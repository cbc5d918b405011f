// The marker file "config\ota.ini" beside the program: its first byte says
// whether the mouse still waits for its firmware update (0) or had it (1).
// The byte is binary, not a digit; an empty file counts as 0.
#pragma once

#include <cstdint>
#include <optional>

// The marker's first byte, 0 for an empty file; nothing when the file cannot
// be opened for reading and writing (it is never created).
std::optional<uint16_t> ReadOtaMarker();

// Whether the device picker opens the update dialog at start-up: a marker of
// 0, or of 1 for the firmware id words of the two releases that need another
// update.
bool ShouldOpenFirmwareUpdate(std::optional<uint16_t> marker, uint16_t fwIdWord);

// After a finished update: a marker of 0 becomes 1. A missing file stays missing.
void MarkFirmwareUpdated();
