#pragma once
#include <string>
#include <vector>

// What the page asks of the browser build, passed as program arguments built from its address:
//   --size WxH   drawing buffer (default 1920x1080)
//   --speed X    the clock runs X times as fast (default 1), for tests that play it all
//   --still T    render only the frame at T seconds, as heptad-capture --still does
//   --glcheck    count GL errors after start-up and after every frame
//   --bench N    time N frames of every scene instead of playing
//   --gentle     run the flash limiter after every frame, as heptad --gentle does (the start
//                card's "reduce flashing" switch)
struct WebOptions {
    int width = 1920;
    int height = 1080;
    double speed = 1.0;
    bool still = false;
    double stillTime = 0.0;
    bool glCheck = false;
    int benchFrames = 0;
    bool gentle = false;
};

// Unknown or malformed arguments leave error set and the defaults in place.
WebOptions parseWebOptions(const std::vector<std::string>& args, std::string& error);
