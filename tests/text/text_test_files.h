// Temporary files for the text tests: a folder of their own under the system's
// temporary folder, removed with the fixture.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "text/code_pages.h"

class TempFolder {
public:
    TempFolder() {
        const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string("quorvel_text_") + test->test_suite_name() + "_" + test->name();
        for (char& c : name) {
            if (c == '/') c = '_';
        }
        m_path = std::filesystem::temp_directory_path() / name;
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }

    std::u16string Write(const std::string& name, std::string_view bytes) const {
        std::filesystem::path file = m_path / name;
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), std::streamsize(bytes.size()));
        return file.u16string();
    }
    std::u16string Path(const std::string& name) const { return (m_path / name).u16string(); }
    std::u16string Folder() const { return m_path.u16string(); }

private:
    std::filesystem::path m_path;
};

// The system's converters, with a fixed ANSI page: the ANSI fallback is then
// the same in every build and under every locale.
class FixedAnsiCodePages final : public CodePages {
public:
    explicit FixedAnsiCodePages(uint32_t ansi) : m_ansi(ansi) {}
    bool ToUtf16(uint32_t codePage, std::string_view bytes, std::u16string& out) override {
        return SystemCodePages().ToUtf16(codePage == CODE_PAGE_ANSI ? m_ansi : codePage, bytes, out);
    }
    bool FromUtf16(uint32_t codePage, std::u16string_view text, std::string& out) override {
        return SystemCodePages().FromUtf16(codePage == CODE_PAGE_ANSI ? m_ansi : codePage, text, out);
    }

private:
    uint32_t m_ansi;
};

class ScopedCodePages {
public:
    explicit ScopedCodePages(CodePages* pages) { SetCodePages(pages); }
    ~ScopedCodePages() { SetCodePages(nullptr); }
};

// UTF-8 test literals as UTF-16, for readable expectations.
inline std::u16string U16(std::string_view utf8) {
    return DecodeCodePage(CODE_PAGE_UTF8, utf8);
}

inline std::string Narrow(std::u16string_view text) {
    std::string out;
    SystemCodePages().FromUtf16(CODE_PAGE_UTF8, text, out);
    return out;
}
