// What a real mouse keeps in its own memory across power cycles (its settings
// and its macro slots), kept for the demo's simulated mouse in a file beside
// the program, so that the demo meets the mouse it left.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "sim/sim_mouse.h"

// The file's name in the program folder.
inline constexpr char16_t kSimMouseStateFileName[] = u"QuorvelDemoMouse.bin";

// The whole state in the file's layout: a tag, the fields in a fixed order
// (little-endian), the macro images, and a checksum over all before it.
std::vector<uint8_t> EncodeMouseState(const SimMouse& mouse);
// Takes the state from bytes in that layout. Bytes of another size, tag or
// checksum change nothing and give false.
bool DecodeMouseState(const std::vector<uint8_t>& bytes, SimMouse& mouse);

// Through the installed file system; a failed write leaves the old file whole.
bool SaveMouseState(const SimMouse& mouse, const std::u16string& path);
// False, with the mouse as it was, when the file is missing, short or broken.
bool LoadMouseState(const std::u16string& path, SimMouse& mouse);
