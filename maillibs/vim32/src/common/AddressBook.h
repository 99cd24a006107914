// The address books a session can open: the post office directory (every user, by name) and
// the user's personal book, a file "addresses/<user>.ini" in the post office folder whose
// section [Addresses] holds one entry a line, "<name>=<address>" (the address an Internet
// address or a user of the post office).
#pragma once

#include <string>
#include <vector>

namespace vesk::vim32 {

struct PostOffice;
struct User;

inline constexpr const char* kDirectoryBook = "Post Office Directory";
inline constexpr const char* kPersonalBook = "Personal Address Book";
inline constexpr const char* kPersonalSection = "Addresses";

/// One entry; texts Windows-1252.
struct BookEntry {
    std::string name;
    std::string address;
    std::string displayName;
    std::string comments;
};

/// The names of the books, in the order they are listed.
std::vector<std::string> bookNames();
/// The entries of the book `name` (one of bookNames()) for `user`; false for another name.
bool readBook(const PostOffice& office, const User& user, const std::string& name,
              std::vector<BookEntry>& entries);

}  // namespace vesk::vim32
