#pragma once
#include "schedule/schedule.h"

#include <string>
#include <vector>

// Edit mode's clock: a position in the demo that runs with the wall clock or holds still, and the
// positions its keys move to. Free of GL and sound, so that it can be checked alone.

constexpr double editFrameSeconds = 1.0 / 60.0;

// The last frame that a 60 Hz run draws; edit mode holds there instead of ending.
double editEndSeconds();

// Where a move may land: the starts of the scenes (0 for the title) and of the finale's middle
// and late grids, in time order.
std::vector<double> editSceneStarts();
// The first start after t, or the end when none is left.
double nextSceneStart(double t);
// The start of the scene that holds t, or of the one before when t is within a second of its
// start (a media player's "previous"); 0 at the title.
double sceneStartBack(double t);

// "12.3" for bar 12, beat 3 (both counted from 1) of the 128 BPM track.
std::string barBeat(double t);

class Transport {
  public:
    // The demo's seconds at this wall-clock time: the held position, or the position plus the
    // wall time since it was set, never past the end.
    double time(double wall) const;
    bool paused() const { return held; }
    // Both keep the time where it is at wall.
    void pause(double wall);
    void resume(double wall);
    // Sets the position (clamped to 0 .. end) as of this wall-clock time.
    void setPosition(double seconds, double wall);

  private:
    double position = 0.0;
    double positionWall = 0.0;
    bool held = false;
};
