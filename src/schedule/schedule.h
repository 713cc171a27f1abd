#pragma once
#include <array>
#include <cstddef>
#include <iterator>
#include <limits>

// What defines the demo, written once: when each scene runs and how the finale splits, the tempo
// and the length, the moments a viewer jumps to, the programs and pictures start-up builds, and
// what a frame of each scene costs to record. Everything else derives from these tables.

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
constexpr const TimelineWindow& windowOf(TimelineScene scene) {
    return timelineWindows[static_cast<int>(scene) - 1];
}
// Where a scene's own time starts: each scene draws at demoTime minus this (the title at 0).
constexpr float sceneStart(TimelineScene scene) {
    return scene == TimelineScene::Title ? 0.0f : windowOf(scene).start;
}
// The demo ends after this many seconds of its clock.
constexpr float demoEnd = timelineWindows[std::size(timelineWindows) - 1].end;
constexpr double demoLength = demoEnd;

TimelineScene timelineScene(float demoTime);
// Past the end the demo is over.
bool timelineEnded(float demoTime);
// "title", "scene 2" ... "finale", or "none" for a time on a bound.
const char* sceneName(TimelineScene scene);

// The finale's three grids, by its own time s (demoTime minus its start): early for s < 12,
// middle for 12 < s < 22, late for s > 22; none at exactly 12 or 22.
enum class FinaleWindow { None, Early, Middle, Late };
constexpr float finaleMiddleFrom = 12.0f;
constexpr float finaleLateFrom = 22.0f;
FinaleWindow finaleWindowAt(float s);

// The track's tempo, and the scenes' beat counter floor(s x beatsPerSecond), 128 a minute.
constexpr double beatsPerMinute = 128.0;
constexpr double beatSeconds = 60.0 / beatsPerMinute;
constexpr double barSeconds = 4.0 * beatSeconds;
constexpr float beatsPerSecond = static_cast<float>(beatsPerMinute / 60.0);

// The moments a viewer jumps to and steps past: 0, the start of every later scene, and the
// starts of the finale's middle and late grids, in time order.
constexpr std::array<double, 9> sceneMoments = [] {
    std::array<double, 9> moments{};
    std::size_t n = 0;
    moments[n++] = 0.0;
    for (const TimelineWindow& window : timelineWindows) {
        if (window.scene != TimelineScene::Title) {
            moments[n++] = window.start;
        }
    }
    moments[n++] = sceneStart(TimelineScene::Finale) + finaleMiddleFrom;
    moments[n++] = sceneStart(TimelineScene::Finale) + finaleLateFrom;
    return moments;
}();

// The files start-up builds its programs from and loads its pictures from, in the order it
// builds them: the finale's and the precompute's programs first, then the title's to scene 6's.
struct ProgramFiles {
    const char* vertex;
    const char* fragment;
};
constexpr ProgramFiles litProgramFiles[] = {
    {"labShaders/Scene7-PBR1.vs", "labShaders/Scene7-PBR1.fs"}, // the spheres
    {"labShaders/Scene7-PBR2.vs", "labShaders/Scene7-PBR2.fs"}, // sky to cube map
    {"labShaders/Scene7-PBR3.vs", "labShaders/Scene7-PBR3.fs"}, // irradiance
    {"labShaders/Scene7-PBR4.vs", "labShaders/Scene7-PBR4.fs"}, // pre-filter
    {"labShaders/Scene7-PBR5.vs", "labShaders/Scene7-PBR5.fs"}, // BRDF lookup
    {"labShaders/Scene7-PBR6.vs", "labShaders/Scene7-PBR6.fs"}, // the sky behind
};
// Three fragment files live under the lower-case folder.
constexpr ProgramFiles sceneProgramFiles[] = {
    {"labShaders/title.vs", "labShaders/title.fs"},
    {"labShaders/Scene2.vs", "labShaders/Scene2.fs"},
    {"labShaders/Scene3.vs", "labShaders/Scene3.fs"},
    {"labShaders/Scene4.vs", "labshaders/Scene4.fs"},
    {"labShaders/Scene5.vs", "labshaders/Scene5.fs"},
    {"labShaders/Scene6.vs", "labshaders/Scene6.fs"},
};
// The title's logo and the two greetings cards (scenes 4 and 6), loaded in this order.
constexpr const char* scenePictures[] = {"imgs/logo.png", "imgs/Tarvogreets.png",
                                         "imgs/Greets.png"};
constexpr const char* skyPicture = "imgs/vellmar.512.hdr";
constexpr const char* musicFile = "demotune.mp3";

// What one frame at this demo time costs to record, in seconds at 1920x1080 on a 2-core machine
// without a GPU: bench/capture_bench's speed of each scene, the finale split by grid in the
// proportions of bench/scenes_bench's frame times. Only the proportions matter, to the recorder's
// time left and to a plan that shares the frames out evenly.
double expectedFrameCost(float demoTime);
