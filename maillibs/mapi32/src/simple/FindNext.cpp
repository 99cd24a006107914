// MAPIFindNext: walks the inbox, oldest delivery first (ties by identifier), from a seed.
#include <cstring>

#include "common/SessionTable.h"
#include "mapi32/mapi.h"
#include "simple/MessageIds.h"

using namespace vesk::mapi32;

namespace {

// Every message here is interpersonal mail; a type selects the classes that begin with it.
constexpr std::string_view kMessageClass = "IPM";

bool typeMatches(const char* type) {
    if (type == nullptr || type[0] == '\0') return true;
    std::size_t length = ::strnlen(type, kMessageClass.size() + 1);
    return length <= kMessageClass.size() && kMessageClass.substr(0, length) == std::string_view(type, length);
}

}  // namespace

extern "C" MAPI32_API ULONG WINAPI MAPIFindNext(LHANDLE lhSession, ULONG_PTR, LPSTR lpszMessageType,
                                                LPSTR lpszSeedMessageID, FLAGS flFlags, ULONG,
                                                LPSTR lpszMessageID) {
    return guarded([&]() -> ULONG {
        std::lock_guard<std::mutex> lock(apiLock());
        Session* session = findSession(lhSession);
        if (session == nullptr) return MAPI_E_INVALID_SESSION;
        if (lpszMessageID == nullptr) return MAPI_E_FAILURE;
        if (!typeMatches(lpszMessageType)) return MAPI_E_NO_MESSAGES;

        long start = 0;
        if (lpszSeedMessageID == nullptr || lpszSeedMessageID[0] == '\0') {
            // A walk starts: take a fresh listing and keep it, so that the walk goes on in the
            // same order even while messages are read, flagged or deleted along the way.
            if (!session->refreshInbox()) return MAPI_E_FAILURE;
        } else {
            // The seed is looked up in the walk's listing, so a seed deleted or moved during
            // the walk still says where the walk goes on.
            long position = listingPosition(*session, lpszSeedMessageID);
            if (position < 0) {
                // Perhaps a message delivered after the walk started: list again.
                vesk::store::MessageInfo seed;
                ULONG rc = findInboxMessage(*session, lpszSeedMessageID, seed);
                if (rc != SUCCESS_SUCCESS) return rc;
                if (!session->refreshInbox()) return MAPI_E_FAILURE;
                position = session->positionOf(seed.id);
                if (position < 0) return MAPI_E_INVALID_MESSAGE;
            }
            start = position + 1;
        }

        const auto& inbox = session->inbox();
        for (std::size_t i = static_cast<std::size_t>(start); i < inbox.size(); ++i) {
            // Skip what left the inbox since the listing; read the current flags.
            vesk::store::Result<vesk::store::MessageInfo> now = session->store().find(vesk::store::kInbox, inbox[i].id);
            if (!now) continue;
            if ((flFlags & MAPI_UNREAD_ONLY) != 0 && now->seen()) continue;
            std::string id = callerIdOf(*now, idCapacity(flFlags));
            std::memcpy(lpszMessageID, id.c_str(), id.size() + 1);
            return SUCCESS_SUCCESS;
        }
        return MAPI_E_NO_MESSAGES;
    });
}
