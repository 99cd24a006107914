// The handheld database reader: any file either loads into a handheld, which a fresh database
// then stores and loads back unchanged, or is refused with an error naming the file. The file
// itself is never changed by reading it.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>

#include "desktop/FileIo.h"
#include "handheld/HandheldStore.h"

namespace {

std::string scratchFolder() {
    static std::string folder = [] {
        char pattern[] = "/tmp/handheld-db-fuzz-XXXXXX";
        const char* made = ::mkdtemp(pattern);
        if (!made) std::abort();
        return std::string(made);
    }();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string path = scratchFolder() + "/handheld.db";
    const std::string copy = scratchFolder() + "/copy.db";
    for (const std::string& file : {path, path + "-wal", path + "-shm", copy, copy + "-wal", copy + "-shm"}) {
        ::unlink(file.c_str());
    }
    std::string bytes(reinterpret_cast<const char*>(data), size);
    if (conduit::replaceFile(path, bytes) != 0) std::abort();

    conduit::Handheld handheld;
    std::vector<conduit::PlannedCall> pending;
    {
        conduit::HandheldStore store;
        std::optional<std::string> error = store.open(path, true);
        if (!error) error = store.load(handheld, pending);
        if (error && error->find(path) == std::string::npos) std::abort();
        std::string after;
        if (conduit::readFile(path, after) != 0 || after != bytes) std::abort();
        if (error) return 0;
    }
    conduit::HandheldStore fresh;
    conduit::Handheld empty, again;
    std::vector<conduit::PlannedCall> none;
    if (fresh.open(copy, false) || fresh.load(empty, none)) std::abort();
    if (fresh.commit(handheld, "fuzz")) std::abort();
    conduit::HandheldStore reread;
    if (reread.open(copy, true) || reread.load(again, none)) std::abort();
    if (!(again == handheld)) std::abort();
    return 0;
}
