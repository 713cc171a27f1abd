#pragma once
#include <csignal>
#include <string>
#include <sys/types.h>

// The output file is written under a temporary name in its own folder and renamed over the
// requested name only once it is complete and on the disk (whole_file.h), so a failed or
// interrupted capture leaves nothing half-written behind (and never clobbers an earlier good
// file). A recorder writes its picture and at most one report beside it, so the temporary names
// are kept here, where the emergency stop finds them too.

// Creates the temporary file beside `path` and returns its name; "" with a reason when that
// folder cannot be written or `path` names a folder.
std::string createPendingOutput(const std::string& path, std::string& error);
// Syncs the temporary file made for `path` and renames it to `path`; on failure every pending
// file is removed.
bool commitPendingOutput(const std::string& path, std::string& error);
// Removes the temporary files still pending.
void discardPendingOutput();

// Ctrl-C, a closed terminal or a kill end a capture at once, also in the middle of start-up: the
// signal handler itself removes the unfinished output file, kills the running helper process
// (the encoder, the join's ffmpeg) and exits with 128 + the signal, saying so in one line. It only
// touches fixed-size static data and makes only async-signal-safe calls. A crash (SIGABRT,
// SIGSEGV, SIGBUS, SIGFPE, SIGILL) cleans up the same way and then dies of that signal.
void installEmergencyStop();
// The helper the emergency stop kills; 0 once it has been reaped.
void guardHelper(pid_t pid);

// Holds off the stop signals while it lives, so that a step and the note the emergency stop
// keeps of it (a file made, a helper started) happen together: no signal falls in between.
class StopSignalsHeld {
  public:
    StopSignalsHeld();
    ~StopSignalsHeld();
    StopSignalsHeld(const StopSignalsHeld&) = delete;
    StopSignalsHeld& operator=(const StopSignalsHeld&) = delete;
    // The signal mask before, which a helper started meanwhile is given back.
    const sigset_t& maskBefore() const { return before; }

  private:
    sigset_t before;
};
