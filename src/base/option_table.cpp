#include "base/option_table.h"

#include "base/option_words.h"

namespace {
const OptionRow* rowNamed(const std::vector<OptionRow>& rows, const std::string& name) {
    for (const OptionRow& row : rows) {
        if (name == row.name || (row.alias != nullptr && name == row.alias)) {
            return &row;
        }
    }
    return nullptr;
}
} // namespace

std::string readOptions(const std::vector<std::string>& args, const std::vector<OptionRow>& rows,
                        const OptionRules& rules) {
    for (size_t i = 0; i < args.size(); ++i) {
        OptionWord word =
            rules.inlineValues ? splitOptionWord(args[i]) : OptionWord{args[i], "", false};
        const OptionRow* row = rowNamed(rows, word.name);
        if (row == nullptr) {
            if (rules.operand && (word.name.empty() || word.name[0] != '-')) {
                rules.operand(args[i]);
                continue;
            }
            return rules.unknown(args[i], i + 1 < args.size() ? &args[i + 1] : nullptr);
        }
        if (row->endsReading) {
            row->take("");
            return "";
        }
        if (!row->takesValue) {
            if (word.inlineValue && rules.flagsRefuseValues) {
                return word.name + " takes no value";
            }
            row->take("");
            continue;
        }
        if (!word.inlineValue) {
            if (i + 1 >= args.size()) {
                return rules.missingValue(word.name);
            }
            word.value = args[++i];
        }
        const std::string problem = row->take(word.value);
        if (!problem.empty()) {
            return problem;
        }
    }
    return "";
}

std::function<std::string(const std::string&)> setsFlag(bool& option) {
    return [&option](const std::string&) {
        option = true;
        return std::string();
    };
}
