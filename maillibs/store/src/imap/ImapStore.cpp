#include "ImapStore.h"

#include <libetpan/libetpan.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <new>

#include "Compose.h"
#include "Flags.h"
#include "HeaderEdit.h"
#include "ImapFetch.h"
#include "ListingFile.h"
#include "Parse.h"
#include "Guarded.h"
#include "store/ProblemLog.h"

namespace vesk::store {
namespace {

Status makeStateDir(const std::string& dir) {
    std::string path;
    std::size_t pos = 0;
    while (pos != std::string::npos) {
        pos = dir.find('/', pos + 1);
        path = dir.substr(0, pos);
        if (path.empty()) continue;
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) {
            logProblem("store", path, std::string("the state folder cannot be made: ") + std::strerror(errno));
            return Status::IoError;
        }
    }
    return Status::Ok;
}

}  // namespace

Result<std::unique_ptr<Store>> openImap(const ImapOptions& options) {
    return guarded([&]() -> Result<std::unique_ptr<Store>> {
        std::optional<detail::ImapUrl> url = detail::parseImapUrl(options.url);
        if (!url) {
            logProblem("store", options.url, "not an IMAP address (imap://USER@HOST:PORT or imaps://USER@HOST:PORT)");
            return Status::InvalidArgument;
        }
        if (options.stateDir.empty()) {
            logProblem("store", url->server(), "no local state folder was given");
            return Status::InvalidArgument;
        }
        std::string state = options.stateDir;
        while (state.size() > 1 && state.back() == '/') state.pop_back();
        if (Status st = makeStateDir(state); st != Status::Ok) return st;
        ImapOptions copy = options;
        copy.stateDir = state;
        auto store = std::make_unique<detail::ImapStore>(*url, copy);
        if (Status st = store->open(); st != Status::Ok) return st;
        return std::unique_ptr<Store>(std::move(store));
    });
}

}  // namespace vesk::store

