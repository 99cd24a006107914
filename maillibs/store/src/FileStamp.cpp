#include "FileStamp.h"

#include <ctime>

namespace vesk::store::detail {
namespace {

std::int64_t nanoseconds(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

}  // namespace

FileStamp FileStamp::of(const struct stat& st, bool inNew, std::string_view fileName) {
    FileStamp s;
    s.file = inNew ? "new/" : "cur/";
    s.file += fileName;
    s.size = static_cast<std::uint64_t>(st.st_size);
    s.inode = static_cast<std::uint64_t>(st.st_ino);
    s.mtimeNs = nanoseconds(st.st_mtim);
    s.ctimeNs = nanoseconds(st.st_ctim);
    return s;
}

}  // namespace vesk::store::detail
