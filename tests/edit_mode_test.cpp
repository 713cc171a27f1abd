// Edit mode against the real driver, driven in-process: saved shaders and pictures reload, the
// transport's moves land where they should with the scenes' state as a viewer's run leaves it,
// the music follows through SDL's disk driver, and the overlay draws in its corner and leaves the
// GL state alone.
#include "audio/sound_engine.h"
#include "context/window.h"
#include "demo/demo_session.h"
#include "demo/frame_at.h"
#include "demo/startup.h"
#include "demo/transport.h"
#include "edit/edit_overlay.h"
#include "edit/file_watch.h"
#include "edit/live_reload.h"
#include "flash/flash_limiter.h"
#include "ibl/capture_math.h"
#include "ibl/ibl.h"
#include "render/gl.h"
#include "render/gl_state_snapshot.h"
#include "scenes/resources.h"
#include "schedule/camera.h"
#include "support/capture_stdout.h"
#include "support/complete_runtime.h"
#include "support/gl_context.h"
#include "support/small_window.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <stb_image_write.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {
const unsigned char* pixel(const std::vector<unsigned char>& picture, int x, int y) {
    return &picture[(static_cast<size_t>(y) * smallWidth + x) * 4];
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path) << text;
}

// As an editor that saves by writing a new file and renaming it over the old one.
void saveByRenaming(const std::string& path, const std::string& text) {
    writeFile(path + ".new", text);
    fs::rename(path + ".new", path);
}

const char* const magentaShader = "#version 330 core\nout vec4 FragColor;\n"
                                  "void main() { FragColor = vec4(1.0, 0.0, 1.0, 1.0); }\n";

size_t magentaPixels(const std::vector<unsigned char>& picture) {
    size_t count = 0;
    for (size_t i = 0; i < picture.size(); i += 4) {
        count += picture[i] == 255 && picture[i + 1] == 0 && picture[i + 2] == 255;
    }
    return count;
}

double fakeWall = 100.0;
double fakeClock() {
    return fakeWall;
}

// The picture that --from `seconds` shows at its start, drawn in a process of its own (the
// scenes' GL objects are made once per process): a fresh start-up, the warm-up, the frame.
pid_t drawLateStartInChild(double seconds, const std::string& path) {
    const pid_t child = fork();
    if (child != 0) {
        return child;
    }
    if (!openSmallPicture()) {
        _exit(1);
    }
    startUpSmallPicture();
    drawWarmUpFor(seconds, 60);
    drawDemoAt(seconds, DemoClock::Pinned);
    const std::vector<unsigned char> pixels = readSmallPicture();
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(pixels.data()), static_cast<long>(pixels.size()));
    _exit(out ? 0 : 1);
}

std::vector<unsigned char> childPicture(pid_t child, const std::string& path) {
    int status = 0;
    EXPECT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the late start failed";
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> picture{std::istreambuf_iterator<char>(in), {}};
    std::remove(path.c_str());
    return picture;
}

void expectSameState(const GlStateSnapshot& a, const GlStateSnapshot& b) {
    EXPECT_EQ(a.enabled, b.enabled);
    EXPECT_EQ(a.offsetFactor, b.offsetFactor);
    EXPECT_EQ(a.offsetUnits, b.offsetUnits);
    EXPECT_EQ(a.polygonMode, b.polygonMode);
    EXPECT_EQ(a.lineWidth, b.lineWidth);
    EXPECT_EQ(a.clearColor, b.clearColor);
    EXPECT_EQ(a.colourMask, b.colourMask);
    EXPECT_EQ(a.depthFunc, b.depthFunc);
    EXPECT_EQ(a.viewport, b.viewport);
    EXPECT_EQ(a.program, b.program);
    EXPECT_EQ(a.vertexArray, b.vertexArray);
    EXPECT_EQ(a.arrayBuffer, b.arrayBuffer);
    EXPECT_EQ(a.packBuffer, b.packBuffer);
    EXPECT_EQ(a.unpackBuffer, b.unpackBuffer);
    EXPECT_EQ(a.drawFramebuffer, b.drawFramebuffer);
    EXPECT_EQ(a.readFramebuffer, b.readFramebuffer);
    EXPECT_EQ(a.renderbuffer, b.renderbuffer);
    EXPECT_EQ(a.activeTexture, b.activeTexture);
    EXPECT_EQ(a.texture2D, b.texture2D);
    EXPECT_EQ(a.textureCube, b.textureCube);
    EXPECT_EQ(a.blendSource, b.blendSource);
    EXPECT_EQ(a.blendDestination, b.blendDestination);
    EXPECT_EQ(a.unpackAlignment, b.unpackAlignment);
}

