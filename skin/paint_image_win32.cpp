#include "skin/paint_image_win32.h"

#include <vector>

namespace {

// The whole file, read with every kind of sharing so that nobody is kept out;
// empty when it cannot be read.
std::vector<uint8_t> ReadWholeFile(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    LARGE_INTEGER size{};
    // Skin images are small; anything past 64 MB is no image of ours.
    if (::GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (64 << 20)) {
        bytes.resize(size_t(size.QuadPart));
        DWORD read = 0;
        if (!::ReadFile(file, bytes.data(), DWORD(bytes.size()), &read, nullptr)) read = 0;
        bytes.resize(read);
    }
    ::CloseHandle(file);
    return bytes;
}

}  // namespace

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
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    m_image = GdipImage::FromBytes(bytes.data(), bytes.size());
    m_path = path;
    m_size = size;
    m_written = stamp.ftLastWriteTime;
    return m_image;
}
