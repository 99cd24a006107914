// Where a mail library's mailbox lives, and the one way every mail library opens it: a
// Maildir on this machine or an IMAP mailbox on a server, behind the same Store interface.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "store/Store.h"

namespace vesk::store {

struct MailboxPlace {
    /// The Maildir (an absolute path); used when `imap.url` is empty.
    std::string maildir;
    /// The IMAP mailbox, when `imap.url` is set (its state folder must be set too).
    ImapOptions imap;

    bool isImap() const { return !imap.url.empty(); }
    /// What a person is shown for this mailbox: the Maildir's path, or the IMAP address
    /// (which never holds the password).
    const std::string& name() const { return isImap() ? imap.url : maildir; }
};

/// Opens the mailbox `place` names: `openMaildir(place.maildir)` or `openImap(place.imap)`,
/// with their results and errors. An IMAP mailbox that opens leaves how to reach it in its
/// state folder (`vesk-imap-mailbox`, mode 0600: the address, the certificate file and the
/// password, as the configuration holds them), so `openStoreAt` can open it again.
Result<std::unique_ptr<Store>> openMailbox(const MailboxPlace& place);

/// Opens the store whose `Store::root()` is `root`, as the queue's notices name it: the Maildir
/// there, or the IMAP mailbox whose state folder it is (as `openMailbox` last opened it).
/// NotFound when `root` is neither.
Result<std::unique_ptr<Store>> openStoreAt(const std::string& root);

/// The local state folder of the IMAP mailbox `url`: `$VESK_HOME/imap/<user>@<host>_<port>`
/// (every byte but letters, digits and ".-+" written as %XX). One folder per server mailbox, so
/// every mail library that opens it shares one outbound queue state and one parse cache.
/// Empty when `url` is no IMAP address.
std::string imapStateFolder(std::string_view url);

/// Why `place` cannot be opened as it stands, in words for a person; empty when nothing is
/// known to be wrong. For a Maildir: missing, not a folder, unreadable, or without cur/,
/// new/ or tmp/ (a mailbox that is not there is never opened as an empty one). For an IMAP
/// mailbox nothing is checked before connecting.
std::string mailboxProblem(const MailboxPlace& place);

}  // namespace vesk::store
