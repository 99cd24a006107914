#include "simple/Recipients.h"

#include <cstring>

namespace vesk::mapi32 {
namespace {

// Names and addresses longer than this are refused rather than read without end.
constexpr std::size_t kMaxFieldText = 4096;
// More recipients than anyone writes to: a count this large is a caller's mistake.
constexpr ULONG kMaxRecipients = 10000;

// A mailbox typed as text; false when it holds no usable address.
bool mailboxFromText(const std::string& text, store::Address& out) {
    BookEntry e = parseMailbox(text);
    std::string plain;
    if (!stripAddressType(e.address, plain) || !isPlainAddress(plain)) return false;
    out.name = e.name;
    out.address = plain;
    return true;
}

}  // namespace

bool callerText(const char* text, std::size_t limit, std::string& out) {
    out.clear();
    if (text == nullptr) return true;
    std::size_t length = ::strnlen(text, limit + 1);
    if (length > limit) return false;
    out.assign(text, length);
    return true;
}

std::vector<BookEntry> addressBookOf(const Session& session) {
    const Account& account = session.account();
    return bookWithOwnEntry(account.addressBook, account.displayName, account.address);
}

ULONG resolveRecipient(const MapiRecipDesc& recip, const std::vector<BookEntry>& book, Resolve mode,
                       store::Address& out) {
    std::string name, address;
    if (!callerText(recip.lpszName, kMaxFieldText, name) || !callerText(recip.lpszAddress, kMaxFieldText, address)) {
        return MAPI_E_INVALID_RECIPS;
    }
    out = store::Address{};
    if (recip.ulEIDSize != 0 && recip.lpEntryID != nullptr) {
        if (!addressOfEntryId(recip.lpEntryID, recip.ulEIDSize, out.address)) return MAPI_E_INVALID_RECIPS;
        out.name = name;
        return SUCCESS_SUCCESS;
    }
    if (!address.empty()) {
        std::string plain;
        if (!stripAddressType(address, plain) || !isPlainAddress(plain)) return MAPI_E_INVALID_RECIPS;
        out.name = name;
        out.address = plain;
        return SUCCESS_SUCCESS;
    }
    if (name.empty()) return mode == Resolve::ForDelivery ? MAPI_E_INVALID_RECIPS : SUCCESS_SUCCESS;
    BookEntry entry;
    Lookup found = lookUp(book, name, entry);
    if (found == Lookup::Unique) {
        out.name = entry.name;
        out.address = entry.address;
        return SUCCESS_SUCCESS;
    }
    // A name the book does not know may itself be an address, as people type them.
    if (found == Lookup::Unknown && mailboxFromText(name, out)) return SUCCESS_SUCCESS;
    if (mode == Resolve::ForFiling) {
        out.name = name;
        return SUCCESS_SUCCESS;
    }
    return found == Lookup::Ambiguous ? MAPI_E_AMBIGUOUS_RECIPIENT : MAPI_E_UNKNOWN_RECIPIENT;
}

ULONG addRecipients(const MapiRecipDesc* recips, ULONG count, const std::vector<BookEntry>& book, Resolve mode,
                    store::Draft& draft) {
    if (count > kMaxRecipients) return MAPI_E_TOO_MANY_RECIPIENTS;
    if (count != 0 && recips == nullptr) return MAPI_E_INVALID_RECIPS;
    for (ULONG i = 0; i < count; ++i) {
        std::vector<store::Address>* target = recips[i].ulRecipClass == MAPI_TO   ? &draft.to
                                              : recips[i].ulRecipClass == MAPI_CC ? &draft.cc
                                              : recips[i].ulRecipClass == MAPI_BCC ? &draft.bcc
                                                                                   : nullptr;
        if (target == nullptr) return MAPI_E_BAD_RECIPTYPE;
        store::Address a;
        ULONG rc = resolveRecipient(recips[i], book, mode, a);
        if (rc != SUCCESS_SUCCESS) return rc;
        if (!a.name.empty() || !a.address.empty()) target->push_back(std::move(a));
    }
    return SUCCESS_SUCCESS;
}

}  // namespace vesk::mapi32
