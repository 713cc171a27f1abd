#pragma once

// Drawing the demo at a chosen time rather than on the live clock: the recorder's frames, the
// stills of the recorder and the browser, and the live program's --from all draw through these,
// so that they show the same picture for the same time.

// Draws the frame at these seconds of the demo: every read of the timer within it sees the
// frame's own time. Where that time is a glitch time (a scene bound, or a bound between the
// finale's grids), the live program would draw nothing or the bare sky for one frame; this draws
// the next float instant instead, so the picture runs on. The timer stays pinned afterwards.
void drawFrameAt(double seconds);

// Draws, unseen, the frames on an fps clock whose GL state the frame at these seconds inherits
// (the last frame of every scene before it and the frame just before), each as drawFrameAt draws
// it. The timer stays pinned afterwards.
void drawWarmUpFor(double seconds, int fps);

class FlashLimiter;
// The same for a viewing through the flash limiter (--gentle): after the frames above, those of
// the second before, each through the limiter at this picture size, so that a late start holds
// back what a viewer from the start would have had held back; its history starts with them.
void drawGentleWarmUpFor(double seconds, int fps, FlashLimiter& limiter, int width, int height);
