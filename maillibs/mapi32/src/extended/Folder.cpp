// IMAPIFolder: one of the IPM folders over its Maildir++ folder. The contents table is a
// snapshot of the folder's listing whose rows read each message's header when fetched;
// CopyMessages copies or moves through the store.
#include <mutex>
#include <set>

#include "extended/MessageProps.h"
#include "extended/Objects.h"
#include "extended/PropObject.h"
#include "store/ProblemLog.h"

namespace vesk::mapi32::ex {
namespace {

constexpr ULONG kMaxEntries = 10000;
constexpr FolderRole kIpmFolders[] = {FolderRole::Inbox, FolderRole::Outbox, FolderRole::SentItems,
                                      FolderRole::DeletedItems, FolderRole::Drafts};

// Live folder objects, so a destination folder a caller passes is checked before it is used.
struct LiveFolders {
    std::mutex lock;
    std::set<const void*> objects;
};
LiveFolders& liveFolders() {
    static LiveFolders instance;
    return instance;
}

// The messages of a folder that does not exist yet are none.
std::vector<store::MessageInfo> listingOf(Mailbox& mailbox, FolderRole role) {
    std::string folder = mailbox.folderOf(role);
    if (folder.empty()) return {};
    store::Result<std::vector<store::MessageInfo>> listing = mailbox.store->list(folder);
    if (!listing) {
        if (listing.status() != store::Status::NotFound) {
            store::logProblem("mapi32", mailbox.account.mailbox.name() + " folder " + folder,
                              std::string("the folder cannot be listed: ") + store::describe(listing.status()));
        }
        return {};
    }
    return std::move(*listing);
}

class ContentsSource final : public RowSource {
public:
    ContentsSource(MailboxPtr mailbox, FolderRole role)
        : m_mailbox(std::move(mailbox)), m_role(role), m_listing(listingOf(*m_mailbox, role)) {}
    std::size_t count() const override { return m_listing.size(); }
    PropList row(std::size_t index) override {
        const store::MessageInfo& info = m_listing[index];
        std::string folder = m_mailbox->folderOf(m_role);
        store::Result<store::Message> message = m_mailbox->store->read(folder, info.id, store::ReadMode::Headers);
        if (!message) {
            // A message that cannot be read still shows with what its file tells: one bad
            // file must not hide the rest of the folder.
            if (message.status() != store::Status::NotFound) {
                store::logProblem("mapi32", m_mailbox->account.mailbox.name() + " " + folder + "/" + info.id,
                                  std::string("the message cannot be read: ") + store::describe(message.status()));
            }
            return messageProps(*m_mailbox, m_role, info, nullptr, false);
        }
        return messageProps(*m_mailbox, m_role, info, &*message, false);
    }
    std::recursive_mutex* lock() override { return &m_mailbox->lock; }

private:
    MailboxPtr m_mailbox;
    FolderRole m_role;
    std::vector<store::MessageInfo> m_listing;
};

class Folder final : public PropObject<IMAPIFolder> {
public:
    Folder(MailboxPtr mailbox, FolderRole role) : PropObject({MAPIX_IIDS_FOLDER}, std::move(mailbox)), m_role(role) {
        std::lock_guard<std::mutex> guard(liveFolders().lock);
        liveFolders().objects.insert(static_cast<IMAPIFolder*>(this));
    }
    ~Folder() override {
        std::lock_guard<std::mutex> guard(liveFolders().lock);
        liveFolders().objects.erase(static_cast<IMAPIFolder*>(this));
    }

    FolderRole role() const { return m_role; }
    const MailboxPtr& mailbox() const { return m_mailbox; }

