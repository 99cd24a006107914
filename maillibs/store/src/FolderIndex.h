// The in-memory index of one Maildir folder: identifier -> where the file is now. Built by
// a scan (a listing), kept up to date by the store's own changes, so look-ups are O(1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "store/Model.h"
#include "store/Status.h"

namespace vesk::store::detail {

struct IndexEntry {
    MessageInfo info;
    bool inNew = false;    ///< the file is in new/ (no info part), else in cur/
    std::string fileName;  ///< the name in new/ or cur/
    long usec = 0;         ///< sub-second delivery time, for the listing order
};

class FolderIndex {
    // Looked up by the caller's identifier as it comes, without copying it into a string.
    struct IdHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view id) const { return std::hash<std::string_view>{}(id); }
    };

public:
    /// Rebuilds the index from `dir`/new and `dir`/cur. NotFound when `dir` is gone.
    Status scan(const std::string& dir);
    bool scanned() const { return m_scanned; }
    /// True when the index was scanned and nothing but the store's own noted changes touched
    /// `dir`/new or `dir`/cur since (their modification times are as noted). Two stats, where
    /// a scan costs one a message.
    bool unchangedOnDisk(const std::string& dir) const;
    /// Notes the times of `dir`/new and `dir`/cur after a change the store made itself and
    /// put into the index. Only call it when `unchangedOnDisk` held just before that change.
    void noteOwnChange(const std::string& dir);

    /// The entry of `id`, or null.
    const IndexEntry* find(std::string_view id) const;
    /// The entry whose key is `key`, or null (also when two identifiers share the key).
    const IndexEntry* findByKey(std::uint64_t key) const;
    /// Every entry's info, oldest delivery first, ties by identifier.
    std::vector<MessageInfo> sorted() const;

    /// Adds or replaces the entry of `entry.info.id`.
    void put(IndexEntry entry);
    /// Drops the entry of `id` (if any).
    void erase(std::string_view id);

    /// The names in directory `sub` (a new/ or cur/) that could be messages: not hidden,
    /// with a valid identifier. NotFound or IoError when `sub` cannot be read.
    static Status namesIn(const std::string& sub, std::vector<std::string>& names);
    /// The path of `entry`'s file in folder directory `dir`.
    static std::string pathOf(const std::string& dir, const IndexEntry& entry);
    /// An entry for file `fileName` of `dir`'s new/ (`inNew`) or cur/, from its name and
    /// `stat`; false when the file is gone or is no regular file.
    static bool describe(const std::string& dir, bool inNew, std::string_view fileName,
                         IndexEntry& out);

private:
    using Entries = std::unordered_map<std::string, IndexEntry, IdHash, std::equal_to<>>;
    Entries m_entries;
    std::unordered_map<std::uint64_t, std::string> m_keys;  // "" marks a shared key
    bool m_scanned = false;
    struct DirTimes {
        std::int64_t newNs = -1, curNs = -1;
        bool operator==(const DirTimes&) const = default;
    };
    static DirTimes timesOf(const std::string& dir);
    DirTimes m_times;  // of new/ and cur/ when the index last matched them
};

}  // namespace vesk::store::detail
