#include "common/AddressBook.h"

#include <cstring>
#include <fstream>

#include "platform/Codepage.h"

namespace vesk::mapi32 {
namespace {

constexpr std::string_view kEntryIdPrefix = "vesk-ab:";

bool isBlankChar(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlankChar(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlankChar(s.back())) s.remove_suffix(1);
    return s;
}

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

std::string_view unquoted(std::string_view s) {
    s = trimmed(s);
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') s = s.substr(1, s.size() - 2);
    return trimmed(s);
}


// Entries of `candidates` that share their address with an earlier one are dropped.
std::vector<const BookEntry*> distinctByAddress(const std::vector<const BookEntry*>& candidates) {
    std::vector<const BookEntry*> out;
    for (const BookEntry* e : candidates) {
        bool seen = false;
        for (const BookEntry* o : out) seen = seen || lower(o->address) == lower(e->address);
        if (!seen) out.push_back(e);
    }
    return out;
}

}  // namespace

BookEntry parseMailbox(std::string_view text) {
    BookEntry e;
    text = trimmed(text);
    size_t open = text.rfind('<');
    size_t close = open == std::string_view::npos ? std::string_view::npos : text.find('>', open);
    size_t paren = text.find('(');
    if (open != std::string_view::npos && close != std::string_view::npos) {
        e.name = std::string(unquoted(text.substr(0, open)));
        e.address = std::string(trimmed(text.substr(open + 1, close - open - 1)));
    } else if (paren != std::string_view::npos && text.back() == ')' && paren > 0) {
        e.name = std::string(unquoted(text.substr(paren + 1, text.size() - paren - 2)));
        e.address = std::string(trimmed(text.substr(0, paren)));
    } else {
        e.address = std::string(trimmed(text));
    }
    return e;
}

bool isPlainAddress(std::string_view text) {
    size_t at = text.find('@');
    if (at == std::string_view::npos || at == 0 || at + 1 >= text.size()) return false;
    if (text.find('@', at + 1) != std::string_view::npos) return false;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (byte <= 0x20 || byte >= 0x7F) return false;
        if (std::strchr("<>,;\"()[]\\:", c) != nullptr) return false;
    }
    return true;
}

bool stripAddressType(std::string_view text, std::string& address) {
    text = trimmed(text);
    size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
        if (lower(text.substr(0, colon)) != "smtp") return false;
        text = trimmed(text.substr(colon + 1));
    }
    address = std::string(text);
    return true;
}

std::vector<BookEntry> readAddressBook(const std::string& path) {
    std::vector<BookEntry> entries;
    if (path.empty()) return entries;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        std::string_view text = trimmed(line);
        if (text.empty() || text.front() == '#') continue;
        BookEntry e = parseMailbox(text);
        if (e.address.empty()) continue;
        e.name = cp::utf8ToCp1252(e.name);
        e.address = cp::utf8ToCp1252(e.address);
        entries.push_back(std::move(e));
    }
    return entries;
}

std::vector<BookEntry> bookWithOwnEntry(const std::string& path, const std::string& ownName,
                                        const std::string& ownAddress) {
    std::vector<BookEntry> book = readAddressBook(path);
    if (!ownAddress.empty()) book.push_back(BookEntry{ownName, ownAddress});
    return book;
}

Lookup lookUp(const std::vector<BookEntry>& entries, std::string_view query, BookEntry& found) {
    std::string plain;
    if (!stripAddressType(query, plain)) plain = std::string(trimmed(query));
    std::string q = lower(plain);
    if (q.empty()) return Lookup::Unknown;
    std::string qAddress = lower(parseMailbox(plain).address);

    std::vector<const BookEntry*> exact, partial;
    for (const BookEntry& e : entries) {
        std::string name = lower(e.name), address = lower(e.address);
        if (name == q || address == q || address == qAddress) {
            exact.push_back(&e);
        } else if ((!name.empty() && name.find(q) != std::string::npos) || address.find(q) != std::string::npos) {
            partial.push_back(&e);
        }
    }
    std::vector<const BookEntry*> hits = distinctByAddress(exact.empty() ? partial : exact);
    if (hits.empty()) return Lookup::Unknown;
    if (hits.size() > 1) return Lookup::Ambiguous;
    found = *hits.front();
    return Lookup::Unique;
}

std::string entryIdOf(std::string_view address) {
    return std::string(kEntryIdPrefix) + std::string(address);
}

bool addressOfEntryId(const void* bytes, unsigned long size, std::string& address) {
    if (bytes == nullptr || size <= kEntryIdPrefix.size() || size > 1024) return false;
    std::string_view id(static_cast<const char*>(bytes), size);
    if (id.substr(0, kEntryIdPrefix.size()) != kEntryIdPrefix) return false;
    std::string_view rest = id.substr(kEntryIdPrefix.size());
    if (!isPlainAddress(rest)) return false;
    address = std::string(rest);
    return true;
}

}  // namespace vesk::mapi32
