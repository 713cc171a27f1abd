#include "player/player_options.h"

#include "base/option_table.h"
#include "base/option_words.h"
#include "schedule/schedule.h"

ParsedPlayerOptions parsePlayerOptions(const std::vector<std::string>& args) {
    ParsedPlayerOptions parsed;
    PlayerOptions& o = parsed.options;
    const std::vector<OptionRow> rows = {
        {"--help", "-h", false, setsFlag(o.help), true},
        {"--version", nullptr, false, setsFlag(o.version), true},
        {"--window", nullptr, false, setsFlag(o.inWindow)},
        {"--edit", nullptr, false,
         [&o](const std::string&) {
             o.edit = true;
             o.inWindow = true;
             return std::string();
         }},
        {"--gentle", nullptr, false, setsFlag(o.gentle)},
        {"--from", nullptr, true,
         [&o](const std::string& value) {
             double seconds = 0.0;
             // The last picture is drawn just before the end; a start there would show nothing.
             if (!parseSeconds(value, seconds) || seconds < 0.0 || seconds >= demoLength) {
                 return "--from wants seconds from 0 to below 164 (got '" + value + "')";
             }
             o.fromGiven = true;
             o.fromSeconds = seconds;
             return std::string();
         }},
    };
    parsed.error = readOptions(args, rows);
    if (parsed.error.empty() && o.gentle && o.edit && !o.help && !o.version) {
        parsed.error = "--gentle is for watching: edit mode shows every frame as drawn";
    }
    return parsed;
}

std::string playerUsage() {
    return "Usage: heptad [options]\n"
           "Plays the Heptad demo: seven scenes in 164 seconds to a 128 BPM track, fullscreen\n"
           "at 1920x1080. It reads its shaders, images and demotune.mp3 from the folder it is\n"
           "started in when they are there, else from beside the program or from the installed\n"
           "share/heptad.\n"
           "\n"
           "Keys:\n"
           "  Escape          end the demo (Ctrl-C in the terminal does too)\n"
           "\n"
           "Keys in edit mode (--edit):\n"
           "  Space           pause / resume, music included\n"
           "  Left / Right    one beat back / forward; with Shift one bar\n"
           "  , / .           one frame back / forward while paused\n"
           "  Page Up / Down  start of this (or the previous) scene / of the next one\n"
           "  Home            back to 0 s\n"
           "  H               hide / show the overlay\n"
           "\n"
           "Options:\n"
           "  --window        play in a resizable 1920x1080 window instead of fullscreen\n"
           "  --from T        start at T seconds of the demo (0 to below 164), music included\n"
           "  --gentle        run a flash limiter over every frame: a part of the picture\n"
           "                  that would flash a fourth time within a second is held back\n"
           "  --edit          edit mode, in a window: saved shaders and pictures show at once,\n"
           "                  the keys above move through the demo, an overlay says where\n"
           "  --help          show this text\n"
           "  --version       show the version\n"
           "\n"
           "Without a display, record a video instead with heptad-capture (see its --help).\n"
           "\n"
           "Warning: Heptad flashes, more than three times a second over much of the screen,\n"
           "in scene 3 (45-51 s), all of scene 5 (83-111 s) and the late finale (152-159 s\n"
           "and 163 s, red at 152-155 s); --gentle holds most of it back.\n";
}
