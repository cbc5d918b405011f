// The reports that passed the simulated HID stack, as a text file a test
// driven from outside the program can read: one report a line, in order.
#pragma once

#include <string>
#include <vector>

#include "sim/sim_hid_backend.h"

// "<tick> <set|get|in|out> <path> <hex bytes>", with " failed" after a report
// that did not pass.
std::string FormatWireLog(const std::vector<SimReport>& log);

// Through the installed file system; false when the file could not be written whole.
bool WriteWireLog(const std::vector<SimReport>& log, const std::u16string& path);
