// The address book file as the stand-in reads it: the input's first line is the name a caller
// resolves, the rest is the book. Every entry read has an address; a unique match is one of
// the entries; entry identifiers built from an entry's address read back.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "common/AddressBook.h"

using namespace vesk::mapi32;

namespace {
std::string g_path;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_path = vesk::fuzz::scratchFile("addresses.txt");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::string_view book;
    std::string query = vesk::fuzz::leadingLines(data, size, 1, book)[0];
    vesk::fuzz::writeFile(g_path, book);

    std::vector<BookEntry> entries = readAddressBook(g_path);
    for (const BookEntry& e : entries) {
        if (e.address.empty()) std::abort();
        std::string id = entryIdOf(e.address), back;
        if (addressOfEntryId(id.data(), id.size(), back) && back != e.address) std::abort();
    }
    BookEntry found;
    if (lookUp(entries, query, found) == Lookup::Unique) {
        bool listed = false;
        for (const BookEntry& e : entries) listed = listed || (e.address == found.address && e.name == found.name);
        if (!listed) std::abort();
    }
    std::string address;
    (void)addressOfEntryId(input.data(), static_cast<unsigned long>(input.size()), address);
    (void)stripAddressType(query, address);
    (void)isPlainAddress(query);
    return 0;
}
