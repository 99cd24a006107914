// MAPIResolveName: a name or address looked up in the account's address book.
#include <cstring>

#include "common/Buffers.h"
#include "common/SessionTable.h"
#include "mapi32/mapi.h"
#include "simple/Recipients.h"

using namespace vesk::mapi32;

namespace {

constexpr std::size_t kMaxQuery = 4096;

lpMapiRecipDesc recipientOf(const BookEntry& entry) {
    auto* r = static_cast<MapiRecipDesc*>(allocateBuffer(sizeof(MapiRecipDesc)));
    if (r == nullptr) return nullptr;
    std::string id = entryIdOf(entry.address);
    r->ulRecipClass = MAPI_TO;
    r->lpszName = copyText(entry.name.empty() ? entry.address : entry.name, r);
    r->lpszAddress = copyText(entry.address, r);
    void* idBytes = allocateMore(id.size(), r);
    if (r->lpszName == nullptr || r->lpszAddress == nullptr || idBytes == nullptr) {
        freeBuffer(r);
        return nullptr;
    }
    std::memcpy(idBytes, id.data(), id.size());
    r->ulEIDSize = static_cast<ULONG>(id.size());
    r->lpEntryID = idBytes;
    return r;
}

}  // namespace

extern "C" MAPI32_API ULONG WINAPI MAPIResolveName(LHANDLE lhSession, ULONG_PTR, LPSTR lpszName, FLAGS, ULONG,
                                                   lpMapiRecipDesc* lppRecip) {
    return guarded([&]() -> ULONG {
        std::lock_guard<std::mutex> lock(apiLock());
        if (lppRecip == nullptr) return MAPI_E_FAILURE;
        CallSession session;
        ULONG rc = session.open(lhSession, true);
        if (rc != SUCCESS_SUCCESS) return rc;
        std::string query;
        if (!callerText(lpszName, kMaxQuery, query)) return MAPI_E_UNKNOWN_RECIPIENT;
        // Without a dialog to choose from, several matches stay ambiguous, MAPI_DIALOG or not.
        BookEntry entry;
        Lookup found = lookUp(addressBookOf(*session), query, entry);
        if (found == Lookup::Unknown) return MAPI_E_UNKNOWN_RECIPIENT;
        if (found == Lookup::Ambiguous) return MAPI_E_AMBIGUOUS_RECIPIENT;
        lpMapiRecipDesc out = recipientOf(entry);
        if (out == nullptr) return MAPI_E_INSUFFICIENT_MEMORY;
        *lppRecip = out;
        return SUCCESS_SUCCESS;
    });
}
