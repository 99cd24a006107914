#include "desktop/ImapDesktop.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <exception>
#include <filesystem>
#include <map>
#include <utility>
#include <vector>

#include "platform/RegistryValues.h"
#include "store/Mailbox.h"
#include "store/Store.h"
#include "win32/Profile.h"
#include "win32/Registry.h"

namespace conduit {

namespace store = vesk::store;

namespace {

// The example desktop's users: their Maildirs below the desktop and their passwords, which
// the server is given too.
struct DesktopUser {
    const char* name;
    const char* password;
};
constexpr DesktopUser kUsers[] = {{"teo", "harbour7"}, {"mira", "tide4"}};
constexpr const char* kDovecot = "/usr/sbin/dovecot";

store::ImapOptions optionsFor(const ImapDesktop& desktop, const DesktopUser& user) {
    store::ImapOptions o;
    o.url = desktop.server->url(user.name);
    o.password = user.password;
    o.caFile = desktop.server->certificate();
    o.stateDir = store::imapStateFolder(o.url);
    return o;
}

// Every message of every folder of `maildir`, put into the server's Maildir for that user
// before anyone logs in, under its own file name and with its delivery time as the file's
// time, which the server takes as the message's arrival (an upload by APPEND would date every
// message now).
std::optional<std::string> seed(const std::string& maildir, const std::string& serverMaildir, int& count) {
    namespace fs = std::filesystem;
    store::Result<std::unique_ptr<store::Store>> from = store::openMaildir(maildir);
    if (!from) return "cannot open " + maildir + ": " + store::describe(from.status());
    store::Result<std::vector<std::string>> folders = (*from)->folders();
    if (!folders) return "cannot list the folders of " + maildir + ": " + store::describe(folders.status());
    struct stat owner {};
    if (::stat(serverMaildir.c_str(), &owner) != 0) return "the server has no Maildir " + serverMaildir;
    for (const std::string& folder : *folders) {
        store::Result<std::vector<store::MessageInfo>> listing = (*from)->list(folder);
        if (!listing) return "cannot list " + maildir + " folder " + folder + ": " + store::describe(listing.status());
        std::map<std::string, std::time_t> delivered;
        for (const store::MessageInfo& info : *listing) delivered[info.id] = info.delivered;
        const std::string part = folder == store::kInbox ? "" : "/." + folder;
        for (const char* sub : {"/cur", "/new", "/tmp"}) {
            std::error_code error;
            fs::create_directories(serverMaildir + part + sub, error);
            if (error) return "cannot make " + serverMaildir + part + sub + ": " + error.message();
            ::chown((serverMaildir + part + sub).c_str(), owner.st_uid, owner.st_gid);
        }
        ::chown((serverMaildir + part).c_str(), owner.st_uid, owner.st_gid);
        for (const char* sub : {"/cur", "/new"}) {
            std::error_code error;
            for (const fs::directory_entry& entry : fs::directory_iterator(maildir + part + sub, error)) {
                const std::string name = entry.path().filename().string();
                auto known = delivered.find(name.substr(0, name.find(':')));
                if (known == delivered.end() || !entry.is_regular_file()) continue;
                const std::string target = serverMaildir + part + sub + "/" + name;
                fs::copy_file(entry.path(), target, error);
                if (error) return "cannot copy " + entry.path().string() + " to " + target + ": " + error.message();
                struct timespec times[2] = {{known->second, 0}, {known->second, 0}};
                ::utimensat(AT_FDCWD, target.c_str(), times, 0);
                ::chown(target.c_str(), owner.st_uid, owner.st_gid);
                ++count;
            }
            if (error) return "cannot read " + maildir + part + sub + ": " + error.message();
        }
    }
    return std::nullopt;
}

// The default account names the server's mailbox instead of the Maildir.
bool pointAccount(const store::ImapOptions& options) {
    const std::string key = "Software\\Vesk\\Mail\\Accounts\\teo";
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_ALL_ACCESS, &handle) != ERROR_SUCCESS) return false;
    RegDeleteValueA(handle, "Maildir");
    RegCloseKey(handle);
    return vesk::writeRegString(HKEY_CURRENT_USER, key, "Imap", options.url) == ERROR_SUCCESS &&
           vesk::writeRegString(HKEY_CURRENT_USER, key, "ImapPassword", options.password) == ERROR_SUCCESS &&
           vesk::writeRegString(HKEY_CURRENT_USER, key, "ImapCAFile", options.caFile) == ERROR_SUCCESS;
}

bool pointPostOfficeUser(const std::string& file, const std::string& user, const store::ImapOptions& options) {
    const std::string section = "User " + user;
    return WritePrivateProfileStringA(section.c_str(), "Mailbox", nullptr, file.c_str()) &&
           WritePrivateProfileStringA(section.c_str(), "Imap", options.url.c_str(), file.c_str()) &&
           WritePrivateProfileStringA(section.c_str(), "ImapPassword", options.password.c_str(), file.c_str()) &&
           WritePrivateProfileStringA(section.c_str(), "ImapCAFile", options.caFile.c_str(), file.c_str());
}

}  // namespace

std::optional<std::string> moveDesktopToImap(const std::string& home, ImapDesktop& out) {
    if (::access(kDovecot, X_OK) != 0) {
        return std::string("the IMAP server ") + kDovecot + " is not installed (scripts/bootstrap installs it)";
    }
    store::testing::DovecotOptions serverOptions;
    serverOptions.users.clear();
    for (const DesktopUser& user : kUsers) serverOptions.users.emplace_back(user.name, user.password);
    try {
        out.server = std::make_unique<store::testing::DovecotServer>(serverOptions);
    } catch (const std::exception& e) {
        return std::string("cannot start the IMAP server: ") + e.what();
    }
    const std::string postOffice = home + "/postoffice/postoffice.ini";
    for (const DesktopUser& user : kUsers) {
        const std::string maildir = home + "/mail/" + user.name;
        const store::ImapOptions options = optionsFor(out, user);
        if (auto error = seed(maildir, out.server->maildir(user.name), out.messages)) return error;
        if (user.name == std::string("teo")) {
            out.teoUrl = options.url;
            if (!pointAccount(options)) return "cannot write the account teo into " + home + "/registry.reg";
        }
        if (!pointPostOfficeUser(postOffice, user.name, options)) return "cannot write " + postOffice;
        std::error_code ignored;
        std::filesystem::remove_all(maildir, ignored);
    }
    return std::nullopt;
}

}  // namespace conduit
