// The browser build's sound engine, in place of the SDL2_mixer one: the page plays the music
// file through an audio element, streamed by the browser, and moves it with the page's player.
#include "audio/sound_engine.h"

#include <emscripten.h>

// clang-format off
EM_JS(void, pageStartMusic, (const char* path, double fromSeconds), {
    Module.startMusic(UTF8ToString(path), fromSeconds);
});
EM_JS(void, pagePauseMusic, (), {
    Module.pauseMusic();
});
EM_JS(void, pageResumeMusic, (), {
    Module.resumeMusic();
});
EM_JS(void, pageSeekMusic, (double seconds), {
    Module.seekMusic(seconds);
});
// clang-format on

SoundEngine::SoundEngine() : deviceOpen(true) {}

void SoundEngine::play2D(const char* path, double fromSeconds) {
    pageStartMusic(path, fromSeconds);
    ++startedCount;
}

void SoundEngine::pause() {
    if (startedCount > 0) {
        pagePauseMusic();
    }
}

void SoundEngine::resume() {
    if (startedCount > 0) {
        pageResumeMusic();
    }
}

void SoundEngine::seek(double seconds) {
    if (startedCount > 0) {
        pageSeekMusic(seconds);
    }
}

SoundEngine* soundEngine = new SoundEngine();
