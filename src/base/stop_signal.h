#pragma once

// Ctrl-C (SIGINT) and SIGTERM end the live program the way Escape does. The handler only notes
// the signal; the frame loop sees it after the frame it interrupted, leaves by the window-close
// exit (window, audio device and window library released), and the program then dies of that
// same signal by its default action, so that its parent sees the conventional status (130 and
// 143 in a shell). A second signal before that ends the program at once. A SIGINT that was
// ignored when the program started (a background job of a shell without job control) stays
// ignored.
void installStopSignals();

// The signal that asked the program to stop, or 0.
int stopSignal();

// Ends the process by the default action of the signal that asked it to stop.
[[noreturn]] void dieOfStopSignal();
