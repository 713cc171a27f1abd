#include "edit/file_watch.h"

#include <algorithm>
#include <sys/inotify.h>
#include <unistd.h>

FileWatch::FileWatch(const std::vector<std::string>& folders) {
    fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) {
        return;
    }
    for (const std::string& folder : folders) {
        const int watch = inotify_add_watch(fd, folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
        if (watch >= 0) {
            folderOf[watch] = folder;
        }
    }
}

FileWatch::~FileWatch() {
    if (fd >= 0) {
        close(fd);
    }
}

std::vector<std::string> FileWatch::savedFiles() {
    std::vector<std::string> files;
    if (fd < 0) {
        return files;
    }
    alignas(inotify_event) char buffer[16384];
    while (true) {
        const ssize_t length = read(fd, buffer, sizeof buffer);
        if (length <= 0) {
            break;
        }
        for (ssize_t offset = 0; offset < length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const auto folder = folderOf.find(event->wd);
            if (event->len == 0 || folder == folderOf.end()) {
                continue;
            }
            const std::string path = folder->second + "/" + event->name;
            if (std::find(files.begin(), files.end(), path) == files.end()) {
                files.push_back(path);
            }
        }
    }
    return files;
}
