// Runs a program with the Escape key really held down (XTest) from the moment its full-screen
// window is mapped, which is before it can draw its first frame, and lets go when the program
// ends. Exits with the program's status.
// Usage: hold_escape <program> [arguments...]
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <cstdio>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
int exitStatus(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Waits up to a tenth of a second for the X connection to have something to read.
void waitForX(Display* display) {
    const int fd = ConnectionNumber(display);
    fd_set readable;
    FD_ZERO(&readable);
    FD_SET(fd, &readable);
    timeval timeout{0, 100000};
    select(fd + 1, &readable, nullptr, nullptr, &timeout);
}
} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: hold_escape <program> [arguments...]\n");
        return 125;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "hold_escape: no X display\n");
        return 125;
    }
    // Watch the root window before the program starts, so no map can be missed.
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    const KeyCode escape = XKeysymToKeycode(display, XK_Escape);

    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        _exit(127);
    }

    bool held = false;
    int status = 0;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (held || XPending(display) == 0) {
            waitForX(display);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify) {
            continue;
        }
        // The window library's own helper window is tiny; the demo's window is not.
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, event.xmap.window, &attributes) &&
            attributes.width >= 640) {
            XTestFakeKeyEvent(display, escape, True, CurrentTime);
            XFlush(display);
            held = true;
        }
    }
    if (held) {
        XTestFakeKeyEvent(display, escape, False, CurrentTime);
        XFlush(display);
    }
    XCloseDisplay(display);
    return held ? exitStatus(status) : 124;
}
