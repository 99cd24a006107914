// The account configuration as the stand-in reads it from the registry file: the input's
// first line is the profile name a caller passes, the rest is $VESK_HOME/registry.reg.
// An account that loads has an absolute Maildir and folder names the store accepts.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "common/Account.h"
#include "store/Store.h"

using namespace vesk::mapi32;

namespace {
std::string g_registry;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_registry = vesk::fuzz::scratchFile("registry.reg");
    std::string home = g_registry.substr(0, g_registry.rfind('/'));
    ::setenv("VESK_HOME", home.c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view registry;
    std::string profile = vesk::fuzz::leadingLines(data, size, 1, registry)[0];
    vesk::fuzz::writeFile(g_registry, registry);

    AccountError error = AccountError::None;
    std::optional<Account> account = loadAccount(profile.c_str(), error);
    if (!account) return 0;
    if (error != AccountError::None || account->maildir.empty() || account->maildir.front() != '/') std::abort();
    for (const std::string* folder : {&account->trashFolder, &account->sentFolder, &account->outboxFolder})
        if (!vesk::store::isValidFolderName(*folder)) std::abort();
    return 0;
}
