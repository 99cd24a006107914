// Names and plain-words reasons for the result codes of the mail host plug-ins.
#pragma once

#include <string>

namespace conduit {

/// The code's name ("MAILHOST_LOGON_FAILED"), or "result <n>" for a value outside the table.
std::string resultName(int code);

/// One plain sentence saying what the code means for the person running the conduit
/// (no trailing full stop), e.g. "the mail system refused the logon".
std::string resultReason(int code);

/// "NAME (n): reason", the form the conduit prints next to a failed step.
std::string describeResult(int code);

}  // namespace conduit
