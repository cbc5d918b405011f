// The skin artwork: every file the program loads is there, readable, and big
// enough for the layout that uses it; and every skin file named in the sources
// is one of those.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "skin/skin_catalog.h"

namespace fs = std::filesystem;

namespace {

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::string Narrow(const char16_t* text) {
    std::string out;
    for (; *text; ++text) out += static_cast<char>(*text);
    return out;
}

struct ImageSize {
    bool valid = false;
    int width = 0;
    int height = 0;
};

uint32_t Be32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}
int32_t Le32(const unsigned char* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24));
}

// Reads the size from a PNG's IHDR or a BMP's info header.
ImageSize ReadImageSize(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    unsigned char head[32] = {};
    in.read(reinterpret_cast<char*>(head), sizeof(head));
    if (in.gcount() < 26) return {};
    static const unsigned char kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (std::equal(kPng, kPng + 8, head) && std::string(reinterpret_cast<char*>(head + 12), 4) == "IHDR")
        return {true, static_cast<int>(Be32(head + 16)), static_cast<int>(Be32(head + 20))};
    if (head[0] == 'B' && head[1] == 'M')
        return {true, Le32(head + 18), std::abs(Le32(head + 22))};
    return {};
}

// The skin folder's files by lower-case name: Windows finds them in any case.
std::map<std::string, fs::path> SkinFiles() {
    std::map<std::string, fs::path> files;
    fs::path dir = fs::path(QUORVEL_TEST_DIST_DIR) / "skins";
    for (const auto& entry : fs::directory_iterator(dir))
        files[Lower(entry.path().filename().string())] = entry.path();
    return files;
}

TEST(SkinAssetsTest, EveryCataloguedFileIsAValidImageOfAUsableSize) {
    std::map<std::string, fs::path> files = SkinFiles();
    for (const SkinFileSpec& spec : SkinCatalog()) {
        std::string name = Narrow(spec.name);
        SCOPED_TRACE(name);
        auto found = files.find(Lower(name));
        ASSERT_NE(found, files.end()) << "missing skin file";
        ImageSize size = ReadImageSize(found->second);
        ASSERT_TRUE(size.valid) << "not a PNG or BMP";
        EXPECT_GE(size.width, spec.minWidth);
        EXPECT_GE(size.height, spec.minHeight);
        if (Lower(name).ends_with(".bmp")) {
            // Nine columns by three rows of square cells.
            EXPECT_EQ(size.width % 9, 0);
            EXPECT_EQ(size.height, 3 * (size.width / 9));
        }
    }
}

TEST(SkinAssetsTest, EverySkinFileNamedInTheSourcesIsCatalogued) {
    std::set<std::string> catalogued;
    for (const SkinFileSpec& spec : SkinCatalog()) catalogued.insert(Lower(Narrow(spec.name)));

    // A literal ending in a skin file name, possibly after a folder: "x.png",
    // L"skins\\x_nr.png". Formats ("number%d.png") are left out.
    const std::regex literal(R"re(["\\]([A-Za-z0-9_\-][A-Za-z0-9_.\-]*\.(png|bmp))")re", std::regex::icase);
    for (const char* folder : {"skin", "app", "firmware", "device", "text"}) {
        fs::path dir = fs::path(QUORVEL_TEST_SOURCE_DIR) / folder;
        if (!fs::exists(dir)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(dir)) {
            std::string ext = entry.path().extension().string();
            if (ext != ".cpp" && ext != ".h") continue;
            if (entry.path().filename() == "skin_catalog.cpp") continue;  // the table itself
            std::ifstream in(entry.path(), std::ios::binary);
            std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            for (std::sregex_iterator it(text.begin(), text.end(), literal), end; it != end; ++it) {
                std::string name = Lower((*it)[1].str());
                EXPECT_TRUE(catalogued.count(name)) << name << " in " << entry.path().filename().string();
            }
        }
    }
}

}  // namespace
