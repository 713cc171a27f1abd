#pragma once
#include "schedule/schedule.h"

// The seven scenes, each run once per frame by the timeline with the frame's demoTime.
void drawTitleScene(float demoTime);
void drawScene2(float demoTime);
void drawScene3(float demoTime);
void drawScene4(float demoTime);
void drawScene5(float demoTime);
void drawScene6(float demoTime);
void drawFinale(float demoTime);

// Scene 2 sets some state once, on the first frame it draws; this makes its next frame the first
// again, for a timeline that is run again from the start in the same process.
void forgetScene2Start();
