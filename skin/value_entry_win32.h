// The value-entry dialog, reached through two functions, so that owners need
// not know the dialog class and tests can put a handler of their own in place.
//
//     RunValueEntry(this, VALUE_ENTRY_KEY)    the virtual-key code of the key
//                                             pressed last; nothing after Cancel
//                                             or when no key came
//     RunValueEntry(this, VALUE_ENTRY_DELAY)  milliseconds, 0 to 65535
//     RunValueEntry(this, VALUE_ENTRY_DPI)    0 to the sensor's DPI maximum,
//                                             not yet rounded
//     RunNameEntry(this)                      the typed name (may be empty)
//
// Each runs a modal box owned by parent's top-level window.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "skin/value_entry_logic.h"

class CWnd;

// The entered value after OK, or nothing after Cancel.
using ValueEntryHandler = std::function<std::optional<uint32_t>(CWnd* parent, int mode)>;
using NameEntryHandler = std::function<std::optional<std::wstring>(CWnd* parent)>;

// An empty handler restores the dialog.
void SetValueEntryHandler(ValueEntryHandler handler);
void SetNameEntryHandler(NameEntryHandler handler);

// Modes 0 to 2; any other mode asks nothing.
std::optional<uint32_t> RunValueEntry(CWnd* parent, int mode);
std::optional<std::wstring> RunNameEntry(CWnd* parent);
