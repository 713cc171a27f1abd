#pragma once

// The demo at a time T: every front end and every benchmark draws through drawDemoAt, so that
// the same time shows the same picture whoever asks for it.

// Which clock the scenes read while they draw.
enum class DemoClock {
    // The timer as it runs: the scenes read it afresh for their animation, as the live player
    // and a benchmark that pins the timer itself do. A time exactly on a bound draws nothing.
    Live,
    // The timer pinned to the frame's own time, so every read within the frame agrees: the
    // recorder's frames, the stills, --from's warm-up and edit mode. Where the time is a glitch
    // time (a scene bound, or a bound between the finale's grids), the live program would draw
    // nothing or the bare sky for one frame; this draws the next float instant instead, so the
    // picture runs on. The timer stays pinned afterwards.
    Pinned,
};

// Runs the one scene whose window holds these seconds, if any, on the given clock.
void drawDemoAt(double seconds, DemoClock clock);

// Draws, unseen, the frames on an fps clock whose GL state the frame at these seconds inherits
// (the last frame of every scene before it and the frame just before), each on the pinned clock.
// The timer stays pinned afterwards.
void drawWarmUpFor(double seconds, int fps);

class FlashLimiter;
// One frame on the pinned clock, the step of the recorder's loop and of the warm-up below: the
// demo at these seconds, then, for a gentle viewing (a limiter given), the limiter's pass over
// the picture of this size, shown at these seconds.
void drawPinnedFrame(double seconds, FlashLimiter* limiter, int width, int height);

// The same as drawWarmUpFor for a viewing through the flash limiter (--gentle): after the frames
// above, those of the second before, each through the limiter at this picture size, so that a late
// start holds back what a viewer from the start would have had held back; its history starts with
// them.
void drawGentleWarmUpFor(double seconds, int fps, FlashLimiter& limiter, int width, int height);
