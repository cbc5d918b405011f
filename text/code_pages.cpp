#include "text/code_pages.h"

namespace {
CodePages* g_codePages = nullptr;
}  // namespace

void AppendCodePoint(std::u16string& out, uint32_t cp) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(char16_t(0xD800 + (cp >> 10)));
        out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(char16_t(cp));
    }
}

CodePages& GetCodePages() {
    return g_codePages ? *g_codePages : SystemCodePages();
}

void SetCodePages(CodePages* codePages) {
    g_codePages = codePages;
}

std::u16string DecodeCodePage(uint32_t codePage, std::string_view bytes) {
    std::u16string out;
    auto byteAt = [&](size_t i) { return uint32_t(uint8_t(bytes[i])); };
    switch (codePage) {
    case CODE_PAGE_UTF16LE:
    case CODE_PAGE_UTF16BE: {
        bool big = codePage == CODE_PAGE_UTF16BE;
        out.reserve(bytes.size() / 2);
        for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
            uint32_t lo = byteAt(i + (big ? 1 : 0)), hi = byteAt(i + (big ? 0 : 1));
            out.push_back(char16_t(lo | hi << 8));
        }
        return out;
    }
    case CODE_PAGE_UTF32:
        out.reserve(bytes.size() / 4);
        for (size_t i = 0; i + 3 < bytes.size(); i += 4) {
            uint32_t cp = byteAt(i) | byteAt(i + 1) << 8 | byteAt(i + 2) << 16 | byteAt(i + 3) << 24;
            AppendCodePoint(out, cp <= 0x10FFFF ? cp : 0xFFFD);
        }
        return out;
    default:
        GetCodePages().ToUtf16(codePage, bytes, out);
        return out;
    }
}
