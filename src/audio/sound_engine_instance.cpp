#include "audio/sound_engine.h"

// The demo's one engine, opened before main so the device is ready by the first frame.
SoundEngine* soundEngine = new SoundEngine();
