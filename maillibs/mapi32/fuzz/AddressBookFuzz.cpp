// The address book file as the stand-in reads it: the input's first line is the name a caller
// resolves, the rest is the book. Every entry read has an address; a unique match is one of
// the entries; entry identifiers built from an entry's address read back.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "common/AddressBook.h"

using namespace vesk::mapi32;

namespace {
std::string g_path;
}

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char folder[] = "/tmp/vesk-fuzz-book-XXXXXX";
    if (!::mkdtemp(folder)) std::abort();
    g_path = std::string(folder) + "/addresses.txt";
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view input(reinterpret_cast<const char*>(data), size);
    std::size_t lf = input.find('\n');
    std::string query(input.substr(0, lf));
    std::string_view book = lf == std::string_view::npos ? std::string_view() : input.substr(lf + 1);
    std::FILE* f = std::fopen(g_path.c_str(), "wb");
    if (!f) std::abort();
    std::fwrite(book.data(), 1, book.size(), f);
    std::fclose(f);

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
