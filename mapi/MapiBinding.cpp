#include "MapiBinding.h"

#include "framework/MailHost.h"
#include "win32/Module.h"

namespace {

template <typename Fn>
bool bindOne(HMODULE library, LPCSTR name, Fn& slot) {
    slot = VeskProcAs<Fn>(GetProcAddress(library, name));
    return slot != nullptr;
}

}  // namespace

bool MapiFunctions::Complete() const {
    return FreeProws && HrQueryAllRows && MAPIAdminProfiles && MAPIInitialize && MAPILogonEx && MAPIUninitialize &&
           MAPIFreeBuffer && FreePadrlist && MAPIAllocateMore && MAPIAllocateBuffer;
}

CMapiBinding::~CMapiBinding() {
    if (m_library != nullptr) FreeLibrary(m_library);
}

int CMapiBinding::Bind(const char* libraryName) {
    if (m_library != nullptr) ReleaseLibrary();
    m_functions = MapiFunctions();
    m_library = LoadLibraryA(libraryName);
    if (m_library == nullptr) return MAILHOST_LIBRARY_NOT_FOUND;
    MapiFunctions& f = m_functions;
    // The three row and list helpers are exported under decorated names only: by ordinal.
    bool complete = bindOne(m_library, MAKEINTRESOURCEA(140), f.FreeProws) &&
                    bindOne(m_library, MAKEINTRESOURCEA(75), f.HrQueryAllRows) &&
                    bindOne(m_library, "MAPIAdminProfiles", f.MAPIAdminProfiles) &&
                    bindOne(m_library, "MAPIInitialize", f.MAPIInitialize) &&
                    bindOne(m_library, "MAPILogonEx", f.MAPILogonEx) &&
                    bindOne(m_library, "MAPIUninitialize", f.MAPIUninitialize) &&
                    bindOne(m_library, "MAPIFreeBuffer", f.MAPIFreeBuffer) &&
                    bindOne(m_library, MAKEINTRESOURCEA(139), f.FreePadrlist) &&
                    bindOne(m_library, "MAPIAllocateMore", f.MAPIAllocateMore) &&
                    bindOne(m_library, "MAPIAllocateBuffer", f.MAPIAllocateBuffer);
    return complete ? MAILHOST_OK : MAILHOST_INIT_FAILED;
}

int CMapiBinding::ReleaseLibrary() {
    int result = MAILHOST_OK;
    if (m_library != nullptr) {
        if (!FreeLibrary(m_library)) result = MAILHOST_ERROR;
        m_library = nullptr;
    }
    return result;
}
