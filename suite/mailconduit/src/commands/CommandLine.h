// Parsing a subcommand's arguments: long options (`--name value`, `--name=value`, `--flag`),
// `-h`/`--help`, `--` to end the options, and positional words.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace conduit {

/// One option a subcommand accepts.
struct OptionDef {
    std::string name;         ///< without the leading "--"
    bool takesValue = false;  ///< `--name VALUE`; otherwise a flag
    bool repeatable = false;  ///< may be given more than once (values collect in order)
};

/// The parsed arguments.
struct ParsedArgs {
    std::vector<std::string> positionals;
    std::map<std::string, std::vector<std::string>> values;  ///< option -> its values
    std::map<std::string, bool> flags;                       ///< flags given
    bool help = false;                                       ///< -h or --help

    bool has(const std::string& option) const;
    /// The (last) value of `option`, or `fallback`.
    std::string value(const std::string& option, const std::string& fallback = "") const;
    bool flag(const std::string& flag) const;
};

/// Parses `args` (without the program and subcommand names) against `known`.
/// Returns an error text for an unknown option, a missing value, a value given to a flag, or
/// an option repeated that may not be.
std::optional<std::string> parseArgs(const std::vector<std::string>& args,
                                     const std::vector<OptionDef>& known, ParsedArgs& parsed);

/// Parses a message number as the handheld shows it ("12" or "#12"); nothing when it is not
/// a positive number.
std::optional<unsigned long long> parseMessageNumber(const std::string& text);

}  // namespace conduit
