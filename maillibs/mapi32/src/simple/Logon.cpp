// MAPILogon and MAPILogoff.
#include "common/SessionTable.h"
#include "mapi32/mapi.h"

using namespace vesk::mapi32;

extern "C" MAPI32_API ULONG WINAPI MAPILogon(ULONG_PTR, LPSTR lpszProfileName, LPSTR lpszPassword,
                                             FLAGS flFlags, ULONG, LPLHANDLE lplhSession) {
    return guarded([&]() -> ULONG {
        if (lplhSession == nullptr) return MAPI_E_FAILURE;
        std::lock_guard<std::mutex> lock(apiLock());
        std::unique_ptr<Session> session;
        // Every logon makes a session of its own, as MAPI_NEW_SESSION asks; no dialog is
        // ever shown, so the UI flags change nothing: a named account needs its password, and
        // no name and no password is the default account (see openSession).
        ULONG rc = openSession(lpszProfileName, lpszPassword, session, /*signedInDefault=*/true);
        if (rc != SUCCESS_SUCCESS) return rc;
        if ((flFlags & MAPI_FORCE_DOWNLOAD) != 0) pickUpNewMail(*session);
        // What earlier sends could not hand over gets another chance at every logon.
        flushOutbox(*session);
        LHANDLE handle = addSession(std::move(session));
        if (handle == 0) return MAPI_E_TOO_MANY_SESSIONS;
        *lplhSession = handle;
        return SUCCESS_SUCCESS;
    });
}

extern "C" MAPI32_API ULONG WINAPI MAPILogoff(LHANDLE lhSession, ULONG_PTR, FLAGS, ULONG) {
    return guarded([&]() -> ULONG {
        std::lock_guard<std::mutex> lock(apiLock());
        std::unique_ptr<Session> session = takeSession(lhSession);
        return session ? SUCCESS_SUCCESS : MAPI_E_INVALID_SESSION;
    });
}
