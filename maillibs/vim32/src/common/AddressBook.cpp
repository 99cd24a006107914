#include "common/AddressBook.h"

#include "common/PostOffice.h"
#include "common/ProfileFile.h"

namespace vesk::vim32 {

std::vector<std::string> bookNames() { return {kDirectoryBook, kPersonalBook}; }

bool readBook(const PostOffice& office, const User& user, const std::string& name, std::vector<BookEntry>& entries) {
    entries.clear();
    if (equalsNoCase(name, kDirectoryBook)) {
        for (const User& member : office.users) {
            entries.push_back({member.name, member.name, member.displayName, std::string()});
        }
        return true;
    }
    if (equalsNoCase(name, kPersonalBook)) {
        // A missing book is an empty one: a user may not have written any entry yet.
        const std::string file = office.personalBookOf(user);
        for (const std::string& key : profileNames(file, kPersonalSection)) {
            std::string address = profileValue(file, kPersonalSection, key);
            if (!address.empty()) entries.push_back({key, address, key, std::string()});
        }
        return true;
    }
    return false;
}

}  // namespace vesk::vim32
