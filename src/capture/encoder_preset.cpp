#include "capture/encoder_preset.h"

bool isX264Preset(const std::string& name) {
    for (const char* preset : {"ultrafast", "superfast", "veryfast", "faster", "fast", "medium",
                               "slow", "slower", "veryslow", "placebo"}) {
        if (name == preset) {
            return true;
        }
    }
    return false;
}
