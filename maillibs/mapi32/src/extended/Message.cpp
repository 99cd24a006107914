// IMessage: a stored message (its properties from the store; importance and read state are
// what may change, and they are written where mail readers see them), or a new message that
// SaveChanges files and SubmitMessage queues for sending.
#include <optional>

#include "common/Buffers.h"
#include "extended/BodyStream.h"
#include "extended/MessageDraft.h"
#include "extended/MessageProps.h"
#include "extended/Objects.h"
#include "extended/PropObject.h"
#include "store/ProblemLog.h"

namespace vesk::mapi32::ex {
namespace {

constexpr ULONG kMaxValues = 4096;
constexpr ULONG kMaxRecipients = 10000;
constexpr ULONG kMaxRecipientValues = 256;
constexpr std::size_t kMaxBody = 32 * 1024 * 1024;
constexpr std::size_t kMaxValue = 1024 * 1024;
constexpr std::size_t kMaxRecipientValue = 4096;
constexpr ULONG kReadFlagFlags =
    SUPPRESS_RECEIPT | CLEAR_READ_FLAG | MAPI_DEFERRED_ERRORS | GENERATE_RECEIPT_ONLY | CLEAR_RN_PENDING | CLEAR_NRN_PENDING;

// Properties the message works out itself; a caller cannot set them.
bool isComputed(ULONG tag) {
    switch (PROP_ID(tag)) {
    case PROP_ID(PR_ENTRYID):
    case PROP_ID(PR_OBJECT_TYPE):
    case PROP_ID(PR_RECORD_KEY):
    case PROP_ID(PR_INSTANCE_KEY):
    case PROP_ID(PR_PARENT_ENTRYID):
    case PROP_ID(PR_STORE_ENTRYID):
    case PROP_ID(PR_MESSAGE_SIZE):
    case PROP_ID(PR_HASATTACH): return true;
    default: return false;
    }
}

// Maildir flag letters a new message is filed with in `role`'s folder.
std::string fileFlags(FolderRole role, bool read) {
    std::string flags = role == FolderRole::Drafts ? "D" : "";
    if (read || role == FolderRole::SentItems) flags += "S";
    return flags;
}

class Message final : public PropObject<IMessage> {
public:
    // A new message of `role`'s folder.
    Message(MailboxPtr mailbox, FolderRole role)
        : PropObject({MAPIX_IIDS_MESSAGE}, std::move(mailbox)), m_new(true), m_role(role), m_writable(true) {}
    // A stored message.
    Message(MailboxPtr mailbox, FolderRole role, store::MessageInfo info, std::optional<store::Message> stored,
            bool writable)
        : PropObject({MAPIX_IIDS_MESSAGE}, std::move(mailbox)), m_new(false), m_role(role), m_writable(writable),
          m_id(info.id), m_info(std::move(info)), m_stored(std::move(stored)) {}

