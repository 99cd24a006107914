// The change a mail reader makes to a mailbox between two syncs, at a chosen fraction of it:
// flags changed (files renamed), a few messages arrived, a few removed.
#pragma once

#include <string>

#include "SyntheticMail.h"

namespace vesk::bench {

/// What changeMaildir did.
struct MaildirChangeCount {
    unsigned renamed = 0, added = 0, removed = 0;
    std::string error;  ///< names the file and the reason when a change could not be made
};

/// Changes about `fraction` of the messages in `maildir`, chosen by `round` (each round picks
/// others): eight in ten of them get other flags (a message in new/ is moved to cur/ as seen,
/// one in cur/ gains or loses "seen" or gains "replied"), one in ten is removed, and as many
/// new messages of `mix` arrive in new/.
MaildirChangeCount changeMaildir(const std::string& maildir, double fraction, unsigned round, MailMix mix);

}  // namespace vesk::bench
