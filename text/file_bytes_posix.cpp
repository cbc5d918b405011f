#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text/file_bytes.h"

namespace {

std::string Utf8Path(std::u16string_view path) {
    std::string out;
    for (size_t i = 0; i < path.size(); ++i) {
        uint32_t cp = path[i];
        if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < path.size() && path[i + 1] >= 0xDC00 && path[i + 1] < 0xE000)
            cp = 0x10000 + ((cp - 0xD800) << 10) + (path[++i] - 0xDC00);
        if (cp < 0x80) {
            out.push_back(char(cp));
        } else if (cp < 0x800) {
            out.push_back(char(0xC0 | cp >> 6));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(char(0xE0 | cp >> 12));
            out.push_back(char(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(char(0xF0 | cp >> 18));
            out.push_back(char(0x80 | (cp >> 12 & 0x3F)));
            out.push_back(char(0x80 | (cp >> 6 & 0x3F)));
            out.push_back(char(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

std::u16string ErrorText(int code) {
    const char* message = std::strerror(code);
    return std::u16string(message, message + std::strlen(message));
}

}  // namespace

bool ReadFileBytes(std::u16string_view path, std::string& bytes, std::u16string& error) {
    bytes.clear();
    error.clear();
    int fd = open(Utf8Path(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = ErrorText(errno);
        return false;
    }
    struct stat info {};
    int failure = 0;
    if (fstat(fd, &info) != 0) {
        failure = errno;
    } else if (S_ISDIR(info.st_mode)) {
        failure = EISDIR;  // glibc opens folders for reading; only reading them fails
    } else {
        char buffer[65536];
        for (;;) {
            ssize_t got = read(fd, buffer, sizeof buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got < 0) {
                failure = errno;
                break;
            }
            if (got == 0) break;
            bytes.append(buffer, size_t(got));
        }
    }
    close(fd);
    if (failure != 0) {
        bytes.clear();
        error = ErrorText(failure);
        return false;
    }
    return true;
}
