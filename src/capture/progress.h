#pragma once
#include "demo/frame_plan.h"

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

// The expected seconds (the schedule's expectedFrameCost: the time left follows the scenes still
// ahead rather than the pace of the cheap ones behind, and a plan shares the cost out evenly) of
// the first n frames of the range, for n from 0 to all of them.
std::vector<double> expectedCostsBefore(const FrameRange& range, int fps);

// The time a recording still needs once `done` of its frames have taken `elapsedSeconds`: the
// expected cost of the frames ahead (costBefore as expectedCostsBefore gives it), scaled by how
// long the frames done so far took against their expected cost. -1 before the first frame.
double secondsLeft(const std::vector<double>& costBefore, long done, double elapsedSeconds);

// "1:05", "1:02:03": minutes and seconds, hours when needed.
std::string formatDuration(double seconds);

// The report of a long capture: frames done of the total, the scene being rendered, the current
// speed and the time left, estimated from the scenes still ahead. The speed is that of the scene
// being rendered, since the scenes differ a lot in cost. On a terminal it is one line,
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
    Clock::time_point started;
    Clock::time_point lastDrawn;
    size_t lastWidth = 0;
    long lastDrawnDone = -1;
    bool lineByLine;
    std::vector<double> costBefore;
    // Time spent per scene, for the speed shown and the closing report: each frame costs the
    // time since the last.
    struct SceneTime {
        const char* scene;
        long frames;
        double seconds;
    };
    std::vector<SceneTime> sceneTimes;
    Clock::time_point lastFrame;
    void draw();
};
