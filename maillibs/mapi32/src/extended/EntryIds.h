// Entry identifiers: the opaque bytes callers keep to find a store, folder, message, status
// object or address-book entry again. Layout (all of it checked when read back):
//   4 flag bytes (0), the 16-byte identifier of this provider, a version byte (1), a kind
//   byte, a folder-role byte, then length-prefixed texts: the account name and, by kind, the
//   message identifier or a name and an address.
// Anything that does not read back exactly is refused (MAPI_E_INVALID_ENTRYID).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "mapi32/mapix.h"

namespace vesk::mapi32::ex {

enum class EntryKind : unsigned char {
    Store = 1,
    Folder = 2,
    Message = 3,
    Status = 4,
    Identity = 5,  ///< the session's own user
    MailUser = 6,  ///< a person of the address book, or a one-off address
};

/// The MAPI folders and the store's root; each maps onto a Maildir++ folder of the account.
enum class FolderRole : unsigned char {
    Root = 1,
    Inbox = 2,
    Outbox = 3,
    SentItems = 4,
    DeletedItems = 5,
    Drafts = 6,
};

/// What an entry identifier names.
struct EntryRef {
    EntryKind kind = EntryKind::Store;
    FolderRole role = FolderRole::Root;  ///< folders and messages
    std::string account;                 ///< every kind
    std::string messageId;               ///< messages: the store's identifier
    std::string name;                    ///< mail users
    std::string address;                 ///< mail users
};

std::string storeEntryId(std::string_view account);
std::string folderEntryId(std::string_view account, FolderRole role);
std::string messageEntryId(std::string_view account, FolderRole role, std::string_view messageId);
std::string statusEntryId(std::string_view account);
std::string identityEntryId(std::string_view account);
std::string mailUserEntryId(std::string_view account, std::string_view name, std::string_view address);

/// Reads `size` bytes at `bytes` (the caller's; may be null). Nothing for bytes that are not
/// an identifier made here, or that name something impossible (a bad folder role, a message
/// identifier the store would refuse, an address that is none).
std::optional<EntryRef> parseEntryId(const void* bytes, ULONG size);

}  // namespace vesk::mapi32::ex
