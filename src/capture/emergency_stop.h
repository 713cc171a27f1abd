#pragma once
#include <sys/types.h>

// Ctrl-C, a closed terminal or a kill end a capture at once, also in the middle of start-up: the
// signal handler itself removes the unfinished output file, stops the helper processes (encoder,
// virtual X server) and exits with 128 + the signal, saying so in one line. It only touches
// fixed-size static data and makes only async-signal-safe calls.
void installEmergencyStop();

// The unfinished output to remove; nullptr once there is none.
void guardTempFile(const char* path);
// The folder of a recording's parts, named part1.mp4, part1.log ... up to `parts`: the handler
// waits for the helpers to stop, then removes those files and the folder. nullptr for none.
void guardPartsFolder(const char* path, int parts);
// A helper process to stop (SIGTERM) and the end of that guard once it has been reaped.
void guardChild(pid_t pid);
void releaseChild(pid_t pid);
