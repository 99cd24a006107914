#include "common/LogonProblems.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Codepage.h"
#include "platform/RegistryValues.h"
#include "platform/VeskHome.h"
#include "store/ProblemLog.h"

namespace vesk::mapi32 {
namespace {

constexpr const char* kComponent = "mapi32";

std::string registryFile() { return home() + "/registry.reg"; }

std::string accountKey(const std::string& name) {
    return std::string("HKEY_CURRENT_USER\\") + kAccountsKey + "\\" + cp::cp1252ToUtf8(name);
}

// The registry file's own fault, put before a missing key or value it explains.
std::string withFileProblem(std::string reason) {
    std::string file = registryFileProblem();
    return file.empty() ? reason : file + "; " + reason;
}

}  // namespace

std::string maildirProblem(const std::string& path) {
    struct stat info{};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return "the Maildir " + path + " does not exist";
        return "the Maildir " + path + " cannot be reached: " + std::strerror(errno);
    }
    if (!S_ISDIR(info.st_mode)) return "the Maildir " + path + " is not a folder";
    if (::access(path.c_str(), R_OK | X_OK) != 0) {
        return "the Maildir " + path + " cannot be read: " + std::strerror(errno);
    }
    for (const char* sub : {"cur", "new", "tmp"}) {
        std::string folder = path + "/" + sub;
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return "the Maildir " + path + " has no " + sub + "/ folder (a Maildir needs cur/, new/ and tmp/)";
        }
    }
    return "";
}

void logAccountProblem(std::string_view profile, AccountError error) {
    std::string name(profile);
    if (name.empty()) name = readRegString(HKEY_CURRENT_USER, kMailKey, "DefaultAccount").value_or("");
    const std::string registry = registryFile();
    switch (error) {
        case AccountError::None:
            return;
        case AccountError::BadName:
            store::logProblem(kComponent, "account " + cp::cp1252ToUtf8(name),
                       "the account name is not usable (1-64 characters, no control characters, no \\)");
            return;
        case AccountError::NoSuchAccount:
            if (name.empty()) {
                store::logProblem(kComponent, registry,
                           withFileProblem(std::string("no default account: HKEY_CURRENT_USER\\") + kMailKey +
                                           " has no DefaultAccount value"));
            } else {
                store::logProblem(kComponent, "account " + cp::cp1252ToUtf8(name),
                           withFileProblem("no account " + cp::cp1252ToUtf8(name) + ": " + registry +
                                           " has no key [" + accountKey(name) + "] with a Maildir value"));
            }
            return;
        case AccountError::Incomplete: {
            std::string key = std::string(kAccountsKey) + "\\" + name;
            std::string maildir = readRegString(HKEY_CURRENT_USER, key, "Maildir").value_or("");
            std::string what = maildir.empty() ? "its Maildir value is empty"
                                               : "it names a folder that cannot be used (TrashFolder, SentFolder "
                                                 "or OutboxFolder: a plain folder name, not the inbox)";
            store::logProblem(kComponent, "account " + cp::cp1252ToUtf8(name),
                       "the account [" + accountKey(name) + "] in " + registry + " is incomplete: " + what);
            return;
        }
    }
}

void logPasswordRefused(const Account& account, bool given) {
    const std::string name = cp::cp1252ToUtf8(account.name);
    store::logProblem(kComponent, "account " + name,
               given ? "the password given for account " + name + " is not the one in " + registryFile()
                     : "account " + name + " needs a password and none was given");
}

void logMailboxProblem(const Account& account, store::Status status) {
    std::string reason = maildirProblem(account.maildir);
    if (reason.empty()) {
        reason = status == store::Status::OutOfMemory ? "there was not enough memory to open the Maildir " + account.maildir
                                                      : "the Maildir " + account.maildir + " could not be opened";
    }
    store::logProblem(kComponent, account.maildir, reason + " (account " + cp::cp1252ToUtf8(account.name) + ")");
}

}  // namespace vesk::mapi32
