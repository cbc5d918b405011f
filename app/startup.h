// The parts of the program's start that need no window.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// The folder of a module path, with its trailing backslash; empty when the
// path holds no backslash. A path cut short inside the file name still gives
// the whole folder.
std::u16string FolderOfModulePath(std::u16string_view modulePath);

inline constexpr char16_t kUsbIdWired[] = u"VID_093a&PID_622c";
inline constexpr char16_t kUsbIdReceiver[] = u"VID_093a&PID_522c";
constexpr int kUsbWaitAttempts = 2;
constexpr unsigned kUsbWaitPauseMs = 500;

// Waits for one of the mouse's USB ids: up to two attempts, each followed by a
// pause of 500 ms when neither id is present. 0 when the cable's id was seen,
// 1 when only the receiver's was, -1 when neither appeared.
int WaitForMouseUsbIds(const std::function<bool(std::u16string_view hardwareId)>& isPresent);

// The profile slot whose number the profile button shows: the last slot in use
// that is marked active, or -1 when there is none.
int LastActiveProfileSlot();
