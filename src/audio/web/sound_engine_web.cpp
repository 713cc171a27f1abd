// The browser build's sound engine, in place of the SDL2_mixer one: the page plays the music
// file through an audio element, streamed by the browser.
#include "audio/sound_engine.h"

#include <emscripten.h>

// clang-format off
EM_JS(void, pageStartMusic, (const char* path), {
    Module.startMusic(UTF8ToString(path));
});
// clang-format on

SoundEngine::SoundEngine() : deviceOpen(true) {}

// The live program starts the music from its beginning; fromSeconds serves the desktop player's
// late start only.
void SoundEngine::play2D(const char* path, double) {
    pageStartMusic(path);
    ++startedCount;
}

SoundEngine* soundEngine = new SoundEngine();
