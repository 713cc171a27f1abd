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

    // Starts the file playing once (not looped), fromSeconds into the track, and returns at
    // once. Only a regular file of a music file's size is opened (see render/data_file.h).
    void play2D(const char* path, double fromSeconds = 0.0);

    // Edit mode's transport: the track holds where it is, goes on, or moves to a position
    // (started again from there if it had already played to its end). Paused stays paused
    // across a move. Nothing happens before play2D has started a track.
    void pause();
    void resume();
    void seek(double seconds);

    // Halts the music and closes the audio device and SDL, for a clean exit; nothing plays
    // afterwards.
    void close();

    bool hasDevice() const { return deviceOpen; }
    // How many tracks play2D has actually started.
    int tracksStarted() const { return startedCount; }
    // Seconds into the playing track as the decoder has reached them, or -1 when none plays.
    double musicPosition() const;

  private:
    bool deviceOpen = false;
    int startedCount = 0;
    _Mix_Music* music = nullptr;
    bool paused = false;
};

// Created during static initialisation, before main; never deleted (the live program closes
// it on its way out).
extern SoundEngine* soundEngine;
