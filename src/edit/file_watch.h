#pragma once
#include <chrono>
#include <cstdint>
#include <ctime>
#include <map>
#include <string>
#include <sys/inotify.h>
#include <sys/types.h>
#include <vector>

// The inotify calls the watch makes, replaceable so that a test can make them fail as a used-up
// per-user limit does (editors and IDEs often use up fs.inotify.max_user_watches).
struct InotifyCalls {
    int (*init)(int flags) = inotify_init1;
    int (*addWatch)(int fd, const char* path, uint32_t mask) = inotify_add_watch;
};

// Watches folders for files saved into them with inotify: a file written and closed, or moved
// in (an editor that saves by writing a new file and renaming it over the old one). Folders
// that are links are followed, so a runtime folder whose shader folders link to the checkout's
// sees saves in the checkout. A folder that is replaced (some editors save so, and git checkout
// can) is watched again once it is back, and all its files count as saved. Where inotify cannot
// watch a folder, the watch says so once on standard error and looks at each file's inode, size
// and modification time every pollSeconds instead.
class FileWatch {
  public:
    // Paths relative to the working folder; a folder that is not there is left out.
    explicit FileWatch(const std::vector<std::string>& folders, InotifyCalls calls = {});
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // Whether at least one folder is watched, either way.
    bool watching() const { return !folderOf.empty() || !polled.empty() || !lost.empty(); }
    // Whether some folder is looked at in turn rather than watched by inotify.
    bool polling() const { return !polled.empty(); }
    // The files saved since the last call ("labShaders/Scene3.fs"), each once, without waiting.
    std::vector<std::string> savedFiles();

    // Well within the quarter second in which a save shows.
    static constexpr double pollSeconds = 0.1;

  private:
    struct Seen {
        ino_t inode = 0;
        off_t size = 0;
        timespec modified{};
    };
    using Files = std::map<std::string, Seen>;

    bool watch(const std::string& folder, bool again, std::vector<std::string>& files);
    void poll(const std::string& folder, Files& seen, std::vector<std::string>& files) const;
    void readEvents(std::vector<std::string>& files);

    InotifyCalls calls;
    int fd = -1;
    std::map<int, std::string> folderOf; // inotify's watches
    std::vector<std::string> lost;       // watched folders gone, watched again once back
    std::map<std::string, Files> polled; // folders looked at in turn, with what was seen
    bool toldPolling = false;
    std::chrono::steady_clock::time_point nextLook{};
};
