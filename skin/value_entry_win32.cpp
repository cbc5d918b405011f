#include "skin/value_entry_win32.h"

#include <utility>

namespace {
ValueEntryHandler& Handler() {
    static ValueEntryHandler handler;
    return handler;
}
}  // namespace

void SetValueEntryHandler(ValueEntryHandler handler) {
    Handler() = std::move(handler);
}

std::optional<uint32_t> RunValueEntry(CWnd* parent, int mode) {
    if (ValueEntryHandler& handler = Handler()) return handler(parent, mode);
    return std::nullopt;
}
