// The mailconduit command line: one subcommand per task, each with its own --help.
#pragma once

#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace conduit {

/// Where a command reads and writes.
struct CommandContext {
    std::ostream& out;   ///< results
    std::ostream& err;   ///< progress, questions and errors
    std::istream& in;    ///< answers to questions
    bool inputIsTerminal = false;  ///< questions can be asked
    bool errorIsTerminal = false;  ///< the progress line can be redrawn in place
};

/// Exit statuses.
inline constexpr int kExitOk = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitCannotRun = 2;

/// Runs `mailconduit ARGS...` (the words after the program name). Returns the exit status.
int runMailConduit(const std::vector<std::string>& args, CommandContext& context);

/// The help text of subcommand `name` (empty when there is none).
std::string commandHelp(const std::string& name);

// The subcommands, each given the words after its name.
int runHostsCommand(const std::vector<std::string>& args, CommandContext& context);
int runInfoCommand(const std::vector<std::string>& args, CommandContext& context);
int runSetupCommand(const std::vector<std::string>& args, CommandContext& context);
int runHandheldCommand(const std::vector<std::string>& args, CommandContext& context);
int runSyncCommand(const std::vector<std::string>& args, CommandContext& context);
int runDemoCommand(const std::vector<std::string>& args, CommandContext& context);
int runQueueCommand(const std::vector<std::string>& args, CommandContext& context);

/// `word` as a POSIX shell reads it back unchanged: as it is when it holds only safe
/// characters, else in single quotes (a ' inside written '\'').
std::string shellQuoted(const std::string& word);

/// Prints "mailconduit CMD: MESSAGE" and the hint to --help on `err`; returns 2.
int usageError(CommandContext& context, const std::string& command, const std::string& message);

}  // namespace conduit
