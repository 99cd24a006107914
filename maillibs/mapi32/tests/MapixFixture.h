// The bench of the Extended MAPI conformance tests: the Simple MAPI bench's desktop (accounts
// "anna" and "bob", anna's address book) with a profile for each account ("Anna", the
// default, and "Bob"), the subsystem marked installed, and the Extended MAPI calls found as
// a client finds them: by name, and the three table helpers by ordinal. Through mapix.h only.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "MapiFixture.h"
#include "mapi32/mapix.h"

namespace mapitest {

/// Releases an interface pointer when it goes out of scope.
template <class T>
class Ref {
public:
    Ref() = default;
    explicit Ref(T* p) : m_p(p) {}
    ~Ref() { reset(); }
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    Ref(Ref&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    void reset() {
        if (m_p != nullptr) m_p->Release();
        m_p = nullptr;
    }
    T* get() const { return m_p; }
    T* operator->() const { return m_p; }
    T** out() {
        reset();
        return &m_p;
    }
    /// For out parameters typed LPUNKNOWN*.
    LPUNKNOWN* unknown() { return reinterpret_cast<LPUNKNOWN*>(out()); }
    explicit operator bool() const { return m_p != nullptr; }

private:
    T* m_p = nullptr;
};

/// An entry identifier's bytes.
using Bytes = std::string;

class MapixTest : public MailboxTest {
protected:
    /// Releases the pin on the library once the fixture's objects are gone.
    ~MapixTest() override;
    void SetUp() override;
    void TearDown() override;

    /// Adds profile `name` using `account` to the registry (the list and its key).
    void addProfile(const std::string& name, const std::string& account);

    /// Logs on to `profile` with `flags`, expecting success.
    IMAPISession* logOnEx(const char* profile, ULONG flags = MAPI_NEW_SESSION | MAPI_EXPLICIT_PROFILE);
    /// The default store of `session`, opened through the stores table.
    IMsgStore* openDefaultStore(IMAPISession* session);
    /// The inbox (the receive folder) of `store`.
    IMAPIFolder* openInbox(IMsgStore* store);
    /// The folder whose identifier `store` gives as property `tag`.
    IMAPIFolder* openFolderOf(IMsgStore* store, ULONG tag);

    /// A binary property of `object` (empty when missing).
    Bytes binaryOf(IMAPIProp* object, ULONG tag);
    /// A string property of `object` (empty when missing).
    std::string textOf(IMAPIProp* object, ULONG tag);
    /// Every row of `table` for `columns`, through HrQueryAllRows.
    std::vector<std::vector<SPropValue>> allRows(IMAPITable* table, std::vector<ULONG> columns);
    /// The entry identifiers of the messages of `folder`, table order.
    std::vector<Bytes> messageIds(IMAPIFolder* folder);

    LPMAPIINITIALIZE MAPIInitialize = nullptr;
    LPMAPIUNINITIALIZE MAPIUninitialize = nullptr;
    LPMAPILOGONEX MAPILogonEx = nullptr;
    LPMAPIADMINPROFILES MAPIAdminProfiles = nullptr;
    LPMAPIALLOCATEBUFFER MAPIAllocateBuffer = nullptr;
    LPMAPIALLOCATEMORE MAPIAllocateMore = nullptr;
    LPHRQUERYALLROWS HrQueryAllRows = nullptr;
    LPFREEPROWS FreeProws = nullptr;
    LPFREEPADRLIST FreePadrlist = nullptr;
    bool initialised = false;

private:
    // A second load of the library: the tests' objects are released when the fixture is
    // destroyed, after TearDown has freed the first load.
    HMODULE m_pin = nullptr;
    std::deque<std::string> m_keep;  // the texts and bytes of rows handed out by allRows
};

/// The row value for `tag` (matched by identifier), or null.
const SPropValue* valueOf(const std::vector<SPropValue>& row, ULONG tag);

/// A one-element tag array, and larger ones.
struct Tags {
    explicit Tags(std::vector<ULONG> tags);
    LPSPropTagArray get() { return reinterpret_cast<LPSPropTagArray>(storage.data()); }
    std::vector<ULONG> storage;
};

}  // namespace mapitest
