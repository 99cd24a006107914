// The objects of a session, made by their own files and found from entry identifiers.
#pragma once

#include <string>

#include "extended/EntryIds.h"
#include "extended/Mailbox.h"
#include "extended/Table.h"
#include "mapi32/mapix.h"

namespace vesk::mapi32::ex {

IMsgStore* makeMsgStore(MailboxPtr mailbox);
IMAPIFolder* makeFolder(MailboxPtr mailbox, FolderRole role);
/// A message of the store, read in full. MAPI_E_NOT_FOUND when it is gone.
HRESULT openMessage(MailboxPtr mailbox, FolderRole role, const std::string& id, bool writable, IMessage** out);
/// A new message that SaveChanges files in `role`'s folder and SubmitMessage sends.
IMessage* newMessage(MailboxPtr mailbox, FolderRole role);
IMAPIStatus* makeSpoolerStatus(MailboxPtr mailbox);
IAddrBook* makeAddrBook(MailboxPtr mailbox);
IMailUser* makeMailUser(MailboxPtr mailbox, const EntryRef& user);
IMAPITable* makeMsgStoresTable(const MailboxPtr& mailbox);
IMAPITable* makeStatusTable(const MailboxPtr& mailbox);

/// The folder behind a caller's folder pointer (CopyMessages' destination), when it is a
/// live folder made here; false for anything else, which is never followed.
bool liveFolder(const void* object, MailboxPtr& mailbox, FolderRole& role);

/// Which objects an OpenEntry may reach.
enum class EntryScope {
    Session,      ///< everything
    Store,        ///< folders and messages (a null identifier: the root folder)
    AddressBook,  ///< the identity and mail users
};

/// OpenEntry for every object that has one. The identifier must be one of `mailbox`'s
/// account, of a kind `scope` allows: MAPI_E_INVALID_ENTRYID otherwise. MAPI_E_NOT_FOUND
/// for a message that is gone, MAPI_E_INTERFACE_NOT_SUPPORTED when the object lacks
/// `lpInterface`.
HRESULT openEntry(const MailboxPtr& mailbox, EntryScope scope, ULONG cbEntryID, LPENTRYID lpEntryID,
                  LPCIID lpInterface, ULONG ulFlags, ULONG* lpulObjType, LPUNKNOWN* lppUnk);

/// CompareEntryIDs: `*result` is TRUE when both identifiers (of `mailbox`'s account) name the
/// same object. MAPI_E_INVALID_ENTRYID when either is not one of ours.
HRESULT compareEntries(const MailboxPtr& mailbox, ULONG cb1, LPENTRYID id1, ULONG cb2, LPENTRYID id2, ULONG* result);

/// Parses an identifier and checks that it belongs to `mailbox`'s account.
std::optional<EntryRef> ownEntry(const Mailbox& mailbox, ULONG cb, const void* bytes);

}  // namespace vesk::mapi32::ex
