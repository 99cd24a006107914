#include "MaildirStore.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <new>

#include "Compose.h"
#include "platform/WriteFaults.h"
#include "Delivery.h"
#include "Flags.h"
#include "Folders.h"
#include "Fs.h"
#include "HeaderEdit.h"
#include "Names.h"
#include "Parse.h"
#include "Guarded.h"
#include "store/ProblemLog.h"

namespace vesk::store {
namespace {

// Maildir readers remove tmp/ files left this long by a crashed writer.
constexpr std::time_t kStaleTmpAge = 36 * 60 * 60;

}  // namespace

Result<std::unique_ptr<Store>> openMaildir(const std::string& root, OpenOptions options) {
    return guarded([&]() -> Result<std::unique_ptr<Store>> {
        std::string path = root;
        while (path.size() > 1 && path.back() == '/') path.pop_back();
        if (path.empty()) return Status::InvalidArgument;
        if (!detail::isMaildir(path)) {
            if (!options.create) return Status::NotFound;
            Status st = detail::createMaildir(path, false);
            if (st != Status::Ok) return st;
        }
        std::time_t now = std::time(nullptr);
        detail::cleanStaleTmp(path, now, kStaleTmpAge);
        if (auto names = detail::subfolderNames(path)) {
            for (const std::string& name : *names) detail::cleanStaleTmp(detail::folderDir(path, name), now, kStaleTmpAge);
        }
        return std::unique_ptr<Store>(new detail::MaildirStore(path));
    });
}

}  // namespace vesk::store

