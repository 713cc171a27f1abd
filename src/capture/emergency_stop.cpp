#include "capture/emergency_stop.h"

#include <climits>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {
constexpr int maxChildren = 72; // --jobs 64, each part with its X server, and the encoders
char tempFile[PATH_MAX] = "";
pid_t children[maxChildren] = {};

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

void onStopSignal(int signal) {
    if (tempFile[0] != '\0') {
        unlink(tempFile);
    }
    for (pid_t pid : children) {
        if (pid > 0) {
            kill(pid, SIGTERM);
        }
    }
    const char message[] = "\nheptad-capture: interrupted: nothing written\n";
    [[maybe_unused]] const ssize_t ignored = write(2, message, sizeof message - 1);
    _exit(128 + signal);
}
} // namespace

void installEmergencyStop() {
    struct sigaction action {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
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

void guardChild(pid_t pid) {
    SignalsHeld held;
    for (pid_t& slot : children) {
        if (slot == 0) {
            slot = pid;
            return;
        }
    }
}

void releaseChild(pid_t pid) {
    SignalsHeld held;
    for (pid_t& slot : children) {
        if (slot == pid) {
            slot = 0;
        }
    }
}
