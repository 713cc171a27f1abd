#pragma once
#include "app/frame_plan.h"

#include <vector>

// What one frame at this demo time costs to record, in seconds at 1920x1080 on a 2-core machine
// without a GPU. Only the proportions matter: they let the time left follow the scenes still
// ahead rather than the pace of the cheap ones behind.
double expectedFrameCost(float demoTime);

// The time a recording still needs: the expected cost of the frames ahead, scaled by how long
// the frames done so far took against their expected cost.
class TimeLeft {
  public:
    TimeLeft(const FrameRange& range, int fps);
    // Seconds still to go once `done` frames have taken `elapsedSeconds`; -1 before the first.
    double secondsLeft(long done, double elapsedSeconds) const;

  private:
    std::vector<double> costBefore; // costBefore[n]: expected seconds of the first n frames
};
