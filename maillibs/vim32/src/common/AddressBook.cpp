#include "common/AddressBook.h"

#include "common/PostOffice.h"
#include "win32/Profile.h"

namespace vesk::vim32 {
namespace {

std::vector<std::string> keysOf(const std::string& file, const char* section) {
    for (std::size_t size = 4096; size <= (std::size_t(1) << 24); size *= 4) {
        std::string buffer(size, '\0');
        DWORD n = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), static_cast<DWORD>(size),
                                           file.c_str());
        if (n + 2 >= size) continue;
        std::vector<std::string> keys;
        for (std::size_t at = 0; at < n && buffer[at] != '\0';) {
            std::string key(buffer.c_str() + at);
            at += key.size() + 1;
            keys.push_back(std::move(key));
        }
        return keys;
    }
    return {};
}

std::string valueOf(const std::string& file, const char* section, const std::string& key) {
    std::string buffer(1024, '\0');
    DWORD n = GetPrivateProfileStringA(section, key.c_str(), "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                       file.c_str());
    buffer.resize(n);
    return buffer;
}

}  // namespace

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
        for (const std::string& key : keysOf(file, kPersonalSection)) {
            std::string address = valueOf(file, kPersonalSection, key);
            if (!address.empty()) entries.push_back({key, address, key, std::string()});
        }
        return true;
    }
    return false;
}

}  // namespace vesk::vim32
