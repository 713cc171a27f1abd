#pragma once
#include <map>
#include <string>
#include <vector>

// Watches folders for files saved into them with inotify: a file written and closed, or moved
// in (an editor that saves by writing a new file and renaming it over the old one). Folders
// that are links are followed, so a runtime folder whose shader folders link to the checkout's
// sees saves in the checkout.
class FileWatch {
  public:
    // Paths relative to the working folder; a folder that cannot be watched is left out.
    explicit FileWatch(const std::vector<std::string>& folders);
    ~FileWatch();
    FileWatch(const FileWatch&) = delete;
    FileWatch& operator=(const FileWatch&) = delete;

    // Whether at least one folder is watched.
    bool watching() const { return !folderOf.empty(); }
    // The files saved since the last call ("labShaders/Scene3.fs"), each once, without waiting.
    std::vector<std::string> savedFiles();

  private:
    int fd = -1;
    std::map<int, std::string> folderOf;
};
