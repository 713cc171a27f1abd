#pragma once

// The timer that the frame loop and the scenes read. The live program reads GLFW's clock; a
// recording pins it to each frame's virtual time so that every read within a frame agrees and
// a frame looks the same however long it takes to render.
double timerSeconds();
// The clock as it runs, pinned or not: the wall clock of edit mode's and the page's sessions.
double clockSeconds();
void pinTimer(double seconds);
void unpinTimer();

// The clock runs this many times as fast as real time: 1, unless a browser test asks for more
// to play the whole timeline quickly (the page's speed=).
void setClockSpeed(double speed);
