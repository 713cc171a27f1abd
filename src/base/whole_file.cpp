#include "base/whole_file.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace {
std::string failure(const std::string& path, int number) {
    return "cannot write " + path + ": " + std::strerror(number);
}

std::string folderOf(const std::string& path) {
    const std::string folder = std::filesystem::path(path).parent_path().string();
    return folder.empty() ? "." : folder;
}

// The host's name as it can stand in a file name: letters, digits, dots and dashes only, and
// never an "@", which separates it from the process number.
const std::string& thisHost() {
    static const std::string host = [] {
        char name[256] = "";
        if (gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') {
            return std::string("localhost");
        }
        std::string text = name;
        for (char& c : text) {
            const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                               (c >= '0' && c <= '9') || c == '.' || c == '-';
            c = plain ? c : '-';
        }
        return text;
    }();
    return host;
}

// fsync, then close, both checked; the descriptor is closed either way.
bool syncAndClose(int fd) {
    const bool synced = fsync(fd) == 0;
    const int syncError = errno;
    const bool closed = close(fd) == 0;
    if (!synced) {
        errno = syncError;
    }
    return synced && closed;
}
} // namespace

std::string createPartialFile(const std::string& path, std::string& error) {
    std::error_code unknown;
    if (std::filesystem::is_directory(path, unknown)) {
        error = "cannot write " + path + ": it is a folder";
        return "";
    }
    // In the same folder, so that the final rename cannot cross a disk.
    const std::string name = "." + std::filesystem::path(path).filename().string() + "." +
                             std::to_string(getpid()) + "@" + thisHost() + ".XXXXXX.part";
    std::string temp = (std::filesystem::path(folderOf(path)) / name).string();
    const int fd = mkstemps(temp.data(), 5);
    if (fd < 0) {
        error = failure(path, errno);
        return "";
    }
    // mkstemps makes the file private; give it the permissions any new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    return temp;
}

bool fillPartialFile(const std::string& temp, const std::string& bytes, const std::string& path,
                     std::string& error) {
    const int fd = open(temp.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    if (fd < 0) {
        error = failure(path, errno);
        return false;
    }
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            error = failure(path, n < 0 ? errno : EIO);
            close(fd);
            return false;
        }
        done += static_cast<size_t>(n);
    }
    if (!syncAndClose(fd)) {
        error = failure(path, errno);
        return false;
    }
    return true;
}

bool commitPartialFile(const std::string& temp, const std::string& path, std::string& error) {
    // A helper wrote the file: its data reaches the disk before the name does.
    const int fd = open(temp.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || !syncAndClose(fd) || std::rename(temp.c_str(), path.c_str()) != 0) {
        error = failure(path, errno);
        return false;
    }
    // The rename itself, made to last. Some file systems cannot sync a folder, and say so.
    const int folder = open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0 && !syncAndClose(folder) && errno != EINVAL && errno != ENOTSUP) {
        error = failure(path, errno);
        return false;
    }
    return true;
}

bool writeFileWhole(const std::string& path, const std::string& bytes, std::string& error) {
    const std::string temp = createPartialFile(path, error);
    if (temp.empty()) {
        return false;
    }
    if (fillPartialFile(temp, bytes, path, error) && commitPartialFile(temp, path, error)) {
        return true;
    }
    unlink(temp.c_str());
    return false;
}

bool partialFileOwner(const std::string& name, PartialOwner& owner) {
    // ".NAME.PID@HOST.XXXXXX.part": the host holds no "@", the process number no dot.
    const std::string ending = ".part";
    if (name.size() < 1 + ending.size() + 7 || name[0] != '.' ||
        name.compare(name.size() - ending.size(), ending.size(), ending) != 0) {
        return false;
    }
    const std::string stem = name.substr(0, name.size() - ending.size() - 7);
    if (name[stem.size()] != '.') {
        return false;
    }
    const size_t at = stem.rfind('@');
    const size_t dot = at == std::string::npos ? at : stem.rfind('.', at);
    if (dot == std::string::npos || dot < 2 || at + 1 >= stem.size() || at == dot + 1 ||
        at - dot > 11) {
        return false;
    }
    const std::string pid = stem.substr(dot + 1, at - dot - 1);
    if (pid.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    owner.pid = std::stol(pid);
    owner.host = stem.substr(at + 1);
    return owner.pid > 0;
}

std::vector<std::string> removeAbandonedPartials(const std::string& folder) {
    std::vector<std::string> removed;
    std::error_code unreadable;
    for (const auto& entry : std::filesystem::directory_iterator(folder, unreadable)) {
        const std::string name = entry.path().filename().string();
        PartialOwner owner;
        std::error_code unknown;
        if (!partialFileOwner(name, owner) || owner.host != thisHost() || owner.pid == getpid() ||
            !entry.is_regular_file(unknown) || entry.is_symlink(unknown)) {
            continue;
        }
        // A process that runs, or one of another user (EPERM), keeps its file.
        if (kill(static_cast<pid_t>(owner.pid), 0) != 0 && errno == ESRCH &&
            unlink(entry.path().c_str()) == 0) {
            removed.push_back(folder == "." ? name : entry.path().string());
        }
    }
    return removed;
}

std::string likelyWriteFailure(const std::string& path) {
    struct statvfs disk {};
    if (statvfs(folderOf(path).c_str(), &disk) == 0 &&
        (geteuid() == 0 ? disk.f_bfree : disk.f_bavail) == 0) {
        return std::strerror(ENOSPC);
    }
    struct rlimit limit {};
    struct stat file {};
    if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
        stat(path.c_str(), &file) == 0 && static_cast<rlim_t>(file.st_size) >= limit.rlim_cur) {
        return std::strerror(EFBIG);
    }
    return "";
}
