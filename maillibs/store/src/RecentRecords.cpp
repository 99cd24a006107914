#include "RecentRecords.h"

namespace vesk::store::detail {

RecentRecords::Entry* RecentRecords::slotOf(std::string_view folder, std::string_view id) {
    for (Entry& e : m_entries) {
        if (e.lastUse != 0 && e.id == id && e.folder == folder) return &e;
    }
    return nullptr;
}

const ParsedRecord* RecentRecords::find(std::string_view folder, std::string_view id, const FileStamp& stamp) {
    Entry* e = slotOf(folder, id);
    if (e == nullptr) return nullptr;
    if (!(e->stamp == stamp)) {
        // The file is not the one the entry was made from; it can never match again.
        e->lastUse = 0;
        e->record = {};
        return nullptr;
    }
    e->lastUse = ++m_clock;
    return &e->record;
}

void RecentRecords::put(std::string_view folder, std::string_view id, const FileStamp& stamp,
                        const ParsedRecord& record) {
    Entry* slot = slotOf(folder, id);
    if (slot == nullptr) {
        slot = &m_entries.front();
        for (Entry& e : m_entries) {
            if (e.lastUse < slot->lastUse) slot = &e;
        }
        slot->folder.assign(folder);
        slot->id.assign(id);
    }
    slot->stamp = stamp;
    slot->record = record;
    slot->lastUse = ++m_clock;
}

void RecentRecords::renamed(std::string_view from, std::string_view id, const FileStamp& before,
                            std::string_view to, const FileStamp& after) {
    Entry* e = slotOf(from, id);
    if (e == nullptr) return;
    if (!(e->stamp == before) || !before.sameContent(after)) {
        e->lastUse = 0;
        e->record = {};
        return;
    }
    // A move into a folder that already had an entry under this identifier replaces it.
    if (to != from) forget(to, id);
    e->folder.assign(to);
    e->stamp = after;
}

void RecentRecords::forget(std::string_view folder, std::string_view id) {
    if (Entry* e = slotOf(folder, id)) {
        e->lastUse = 0;
        e->record = {};
    }
}

std::size_t RecentRecords::size() const {
    std::size_t n = 0;
    for (const Entry& e : m_entries) n += e.lastUse != 0 ? 1 : 0;
    return n;
}

}  // namespace vesk::store::detail
