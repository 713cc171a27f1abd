#pragma once

// The way out once the window is closed (Escape, the window system, Ctrl-C or SIGTERM): the
// spare cube deleted, the sound device and the window library released; a stop signal then ends
// the process by that signal, as a shell expects. Returns the exit status otherwise.
int endAfterWindowClose();
