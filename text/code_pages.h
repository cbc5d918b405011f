// Byte encodings to and from UTF-16, by Windows code-page number. Language files
// arrive in whatever encoding their author saved them in, and macro names go to
// the mouse in the OEM code page; both go through here so that portable code
// never calls the system's converters itself.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr uint32_t CODE_PAGE_ANSI = 0;   // the system's ANSI code page
constexpr uint32_t CODE_PAGE_OEM = 1;    // the system's OEM code page
constexpr uint32_t CODE_PAGE_UTF16LE = 1200;
constexpr uint32_t CODE_PAGE_UTF16BE = 1201;
constexpr uint32_t CODE_PAGE_UTF32 = 65005;  // our own number: Windows has no 4-byte multibyte page
constexpr uint32_t CODE_PAGE_UTF8 = 65001;

class CodePages {
public:
    virtual ~CodePages() = default;
    // Bytes of a multibyte code page to UTF-16. Bytes the page cannot map become
    // replacement characters. False (and out empty) when the page is unknown to the system.
    virtual bool ToUtf16(uint32_t codePage, std::string_view bytes, std::u16string& out) = 0;
    // UTF-16 to a multibyte code page; characters the page lacks become its
    // default character. False (and out empty) when the page is unknown to the system.
    virtual bool FromUtf16(uint32_t codePage, std::u16string_view text, std::string& out) = 0;
};

// The system's converters: MultiByteToWideChar and WideCharToMultiByte on Windows,
// iconv in the native build (with 1252 as the ANSI and 437 as the OEM page).
CodePages& SystemCodePages();

CodePages& GetCodePages();
void SetCodePages(CodePages* codePages);  // null restores the system's

// Bytes in any code page to UTF-16, including the pages the system converters do
// not take: 1200 and 1201 (UTF-16 in either byte order) and 65005 (UTF-32LE). A
// trailing partial unit is dropped.
std::u16string DecodeCodePage(uint32_t codePage, std::string_view bytes);

// Appends one code point (at most U+10FFFF), as a surrogate pair from U+10000 on.
void AppendCodePoint(std::u16string& out, uint32_t codePoint);
