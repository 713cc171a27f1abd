#include "capture/emergency_stop.h"

#include <climits>
#include <csignal>
#include <cstring>
#include <sys/wait.h>
#include <unistd.h>

namespace {
constexpr int maxChildren = 72; // --jobs 64, each part with its X server, and the encoders
char tempFile[PATH_MAX] = "";
char partsFolder[PATH_MAX - 32] = "";
int partsInFolder = 0;
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

// Writes a positive number in decimal (no sprintf in a signal handler); returns its end.
char* writeNumber(char* at, int number) {
    char digits[12];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + number % 10);
        number /= 10;
    } while (number > 0);
    while (count > 0) {
        *at++ = digits[--count];
    }
    return at;
}

void onStopSignal(int signal) {
    if (tempFile[0] != '\0') {
        unlink(tempFile);
    }
    for (pid_t pid : children) {
        if (pid > 0) {
            kill(pid, SIGTERM);
        }
    }
    if (partsFolder[0] != '\0') {
        // The parts remove their unfinished files as they stop; then the finished ones go.
        for (pid_t pid : children) {
            if (pid > 0) {
                waitpid(pid, nullptr, 0);
            }
        }
        char path[PATH_MAX];
        const size_t length = std::strlen(partsFolder);
        std::memcpy(path, partsFolder, length);
        const char* const kinds[] = {".mp4", ".log"};
        for (int part = 1; part <= partsInFolder; ++part) {
            for (const char* kind : kinds) {
                std::memcpy(path + length, "/part", 5);
                std::strcpy(writeNumber(path + length + 5, part), kind);
                unlink(path);
            }
        }
        rmdir(partsFolder);
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

void guardPartsFolder(const char* path, int parts) {
    SignalsHeld held;
    if (path == nullptr || std::strlen(path) >= sizeof partsFolder) {
        partsFolder[0] = '\0';
        return;
    }
    std::strcpy(partsFolder, path);
    partsInFolder = parts;
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
