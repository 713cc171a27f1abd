#include "web/web_options.h"

#include "schedule/schedule.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {
bool readNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value);
}
} // namespace

WebOptions parseWebOptions(const std::vector<std::string>& args, std::string& error) {
    WebOptions options;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& name = args[i];
        if (name == "--glcheck") {
            options.glCheck = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            error = "unknown or incomplete argument " + name;
            return WebOptions();
        }
        const std::string& value = args[++i];
        double number = 0.0;
        int width = 0;
        int height = 0;
        char rest = 0;
        if (name == "--size" &&
            std::sscanf(value.c_str(), "%dx%d%c", &width, &height, &rest) == 2 && width > 0 &&
            height > 0 && width <= 8192 && height <= 8192) {
            options.width = width;
            options.height = height;
        } else if (name == "--speed" && readNumber(value, number) && number > 0.0) {
            options.speed = number;
        } else if (name == "--still" && readNumber(value, number) && number >= 0.0 &&
                   number <= demoLength) {
            options.still = true;
            options.stillTime = number;
        } else if (name == "--bench" && readNumber(value, number) && number >= 1.0 &&
                   number <= 1000.0) {
            options.benchFrames = static_cast<int>(number);
        } else {
            error = "bad value '" + value + "' for " + name;
            return WebOptions();
        }
    }
    return options;
}
