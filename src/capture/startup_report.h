#pragma once
#include <functional>
#include <string>

// The demo's start-up reports a file it cannot read, a shader that does not build or a picture
// that does not load on standard output and goes on. A recording of that would not show the
// demo, so the recorder runs start-up with standard output caught, passes the text on, and
// counts the failure lines in it.
struct StartUpReport {
    std::string output;
    int failures = 0;
};
StartUpReport runCatchingOutput(const std::function<void()>& startUp);
// The failure lines in a start-up's output.
int countFailureLines(const std::string& output);
