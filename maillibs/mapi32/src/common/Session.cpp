#include "common/Session.h"

#include "common/LogonProblems.h"

#include <unistd.h>

#include <cstdlib>
#include <cstring>

namespace vesk::mapi32 {

Session::Session(Account account, std::unique_ptr<store::Store> store)
    : m_account(std::move(account)), m_store(std::move(store)) {}

Session::~Session() {
    if (!m_privateFolder.empty()) ::rmdir(m_privateFolder.c_str());
}

bool Session::refreshInbox() {
    store::Result<std::vector<store::MessageInfo>> listing = m_store->list(store::kInbox);
    if (!listing) return false;
    m_inbox = std::move(*listing);
    m_keyPositions.clear();
    m_keyPositions.reserve(m_inbox.size());
    for (size_t i = 0; i < m_inbox.size(); ++i) m_keyPositions.emplace(m_inbox[i].key, static_cast<long>(i));
    return true;
}

long Session::positionOf(const std::string& id) const {
    long position = positionOfKey(store::keyOfId(id));
    if (position >= 0 && m_inbox[static_cast<size_t>(position)].id == id) return position;
    // Two identifiers of one key: the table keeps the first, so the other is looked for.
    for (size_t i = 0; i < m_inbox.size(); ++i) {
        if (m_inbox[i].id == id) return static_cast<long>(i);
    }
    return -1;
}

long Session::positionOfKey(std::uint64_t key) const {
    auto it = m_keyPositions.find(key);
    return it == m_keyPositions.end() ? -1 : it->second;
}

const std::string& Session::privateFolder() {
    if (m_privateFolder.empty()) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && tmp[0] == '/' ? tmp : "/tmp") + "/vesk-mapi32-XXXXXX";
        // mkdtemp makes the folder with mode 0700: only this user sees the attachments.
        if (::mkdtemp(pattern.data()) != nullptr) m_privateFolder = pattern;
    }
    return m_privateFolder;
}

ULONG openSession(const char* profile, const char* password, std::unique_ptr<Session>& out, bool signedInDefault) {
    AccountError error = AccountError::None;
    const bool noProfile = profile == nullptr || profile[0] == '\0';
    const bool noPassword = password == nullptr || password[0] == '\0';
    std::optional<Account> account = loadAccount(noProfile ? "" : profile, error);
    if (!account) {
        logAccountProblem(noProfile ? "" : profile, error);
        return MAPI_E_LOGIN_FAILURE;
    }
    // No profile name and no password at a logon asks for the default client's default
    // account, which the person signed in to on this desktop: nothing is asked.
    const bool defaultLogon = signedInDefault && noProfile && noPassword;
    if (!defaultLogon && !account->password.empty() && (noPassword || account->password != password)) {
        logPasswordRefused(*account, !noPassword);
        return MAPI_E_LOGIN_FAILURE;
    }
    // A mailbox that is not there is a configuration fault, never an empty mailbox: making
    // one would hand out "no messages", which reads as "everything was deleted". One that
    // lacks a part of a Maildir is refused for the same reason.
    std::string unusable = store::mailboxProblem(account->mailbox);
    store::Result<std::unique_ptr<store::Store>> opened =
        unusable.empty() ? store::openMailbox(account->mailbox)
                         : store::Result<std::unique_ptr<store::Store>>(store::Status::NotFound);
    if (!opened) {
        logMailboxProblem(*account, opened.status());
        return opened.status() == store::Status::OutOfMemory ? MAPI_E_INSUFFICIENT_MEMORY : MAPI_E_LOGIN_FAILURE;
    }
    out = std::make_unique<Session>(std::move(*account), std::move(*opened));
    return SUCCESS_SUCCESS;
}

void pickUpNewMail(Session& session) {
    session.store().pickUpNew(store::kInbox);
}

void flushOutbox(Session& session) {
    const Account& account = session.account();
    // Flushed even without a command: each message then stays queued with that reason on
    // record (and in the problem log), instead of waiting in silence.
    store::SendOptions options;
    options.command = account.sendCommand;
    options.timeoutSeconds = account.sendTimeoutSeconds;
    options.outbox = account.outboxFolder;
    options.sentFolder = account.sentFolder;
    session.store().flush(options);
}

ULONG errorFromStore(store::Status status) {
    switch (status) {
    case store::Status::Ok: return SUCCESS_SUCCESS;
    case store::Status::OutOfMemory: return MAPI_E_INSUFFICIENT_MEMORY;
    case store::Status::InvalidArgument:
    case store::Status::NotFound: return MAPI_E_INVALID_MESSAGE;
    default: return MAPI_E_FAILURE;
    }
}

}  // namespace vesk::mapi32
