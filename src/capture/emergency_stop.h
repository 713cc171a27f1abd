#pragma once
#include <sys/types.h>

// Ctrl-C, a closed terminal or a kill end a capture at once, also in the middle of start-up: the
// signal handler itself removes the unfinished output file, stops the helper processes (the
// encoder, the join's ffmpeg) and exits with 128 + the signal, saying so in one line. It only
// touches fixed-size static data and makes only async-signal-safe calls. A crash (SIGABRT, SIGSEGV,
// SIGBUS, SIGFPE, SIGILL) cleans up the same way and then dies of that signal.
void installEmergencyStop();

// The unfinished output to remove; nullptr once there is none.
void guardTempFile(const char* path);
// A helper process to stop (SIGTERM; the pipe it reads from, if not -1, is closed) and the end
// of that guard once it has been reaped.
void guardChild(pid_t pid, int inputFd);
void releaseChild(pid_t pid);
