#pragma once
#include <cstdio>
#include <string>
#include <sys/types.h>
#include <vector>

// The full path of an executable found on PATH, or "" when there is none.
std::string findOnPath(const std::string& program);

// A helper program (the encoder, the join's ffmpeg, ffprobe) started from a vector of arguments,
// never through a shell, in a process group of its own, so that Ctrl-C in the terminal reaches
// only the recorder, which then stops its helper itself (an encoder whose recorder is killed
// outright sees the end of its input and stops). The destructor stops a helper that is still
// running, as stop() does.
class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Starts argv[0] (a path) with the given arguments, reading from a pipe that write() fills.
    // With catchOutput its stdout goes to a pipe that readOutput() empties and its stderr to
    // /dev/null; otherwise both are ours.
    bool start(const std::vector<std::string>& argv, bool catchOutput, std::string& error);
    // Writes all bytes to the child's stdin; false once the child has stopped reading.
    bool write(const void* data, size_t bytes);
    // Closes stdin, then reads all the child prints on stdout, up to its end.
    std::string readOutput();
    // Closes stdin and waits: the exit status, or 128 + signal number.
    int finish();
    // Closes stdin and stops the helper: SIGTERM, then SIGKILL if it is still running after
    // stopGraceSeconds, so that one that will not stop cannot hang the recorder; then reaps it.
    // The status as finish() gives it.
    int stop();
    static constexpr double stopGraceSeconds = 2.0;

  private:
    void closeStreams();
    int reaped(int waitStatus);

    pid_t pid = -1;
    std::FILE* input = nullptr;  // the child's stdin, unbuffered
    std::FILE* output = nullptr; // its stdout, when caught
};

// What a program prints on stdout, or "" when it cannot be started or exits with a failure.
std::string outputOf(const std::vector<std::string>& argv);