// Start-up in a fresh writable copy of the runtime folder, as edit mode starts: headless, or
// in a window for what draws on the window's own framebuffer.
class EditModeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        runtime = makeCompleteRuntime();
        ASSERT_EQ(chdir(runtime.folder.c_str()), 0);
    }
    void startUp() {
        ASSERT_TRUE(openSmallPicture());
        startUpSmallPicture();
    }
    void startUpInWindow() {
        window = openSmallWindow();
        ASSERT_NE(window, nullptr);
        runStartUpFor(window);
    }
    void TearDown() override {
        glfwTerminate();
        fs::remove_all(runtime.folder);
    }
    // Waits for the watch to see the saves just made (inotify queues them as the file closes).
    std::vector<std::string> saves(FileWatch& watch) {
        for (int i = 0; i < 100; ++i) {
            std::vector<std::string> files = watch.savedFiles();
            if (!files.empty()) {
                return files;
            }
            usleep(20000);
        }
        return {};
    }

    CompleteRuntime runtime;
    GLFWwindow* window = nullptr;
};
} // namespace

TEST_F(EditModeTest, ASavedShaderShowsOnTheNextFrameWithEverythingTheOldProgramWasGiven) {
    startUp();
    FileWatch watch(watchedFolders());
    ASSERT_TRUE(watch.watching());
    DemoSession session(fakeClock);
    session.togglePause();
    session.moveTo(50.0); // scene 3
    session.drawFrame();
    EXPECT_EQ(magentaPixels(readSmallPicture()), 0u);

    saveByRenaming("labShaders/Scene3.fs", magentaShader);
    const std::vector<std::string> saved = saves(watch);
    ASSERT_NE(std::find(saved.begin(), saved.end(), "labShaders/Scene3.fs"), saved.end());
    const ReloadOutcome outcome = reloadSavedFiles(saved);
    EXPECT_TRUE(outcome.failures.empty());
    session.drawFrame();
    EXPECT_GT(magentaPixels(readSmallPicture()), 1000u);

    // The uniforms start-up sets once, and those the finale set on its last frame.
    session.moveTo(135.0);
    session.drawFrame();
    const glm::vec3 light0 = uniformVec3(pbrShader.programId, "lightPositions[0]");
    writeFile("labShaders/Scene7-PBR1.fs", readFile("labShaders/Scene7-PBR1.fs") + "\n");
    writeFile("labshaders/Scene4.fs", readFile("labshaders/Scene4.fs") + "\n");
    const unsigned int oldPbr = pbrShader.programId;
    const ReloadOutcome lit = reloadSavedFiles(saves(watch));
    ASSERT_NE(pbrShader.programId, oldPbr);
    EXPECT_EQ(uniformInt(pbrShader.programId, "irradianceMap"), 0);
    EXPECT_EQ(uniformInt(pbrShader.programId, "prefilterMap"), 1);
    EXPECT_EQ(uniformInt(pbrShader.programId, "brdfLUT"), 2);
    EXPECT_EQ(uniformVec3(pbrShader.programId, "albedo"), glm::vec3(0.5f, 0.0f, 0.0f));
    EXPECT_EQ(uniformFloat(pbrShader.programId, "ao"), 1.0f);
    EXPECT_EQ(uniformMat4(pbrShader.programId, "projection"),
              makeStartUpProjection(globalCamera.fovDegrees));
    EXPECT_EQ(uniformVec3(pbrShader.programId, "lightPositions[0]"), light0);
    EXPECT_EQ(uniformInt(scene4Shader.programId, "texture2"), 1);
}

