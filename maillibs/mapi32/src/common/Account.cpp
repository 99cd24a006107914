#include "common/Account.h"

#include "platform/Codepage.h"
#include "platform/RegistryValues.h"
#include "platform/VeskHome.h"
#include "store/ProblemLog.h"
#include "store/Store.h"

namespace vesk::mapi32 {
namespace {

constexpr std::size_t kMaxAccountName = 64;

std::string readValue(const std::string& key, const char* name) {
    return readRegString(HKEY_CURRENT_USER, key, name).value_or(std::string());
}

// A folder value: the default when the value is missing or empty, nothing when it is unusable.
std::optional<std::string> folderValue(const std::string& key, const char* name, const std::string& fallback) {
    std::string value = readValue(key, name);
    if (value.empty()) return fallback;
    if (value == store::kInbox || !store::isValidFolderName(value)) return std::nullopt;
    return value;
}

// "SendTimeout": seconds as a REG_DWORD or as decimal text; the default when missing. A
// value out of range is logged and the default used: a wrong setting must not stop mail.
int sendTimeoutValue(const std::string& key, int fallback) {
    std::optional<long long> seconds;
    if (std::optional<DWORD> number = readRegDword(HKEY_CURRENT_USER, key, "SendTimeout")) {
        seconds = *number;
    } else if (std::optional<std::string> text = readRegString(HKEY_CURRENT_USER, key, "SendTimeout")) {
        if (text->empty()) return fallback;
        bool digits = text->size() <= 9 && text->find_first_not_of("0123456789") == std::string::npos;
        seconds = digits ? std::stoll(*text) : -1;
    } else {
        return fallback;
    }
    if (*seconds < 1 || *seconds > kMaxSendTimeout) {
        vesk::store::logProblem("mapi32", "HKEY_CURRENT_USER\\" + key + " SendTimeout",
                                "not a number of seconds from 1 to " + std::to_string(kMaxSendTimeout) +
                                    "; the sending command gets " + std::to_string(fallback) + " s");
        return fallback;
    }
    return static_cast<int>(*seconds);
}

}  // namespace

bool isValidAccountName(std::string_view name) {
    if (name.empty() || name.size() > kMaxAccountName) return false;
    for (char c : name) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F || c == '\\') return false;
    }
    return true;
}

std::string resolveConfiguredPath(std::string_view ansi) {
    std::string path = cp::cp1252ToUtf8(ansi);
    if (path.empty() || path.front() == '/') return path;
    return home() + "/" + path;
}

std::optional<Account> loadAccount(std::string_view profile, AccountError& error) {
    error = AccountError::None;
    std::string name(profile);
    if (name.empty()) name = readValue(kMailKey, "DefaultAccount");
    if (name.empty()) {
        error = AccountError::NoSuchAccount;
        return std::nullopt;
    }
    if (!isValidAccountName(name)) {
        error = AccountError::BadName;
        return std::nullopt;
    }
    std::string key = std::string(kAccountsKey) + "\\" + name;
    std::optional<std::string> maildir = readRegString(HKEY_CURRENT_USER, key, "Maildir");
    std::optional<std::string> imap = readRegString(HKEY_CURRENT_USER, key, "Imap");
    if (!maildir && !imap) {
        error = AccountError::NoSuchAccount;
        return std::nullopt;
    }
    Account account;
    account.name = name;
    // An account with both would leave it to chance which mailbox the handheld is matched
    // with: it is refused as incomplete until one of them is removed.
    bool both = maildir && imap;
    if (imap) {
        account.mailbox.imap.url = *imap;
        account.mailbox.imap.password = readValue(key, "ImapPassword");
        std::string certificates = readValue(key, "ImapCAFile");
        if (!certificates.empty()) account.mailbox.imap.caFile = resolveConfiguredPath(certificates);
        account.mailbox.imap.stateDir = store::imapStateFolder(*imap);
    } else {
        account.mailbox.maildir = resolveConfiguredPath(*maildir);
    }
    account.password = readValue(key, "Password");
    account.displayName = readValue(key, "DisplayName");
    account.address = readValue(key, "Address");
    std::string book = readValue(key, "AddressBook");
    if (!book.empty()) account.addressBook = resolveConfiguredPath(book);
    account.sendCommand = readValue(key, "SendCommand");
    account.sendTimeoutSeconds = sendTimeoutValue(key, account.sendTimeoutSeconds);
    std::optional<std::string> trash = folderValue(key, "TrashFolder", account.trashFolder);
    std::optional<std::string> sent = folderValue(key, "SentFolder", account.sentFolder);
    std::optional<std::string> outbox = folderValue(key, "OutboxFolder", account.outboxFolder);
    if (both || account.mailbox.name().empty() || !trash || !sent || !outbox) {
        error = AccountError::Incomplete;
        return std::nullopt;
    }
    account.trashFolder = *trash;
    account.sentFolder = *sent;
    account.outboxFolder = *outbox;
    return account;
}

}  // namespace vesk::mapi32
