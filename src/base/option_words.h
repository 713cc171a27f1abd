#pragma once
#include <string>

// The command-line words both programs share: "--name value" or "--name=value", and seconds of
// the demo given as a plain decimal number.
struct OptionWord {
    std::string name;
    std::string value; // set only when the word carried it after "="
    bool inlineValue = false;
};
OptionWord splitOptionWord(const std::string& word);

// A finite decimal number and nothing after it.
bool parseSeconds(const std::string& text, double& value);
