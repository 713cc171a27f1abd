#include "capture/pending_output.h"

#include "capture/emergency_stop.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

PendingOutput::~PendingOutput() {
    discard();
}

bool PendingOutput::create(const std::string& path, std::string& error) {
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) {
        error = "cannot write " + path + ": it is a folder";
        return false;
    }
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // Hidden and marked as partial, in the same folder so the final rename cannot cross a disk.
    std::string pattern = folder + "." + name + ".XXXXXX.part";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const int fd = mkstemps(buffer.data(), 5);
    if (fd < 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    // mkstemps makes the file private; give it the permissions any new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    finalPath = path;
    temp = buffer.data();
    guardTempFile(temp.c_str());
    return true;
}

bool PendingOutput::commit(std::string& error) {
    if (std::rename(temp.c_str(), finalPath.c_str()) != 0) {
        error = "cannot write " + finalPath + ": " + std::strerror(errno);
        discard();
        return false;
    }
    guardTempFile(nullptr);
    temp.clear();
    return true;
}

void PendingOutput::discard() {
    if (!temp.empty()) {
        std::remove(temp.c_str());
        guardTempFile(nullptr);
        temp.clear();
    }
}
