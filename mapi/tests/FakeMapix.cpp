#include "FakeMapix.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>

#include "FakeInterfaceBases.h"

namespace fakemapix {
namespace {

struct State {
    Script script;
    std::vector<std::string> calls;
    std::vector<std::string> details;
    std::vector<std::string> misuses;
    std::vector<Made> made;
    std::vector<std::string> deleted;
    std::map<std::string, int> seen;
    std::multiset<std::string> live;
    std::map<void*, std::vector<void*>> roots;
    int allocations = 0;
};

State& state() {
    static State s;
    return s;
}

// Records `name`; true when the script makes this occurrence fail.
bool call(const std::string& name) {
    State& s = state();
    s.calls.push_back(name);
    int occurrence = s.seen[name]++;
    return s.script.failAt == name && s.script.failOccurrence == occurrence;
}

// ---- allocation chains -------------------------------------------------------------------

bool allocationFails() { return state().allocations++ == state().script.failAllocation; }

SCODE WINAPI allocateBuffer(ULONG size, LPVOID* out) {
    *out = nullptr;
    if (allocationFails()) return MAPI_E_NOT_ENOUGH_MEMORY;
    void* block = std::calloc(1, size == 0 ? 1 : size);
    state().roots[block] = {};
    *out = block;
    return S_OK;
}

SCODE WINAPI allocateMore(ULONG size, LPVOID parent, LPVOID* out) {
    *out = nullptr;
    auto root = state().roots.find(parent);
    if (root == state().roots.end()) {
        state().misuses.push_back("MAPIAllocateMore on a block that is not a root");
        return MAPI_E_INVALID_PARAMETER;
    }
    if (allocationFails()) return MAPI_E_NOT_ENOUGH_MEMORY;
    void* block = std::calloc(1, size == 0 ? 1 : size);
    root->second.push_back(block);
    *out = block;
    return S_OK;
}

ULONG WINAPI freeBuffer(LPVOID block) {
    if (block == nullptr) return S_OK;
    auto root = state().roots.find(block);
    if (root == state().roots.end()) {
        state().misuses.push_back("MAPIFreeBuffer of a block that is not a root");
        return S_OK;
    }
    for (void* more : root->second) std::free(more);
    std::free(block);
    state().roots.erase(root);
    return S_OK;
}

char* keepText(const std::string& text, void* parent) {
    LPVOID bytes = nullptr;
    allocateMore(static_cast<ULONG>(text.size() + 1), parent, &bytes);
    if (bytes != nullptr) std::memcpy(bytes, text.c_str(), text.size() + 1);
    return static_cast<char*>(bytes);
}

// `prop` as a value on block `parent`, asked for as `tag` (a missing one is PT_ERROR). False
// when a text or bytes could not be allocated.
bool fillValue(SPropValue& value, const Prop* prop, ULONG tag, void* parent) {
    if (prop == nullptr) {
        value.ulPropTag = CHANGE_PROP_TYPE(tag, PT_ERROR);
        value.Value.err = MAPI_E_NOT_FOUND;
        return true;
    }
    value.ulPropTag = prop->tag;
    switch (PROP_TYPE(prop->tag)) {
        case PT_STRING8:
            value.Value.lpszA = keepText(prop->data, parent);
            return value.Value.lpszA != nullptr;
        case PT_BINARY:
            value.Value.bin.cb = static_cast<ULONG>(prop->data.size());
            value.Value.bin.lpb = reinterpret_cast<LPBYTE>(keepText(prop->data, parent));
            return value.Value.bin.lpb != nullptr;
        case PT_SYSTIME: value.Value.ft = prop->time; break;
        case PT_BOOLEAN: value.Value.b = static_cast<MAPI_BOOLEAN>(prop->number); break;
        case PT_ERROR: value.Value.err = prop->number; break;
        default: value.Value.l = prop->number; break;
    }
    return true;
}

// The values of `tags` (all of `props` when null) as one root block.
LPSPropValue valuesOf(const Props& props, const SPropTagArray* tags, ULONG* count) {
    std::vector<ULONG> wanted;
    if (tags != nullptr) {
        wanted.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
    } else {
        for (const Prop& p : props) wanted.push_back(p.tag);
    }
    LPVOID block = nullptr;
    allocateBuffer(static_cast<ULONG>(sizeof(SPropValue) * (wanted.empty() ? 1 : wanted.size())), &block);
    if (block == nullptr) return nullptr;
    auto* values = static_cast<LPSPropValue>(block);
    for (size_t i = 0; i < wanted.size(); ++i) {
        const Prop* p = nullptr;
        for (const Prop& candidate : props) {
            if (PROP_ID(candidate.tag) == PROP_ID(wanted[i])) p = &candidate;
        }
        if (!fillValue(values[i], p, wanted[i], block)) {
            freeBuffer(block);
            return nullptr;
        }
    }
    *count = static_cast<ULONG>(wanted.size());
    return values;
}

Props propsOf(const SPropValue* values, ULONG count) {
    Props out;
    for (ULONG i = 0; i < count; ++i) {
        Prop p;
        p.tag = values[i].ulPropTag;
        switch (PROP_TYPE(p.tag)) {
            case PT_STRING8: p.data = values[i].Value.lpszA != nullptr ? values[i].Value.lpszA : "<null>"; break;
            case PT_BINARY:
                p.data.assign(reinterpret_cast<const char*>(values[i].Value.bin.lpb), values[i].Value.bin.cb);
                break;
            case PT_BOOLEAN: p.number = values[i].Value.b; break;
            default: p.number = values[i].Value.l; break;
        }
        out.push_back(p);
    }
    return out;
}

LPSRowSet rowSetOf(const std::vector<Props>& rows, const SPropTagArray* tags) {
    LPVOID block = nullptr;
    allocateBuffer(static_cast<ULONG>(CbNewSRowSet(rows.empty() ? 1 : rows.size())), &block);
    if (block == nullptr) return nullptr;
    auto* set = static_cast<LPSRowSet>(block);
    set->cRows = static_cast<ULONG>(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        set->aRow[i].lpProps = valuesOf(rows[i], tags, &set->aRow[i].cValues);
        if (set->aRow[i].lpProps == nullptr) {
            for (size_t j = 0; j < i; ++j) freeBuffer(set->aRow[j].lpProps);
            freeBuffer(set);
            return nullptr;
        }
    }
    return set;
}

void WINAPI freeProws(LPSRowSet rows) {
    call("FreeProws");
    if (rows == nullptr) return;
    for (ULONG i = 0; i < rows->cRows; ++i) freeBuffer(rows->aRow[i].lpProps);
    freeBuffer(rows);
}

void WINAPI freePadrlist(LPADRLIST list) {
    call("FreePadrlist");
    if (list == nullptr) return;
    for (ULONG i = 0; i < list->cEntries; ++i) freeBuffer(list->aEntries[i].rgPropVals);
    freeBuffer(list);
}

// ---- objects -----------------------------------------------------------------------------

template <class Object, class... Args>
Object* make(const std::string& name, Args&&... args) {
    state().live.insert(name);
    return new Object(name, std::forward<Args>(args)...);
}

std::string idOf(ULONG size, LPENTRYID id) {
    return id == nullptr ? std::string() : std::string(reinterpret_cast<const char*>(id), size);
}

LPENTRYID idBlock(const std::string& id, ULONG* size) {
    LPVOID block = nullptr;
    allocateBuffer(static_cast<ULONG>(id.size()), &block);
    if (block != nullptr) std::memcpy(block, id.data(), id.size());
    *size = static_cast<ULONG>(id.size());
    return static_cast<LPENTRYID>(block);
}

class Table : public IMAPITableBase {
public:
    Table(std::string name, std::vector<Props> rows) : IMAPITableBase(std::move(name)), m_rows(std::move(rows)) {}
    HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray tags, ULONG) override {
        if (call(Name() + ".SetColumns")) return script().failResult;
        m_columns.assign(tags->aulPropTag, tags->aulPropTag + tags->cValues);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryRows(LONG count, ULONG, LPSRowSet* rows) override {
        *rows = nullptr;
        if (call(Name() + ".QueryRows")) return script().failResult;
        details().push_back("QueryRows=" + std::to_string(count));
        std::vector<Props> batch;
        while (m_next < m_rows.size() && static_cast<LONG>(batch.size()) < count) batch.push_back(m_rows[m_next++]);
        std::vector<ULONG> columns = m_columns;
        SizedSPropTagArray(32, tags);
        tags.cValues = static_cast<ULONG>(std::min<size_t>(columns.size(), 32));
        std::copy_n(columns.begin(), tags.cValues, tags.aulPropTag);
        *rows = rowSetOf(batch, columns.empty() ? nullptr : reinterpret_cast<LPSPropTagArray>(&tags));
        return *rows != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
    }
    const std::vector<Props>& Rows() const { return m_rows; }

private:
    std::vector<Props> m_rows;
    std::vector<ULONG> m_columns;
    size_t m_next = 0;
};

bool matches(const Props& row, const SRestriction* restriction) {
    if (restriction == nullptr || restriction->rt != RES_PROPERTY) return true;
    const SPropertyRestriction& r = restriction->res.resProperty;
    const Prop* p = find(row, r.ulPropTag);
    if (p == nullptr) return false;
    LONG wanted = PROP_TYPE(r.ulPropTag) == PT_BOOLEAN ? r.lpProp->Value.b : r.lpProp->Value.l;
    return (p->number != 0) == (wanted != 0) && (PROP_TYPE(r.ulPropTag) == PT_BOOLEAN || p->number == wanted);
}

HRESULT WINAPI queryAllRows(LPMAPITABLE table, LPSPropTagArray tags, LPSRestriction restriction, LPSSortOrderSet,
                            LONG, LPSRowSet* rows) {
    *rows = nullptr;
    auto* fake = static_cast<Table*>(table);
    if (call("HrQueryAllRows") || call(fake->Name() + ".HrQueryAllRows")) return script().failResult;
    std::vector<Props> kept;
    for (const Props& row : fake->Rows()) {
        if (matches(row, restriction)) kept.push_back(row);
    }
    *rows = rowSetOf(kept, tags);
    return *rows != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
}

class Stream : public IStreamBase {
public:
    Stream(std::string name, std::string body) : IStreamBase(std::move(name)), m_body(std::move(body)) {}
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD) override {
        if (call("Stream.Stat")) return script().failResult;
        std::memset(stat, 0, sizeof *stat);
        stat->cbSize.QuadPart = m_body.size();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Read(void* buffer, ULONG size, ULONG* got) override {
        if (call("Stream.Read")) return script().failResult;
        details().push_back("Stream.Read=" + std::to_string(size));
        ULONG n = static_cast<ULONG>(std::min<size_t>(size, m_body.size()));
        std::memcpy(buffer, m_body.data(), n);
        if (got != nullptr) *got = n;
        return S_OK;
    }

private:
    std::string m_body;
};

class Message : public IMessageBase {
public:
    Message(std::string name, const StoredMessage* stored, int madeIndex)
        : IMessageBase(std::move(name)), m_stored(stored), m_made(madeIndex) {}
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray tags, ULONG, ULONG* count, LPSPropValue* values) override {
        *values = nullptr;
        if (call("Message.GetProps")) return script().failResult;
        Props props;
        if (m_stored != nullptr) {
            props = m_stored->props;
            if (m_stored->hasBody) {
                if (m_stored->body.size() > script().bodyLimit) {
                    props.push_back(Prop{CHANGE_PROP_TYPE(PR_BODY, PT_ERROR), MAPI_E_NOT_ENOUGH_MEMORY, {}, {}});
                } else {
                    props.push_back(text(PR_BODY, m_stored->body));
                }
            }
        }
        *values = valuesOf(props, tags, count);
        return *values != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
    }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG tag, LPCIID iid, ULONG, ULONG, LPUNKNOWN* out) override {
        *out = nullptr;
        if (call("Message.OpenProperty")) return script().failResult;
        if (tag != PR_BODY || iid == nullptr || !IsEqualIID(iid, &IID_IStream) || m_stored == nullptr) {
            return MAPI_E_NO_SUPPORT;
        }
        *out = make<Stream>("Stream", m_stored->body);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG count, LPSPropValue values, LPSPropProblemArray*) override {
        if (call("Message.SetProps")) return script().failResult;
        if (m_made >= 0) {
            Props props = propsOf(values, count);
            Props& into = made()[m_made].props;
            into.insert(into.end(), props.begin(), props.end());
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG flags) override {
        if (call("Message.SaveChanges")) return script().failResult;
        details().push_back("SaveChanges=" + std::to_string(flags));
        if (m_made >= 0) made()[m_made].saved = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetRecipientTable(ULONG, LPMAPITABLE* table) override {
        *table = nullptr;
        if (call("Message.GetRecipientTable")) return script().failResult;
        *table = make<Table>("RecipientTable", m_stored != nullptr ? m_stored->recipients : std::vector<Props>());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAttachmentTable(ULONG, LPMAPITABLE* table) override {
        *table = nullptr;
        if (call("Message.GetAttachmentTable")) return script().failResult;
        *table = make<Table>("AttachmentTable", m_stored != nullptr ? m_stored->attachments : std::vector<Props>());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ModifyRecipients(ULONG flags, LPADRLIST list) override {
        if (call("Message.ModifyRecipients")) return script().failResult;
        std::vector<Props> entries;
        for (ULONG i = 0; i < list->cEntries; ++i) {
            entries.push_back(propsOf(list->aEntries[i].rgPropVals, list->aEntries[i].cValues));
        }
        if (m_made >= 0) made()[m_made].recipientCalls.emplace_back(flags, entries);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SubmitMessage(ULONG) override {
        if (call("Message.SubmitMessage")) return script().failResult;
        if (m_made >= 0) made()[m_made].submitted = true;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetReadFlag(ULONG flags) override {
        if (call("Message.SetReadFlag")) return script().failResult;
        details().push_back("ReadFlag=" + std::to_string(flags));
        return S_OK;
    }

private:
    const StoredMessage* m_stored;
    int m_made;
};

class Folder : public IMAPIFolderBase {
public:
    Folder(std::string name, std::string folder) : IMAPIFolderBase(std::move(name)), m_folder(std::move(folder)) {}
    HRESULT STDMETHODCALLTYPE GetContentsTable(ULONG, LPMAPITABLE* table) override {
        *table = nullptr;
        if (call("Folder.GetContentsTable")) return script().failResult;
        std::vector<Props> rows;
        for (const StoredMessage& m : script().inbox) {
            Props row = m.props;
            row.insert(row.begin(), bytes(PR_ENTRYID, m.entryId));
            rows.push_back(row);
        }
        *table = make<Table>("Table", rows);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CreateMessage(LPCIID, ULONG, LPMESSAGE* message) override {
        *message = nullptr;
        if (call("Folder.CreateMessage")) return script().failResult;
        made().push_back(Made{m_folder, {}, {}, false, false});
        *message = make<Message>("Message", nullptr, static_cast<int>(made().size() - 1));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CopyMessages(LPENTRYLIST list, LPCIID, LPVOID destination, ULONG_PTR, LPMAPIPROGRESS,
                                           ULONG flags) override {
        if (call("Folder.CopyMessages")) return script().failResult;
        details().push_back("CopyMessages=" + std::to_string(flags) + " to " +
                            static_cast<Folder*>(static_cast<IMAPIFolder*>(destination))->m_folder);
        for (ULONG i = 0; i < list->cValues; ++i) {
            deleted().push_back(std::string(reinterpret_cast<const char*>(list->lpbin[i].lpb), list->lpbin[i].cb));
        }
        return S_OK;
    }

private:
    std::string m_folder;
};

class Status : public IMAPIStatusBase {
public:
    using IMAPIStatusBase::IMAPIStatusBase;
};

class MailUser : public IMailUserBase {
public:
    using IMailUserBase::IMailUserBase;
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray tags, ULONG, ULONG* count, LPSPropValue* values) override {
        *values = nullptr;
        if (call("MailUser.GetProps")) return script().failResult;
        Props me = {text(PR_DISPLAY_NAME, "Teo"), text(PR_ADDRTYPE, "SMTP"), text(PR_EMAIL_ADDRESS, "teo@example.org")};
        if (script().identityEntryIdError) {
            me.push_back(Prop{CHANGE_PROP_TYPE(PR_ENTRYID, PT_ERROR), MAPI_E_NOT_FOUND, {}, {}});
        } else {
            me.push_back(bytes(PR_ENTRYID, "ME"));
        }
        *values = valuesOf(me, tags, count);
        return *values != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
    }
};

class AddrBook : public IAddrBookBase {
public:
    using IAddrBookBase::IAddrBookBase;
    HRESULT STDMETHODCALLTYPE ResolveName(ULONG_PTR, ULONG flags, LPSTR, LPADRLIST list) override {
        if (call("AddrBook.ResolveName")) return script().failResult;
        details().push_back("ResolveName=" + std::to_string(flags));
        if (!script().resolves) return MAPI_E_NOT_FOUND;
        // A resolved entry replaces the caller's, as a real address book does: the old values
        // are freed, which only works when each entry is a block of its own.
        for (ULONG i = 0; i < list->cEntries; ++i) {
            ADRENTRY& entry = list->aEntries[i];
            Props resolved = {text(PR_DISPLAY_NAME, "Resolved " + std::to_string(i)), number(PR_RECIPIENT_TYPE, 0),
                              text(PR_ADDRTYPE, "SMTP"), text(PR_EMAIL_ADDRESS, "resolved@example.org"),
                              bytes(PR_ENTRYID, "AB" + std::to_string(i))};
            LPSPropValue replacement = valuesOf(resolved, nullptr, &entry.cValues);
            if (replacement == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
            freeBuffer(entry.rgPropVals);
            entry.rgPropVals = replacement;
        }
        return S_OK;
    }
};

class ProfAdmin : public IProfAdminBase {
public:
    using IProfAdminBase::IProfAdminBase;
    HRESULT STDMETHODCALLTYPE GetProfileTable(ULONG, LPMAPITABLE* table) override {
        *table = nullptr;
        if (call("ProfAdmin.GetProfileTable")) return script().failResult;
        *table = make<Table>("ProfileTable", script().profiles);
        return S_OK;
    }
};

const StoredMessage* storedById(const std::string& id) {
    for (const StoredMessage& m : script().inbox) {
        if (m.entryId == id) return &m;
    }
    return nullptr;
}

class Store : public IMsgStoreBase {
public:
    using IMsgStoreBase::IMsgStoreBase;
    HRESULT STDMETHODCALLTYPE GetProps(LPSPropTagArray tags, ULONG, ULONG* count, LPSPropValue* values) override {
        *values = nullptr;
        if (call("Store.GetProps")) return script().failResult;
        Props props = {Prop{PR_NULL, 0, {}, {}}, bytes(PR_IPM_OUTBOX_ENTRYID, "OUTBOX"),
                       bytes(PR_IPM_WASTEBASKET_ENTRYID, "DELETED"), bytes(PR_IPM_SENTMAIL_ENTRYID, "SENT"),
                       bytes(PR_IPM_SUBTREE_ENTRYID, "SUBTREE")};
        *values = valuesOf(props, tags, count);
        return *values != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetReceiveFolder(LPSTR messageClass, ULONG, ULONG* size, LPENTRYID* id,
                                               LPSTR* explicitClass) override {
        *id = nullptr;
        if (call("Store.GetReceiveFolder")) return script().failResult;
        details().push_back(std::string("ReceiveFolder=") + messageClass);
        if (explicitClass != nullptr) *explicitClass = nullptr;
        *id = idBlock("INBOX", size);
        return *id != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
    }
    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG size, LPENTRYID id, LPCIID, ULONG flags, ULONG* type,
                                        LPUNKNOWN* out) override {
        *out = nullptr;
        if (call("Store.OpenEntry")) return script().failResult;
        details().push_back("Store.OpenEntry=" + std::to_string(flags));
        const StoredMessage* stored = storedById(idOf(size, id));
        if (stored == nullptr) return MAPI_E_INVALID_ENTRYID;
        *type = stored->objectType;
        *out = make<Message>("Message", stored, -1);
        return S_OK;
    }
};

class Session : public IMAPISessionBase {
public:
    using IMAPISessionBase::IMAPISessionBase;
    HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG, LPMAPITABLE* table) override {
        *table = nullptr;
        if (call("Session.GetMsgStoresTable")) return script().failResult;
        std::vector<Props> rows = {{bytes(PR_ENTRYID, "OTHER"), number(PR_DEFAULT_STORE, 0)}};
        if (script().defaultStore) rows.push_back({bytes(PR_ENTRYID, "STORE"), number(PR_DEFAULT_STORE, 1)});
        *table = make<Table>("StoresTable", rows);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OpenMsgStore(ULONG_PTR, ULONG size, LPENTRYID id, LPCIID, ULONG flags,
                                           LPMDB* store) override {
        *store = nullptr;
        if (call("Session.OpenMsgStore")) return script().failResult;
        details().push_back("OpenMsgStore=" + idOf(size, id) + "/" + std::to_string(flags));
        *store = make<Store>("Store");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OpenAddressBook(ULONG_PTR, LPCIID, ULONG, LPADRBOOK* book) override {
        *book = nullptr;
        if (call("Session.OpenAddressBook")) return script().failResult;
        *book = make<AddrBook>("AddrBook");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetStatusTable(ULONG, LPMAPITABLE* table) override {
        *table = nullptr;
        if (call("Session.GetStatusTable")) return script().failResult;
        std::vector<Props> rows = {{number(PR_RESOURCE_TYPE, MAPI_STORE_PROVIDER), bytes(PR_ENTRYID, "PROVIDER")}};
        if (script().spooler) rows.push_back({number(PR_RESOURCE_TYPE, MAPI_SPOOLER), bytes(PR_ENTRYID, "SPOOLER")});
        *table = make<Table>("StatusTable", rows);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG size, LPENTRYID id, LPCIID, ULONG flags, ULONG* type,
                                        LPUNKNOWN* out) override {
        *out = nullptr;
        const std::string name = idOf(size, id);
        if (call("Session.OpenEntry")) return script().failResult;
        details().push_back("Session.OpenEntry=" + name + "/" + std::to_string(flags));
        if (name == "INBOX" || name == "OUTBOX" || name == "DELETED") {
            *type = script().folderType;
            std::string folder = name == "INBOX" ? "inbox" : name == "OUTBOX" ? "outbox" : "deleted";
            *out = make<Folder>("Folder:" + folder, folder);
        } else if (name == "SPOOLER") {
            *type = MAPI_STATUS;
            *out = make<Status>("Status");
        } else if (name == "ME") {
            *type = MAPI_MAILUSER;
            *out = make<MailUser>("MailUser");
        } else {
            return MAPI_E_INVALID_ENTRYID;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryIdentity(ULONG* size, LPENTRYID* id) override {
        *id = nullptr;
        if (call("Session.QueryIdentity")) return script().failResult;
        *id = idBlock("ME", size);
        return *id != nullptr ? S_OK : MAPI_E_NOT_ENOUGH_MEMORY;
    }
};

// ---- entry points ------------------------------------------------------------------------

HRESULT WINAPI initialize(LPVOID) { return call("MAPIInitialize") ? script().failResult : S_OK; }
void WINAPI uninitialize() { call("MAPIUninitialize"); }

HRESULT WINAPI logonEx(ULONG_PTR, LPSTR profile, LPSTR password, ULONG flags, LPMAPISESSION* session) {
    *session = nullptr;
    if (call("MAPILogonEx")) return script().failResult;
    details().push_back("Logon=" + std::string(profile != nullptr ? profile : "<null>") + "/" +
                        std::to_string(flags) + (password != nullptr ? "/password" : ""));
    *session = make<Session>("Session");
    return S_OK;
}

HRESULT WINAPI adminProfiles(ULONG, LPPROFADMIN* admin) {
    *admin = nullptr;
    if (call("MAPIAdminProfiles")) return script().failResult;
    *admin = make<ProfAdmin>("ProfAdmin");
    return S_OK;
}

}  // namespace

HRESULT Unsupported(const char* method) {
    state().misuses.push_back(std::string("unsupported call ") + method);
    return MAPI_E_NO_SUPPORT;
}

void ObjectReleased(const std::string& name) {
    auto it = state().live.find(name);
    if (it != state().live.end()) state().live.erase(it);
    state().calls.push_back(name + ".Release");
}

Prop number(ULONG tag, LONG value) { return Prop{tag, value, {}, {}}; }
Prop text(ULONG tag, const std::string& value) { return Prop{tag, 0, value, {}}; }
Prop bytes(ULONG tag, const std::string& value) { return Prop{tag, 0, value, {}}; }
Prop time(ULONG tag, uint64_t fileTime) {
    Prop p{tag, 0, {}, {}};
    p.time.dwLowDateTime = static_cast<DWORD>(fileTime & 0xFFFFFFFFu);
    p.time.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    return p;
}
const Prop* find(const Props& props, ULONG tag) {
    for (const Prop& p : props) {
        if (p.tag == tag) return &p;
    }
    return nullptr;
}

Script& script() { return state().script; }
std::vector<std::string>& calls() { return state().calls; }
std::vector<std::string> callsStartingWith(const std::string& prefix) {
    std::vector<std::string> out;
    for (const std::string& c : calls()) {
        if (c.rfind(prefix, 0) == 0) out.push_back(c);
    }
    return out;
}
std::vector<std::string>& details() { return state().details; }
std::vector<std::string>& misuses() { return state().misuses; }
std::vector<Made>& made() { return state().made; }
std::vector<std::string>& deleted() { return state().deleted; }
int liveObjects() { return static_cast<int>(state().live.size()); }
int liveBuffers() { return static_cast<int>(state().roots.size()); }
std::vector<std::string> liveObjectNames() { return {state().live.begin(), state().live.end()}; }

void failNext(const std::string& name) {
    state().script.failAt = name;
    state().script.failOccurrence = state().seen[name];
}

void failAllocationAfter(int skip) { state().script.failAllocation = state().allocations + skip; }

void reset() {
    State& s = state();
    s.script = Script();
    s.calls.clear();
    s.details.clear();
    s.misuses.clear();
    s.made.clear();
    s.deleted.clear();
    s.seen.clear();
    s.live.clear();
    for (auto& [root, more] : s.roots) {
        for (void* block : more) std::free(block);
        std::free(root);
    }
    s.roots.clear();
    s.allocations = 0;
}

MapiFunctions functions() {
    MapiFunctions f;
    f.FreeProws = freeProws;
    f.HrQueryAllRows = queryAllRows;
    f.MAPIAdminProfiles = adminProfiles;
    f.MAPIInitialize = initialize;
    f.MAPILogonEx = logonEx;
    f.MAPIUninitialize = uninitialize;
    f.MAPIFreeBuffer = freeBuffer;
    f.FreePadrlist = freePadrlist;
    f.MAPIAllocateMore = allocateMore;
    f.MAPIAllocateBuffer = allocateBuffer;
    return f;
}

}  // namespace fakemapix
