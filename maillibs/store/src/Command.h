// Running the sending command: no shell, the message on standard input, a time limit, and
// nothing of it left behind when the limit passes or this process is stopped.
//
// The command runs under a small supervisor forked from this process. The command gets a
// process group of its own (a Ctrl-C on the terminal does not reach it by itself, and it can
// be killed with everything it started); the supervisor is its child subreaper. When this
// process is stopped (SIGINT, SIGTERM, SIGHUP) or the limit passes, the supervisor kills the
// command's group and reaps it. Both carry a parent-death signal: when this process dies,
// even by SIGKILL, the supervisor kills the group (and the command dies with the supervisor).
#pragma once

#include <functional>
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
    int interrupted = 0;    ///< the signal (SIGINT, SIGTERM, SIGHUP) that stopped this process
                            ///< while the command ran; the command was killed. Else 0.
    int exitStatus = -1;    ///< exit status when it exited, else -1
    int signal = 0;         ///< the signal that ended it, else 0
    std::string message;    ///< the first non-empty line it wrote to standard error, or why
                            ///< it could not be started
    bool succeeded() const { return started && !timedOut && interrupted == 0 && exitStatus == 0; }
};

/// Called about once a second while the command runs, with the whole seconds waited so far.
using WaitCallback = std::function<void(int seconds)>;

/// Runs `argv` (argv[0] looked up on PATH) with `input` on its standard input, standard
/// output discarded, standard error read for its first line. Waits at most
/// `timeoutSeconds`, then kills the command's group. Never raises SIGPIPE in the caller.
///
/// While it runs, SIGINT, SIGTERM and SIGHUP (those not ignored) are caught: the command's
/// group is killed, the previous handling is restored, and the signal is raised again, so
/// a process that would have ended ends, after the command is gone. When the process
/// survives that (it handles the signal), the outcome says `interrupted`.
CommandOutcome runCommand(const std::vector<std::string>& argv, std::string_view input, int timeoutSeconds,
                          const WaitCallback& waiting = {});

}  // namespace vesk::store::detail
