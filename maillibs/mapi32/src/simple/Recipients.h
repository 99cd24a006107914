// Recipients a caller hands in (MAPISendMail, MAPISaveMail), resolved into mailboxes, and
// look-ups in the account's address book (MAPIResolveName).
#pragma once

#include "common/AddressBook.h"
#include "common/Session.h"
#include "mapi32/mapi.h"
#include "store/Model.h"

namespace vesk::mapi32 {

/// The address book of the session's account with the account's own identity added.
std::vector<BookEntry> addressBookOf(const Session& session);

/// How strictly a recipient must resolve.
enum class Resolve {
    ForDelivery,  ///< every recipient needs an address (sending)
    ForFiling,    ///< a name without an address is kept as it is (saving)
};

/// Turns `recip` into a mailbox. An entry identifier of the address book wins; then an
/// address (optionally "SMTP:"); then the name, looked up in `book`, or, when the book does
/// not know it, taken as the address if it is one.
/// SUCCESS_SUCCESS, MAPI_E_INVALID_RECIPS (an identifier or address that cannot be used),
/// MAPI_E_UNKNOWN_RECIPIENT or MAPI_E_AMBIGUOUS_RECIPIENT (ForDelivery only).
ULONG resolveRecipient(const MapiRecipDesc& recip, const std::vector<BookEntry>& book, Resolve mode,
                       store::Address& out);

/// Sorts `count` recipients at `recips` into `draft`'s To, Cc and Bcc, in order.
/// MAPI_E_BAD_RECIPTYPE for a class other than MAPI_TO, MAPI_CC or MAPI_BCC,
/// MAPI_E_TOO_MANY_RECIPIENTS for more than 10000; otherwise as resolveRecipient.
ULONG addRecipients(const MapiRecipDesc* recips, ULONG count, const std::vector<BookEntry>& book, Resolve mode,
                    store::Draft& draft);

/// The caller's text `text` (may be null) read up to its NUL, at most `limit` bytes.
/// False when it is longer.
bool callerText(const char* text, std::size_t limit, std::string& out);

}  // namespace vesk::mapi32
