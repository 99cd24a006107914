// vim32-postoffice: makes a post office and its users by hand (the format is POSTOFFICE.md).
//   vim32-postoffice create   <folder> <name> [<gateway>]
//   vim32-postoffice adduser  <folder> <user> <password|-> [--mailbox <dir>] [--display <name>]
//                             [--address <internet address>]
//   vim32-postoffice passwd   <folder> <user> <password|->
//   vim32-postoffice addentry <folder> <user> <name> <address>
//   vim32-postoffice list     <folder>
// A password of "-" is read from the first line of standard input (kept out of `ps`).
// A relative <folder> is taken below the desktop folder ($VESK_HOME), as the library does.
#include <sys/stat.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include "common/AddressBook.h"
#include "common/Passwords.h"
#include "common/PostOffice.h"
#include "store/Store.h"
#include "win32/Profile.h"

namespace vim32 = vesk::vim32;

namespace {

int fail(const std::string& text) {
    std::cerr << "vim32-postoffice: " << text << "\n";
    return 1;
}

int usage() {
    std::cerr << "usage: vim32-postoffice create <folder> <name> [<gateway>]\n"
                 "       vim32-postoffice adduser <folder> <user> <password|-> [--mailbox <dir>]"
                 " [--display <name>] [--address <address>]\n"
                 "                [--imap <imap://user@host:port> --imap-password <password> [--imap-ca <pem file>]]\n"
                 "       vim32-postoffice passwd <folder> <user> <password|->\n"
                 "       vim32-postoffice addentry <folder> <user> <name> <address>\n"
                 "       vim32-postoffice list <folder>\n";
    return 2;
}

bool write(const std::string& file, const std::string& section, const char* key, const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key, value.c_str(), file.c_str()) != 0;
}

std::string passwordArg(const std::string& arg) {
    if (arg != "-") return arg;
    std::string line;
    std::getline(std::cin, line);
    return line;
}

std::string fileOf(const std::string& folder) { return folder + "/" + vim32::kPostOfficeFile; }

std::optional<vim32::PostOffice> open(const std::string& folder) {
    vim32::PostOfficeError error = vim32::PostOfficeError::None;
    auto office = vim32::loadPostOffice(folder, error);
    if (!office) {
        std::cerr << "vim32-postoffice: " << fileOf(folder)
                  << (error == vim32::PostOfficeError::Missing ? ": no post office there\n"
                                                               : ": damaged (see vesk-mail.log)\n");
    }
    return office;
}

int create(const std::string& folder, const std::string& name, const std::string& gateway) {
    ::mkdir(folder.c_str(), 0700);
    if (!write(fileOf(folder), vim32::kPostOfficeSection, "Name", name) ||
        !write(fileOf(folder), vim32::kPostOfficeSection, "InternetGateway", gateway)) {
        return fail(fileOf(folder) + ": cannot be written");
    }
    std::cout << "post office " << name << " in " << folder << "\n";
    return 0;
}

int setPassword(const std::string& folder, const std::string& user, const std::string& password) {
    auto hash = vim32::hashPassword(password);
    if (!hash) return fail("no password hash could be made");
    if (!write(fileOf(folder), vim32::kUserSectionPrefix + user, "Password", *hash)) {
        return fail(fileOf(folder) + ": cannot be written");
    }
    return 0;
}

int addUser(const std::string& folder, const std::vector<std::string>& args) {
    auto office = open(folder);
    if (!office) return 1;
    const std::string& user = args[0];
    if (!vim32::isValidUserName(user)) return fail("\"" + user + "\" cannot be a user name");
    if (office->findUser(user) != nullptr) return fail("user " + user + " exists already");
    std::string mailbox = "mailboxes/" + user, display, address, imap, imapPassword, imapCa;
    for (std::size_t i = 2; i + 1 < args.size(); i += 2) {
        if (args[i] == "--mailbox") mailbox = args[i + 1];
        else if (args[i] == "--display") display = args[i + 1];
        else if (args[i] == "--address") address = args[i + 1];
        else if (args[i] == "--imap") imap = args[i + 1];
        else if (args[i] == "--imap-password") imapPassword = args[i + 1];
        else if (args[i] == "--imap-ca") imapCa = args[i + 1];
        else return usage();
    }
    const std::string section = vim32::kUserSectionPrefix + user;
    std::string root;
    if (imap.empty()) {
        root = mailbox.front() == '/' ? mailbox : folder + "/" + mailbox;
        ::mkdir((folder + "/mailboxes").c_str(), 0700);
        auto store = vesk::store::openMaildir(root, {.create = true});
        if (!store) return fail(root + ": no Maildir can be made there");
        (void)(*store)->createFolder("Trash");
        if (!write(fileOf(folder), section, "Mailbox", mailbox)) return fail(fileOf(folder) + ": cannot be written");
    } else {
        // The server's mailbox is the user's; its folders are made when first needed.
        root = imap;
        if (!write(fileOf(folder), section, "Imap", imap) ||
            !write(fileOf(folder), section, "ImapPassword", imapPassword) ||
            (!imapCa.empty() && !write(fileOf(folder), section, "ImapCAFile", imapCa))) {
            return fail(fileOf(folder) + ": cannot be written");
        }
    }
    if ((!display.empty() && !write(fileOf(folder), section, "DisplayName", display)) ||
        (!address.empty() && !write(fileOf(folder), section, "Address", address))) {
        return fail(fileOf(folder) + ": cannot be written");
    }
    if (setPassword(folder, user, passwordArg(args[1])) != 0) return 1;
    std::cout << "user " << user << " with mailbox " << root << "\n";
    return 0;
}

int addEntry(const std::string& folder, const std::string& user, const std::string& name, const std::string& address) {
    auto office = open(folder);
    if (!office) return 1;
    const vim32::User* owner = office->findUser(user);
    if (owner == nullptr) return fail("no user " + user);
    ::mkdir((folder + "/addresses").c_str(), 0700);
    if (!write(office->personalBookOf(*owner), vim32::kPersonalSection, name.c_str(), address)) {
        return fail(office->personalBookOf(*owner) + ": cannot be written");
    }
    return 0;
}

int list(const std::string& folder) {
    auto office = open(folder);
    if (!office) return 1;
    std::cout << "post office " << office->name << ", Internet gateway "
              << (office->gateway.empty() ? "(none)" : office->gateway) << "\n";
    for (const vim32::User& user : office->users) {
        std::cout << "  " << user.name << "\t" << user.displayName << "\t" << office->localAddressOf(user) << "\t"
                  << user.mailbox.name() << "\n";
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.size() < 2) return usage();
    const std::string command = args[0];
    const std::string folder = vim32::resolvePostOfficePath(args[1]);
    std::vector<std::string> rest(args.begin() + 2, args.end());
    if (command == "create" && (rest.size() == 1 || rest.size() == 2)) {
        return create(folder, rest[0], rest.size() == 2 ? rest[1] : std::string());
    }
    if (command == "adduser" && rest.size() >= 2) return addUser(folder, rest);
    if (command == "passwd" && rest.size() == 2) {
        auto office = open(folder);
        if (!office) return 1;
        const vim32::User* user = office->findUser(rest[0]);
        if (user == nullptr) return fail("no user " + rest[0]);
        return setPassword(folder, user->name, passwordArg(rest[1]));
    }
    if (command == "addentry" && rest.size() == 3) return addEntry(folder, rest[0], rest[1], rest[2]);
    if (command == "list" && rest.empty()) return list(folder);
    return usage();
}
