#include "base/option_words.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

OptionWord splitOptionWord(const std::string& word) {
    OptionWord split{word, "", false};
    const size_t equals = word.find('=');
    if (word.rfind("--", 0) == 0 && equals != std::string::npos) {
        split.value = word.substr(equals + 1);
        split.name = word.substr(0, equals);
        split.inlineValue = true;
    }
    return split;
}

bool parseSeconds(const std::string& text, double& value) {
    if (text.empty()) {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(value);
}
