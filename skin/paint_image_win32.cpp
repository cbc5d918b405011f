#include "skin/paint_image_win32.h"

const GdipImage& PaintImage::Load(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA stamp{};
    if (path.empty() || !::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &stamp)) {
        m_image.Reset();
        return m_image;
    }
    const uint64_t size = uint64_t(stamp.nFileSizeHigh) << 32 | stamp.nFileSizeLow;
    if (m_image && path == m_path && size == m_size && ::CompareFileTime(&stamp.ftLastWriteTime, &m_written) == 0)
        return m_image;
    m_image.Reset();
    m_image = GdipImage::FromFile(path);
    m_path = path;
    m_size = size;
    m_written = stamp.ftLastWriteTime;
    return m_image;
}
