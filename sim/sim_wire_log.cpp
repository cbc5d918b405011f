#include "sim/sim_wire_log.h"

#include "device/file_system.h"

namespace {

const char* KindName(SimReport::Kind kind) {
    switch (kind) {
        case SimReport::Kind::SetFeature: return "set";
        case SimReport::Kind::GetFeature: return "get";
        case SimReport::Kind::Input: return "in";
        case SimReport::Kind::Output: return "out";
    }
    return "?";
}

}  // namespace

std::string FormatWireLog(const std::vector<SimReport>& log) {
    static const char kHex[] = "0123456789abcdef";
    std::string text;
    for (const SimReport& report : log) {
        text += std::to_string(report.time);
        text += ' ';
        text += KindName(report.kind);
        text += ' ';
        // Device paths are ASCII; anything else must not break the line's fields.
        for (char16_t c : report.path) text += (c > 0x20 && c < 0x7F) ? char(c) : '?';
        for (uint8_t byte : report.bytes) {
            text += ' ';
            text += kHex[byte >> 4];
            text += kHex[byte & 0x0F];
        }
        if (!report.ok) text += " failed";
        text += "\r\n";
    }
    return text;
}

bool WriteWireLog(const std::vector<SimReport>& log, const std::u16string& path) {
    const std::string text = FormatWireLog(log);
    return WriteWholeFile(path, text.data(), text.size()) == FileError::None;
}
