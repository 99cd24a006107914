// The post office's own files as the library reads them: the input's first line is a name a
// caller logs on or looks up with; the rest is postoffice.ini, up to a form feed, and after it
// the personal address book of the user that name finds. A post office that loads has usable,
// distinct user names, absolute mailboxes and a name; every user is found again by name and
// by the address their mail carries; every book entry has a name and an address.
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "FuzzSupport.h"
#include "common/AddressBook.h"
#include "common/PostOffice.h"

using namespace vesk::vim32;

namespace {

std::string g_home;
std::string g_folder;

void checkBooks(const PostOffice& office, const User& user) {
    std::vector<BookEntry> entries;
    if (!readBook(office, user, kDirectoryBook, entries) || entries.size() != office.users.size()) std::abort();
    if (!readBook(office, user, kPersonalBook, entries)) std::abort();
    for (const BookEntry& e : entries)
        if (e.name.empty() || e.address.empty()) std::abort();
    if (readBook(office, user, "No Such Book", entries)) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string file = vesk::fuzz::scratchFile("postoffice");
    g_home = file.substr(0, file.rfind('/'));
    g_folder = file;
    std::filesystem::create_directories(g_folder + "/addresses");
    ::setenv("VESK_HOME", g_home.c_str(), 1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view rest;
    std::string query = vesk::fuzz::leadingLines(data, size, 1, rest)[0];
    std::size_t feed = rest.find('\f');
    std::string_view ini = rest.substr(0, feed);
    std::string_view book = feed == std::string_view::npos ? std::string_view() : rest.substr(feed + 1);
    vesk::fuzz::writeFile(g_folder + "/" + kPostOfficeFile, ini);
    // Each refused post office is logged: start every input with an empty log.
    ::unlink((g_home + "/vesk-mail.log").c_str());

    PostOfficeError error = PostOfficeError::None;
    std::optional<PostOffice> office = loadPostOffice(g_folder, error);
    if (!office) {
        if (error == PostOfficeError::None) std::abort();
        return 0;
    }
    if (error != PostOfficeError::None || office->name.empty()) std::abort();
    for (const User& user : office->users) {
        if (!isValidUserName(user.name) || (!user.mailbox.isImap() && (user.mailbox.maildir.empty() || user.mailbox.maildir.front() != '/'))) std::abort();
        if (office->findUser(user.name) != &user) std::abort();
        if (office->userByAddress(office->localAddressOf(user)) == nullptr) std::abort();
    }
    (void)office->userByAddress(query);
    const User* user = office->findUser(query);
    if (user == nullptr) return 0;
    const std::string bookFile = office->personalBookOf(*user);
    if (bookFile.rfind(g_folder + "/addresses/", 0) != 0) std::abort();
    vesk::fuzz::writeFile(bookFile, book);
    checkBooks(*office, *user);
    ::unlink(bookFile.c_str());
    return 0;
}
