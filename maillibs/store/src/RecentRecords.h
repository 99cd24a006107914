// The last few records the parse cache handed out or kept, decoded, in memory. A listing
// reads each message several times in a row (its header row, then its body, its recipients,
// its attachments, each by a fresh open), and every one of those reads would otherwise look
// the record up in SQLite and decode it again.
//
// An entry is kept under exactly the key of the database row (folder, identifier, new/ or
// cur/ and file name, size, inode, modification and change times) and is believed only when
// all of it matches the file as it is now: memory is never trusted further than the disk.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "CachedRecord.h"
#include "FileStamp.h"

namespace vesk::store::detail {

class RecentRecords {
public:
    static constexpr std::size_t kCapacity = 32;

    /// The record of message `id` of `folder` made from the file as `stamp` describes it,
    /// or null. An entry for the message under another stamp is dropped: the file changed.
    const ParsedRecord* find(std::string_view folder, std::string_view id, const FileStamp& stamp);
    /// Keeps `record` (replacing what was kept for the message), evicting the entry used
    /// least recently when full.
    void put(std::string_view folder, std::string_view id, const FileStamp& stamp, const ParsedRecord& record);
    /// The store renamed the message from `before` in `from` to `after` in `to`: its entry
    /// follows when it was made from `before` and the content stayed; otherwise it goes.
    void renamed(std::string_view from, std::string_view id, const FileStamp& before, std::string_view to,
                 const FileStamp& after);
    /// Drops the entry of message `id` of `folder`.
    void forget(std::string_view folder, std::string_view id);
    /// How many entries are kept.
    std::size_t size() const;

private:
    struct Entry {
        std::string folder;
        std::string id;
        FileStamp stamp;
        ParsedRecord record;
        std::uint64_t lastUse = 0;  // 0: the slot is free
    };

    Entry* slotOf(std::string_view folder, std::string_view id);

    std::array<Entry, kCapacity> m_entries;
    std::uint64_t m_clock = 0;
};

}  // namespace vesk::store::detail
