// What every object of the Extended MAPI half shares: reference counting, QueryInterface over
// the chain of interfaces an object implements, and calls that never let an exception cross
// into the caller.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <initializer_list>
#include <mutex>
#include <new>

#include "mapi32/mapix.h"

namespace vesk::mapi32::ex {

/// Runs `body` and turns exceptions into MAPI results: none may reach a caller.
template <class F>
HRESULT guardedCall(F&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return MAPI_E_NOT_ENOUGH_MEMORY;
    } catch (...) {
        return MAPI_E_CALL_FAILED;
    }
}

/// An object handed to callers as interface `I`, with one reference for its creator. The
/// object is destroyed by the Release that drops the last reference. `iids` are the
/// interfaces (besides IUnknown) QueryInterface answers for: `I` and its bases.
template <class I>
class ComObject : public I {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) override {
        if (ppvObject == nullptr) return MAPI_E_INVALID_PARAMETER;
        *ppvObject = nullptr;
        if (!answersFor(riid)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
        this->AddRef();
        *ppvObject = static_cast<I*>(this);
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

    /// True for IUnknown and every interface of the object's chain.
    bool answersFor(const IID& iid) const {
        if (IsEqualIID(&iid, &IID_IUnknown)) return true;
        for (const IID* known : m_iids) {
            if (known != nullptr && IsEqualIID(&iid, known)) return true;
        }
        return false;
    }
    /// True when `lpInterface` (null: the object's own interface) is one the object has.
    bool offers(LPCIID lpInterface) const { return lpInterface == nullptr || answersFor(*lpInterface); }

protected:
    explicit ComObject(std::initializer_list<const IID*> iids) {
        std::size_t i = 0;
        for (const IID* iid : iids) {
            if (i < m_iids.size()) m_iids[i++] = iid;
        }
    }
    // Virtual here, after the interface's own slots: Release deletes through this class.
    virtual ~ComObject() = default;

private:
    std::atomic<ULONG> m_refs{1};
    std::array<const IID*, 4> m_iids{};
};

/// The interface chains the objects answer for.
#define MAPIX_IIDS_PROP &IID_IMAPIProp
#define MAPIX_IIDS_FOLDER &IID_IMAPIFolder, &IID_IMAPIContainer, &IID_IMAPIProp
#define MAPIX_IIDS_STORE &IID_IMsgStore, &IID_IMAPIProp
#define MAPIX_IIDS_MESSAGE &IID_IMessage, &IID_IMAPIProp
#define MAPIX_IIDS_STATUS &IID_IMAPIStatus, &IID_IMAPIProp
#define MAPIX_IIDS_ADDRBOOK &IID_IAddrBook, &IID_IMAPIProp
#define MAPIX_IIDS_MAILUSER &IID_IMailUser, &IID_IMAPIProp

}  // namespace vesk::mapi32::ex
