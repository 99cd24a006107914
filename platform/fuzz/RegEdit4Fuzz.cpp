// The REGEDIT4 reader and its edits, on the parsed document directly: the input's first two
// lines are a key path and a value name, the rest is the file. Every edit's text must parse
// again, and a value set must read back with its type and bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "registry/RegDocument.h"
#include "registry/RegPath.h"

using vesk::reg::RegData;
using vesk::reg::RegDocument;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text;
    std::vector<std::string> args = vesk::fuzz::leadingLines(data, size, 2, text);
    const std::string& name = args[1];
    // Edits are asked for with a path as the registry calls build it (a known root, no empty
    // component) and names a line can hold.
    std::optional<std::string> normal = vesk::reg::headerPath(args[0]);
    bool editable = normal && name.find_first_of(std::string("\r\0", 2)) == std::string::npos &&
                    normal->find_first_of(std::string("\r\0", 2)) == std::string::npos;
    const std::string& path = normal ? *normal : args[0];

    RegDocument doc{std::string(text)};
    if (!doc.valid()) return 0;
    (void)doc.hasKey(path);
    (void)doc.value(path, name);
    (void)doc.existingSpelling(path);
    if (!editable) return 0;

    RegData written{1 /* REG_SZ */, "fuzz value" + std::string(1, '\0')};
    RegDocument edited(doc.withValue(path, name, written));
    if (!edited.valid()) std::abort();
    std::optional<RegData> back = edited.value(path, name);
    if (!back || back->type != written.type || back->bytes != written.bytes) std::abort();

    RegData binary{3 /* REG_BINARY */, std::string(text.substr(0, 200))};
    RegDocument edited2(doc.withValue(path, name, binary));
    back = edited2.value(path, name);
    if (!back || back->bytes != binary.bytes) std::abort();

    RegDocument removed(doc.withoutValue(path, name));
    if (!removed.valid() || removed.value(path, name)) std::abort();
    RegDocument created(doc.withKey(path));
    if (!created.valid() || !created.hasKey(path)) std::abort();
    return 0;
}
