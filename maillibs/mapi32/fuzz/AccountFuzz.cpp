// The account configuration as the stand-in reads it from the registry file: the input's
// first line is the profile name a caller passes, the rest is $VESK_HOME/registry.reg.
// An account that loads has an absolute Maildir and folder names the store accepts.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/Account.h"
#include "store/Store.h"

using namespace vesk::mapi32;

namespace {
std::string g_registry;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/vesk-fuzz-account-XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    ::setenv("VESK_HOME", folder, 1);
    g_registry = std::string(folder) + "/registry.reg";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t lf = input.find('\n');
    std::string profile(input.substr(0, lf));
    std::string_view registry = lf == std::string_view::npos ? std::string_view() : input.substr(lf + 1);
    std::FILE* f = std::fopen(g_registry.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(registry.data(), 1, registry.size(), f);
    std::fclose(f);

    AccountError error = AccountError::None;
    std::optional<Account> account = loadAccount(profile.c_str(), error);
    if (!account) return 0;
    if (error != AccountError::None || account->maildir.empty() || account->maildir.front() != '/') std::abort();
    for (const std::string* folder : {&account->trashFolder, &account->sentFolder, &account->outboxFolder})
        if (!vesk::store::isValidFolderName(*folder)) std::abort();
    return 0;
}
