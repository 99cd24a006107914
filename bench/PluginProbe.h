// The plug-in steps measured inside a probe process: a plug-in driven through its exports,
// loaded with the platform's module loader as the conduit loads it.
// Each prints one line of numbers on standard output for the driver to read and returns the
// process's exit status.
#pragma once

#include <string>

namespace vesk::bench {

/// Loads `module` (e.g. "salvith.dll"), Initialize, Logon with `configFile`, then times one
/// full GetAllMsgs. Prints "seconds messages record-bytes", where record-bytes counts each
/// record's header, identifiers and texts (NUL included) as handed out.
int probeGetAll(const std::string& module, const std::string& configFile);

/// Like probeGetAll with headers only, untimed, then times DeleteMsg of every record handed
/// out, stopping after `budgetSeconds`. Prints "seconds deleted total failures".
int probeDeleteAll(const std::string& module, const std::string& configFile, double budgetSeconds);

}  // namespace vesk::bench
