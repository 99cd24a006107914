// The IMAPIProp part that every object with properties shares: GetProps and GetPropList
// over the object's current properties, under its mailbox's lock; read-only by default.
#pragma once

#include <mutex>

#include "extended/Com.h"
#include "extended/Mailbox.h"
#include "extended/Props.h"

namespace vesk::mapi32::ex {

template <class I>
class PropObject : public ComObject<I> {
public:
    HRESULT STDMETHODCALLTYPE GetLastError(HRESULT, ULONG, LPMAPIERROR* lppMAPIError) override {
        if (lppMAPIError != nullptr) *lppMAPIError = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray lpPropTagArray, ULONG, ULONG* lpcValues,
                                       LPSPropValue* lppPropArray) override {
        return locked([&]() -> HRESULT {
            HRESULT hr = usable();
            if (FAILED(hr)) return hr;
            return getProps(properties(), lpPropTagArray, lpcValues, lppPropArray);
        });
    }
    HRESULT STDMETHODCALLTYPE GetPropList(ULONG, LPSPropTagArray* lppPropTagArray) override {
        return locked([&]() -> HRESULT {
            HRESULT hr = usable();
            if (FAILED(hr)) return hr;
            return propList(properties(), lppPropTagArray);
        });
    }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG, LPCIID, ULONG, ULONG, LPUNKNOWN* lppUnk) override {
        if (lppUnk != nullptr) *lppUnk = nullptr;
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG, LPSPropValue, LPSPropProblemArray* lppProblems) override {
        if (lppProblems != nullptr) *lppProblems = nullptr;
        return MAPI_E_NO_ACCESS;
    }
    HRESULT STDMETHODCALLTYPE DeleteProps(LPSPropTagArray, LPSPropProblemArray* lppProblems) override {
        if (lppProblems != nullptr) *lppProblems = nullptr;
        return MAPI_E_NO_ACCESS;
    }
    HRESULT STDMETHODCALLTYPE CopyTo(ULONG, LPCIID, LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                                     LPSPropProblemArray*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE CopyProps(LPSPropTagArray, ULONG_PTR, LPMAPIPROGRESS, LPCIID, LPVOID, ULONG,
                                        LPSPropProblemArray*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE GetNamesFromIDs(LPSPropTagArray*, LPGUID, ULONG, ULONG*, LPMAPINAMEID**) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE GetIDsFromNames(ULONG, LPMAPINAMEID*, ULONG, LPSPropTagArray*) override {
        return MAPI_E_NO_SUPPORT;
    }

protected:
    PropObject(std::initializer_list<const IID*> iids, MailboxPtr mailbox)
        : ComObject<I>(iids), m_mailbox(std::move(mailbox)) {}

    /// The object's properties now; called with the mailbox locked.
    virtual PropList properties() = 0;
    /// S_OK while the object may be used; a failure (a submitted message) otherwise.
    virtual HRESULT usable() { return S_OK; }

    /// Runs `body` with the mailbox locked and exceptions turned into results.
    template <class F>
    HRESULT locked(F&& body) {
        return withMailbox(*m_mailbox, std::forward<F>(body));
    }

    MailboxPtr m_mailbox;
};

}  // namespace vesk::mapi32::ex
