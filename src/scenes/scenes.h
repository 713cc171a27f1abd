#pragma once

// The seven scenes, each run once per frame by the timeline with the frame's demoTime.
void drawTitleScene(float demoTime);
void drawScene2(float demoTime);
void drawScene3(float demoTime);
void drawScene4(float demoTime);
void drawScene5(float demoTime);
void drawScene6(float demoTime);
void drawFinale(float demoTime);
