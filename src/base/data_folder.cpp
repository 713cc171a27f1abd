#include "base/data_folder.h"

#include <climits>
#include <cstdlib>
#include <initializer_list>
#include <sys/stat.h>
#include <unistd.h>

namespace {
bool isFolder(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}
} // namespace

bool holdsDemoData(const std::string& folder) {
    for (const char* part : {"/labShaders", "/labshaders", "/imgs"}) {
        if (!isFolder(folder + part)) {
            return false;
        }
    }
    return true;
}

std::string programFolder() {
    char path[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
    if (length <= 0) {
        return "";
    }
    const std::string program(path, static_cast<size_t>(length));
    const size_t slash = program.rfind('/');
    return slash == std::string::npos ? "" : program.substr(0, slash == 0 ? 1 : slash);
}

std::string dataFolderFor(const std::string& programFolder) {
    if (programFolder.empty()) {
        return "";
    }
    for (const std::string& candidate : {programFolder, programFolder + "/../share/heptad"}) {
        char resolved[PATH_MAX];
        if (holdsDemoData(candidate) && realpath(candidate.c_str(), resolved) != nullptr) {
            return resolved;
        }
    }
    return "";
}

std::string pathFromWorkingFolder(const std::string& path) {
    char folder[PATH_MAX];
    if (path.empty() || path[0] == '/' || getcwd(folder, sizeof folder) == nullptr) {
        return path;
    }
    return std::string(folder) + "/" + path;
}
