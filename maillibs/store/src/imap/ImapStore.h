// The IMAP implementation of the Store interface: a mailbox on a server, listed and read in
// batches, the content of each UID parsed once into the store's parse cache (kept in the
// local state folder, since a UID's content never changes), and the outbound queue the same
// one the Maildir store runs, with the queued mail in the server's outbox mailbox.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "IdMap.h"
#include "ImapFetch.h"
#include "ImapSession.h"
#include "ParseCache.h"
#include "store/Store.h"

namespace vesk::store::detail {

class ImapStore final : public Store {
public:
    ImapStore(ImapUrl url, const ImapOptions& options);

    /// Connects and logs in (see openImap).
    Status open() { return m_session.ensure(); }

    const std::string& root() const override { return m_state; }
    Result<std::vector<std::string>> folders() override;
    Status createFolder(std::string_view name) override;
    Result<std::vector<MessageInfo>> list(std::string_view folder) override;
    Result<MessageInfo> find(std::string_view folder, std::string_view id) override;
    Result<MessageInfo> findByKey(std::string_view folder, std::uint64_t key) override;
    Result<Message> read(std::string_view folder, std::string_view id, ReadMode mode) override;
    Result<std::string> readRaw(std::string_view folder, std::string_view id) override;
    Result<std::string> attachment(std::string_view folder, std::string_view id, std::size_t index) override;
    Result<std::string> deliver(std::string_view folder, const Draft& draft, std::string_view flags) override;
    Result<std::string> deliverRaw(std::string_view folder, std::string_view bytes, std::string_view flags) override;
    Status setFlags(std::string_view folder, std::string_view id, std::string_view add,
                    std::string_view remove) override;
    Status move(std::string_view from, std::string_view id, std::string_view to) override;
    Status remove(std::string_view folder, std::string_view id) override;
    Status rewriteHeaders(std::string_view folder, std::string_view id,
                          const std::vector<HeaderEdit>& edits) override;
    Result<std::string> enqueue(const Draft& draft, std::string_view outbox) override;

private:
    // What the last listing of a mailbox saw.
    struct Box {
        Selection selection;
        bool listed = false;
        std::map<std::uint32_t, MessageInfo> byUid;
        std::map<std::uint64_t, std::uint32_t> byKey;
        std::vector<std::uint32_t> order;  // UIDs in listing order (the order reads come in)
        std::uint64_t keptModSeq = 0;      // the mod-sequence of the listing in the state folder
    };
    struct Located {
        std::string folder;
        std::uint32_t validity = 0;
        std::uint32_t uid = 0;
        MessageInfo info;
    };

    Result<std::vector<MessageInfo>> listImpl(const std::string& folder);
    Status relist(const std::string& folder, Box& box, const Selection& now);
    /// Fills a box never listed by this store from the listing kept in the state folder.
    void loadKept(const std::string& folder, Box& box, const Selection& now);
    void keep(const std::string& folder, Box& box);
    void put(const std::string& folder, Box& box, const Fetched& f);
    /// The message `id` of `folder` as the server has it now; the folder is listed first
    /// when it never was, and a UID the listing did not see is asked for.
    Result<Located> locate(const std::string& folder, std::string_view id);
    /// The bytes of `loc`, from the read-ahead or fetched with up to a batch of the messages
    /// that follow it in the listing.
    Result<std::string> content(const Located& loc, bool readAhead);
    Result<Message> readImpl(const Located& loc, ReadMode mode);
    /// APPENDs `bytes` to `folder` (created when missing) and returns the new UID and the
    /// mailbox's UIDVALIDITY.
    Result<std::pair<std::uint32_t, std::uint32_t>> append(const std::string& folder, std::string_view bytes,
                                                           std::string_view flags, std::time_t date);
    /// Takes UID `uid` out of the selected `folder`: \Deleted, then UID EXPUNGE of it alone
    /// (a server without UIDPLUS keeps it marked; the store no longer lists it).
    Status expungeOne(const std::string& folder, std::uint32_t uid);
    /// The UID a message copied or appended into `folder` got, when the server did not say:
    /// the one new message at or above `uidNext`. 0 when that cannot be told.
    std::uint32_t newUidSince(const std::string& folder, std::uint32_t uidNext);
    /// STATUS of `folder`: UIDVALIDITY, UIDNEXT, the number of messages and (CONDSTORE) the
    /// highest mod-sequence. NotFound when there is no such mailbox.
    Result<Selection> status(const std::string& folder);
    /// What `folder` holds now, for a listing: it is selected again, even when it is the
    /// selected one. (STATUS of the selected mailbox would be cheaper, but a server may
    /// answer it from the mailbox it has open, and so miss that the mailbox was deleted and
    /// created again under the same name.)
    Result<Selection> current(const std::string& folder);
    Result<bool> exists(const std::string& folder);
    void forgetMessage(const std::string& folder, std::uint32_t uid, std::string_view id);
    FileStamp stampOf(const Located& loc) const;

    /// Runs `f`; when it failed because the connection broke, once more on a new one.
    template <class F>
    auto retried(F&& f) -> decltype(f());

    ImapSession m_session;
    std::string m_state;
    ParseCache m_cache;
    IdMap m_ids;
    std::map<std::string, Box, std::less<>> m_boxes;
    std::set<std::string> m_pruned;
    // Messages fetched ahead of their read: (mailbox, UIDVALIDITY) and UID -> bytes.
    std::pair<std::string, std::uint32_t> m_aheadOf;
    std::map<std::uint32_t, std::string> m_ahead;
};

}  // namespace vesk::store::detail
