// The account's address book: a text file of entries, searched by name or address.
//
// File format (UTF-8): one entry per line, written `Display Name <address>` or as a bare
// address; blank lines and lines whose first non-blank character is '#' are skipped.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vesk::mapi32 {

/// One entry; both texts Windows-1252.
struct BookEntry {
    std::string name;
    std::string address;
};

/// A mailbox written `Name <address>`, `address (Name)` or as a bare address, taken apart
/// (quotes around the name dropped, blanks trimmed). The address part may be empty or no
/// address at all; check it with isPlainAddress.
BookEntry parseMailbox(std::string_view text);

/// The entries of the file at `path`, in file order; empty when the file is missing or
/// unreadable (an account may have no address book yet). Lines without an address are skipped.
std::vector<BookEntry> readAddressBook(const std::string& path);

/// The entries of the book at `path` followed by the user's own name and address (when
/// there is an address): everyone a name may resolve to.
std::vector<BookEntry> bookWithOwnEntry(const std::string& path, const std::string& ownName,
                                        const std::string& ownAddress);

/// Outcome of a look-up.
enum class Lookup { Unique, Unknown, Ambiguous };

/// Looks `query` up in `entries`, ignoring case: first entries whose whole name or whole
/// address equals the query (or the address part of a query written `Name <address>`), then,
/// when none does, entries whose name or address contains it. Entries with the same address
/// count once. A leading "SMTP:" on the query is ignored. On Unique, `found` is the entry.
Lookup lookUp(const std::vector<BookEntry>& entries, std::string_view query, BookEntry& found);

/// The entry identifier handed out for an address, and the address inside one (false when
/// the bytes are not an identifier of this address book).
std::string entryIdOf(std::string_view address);
bool addressOfEntryId(const void* bytes, unsigned long size, std::string& address);

/// True when `text` is usable as a mail address: local part '@' domain, printable ASCII,
/// no blanks, no angle brackets, commas, semicolons or quotes.
bool isPlainAddress(std::string_view text);

/// Drops a leading "SMTP:" (any case) and surrounding blanks. Returns false when another
/// address type is given ("FAX:..."): only Internet mail is delivered here.
bool stripAddressType(std::string_view text, std::string& address);

}  // namespace vesk::mapi32
