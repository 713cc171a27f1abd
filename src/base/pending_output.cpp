#include "base/pending_output.h"

#include "base/whole_file.h"

#include <climits>
#include <csignal>
#include <cstring>
#include <initializer_list>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

StopSignalsHeld::StopSignalsHeld() {
    sigset_t stops;
    sigemptyset(&stops);
    for (int number : {SIGINT, SIGTERM, SIGHUP}) {
        sigaddset(&stops, number);
    }
    sigprocmask(SIG_BLOCK, &stops, &before);
}

StopSignalsHeld::~StopSignalsHeld() {
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

namespace {
// The video or still, and beside it the flash report.
constexpr int slots = 2;
char tempFiles[slots][PATH_MAX] = {"", ""};
std::string targets[slots]; // the names they become; never read by the handler
pid_t helper = 0;

// Updates happen with the stop signals held off, so the handler never sees half a path.
void guard(int slot, const char* path, pid_t pid) {
    const StopSignalsHeld held;
    if (path != nullptr) {
        char* tempFile = tempFiles[slot];
        tempFile[0] = '\0';
        if (std::strlen(path) < PATH_MAX) {
            std::strcpy(tempFile, path);
        }
    }
    helper = pid;
}

void removeTheFiles() {
    for (const char* tempFile : tempFiles) {
        if (tempFile[0] != '\0') {
            unlink(tempFile);
        }
    }
}

// Removes the unfinished file at once, in case a harder signal follows (GNU parallel sends
// SIGKILL a moment after SIGTERM), then kills the helper outright (an ffmpeg asked to stop would
// still finish the file) and removes the file again, in case an encoder that had only just
// started made it anew.
void killHelperAndRemoveTheFiles() {
    removeTheFiles();
    if (helper > 0) {
        kill(helper, SIGKILL);
        waitpid(helper, nullptr, 0);
    }
    removeTheFiles();
}

void onStopSignal(int signal) {
    killHelperAndRemoveTheFiles();
    const char message[] = "\nheptad-capture: interrupted: nothing written\n";
    [[maybe_unused]] const ssize_t ignored = write(2, message, sizeof message - 1);
    _exit(128 + signal);
}

// A crash cleans up the same way, then dies of its signal as it would have (the handler was
// installed to run once and the signal is not blocked in it), core dump and all.
void onCrashSignal(int signal) {
    killHelperAndRemoveTheFiles();
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
    // A vanished encoder shows up as a failed write, not as a silent death, and so does a file
    // over the size limit (ulimit -f): "File too large".
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
}

void guardHelper(pid_t pid) {
    guard(0, nullptr, pid);
}

std::string createPendingOutput(const std::string& path, std::string& error) {
    int slot = 0;
    while (slot < slots && tempFiles[slot][0] != '\0') {
        ++slot;
    }
    if (slot == slots) {
        error = "cannot write " + path + ": too many files pending";
        return "";
    }
    // A stop signal waits until the new file is noted, so it cannot slip in between.
    const StopSignalsHeld held;
    const std::string temp = createPartialFile(path, error);
    if (!temp.empty()) {
        guard(slot, temp.c_str(), helper);
        targets[slot] = path;
    }
    return temp;
}

bool commitPendingOutput(const std::string& path, std::string& error) {
    int slot = 0;
    while (slot < slots && (tempFiles[slot][0] == '\0' || targets[slot] != path)) {
        ++slot;
    }
    if (slot == slots) {
        error = "cannot write " + path + ": nothing pending";
        discardPendingOutput();
        return false;
    }
    if (!commitPartialFile(tempFiles[slot], path, error)) {
        discardPendingOutput();
        return false;
    }
    guard(slot, "", helper);
    return true;
}

void discardPendingOutput() {
    removeTheFiles();
    for (int slot = 0; slot < slots; ++slot) {
        guard(slot, "", helper);
    }
}
