#include "FolderIndex.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <tuple>

#include "Flags.h"
#include "Fs.h"
#include "Names.h"
#include "store/Store.h"

namespace vesk::store::detail {
namespace {

void fill(IndexEntry& e, bool inNew, std::string_view fileName, const struct stat& st) {
    SplitName parts = splitFileName(fileName);
    e.inNew = inNew;
    e.fileName = std::string(fileName);
    e.info.id = std::string(parts.id);
    e.info.key = keyOfId(parts.id);
    e.info.flags = inNew ? std::string() : normaliseFlags(parts.flags);
    e.info.size = static_cast<std::uint64_t>(st.st_size);
    e.info.modified = st.st_mtime;
    std::time_t sec;
    long usec;
    if (deliveryTimeOf(parts.id, sec, usec)) {
        e.info.delivered = sec;
        e.usec = usec;
    } else {
        e.info.delivered = st.st_mtime;
        e.usec = 0;
    }
}

}  // namespace

bool FolderIndex::describe(const std::string& dir, bool inNew, std::string_view fileName,
                           IndexEntry& out) {
    std::string path = dir + (inNew ? "/new/" : "/cur/") + std::string(fileName);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    fill(out, inNew, fileName, st);
    return true;
}

FolderIndex::DirTimes FolderIndex::timesOf(const std::string& dir) {
    DirTimes t;
    struct stat st {};
    if (::stat((dir + "/new").c_str(), &st) == 0) t.newNs = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    if (::stat((dir + "/cur").c_str(), &st) == 0) t.curNs = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    return t;
}

bool FolderIndex::unchangedOnDisk(const std::string& dir) const {
    if (!m_scanned || m_times.newNs < 0 || m_times.curNs < 0) return false;
    return timesOf(dir) == m_times;
}

void FolderIndex::noteOwnChange(const std::string& dir) { m_times = timesOf(dir); }

Status FolderIndex::scan(const std::string& dir) {
    // Taken before reading: a change made while the scan runs shows as a change later.
    DirTimes times = timesOf(dir);
    Entries entries;
    // About as many as last time: growing the table step by step cost a tenth of a listing.
    entries.reserve(m_entries.size());
    // cur/ second, so a name found in both (left by a foreign writer) is taken from cur/.
    for (bool inNew : {true, false}) {
        std::string sub = dir + (inNew ? "/new" : "/cur");
        DIR* d = ::opendir(sub.c_str());
        if (!d) return statusFromErrno(errno);
        while (struct dirent* de = ::readdir(d)) {
            std::string_view name = de->d_name;
            if (name.empty() || name[0] == '.') continue;
            SplitName parts = splitFileName(name);
            if (!isValidId(parts.id)) continue;
            struct stat st {};
            if (::fstatat(::dirfd(d), de->d_name, &st, 0) != 0 || !S_ISREG(st.st_mode)) continue;
            IndexEntry e;
            fill(e, inNew, name, st);
            std::string id = e.info.id;
            entries.insert_or_assign(std::move(id), std::move(e));
        }
        ::closedir(d);
    }
    m_entries = std::move(entries);
    m_keys.clear();
    m_keys.reserve(m_entries.size());
    for (const auto& [id, e] : m_entries) {
        auto [it, added] = m_keys.emplace(e.info.key, id);
        if (!added) it->second.clear();
    }
    m_scanned = true;
    m_times = times;
    return Status::Ok;
}

const IndexEntry* FolderIndex::find(std::string_view id) const {
    auto it = m_entries.find(id);
    return it == m_entries.end() ? nullptr : &it->second;
}

const IndexEntry* FolderIndex::findByKey(std::uint64_t key) const {
    auto it = m_keys.find(key);
    if (it == m_keys.end() || it->second.empty()) return nullptr;
    return find(it->second);
}

std::vector<MessageInfo> FolderIndex::sorted() const {
    std::vector<const IndexEntry*> order;
    order.reserve(m_entries.size());
    for (const auto& [id, e] : m_entries) order.push_back(&e);
    std::sort(order.begin(), order.end(), [](const IndexEntry* a, const IndexEntry* b) {
        return std::tie(a->info.delivered, a->usec, a->info.id) <
               std::tie(b->info.delivered, b->usec, b->info.id);
    });
    std::vector<MessageInfo> out;
    out.reserve(order.size());
    for (const IndexEntry* e : order) out.push_back(e->info);
    return out;
}

void FolderIndex::put(IndexEntry entry) {
    std::string id = entry.info.id;
    std::uint64_t key = entry.info.key;
    m_entries.insert_or_assign(id, std::move(entry));
    auto [it, added] = m_keys.emplace(key, id);
    if (!added && it->second != id) it->second.clear();
}

void FolderIndex::erase(std::string_view id) {
    auto it = m_entries.find(id);
    if (it == m_entries.end()) return;
    auto k = m_keys.find(it->second.info.key);
    if (k != m_keys.end() && k->second == it->second.info.id) m_keys.erase(k);
    m_entries.erase(it);
}

Status FolderIndex::namesIn(const std::string& sub, std::vector<std::string>& names) {
    names.clear();
    DIR* d = ::opendir(sub.c_str());
    if (!d) return statusFromErrno(errno);
    while (struct dirent* de = ::readdir(d)) {
        std::string_view name = de->d_name;
        if (name.empty() || name[0] == '.' || !isValidId(splitFileName(name).id)) continue;
        names.emplace_back(name);
    }
    ::closedir(d);
    return Status::Ok;
}

std::string FolderIndex::pathOf(const std::string& dir, const IndexEntry& entry) {
    return dir + (entry.inNew ? "/new/" : "/cur/") + entry.fileName;
}

}  // namespace vesk::store::detail
