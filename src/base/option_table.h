#pragma once
#include <functional>
#include <string>
#include <vector>

// The one way the player, the recorder and the browser's parameters read their words: each
// program writes its options as rows of a table, and readOptions goes through the words once.
// Hand-written, so that only whole names match and every message is the program's own.

struct OptionRow {
    const char* name;  // "--from"
    const char* alias; // another spelling ("-h", "-o"), or nullptr
    bool takesValue;
    // Takes the option in, with its value when it takes one; returns "" or what is wrong.
    std::function<std::string(const std::string& value)> take;
    // --help and --version: the words after it are not read, nor is a value after "=".
    bool endsReading = false;
};

// The take of a row that only switches something on.
std::function<std::string(const std::string&)> setsFlag(bool& option);

// What a program makes of the words that are not its options, and of the ways a word can be
// wrong. The defaults are those of the two command-line programs.
struct OptionRules {
    // "--name=value" as well as "--name value".
    bool inlineValues = true;
    // "--flag=value": refused when set, else the value is dropped.
    bool flagsRefuseValues = true;
    // Words not starting with "-" are handed here (the recorder's part files) when set, and
    // are unknown options otherwise.
    std::function<void(const std::string& word)> operand;
    // An unknown word; next is the word after it, or nullptr at the end.
    std::function<std::string(const std::string& word, const std::string* next)> unknown =
        [](const std::string& word, const std::string*) { return "unknown option '" + word + "'"; };
    std::function<std::string(const std::string& name)> missingValue = [](const std::string& name) {
        return name + " needs a value";
    };
};

// Reads args (those after the program name) with the table; returns "" or the first problem.
std::string readOptions(const std::vector<std::string>& args, const std::vector<OptionRow>& rows,
                        const OptionRules& rules = OptionRules());
