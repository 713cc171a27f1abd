#pragma once
#include <string>
#include <vector>

// How the viewer asked to watch. With no arguments: fullscreen, from the start of the clock.
struct PlayerOptions {
    bool inWindow = false;  // a resizable desktop window instead of fullscreen
    bool fromGiven = false; // start the timeline at fromSeconds instead of at start-up's end
    double fromSeconds = 0.0;
    bool edit = false;   // edit mode: live shader reload, transport keys, overlay; in a window
    bool gentle = false; // the flash limiter runs over every frame
    bool help = false;
    bool version = false;
};

// Either options or one line saying what is wrong with the command line.
struct ParsedPlayerOptions {
    PlayerOptions options;
    std::string error;
};

// Parses the arguments after the program name. Accepts "--from T" and "--from=T".
ParsedPlayerOptions parsePlayerOptions(const std::vector<std::string>& args);

// The --help text: what the program does, its keys and its options.
std::string playerUsage();
