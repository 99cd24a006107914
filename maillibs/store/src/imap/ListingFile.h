// The last listing of a mailbox kept in the local state folder, so that a store opened
// later (the next sync) re-lists an unchanged mailbox with one STATUS instead of fetching
// every message's flags again. Believed only with CONDSTORE: the mailbox's UIDVALIDITY and
// highest mod-sequence, kept with the listing, say whether anything changed since, and a
// fetch of what changed since that mod-sequence brings the rest up to date.
//
// "<state>/vesk-imap-list-<hex of the mailbox name>": a first line
// "<uidvalidity> <highestmodseq> <uidnext>", then "<uid> <flags or -> <internal date> <size>"
// per message. A file that does not read completely is no file.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace vesk::store::detail {

struct ListedMessage {
    std::uint32_t uid = 0;
    std::string flags;
    std::time_t date = 0;
    std::uint64_t size = 0;
};

struct Listing {
    std::uint32_t validity = 0;
    std::uint64_t highestModSeq = 0;
    std::uint32_t uidNext = 0;
    std::vector<ListedMessage> messages;
};

/// Reads the kept listing of `mailbox`; false when there is none that reads completely.
bool loadListing(const std::string& stateDir, const std::string& mailbox, Listing& out);
/// Keeps `listing` of `mailbox` (written aside, then renamed over). Failure only costs the
/// next store a full listing, so it is not reported.
void saveListing(const std::string& stateDir, const std::string& mailbox, const Listing& listing);

}  // namespace vesk::store::detail
