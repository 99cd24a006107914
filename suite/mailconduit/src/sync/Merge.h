// Bringing the desktop mailbox into the handheld's inbox.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "handheld/Handheld.h"

namespace conduit {

/// What a merge did (or would do).
struct MergeResult {
    int received = 0;   ///< desktop messages the handheld did not have
    int updated = 0;    ///< known messages refreshed from the desktop
    int forgotten = 0;  ///< handheld messages gone from the desktop, dropped
    int changesDropped = 0;  ///< of the forgotten, those with a change still to carry
};

/// Merges the records of one GetAllMsgs into the inbox, in the desktop's order:
/// - a record whose host identifier the inbox knows refreshes that message; the handheld's
///   read state and priority follow the desktop unless the person changed them on the
///   handheld (the change is still to be carried); a headers-only record keeps the body,
///   recipients and attachment list the handheld already has;
/// - a record the inbox does not know becomes a new message;
/// - an inbox message that no record names is forgotten.
/// `otherMailbox` says the inbox mirrors another plug-in's mailbox: its identifiers mean
/// nothing here, so every old message is forgotten and every record is new.
/// (The whole of InboxMerge in one call.)
MergeResult mergeDesktop(Handheld& handheld, const std::vector<RecordFields>& desktop,
                         bool otherMailbox);

/// The merge of mergeDesktop taking the records one at a time, so that no second copy of the
/// mailbox is built: each merged message goes to the sink as soon as it is ready (a store
/// writes it and may release its texts), and `finish` says what the merge did. The merged
/// inbox is built in the handheld's own inbox as it goes: the n-th record's message goes
/// into place n, and an old message still to be matched that stood there waits aside. A
/// mailbox whose order did not change moves nothing. Until `finish` the handheld's inbox is
/// being taken apart: use the handheld only after it.
class InboxMerge {
public:
    /// Receives the merged message at `position` of the new inbox; an error text stops the merge.
    using Sink = std::function<std::optional<std::string>(HandheldMessage& message, std::int64_t position)>;

    /// `expected`: how many records are coming, if known, so the new inbox is made once.
    InboxMerge(Handheld& handheld, bool otherMailbox, Sink sink = {}, std::size_t expected = 0);
    /// Merges the next record of the desktop's listing. An error comes from the sink; the
    /// merge is then to be given up.
    std::optional<std::string> put(RecordFields record);
    /// Ends the inbox after the last record and says what the merge did.
    MergeResult finish();

private:
    /// The old inbox's message with `hostMsgId`: the first one with it, taken or not.
    std::optional<std::size_t> known(const std::string& hostMsgId) const;
    /// Old message `i`, not taken yet: in its place or waiting aside.
    const HandheldMessage& waiting(std::size_t i) const;
    HandheldMessage& waiting(std::size_t i);
    /// Makes place `at` of the inbox free for the next merged message.
    void clear(std::size_t at);
    /// Counts old message `i` as gone from the desktop.
    void forget(const HandheldMessage& message);
    /// Puts `message` at the next place of the inbox.
    HandheldMessage& place(HandheldMessage&& message);

    Handheld& m_handheld;
    Sink m_sink;
    std::size_t m_oldSize;
    std::size_t m_written = 0;  // places of the inbox the merged messages fill so far
    // (hash of the host identifier, index in the old inbox), sorted: a hash table of copied
    // identifiers cost a hundred bytes and two allocations a message.
    std::vector<std::pair<std::uint64_t, std::size_t>> m_known;
    std::vector<std::size_t> m_takenAt;  // per old message: its place in the merged inbox, once taken
    std::vector<std::size_t> m_asideAt;  // per old message: its index in m_aside while it waits there
    std::vector<HandheldMessage> m_aside;
    std::vector<std::size_t> m_freeAside;  // places in m_aside whose message was taken
    MergeResult m_result;
};

}  // namespace conduit
