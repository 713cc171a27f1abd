#include "capture/virtual_display.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

bool VirtualDisplay::start(int width, int height, std::string& error) {
    const std::string xvfb = findOnPath("Xvfb");
    if (xvfb.empty()) {
        error = "there is no display and no Xvfb to make one: install the xvfb package, or run "
                "it from a desktop session";
        return false;
    }
    int ready[2] = {-1, -1};
    if (pipe2(ready, O_CLOEXEC) != 0) {
        error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    // -displayfd: the server takes the first free display number and writes it to descriptor 3
    // once it accepts clients, so there is no guessing and no polling for a lock file.
    const std::string screen = std::to_string(width) + "x" + std::to_string(height) + "x24";
    const bool started = server.start(
        {xvfb, "-displayfd", "3", "-screen", "0", screen, "-nolisten", "tcp", "-noreset"}, false,
        true, ready[1], error);
    close(ready[1]);
    if (!started) {
        close(ready[0]);
        return false;
    }

    std::string number;
    pollfd waitFor{ready[0], POLLIN, 0};
    char c = 0;
    // A server that has not answered in 20 seconds is not going to.
    while (poll(&waitFor, 1, 20000) > 0 && read(ready[0], &c, 1) == 1 && c != '\n') {
        number += c;
    }
    close(ready[0]);
    if (number.empty() || !server.running()) {
        server.stop();
        error = "the virtual X server (Xvfb) did not start";
        return false;
    }
    displayName = ":" + number;
    setenv("DISPLAY", displayName.c_str(), 1);
    return true;
}
