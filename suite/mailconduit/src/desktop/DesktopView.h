// The desktop's side of things, for the demo: the mailbox as the plug-in hands it out, and
// the mail that left the desktop through the capturing sendmail.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "host/PluginHost.h"

namespace conduit {

/// Lists the desktop mailbox through the plug-in in a session of its own (Initialize, Logon,
/// GetAllMsgs, FreeMailMsg, Logoff, Uninitialize). Returns the plug-in's result (0 when
/// listed).
int printDesktopMailbox(std::ostream& out, const PluginExports& plugin, const std::string& configFile);

/// Lists the messages in `folder` (one file each, as the capturing sendmail writes them):
/// file name, To and Subject header lines. Returns how many there are.
int printCapturedMail(std::ostream& out, const std::string& folder);

/// Makes a copied example desktop usable in its new place: every "@VESK_HOME@" in the .reg and
/// .ini files below `home` becomes `home`, and every mail folder (one holding cur/ or new/)
/// gets the cur/, new/ and tmp/ a Maildir needs (a version-control checkout keeps no empty
/// folders). Returns an error text or nothing.
std::optional<std::string> prepareDesktop(const std::string& home);

}  // namespace conduit
