// The sync journal reader and its replay onto a handheld: any file either reads or is refused
// with an error text, and what reads replays without failing.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "handheld/Journal.h"

namespace {
std::string g_path;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_path = vesk::fuzz::scratchFile("journal");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    vesk::fuzz::writeFile(g_path, std::string_view(reinterpret_cast<const char*>(data), size));
    conduit::JournalContent content;
    if (conduit::readJournal(g_path, content)) return 0;
    conduit::Handheld handheld;
    (void)conduit::replayJournal(handheld, content);
    return 0;
}
