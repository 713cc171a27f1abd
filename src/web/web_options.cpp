#include "web/web_options.h"

#include "base/option_table.h"
#include "schedule/schedule.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace {
bool readNumber(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value);
}
} // namespace

WebOptions parseWebOptions(const std::vector<std::string>& args, std::string& error) {
    WebOptions options;
    // A value the option takes, or the page's message for one it refuses.
    auto valueFor = [](const char* name, std::function<bool(const std::string&)> take) {
        return [name, take](const std::string& value) {
            return take(value) ? std::string() : "bad value '" + value + "' for " + name;
        };
    };
    const std::vector<OptionRow> rows = {
        {"--glcheck", nullptr, false, setsFlag(options.glCheck)},
        {"--gentle", nullptr, false, setsFlag(options.gentle)},
        {"--size", nullptr, true,
         valueFor("--size",
                  [&options](const std::string& value) {
                      int width = 0;
                      int height = 0;
                      char rest = 0;
                      if (std::sscanf(value.c_str(), "%dx%d%c", &width, &height, &rest) != 2 ||
                          width <= 0 || height <= 0 || width > 8192 || height > 8192) {
                          return false;
                      }
                      options.width = width;
                      options.height = height;
                      return true;
                  })},
        {"--speed", nullptr, true,
         valueFor("--speed",
                  [&options](const std::string& value) {
                      double number = 0.0;
                      if (!readNumber(value, number) || number <= 0.0) {
                          return false;
                      }
                      options.speed = number;
                      return true;
                  })},
        {"--still", nullptr, true,
         valueFor("--still",
                  [&options](const std::string& value) {
                      double number = 0.0;
                      if (!readNumber(value, number) || number < 0.0 || number > demoLength) {
                          return false;
                      }
                      options.still = true;
                      options.stillTime = number;
                      return true;
                  })},
        {"--bench", nullptr, true,
         valueFor("--bench",
                  [&options](const std::string& value) {
                      double number = 0.0;
                      if (!readNumber(value, number) || number < 1.0 || number > 1000.0) {
                          return false;
                      }
                      options.benchFrames = static_cast<int>(number);
                      return true;
                  })},
    };
    // The page builds its own words: each value is the word after its name, and a word the
    // table does not know is refused with the one after it.
    OptionRules rules;
    rules.inlineValues = false;
    rules.unknown = [](const std::string& word, const std::string* next) {
        return next != nullptr ? "bad value '" + *next + "' for " + word
                               : "unknown or incomplete argument " + word;
    };
    rules.missingValue = [](const std::string& name) {
        return "unknown or incomplete argument " + name;
    };
    error = readOptions(args, rows, rules);
    return error.empty() ? options : WebOptions();
}
