#include "audio/sound_engine.h"

#include "base/data_file.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <alsa/asoundlib.h>

namespace {
// ALSA prints its own complaints to standard error when a machine has no sound card; a demo
// without sound should just play silently.
void ignoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

// A 44.1 kHz stereo MP3 of 164 s is a few megabytes even at the highest bit rate.
constexpr long long maxMusicBytes = 64ll << 20;
} // namespace

SoundEngine::SoundEngine() {
    snd_lib_error_set_handler(ignoreAlsaError);
    // SDL would catch Ctrl-C and SIGTERM only to queue a quit event that nothing here reads;
    // the live program handles them itself.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
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

void SoundEngine::play2D(const char* path, double fromSeconds) {
    if (!deviceOpen) {
        return;
    }
    // Opened here rather than by the mixer, so that a FIFO cannot block and a device cannot
    // stream forever in its place.
    std::FILE* file = openDataFile(path, maxMusicBytes);
    if (file == nullptr) {
        return;
    }
    SDL_RWops* stream = SDL_RWFromFP(file, SDL_TRUE);
    if (stream == nullptr) {
        std::fclose(file);
        return;
    }
    // The music owns the stream from here and closes it when it is freed (or fails to load).
    Mix_Music* loaded = Mix_LoadMUSType_RW(stream, MUS_MP3, 1);
    if (loaded == nullptr) {
        return;
    }
    // One pass through the track, without a fade, from the given position; the decoder streams
    // it on the audio thread.
    if (Mix_FadeInMusicPos(loaded, 1, 0, fromSeconds) != 0) {
        Mix_FreeMusic(loaded);
        return;
    }
    music = loaded; // kept until close
    ++startedCount;
}

void SoundEngine::pause() {
    if (music != nullptr) {
        Mix_PauseMusic();
        paused = true;
    }
}

void SoundEngine::resume() {
    if (music != nullptr) {
        Mix_ResumeMusic();
        paused = false;
    }
}

void SoundEngine::seek(double seconds) {
    if (music == nullptr) {
        return;
    }
    // A track that has played to its end is no longer playing and cannot be moved in.
    if (Mix_PlayingMusic() == 0) {
        Mix_FadeInMusicPos(music, 1, 0, seconds);
    } else {
        Mix_SetMusicPosition(seconds);
    }
    // Starting a track clears the mixer's pause.
    if (paused) {
        Mix_PauseMusic();
    }
}

double SoundEngine::musicPosition() const {
    return music == nullptr ? -1.0 : Mix_GetMusicPosition(music);
}

void SoundEngine::close() {
    if (deviceOpen) {
        Mix_HaltMusic();
        if (music != nullptr) {
            Mix_FreeMusic(music);
            music = nullptr;
        }
        Mix_CloseAudio();
        deviceOpen = false;
    }
    SDL_Quit();
}