TEST_F(EditModeTest, WithoutInotifyOrWithItsFolderReplacedASavedShaderStillShows) {
    startUp();
    DemoSession session(fakeClock);
    session.togglePause();
    session.moveTo(50.0); // scene 3
    {
        // The per-user limit on inotify instances used up, as editors and IDEs often leave it.
        InotifyCalls usedUp;
        usedUp.init = [](int) {
            errno = EMFILE;
            return -1;
        };
        FileWatch watch(watchedFolders(), usedUp);
        ASSERT_TRUE(watch.watching());
        EXPECT_TRUE(watch.polling());
        EXPECT_TRUE(watch.savedFiles().empty());
        saveByRenaming("labShaders/Scene3.fs", magentaShader);
        const std::vector<std::string> saved = saves(watch);
        EXPECT_EQ(saved, std::vector<std::string>{"labShaders/Scene3.fs"});
        EXPECT_TRUE(reloadSavedFiles(saved).failures.empty());
        session.drawFrame();
        EXPECT_GT(magentaPixels(readSmallPicture()), 1000u);
    }

    // The folder replaced by another (as a checkout can): the new one is watched, and its
    // files count as saved.
    FileWatch watch(watchedFolders());
    EXPECT_FALSE(watch.polling());
    fs::copy("labShaders", "labShaders.new", fs::copy_options::recursive);
    writeFile("labShaders.new/Scene3.fs",
              "#version 330 core\nout vec4 FragColor;\n"
              "void main() { FragColor = vec4(0.0, 1.0, 0.0, 1.0); }\n");
    fs::rename("labShaders", "labShaders.old");
    fs::rename("labShaders.new", "labShaders");
    const std::vector<std::string> replaced = saves(watch);
    EXPECT_NE(std::find(replaced.begin(), replaced.end(), "labShaders/Scene3.fs"), replaced.end());
    // Then saves into it show as before.
    writeFile("labShaders/Scene3.fs", magentaShader);
    EXPECT_EQ(saves(watch), std::vector<std::string>{"labShaders/Scene3.fs"});
}

TEST_F(EditModeTest, ABrokenEditKeepsTheOldPictureAndPrintsItsErrorOnce) {
    startUp();
    FileWatch watch(watchedFolders());
    DemoSession session(fakeClock);
    session.togglePause();
    session.moveTo(50.0);
    session.drawFrame();
    const std::vector<unsigned char> before = readSmallPicture();

    writeFile("labShaders/Scene3.fs", readFile("labShaders/Scene3.fs") + "\nnot glsl at all\n");
    StdoutCapture capture;
    const ReloadOutcome outcome = reloadSavedFiles(saves(watch));
    session.drawFrame();
    EXPECT_TRUE(watch.savedFiles().empty());
    session.drawFrame();
    const std::string printed = capture.finish();

    EXPECT_EQ(readSmallPicture(), before);
    size_t errors = 0;
    for (size_t at = printed.find("ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT");
         at != std::string::npos;
         at = printed.find("ERROR::SHADER_COMPILATION_ERROR of type: FRAGMENT", at + 1)) {
        ++errors;
    }
    EXPECT_EQ(errors, 1u) << printed;
    ASSERT_EQ(outcome.failures.size(), 1u);
    EXPECT_EQ(outcome.failures[0].rfind("labShaders/Scene3.fs: ", 0), 0u) << outcome.failures[0];
    EXPECT_NE(outcome.failures[0].find("error"), std::string::npos) << outcome.failures[0];
}

TEST_F(EditModeTest, AChangedPictureShowsOnTheNextFrameInTheSameTexture) {
    startUp();
    FileWatch watch(watchedFolders());
    DemoSession session(fakeClock);
    session.togglePause();
    session.moveTo(120.0); // scene 6, the second greetings card
    session.drawFrame();
    const std::vector<unsigned char> before = readSmallPicture();

    const unsigned int texture = greetsTexture;
    std::vector<unsigned char> blue(64 * 64 * 3);
    for (size_t i = 2; i < blue.size(); i += 3) {
        blue[i] = 255;
    }
    ASSERT_TRUE(stbi_write_png("imgs/Greets.png", 64, 64, 3, blue.data(), 64 * 3));
    reloadSavedFiles(saves(watch));
    session.drawFrame();
    const std::vector<unsigned char> after = readSmallPicture();

    EXPECT_EQ(greetsTexture, texture);
    const unsigned char* centreBefore = pixel(before, smallWidth / 2, smallHeight / 2);
    const unsigned char* centreAfter = pixel(after, smallWidth / 2, smallHeight / 2);
    EXPECT_FALSE(std::equal(centreBefore, centreBefore + 3, centreAfter));
}

