#pragma once

// The fixed sequence: seven open time windows (seconds since the window library started).
// A time equal to a bound belongs to no scene.
enum class TimelineScene { None, Title, Scene2, Scene3, Scene4, Scene5, Scene6, Finale };

TimelineScene timelineScene(float demoTime);
// Past 164 seconds the demo is over.
bool timelineEnded(float demoTime);
// Runs the one scene whose window holds demoTime, if any.
void runTimeline(float demoTime);
