// The README's pictures: the picture tour's pictures, in English and in
// Russian, saved as PNG under their names into the folder given on the
// command line. tools/pictures.sh runs it; it is no test and ctest does not
// run it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "pictures/picture_tour_win32.h"

namespace {

using namespace e2e;

std::wstring g_outputFolder;

class ReadmePictures : public PictureTour {
protected:
    bool Keep(const Dib32& picture, const std::wstring& name) override {
        const std::wstring path = g_outputFolder + name + L".png";
        const bool saved = SaveDibAsPng(picture, path);
        EXPECT_TRUE(saved) << "cannot write " << Narrow(path);
        return saved;
    }
};

TEST_F(ReadmePictures, English) {
    TakeAll(2, L"en");
    EXPECT_EQ(m_saved, 22);
}

TEST_F(ReadmePictures, Russian) {
    TakeAll(1, L"ru");
    EXPECT_EQ(m_saved, 22);
}

TEST_F(ReadmePictures, NotFoundEnglish) {
    TakeNotFound(2, L"en");
    EXPECT_EQ(m_saved, 1);
}

TEST_F(ReadmePictures, NotFoundRussian) {
    TakeNotFound(1, L"ru");
    EXPECT_EQ(m_saved, 1);
}

}  // namespace

// readme_pictures FOLDER [gtest options]
int wmain(int argc, wchar_t** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: readme_pictures FOLDER\n");
        return 2;
    }
    g_outputFolder = argv[1];
    if (!g_outputFolder.empty() && g_outputFolder.back() != L'\\') g_outputFolder += L'\\';
    return RUN_ALL_TESTS();
}
