// Why a logon was refused, in words a person can act on. Every refusal of the default mail
// client's logon goes to the shared problem log ($VESK_HOME/vesk-mail.log) naming the file,
// folder or account at fault, so the program that asked can show it.
#pragma once

#include <string>
#include <string_view>

#include "common/Account.h"
#include "store/Store.h"

namespace vesk::mapi32 {

/// The account `profile` (empty: the default account) could not be loaded for `error`.
void logAccountProblem(std::string_view profile, AccountError error);

/// The password given for `account` is not the one configured (`given` says whether any was).
void logPasswordRefused(const Account& account, bool given);

/// The mailbox of `account` could not be opened (`status` from the store).
void logMailboxProblem(const Account& account, store::Status status);

}  // namespace vesk::mapi32
