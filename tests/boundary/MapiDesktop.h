// The desktop the mapi32 stand-in reads, shared by the traits of the plug-ins that use it:
// one account "anna" with a Maildir, an address book and no sending command.
#pragma once

#include <string>

#include "PluginTraits.h"

/// Writes the account into the registry below `home` and creates its empty Maildir.
void PrepareMapiAccount(const std::string& home);

/// Points the account at an IMAP mailbox instead of its Maildir.
void UseImapForMapiAccount(const std::string& home, const ImapAccount& account);

/// The account above plus what Extended MAPI needs: MAPIX = "1" and the default profile "Teo"
/// naming the account.
void PrepareMapiProfile(const std::string& home);