    HRESULT STDMETHODCALLTYPE GetContentsTable(ULONG ulFlags, LPMAPITABLE* lppTable) override {
        return locked([&]() -> HRESULT {
            if (lppTable == nullptr) return MAPI_E_INVALID_PARAMETER;
            *lppTable = nullptr;
            // No folder holds associated (hidden) messages.
            std::unique_ptr<RowSource> source;
            if ((ulFlags & MAPI_ASSOCIATED) != 0) {
                source = std::make_unique<FixedRows>(std::vector<PropList>{});
            } else {
                source = std::make_unique<ContentsSource>(m_mailbox, m_role);
            }
            *lppTable = makeTable(std::move(source), {PR_ENTRYID, PR_SUBJECT, PR_SENT_REPRESENTING_NAME,
                                                      PR_MESSAGE_DELIVERY_TIME, PR_MESSAGE_FLAGS, PR_MESSAGE_SIZE});
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetHierarchyTable(ULONG, LPMAPITABLE* lppTable) override {
        return locked([&]() -> HRESULT {
            if (lppTable == nullptr) return MAPI_E_INVALID_PARAMETER;
            std::vector<PropList> rows;
            if (m_role == FolderRole::Root) {
                for (FolderRole role : kIpmFolders) {
                    PropList row;
                    row.push_back(binaryProp(PR_ENTRYID, folderEntryId(m_mailbox->account.name, role)));
                    row.push_back(textProp(PR_DISPLAY_NAME, Mailbox::displayNameOf(role)));
                    row.push_back(longProp(PR_OBJECT_TYPE, MAPI_FOLDER));
                    rows.push_back(std::move(row));
                }
            }
            *lppTable = makeTable(std::make_unique<FixedRows>(std::move(rows)), {PR_ENTRYID, PR_DISPLAY_NAME});
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE OpenEntry(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
                                        ULONG* lpulObjType, LPUNKNOWN* lppUnk) override {
        if (cbEntryID == 0 || lpEntryID == nullptr) return MAPI_E_INVALID_PARAMETER;
        return openEntry(m_mailbox, EntryScope::Store, cbEntryID, lpEntryID, lpInterface, ulFlags, lpulObjType, lppUnk);
    }
    HRESULT STDMETHODCALLTYPE SetSearchCriteria(LPSRestriction, LPENTRYLIST, ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE GetSearchCriteria(ULONG, LPSRestriction*, LPENTRYLIST*, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE CreateMessage(LPCIID lpInterface, ULONG ulFlags, LPMESSAGE* lppMessage) override {
        return locked([&]() -> HRESULT {
            if (lppMessage == nullptr) return MAPI_E_INVALID_PARAMETER;
            *lppMessage = nullptr;
            if (lpInterface != nullptr && !IsEqualIID(lpInterface, &IID_IMessage) &&
                !IsEqualIID(lpInterface, &IID_IMAPIProp) && !IsEqualIID(lpInterface, &IID_IUnknown)) {
                return MAPI_E_INTERFACE_NOT_SUPPORTED;
            }
            if ((ulFlags & MAPI_ASSOCIATED) != 0 || m_role == FolderRole::Root) return MAPI_E_NO_SUPPORT;
            *lppMessage = newMessage(m_mailbox, m_role);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE CopyMessages(LPENTRYLIST lpMsgList, LPCIID, LPVOID lpDestFolder, ULONG_PTR,
                                           LPMAPIPROGRESS, ULONG ulFlags) override {
        return locked([&]() -> HRESULT {
            if (lpMsgList == nullptr || lpMsgList->cValues > kMaxEntries ||
                (lpMsgList->cValues != 0 && lpMsgList->lpbin == nullptr)) {
                return MAPI_E_INVALID_PARAMETER;
            }
            MailboxPtr destMailbox;
            FolderRole destRole = FolderRole::Root;
            if (!liveFolder(lpDestFolder, destMailbox, destRole)) return MAPI_E_INVALID_PARAMETER;
            // Another session's folder is fine when it is the same mailbox on disk.
            if (destMailbox->account.mailbox.name() != m_mailbox->account.mailbox.name() || destRole == FolderRole::Root ||
                m_role == FolderRole::Root) {
                return MAPI_E_NO_SUPPORT;
            }
            bool move = (ulFlags & MESSAGE_MOVE) != 0;
            std::size_t done = 0;
            HRESULT first = S_OK;
            for (ULONG i = 0; i < lpMsgList->cValues; ++i) {
                HRESULT hr = copyOne(lpMsgList->lpbin[i], destRole, move);
                if (SUCCEEDED(hr)) {
                    ++done;
                } else if (first == S_OK) {
                    first = hr;
                }
            }
            if (first == S_OK) return S_OK;
            return done == 0 ? first : MAPI_W_PARTIAL_COMPLETION;
        });
    }
    HRESULT STDMETHODCALLTYPE DeleteMessages(LPENTRYLIST, ULONG_PTR, LPMAPIPROGRESS, ULONG) override {
        // Nothing is destroyed here: deleting is a move to Deleted Items (CopyMessages).
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE CreateFolder(ULONG, LPSTR, LPSTR, LPCIID, ULONG, LPMAPIFOLDER*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE CopyFolder(ULONG, LPENTRYID, LPCIID, LPVOID, LPSTR, ULONG_PTR, LPMAPIPROGRESS,
                                         ULONG) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE DeleteFolder(ULONG, LPENTRYID, ULONG_PTR, LPMAPIPROGRESS, ULONG) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE SetReadFlags(LPENTRYLIST, ULONG_PTR, LPMAPIPROGRESS, ULONG) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE GetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG*) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE SetMessageStatus(ULONG, LPENTRYID, ULONG, ULONG, ULONG*) override {
        return MAPI_E_NO_SUPPORT;
    }
    HRESULT STDMETHODCALLTYPE SaveContentsSort(LPSSortOrderSet, ULONG) override { return MAPI_E_NO_SUPPORT; }
    HRESULT STDMETHODCALLTYPE EmptyFolder(ULONG_PTR, LPMAPIPROGRESS, ULONG) override { return MAPI_E_NO_SUPPORT; }

protected:
    PropList properties() override {
        const std::string& account = m_mailbox->account.name;
        PropList p;
        p.push_back(binaryProp(PR_ENTRYID, folderEntryId(account, m_role)));
        p.push_back(binaryProp(PR_RECORD_KEY, folderEntryId(account, m_role)));
        p.push_back(binaryProp(PR_STORE_ENTRYID, storeEntryId(account)));
        p.push_back(binaryProp(PR_PARENT_ENTRYID, folderEntryId(account, FolderRole::Root)));
        p.push_back(textProp(PR_DISPLAY_NAME, Mailbox::displayNameOf(m_role)));
        p.push_back(longProp(PR_OBJECT_TYPE, MAPI_FOLDER));
        std::vector<store::MessageInfo> listing = listingOf(*m_mailbox, m_role);
        LONG unread = 0;
        for (const store::MessageInfo& info : listing) unread += info.seen() ? 0 : 1;
        p.push_back(longProp(PR_CONTENT_COUNT, static_cast<LONG>(listing.size())));
        p.push_back(longProp(PR_CONTENT_UNREAD, unread));
        return p;
    }

private:
    HRESULT copyOne(const SBinary& entry, FolderRole destRole, bool move) {
        std::optional<EntryRef> ref = ownEntry(*m_mailbox, entry.cb, entry.lpb);
        if (!ref || ref->kind != EntryKind::Message || ref->role != m_role) return MAPI_E_INVALID_ENTRYID;
        store::Store& st = *m_mailbox->store;
        std::string from = m_mailbox->folderOf(m_role);
        std::string to = m_mailbox->folderOf(destRole);
        store::Result<store::MessageInfo> info = st.find(from, ref->messageId);
        if (!info) return resultOfStore(info.status());
        if (move && from == to) return S_OK;
        store::Status status = st.createFolder(to);
        if (status != store::Status::Ok) return resultOfStore(status);
        if (move) return resultOfStore(st.move(from, ref->messageId, to));
        store::Result<std::string> bytes = st.readRaw(from, ref->messageId);
        if (!bytes) return resultOfStore(bytes.status());
        store::Result<std::string> copied = st.deliverRaw(to, *bytes, info->flags);
        return copied ? S_OK : resultOfStore(copied.status());
    }

    FolderRole m_role;
};

}  // namespace

IMAPIFolder* makeFolder(MailboxPtr mailbox, FolderRole role) { return new Folder(std::move(mailbox), role); }

bool liveFolder(const void* object, MailboxPtr& mailbox, FolderRole& role) {
    if (object == nullptr) return false;
    {
        std::lock_guard<std::mutex> guard(liveFolders().lock);
        if (liveFolders().objects.count(object) == 0) return false;
    }
    auto* folder = static_cast<Folder*>(static_cast<IMAPIFolder*>(const_cast<void*>(object)));
    mailbox = folder->mailbox();
    role = folder->role();
    return true;
}

}  // namespace vesk::mapi32::ex
