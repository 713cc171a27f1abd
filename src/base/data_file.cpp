#include "base/data_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool acceptable(const struct stat& info, long long maxBytes) {
    return S_ISREG(info.st_mode) && static_cast<long long>(info.st_size) <= maxBytes;
}
} // namespace

std::FILE* openDataFile(const char* path, long long maxBytes) {
    // Judged by name first, so that nothing but a regular file is ever opened (opening some
    // devices has effects of its own), then again on the open file, which may have been
    // replaced in between. O_NONBLOCK keeps the open of a FIFO put there meanwhile from waiting.
    struct stat info = {};
    if (stat(path, &info) != 0 || !acceptable(info, maxBytes)) {
        return nullptr;
    }
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    if (fstat(fd, &info) != 0 || !acceptable(info, maxBytes) ||
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        close(fd);
        return nullptr;
    }
    std::FILE* file = fdopen(fd, "rb");
    if (file == nullptr) {
        close(fd);
    }
    return file;
}

std::string dataFileRefusal(const char* path, long long maxBytes) {
    struct stat info = {};
    if (stat(path, &info) != 0) {
        return "";
    }
    if (!S_ISREG(info.st_mode)) {
        return std::string("not a regular file: ") + path;
    }
    if (static_cast<long long>(info.st_size) > maxBytes) {
        return "larger than " + std::to_string(maxBytes) + " bytes: " + path;
    }
    return "";
}