    HRESULT STDMETHODCALLTYPE SaveChanges(ULONG) override {
        return locked([&]() -> HRESULT {
            HRESULT hr = usable();
            if (FAILED(hr)) return hr;
            if (!m_writable) return MAPI_E_NO_ACCESS;
            return m_new ? fileNew() : saveStored();
        });
    }
    HRESULT STDMETHODCALLTYPE SetProps(ULONG cValues, LPSPropValue lpPropArray, LPSPropProblemArray* lppProblems) override {
        return locked([&]() -> HRESULT {
            if (lppProblems != nullptr) *lppProblems = nullptr;
            HRESULT hr = usable();
            if (FAILED(hr)) return hr;
            if (cValues == 0 || cValues > kMaxValues || lpPropArray == nullptr) return MAPI_E_INVALID_PARAMETER;
            if (!m_writable) return MAPI_E_NO_ACCESS;
            // Everything is read and checked first: a refused call changes nothing.
            PropList values;
            std::vector<SPropProblem> problems;
            for (ULONG i = 0; i < cValues; ++i) {
                ULONG tag = lpPropArray[i].ulPropTag;
                Prop value;
                hr = readValue(lpPropArray[i], value, PROP_ID(tag) == PROP_ID(PR_BODY) ? kMaxBody : kMaxValue);
                if (FAILED(hr) || PROP_TYPE(tag) == PT_ERROR || PROP_TYPE(tag) == PT_NULL) {
                    problems.push_back(SPropProblem{i, tag, FAILED(hr) ? hr : MAPI_E_INVALID_TYPE});
                    continue;
                }
                if (isComputed(tag)) {
                    problems.push_back(SPropProblem{i, tag, MAPI_E_COMPUTED});
                    continue;
                }
                if (PROP_ID(tag) == PROP_ID(PR_IMPORTANCE) &&
                    (PROP_TYPE(tag) != PT_LONG || !priorityOf(value.number))) {
                    return MAPI_E_INVALID_PARAMETER;
                }
                // A stored message keeps what the program that wrote it wrote; only its
                // importance and read state are ours to change.
                if (!m_new && PROP_ID(tag) != PROP_ID(PR_IMPORTANCE) && PROP_ID(tag) != PROP_ID(PR_MESSAGE_FLAGS)) {
                    return MAPI_E_NO_ACCESS;
                }
                values.push_back(std::move(value));
            }
            for (Prop& v : values) putProp(m_pending, std::move(v));
            if (!problems.empty() && lppProblems != nullptr) {
                auto* out = static_cast<SPropProblemArray*>(allocateBuffer(CbNewSPropProblemArray(problems.size())));
                if (out == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
                out->cProblem = static_cast<ULONG>(problems.size());
                for (std::size_t i = 0; i < problems.size(); ++i) out->aProblem[i] = problems[i];
                *lppProblems = out;
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE OpenProperty(ULONG ulPropTag, LPCIID lpiid, ULONG, ULONG ulFlags,
                                           LPUNKNOWN* lppUnk) override {
        return locked([&]() -> HRESULT {
            if (lppUnk == nullptr || lpiid == nullptr) return MAPI_E_INVALID_PARAMETER;
            *lppUnk = nullptr;
            HRESULT hr = usable();
            if (FAILED(hr)) return hr;
            if (!IsEqualIID(lpiid, &IID_IStream)) return MAPI_E_INTERFACE_NOT_SUPPORTED;
            if ((ulFlags & (MAPI_MODIFY | MAPI_CREATE)) != 0) return MAPI_E_NO_ACCESS;
            PropList props = properties();
            const Prop* p = findProp(props, ulPropTag);
            if (p == nullptr || (PROP_TYPE(p->tag) != PT_STRING8 && PROP_TYPE(p->tag) != PT_BINARY) ||
                (PROP_TYPE(ulPropTag) != PT_UNSPECIFIED && PROP_TYPE(ulPropTag) != PROP_TYPE(p->tag))) {
                return MAPI_E_NOT_FOUND;
            }
            *lppUnk = makeReadStream(p->bytes);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetAttachmentTable(ULONG, LPMAPITABLE* lppTable) override {
        return locked([&]() -> HRESULT {
            if (lppTable == nullptr) return MAPI_E_INVALID_PARAMETER;
            *lppTable = nullptr;
            HRESULT hr = usable();
            if (FAILED(hr)) return hr;
            std::vector<PropList> rows = m_stored ? attachmentRows(*m_stored) : std::vector<PropList>{};
            *lppTable = makeTable(std::make_unique<FixedRows>(std::move(rows)),
                                  {PR_ATTACH_NUM, PR_DISPLAY_NAME, PR_ATTACH_FILENAME, PR_ATTACH_METHOD,
                                   PR_RENDERING_POSITION});
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE OpenAttach(ULONG, LPCIID, ULONG, LPATTACH*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE CreateAttach(LPCIID, ULONG, ULONG*, LPATTACH*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE DeleteAttach(ULONG, ULONG_PTR, LPMAPIPROGRESS, ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE GetRecipientTable(ULONG, LPMAPITABLE* lppTable) override {
        return locked([&]() -> HRESULT {
            if (lppTable == nullptr) return MAPI_E_INVALID_PARAMETER;
            *lppTable = nullptr;
            HRESULT hr = usable();
            if (FAILED(hr)) return hr;
            std::vector<PropList> rows = m_new ? m_recipients
                                         : m_stored ? recipientRows(*m_mailbox, *m_stored)
                                                    : std::vector<PropList>{};
            *lppTable = makeTable(std::make_unique<FixedRows>(std::move(rows)),
                                  {PR_DISPLAY_NAME, PR_RECIPIENT_TYPE, PR_ADDRTYPE, PR_EMAIL_ADDRESS, PR_ENTRYID,
                                   PR_ROWID});
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE ModifyRecipients(ULONG ulFlags, LPADRLIST lpMods) override {
        return locked([&]() -> HRESULT {
            HRESULT hr = usable();
            if (FAILED(hr)) return hr;
            if (ulFlags != 0 && ulFlags != MODRECIP_ADD && ulFlags != MODRECIP_MODIFY && ulFlags != MODRECIP_REMOVE) {
                return MAPI_E_UNKNOWN_FLAGS;
            }
            if (lpMods == nullptr || lpMods->cEntries > kMaxRecipients) return MAPI_E_INVALID_PARAMETER;
            if (!m_new || !m_writable) return MAPI_E_NO_ACCESS;
            std::vector<PropList> entries;
            for (ULONG i = 0; i < lpMods->cEntries; ++i) {
                PropList entry;
                hr = readEntry(lpMods->aEntries[i], entry);
                if (FAILED(hr)) return hr;
                entries.push_back(std::move(entry));
            }
            return ulFlags == 0 || ulFlags == MODRECIP_ADD ? addRecipients(std::move(entries), ulFlags == 0)
                                                           : changeRecipients(entries, ulFlags == MODRECIP_REMOVE);
        });
    }
    HRESULT STDMETHODCALLTYPE SubmitMessage(ULONG) override {
        return locked([&]() -> HRESULT {
            HRESULT hr = usable();
            if (FAILED(hr)) return hr;
            if (!m_new) return MAPI_E_NO_SUPPORT;
            if (m_recipients.empty()) return MAPI_E_NO_RECIPIENTS;
            std::string sentFolder;
            hr = sentFolderOf(sentFolder);
            if (FAILED(hr)) return hr;
            store::Draft draft;
            hr = draftOf(*m_mailbox, m_pending, m_recipients, DraftUse::Sending, draft);
            if (FAILED(hr)) return hr;
            // Queued durably first; the call succeeds once the message is in the queue.
            store::Result<std::string> queued = m_mailbox->store->enqueue(draft, m_mailbox->account.outboxFolder);
            if (!queued) return resultOfStore(queued.status());
            dropSavedCopy();
            m_submitted = true;
            m_mailbox->flushQueue(sentFolder);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetReadFlag(ULONG ulFlags) override {
        return locked([&]() -> HRESULT {
            HRESULT hr = usable();
            if (FAILED(hr)) return hr;
            if ((ulFlags & ~kReadFlagFlags) != 0) return MAPI_E_UNKNOWN_FLAGS;
            bool clear = (ulFlags & CLEAR_READ_FLAG) != 0;
            if ((clear && (ulFlags & SUPPRESS_RECEIPT) != 0) ||
                ((ulFlags & GENERATE_RECEIPT_ONLY) != 0 && (ulFlags & (SUPPRESS_RECEIPT | CLEAR_READ_FLAG)) != 0)) {
                return MAPI_E_INVALID_PARAMETER;
            }
            // No read reports are sent from here: asking for one alone changes nothing.
            if ((ulFlags & GENERATE_RECEIPT_ONLY) != 0) return S_OK;
            if (m_new) {
                LONG flags = longOf(m_pending, PR_MESSAGE_FLAGS, 0);
                flags = clear ? (flags & ~static_cast<LONG>(MSGFLAG_READ)) : (flags | static_cast<LONG>(MSGFLAG_READ));
                putProp(m_pending, longProp(PR_MESSAGE_FLAGS, flags));
                return S_OK;
            }
            // The read state is the Maildir S flag, written at once, as mail readers keep it.
            store::Status status = m_mailbox->store->setFlags(folder(), m_id, clear ? "" : "S", clear ? "S" : "");
            if (status != store::Status::Ok) return resultOfStore(status);
            refreshInfo();
            return S_OK;
        });
    }

protected:
    HRESULT usable() override { return m_submitted ? MAPI_E_SUBMITTED : S_OK; }

    PropList properties() override {
        const std::string& account = m_mailbox->account.name;
        PropList p;
        if (!m_new) {
            p = messageProps(*m_mailbox, m_role, m_info, m_stored ? &*m_stored : nullptr, true);
            for (const Prop& change : m_pending) putProp(p, change);
            return p;
        }
        p = m_pending;
        if (findProp(p, PR_MESSAGE_CLASS) == nullptr) p.push_back(textProp(PR_MESSAGE_CLASS, "IPM.Note"));
        if (findProp(p, PR_MESSAGE_FLAGS) == nullptr) p.push_back(longProp(PR_MESSAGE_FLAGS, MSGFLAG_UNSENT));
        if (findProp(p, PR_IMPORTANCE) == nullptr) p.push_back(longProp(PR_IMPORTANCE, IMPORTANCE_NORMAL));
        p.push_back(longProp(PR_OBJECT_TYPE, MAPI_MESSAGE));
        p.push_back(boolProp(PR_HASATTACH, false));
        p.push_back(longProp(PR_MESSAGE_SIZE, static_cast<LONG>(textOf(m_pending, PR_BODY).size())));
        p.push_back(binaryProp(PR_PARENT_ENTRYID, folderEntryId(account, m_role)));
        p.push_back(binaryProp(PR_STORE_ENTRYID, storeEntryId(account)));
        // A new message has an identifier once it is saved.
        if (!m_id.empty()) p.push_back(binaryProp(PR_ENTRYID, messageEntryId(account, m_savedRole, m_id)));
        return p;
    }

private:
    std::string folder() const { return m_mailbox->folderOf(m_role); }

    void refreshInfo() {
        store::Result<store::MessageInfo> info = m_mailbox->store->find(folder(), m_id);
        if (info) m_info = std::move(*info);
    }

    // Writes the pending importance and read state of a stored message.
    HRESULT saveStored() {
        const Prop* importance = findProp(m_pending, PR_IMPORTANCE);
        if (importance != nullptr) {
            store::Status status = m_mailbox->store->setPriority(folder(), m_id, *priorityOf(importance->number));
            if (status != store::Status::Ok) return resultOfStore(status);
        }
        const Prop* flags = findProp(m_pending, PR_MESSAGE_FLAGS);
        if (flags != nullptr && PROP_TYPE(flags->tag) == PT_LONG) {
            bool read = (static_cast<ULONG>(flags->number) & MSGFLAG_READ) != 0;
            store::Status status = m_mailbox->store->setFlags(folder(), m_id, read ? "S" : "", read ? "" : "S");
            if (status != store::Status::Ok) return resultOfStore(status);
        }
        m_pending.clear();
        refreshInfo();
        store::Result<store::Message> again = m_mailbox->store->read(folder(), m_id);
        if (again) m_stored = std::move(*again);
        return S_OK;
    }

    // Files a new message in its folder (unsubmitted mail of the Outbox goes to Drafts: the
    // Outbox is the queue, and whatever lies there is sent).
    HRESULT fileNew() {
        FolderRole target = m_role == FolderRole::Outbox ? FolderRole::Drafts : m_role;
        store::Draft draft;
        HRESULT hr = draftOf(*m_mailbox, m_pending, m_recipients, DraftUse::Filing, draft);
        if (FAILED(hr)) return hr;
        std::string where = m_mailbox->folderOf(target);
        store::Status status = m_mailbox->store->createFolder(where);
        if (status != store::Status::Ok) return resultOfStore(status);
        bool read = (static_cast<ULONG>(longOf(m_pending, PR_MESSAGE_FLAGS, 0)) & MSGFLAG_READ) != 0;
        store::Result<std::string> id = m_mailbox->store->deliver(where, draft, fileFlags(target, read));
        if (!id) return resultOfStore(id.status());
        dropSavedCopy();
        m_savedRole = target;
        m_id = *id;
        return S_OK;
    }

    // Removes the copy an earlier SaveChanges filed (replaced, or now submitted).
    void dropSavedCopy() {
        if (m_id.empty()) return;
        std::string where = m_mailbox->folderOf(m_savedRole);
        store::Status status = m_mailbox->store->remove(where, m_id);
        if (status != store::Status::Ok && status != store::Status::NotFound) {
            store::logProblem("mapi32", m_mailbox->account.mailbox.name() + " " + where + "/" + m_id,
                              std::string("an earlier saved copy of a message could not be removed: ") +
                                  store::describe(status));
        }
        m_id.clear();
    }

    // Where the sent copy goes: the folder PR_SENTMAIL_ENTRYID names, none with
    // PR_DELETE_AFTER_SUBMIT, else the account's sent folder.
    HRESULT sentFolderOf(std::string& out) {
        out = m_mailbox->account.sentFolder;
        if (boolOf(m_pending, PR_DELETE_AFTER_SUBMIT, false)) {
            out.clear();
            return S_OK;
        }
        const Prop* sent = findProp(m_pending, PR_SENTMAIL_ENTRYID);
        if (sent == nullptr) return S_OK;
        std::optional<EntryRef> ref = ownEntry(*m_mailbox, static_cast<ULONG>(sent->bytes.size()), sent->bytes.data());
        if (PROP_TYPE(sent->tag) != PT_BINARY || !ref || ref->kind != EntryKind::Folder ||
            ref->role == FolderRole::Root || ref->role == FolderRole::Outbox) {
            return MAPI_E_INVALID_ENTRYID;
        }
        out = m_mailbox->folderOf(ref->role);
        return S_OK;
    }

    HRESULT readEntry(const ADRENTRY& in, PropList& out) {
        if (in.cValues > kMaxRecipientValues || (in.cValues != 0 && in.rgPropVals == nullptr)) {
            return MAPI_E_INVALID_PARAMETER;
        }
        for (ULONG j = 0; j < in.cValues; ++j) {
            Prop value;
            HRESULT hr = readValue(in.rgPropVals[j], value, kMaxRecipientValue);
            if (hr == MAPI_E_INVALID_TYPE || PROP_TYPE(value.tag) == PT_ERROR || PROP_TYPE(value.tag) == PT_NULL) continue;
            if (FAILED(hr)) return hr;
            putProp(out, std::move(value));
        }
        return S_OK;
    }

    HRESULT addRecipients(std::vector<PropList> entries, bool replace) {
        for (const PropList& e : entries) {
            if (findProp(e, PR_DISPLAY_NAME) == nullptr && findProp(e, PR_EMAIL_ADDRESS) == nullptr &&
                findProp(e, PR_ENTRYID) == nullptr) {
                return MAPI_E_INVALID_PARAMETER;
            }
        }
        if (replace) m_recipients.clear();
        for (PropList& e : entries) {
            putProp(e, longProp(PR_ROWID, m_nextRowId++));
            if (findProp(e, PR_RECIPIENT_TYPE) == nullptr) putProp(e, longProp(PR_RECIPIENT_TYPE, MAPI_TO));
            m_recipients.push_back(std::move(e));
        }
        return S_OK;
    }

    HRESULT changeRecipients(const std::vector<PropList>& entries, bool remove) {
        std::vector<PropList> rows = m_recipients;
        for (const PropList& e : entries) {
            const Prop* rowId = findProp(e, PR_ROWID);
            if (rowId == nullptr || PROP_TYPE(rowId->tag) != PT_LONG) return MAPI_E_INVALID_PARAMETER;
            auto it = rows.begin();
            while (it != rows.end() && longOf(*it, PR_ROWID, -1) != rowId->number) ++it;
            if (it == rows.end()) return MAPI_E_NOT_FOUND;
            if (remove) {
                rows.erase(it);
            } else {
                *it = e;
            }
        }
        m_recipients = std::move(rows);
        return S_OK;
    }

    bool m_new;
    FolderRole m_role;
    bool m_writable;
    std::string m_id;                       // stored: its identifier; new: the saved copy's, if any
    FolderRole m_savedRole = FolderRole::Drafts;
    store::MessageInfo m_info;
    std::optional<store::Message> m_stored;
    PropList m_pending;                     // new: every property; stored: the changes
    std::vector<PropList> m_recipients;     // new messages
    LONG m_nextRowId = 0;
    bool m_submitted = false;
};

}  // namespace

IMessage* newMessage(MailboxPtr mailbox, FolderRole role) { return new Message(std::move(mailbox), role); }

HRESULT openMessage(MailboxPtr mailbox, FolderRole role, const std::string& id, bool writable, IMessage** out) {
    *out = nullptr;
    std::string folder = mailbox->folderOf(role);
    if (folder.empty()) return MAPI_E_INVALID_ENTRYID;
    // A message that reads carries what a look-up would tell; only one that does not is
    // looked up on its own, which also says whether it is there at all.
    store::Result<store::Message> read = mailbox->store->read(folder, id);
    if (read) {
        store::MessageInfo info = read->info;
        *out = new Message(std::move(mailbox), role, std::move(info), std::move(*read), writable);
        return S_OK;
    }
    if (read.status() == store::Status::OutOfMemory) return MAPI_E_NOT_ENOUGH_MEMORY;
    store::Result<store::MessageInfo> info = mailbox->store->find(folder, id);
    if (!info) return info.status() == store::Status::InvalidArgument ? MAPI_E_INVALID_ENTRYID : resultOfStore(info.status());
    // The message still opens with what its file tells; its content is not shown.
    store::logProblem("mapi32", mailbox->account.mailbox.name() + " " + folder + "/" + id,
                      std::string("the message cannot be read: ") + store::describe(read.status()));
    *out = new Message(std::move(mailbox), role, std::move(*info), std::nullopt, writable);
    return S_OK;
}

}  // namespace vesk::mapi32::ex
