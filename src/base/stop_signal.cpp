#include "base/stop_signal.h"

#include <csignal>
#include <cstdlib>

namespace {
volatile std::sig_atomic_t receivedSignal = 0;

void noteSignal(int signal) {
    receivedSignal = signal;
}

void catchSignal(int signal) {
    struct sigaction current = {};
    sigaction(signal, nullptr, &current);
    if (current.sa_handler == SIG_IGN) {
        return;
    }
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    // Restarted system calls keep the window and sound libraries unaware of the signal; the
    // handler is reset after its first use, so a second Ctrl-C acts at once.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(signal, &action, nullptr);
}
} // namespace

void installStopSignals() {
    catchSignal(SIGINT);
    catchSignal(SIGTERM);
}

int stopSignal() {
    return receivedSignal;
}

void dieOfStopSignal() {
    const int signal = receivedSignal;
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    std::_Exit(128 + signal); // not reached: the default action of both signals ends the process
}
