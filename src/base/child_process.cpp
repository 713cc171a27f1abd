#include "base/child_process.h"

#include "base/pending_output.h"

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

namespace {
// Whether the child exits within `seconds`; it is reaped if so, with its wait status kept.
bool exitsWithin(pid_t pid, double seconds, int& waitStatus) {
    for (int waited = 0; waited <= seconds * 100; ++waited) {
        const pid_t done = waitpid(pid, &waitStatus, WNOHANG);
        if (done == pid || (done < 0 && errno != EINTR)) {
            return true;
        }
        usleep(10000);
    }
    return false;
}
} // namespace

// A helper still running here was left by a failure.
ChildProcess::~ChildProcess() {
    stop();
}

bool ChildProcess::start(const std::vector<std::string>& argv, bool catchOutput,
                         std::string& error) {
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    const bool piped = pipe2(in, O_CLOEXEC) == 0 && (!catchOutput || pipe2(out, O_CLOEXEC) == 0);
    int failed = piped ? 0 : errno;
    if (piped) {
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        if (catchOutput) {
            posix_spawn_file_actions_adddup2(&actions, out[1], 1);
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
        std::vector<char*> args;
        for (const std::string& arg : argv) {
            args.push_back(const_cast<char*>(arg.c_str()));
        }
        args.push_back(nullptr);
        {
            // A stop signal waits until the emergency stop knows the helper it would kill; the
            // helper itself starts with the signal mask of before.
            const StopSignalsHeld held;
            posix_spawnattr_setsigmask(&attributes, &held.maskBefore());
            posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF |
                                                      POSIX_SPAWN_SETSIGMASK);
            failed = posix_spawn(&pid, args[0], &actions, &attributes, args.data(), environ);
            if (failed == 0) {
                guardHelper(pid);
            }
        }
        posix_spawn_file_actions_destroy(&actions);
        posix_spawnattr_destroy(&attributes);
    }
    // The child's ends are its own now; ours go too when it did not start.
    for (int fd : {in[0], out[1], failed != 0 ? in[1] : -1, failed != 0 ? out[0] : -1}) {
        if (fd != -1) {
            close(fd);
        }
    }
    if (failed != 0) {
        pid = -1;
        error = "cannot run " + argv[0] + ": " + std::strerror(failed);
        return false;
    }
    // A larger pipe lets a whole row band through per write; the default 64 KiB is fine too.
    fcntl(in[1], F_SETPIPE_SZ, 1 << 20);
    input = fdopen(in[1], "w");
    std::setvbuf(input, nullptr, _IONBF, 0);
    output = catchOutput ? fdopen(out[0], "r") : nullptr;
    return true;
}

bool ChildProcess::write(const void* data, size_t bytes) {
    // A failed write is EPIPE: the child is gone (SIGPIPE is ignored by the recorder).
    return input != nullptr && std::fwrite(data, 1, bytes, input) == bytes;
}

std::string ChildProcess::readOutput() {
    if (input != nullptr) {
        std::fclose(input);
        input = nullptr;
    }
    std::string text;
    char buffer[4096];
    for (size_t n; output != nullptr && (n = std::fread(buffer, 1, sizeof buffer, output)) > 0;) {
        text.append(buffer, n);
    }
    return text;
}

void ChildProcess::closeStreams() {
    for (std::FILE** stream : {&input, &output}) {
        if (*stream != nullptr) {
            std::fclose(*stream);
            *stream = nullptr;
        }
    }
}

int ChildProcess::reaped(int waitStatus) {
    guardHelper(0);
    pid = -1;
    return WIFEXITED(waitStatus) ? WEXITSTATUS(waitStatus) : 128 + WTERMSIG(waitStatus);
}

int ChildProcess::finish() {
    closeStreams();
    if (pid <= 0) {
        return -1;
    }
    int waitStatus = 0;
    while (waitpid(pid, &waitStatus, 0) < 0 && errno == EINTR) {
    }
    return reaped(waitStatus);
}

int ChildProcess::stop() {
    closeStreams();
    if (pid <= 0) {
        return -1;
    }
    // Asked first, so that it can clean up; told, if it does not stop within the grace period.
    int waitStatus = 0;
    kill(pid, SIGTERM);
    if (!exitsWithin(pid, stopGraceSeconds, waitStatus)) {
        kill(pid, SIGKILL);
        while (waitpid(pid, &waitStatus, 0) < 0 && errno == EINTR) {
        }
    }
    return reaped(waitStatus);
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
