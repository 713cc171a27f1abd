#include "capture/pending_output.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
// The video or still, and beside it the flash report.
constexpr int slots = 2;
char tempFiles[slots][PATH_MAX] = {"", ""};
std::string targets[slots]; // the names they become; never read by the handler
pid_t helper = 0;

// Updates happen with the stop signals blocked, so the handler never sees half a path.
void guard(int slot, const char* path, pid_t pid) {
    sigset_t stops;
    sigset_t before;
    sigemptyset(&stops);
    for (int number : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stops, number);
    }
    sigprocmask(SIG_BLOCK, &stops, &before);
    if (path != nullptr) {
        char* tempFile = tempFiles[slot];
        tempFile[0] = '\0';
        if (std::strlen(path) < PATH_MAX) {
            std::strcpy(tempFile, path);
        }
    }
    helper = pid;
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

// Removes the unfinished file at once, in case a harder signal follows (GNU parallel sends
// SIGKILL a moment after SIGTERM), then kills the helper outright (an ffmpeg asked to stop would
// still finish the file) and removes the file again, in case an encoder that had only just
// started made it anew.
void removeTheFiles() {
    for (const char* tempFile : tempFiles) {
        if (tempFile[0] != '\0') {
            unlink(tempFile);
        }
    }
}

void killHelperAndRemoveTheFile() {
    removeTheFiles();
    if (helper > 0) {
        kill(helper, SIGKILL);
        waitpid(helper, nullptr, 0);
    }
    removeTheFiles();
}

void onStopSignal(int signal) {
    killHelperAndRemoveTheFile();
    const char message[] = "\nheptad-capture: interrupted: nothing written\n";
    [[maybe_unused]] const ssize_t ignored = write(2, message, sizeof message - 1);
    _exit(128 + signal);
}

// A crash cleans up the same way, then dies of its signal as it would have (the handler was
// installed to run once and the signal is not blocked in it), core dump and all.
void onCrashSignal(int signal) {
    killHelperAndRemoveTheFile();
    const char message[] = "\nheptad-capture: crashed: nothing written\n";
    [[maybe_unused]] const ssize_t ignored = write(2, message, sizeof message - 1);
    raise(signal);
}
} // namespace

void installEmergencyStop() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(signal, &action, nullptr);
    }
    struct sigaction crash {};
    crash.sa_handler = onCrashSignal;
    sigemptyset(&crash.sa_mask);
    crash.sa_flags = SA_RESETHAND | SA_NODEFER;
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL}) {
        sigaction(signal, &crash, nullptr);
    }
    // A vanished encoder shows up as a failed write, not as a silent death.
    signal(SIGPIPE, SIG_IGN);
}

void guardHelper(pid_t pid) {
    guard(0, nullptr, pid);
}

std::string createPendingOutput(const std::string& path, std::string& error) {
    const std::filesystem::path target(path);
    std::error_code unknown;
    if (std::filesystem::is_directory(target, unknown)) {
        error = "cannot write " + path + ": it is a folder";
        return "";
    }
    // Hidden and marked as partial, in the same folder so the final rename cannot cross a disk.
    const std::string name = "." + target.filename().string() + ".XXXXXX.part";
    const std::string pattern = (target.parent_path() / name).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    int slot = 0;
    while (slot < slots && tempFiles[slot][0] != '\0') {
        ++slot;
    }
    if (slot == slots) {
        error = "cannot write " + path + ": too many files pending";
        return "";
    }
    const int fd = mkstemps(buffer.data(), 5);
    if (fd < 0) {
        error = "cannot write " + path + ": " + std::strerror(errno);
        return "";
    }
    // mkstemps makes the file private; give it the permissions any new file would get.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
    close(fd);
    guard(slot, buffer.data(), helper);
    targets[slot] = path;
    return buffer.data();
}

bool commitPendingOutput(const std::string& path, std::string& error) {
    int slot = 0;
    while (slot < slots && (tempFiles[slot][0] == '\0' || targets[slot] != path)) {
        ++slot;
    }
    if (slot == slots || std::rename(tempFiles[slot], path.c_str()) != 0) {
        error = "cannot write " + path + ": " +
                (slot == slots ? std::string("nothing pending") : std::strerror(errno));
        discardPendingOutput();
        return false;
    }
    guard(slot, "", helper);
    return true;
}

void discardPendingOutput() {
    for (int slot = 0; slot < slots; ++slot) {
        if (tempFiles[slot][0] != '\0') {
            unlink(tempFiles[slot]);
            guard(slot, "", helper);
        }
    }
}
