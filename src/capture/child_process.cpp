#include "capture/child_process.h"

#include "capture/emergency_stop.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

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

bool ChildProcess::start(const std::vector<std::string>& argv, bool feedStdin, bool quietOutput,
                         int passFd, std::string& error) {
    int pipeFds[2] = {-1, -1};
    if (feedStdin && pipe2(pipeFds, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (feedStdin) {
        posix_spawn_file_actions_adddup2(&actions, pipeFds[0], 0);
    } else {
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    }
    if (quietOutput) {
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    } else if (!logFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, 1, logFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0644);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    }
    // dup2 onto itself would keep close-on-exec, so a descriptor that already is 3 moves first.
    int movedFd = -1;
    if (passFd == 3) {
        movedFd = fcntl(passFd, F_DUPFD_CLOEXEC, 4);
        passFd = movedFd;
    }
    if (passFd != -1) {
        posix_spawn_file_actions_adddup2(&actions, passFd, 3);
    }
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Own process group; default signal handling (the capture ignores SIGPIPE itself).
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    sigaddset(&defaults, SIGINT);
    sigaddset(&defaults, SIGTERM);
    sigaddset(&defaults, SIGHUP);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args;
    for (const std::string& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    const int result = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (movedFd != -1) {
        close(movedFd);
    }
    if (feedStdin) {
        close(pipeFds[0]);
    }
    if (result != 0) {
        pid = -1;
        if (feedStdin) {
            close(pipeFds[1]);
        }
        error = "cannot run " + argv[0] + ": " + std::strerror(result);
        return false;
    }
    guardChild(pid);
    if (feedStdin) {
        stdinFd = pipeFds[1];
        // A larger pipe lets a whole row band through per write; the default 64 KiB is fine too.
        fcntl(stdinFd, F_SETPIPE_SZ, 1 << 20);
    }
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
