// Which file, as it is now, a parsed record was made from: the key the parse cache checks a
// record against before believing it.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace vesk::store::detail {

struct FileStamp {
    std::string file;  ///< "new/<name>" or "cur/<name>"
    std::uint64_t size = 0;
    std::uint64_t inode = 0;
    std::int64_t mtimeNs = 0;
    std::int64_t ctimeNs = 0;

    static FileStamp of(const struct stat& st, bool inNew, std::string_view fileName);
    /// True when `other` is the same content under a new name: a rename keeps the inode,
    /// size and modification time.
    bool sameContent(const FileStamp& other) const {
        return inode == other.inode && size == other.size && mtimeNs == other.mtimeNs;
    }
    /// The whole key: the same place and name, and the same file, untouched since.
    bool operator==(const FileStamp& other) const = default;
};

}  // namespace vesk::store::detail
