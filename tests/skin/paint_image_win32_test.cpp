// A control's paint-time image under Wine: decoded once while its file stays
// as it is, the file as it is now after a change, and never a file held open.
#include <gtest/gtest.h>

#include <string>

#include "skin/paint_image_win32.h"
#include "support/window_harness_win32.h"

namespace {

TEST(PaintImageTest, KeepsTheDecodedFileUntilItChangesAndNeverHoldsIt) {
    const std::wstring path = WriteSolidPng(L"paint_image.png", 20, 10, 0xFF2080C0);
    ASSERT_FALSE(path.empty());
    PaintImage image;
    const GdipImage& first = image.Load(path);
    ASSERT_TRUE(first);
    EXPECT_EQ(first.Width(), 20u);
    Gdiplus::GpImage* decoded = first.get();
    const long live = gdiplus::LiveObjects();
    for (int i = 0; i < 50; ++i) image.Load(path);
    EXPECT_EQ(image.Load(path).get(), decoded) << "an unchanged file was decoded again";
    EXPECT_EQ(gdiplus::LiveObjects(), live);

    // Written anew with another picture: the next paint shows the new one.
    ASSERT_EQ(WriteSolidPng(L"paint_image.png", 30, 12, 0xFFC08020), path);
    EXPECT_EQ(image.Load(path).Width(), 30u);
    EXPECT_EQ(image.Load(path).Height(), 12u);

    // The file is not held: it can go while the image is kept, and then draws nothing.
    EXPECT_TRUE(::DeleteFileW(path.c_str()));
    EXPECT_FALSE(image.Load(path));
    EXPECT_EQ(gdiplus::LiveObjects(), live - 1);

    // Neither a path nor a file that is no image gives one.
    EXPECT_FALSE(image.Load(L""));
    const std::wstring text = TestTempDir() + L"paint_image.txt";
    HANDLE file = ::CreateFileW(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, "not a picture", 13, &written, nullptr);
    ::CloseHandle(file);
    EXPECT_FALSE(image.Load(text));
    EXPECT_TRUE(::DeleteFileW(text.c_str()));
}

}  // namespace
