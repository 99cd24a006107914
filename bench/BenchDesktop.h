// A desktop ($VESK_HOME) for one measured plug-in: the example desktop's settings (registry,
// post office, the conduit's configuration files) with Teo's mailbox replaced by a generated
// Maildir.
#pragma once

#include <string>

namespace vesk::bench {

/// Makes a fresh desktop in `home` (which must not exist) from the example desktop
/// `exampleDir`: its .reg and .ini files with "@VESK_HOME@" replaced by `home`, its other
/// files copied, and Teo's mailbox (mail/teo) holding hard links to every message of
/// `maildir`, so each desktop starts from the same messages and nothing it does reaches the
/// generated folder. Returns an error text naming the file, or "" on success.
std::string makeBenchDesktop(const std::string& exampleDir, const std::string& home, const std::string& maildir);

/// The Maildir of Teo's mailbox inside desktop `home`.
std::string desktopMailbox(const std::string& home);

/// Removes `path` and everything below it; quiet when it does not exist.
void removeTree(const std::string& path);

}  // namespace vesk::bench
