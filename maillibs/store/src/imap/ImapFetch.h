// What the store asks of messages on the server and how it reads the answers: the listing's
// attributes and whole messages, for many UIDs in one command; flags as Maildir letters.
#pragma once

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

struct mailimap;
struct mailimap_flag_list;
struct mailimap_set;

namespace vesk::store::detail {

/// One message of a FETCH answer; each part is there when asked for and sent.
struct Fetched {
    std::uint32_t uid = 0;
    bool hasFlags = false;
    std::string flags;  ///< Maildir letters, sorted
    std::time_t internalDate = 0;
    std::uint64_t size = 0;
    bool hasBody = false;
    std::string body;
};

enum class FetchWhat {
    Listing,  ///< UID FLAGS INTERNALDATE RFC822.SIZE
    Body,     ///< UID BODY.PEEK[]
};

/// UID FETCH of `uids` (an empty list: every message, "1:*"), `what`; with `changedSince`
/// non-zero only messages whose mod-sequence is higher (CONDSTORE). Calls `each` per
/// message. Returns the library's result code (MAILIMAP_NO_ERROR on success).
int uidFetch(mailimap* imap, const std::vector<std::uint32_t>& uids, FetchWhat what, std::uint64_t changedSince,
             const std::function<void(Fetched&&)>& each);

/// As `uidFetch`, for every message from UID `first` on ("first:*"). The server also
/// answers with the last message when `first` is above every UID: callers check.
int uidFetchFrom(mailimap* imap, std::uint32_t first, FetchWhat what, const std::function<void(Fetched&&)>& each);

/// The IMAP system flags (and $Forwarded) for Maildir `letters`; letters without an IMAP
/// counterpart are left out. The caller owns the list.
mailimap_flag_list* imapFlags(std::string_view letters);
/// The Maildir letters that have IMAP counterparts, of `letters`.
std::string mappedLetters(std::string_view letters);

/// UID STORE +FLAGS.SILENT (`add`) or -FLAGS.SILENT of `letters` on `uid`. Ok when there is
/// nothing to store. Returns the library's result code.
int uidStoreFlags(mailimap* imap, std::uint32_t uid, std::string_view letters, bool add);

/// A set of UIDs from a list; the caller owns it.
mailimap_set* uidSet(const std::vector<std::uint32_t>& uids);
/// The first number of `set` (0 when it is empty or null).
std::uint32_t firstOf(const mailimap_set* set);

}  // namespace vesk::store::detail
