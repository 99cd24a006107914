#include "commands/CommandLine.h"

#include <algorithm>
#include <cctype>

namespace conduit {

bool ParsedArgs::has(const std::string& option) const { return values.count(option) != 0; }

std::string ParsedArgs::value(const std::string& option, const std::string& fallback) const {
    auto it = values.find(option);
    return it == values.end() || it->second.empty() ? fallback : it->second.back();
}

bool ParsedArgs::flag(const std::string& name) const { return flags.count(name) != 0; }

std::optional<std::string> parseArgs(const std::vector<std::string>& args,
                                     const std::vector<OptionDef>& known, ParsedArgs& parsed) {
    parsed = ParsedArgs();
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            parsed.positionals.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        if (arg == "-h" || arg == "--help") {
            parsed.help = true;
            continue;
        }
        if (arg.compare(0, 2, "--") != 0) return "unknown option " + arg;
        std::string name = arg.substr(2);
        std::optional<std::string> inlineValue;
        size_t equals = name.find('=');
        if (equals != std::string::npos) {
            inlineValue = name.substr(equals + 1);
            name.resize(equals);
        }
        auto def = std::find_if(known.begin(), known.end(),
                                 [&](const OptionDef& s) { return s.name == name; });
        if (def == known.end()) return "unknown option --" + name;
        if (!def->takesValue) {
            if (inlineValue) return "--" + name + " takes no value";
            parsed.flags[name] = true;
            continue;
        }
        std::string value;
        if (inlineValue) {
            value = *inlineValue;
        } else {
            if (i + 1 >= args.size()) return "--" + name + " needs a value";
            value = args[++i];
        }
        std::vector<std::string>& slot = parsed.values[name];
        if (!slot.empty() && !def->repeatable) return "--" + name + " is given twice";
        slot.push_back(value);
    }
    return std::nullopt;
}

std::optional<unsigned long long> parseMessageNumber(const std::string& text) {
    std::string digits = !text.empty() && text[0] == '#' ? text.substr(1) : text;
    if (digits.empty() || digits.size() > 18) return std::nullopt;
    if (!std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); })) {
        return std::nullopt;
    }
    unsigned long long value = std::stoull(digits);
    if (value == 0) return std::nullopt;
    return value;
}

}  // namespace conduit