TEST_F(EditModeTest, APrecomputeShaderEditRendersTheMapsAgainAndLeavesTheStateAsItWas) {
    const std::string reference = "/tmp/heptad-edit-lit-" + std::to_string(getpid());
    const pid_t at135 = drawLateStartInChild(135.0, reference);
    startUp();
    FileWatch watch(watchedFolders());
    DemoSession session(fakeClock);
    session.togglePause();
    // Scene 3's wireframe: the maps must not be drawn in the scene's line mode.
    session.moveTo(45.0);
    session.drawFrame();
    const GlStateSnapshot state = readGlState();
    const unsigned int maps[] = {envCubemap, irradianceMap, prefilterMap, brdfLUTTexture};

    // Saved unchanged, the precompute makes the same maps as at start-up.
    writeFile("labShaders/Scene7-PBR3.fs", readFile("labShaders/Scene7-PBR3.fs"));
    EXPECT_TRUE(reloadSavedFiles(saves(watch)).lightingRedone);
    expectSameState(readGlState(), state);
    const unsigned int mapsAfter[] = {envCubemap, irradianceMap, prefilterMap, brdfLUTTexture};
    EXPECT_TRUE(std::equal(std::begin(maps), std::end(maps), std::begin(mapsAfter)));
    session.moveTo(135.0);
    session.drawFrame();
    const std::vector<unsigned char> before = readSmallPicture();
    EXPECT_EQ(before, childPicture(at135, reference));

    // An irradiance map of pure white lights the spheres differently.
    writeFile("labShaders/Scene7-PBR3.fs", "#version 330 core\nout vec4 FragColor;\n"
                                           "void main() { FragColor = vec4(4.0); }\n");
    EXPECT_TRUE(reloadSavedFiles(saves(watch)).lightingRedone);
    session.drawFrame();
    EXPECT_NE(readSmallPicture(), before);
}

// The gentle mode's pass runs between the scene and the next frame, in the page's session too.
TEST_F(EditModeTest, TheFlashLimiterLeavesTheStateAsItFoundInAWireframePhase) {
    startUp();
    DemoSession session(fakeClock);
    session.togglePause();
    FlashLimiter limiter;
    for (double t : {45.0, 45.1, 45.2}) { // scene 3's wireframe
        session.moveTo(t);
        session.drawFrame();
        const GlStateSnapshot state = readGlState();
        limiter.apply(smallWidth, smallHeight, t);
        expectSameState(readGlState(), state);
    }
}

TEST(EditTransportTest, PauseHoldsTheClockBeatsBarsAndScenesLandWhereTheyShould) {
    Transport transport;
    transport.setPosition(50.0, 10.0);
    EXPECT_DOUBLE_EQ(transport.time(10.5), 50.5);
    transport.pause(11.0);
    EXPECT_EQ(transport.time(12.0), transport.time(11.0)); // a second of wall time later
    EXPECT_DOUBLE_EQ(transport.time(12.0), 51.0);
    transport.resume(20.0);
    EXPECT_DOUBLE_EQ(transport.time(21.0), 52.0);
    transport.setPosition(200.0, 21.0);
    EXPECT_DOUBLE_EQ(transport.time(30.0), editEndSeconds()); // held at the end
    EXPECT_NEAR(editEndSeconds(), 164.0 - 1.0 / 60.0, 1e-9);

    EXPECT_DOUBLE_EQ(barSeconds, 1.875);
    EXPECT_EQ(barBeat(0.0), "1.1");
    EXPECT_EQ(barBeat(beatSeconds * 5), "2.2");

    EXPECT_EQ(nextSceneStart(10.0), 24.0);
    EXPECT_EQ(nextSceneStart(44.0), 67.0);
    EXPECT_EQ(nextSceneStart(130.0), 141.0); // the finale's grids count as scenes
    EXPECT_EQ(nextSceneStart(155.0), editEndSeconds());
    EXPECT_EQ(sceneStartBack(50.0), 44.0);
    EXPECT_EQ(sceneStartBack(44.5), 24.0); // within a second of its start: the one before
    EXPECT_EQ(sceneStartBack(0.5), 0.0);
    EXPECT_EQ(sceneStartBack(152.0), 151.0);
}

TEST_F(EditModeTest, MovesLandOnTheFramesALateStartDraws) {
    const std::string base = "/tmp/heptad-edit-" + std::to_string(getpid());
    const pid_t at67 = drawLateStartInChild(67.0, base + "-67");
    const pid_t at70 = drawLateStartInChild(70.0, base + "-70");
    const pid_t at30 = drawLateStartInChild(30.0, base + "-30");
    startUp();
    fakeWall = 100.0;
    DemoSession session(fakeClock);
    session.moveTo(50.0);
    session.drawFrame();

    // A bar forward, while playing, lands 1.875 s after where the clock was.
    fakeWall += 0.25;
    const double playing = session.time();
    session.moveBy(barSeconds);
    EXPECT_DOUBLE_EQ(session.time(), playing + 1.875);
    // Paused, the clock holds over a second of wall time.
    session.togglePause();
    const double held = session.time();
    fakeWall += 1.0;
    EXPECT_EQ(session.time(), held);

    session.nextScene();
    EXPECT_EQ(session.time(), 67.0);
    session.drawFrame();
    EXPECT_EQ(readSmallPicture(), childPicture(at67, base + "-67")) << "scene 4's first frame";

    session.moveTo(100.0);
    session.drawFrame();
    session.moveTo(70.0);
    session.drawFrame();
    EXPECT_EQ(readSmallPicture(), childPicture(at70, base + "-70")) << "back from 100 s to 70 s";

    // Scene 2 sets some state on its first frame only, and the title leaves offset lines on.
    session.moveTo(100.0);
    session.drawFrame();
    session.moveTo(30.0);
    session.drawFrame();
    EXPECT_EQ(readSmallPicture(), childPicture(at30, base + "-30")) << "back from 100 s to 30 s";
}