namespace vesk::store::detail {

MaildirStore::MaildirStore(std::string root) : m_root(std::move(root)), m_cache(m_root) {}

Result<MaildirStore::Folder> MaildirStore::openFolder(std::string_view name, bool trustIndex) {
    if (!isValidFolderName(name)) return Status::InvalidArgument;
    std::string dir = folderDir(m_root, name);
    auto known = m_indexes.find(name);
    if (trustIndex && known != m_indexes.end() && known->second.scanned())
        return Folder{std::move(dir), &known->second, std::string(name)};
    if (!isMaildir(dir)) {
        m_indexes.erase(std::string(name));
        return Status::NotFound;
    }
    auto it = m_indexes.find(name);
    if (it == m_indexes.end()) it = m_indexes.emplace(std::string(name), FolderIndex()).first;
    return Folder{std::move(dir), &it->second, std::string(name)};
}

Result<MaildirStore::Located> MaildirStore::locate(std::string_view folder, std::string_view id) {
    if (!isValidId(id)) return Status::InvalidArgument;
    Result<Folder> f = openFolder(folder, true);
    if (!f) return f.status();
    FolderIndex& index = *f->index;
    bool fresh = false;
    if (!index.scanned()) {
        Status st = index.scan(f->dir);
        if (st != Status::Ok) return st;
        fresh = true;
    }
    for (;;) {
        if (const IndexEntry* e = index.find(id)) {
            Located loc{*f, *e, FolderIndex::pathOf(f->dir, *e), {}};
            struct stat st {};
            if (::stat(loc.path.c_str(), &st) == 0) {
                loc.entry.info.size = static_cast<std::uint64_t>(st.st_size);
                loc.entry.info.modified = st.st_mtime;
                loc.stamp = FileStamp::of(st, e->inNew, e->fileName);
                return loc;
            }
        }
        if (fresh) return Status::NotFound;
        Status st = index.scan(f->dir);
        if (st != Status::Ok) return st;
        fresh = true;
    }
}

void MaildirStore::noteRenamed(const Located& loc, std::string_view to, const std::string& toDir, bool inNew,
                               const std::string& fileName) {
    struct stat st {};
    std::string path = toDir + (inNew ? "/new/" : "/cur/") + fileName;
    if (::stat(path.c_str(), &st) != 0) {
        m_cache.forget(loc.folder.name, loc.entry.info.id);
        return;
    }
    m_cache.renamed(loc.folder.name, loc.entry.info.id, loc.stamp, to, FileStamp::of(st, inNew, fileName));
}

Result<std::vector<std::string>> MaildirStore::folders() {
    return guarded([&]() -> Result<std::vector<std::string>> {
        Result<std::vector<std::string>> names = subfolderNames(m_root);
        if (!names) return names.status();
        std::vector<std::string> out{kInbox};
        out.insert(out.end(), names->begin(), names->end());
        return out;
    });
}

Status MaildirStore::createFolder(std::string_view name) {
    return guarded([&]() -> Status {
        if (!isValidFolderName(name)) return Status::InvalidArgument;
        if (name == kInbox) return Status::Ok;
        return createMaildir(folderDir(m_root, name), true);
    });
}

Result<std::vector<MessageInfo>> MaildirStore::listImpl(std::string_view folder) {
    Result<Folder> f = openFolder(folder);
    if (!f) return f.status();
    Status st = f->index->scan(f->dir);
    if (st != Status::Ok) return st;
    // A listing starts a pass over the folder: what the last one kept goes to disk, and
    // records of messages deleted by others are dropped once per store.
    m_cache.commit();
    if (m_pruned.insert(std::string(folder)).second) {
        const FolderIndex& index = *f->index;
        m_cache.prune(folder, [&](std::string_view id) { return index.find(id) != nullptr; });
    }
    return f->index->sorted();
}

Result<std::vector<MessageInfo>> MaildirStore::list(std::string_view folder) {
    return guarded([&] { return listImpl(folder); });
}

Result<MessageInfo> MaildirStore::find(std::string_view folder, std::string_view id) {
    return guarded([&]() -> Result<MessageInfo> {
        Result<Located> loc = locate(folder, id);
        if (!loc) return loc.status();
        return loc->entry.info;
    });
}

Result<MessageInfo> MaildirStore::findByKey(std::string_view folder, std::uint64_t key) {
    return guarded([&]() -> Result<MessageInfo> {
        // A listed folder is trusted as in `find`: a reader opens messages by key one after
        // another, and checking the folder's three directories each time cost more than the
        // look-up itself.
        Result<Folder> f = openFolder(folder, true);
        if (!f) return f.status();
        if (!f->index->scanned()) {
            Status st = f->index->scan(f->dir);
            if (st != Status::Ok) return st;
        }
        const IndexEntry* e = f->index->findByKey(key);
        if (!e) {
            // A message delivered by someone else since the last listing.
            Status st = f->index->scan(f->dir);
            if (st != Status::Ok) return st;
            e = f->index->findByKey(key);
        }
        if (!e) return Status::NotFound;
        return find(folder, e->info.id);
    });
}

Result<Message> MaildirStore::readImpl(std::string_view folder, std::string_view id, ReadMode mode) {
    // Where a listing saw the message, so a file gone since can be named.
    std::string listed;
    if (isValidId(id)) {
        if (Result<Folder> f = openFolder(folder, true); f && f->index->scanned()) {
            if (const IndexEntry* e = f->index->find(id)) listed = FolderIndex::pathOf(f->dir, *e);
        }
    }
    Result<Located> loc = locate(folder, id);
    if (!loc) {
        if (loc.status() == Status::NotFound && !listed.empty())
            logProblem("store", listed, "the message file was removed before it could be read");
        return loc.status();
    }
    ParsedRecord record;
    if (!m_cache.lookup(folder, id, loc->stamp, mode == ReadMode::Full, record)) {
        Result<std::string> bytes = readFile(loc->path);
        if (!bytes) {
            // Only the disk can make a listed message unreadable; say which file and why.
            int err = errno;
            logProblem("store", loc->path,
                       bytes.status() == Status::NotFound
                           ? std::string("the message file was removed before it could be read")
                           : std::string("the message file could not be read: ") + std::strerror(err));
            return bytes.status();
        }
        // Always the whole message, even for a header read: the GMime parse is most of the
        // cost and is the same either way, and a listing's header read is followed by reads
        // of the body, the recipients and the attachments, which the full record then serves.
        Result<Message> m = parseMessage(*bytes, ReadMode::Full, record.receivedHeader);
        if (!m) return m.status();
        record.message = std::move(*m);
        record.hasBody = true;
        m_cache.store(folder, id, loc->stamp, record);
    }
    if (mode == ReadMode::Headers) record.message.body.clear();
    Message& m = record.message;
    m.info = loc->entry.info;
    m.read = m.info.seen();
    // The topmost Received header is when this system got it; the file name says when it
    // was delivered here, which is the next best thing.
    m.received = record.receivedHeader != 0 ? record.receivedHeader : m.info.delivered;
    return std::move(m);
}

Result<Message> MaildirStore::read(std::string_view folder, std::string_view id, ReadMode mode) {
    return guarded([&] { return readImpl(folder, id, mode); });
}

Result<std::string> MaildirStore::readRaw(std::string_view folder, std::string_view id) {
    return guarded([&]() -> Result<std::string> {
        Result<Located> loc = locate(folder, id);
        if (!loc) return loc.status();
        return readFile(loc->path);
    });
}

Result<std::string> MaildirStore::attachment(std::string_view folder, std::string_view id, std::size_t index) {
    return guarded([&]() -> Result<std::string> {
        Result<Located> loc = locate(folder, id);
        if (!loc) return loc.status();
        std::string kept;
        if (m_cache.lookupAttachment(folder, id, index, loc->stamp, kept)) return kept;
        Result<std::string> bytes = readFile(loc->path);
        if (!bytes) return bytes.status();
        Result<std::string> decoded = attachmentBytes(*bytes, index);
        if (decoded) m_cache.storeAttachment(folder, id, index, loc->stamp, *decoded);
        return decoded;
    });
}

Result<std::string> MaildirStore::deliverRawImpl(std::string_view folder, std::string_view bytes,
                                                 std::string_view flags) {
    if (!validFlagLetters(flags)) return Status::InvalidArgument;
    Result<Folder> f = openFolder(folder);
    if (!f) return f.status();
    std::string normal = normaliseFlags(flags);
    Result<std::string> id = deliverFile(f->dir, bytes, normal);
    if (!id) return id.status();
    if (f->index->scanned()) {
        IndexEntry e;
        std::string name = normal.empty() ? *id : curName(*id, normal);
        if (FolderIndex::describe(f->dir, normal.empty(), name, e)) f->index->put(std::move(e));
    }
    return id;
}

Result<std::string> MaildirStore::deliverRaw(std::string_view folder, std::string_view bytes, std::string_view flags) {
    return guarded([&] { return deliverRawImpl(folder, bytes, flags); });
}

Result<std::string> MaildirStore::deliver(std::string_view folder, const Draft& draft, std::string_view flags) {
    return guarded([&]() -> Result<std::string> {
        if (!validFlagLetters(flags)) return Status::InvalidArgument;
        Result<std::string> bytes = composeMessage(draft);
        if (!bytes) return bytes.status();
        return deliverRawImpl(folder, *bytes, flags);
    });
}

Status MaildirStore::setFlagsImpl(std::string_view folder, std::string_view id, std::string_view add,
                                  std::string_view remove) {
    if (!validFlagLetters(add) || !validFlagLetters(remove)) return Status::InvalidArgument;
    Result<Located> loc = locate(folder, id);
    if (!loc) return loc.status();
    std::string flags = applyFlags(loc->entry.info.flags, add, remove);
    std::string name = curName(loc->entry.info.id, flags);
    if (!loc->entry.inNew && name == loc->entry.fileName) return Status::Ok;
    std::string target = loc->folder.dir + "/cur/" + name;
    Status st = renameNoReplace(loc->path, target);
    if (st != Status::Ok) return st;
    IndexEntry e = loc->entry;
    e.inNew = false;
    e.fileName = name;
    e.info.flags = flags;
    loc->folder.index->put(std::move(e));
    noteRenamed(*loc, folder, loc->folder.dir, false, name);
    syncDirAfterChange(loc->folder.dir + "/cur");
    return Status::Ok;
}

Status MaildirStore::setFlags(std::string_view folder, std::string_view id, std::string_view add,
                              std::string_view remove) {
    return guarded([&] { return setFlagsImpl(folder, id, add, remove); });
}

Status MaildirStore::moveImpl(std::string_view from, std::string_view id, std::string_view to) {
    Result<Folder> target = openFolder(to);
    if (!target) return target.status();
    Result<Located> loc = locate(from, id);
    if (!loc) return loc.status();
    if (loc->folder.dir == target->dir) return Status::Ok;
    std::string sub = loc->entry.inNew ? "/new" : "/cur";
    // One identifier per folder: a name under other flags in the target counts as taken.
    // The target is scanned again only when something other than this store changed it
    // since; rescanning for every move made emptying a mailbox into Trash quadratic.
    if (!target->index->unchangedOnDisk(target->dir)) {
        Status st = target->index->scan(target->dir);
        if (st != Status::Ok) return st;
    }
    if (target->index->find(id)) return Status::Exists;
    Status st = renameNoReplace(loc->path, target->dir + sub + "/" + loc->entry.fileName);
    if (st != Status::Ok) return st;
    loc->folder.index->erase(id);
    target->index->put(loc->entry);
    target->index->noteOwnChange(target->dir);
    noteRenamed(*loc, to, target->dir, loc->entry.inNew, loc->entry.fileName);
    syncDirAfterChange(target->dir + sub);
    syncDirAfterChange(loc->folder.dir + sub);
    return Status::Ok;
}

Status MaildirStore::move(std::string_view from, std::string_view id, std::string_view to) {
    return guarded([&] { return moveImpl(from, id, to); });
}

Status MaildirStore::remove(std::string_view folder, std::string_view id) {
    return guarded([&]() -> Status {
        Result<Located> loc = locate(folder, id);
        if (!loc) return loc.status();
        if (vesk::io::unlink(loc->path.c_str()) != 0) return diskFailure(loc->path, "removing the message file", errno);
        loc->folder.index->erase(id);
        m_cache.forget(folder, id);
        syncDirAfterChange(loc->folder.dir + (loc->entry.inNew ? "/new" : "/cur"));
        return Status::Ok;
    });
}

Status MaildirStore::pickUpNewImpl(std::string_view folder) {
    Result<Folder> f = openFolder(folder);
    if (!f) return f.status();
    std::vector<std::string> names;
    if (Status st = FolderIndex::namesIn(f->dir + "/new", names); st != Status::Ok) return st;
    Status first = Status::Ok;
    bool moved = false;
    for (const std::string& name : names) {
        IndexEntry before;
        struct stat st {};
        std::string from = f->dir + "/new/" + name;
        if (::stat(from.c_str(), &st) != 0 || !FolderIndex::describe(f->dir, true, name, before)) continue;
        std::string target = curName(before.info.id, "");
        Status renamed = renameNoReplace(from, f->dir + "/cur/" + target);
        if (renamed == Status::NotFound) continue;  // taken away since the scan
        if (renamed != Status::Ok) {
            if (first == Status::Ok) first = renamed;
            continue;
        }
        moved = true;
        Located loc{*f, before, from, FileStamp::of(st, true, name)};
        if (f->index->scanned()) {
            IndexEntry after;
            if (FolderIndex::describe(f->dir, false, target, after)) f->index->put(std::move(after));
        }
        noteRenamed(loc, folder, f->dir, false, target);
    }
    // One flush for the whole batch: the moves are renames within the folder, so a crash
    // before it leaves each message in new/ or in cur/, never in neither.
    if (moved) syncDirAfterChange(f->dir + "/cur");
    return first;
}

Status MaildirStore::pickUpNew(std::string_view folder) {
    return guarded([&] { return pickUpNewImpl(folder); });
}

Status MaildirStore::rewriteImpl(std::string_view folder, std::string_view id, const std::vector<HeaderEdit>& edits) {
    for (const HeaderEdit& e : edits) {
        if (!validHeaderEdit(e)) return Status::InvalidArgument;
    }
    Result<Located> loc = locate(folder, id);
    if (!loc) return loc.status();
    Result<std::string> bytes = readFile(loc->path);
    if (!bytes) return bytes.status();
    Result<std::string> edited = editHeaders(*bytes, edits);
    if (!edited) return edited.status();
    Status st = replaceFile(loc->folder.dir, loc->path, *edited);
    if (st != Status::Ok) return st;
    m_cache.forget(folder, id);
    IndexEntry e;
    if (FolderIndex::describe(loc->folder.dir, loc->entry.inNew, loc->entry.fileName, e)) loc->folder.index->put(std::move(e));
    return Status::Ok;
}

Status MaildirStore::rewriteHeaders(std::string_view folder, std::string_view id, const std::vector<HeaderEdit>& edits) {
    return guarded([&] { return rewriteImpl(folder, id, edits); });
}

Result<std::string> MaildirStore::enqueue(const Draft& draft, std::string_view outbox) {
    return guarded([&]() -> Result<std::string> {
        Status st = createFolder(outbox);
        if (st != Status::Ok) return st;
        Result<std::string> bytes = composeMessage(draft);
        if (!bytes) return bytes.status();
        return deliverRawImpl(outbox, *bytes, "");
    });
}

}  // namespace vesk::store::detail
