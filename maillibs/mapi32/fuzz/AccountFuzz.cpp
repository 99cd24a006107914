// The account configuration as the stand-in reads it from the registry file: the input's
// first line is the profile name a caller passes, the rest is $VESK_HOME/registry.reg.
// An account that loads has an absolute Maildir and folder names the store accepts.
#include <cstdint>
#include <string>

#include "RegistryFuzz.h"

namespace {
std::string g_registry;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_registry = vesk::mapi32::fuzz::scratchRegistry();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view registry;
    std::string profile = vesk::fuzz::leadingLines(data, size, 1, registry)[0];
    vesk::fuzz::writeFile(g_registry, registry);
    vesk::mapi32::fuzz::checkAccount(profile);
    return 0;
}
