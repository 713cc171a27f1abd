#pragma once
#include <limits>

// The fixed sequence: seven open time windows (seconds since the window library started).
// A time equal to a bound belongs to no scene.
enum class TimelineScene { None, Title, Scene2, Scene3, Scene4, Scene5, Scene6, Finale };

// One scene's window: the open interval (start, end). The title's has no start.
struct TimelineWindow {
    TimelineScene scene;
    float start;
    float end;
};
constexpr float timelineNoStart = -std::numeric_limits<float>::infinity();
constexpr TimelineWindow timelineWindows[] = {
    {TimelineScene::Title, timelineNoStart, 24.0f}, {TimelineScene::Scene2, 24.0f, 44.0f},
    {TimelineScene::Scene3, 44.0f, 67.0f},          {TimelineScene::Scene4, 67.0f, 83.0f},
    {TimelineScene::Scene5, 83.0f, 112.0f},         {TimelineScene::Scene6, 112.0f, 129.0f},
    {TimelineScene::Finale, 129.0f, 164.0f},
};

TimelineScene timelineScene(float demoTime);
// Past 164 seconds the demo is over.
bool timelineEnded(float demoTime);
// Runs the one scene whose window holds demoTime, if any.
void runTimeline(float demoTime);
