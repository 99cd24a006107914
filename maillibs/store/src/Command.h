// Running the sending command: no shell, the message on standard input, a time limit.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vesk::store::detail {

/// Splits a command line into words at blanks; double quotes group a word holding blanks
/// (the quotes themselves are dropped). Empty when `line` holds no word.
std::vector<std::string> splitCommand(std::string_view line);

struct CommandOutcome {
    bool started = false;   ///< false when the program could not be run at all
    bool timedOut = false;  ///< killed after the time limit
    int exitStatus = -1;    ///< exit status when it exited, else -1
    int signal = 0;         ///< the signal that ended it, else 0
    std::string message;    ///< the first non-empty line it wrote to standard error, or why
                            ///< it could not be started
    bool succeeded() const { return started && !timedOut && exitStatus == 0; }
};

/// Runs `argv` (argv[0] looked up on PATH) with `input` on its standard input, standard
/// output discarded, standard error read for its first line. Waits at most
/// `timeoutSeconds`, then kills it. Never raises SIGPIPE in the caller.
CommandOutcome runCommand(const std::vector<std::string>& argv, std::string_view input, int timeoutSeconds);

}  // namespace vesk::store::detail
