#include "edit/file_watch.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// A file saved into the folder, and the folder itself going (deleted, or moved away).
constexpr uint32_t watchedEvents = IN_CLOSE_WRITE | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF;

bool isFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

void addOnce(std::vector<std::string>& files, const std::string& path) {
    if (std::find(files.begin(), files.end(), path) == files.end()) {
        files.push_back(path);
    }
}

// Which per-user limit a failure most likely hit.
std::string limitHint(int number) {
    if (number == EMFILE) {
        return "; see fs.inotify.max_user_instances";
    }
    if (number == ENOSPC) {
        return "; see fs.inotify.max_user_watches";
    }
    return "";
}
} // namespace

FileWatch::FileWatch(const std::vector<std::string>& folders, InotifyCalls inotify)
    : calls(inotify) {
    fd = calls.init(IN_NONBLOCK | IN_CLOEXEC);
    const int initError = errno;
    std::vector<std::string> ignored;
    for (const std::string& folder : folders) {
        if (isFolder(folder)) {
            errno = initError;
            watch(folder, false, ignored);
        }
    }
}

FileWatch::~FileWatch() {
    if (fd >= 0) {
        close(fd);
    }
}

// By inotify if it can, else in turn; false while the folder is not there. A folder watched
// again counts all its files as saved: they may all differ from the ones before.
bool FileWatch::watch(const std::string& folder, bool again, std::vector<std::string>& files) {
    const int watchNumber = fd < 0 ? -1 : calls.addWatch(fd, folder.c_str(), watchedEvents);
    if (watchNumber >= 0) {
        folderOf[watchNumber] = folder;
        if (again) {
            Files all;
            poll(folder, all, files);
        }
        return true;
    }
    const int number = errno;
    if (!isFolder(folder)) {
        return false;
    }
    if (!toldPolling) {
        std::fprintf(stderr,
                     "heptad: inotify cannot watch %s (%s%s): looking at the files of the "
                     "edited folders every %g s instead\n",
                     folder.c_str(), std::strerror(number), limitHint(number).c_str(), pollSeconds);
        toldPolling = true;
    }
    std::vector<std::string> ignored;
    poll(folder, polled[folder], again ? files : ignored);
    return true;
}

// A file counts as saved when its inode (a file renamed over it), size or modification time
// differs from the last look, or it is new. A folder that has gone holds no files, so once it
// is back all its files are new.
void FileWatch::poll(const std::string& folder, Files& seen,
                     std::vector<std::string>& files) const {
    Files now;
    std::error_code unreadable;
    for (const auto& entry : std::filesystem::directory_iterator(folder, unreadable)) {
        const std::string path = folder + "/" + entry.path().filename().string();
        struct stat info {};
        if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
            continue;
        }
        const Seen current{info.st_ino, info.st_size, info.st_mtim};
        const auto before = seen.find(path);
        if (before == seen.end() || before->second.inode != current.inode ||
            before->second.size != current.size ||
            before->second.modified.tv_sec != current.modified.tv_sec ||
            before->second.modified.tv_nsec != current.modified.tv_nsec) {
            addOnce(files, path);
        }
        now[path] = current;
    }
    seen.swap(now);
}

void FileWatch::readEvents(std::vector<std::string>& files) {
    alignas(inotify_event) char buffer[16384];
    while (fd >= 0) {
        const ssize_t length = read(fd, buffer, sizeof buffer);
        if (length <= 0) {
            break;
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const auto folder = folderOf.find(event->wd);
            if (folder == folderOf.end()) {
                continue;
            }
            // The folder itself has gone: what comes back under its name is watched anew.
            if ((event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) != 0) {
                inotify_rm_watch(fd, event->wd);
                lost.push_back(folder->second);
                folderOf.erase(folder);
                continue;
            }
            if (event->len > 0) {
                addOnce(files, folder->second + "/" + event->name);
            }
        }
    }
}

std::vector<std::string> FileWatch::savedFiles() {
    std::vector<std::string> files;
    readEvents(files);
    const auto now = std::chrono::steady_clock::now();
    if ((polled.empty() && lost.empty()) || now < nextLook) {
        return files;
    }
    nextLook = now + std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                         std::chrono::duration<double>(pollSeconds));
    for (auto& [folder, seen] : polled) {
        poll(folder, seen, files);
    }
    std::vector<std::string> stillLost;
    for (const std::string& folder : lost) {
        if (!watch(folder, true, files)) {
            stillLost.push_back(folder);
        }
    }
    lost.swap(stillLost);
    return files;
}
