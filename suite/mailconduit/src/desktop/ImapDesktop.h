// A desktop whose mailboxes live on an IMAP server of its own (mailconduit demo --imap): the
// desktop's Maildirs copied to a Dovecot started on loopback for the while, and the mail
// client's registry and the post office pointed at it, so every plug-in reads the server.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "DovecotServer.h"

namespace conduit {

struct ImapDesktop {
    std::unique_ptr<vesk::store::testing::DovecotServer> server;  ///< stopped when destroyed
    std::string teoUrl;   ///< the default account's mailbox on it
    int messages = 0;     ///< how many messages were put on it
};

/// Moves the mailboxes of the desktop at `home` ($VESK_HOME already set to it) onto a new
/// server: every folder of the Maildirs of Teo and Mira, with their flags. Their Maildirs are
/// removed afterwards, so nothing can read them by mistake. The error names what failed.
std::optional<std::string> moveDesktopToImap(const std::string& home, ImapDesktop& out);

}  // namespace conduit
