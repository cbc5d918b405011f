// The three boxes the button page opens, reached through one function each,
// so that the page need not know the dialog classes and tests can put a
// handler of their own in place.
//
//     RunFireKeyDialog(this, driver)
//                              true after OK; the box has stored the fire-key
//                              values and sent them through driver itself
//     RunKeyComboDialog(this)  the keyboard ButtonFunctionCode after OK;
//                              nothing after Cancel or with nothing chosen
//     RunMacroPicker(this)     the chosen macro's id; nothing after Cancel or
//                              when no macro was selected
//
// Each runs a modal box owned by parent's top-level window.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

class CUSBDriver;
class CWnd;

using FireKeyHandler = std::function<bool(CWnd* parent)>;
using KeyComboHandler = std::function<std::optional<uint32_t>(CWnd* parent)>;
using MacroPickerHandler = std::function<std::optional<uint32_t>(CWnd* parent)>;

// An empty handler restores the dialog.
void SetFireKeyHandler(FireKeyHandler handler);
void SetKeyComboHandler(KeyComboHandler handler);
void SetMacroPickerHandler(MacroPickerHandler handler);

// A null driver: the values are stored only.
bool RunFireKeyDialog(CWnd* parent, CUSBDriver* driver);
std::optional<uint32_t> RunKeyComboDialog(CWnd* parent);
std::optional<uint32_t> RunMacroPicker(CWnd* parent);
