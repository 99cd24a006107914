#include "MapiMailbox.h"

#include <cstring>

namespace {

template <typename T>
void release(T*& object) {
    if (object != nullptr) object->Release();
    object = nullptr;
}

}  // namespace

void TearDownMailbox(const MapiFunctions& mapi, OpenMailbox& mailbox) {
    if (mailbox.identity != nullptr) mapi.MAPIFreeBuffer(mailbox.identity);
    mailbox.identity = nullptr;
    mailbox.identityCount = 0;
    release(mailbox.spoolerStatus);
    for (LPMAPIFOLDER& folder : mailbox.folders) release(folder);
    release(mailbox.addressBook);
    release(mailbox.store);
    release(mailbox.session);
    if (mailbox.folderIds != nullptr) mapi.MAPIFreeBuffer(mailbox.folderIds);
    mailbox.folderIds = nullptr;
}

HRESULT CopyBinaryValue(const MapiFunctions& mapi, SBinary& target, const SBinary& source, LPVOID parent) {
    target.cb = source.cb;
    if (source.cb == 0) return S_OK;
    if (source.lpb == nullptr) {
        target.cb = 0;
        return MAPI_E_INVALID_PARAMETER;
    }
    LPVOID bytes = nullptr;
    HRESULT hr = parent != nullptr ? mapi.MAPIAllocateMore(source.cb, parent, &bytes)
                                   : mapi.MAPIAllocateBuffer(source.cb, &bytes);
    if (SUCCEEDED(hr) && bytes != nullptr) {
        std::memcpy(bytes, source.lpb, source.cb);
        target.lpb = static_cast<LPBYTE>(bytes);
    } else {
        // A count without bytes behind it must never be read.
        target.cb = 0;
        if (SUCCEEDED(hr)) hr = MAPI_E_NOT_ENOUGH_MEMORY;
    }
    return hr;
}
