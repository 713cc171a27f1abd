#include "schedule/schedule.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
struct Window {
    float start;
    float end;
    TimelineScene scene;
};
const Window windows[] = {
    {24.0f, 44.0f, TimelineScene::Scene2},   {44.0f, 67.0f, TimelineScene::Scene3},
    {67.0f, 83.0f, TimelineScene::Scene4},   {83.0f, 112.0f, TimelineScene::Scene5},
    {112.0f, 129.0f, TimelineScene::Scene6}, {129.0f, 164.0f, TimelineScene::Finale},
};
} // namespace

TEST(Timeline, EveryBoundRunsNoScene) {
    for (float bound : {24.0f, 44.0f, 67.0f, 83.0f, 112.0f, 129.0f, 164.0f}) {
        EXPECT_EQ(timelineScene(bound), TimelineScene::None) << bound;
    }
}

TEST(Timeline, NearestFloatsBesideEachBoundRunTheNeighbours) {
    for (const Window& w : windows) {
        EXPECT_EQ(timelineScene(std::nextafter(w.start, 1000.0f)), w.scene) << w.start;
        EXPECT_EQ(timelineScene(std::nextafter(w.end, 0.0f)), w.scene) << w.end;
    }
    EXPECT_EQ(timelineScene(std::nextafter(24.0f, 0.0f)), TimelineScene::Title);
    EXPECT_EQ(timelineScene(std::nextafter(164.0f, 1000.0f)), TimelineScene::None);
}

TEST(Timeline, TitleCoversEverythingBelow24IncludingTheStart) {
    EXPECT_EQ(timelineScene(0.0f), TimelineScene::Title);
    EXPECT_EQ(timelineScene(0.35f), TimelineScene::Title);
    EXPECT_EQ(timelineScene(-1.0f), TimelineScene::Title);
}

TEST(Timeline, EndsOnlyStrictlyAfter164) {
    EXPECT_FALSE(timelineEnded(164.0f));
    EXPECT_TRUE(timelineEnded(std::nextafter(164.0f, 1000.0f)));
    EXPECT_TRUE(timelineEnded(164.01f));
    EXPECT_FALSE(timelineEnded(163.99f));
}

TEST(Timeline, NaNTimeRunsNothingAndDoesNotEnd) {
    EXPECT_EQ(timelineScene(std::nanf("")), TimelineScene::None);
    EXPECT_FALSE(timelineEnded(std::nanf("")));
}
