#include "SmapiBinding.h"

#include "framework/MailHost.h"
#include "win32/Module.h"

namespace {

// Looks `name` up into `slot`; false when the library lacks it.
template <typename Fn>
bool bindOne(HMODULE library, const char* name, Fn& slot) {
    slot = VeskProcAs<Fn>(GetProcAddress(library, name));
    return slot != nullptr;
}

}  // namespace

CSmapiBinding::~CSmapiBinding() {
    if (m_library != nullptr) FreeLibrary(m_library);
}

int CSmapiBinding::Bind(const char* libraryName) {
    // Binding again releases what an earlier binding holds first.
    if (m_library != nullptr || m_bound) Unbind();
    m_library = LoadLibraryA(libraryName);
    if (m_library == nullptr) return MAILHOST_LIBRARY_NOT_FOUND;
    SmapiFunctions& f = m_functions;
    bool complete = bindOne(m_library, "MAPILogon", f.MAPILogon) && bindOne(m_library, "MAPILogoff", f.MAPILogoff) &&
                    bindOne(m_library, "MAPISendMail", f.MAPISendMail) &&
                    bindOne(m_library, "MAPIFindNext", f.MAPIFindNext) &&
                    bindOne(m_library, "MAPIReadMail", f.MAPIReadMail) &&
                    bindOne(m_library, "MAPISaveMail", f.MAPISaveMail) &&
                    bindOne(m_library, "MAPIDeleteMail", f.MAPIDeleteMail) &&
                    bindOne(m_library, "MAPIFreeBuffer", f.MAPIFreeBuffer) &&
                    bindOne(m_library, "MAPIResolveName", f.MAPIResolveName);
    if (!complete) return MAILHOST_ENTRY_POINT_MISSING;
    m_bound = true;
    return MAILHOST_OK;
}

int CSmapiBinding::Unbind() {
    int result = MAILHOST_OK;
    if (m_library != nullptr) {
        if (!FreeLibrary(m_library)) result = MAILHOST_ERROR;
        m_library = nullptr;
    }
    m_functions = SmapiFunctions();
    m_bound = false;
    return result;
}

void CSmapiBinding::UseFunctions(const SmapiFunctions& functions) {
    if (m_library != nullptr) Unbind();
    m_functions = functions;
    const SmapiFunctions& f = m_functions;
    m_bound = f.MAPILogon && f.MAPILogoff && f.MAPISendMail && f.MAPIFindNext && f.MAPIReadMail && f.MAPISaveMail &&
              f.MAPIDeleteMail && f.MAPIFreeBuffer && f.MAPIResolveName;
}
