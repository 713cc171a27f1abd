#include "capture/child_process.h"

#include "capture/pending_output.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <initializer_list>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

std::string findOnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::istringstream dirs(path == nullptr ? "" : path);
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
        if (access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return "";
}

ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::start(const std::vector<std::string>& argv, bool catchOutput,
                         std::string& error) {
    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    const bool piped =
        pipe2(input, O_CLOEXEC) == 0 && (!catchOutput || pipe2(output, O_CLOEXEC) == 0);
    int failed = piped ? 0 : errno;
    if (piped) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], 0);
        if (catchOutput) {
            posix_spawn_file_actions_adddup2(&actions, output[1], 1);
            posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        }
        // A process group of its own, and default handling of the signals the recorder catches
        // or ignores (SIGPIPE).
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t defaults;
        sigemptyset(&defaults);
        for (int number : {SIGPIPE, SIGINT, SIGTERM, SIGHUP}) {
            sigaddset(&defaults, number);
        }
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setpgroup(&attributes, 0);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        failed = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    for (int fd : {input[0], output[1]}) {
        if (fd != -1) {
            close(fd);
        }
    }
    stdinFd = input[1];
    stdoutFd = output[0];
    if (failed != 0) {
        pid = -1;
        finish();
        error = "cannot run " + argv[0] + ": " + std::strerror(failed);
        return false;
    }
    // A larger pipe lets a whole row band through per write; the default 64 KiB is fine too.
    fcntl(stdinFd, F_SETPIPE_SZ, 1 << 20);
    guardHelper(pid);
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
            return false; // EPIPE: the child is gone (SIGPIPE is ignored by the recorder)
        }
        next += written;
        bytes -= static_cast<size_t>(written);
    }
    return true;
}

std::string ChildProcess::readOutput() {
    if (stdinFd != -1) {
        close(stdinFd);
        stdinFd = -1;
    }
    std::string text;
    char buffer[4096];
    while (stdoutFd != -1) {
        const ssize_t n = read(stdoutFd, buffer, sizeof buffer);
        if (n > 0) {
            text.append(buffer, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    return text;
}

int ChildProcess::finish() {
    for (int* fd : {&stdinFd, &stdoutFd}) {
        if (*fd != -1) {
            close(*fd);
            *fd = -1;
        }
    }
    int waitStatus = 0;
    const bool started = pid > 0;
    if (started) {
        while (waitpid(pid, &waitStatus, 0) < 0 && errno == EINTR) {
        }
        guardHelper(0);
    }
    pid = -1;
    if (!started) {
        return -1;
    }
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

void ChildProcess::stop() {
    if (pid > 0) {
        kill(pid, SIGTERM);
    }
    finish();
}

std::string outputOf(const std::vector<std::string>& argv) {
    ChildProcess child;
    std::string error;
    if (!child.start(argv, true, error)) {
        return "";
    }
    const std::string text = child.readOutput();
    return child.finish() == 0 ? text : "";
}
