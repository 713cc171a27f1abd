#pragma once
#include <vector>

// Frames are numbered on a clock of fps frames a second from demo time 0: frame n is n / fps.
// The frames to render unseen before a first frame that starts late, so that the GL state it
// inherits is what a viewer of the whole demo would see: the last frame of every scene that has
// run by then (each scene leaves state to those after it) and the frame just before (a frame on a
// scene bound draws nothing and shows what that frame left). In time order.
std::vector<long> warmUpFrames(long firstFrame, int fps);

// Starts the live program's timeline at the given demo seconds instead of at the end of
// start-up: the warm-up frames before it on a 60 Hz clock are drawn into the back buffer, never
// presented, each with the timer pinned to its time; then the music starts at that point of the
// track and, at once, the window library's clock is set to it, so that pictures and sound start
// together. The frame loop then must not start the music again.
void startTimelineAt(double seconds);
