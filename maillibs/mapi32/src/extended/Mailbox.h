// One logged-on profile's mailbox: the account, its open store and the lock every object of
// the session takes around store calls. Sessions, stores, folders, messages and tables share
// it, so whichever the caller releases last closes it.
#pragma once

#include <memory>
#include <mutex>
#include <string>

#include "common/Account.h"
#include "extended/Com.h"
#include "extended/EntryIds.h"
#include "mapi32/mapix.h"
#include "store/Store.h"

namespace vesk::mapi32::ex {

/// Maildir++ folder for unsubmitted messages saved in the Outbox (the outbox itself is the
/// sending queue: what lies there is sent).
inline constexpr const char* kDraftsFolder = "Drafts";

struct Mailbox {
    std::string profile;
    Account account;
    std::unique_ptr<store::Store> store;
    std::recursive_mutex lock;

    /// The Maildir++ folder of `role` ("" for the root, which holds no messages).
    std::string folderOf(FolderRole role) const;
    /// The name a caller sees ("Inbox", "Outbox", "Sent Items", "Deleted Items", ...).
    static const char* displayNameOf(FolderRole role);
    /// Hands the queue to the account's sending command; sent copies go to `sentFolder`
    /// ("" removes them). Nothing happens without a command: the queue waits.
    void flushQueue(const std::string& sentFolder);
};

using MailboxPtr = std::shared_ptr<Mailbox>;

/// Runs `body` with the mailbox locked and exceptions turned into results: what every call
/// on a session's objects does.
template <class F>
HRESULT withMailbox(Mailbox& mailbox, F&& body) {
    return guardedCall([&]() -> HRESULT {
        std::lock_guard<std::recursive_mutex> guard(mailbox.lock);
        return body();
    });
}

/// Opens the mailbox of the account that profile `profile` uses. MAPI_E_LOGON_FAILED (with
/// the reason in the problem log) when the profile, its account or the Maildir is missing.
HRESULT openMailbox(const std::string& profile, MailboxPtr& out);

/// The MAPI result for a failed store call.
HRESULT resultOfStore(store::Status status);

}  // namespace vesk::mapi32::ex
