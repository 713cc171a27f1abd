#include "capture/child_process.h"

#include "capture/emergency_stop.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

std::string findOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) {
        return "";
    }
    std::string dirs = path;
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t end = dirs.find(':', start);
        if (end == std::string::npos) {
            end = dirs.size();
        }
        const std::string dir = end > start ? dirs.substr(start, end - start) : ".";
        const std::string candidate = dir + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
        start = end + 1;
    }
    return "";
}

ChildProcess::~ChildProcess() {
    stop();
}

namespace {
// The child's side of start(), between fork and exec: only async-signal-safe calls, since the
// capture may already run the GL driver's threads. Reports a failed exec through errorFd.
[[noreturn]] void becomeChild(char* const* args, pid_t parent, int stdinFd, bool quietOutput,
                              const char* logFile, int passFd, int errorFd) {
    // The helper goes when the capture goes, even when the capture is killed outright
    // (SIGKILL leaves no handler a chance to stop it).
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent) {
        _exit(127); // the capture died before the line above took effect
    }
    // Own process group; default signal handling (the capture ignores SIGPIPE itself).
    setpgid(0, 0);
    for (int number : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) {
        signal(number, SIG_DFL);
    }
    // Out of the way of the descriptors set up below.
    errorFd = fcntl(errorFd, F_DUPFD_CLOEXEC, 10);
    const int in = stdinFd != -1 ? stdinFd : open("/dev/null", O_RDONLY);
    dup2(in, 0);
    if (quietOutput || logFile != nullptr) {
        const int out = quietOutput ? open("/dev/null", O_WRONLY)
                                    : open(logFile, O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(out, 2);
    }
    if (passFd != -1) {
        // dup2 onto itself would keep close-on-exec, so a descriptor that already is 3 moves
        // out of the way first.
        const int moved = passFd == 3 ? fcntl(passFd, F_DUPFD_CLOEXEC, 4) : passFd;
        dup2(moved, 3);
    }
    execv(args[0], args);
    const int error = errno;
    [[maybe_unused]] const ssize_t ignored = ::write(errorFd, &error, sizeof error);
    _exit(127);
}
} // namespace

bool ChildProcess::start(const std::vector<std::string>& argv, bool feedStdin, bool quietOutput,
                         int passFd, std::string& error) {
    int pipeFds[2] = {-1, -1};
    int execFailed[2] = {-1, -1};
    if ((feedStdin && pipe2(pipeFds, O_CLOEXEC) != 0) || pipe2(execFailed, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        if (pipeFds[0] != -1) {
            close(pipeFds[0]);
            close(pipeFds[1]);
        }
        return false;
    }
    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const pid_t parent = getpid();
    pid = fork();
    if (pid == 0) {
        becomeChild(args.data(), parent, pipeFds[0], quietOutput,
                    logFile.empty() ? nullptr : logFile.c_str(), passFd, execFailed[1]);
    }
    int childError = pid < 0 ? errno : 0;
    close(execFailed[1]);
    if (pid > 0) {
        // The pipe closes without a word when exec succeeds.
        while (read(execFailed[0], &childError, sizeof childError) < 0 && errno == EINTR) {
        }
    }
    close(execFailed[0]);
    if (feedStdin) {
        close(pipeFds[0]);
    }
    if (childError != 0) {
        if (pid > 0) {
            waitpid(pid, nullptr, 0);
        }
        pid = -1;
        if (feedStdin) {
            close(pipeFds[1]);
        }
        error = "cannot run " + argv[0] + ": " + std::strerror(childError);
        return false;
    }
    if (feedStdin) {
        stdinFd = pipeFds[1];
        // A larger pipe lets a whole row band through per write; the default 64 KiB is fine too.
        fcntl(stdinFd, F_SETPIPE_SZ, 1 << 20);
    }
    guardChild(pid, stdinFd);
    return true;
}

bool ChildProcess::write(const void* data, size_t bytes) {
    const char* next = static_cast<const char*>(data);
    while (bytes > 0) {
        const ssize_t written = ::write(stdinFd, next, bytes);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false; // EPIPE: the child is gone (SIGPIPE is ignored by the capture)
        }
        next += written;
        bytes -= static_cast<size_t>(written);
    }
    return true;
}

void ChildProcess::closeStdin() {
    if (stdinFd != -1) {
        close(stdinFd);
        stdinFd = -1;
        // The emergency stop must not close the number again once something else has it.
        releaseChild(pid);
        guardChild(pid, -1);
    }
}

void ChildProcess::record(int waitStatus) {
    exitStatus = WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
    releaseChild(pid);
    pid = -1;
}

int ChildProcess::finish() {
    closeStdin();
    if (pid != -1) {
        int waitStatus = 0;
        while (waitpid(pid, &waitStatus, 0) < 0 && errno == EINTR) {
        }
        record(waitStatus);
    }
    return exitStatus;
}

bool ChildProcess::running() {
    if (pid == -1) {
        return false;
    }
    int waitStatus = 0;
    if (waitpid(pid, &waitStatus, WNOHANG) == pid) {
        record(waitStatus);
        return false;
    }
    return true;
}

void ChildProcess::stop() {
    if (pid != -1) {
        kill(pid, SIGTERM);
    }
    finish();
}
