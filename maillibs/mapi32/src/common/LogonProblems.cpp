#include "common/LogonProblems.h"

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
                                           " has no key [" + accountKey(name) + "] with a Maildir or Imap value"));
            }
            return;
        case AccountError::Incomplete: {
            std::string key = std::string(kAccountsKey) + "\\" + name;
            std::optional<std::string> maildir = readRegString(HKEY_CURRENT_USER, key, "Maildir");
            std::optional<std::string> imap = readRegString(HKEY_CURRENT_USER, key, "Imap");
            std::string what = maildir && imap ? "it has both a Maildir and an Imap value (keep the one that names its mailbox)"
                               : maildir ? (maildir->empty() ? "its Maildir value is empty" : "")
                                         : (imap->empty() ? "its Imap value is empty" : "");
            if (what.empty()) {
                what = "it names a folder that cannot be used (TrashFolder, SentFolder or OutboxFolder: a plain "
                       "folder name, not the inbox)";
            }
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
    const std::string& where = account.mailbox.name();
    const char* kind = account.mailbox.isImap() ? "the IMAP mailbox " : "the Maildir ";
    std::string reason = store::mailboxProblem(account.mailbox);
    if (reason.empty()) {
        // The IMAP store has already logged what the server said; this line names the account.
        reason = status == store::Status::OutOfMemory ? "there was not enough memory to open " + std::string(kind) + where
                                                      : kind + where + " could not be opened";
    }
    store::logProblem(kComponent, where, reason + " (account " + cp::cp1252ToUtf8(account.name) + ")");
}

}  // namespace vesk::mapi32
