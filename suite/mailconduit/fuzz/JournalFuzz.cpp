// The sync journal reader and its replay onto a handheld: any file either reads or is refused
// with an error text, and what reads replays without failing.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Journal.h"

namespace {
std::string g_path;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/vesk-fuzz-journal-XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    g_path = std::string(folder) + "/journal";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* f = std::fopen(g_path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    conduit::JournalContent content;
    if (conduit::readJournal(g_path, content)) return 0;
    conduit::Handheld handheld;
    (void)conduit::replayJournal(handheld, content);
    return 0;
}
