#include "extended/Mailbox.h"

#include "extended/Profiles.h"
#include "store/ProblemLog.h"

namespace vesk::mapi32::ex {

std::string Mailbox::folderOf(FolderRole role) const {
    switch (role) {
    case FolderRole::Inbox: return store::kInbox;
    case FolderRole::Outbox: return account.outboxFolder;
    case FolderRole::SentItems: return account.sentFolder;
    case FolderRole::DeletedItems: return account.trashFolder;
    case FolderRole::Drafts: return kDraftsFolder;
    case FolderRole::Root: break;
    }
    return std::string();
}

const char* Mailbox::displayNameOf(FolderRole role) {
    switch (role) {
    case FolderRole::Inbox: return "Inbox";
    case FolderRole::Outbox: return "Outbox";
    case FolderRole::SentItems: return "Sent Items";
    case FolderRole::DeletedItems: return "Deleted Items";
    case FolderRole::Drafts: return "Drafts";
    case FolderRole::Root: break;
    }
    return "Top of Information Store";
}

void Mailbox::flushQueue(const std::string& sentFolder) {
    if (account.sendCommand.empty()) return;
    store::SendOptions options;
    options.command = account.sendCommand;
    options.outbox = account.outboxFolder;
    options.sentFolder = sentFolder;
    // Outcomes go to the store's queue log; what the command refuses stays queued.
    store->flush(options);
}

HRESULT openMailbox(const std::string& profile, MailboxPtr& out) {
    std::optional<std::string> accountName = accountOfProfile(profile);
    if (!accountName) {
        store::logProblem("mapi32", "profile " + profile, "there is no such profile in the registry");
        return MAPI_E_LOGON_FAILED;
    }
    AccountError error = AccountError::None;
    std::optional<Account> account = loadAccount(*accountName, error);
    if (!account) {
        store::logProblem("mapi32", "profile " + profile,
                          "its account \"" + *accountName +
                              (error == AccountError::Incomplete ? "\" lacks a mailbox (Maildir or Imap), names both, or names an unusable folder"
                                                                 : "\" is not configured"));
        return MAPI_E_LOGON_FAILED;
    }
    // A mailbox that is not there is a configuration fault, never an empty mailbox.
    store::Result<std::unique_ptr<store::Store>> opened = store::openMailbox(account->mailbox);
    if (!opened) {
        if (opened.status() == store::Status::OutOfMemory) return MAPI_E_NOT_ENOUGH_MEMORY;
        store::logProblem("mapi32", account->mailbox.name(),
                          std::string("the mailbox of profile ") + profile + " cannot be opened: " +
                              store::describe(opened.status()));
        return MAPI_E_LOGON_FAILED;
    }
    auto mailbox = std::make_shared<Mailbox>();
    mailbox->profile = *findProfile(profile);
    mailbox->account = std::move(*account);
    mailbox->store = std::move(*opened);
    out = std::move(mailbox);
    return S_OK;
}

HRESULT resultOfStore(store::Status status) {
    switch (status) {
    case store::Status::Ok: return S_OK;
    case store::Status::OutOfMemory: return MAPI_E_NOT_ENOUGH_MEMORY;
    case store::Status::NotFound: return MAPI_E_NOT_FOUND;
    case store::Status::InvalidArgument: return MAPI_E_INVALID_PARAMETER;
    case store::Status::Exists: return MAPI_E_COLLISION;
    case store::Status::IoError: return MAPI_E_DISK_ERROR;
    case store::Status::ParseError: return MAPI_E_CORRUPT_DATA;
    }
    return MAPI_E_CALL_FAILED;
}

}  // namespace vesk::mapi32::ex
