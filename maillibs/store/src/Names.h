// Maildir file names: "<id>" in new/, "<id>:2,<flags>" in cur/. The identifier is what the
// store hands out; the part after ':' is the info (flags) that changes under it.
#pragma once

#include <ctime>
#include <string>
#include <string_view>

namespace vesk::store::detail {

/// A file name split at its first ':'. `flags` holds the letters after ":2," (empty for any
/// other info); `info` is everything after the ':' (empty when there is none).
struct SplitName {
    std::string_view id;
    std::string_view info;
    std::string_view flags;
};
SplitName splitFileName(std::string_view fileName);

/// The file name for `id` carrying `flags` in cur/ ("<id>:2,<flags>").
std::string curName(std::string_view id, std::string_view flags);

/// A fresh unique identifier "<sec>.M<usec>P<pid>Q<n>R<random>.<host>" for a delivery at
/// `sec`/`usec`. The host name's '/' and ':' are written as \057 and \072.
std::string uniqueId(std::time_t sec, long usec);

/// Reads the delivery time from an identifier of the form "<sec>.M<usec>..." or "<sec>...";
/// false when the name does not start with one.
bool deliveryTimeOf(std::string_view id, std::time_t& sec, long& usec);

}  // namespace vesk::store::detail
