#pragma once

// Starts the live program's timeline at the given demo seconds instead of at the end of
// start-up (--from). The GL state that the scenes before it leave behind is made first, as the
// recorder does for a recording that starts late: its warm-up frames on a 60 Hz clock are drawn
// into the back buffer and never presented, each with the timer pinned to its time. Then the
// music starts at that point of the track and, at once, the window library's clock is set to
// it, so that pictures and sound start together. The frame loop then must not start the music
// again.
// With a flash limiter, its history is warmed over the second before (drawGentleWarmUpFor).
class FlashLimiter;
void startTimelineAt(double seconds, FlashLimiter* limiter = nullptr, int width = 0,
                     int height = 0);
