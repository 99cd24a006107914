// Runs one measured step as a process of its own, so that its peak memory is its own.
#pragma once

#include <string>
#include <vector>

namespace vesk::bench {

/// What a measured process did.
struct ProcessResult {
    int status = -1;          ///< exit status, -1 when it could not start or died by a signal
    double seconds = 0;       ///< wall time from fork to exit
    long long peakRss = 0;    ///< peak resident set in bytes (ru_maxrss from wait4)
    std::string out;          ///< what it wrote on standard output
    std::string err;          ///< what it wrote on standard error
};

/// Runs `argv` (argv[0] a path) with the current environment plus `env` ("NAME=value"),
/// standard input from /dev/null, and waits for it with wait4.
ProcessResult runMeasured(const std::vector<std::string>& argv, const std::vector<std::string>& env);

/// This program's own path, for running its probes as separate processes.
std::string selfPath();

}  // namespace vesk::bench
