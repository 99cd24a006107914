#include "resources/ResFile.h"

#include "resources/ByteReader.h"

namespace vesk::res {
namespace {

// DataSize and HeaderSize, the shortest TYPE and NAME, and the five fields after them.
constexpr size_t kMinHeaderSize = 32;

std::string describe(const NameOrOrdinal& n) {
    return n.isOrdinal ? std::to_string(n.ordinal) : "\"" + n.name + "\"";
}

bool fail(std::string* error, size_t offset, const std::string& reason) {
    if (error) *error = "entry at offset " + std::to_string(offset) + ": " + reason;
    return false;
}

// Reads the entry that starts at `offset`; on success `next` is where the following one starts.
bool readEntry(const unsigned char* data, size_t size, size_t offset, RawResource& entry, size_t& next,
               std::string* error) {
    ByteReader sizes(data + offset, size - offset);
    const uint32_t dataSize = sizes.u32();
    const uint32_t headerSize = sizes.u32();
    if (!sizes.ok()) return fail(error, offset, "header runs past the end of the file");
    if (headerSize < kMinHeaderSize || headerSize > size - offset) {
        return fail(error, offset, "header size " + std::to_string(headerSize) + " does not fit");
    }
    // Type and name are read only from inside the header the entry declares.
    ByteReader header(data + offset, headerSize);
    header.skip(8);
    entry.type = header.nameOrOrdinal();
    entry.name = header.nameOrOrdinal();
    header.alignTo4();
    header.skip(4);  // data version
    entry.memoryFlags = header.u16();
    entry.language = header.u16();
    header.skip(8);  // version and characteristics
    if (!header.ok()) return fail(error, offset, "type and name overrun the header");

    const size_t dataStart = offset + headerSize;
    if (dataSize > size - dataStart) {
        return fail(error, offset, "resource " + describe(entry.type) + "/" + describe(entry.name) + " claims " +
                                       std::to_string(dataSize) + " bytes; the file ends first");
    }
    entry.data = data + dataStart;
    entry.size = dataSize;
    // The padding after the last entry may be missing.
    const size_t end = dataStart + dataSize;
    const size_t padded = (end + 3) & ~size_t{3};
    next = padded <= size ? padded : size;
    return true;
}

}  // namespace

std::optional<std::vector<RawResource>> splitResFile(const unsigned char* data, size_t size, std::string* error) {
    std::vector<RawResource> entries;
    size_t offset = 0;
    bool first = true;
    while (offset < size) {
        RawResource entry;
        size_t next = 0;
        if (!readEntry(data, size, offset, entry, next, error)) return std::nullopt;
        const bool marker = entry.size == 0 && entry.type.is(0) && entry.name.is(0);
        if (first && !marker) {
            if (error) *error = "not a 32-bit resource file (the leading empty entry is missing)";
            return std::nullopt;
        }
        if (!marker) entries.push_back(entry);
        first = false;
        offset = next;
    }
    if (first) {
        if (error) *error = "the file is empty";
        return std::nullopt;
    }
    return entries;
}

}  // namespace vesk::res
