#include <windows.h>

#include <climits>

#include "text/code_pages.h"

namespace {

UINT SystemPage(uint32_t codePage) {
    switch (codePage) {
    case CODE_PAGE_ANSI: return CP_ACP;
    case CODE_PAGE_OEM: return CP_OEMCP;
    default: return codePage;
    }
}

class Win32CodePages final : public CodePages {
public:
    bool ToUtf16(uint32_t codePage, std::string_view bytes, std::u16string& out) override {
        out.clear();
        if (!IsValidCodePage(SystemPage(codePage)) && codePage > CODE_PAGE_OEM) return false;
        if (bytes.empty()) return true;
        if (bytes.size() > INT_MAX) return false;
        int size = int(bytes.size());
        // One pass to count, one to convert, as the converter wants.
        int count = MultiByteToWideChar(SystemPage(codePage), 0, bytes.data(), size, nullptr, 0);
        if (count <= 0) return false;
        out.resize(size_t(count));
        count = MultiByteToWideChar(SystemPage(codePage), 0, bytes.data(), size,
                                    reinterpret_cast<wchar_t*>(out.data()), count);
        out.resize(count > 0 ? size_t(count) : 0);
        return count > 0;
    }

    bool FromUtf16(uint32_t codePage, std::u16string_view text, std::string& out) override {
        out.clear();
        if (!IsValidCodePage(SystemPage(codePage)) && codePage > CODE_PAGE_OEM) return false;
        if (text.empty()) return true;
        if (text.size() > INT_MAX) return false;
        const wchar_t* source = reinterpret_cast<const wchar_t*>(text.data());
        int size = int(text.size());
        int count = WideCharToMultiByte(SystemPage(codePage), 0, source, size, nullptr, 0, nullptr, nullptr);
        if (count <= 0) return false;
        out.resize(size_t(count));
        count = WideCharToMultiByte(SystemPage(codePage), 0, source, size, out.data(), count, nullptr, nullptr);
        out.resize(count > 0 ? size_t(count) : 0);
        return count > 0;
    }
};

Win32CodePages g_win32CodePages;

}  // namespace

CodePages& SystemCodePages() {
    return g_win32CodePages;
}
