// An image a control draws from its file at each paint, so that every paint
// shows the file as it is then. Decoding the file anew at every paint cost
// more than a frame on a page of such controls: the decoded image is kept
// and the file decoded again only once it has changed (another size or write
// time) or gone. The file is read into memory and let go at once, so a skin
// file is never held open.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "framework/gdiplus_helpers.h"

class PaintImage {
public:
    // The image of the file at path as it is now; empty when the file is
    // missing or holds no image.
    const GdipImage& Load(const std::wstring& path);

private:
    std::wstring m_path;
    uint64_t m_size = 0;
    FILETIME m_written{};
    GdipImage m_image;
};
