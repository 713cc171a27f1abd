#pragma once
#include <string>
#include <sys/types.h>
#include <vector>

// The full path of an executable found on PATH, or "" when there is none.
std::string findOnPath(const std::string& program);

// A helper program (the encoder, the virtual X server) run in a process group of its own, so
// that Ctrl-C in the terminal reaches only the capture, which then stops its helpers in order.
// The destructor stops a helper that is still running.
class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Starts argv[0] (a path) with the given arguments. With feedStdin the child reads from a
    // pipe that write() fills; otherwise from /dev/null. quietOutput sends its stdout and stderr
    // to /dev/null. passFd, if not -1, becomes the child's descriptor 3.
    bool start(const std::vector<std::string>& argv, bool feedStdin, bool quietOutput, int passFd,
               std::string& error);
    // When set before start() (and quietOutput is false), the child's stdout and stderr go to
    // this file instead of ours.
    std::string logFile;

    // Writes all bytes to the child's stdin; false once the child has stopped reading.
    bool write(const void* data, size_t bytes);
    // Closes stdin and waits: the exit status, or 128 + signal number.
    int finish();
    // True while the child runs (reaps it once it has exited).
    bool running();
    // Asks the child to stop (SIGTERM), then waits for it.
    void stop();

  private:
    pid_t pid = -1;
    int stdinFd = -1;
    int exitStatus = -1;
    void closeStdin();
    void record(int waitStatus);
};
