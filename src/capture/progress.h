#pragma once
#include "capture/time_left.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

// "1:05", "1:02:03": minutes and seconds, hours when needed.
std::string formatDuration(double seconds);

// The report of a long capture: frames done of the total, the scene being rendered, the current
// speed and the time left, estimated from the scenes still ahead. The speed is measured over
// the last few seconds, since the scenes differ a lot in cost. On a terminal it is one line,
// rewritten ("\r"); into a log or a pipe it is a plain line every 5% or every 10 seconds.
class Progress {
  public:
    Progress(const FrameRange& range, int fps, std::FILE* out);
    // Counts one frame of the named scene; redraws the line at most a few times a second.
    void frameDone(const char* scene);
    // Draws the final state, ends the line and reports the speed of each scene.
    void finish();

  private:
    using Clock = std::chrono::steady_clock;
    long total;
    long done = 0;
    std::FILE* out;
    const char* scene = "";
    Clock::time_point started;
    Clock::time_point lastDrawn;
    // Speed window: frames and time since windowStart.
    Clock::time_point windowStart;
    long windowFrames = 0;
    double recentFps = 0.0;
    size_t lastWidth = 0;
    long lastDrawnDone = -1;
    bool lineByLine;
    TimeLeft timeLeft;
    // Time spent per scene, for the closing report: each frame costs the time since the last.
    struct SceneTime {
        const char* scene;
        long frames;
        double seconds;
    };
    std::vector<SceneTime> sceneTimes;
    Clock::time_point lastFrame;
    void draw();
};
