// A Simple MAPI session: one account with its open mail store, the inbox listing that
// MAPIFindNext walks, and the private folder that receives attachment files.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "common/Account.h"
#include "mapi32/mapi.h"
#include "store/Store.h"

namespace vesk::mapi32 {

class Session {
public:
    Session(Account account, std::unique_ptr<store::Store> store);
    /// Removes the private attachment folder when the caller has emptied it; files the caller
    /// still holds are left alone.
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    const Account& account() const { return m_account; }
    store::Store& store() { return *m_store; }

    /// Re-reads the inbox listing. False when the inbox cannot be listed.
    bool refreshInbox();
    /// The inbox listing of the last refresh, oldest first.
    const std::vector<store::MessageInfo>& inbox() const { return m_inbox; }
    /// Index of `id` in the listing, or -1.
    long positionOf(const std::string& id) const;
    /// Index of the message with key `key` in the listing, or -1.
    long positionOfKey(std::uint64_t key) const;

    /// The session's private folder (mode 0700), made on first use; empty when it cannot be
    /// made.
    const std::string& privateFolder();

private:
    Account m_account;
    std::unique_ptr<store::Store> m_store;
    std::vector<store::MessageInfo> m_inbox;
    // By key only: an identifier is found through its key and checked against the listing,
    // which a table of copied identifiers (a hundred bytes a message) only repeated.
    std::unordered_map<std::uint64_t, long> m_keyPositions;
    std::string m_privateFolder;
};

/// Opens a session on account `profile` (empty: the default) checking `password`. With
/// `signedInDefault`, neither a profile nor a password means the default account as the
/// person signed in to it, whose password is not asked (a logon without MAPI_LOGON_UI).
/// Returns SUCCESS_SUCCESS with the session in `out`, or MAPI_E_LOGIN_FAILURE with the reason
/// in the problem log.
ULONG openSession(const char* profile, const char* password, std::unique_ptr<Session>& out,
                  bool signedInDefault = false);

/// Moves the inbox's new mail to cur/ (what "download" means for a local mailbox).
void pickUpNewMail(Session& session);

/// Hands the account's outbox to its sending command, at most once per message (see
/// store/Queue.h). Outcomes go to the store's queue log, and those that leave a message
/// queued (no command, refused, timed out, held) to the problem log; a message the command
/// refuses stays queued for the next try.
void flushOutbox(Session& session);

/// The MAPI error number for a failed store call.
ULONG errorFromStore(store::Status status);

}  // namespace vesk::mapi32