// Through SDL's disk driver, which takes the samples at the pace of a real device. Scene 3 draws
// well above 30 frames a second here.
TEST(EditMusicTest, TheMusicFollowsEverySeekAndPause) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    const std::string audioFile = "/tmp/heptad-edit-audio-" + std::to_string(getpid());
    setenv("SDL_DISKAUDIOFILE", audioFile.c_str(), 1);
    soundEngine->close();
    soundEngine = new SoundEngine();
    if (!soundEngine->hasDevice()) {
        GTEST_SKIP() << "no disk audio driver";
    }
    GLFWwindow* window = openSmallWindow();
    ASSERT_NE(window, nullptr);
    runStartUpFor(window);
    DemoSession session(glfwGetTime);
    session.moveTo(45.0);
    session.startMusic();
    if (soundEngine->tracksStarted() != 1) {
        glfwTerminate();
        FAIL() << "the generated track did not start";
    }

    // Where the music is as the clock starts again after each seek is asserted; how far apart
    // the two are after a quarter of a second of playing is printed, since that depends on how
    // busy the machine keeps the audio thread.
    double worstAtResume = 0.0;
    double worstPlaying = 0.0;
    const double targets[] = {60.0, 47.5, 55.0, 52.0, 64.0, 45.5, 58.25, 49.0, 62.0, 53.5};
    for (double target : targets) {
        session.moveTo(target);
        const double atResume = soundEngine->musicPosition() - session.time();
        const double resumed = soundEngine->musicPosition();
        const double until = glfwGetTime() + 0.25;
        while (glfwGetTime() < until) {
            session.drawFrame();
            glFinish();
        }
        const double playing = soundEngine->musicPosition() - session.time();
        EXPECT_GT(soundEngine->musicPosition(), resumed) << "the music did not go on";
        std::printf("seek to %.2f s: music %+.1f ms from the picture as it resumes, %+.1f ms "
                    "0.25 s later\n",
                    target, atResume * 1000.0, playing * 1000.0);
        worstAtResume = std::max(worstAtResume, std::fabs(atResume));
        worstPlaying = std::max(worstPlaying, std::fabs(playing));
    }
    std::printf("music offset over 10 seeks: worst %.1f ms as it resumes, %.1f ms 0.25 s later\n",
                worstAtResume * 1000.0, worstPlaying * 1000.0);
    EXPECT_LT(worstAtResume, 0.05);

    // Paused, the music holds too.
    session.togglePause();
    const double music = soundEngine->musicPosition();
    usleep(300000);
    EXPECT_EQ(soundEngine->musicPosition(), music);
    glfwTerminate();
    std::remove(audioFile.c_str());
}

// On screen: the overlay draws on the window's framebuffer, after the frame.
TEST_F(EditModeTest, TheOverlayDrawsInItsCornerAndLeavesTheStateAsItFound) {
    startUpInWindow();
    drawDemoAt(90.0, DemoClock::Pinned); // scene 5: green to the corners
    const unsigned char* corner = nullptr;
    const std::vector<unsigned char> plain = readSmallPicture();
    corner = pixel(plain, 12, smallHeight - 12);
    EXPECT_GT(corner[1], 150) << "no overlay without edit mode";

    EditOverlay overlay;
    ASSERT_TRUE(overlay.ready());
    const GlStateSnapshot state = readGlState();
    overlay.draw({{"  90.00 s    48.1  scene 5", glm::vec3(1.0f)}}, smallWidth, smallHeight);
    expectSameState(readGlState(), state);
    const std::vector<unsigned char> withOverlay = readSmallPicture();
    corner = pixel(withOverlay, 12, smallHeight - 12);
    EXPECT_LT(corner[1], 100) << "the overlay's box darkens its corner";
    // Elsewhere the picture is the scene's.
    EXPECT_TRUE(std::equal(pixel(plain, smallWidth / 2, 10), pixel(plain, smallWidth / 2, 10) + 4,
                           pixel(withOverlay, smallWidth / 2, 10)));
}
