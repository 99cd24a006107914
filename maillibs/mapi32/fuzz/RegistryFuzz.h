// What the fuzz targets over the registry file share: the scratch registry they write each
// input to, and the check that an account that loads from it is whole.
#pragma once

#include <stdlib.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "common/Account.h"
#include "store/Store.h"

namespace vesk::mapi32::fuzz {

/// $VESK_HOME/registry.reg in a fresh folder made $VESK_HOME for the process.
inline std::string scratchRegistry() {
    std::string registry = vesk::fuzz::scratchFile("registry.reg");
    std::string home = registry.substr(0, registry.rfind('/'));
    ::setenv("VESK_HOME", home.c_str(), 1);
    return registry;
}

/// Loads account `name`: one that loads has an absolute Maildir and folder names the store
/// accepts, and no error.
inline void checkAccount(std::string_view name) {
    AccountError error = AccountError::None;
    std::optional<Account> account = loadAccount(name, error);
    if (!account) return;
    if (error != AccountError::None || (!account->mailbox.isImap() && (account->mailbox.maildir.empty() || account->mailbox.maildir.front() != '/'))) std::abort();
    for (const std::string* folder : {&account->trashFolder, &account->sentFolder, &account->outboxFolder})
        if (!vesk::store::isValidFolderName(*folder)) std::abort();
}

}  // namespace vesk::mapi32::fuzz
