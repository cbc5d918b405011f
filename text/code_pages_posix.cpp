// The native build's converters, through glibc's iconv. Windows code-page
// numbers are mapped to iconv's names; the ANSI and OEM pages stand for the
// Western European ones a US Windows has.
#include <iconv.h>

#include <cerrno>
#include <string>

#include "text/code_pages.h"

namespace {

std::string IconvName(uint32_t codePage) {
    switch (codePage) {
    case CODE_PAGE_ANSI: return "CP1252";
    case CODE_PAGE_OEM: return "CP437";
    case CODE_PAGE_UTF8: return "UTF-8";
    case 65000: return "UTF-7";
    case 20127: return "ASCII";
    case 20866: return "KOI8-R";
    case 21866: return "KOI8-U";
    case 28605: return "ISO-8859-15";
    case 51932: return "EUC-JP";
    case 10000: return "MACINTOSH";
    case 936: return "GBK";
    case 950: return "BIG5";
    default:
        if (codePage >= 28591 && codePage <= 28599) return "ISO-8859-" + std::to_string(codePage - 28590);
        return "CP" + std::to_string(codePage);
    }
}

// One iconv conversion; an input sequence the converter rejects becomes `bad`
// and the input moves on by `badStep` bytes, as the Windows converters substitute.
bool Convert(const std::string& from, const std::string& to, std::string_view input, size_t badStep,
             std::string_view bad, std::string& output) {
    output.clear();
    iconv_t cd = iconv_open(to.c_str(), from.c_str());
    if (cd == iconv_t(-1)) return false;
    char* in = const_cast<char*>(input.data());
    size_t inLeft = input.size();
    char buffer[4096];
    while (inLeft > 0) {
        char* out = buffer;
        size_t outLeft = sizeof buffer;
        size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
        output.append(buffer, size_t(out - buffer));
        if (result != size_t(-1)) continue;
        if (errno == E2BIG) continue;
        output.append(bad);
        if (errno == EINVAL) break;  // an incomplete sequence at the end
        size_t step = badStep < inLeft ? badStep : inLeft;
        in += step;
        inLeft -= step;
    }
    char* out = buffer;
    size_t outLeft = sizeof buffer;
    iconv(cd, nullptr, nullptr, &out, &outLeft);
    output.append(buffer, size_t(out - buffer));
    iconv_close(cd);
    return true;
}

class PosixCodePages final : public CodePages {
public:
    bool ToUtf16(uint32_t codePage, std::string_view bytes, std::u16string& out) override {
        out.clear();
        std::string wide;
        if (!Convert(IconvName(codePage), "UTF-16LE", bytes, 1, std::string_view("\xFD\xFF", 2), wide))
            return false;
        out.reserve(wide.size() / 2);
        for (size_t i = 0; i + 1 < wide.size(); i += 2)
            out.push_back(char16_t(uint8_t(wide[i]) | uint8_t(wide[i + 1]) << 8));
        return true;
    }

    bool FromUtf16(uint32_t codePage, std::u16string_view text, std::string& out) override {
        std::string wide;
        wide.reserve(text.size() * 2);
        for (char16_t unit : text) {
            wide.push_back(char(unit & 0xFF));
            wide.push_back(char(unit >> 8));
        }
        return Convert("UTF-16LE", IconvName(codePage), wide, 2, "?", out);
    }
};

PosixCodePages g_posixCodePages;

}  // namespace

CodePages& SystemCodePages() {
    return g_posixCodePages;
}
