// The Extended MAPI profiles as the stand-in reads them from the registry file: the input's
// first line is the profile name a caller passes, the rest is $VESK_HOME/registry.reg. Every
// profile listed is found again by its name, the default is one of them, an account a profile
// names loads whole or not at all, and a profile saved reads back with its account.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "RegistryFuzz.h"
#include "extended/Profiles.h"

using namespace vesk::mapi32;

namespace {

std::string g_registry;

bool sameNoCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_registry = fuzz::scratchRegistry();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view registry;
    std::string query = vesk::fuzz::leadingLines(data, size, 1, registry)[0];
    vesk::fuzz::writeFile(g_registry, registry);

    std::vector<std::string> names = ex::profileNames();
    for (const std::string& name : names) {
        if (!ex::isValidProfileName(name)) std::abort();
        std::optional<std::string> found = ex::findProfile(name);
        if (!found || !sameNoCase(*found, name)) std::abort();
        if (std::optional<std::string> account = ex::accountOfProfile(name)) fuzz::checkAccount(*account);
    }
    std::string fallback = ex::defaultProfile();
    if (!fallback.empty() && !ex::findProfile(fallback)) std::abort();
    (void)ex::accountOfProfile(query);

    HRESULT saved = ex::saveProfile(query, "fuzz-account");
    if (!ex::isValidProfileName(query)) {
        if (saved != MAPI_E_INVALID_PARAMETER) std::abort();
    } else if (saved == S_OK) {
        // What was saved is there to read, and the profiles listed before are still listed.
        std::optional<std::string> account = ex::accountOfProfile(query);
        if (!account || *account != "fuzz-account" || ex::defaultProfile().empty()) std::abort();
        std::vector<std::string> after = ex::profileNames();
        for (const std::string& name : names)
            if (!ex::findProfile(name)) std::abort();
        if (after.size() < names.size()) std::abort();
    }
    return 0;
}
