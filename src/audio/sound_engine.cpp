#include "audio/sound_engine.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <alsa/asoundlib.h>

namespace {
// ALSA prints its own complaints to standard error when a machine has no sound card; a demo
// without sound should just play silently.
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}
} // namespace

SoundEngine::SoundEngine() {
    snd_lib_error_set_handler(ignoreAlsaError);
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return;
    }
    // 44.1 kHz stereo matches the track, so SDL has nothing to resample.
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 2048) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    deviceOpen = true;
}

void SoundEngine::play2D(const char* path) {
    if (!deviceOpen) {
        return;
    }
    Mix_Music* loaded = Mix_LoadMUS(path);
    if (loaded == nullptr) {
        return;
    }
    // One pass through the track; the decoder streams it on the audio thread.
    if (Mix_PlayMusic(loaded, 1) != 0) {
        Mix_FreeMusic(loaded);
        return;
    }
    music = loaded; // kept for as long as the process plays it
    ++startedCount;
}
