// The limit of a wait for something that must happen: only a hang reaches it,
// however busy the machine (a loaded machine slows a read of all settings
// several times over).
#pragma once

constexpr int kHangLimitMs = 60000;
