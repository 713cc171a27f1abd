#include "app/clock.h"
#include "app/frame.h"
#include "app/startup.h"
#include "support/capture_stdout.h"
#include "support/complete_runtime.h"
#include "support/gl_context.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
double residentMiB() {
    long pages = 0;
    long resident = 0;
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) {
        return 0.0;
    }
    if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) {
        resident = 0;
    }
    std::fclose(statm);
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

struct SceneWindow {
    const char* name;
    double start, end;
};

class MemoryTest : public GlTest {};
} // namespace

// Everything is made once, at start-up or on a mesh's first draw: after that, playing the
// demo must not cost memory. Resident memory is sampled after each presented frame.
TEST_F(MemoryTest, ResidentMemoryStaysFlatFromScene2ToTheFinale) {
    const CompleteRuntime runtime = makeCompleteRuntime();
    ASSERT_EQ(chdir(runtime.folder.c_str()), 0);
    {
        StdoutCapture quiet;
        runStartUp(window);
    }
    const SceneWindow scenes[] = {{"scene 2", 24, 44},   {"scene 3", 44, 67},
                                  {"scene 4", 67, 83},   {"scene 5", 83, 112},
                                  {"scene 6", 112, 129}, {"finale", 129, 164}};
    const int framesPerScene = 20;
    // The first frames of a scene build its meshes and let the driver compile its programs'
    // code; growth is judged from the third frame on.
    const int settledFrame = 2;
    const double allowedGrowthWithinSceneMiB = 1.0;
    // The finale's last steps of driver memory (above). A leak of ours there would be far larger:
    // one sphere's buffers a draw is 40 MiB a frame.
    const double allowedGrowthWithinFinaleMiB = 16.0;
    const double allowedDriftAcrossScenesMiB = 8.0;

    bool musicStarted = true;
    auto playFrame = [&](const SceneWindow& scene, int frame) {
        pinTimer(scene.start + (scene.end - scene.start) * (frame + 0.5) / framesPerScene);
        runFrame(window, musicStarted);
        glfwSwapBuffers(window);
        glfwPollEvents();
    };
    // A software driver keeps the memory it bins a frame's triangles into, sized by the heaviest
    // frames it has met: on llvmpipe the finale's grids of up to 300 spheres take it from about
    // 250 to about 700 MiB over its first frames, after which it moves by a step of a few MiB at
    // most, however long the finale plays. A pass over the same frames first lets it reach that
    // size, so that the pass measured below sees what the demo itself costs.
    for (const SceneWindow& scene : scenes) {
        for (int frame = 0; frame < framesPerScene; ++frame) {
            playFrame(scene, frame);
        }
    }
    double scene2First = 0.0;
    double finaleFirst = 0.0;
    for (const SceneWindow& scene : scenes) {
        std::vector<double> samples;
        for (int frame = 0; frame < framesPerScene; ++frame) {
            playFrame(scene, frame);
            samples.push_back(residentMiB());
        }
        const double growth = samples.back() - samples[settledFrame];
        std::printf("%-8s first frame %7.1f MiB, frame %d %7.1f MiB, last %7.1f MiB\n", scene.name,
                    samples.front(), settledFrame + 1, samples[settledFrame], samples.back());
        const bool finale = std::string(scene.name) == "finale";
        EXPECT_LE(growth, finale ? allowedGrowthWithinFinaleMiB : allowedGrowthWithinSceneMiB)
            << scene.name << " grows frame over frame";
        if (std::string(scene.name) == "scene 2") {
            scene2First = samples.front();
        }
        if (std::string(scene.name) == "finale") {
            finaleFirst = samples.front();
        }
    }
    unpinTimer();
    std::printf("first frame of the finale: %+.1f MiB against the first frame of scene 2\n",
                finaleFirst - scene2First);
    EXPECT_LE(finaleFirst - scene2First, allowedDriftAcrossScenesMiB);
    std::filesystem::remove_all(runtime.folder);
}
