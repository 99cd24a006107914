// The floors measured beside the plug-ins, each in a probe process of its own: reading the
// files' bytes, and a bare GMime parse of the same files. Each prints one line of numbers on
// standard output and returns the process's exit status.
#pragma once

#include <string>
#include <vector>

namespace vesk::bench {

/// The message files of `maildir`: every regular file in its cur/ and new/.
std::vector<std::string> maildirFiles(const std::string& maildir);

/// Lists `maildir` and reads the bytes of every message file. Prints "seconds files bytes".
int probeReadBytes(const std::string& maildir);

/// Lists `maildir` and parses every message file with GMime: a file stream, the whole MIME
/// tree built, every part visited, nothing decoded or converted. Prints "seconds files".
int probeGMimeParse(const std::string& maildir);

}  // namespace vesk::bench
