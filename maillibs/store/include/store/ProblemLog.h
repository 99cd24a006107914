// The mail libraries' record of problems a person has to be able to find: why a logon was
// refused, which message file could not be read and why. One file for every stand-in,
// "$VESK_HOME/vesk-mail.log", one line a problem, appended, never rewritten:
//   "<unix time>\t<component>\t<subject>\t<reason>"
// where component is the stand-in ("mapi32", "vim32", "store"), subject the file, folder,
// account or setting concerned, and reason a plain sentence. A caller that wants to show what
// went wrong during its own call notes `problemLogSize()` before and reads `problemsSince()`
// after, so the conduit needs no link to the stand-in's internals.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vesk::store {

/// The log's path under the desktop folder.
std::string problemLogPath();

/// Appends one line; tabs and line ends inside the texts become blanks. Failure to write
/// is ignored on purpose: logging must never turn a handled problem into a worse one.
void logProblem(std::string_view component, std::string_view subject, std::string_view reason);

/// One logged problem.
struct Problem {
    std::int64_t when = 0;
    std::string component;
    std::string subject;
    std::string reason;
};

/// The log's size in bytes now (0 when there is none).
std::uint64_t problemLogSize();
/// Every problem appended after the log had `offset` bytes, oldest first. Lines that do not
/// parse are skipped.
std::vector<Problem> problemsSince(std::uint64_t offset);

}  // namespace vesk::store
