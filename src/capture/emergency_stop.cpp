#include "capture/emergency_stop.h"

#include <climits>
#include <csignal>
#include <cstring>
#include <ctime>
#include <initializer_list>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr int maxChildren = 4; // one helper at a time, with room to spare
char tempFile[PATH_MAX] = "";
pid_t children[maxChildren] = {};
int childInputs[maxChildren] = {}; // the pipes the encoder reads, -1 for none

// Updates happen with the stop signals blocked, so the handler never sees half a path.
class SignalsHeld {
  public:
    SignalsHeld() {
        sigset_t stops;
        sigemptyset(&stops);
        sigaddset(&stops, SIGINT);
        sigaddset(&stops, SIGTERM);
        sigaddset(&stops, SIGHUP);
        sigprocmask(SIG_BLOCK, &stops, &before);
    }
    ~SignalsHeld() { sigprocmask(SIG_SETMASK, &before, nullptr); }

  private:
    sigset_t before;
};

// Removes the unfinished file at once, in case a harder signal follows (GNU parallel sends
// SIGKILL a moment after SIGTERM), then stops the helpers and waits for them, for two seconds at
// most, and removes it again, in case an encoder that had only just started made it anew.
void stopHelpersAndRemoveTheFile() {
    if (tempFile[0] != '\0') {
        unlink(tempFile);
    }
    for (int i = 0; i < maxChildren; ++i) {
        if (children[i] > 0) {
            kill(children[i], SIGTERM);
        }
        // An encoder waiting for the next frame sees the end of its input and stops.
        if (children[i] > 0 && childInputs[i] != -1) {
            close(childInputs[i]);
        }
    }
    for (pid_t pid : children) {
        for (int wait = 0; pid > 0 && wait < 200 && waitpid(pid, nullptr, WNOHANG) == 0; ++wait) {
            const timespec tenMilliseconds{0, 10000000};
            nanosleep(&tenMilliseconds, nullptr);
        }
    }
    if (tempFile[0] != '\0') {
        unlink(tempFile);
    }
}

void onStopSignal(int signal) {
    stopHelpersAndRemoveTheFile();
    const char message[] = "\nheptad-capture: interrupted: nothing written\n";
    [[maybe_unused]] const ssize_t ignored = write(2, message, sizeof message - 1);
    _exit(128 + signal);
}

// A crash cleans up the same way, then dies of its signal as it would have (the handler was
// installed to run once and the signal is not blocked in it), core dump and all.
void onCrashSignal(int signal) {
    stopHelpersAndRemoveTheFile();
    const char message[] = "\nheptad-capture: crashed: nothing written\n";
    [[maybe_unused]] const ssize_t ignored = write(2, message, sizeof message - 1);
    raise(signal);
}
} // namespace

void installEmergencyStop() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
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

void guardTempFile(const char* path) {
    SignalsHeld held;
    if (path == nullptr || std::strlen(path) >= sizeof tempFile) {
        tempFile[0] = '\0';
        return;
    }
    std::strcpy(tempFile, path);
}

void guardChild(pid_t pid, int inputFd) {
    SignalsHeld held;
    for (int i = 0; i < maxChildren; ++i) {
        if (children[i] == 0) {
            children[i] = pid;
            childInputs[i] = inputFd;
            return;
        }
    }
}

void releaseChild(pid_t pid) {
    SignalsHeld held;
    for (int i = 0; i < maxChildren; ++i) {
        if (children[i] == pid) {
            children[i] = 0;
            childInputs[i] = -1;
        }
    }
}