namespace vesk::store::detail {
namespace {

// How many messages one batched read fetches, and how many bytes at most (one message
// larger than that is still fetched, alone).
constexpr std::size_t kReadAhead = 100;
constexpr std::uint64_t kReadAheadBytes = 16u << 20;

struct SetFree {
    void operator()(mailimap_set* s) const { mailimap_set_free(s); }
};
using SetPtr = std::unique_ptr<mailimap_set, SetFree>;

Status statusOf(Status s) { return s; }
template <class T>
Status statusOf(const Result<T>& r) {
    return r.status();
}

bool infoBefore(const MessageInfo& a, const MessageInfo& b) {
    if (a.delivered != b.delivered) return a.delivered < b.delivered;
    return a.id < b.id;
}

}  // namespace

ImapStore::ImapStore(ImapUrl url, const ImapOptions& options)
    : m_session(std::move(url), options.password, options.caFile, options.timeoutSeconds),
      m_state(options.stateDir), m_cache(m_state), m_ids(m_state) {}

template <class F>
auto ImapStore::retried(F&& f) -> decltype(f()) {
    bool wasConnected = m_session.imap() != nullptr;
    auto r = guarded(f);
    // A connection that broke under the call was dropped; a new one gets one more try.
    if (statusOf(r) == Status::IoError && wasConnected && m_session.imap() == nullptr) r = guarded(f);
    return r;
}

FileStamp ImapStore::stampOf(const Located& loc) const {
    FileStamp s;
    s.file = "imap/" + std::to_string(loc.validity) + "/" + std::to_string(loc.uid);
    s.size = loc.info.size;
    return s;
}

Result<Selection> ImapStore::status(const std::string& folder) {
    if (Status st = m_session.ensure(); st != Status::Ok) return st;
    mailimap_status_att_list* atts = mailimap_status_att_list_new_empty();
    mailimap_status_att_list_add(atts, MAILIMAP_STATUS_ATT_UIDVALIDITY);
    mailimap_status_att_list_add(atts, MAILIMAP_STATUS_ATT_UIDNEXT);
    mailimap_status_att_list_add(atts, MAILIMAP_STATUS_ATT_MESSAGES);
    if (m_session.has("CONDSTORE")) mailimap_status_att_list_add(atts, MAILIMAP_STATUS_ATT_HIGHESTMODSEQ);
    mailimap_mailbox_data_status* data = nullptr;
    std::string name = mailboxName(folder);
    int rc = mailimap_status(m_session.imap(), name.c_str(), atts, &data);
    mailimap_status_att_list_free(atts);
    if (rc != MAILIMAP_NO_ERROR) {
        if (ImapSession::broken(rc)) return m_session.fail("asking about mailbox " + folder, rc);
        return Status::NotFound;
    }
    Selection out;
    for (clistiter* it = clist_begin(data->st_info_list); it; it = clist_next(it)) {
        auto* info = static_cast<mailimap_status_info*>(clist_content(it));
        switch (info->st_att) {
        case MAILIMAP_STATUS_ATT_UIDVALIDITY: out.validity = info->st_value; break;
        case MAILIMAP_STATUS_ATT_UIDNEXT: out.uidNext = info->st_value; break;
        case MAILIMAP_STATUS_ATT_MESSAGES: out.exists = info->st_value; break;
        case MAILIMAP_STATUS_ATT_HIGHESTMODSEQ:
            if (info->st_ext_data && info->st_ext_data->ext_data)
                out.highestModSeq =
                    static_cast<mailimap_condstore_status_info*>(info->st_ext_data->ext_data)->cs_highestmodseq_value;
            break;
        default: break;
        }
    }
    mailimap_mailbox_data_status_free(data);
    return out;
}

Result<Selection> ImapStore::current(const std::string& folder) {
    return m_session.select(folder, true);
}

Result<bool> ImapStore::exists(const std::string& folder) {
    if (folder == kInbox) return true;
    if (Status st = m_session.ensure(); st != Status::Ok) return st;
    clist* result = nullptr;
    std::string name = mailboxName(folder);
    int rc = mailimap_list(m_session.imap(), "", name.c_str(), &result);
    if (rc != MAILIMAP_NO_ERROR) return m_session.fail("looking for mailbox " + folder, rc);
    bool found = result && clist_count(result) > 0;
    if (result) mailimap_list_result_free(result);
    return found;
}

Result<std::vector<std::string>> ImapStore::folders() {
    return retried([&]() -> Result<std::vector<std::string>> {
        if (Status st = m_session.ensure(); st != Status::Ok) return st;
        clist* result = nullptr;
        int rc = mailimap_list(m_session.imap(), "", "*", &result);
        if (rc != MAILIMAP_NO_ERROR) return m_session.fail("listing the mailboxes", rc);
        std::vector<std::string> names;
        for (clistiter* it = result ? clist_begin(result) : nullptr; it; it = clist_next(it)) {
            auto* mb = static_cast<mailimap_mailbox_list*>(clist_content(it));
            if (!mb->mb_name) continue;
            std::string name = folderName(mb->mb_name);
            if (::strcasecmp(name.c_str(), kInbox) == 0 || !isValidFolderName(name)) continue;
            names.push_back(std::move(name));
        }
        if (result) mailimap_list_result_free(result);
        std::sort(names.begin(), names.end());
        names.insert(names.begin(), kInbox);
        return names;
    });
}

Status ImapStore::createFolder(std::string_view name) {
    return guarded([&]() -> Status {
        if (!isValidFolderName(name)) return Status::InvalidArgument;
        std::string folder(name);
        Result<bool> there = exists(folder);
        if (!there) return there.status();
        if (*there) return Status::Ok;
        std::string mailbox = mailboxName(folder);
        int rc = mailimap_create(m_session.imap(), mailbox.c_str());
        if (rc == MAILIMAP_NO_ERROR) return Status::Ok;
        // Made by someone else in the meantime is as good as made.
        if (!ImapSession::broken(rc)) {
            if (Result<bool> now = exists(folder); now && *now) return Status::Ok;
        }
        return m_session.fail("creating mailbox " + folder, rc);
    });
}

void ImapStore::put(const std::string& folder, Box& box, const Fetched& f) {
    auto it = box.byUid.find(f.uid);
    if (it == box.byUid.end()) {
        MessageInfo info;
        info.id = m_ids.idOf(folder, box.selection.validity, f.uid);
        info.key = keyOfId(info.id);
        it = box.byUid.emplace(f.uid, std::move(info)).first;
        box.byKey[it->second.key] = f.uid;
    }
    MessageInfo& info = it->second;
    if (f.hasFlags) info.flags = f.flags;
    if (f.internalDate != 0) info.delivered = info.modified = f.internalDate;
    if (f.size != 0) info.size = f.size;
}

Status ImapStore::relist(const std::string& folder, Box& box, const Selection& now) {
    bool same = box.listed && box.selection.validity == now.validity;
    bool condstore = m_session.has("CONDSTORE") && now.highestModSeq != 0 && box.selection.highestModSeq != 0;
    if (same && condstore && now.highestModSeq == box.selection.highestModSeq && now.exists == box.byUid.size()) {
        box.selection = now;
        return Status::Ok;  // nothing changed since the last listing
    }
    if (same && condstore) {
        // Only what changed since: new messages and flag changes. Messages gone show in the
        // count; then the whole listing is fetched again.
        int rc = uidFetch(m_session.imap(), {}, FetchWhat::Listing, box.selection.highestModSeq,
                          [&](Fetched&& f) { put(folder, box, f); });
        if (rc != MAILIMAP_NO_ERROR) return m_session.fail("listing mailbox " + folder, rc);
        if (box.byUid.size() == now.exists) {
            box.selection = now;
            return Status::Ok;
        }
    }
    Box fresh;
    fresh.selection = now;
    if (now.exists > 0) {
        int rc = uidFetch(m_session.imap(), {}, FetchWhat::Listing, 0, [&](Fetched&& f) { put(folder, fresh, f); });
        if (rc != MAILIMAP_NO_ERROR) return m_session.fail("listing mailbox " + folder, rc);
    }
    box = std::move(fresh);
    return Status::Ok;
}

void ImapStore::loadKept(const std::string& folder, Box& box, const Selection& now) {
    if (!m_session.has("CONDSTORE") || now.highestModSeq == 0) return;
    Listing kept;
    if (!loadListing(m_state, folder, kept)) return;
    if (kept.validity != now.validity) {
        logProblem("store", m_session.server() + " " + folder,
                   "the mailbox was recreated on the server (its UIDVALIDITY changed); its messages are listed anew");
        return;
    }
    box.selection = Selection{kept.validity, static_cast<std::uint32_t>(kept.messages.size()), kept.uidNext,
                              kept.highestModSeq};
    for (const ListedMessage& m : kept.messages) {
        Fetched f;
        f.uid = m.uid;
        f.hasFlags = true;
        f.flags = m.flags;
        f.internalDate = m.date;
        f.size = m.size;
        put(folder, box, f);
    }
    box.keptModSeq = kept.highestModSeq;
    box.listed = true;
}

void ImapStore::keep(const std::string& folder, Box& box) {
    if (!m_session.has("CONDSTORE") || box.selection.highestModSeq == 0 ||
        box.selection.highestModSeq == box.keptModSeq)
        return;
    Listing l;
    l.validity = box.selection.validity;
    l.highestModSeq = box.selection.highestModSeq;
    l.uidNext = box.selection.uidNext;
    l.messages.reserve(box.byUid.size());
    for (const auto& [uid, info] : box.byUid) l.messages.push_back({uid, info.flags, info.delivered, info.size});
    saveListing(m_state, folder, l);
    box.keptModSeq = box.selection.highestModSeq;
}

Result<std::vector<MessageInfo>> ImapStore::listImpl(const std::string& folder) {
    if (!isValidFolderName(folder)) return Status::InvalidArgument;
    Result<Selection> sel = current(folder);
    if (!sel) return sel.status();
    Box& box = m_boxes[folder];
    if (box.listed && box.selection.validity != sel->validity) {
        // Other messages under the same numbers: nothing known of the old ones holds.
        logProblem("store", m_session.server() + " " + folder,
                   "the mailbox was recreated on the server (its UIDVALIDITY changed); its messages are listed anew");
        box = Box{};
    }
    if (!box.listed) loadKept(folder, box, *sel);
    m_ids.validity(folder, sel->validity);
    m_cache.commit();
    if (Status st = relist(folder, box, *sel); st != Status::Ok) return st;
    box.listed = true;
    keep(folder, box);
    if (m_pruned.insert(folder).second) {
        m_cache.prune(folder, [&](std::string_view id) {
            auto uid = m_ids.uidOf(folder, box.selection.validity, id);
            return uid && box.byUid.count(*uid) != 0;
        });
    }
    std::vector<MessageInfo> out;
    out.reserve(box.byUid.size());
    for (const auto& [uid, info] : box.byUid) {
        if (!m_ids.hidden(folder, box.selection.validity, uid)) out.push_back(info);
    }
    std::sort(out.begin(), out.end(), infoBefore);
    box.order.clear();
    box.order.reserve(out.size());
    for (const MessageInfo& info : out) {
        if (auto uid = m_ids.uidOf(folder, box.selection.validity, info.id)) box.order.push_back(*uid);
    }
    return out;
}

Result<std::vector<MessageInfo>> ImapStore::list(std::string_view folder) {
    return retried([&] { return listImpl(std::string(folder)); });
}

Result<ImapStore::Located> ImapStore::locate(const std::string& folder, std::string_view id) {
    if (!isValidId(id)) return Status::InvalidArgument;
    if (!isValidFolderName(folder)) return Status::InvalidArgument;
    auto known = m_boxes.find(folder);
    if (known == m_boxes.end() || !known->second.listed) {
        Result<std::vector<MessageInfo>> listed = listImpl(folder);
        if (!listed) return listed.status();
        known = m_boxes.find(folder);
    }
    Box& box = known->second;
    std::optional<std::uint32_t> uid = m_ids.uidOf(folder, box.selection.validity, id);
    if (!uid || m_ids.hidden(folder, box.selection.validity, *uid)) return Status::NotFound;
    auto it = box.byUid.find(*uid);
    if (it == box.byUid.end()) {
        // Delivered after the listing (by this store or another client): ask for it alone.
        Result<Selection> sel = m_session.select(folder, false);
        if (!sel) return sel.status();
        if (sel->validity != box.selection.validity) return Status::NotFound;
        if (Status st = m_session.refresh(); st != Status::Ok) return st;
        int rc = uidFetch(m_session.imap(), {*uid}, FetchWhat::Listing, 0, [&](Fetched&& f) {
            if (f.uid == *uid) put(folder, box, f);
        });
        if (rc != MAILIMAP_NO_ERROR) return m_session.fail("looking up message " + std::string(id) + " in " + folder, rc);
        it = box.byUid.find(*uid);
        if (it == box.byUid.end()) return Status::NotFound;
    }
    return Located{folder, box.selection.validity, *uid, it->second};
}

Result<MessageInfo> ImapStore::find(std::string_view folder, std::string_view id) {
    return retried([&]() -> Result<MessageInfo> {
        Result<Located> loc = locate(std::string(folder), id);
        if (!loc) return loc.status();
        return loc->info;
    });
}

Result<MessageInfo> ImapStore::findByKey(std::string_view folder, std::uint64_t key) {
    return retried([&]() -> Result<MessageInfo> {
        std::string name(folder);
        for (int pass = 0; pass < 2; ++pass) {
            auto box = m_boxes.find(name);
            if (pass == 1 || box == m_boxes.end() || !box->second.listed) {
                Result<std::vector<MessageInfo>> listed = listImpl(name);
                if (!listed) return listed.status();
                box = m_boxes.find(name);
            }
            auto hit = box->second.byKey.find(key);
            if (hit != box->second.byKey.end() && box->second.byUid.count(hit->second) &&
                !m_ids.hidden(name, box->second.selection.validity, hit->second))
                return box->second.byUid.at(hit->second);
        }
        return Status::NotFound;
    });
}

Result<std::string> ImapStore::content(const Located& loc, bool readAhead) {
    if (m_aheadOf == std::make_pair(loc.folder, loc.validity)) {
        auto hit = m_ahead.find(loc.uid);
        if (hit != m_ahead.end()) {
            std::string bytes = std::move(hit->second);
            m_ahead.erase(hit);
            return bytes;
        }
    } else {
        m_ahead.clear();
        m_aheadOf = {loc.folder, loc.validity};
    }
    Result<Selection> sel = m_session.select(loc.folder, false);
    if (!sel) return sel.status();
    if (sel->validity != loc.validity) return Status::NotFound;
    // What other clients expunged since is learnt first, so it is not read as still there.
    if (Status st = m_session.refresh(); st != Status::Ok) return st;
    // The messages the listing has after this one are likely read next: one command for
    // them all saves a round trip each.
    std::vector<std::uint32_t> uids{loc.uid};
    if (readAhead) {
        const Box& box = m_boxes[loc.folder];
        auto at = std::find(box.order.begin(), box.order.end(), loc.uid);
        std::uint64_t bytes = loc.info.size;
        for (auto it = at == box.order.end() ? at : at + 1; it != box.order.end() && uids.size() < kReadAhead; ++it) {
            auto info = box.byUid.find(*it);
            std::uint64_t size = info == box.byUid.end() ? 0 : info->second.size;
            if (bytes + size > kReadAheadBytes) break;
            bytes += size;
            uids.push_back(*it);
        }
        std::sort(uids.begin(), uids.end());
    }
    std::string wanted;
    bool found = false;
    int rc = uidFetch(m_session.imap(), uids, FetchWhat::Body, 0, [&](Fetched&& f) {
        if (!f.hasBody) return;
        if (f.uid == loc.uid) {
            wanted = std::move(f.body);
            found = true;
        } else {
            m_ahead[f.uid] = std::move(f.body);
        }
    });
    if (rc != MAILIMAP_NO_ERROR) return m_session.fail("reading message " + loc.info.id + " of " + loc.folder, rc);
    if (!found) {
        logProblem("store", m_session.server() + " " + loc.folder + " " + loc.info.id,
                   "the message was removed from the server before it could be read");
        forgetMessage(loc.folder, loc.uid, loc.info.id);
        return Status::NotFound;
    }
    return wanted;
}

Result<Message> ImapStore::readImpl(const Located& loc, ReadMode mode) {
    FileStamp stamp = stampOf(loc);
    ParsedRecord record;
    if (!m_cache.lookup(loc.folder, loc.info.id, stamp, mode == ReadMode::Full, record)) {
        Result<std::string> bytes = content(loc, true);
        if (!bytes) return bytes.status();
        Result<Message> m = parseMessage(*bytes, mode, record.receivedHeader);
        if (!m) return m.status();
        record.message = std::move(*m);
        record.hasBody = mode == ReadMode::Full;
        m_cache.store(loc.folder, loc.info.id, stamp, record);
    } else if (mode == ReadMode::Headers) {
        record.message.body.clear();
    }
    Message& m = record.message;
    m.info = loc.info;
    m.read = m.info.seen();
    m.received = record.receivedHeader != 0 ? record.receivedHeader : m.info.delivered;
    return std::move(m);
}

Result<Message> ImapStore::read(std::string_view folder, std::string_view id, ReadMode mode) {
    return retried([&]() -> Result<Message> {
        Result<Located> loc = locate(std::string(folder), id);
        if (!loc) return loc.status();
        return readImpl(*loc, mode);
    });
}

Result<std::string> ImapStore::readRaw(std::string_view folder, std::string_view id) {
    return retried([&]() -> Result<std::string> {
        Result<Located> loc = locate(std::string(folder), id);
        if (!loc) return loc.status();
        return content(*loc, false);
    });
}

Result<std::string> ImapStore::attachment(std::string_view folder, std::string_view id, std::size_t index) {
    return retried([&]() -> Result<std::string> {
        Result<Located> loc = locate(std::string(folder), id);
        if (!loc) return loc.status();
        FileStamp stamp = stampOf(*loc);
        std::string kept;
        if (m_cache.lookupAttachment(loc->folder, loc->info.id, index, stamp, kept)) return kept;
        Result<std::string> bytes = content(*loc, false);
        if (!bytes) return bytes.status();
        Result<std::string> decoded = attachmentBytes(*bytes, index);
        if (decoded) m_cache.storeAttachment(loc->folder, loc->info.id, index, stamp, *decoded);
        return decoded;
    });
}

std::uint32_t ImapStore::newUidSince(const std::string& folder, std::uint32_t uidNext) {
    if (uidNext == 0) return 0;
    Result<Selection> sel = m_session.select(folder, false);
    if (!sel || m_session.refresh() != Status::Ok) return 0;
    std::vector<std::uint32_t> found;
    int rc = uidFetchFrom(m_session.imap(), uidNext, FetchWhat::Listing, [&](Fetched&& f) {
        if (f.uid >= uidNext) found.push_back(f.uid);
    });
    if (rc != MAILIMAP_NO_ERROR || found.size() != 1) return 0;
    return found.front();
}

Result<std::pair<std::uint32_t, std::uint32_t>> ImapStore::append(const std::string& folder, std::string_view bytes,
                                                                  std::string_view flags, std::time_t date) {
    if (Status st = createFolder(folder); st != Status::Ok) return st;
    bool uidplus = m_session.has("UIDPLUS");
    std::uint32_t uidNext = 0;
    if (!uidplus) {
        Result<Selection> before = status(folder);
        if (!before) return before.status();
        uidNext = before->uidNext;
    }
    mailimap_flag_list* flagList = imapFlags(flags);
    mailimap_date_time* when = nullptr;
    if (date != 0) {
        std::tm t{};
        ::gmtime_r(&date, &t);
        when = mailimap_date_time_new(t.tm_mday, t.tm_mon + 1, t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec, 0);
    }
    std::uint32_t validity = 0, uid = 0;
    std::string mailbox = mailboxName(folder);
    int rc = mailimap_uidplus_append(m_session.imap(), mailbox.c_str(), flagList, when, bytes.data(), bytes.size(),
                                     &validity, &uid);
    mailimap_flag_list_free(flagList);
    if (when) mailimap_date_time_free(when);
    if (rc != MAILIMAP_NO_ERROR) return m_session.fail("storing a message in " + folder, rc);
    if (!uidplus || uid == 0 || validity == 0) {
        Result<Selection> after = status(folder);
        if (!after) return after.status();
        validity = after->validity;
        uid = newUidSince(folder, uidNext != 0 ? uidNext : after->uidNext - 1);
        if (uid == 0) {
            logProblem("store", m_session.server() + " " + folder,
                       "the message was stored, but the server did not tell which UID it got");
            return Status::IoError;
        }
    }
    return std::make_pair(validity, uid);
}

Result<std::string> ImapStore::deliver(std::string_view folder, const Draft& draft, std::string_view flags) {
    return guarded([&]() -> Result<std::string> {
        if (!validFlagLetters(flags)) return Status::InvalidArgument;
        Result<std::string> bytes = composeMessage(draft);
        if (!bytes) return bytes.status();
        return deliverRaw(folder, *bytes, flags);
    });
}

Result<std::string> ImapStore::deliverRaw(std::string_view folder, std::string_view bytes, std::string_view flags) {
    return guarded([&]() -> Result<std::string> {
        if (!validFlagLetters(flags) || !isValidFolderName(folder)) return Status::InvalidArgument;
        Result<std::pair<std::uint32_t, std::uint32_t>> added = append(std::string(folder), bytes, flags, 0);
        if (!added) return added.status();
        return nativeId(added->first, added->second);
    });
}

Status ImapStore::setFlags(std::string_view folder, std::string_view id, std::string_view add, std::string_view remove) {
    return retried([&]() -> Status {
        if (!validFlagLetters(add) || !validFlagLetters(remove)) return Status::InvalidArgument;
        Result<Located> loc = locate(std::string(folder), id);
        if (!loc) return loc.status();
        Result<Selection> sel = m_session.select(loc->folder, false);
        if (!sel) return sel.status();
        int rc = uidStoreFlags(m_session.imap(), loc->uid, add, true);
        if (rc == MAILIMAP_NO_ERROR) rc = uidStoreFlags(m_session.imap(), loc->uid, remove, false);
        if (rc != MAILIMAP_NO_ERROR) return m_session.fail("changing the flags of " + std::string(id) + " in " + loc->folder, rc);
        Box& box = m_boxes[loc->folder];
        auto it = box.byUid.find(loc->uid);
        if (it != box.byUid.end()) it->second.flags = applyFlags(it->second.flags, mappedLetters(add), mappedLetters(remove));
        return Status::Ok;
    });
}

Status ImapStore::expungeOne(const std::string& folder, std::uint32_t uid) {
    int rc = uidStoreFlags(m_session.imap(), uid, "T", true);
    if (rc != MAILIMAP_NO_ERROR) return m_session.fail("removing a message from " + folder, rc);
    if (!m_session.has("UIDPLUS")) {
        // A plain EXPUNGE would also take what other clients marked deleted: never.
        Result<Selection> sel = m_session.select(folder, false);
        if (!sel) return sel.status();
        m_ids.hide(folder, sel->validity, uid);
        return Status::Ok;
    }
    SetPtr set(mailimap_set_new_single(uid));
    rc = mailimap_uid_expunge(m_session.imap(), set.get());
    if (rc != MAILIMAP_NO_ERROR) return m_session.fail("removing a message from " + folder, rc);
    return Status::Ok;
}

void ImapStore::forgetMessage(const std::string& folder, std::uint32_t uid, std::string_view id) {
    Box& box = m_boxes[folder];
    auto it = box.byUid.find(uid);
    if (it != box.byUid.end()) {
        box.byKey.erase(it->second.key);
        box.byUid.erase(it);
    }
    box.order.erase(std::remove(box.order.begin(), box.order.end(), uid), box.order.end());
    m_ids.forget(folder, uid);
    m_cache.forget(folder, id);
}

Status ImapStore::move(std::string_view from, std::string_view id, std::string_view to) {
    return guarded([&]() -> Status {
        if (!isValidFolderName(to)) return Status::InvalidArgument;
        std::string target(to);
        Result<Located> loc = locate(std::string(from), id);
        if (!loc) return loc.status();
        if (loc->folder == target) return Status::Ok;
        Result<Selection> there = status(target);
        if (!there) return there.status();
        if (m_ids.uidOf(target, there->validity, id)) {
            if (Result<Located> taken = locate(target, id); taken) return Status::Exists;
        }
        Result<Selection> sel = m_session.select(loc->folder, false);
        if (!sel) return sel.status();
        bool uidplus = m_session.has("UIDPLUS");
        std::uint32_t validity = 0;
        mailimap_set* source = nullptr;
        mailimap_set* dest = nullptr;
        SetPtr set(mailimap_set_new_single(loc->uid));
        std::string mailbox = mailboxName(target);
        int rc = 0;
        if (m_session.has("MOVE")) {
            rc = mailimap_uidplus_uid_move(m_session.imap(), set.get(), mailbox.c_str(), &validity, &source, &dest);
        } else {
            rc = mailimap_uidplus_uid_copy(m_session.imap(), set.get(), mailbox.c_str(), &validity, &source, &dest);
        }
        std::uint32_t newUid = uidplus ? firstOf(dest) : 0;
        if (source) mailimap_set_free(source);
        if (dest) mailimap_set_free(dest);
        if (rc != MAILIMAP_NO_ERROR) return m_session.fail("moving " + std::string(id) + " to " + target, rc);
        if (!m_session.has("MOVE")) {
            if (Status st = expungeOne(loc->folder, loc->uid); st != Status::Ok) return st;
        }
        if (newUid == 0) {
            validity = there->validity;
            newUid = newUidSince(target, there->uidNext);
        }
        FileStamp before = stampOf(*loc);
        std::string name = loc->info.id;
        forgetMessage(loc->folder, loc->uid, "");
        if (newUid != 0) {
            // The moved message keeps its name, and what was parsed of it goes along.
            m_ids.name(target, validity, newUid, name);
            Located moved{target, validity, newUid, loc->info};
            m_cache.renamed(loc->folder, name, before, target, stampOf(moved));
        } else {
            m_cache.forget(loc->folder, name);
            logProblem("store", m_session.server() + " " + target,
                       "a message was moved here, but the server did not tell which UID it got; it is listed "
                       "under a new name");
        }
        return Status::Ok;
    });
}

Status ImapStore::remove(std::string_view folder, std::string_view id) {
    return guarded([&]() -> Status {
        Result<Located> loc = locate(std::string(folder), id);
        if (!loc) return loc.status();
        Result<Selection> sel = m_session.select(loc->folder, false);
        if (!sel) return sel.status();
        if (Status st = expungeOne(loc->folder, loc->uid); st != Status::Ok) return st;
        forgetMessage(loc->folder, loc->uid, loc->info.id);
        return Status::Ok;
    });
}

Status ImapStore::rewriteHeaders(std::string_view folder, std::string_view id, const std::vector<HeaderEdit>& edits) {
    return guarded([&]() -> Status {
        for (const HeaderEdit& e : edits) {
            if (!validHeaderEdit(e)) return Status::InvalidArgument;
        }
        Result<Located> loc = locate(std::string(folder), id);
        if (!loc) return loc.status();
        Result<std::string> bytes = content(*loc, false);
        if (!bytes) return bytes.status();
        Result<std::string> edited = editHeaders(*bytes, edits);
        if (!edited) return edited.status();
        // The edited copy goes in first: whatever fails after, no message is lost.
        Result<std::pair<std::uint32_t, std::uint32_t>> added =
            append(loc->folder, *edited, loc->info.flags, loc->info.delivered);
        if (!added) return added.status();
        Result<Selection> sel = m_session.select(loc->folder, false);
        if (!sel) return sel.status();
        if (Status st = expungeOne(loc->folder, loc->uid); st != Status::Ok) return st;
        forgetMessage(loc->folder, loc->uid, loc->info.id);
        m_ids.name(loc->folder, added->first, added->second, loc->info.id);
        return Status::Ok;
    });
}

Result<std::string> ImapStore::enqueue(const Draft& draft, std::string_view outbox) {
    return guarded([&]() -> Result<std::string> {
        Result<std::string> bytes = composeMessage(draft);
        if (!bytes) return bytes.status();
        return deliverRaw(outbox, *bytes, "");
    });
}

}  // namespace vesk::store::detail
