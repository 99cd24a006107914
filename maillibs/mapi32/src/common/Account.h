// The accounts of the default mail client, as configured in the registry (see
// maillibs/mapi32/CONFIGURATION.md). An account name is what a caller passes as profile name.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "store/Mailbox.h"

namespace vesk::mapi32 {

/// Registry key below HKEY_CURRENT_USER that holds the mail client's configuration.
inline constexpr const char* kMailKey = "Software\\Vesk\\Mail";
/// Subkey of kMailKey holding one key per account.
inline constexpr const char* kAccountsKey = "Software\\Vesk\\Mail\\Accounts";

/// One account, with every path resolved and every folder name checked.
struct Account {
    std::string name;          ///< the account's key name (the profile name)
    std::string password;      ///< empty: the account needs none
    /// The mailbox: a Maildir (absolute file-system path) or an IMAP mailbox; `mailbox.name()`
    /// is what messages about it show.
    store::MailboxPlace mailbox;
    std::string displayName;   ///< the user's name (Windows-1252)
    std::string address;       ///< the user's address (Windows-1252)
    std::string addressBook;   ///< absolute path of the address book, empty for none
    std::string sendCommand;   ///< sendmail-compatible command line, empty for none
    int sendTimeoutSeconds = 120;  ///< how long the sending command may take per message
    std::string trashFolder = "Trash";
    std::string sentFolder = "Sent";
    std::string outboxFolder = "Outbox";
};

/// Why an account could not be loaded.
enum class AccountError {
    None,
    NoSuchAccount,  ///< no key of that name (or no default account named)
    BadName,        ///< the caller's profile name cannot name an account
    Incomplete,     ///< the key lacks a mailbox (Maildir or Imap), names both, or names an unusable folder
};

/// True when `name` can name an account: 1-64 bytes, none of them a control character or
/// '\' (which would reach into other registry keys).
bool isValidAccountName(std::string_view name);

/// The longest time limit `SendTimeout` may set, in seconds.
inline constexpr int kMaxSendTimeout = 3600;

/// Loads account `profile`; an empty `profile` loads the default account.
/// Returns the account, or nothing with the reason in `error`.
std::optional<Account> loadAccount(std::string_view profile, AccountError& error);

/// Resolves a configured path: absolute as written, otherwise below the desktop folder.
/// `ansi` is Windows-1252 text from the registry; the result is a file-system path.
std::string resolveConfiguredPath(std::string_view ansi);

}  // namespace vesk::mapi32
