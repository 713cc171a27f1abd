#pragma once

struct _Mix_Music;

// A small sound engine over SDL2_mixer: it opens the default output device once and plays a
// music file in the background on SDL's own audio thread. Without a device, or with a file it
// cannot decode, it stays silent and says nothing.
class SoundEngine {
  public:
    SoundEngine();
    SoundEngine(const SoundEngine&) = delete;
    SoundEngine& operator=(const SoundEngine&) = delete;

    // Starts the file playing once (not looped) and returns at once.
    void play2D(const char* path);

    bool hasDevice() const { return deviceOpen; }
    // How many tracks play2D has actually started.
    int tracksStarted() const { return startedCount; }

  private:
    bool deviceOpen = false;
    int startedCount = 0;
    _Mix_Music* music = nullptr;
};

// Created during static initialisation, before main; never released.
extern SoundEngine* soundEngine;
