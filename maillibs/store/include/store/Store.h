// The mail store: real mail on disk for the mail-library stand-ins. One interface; the
// Maildir++ implementation sits behind `openMaildir`, and another (IMAP, say) could join it.
//
// Folders are named by plain names: `kInbox` for the root, otherwise a Maildir++ subfolder
// name without its leading dot ("Trash", "Sent", "Deleted Items"). Messages are named by
// identifiers (the file name before ":2,") that stay the same across flag changes, moves and
// header rewrites. Every identifier and folder name from a caller is checked before it comes
// near a path. A store object is used from one thread at a time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/Model.h"
#include "store/Queue.h"
#include "store/Status.h"

namespace vesk::store {

/// One header field to set in `Store::rewriteHeaders`: every field of that name is removed,
/// then, unless `value` is empty, "name: value" is appended to the header. Name and value
/// are printable ASCII (a value may not hold CR or LF).
struct HeaderEdit {
    std::string name;
    std::string value;
};

class Store {
public:
    virtual ~Store() = default;

    /// The folder the store was opened on.
    virtual const std::string& root() const = 0;

    /// Every folder: `kInbox` first, then the subfolders sorted by name.
    virtual Result<std::vector<std::string>> folders() = 0;
    /// Creates folder `name` (mode 0700) unless it exists; Ok in both cases.
    /// InvalidArgument for a name `isValidFolderName` refuses.
    virtual Status createFolder(std::string_view name) = 0;

    /// The messages of `folder`, oldest delivery first, ties by identifier. Also refreshes
    /// the folder's index, so later look-ups by identifier or key cost O(1).
    /// NotFound when the folder does not exist.
    virtual Result<std::vector<MessageInfo>> list(std::string_view folder) = 0;
    /// The listing entry of message `id` of `folder`. InvalidArgument for a malformed `id`,
    /// NotFound when no message of that folder has it.
    virtual Result<MessageInfo> find(std::string_view folder, std::string_view id) = 0;
    /// As `find`, by the 64-bit key of a listing (MessageInfo::key).
    virtual Result<MessageInfo> findByKey(std::string_view folder, std::uint64_t key) = 0;

    /// Reads and converts message `id` of `folder` into the model (see Model.h).
    /// Errors as `find`, plus IoError and ParseError.
    virtual Result<Message> read(std::string_view folder, std::string_view id,
                                 ReadMode mode = ReadMode::Full) = 0;
    /// The message file's bytes, unchanged.
    virtual Result<std::string> readRaw(std::string_view folder, std::string_view id) = 0;
    /// The decoded bytes of attachment `index` (as listed in Message::attachments).
    /// NotFound when the message has no such attachment.
    virtual Result<std::string> attachment(std::string_view folder, std::string_view id,
                                           std::size_t index) = 0;

    /// Composes `draft` (UTF-8 on disk, quoted-printable where needed) and delivers it into
    /// `folder` with the given flag letters (into cur/ when there are any, else new/).
    /// Returns the new identifier. InvalidArgument for bad flags or a draft whose texts
    /// cannot be written; IoError when the disk refuses.
    virtual Result<std::string> deliver(std::string_view folder, const Draft& draft,
                                        std::string_view flags = "") = 0;
    /// Delivers `bytes` as they are (an RFC 5322 message) into `folder`, as `deliver` does.
    virtual Result<std::string> deliverRaw(std::string_view folder, std::string_view bytes,
                                           std::string_view flags = "") = 0;

    /// Adds the letters of `add`, then removes those of `remove` (each a set of flag letters
    /// 'A'-'Z' or 'a'-'z'). The identifier stays. A message in new/ moves to cur/.
    virtual Status setFlags(std::string_view folder, std::string_view id, std::string_view add,
                            std::string_view remove) = 0;
    /// Moves message `id` from `from` into `to` by one rename, keeping identifier and flags.
    /// Exists when `to` already holds that identifier; NotFound when `to` does not exist.
    virtual Status move(std::string_view from, std::string_view id, std::string_view to) = 0;
    /// Removes message `id` of `folder` for good.
    virtual Status remove(std::string_view folder, std::string_view id) = 0;
    /// Takes in the new mail of `folder`: every message in new/ moves to cur/, keeping its
    /// identifier (it has no flags yet). A message another program takes away meanwhile is
    /// skipped. Ok unless the folder cannot be read (NotFound, IoError) or a move fails for
    /// another reason (the rest are still moved; the first such failure is returned).
    /// The default sets no flag on every message, one by one; a store may do it in one pass.
    virtual Status pickUpNew(std::string_view folder);
    /// Rewrites the header of message `id` with `edits`, keeping the identifier, the flags
    /// and every other byte; the new file replaces the old in one rename.
    virtual Status rewriteHeaders(std::string_view folder, std::string_view id,
                                  const std::vector<HeaderEdit>& edits) = 0;
    /// Sets X-Priority and Importance for `priority` (both removed for Normal), and removes
    /// any Priority header, through `rewriteHeaders`.
    Status setPriority(std::string_view folder, std::string_view id, Priority priority);

    /// Composes `draft` and queues it in `outbox` (created when missing). Bcc recipients are
    /// kept in the queued file and dropped from the header only when it is sent.
    /// Returns the queued message's identifier.
    virtual Result<std::string> enqueue(const Draft& draft, std::string_view outbox = kOutbox) = 0;
    /// Hands every queued message of `options.outbox` to `options.command`, oldest first.
    /// Every outcome is returned and appended to the store's queue log. The result is
    /// a failure only when the queue cannot be read at all (NotFound: no outbox).
    /// Every kind of store runs the one queue, with its log below `root()`.
    Result<std::vector<SendRecord>> flush(const SendOptions& options);
    /// Every outcome recorded so far, oldest first (empty when nothing was ever flushed).
    Result<std::vector<SendRecord>> queueLog();
};

/// How `openMaildir` treats its root.
struct OpenOptions {
    bool create = false;  ///< create the root (cur/, new/, tmp/, mode 0700) when missing
};

/// Opens the Maildir++ store at `root`. On opening, files in any tmp/ older than 36 hours
/// are removed (what a crashed delivery may leave). NotFound when `root` is no Maildir and
/// `options.create` is false; IoError when it cannot be created or read.
/// The caller owns the store; destroying it releases everything.
Result<std::unique_ptr<Store>> openMaildir(const std::string& root, OpenOptions options = {});

/// True when `id` could be a message identifier: 1-255 bytes, no '/', ':' or NUL, not
/// starting with '.'. (Whether it names a message is for `Store::find` to say.)
bool isValidId(std::string_view id);
/// True when `name` could name a folder: `kInbox`, or 1-200 printable ASCII characters
/// without '/', not starting or ending with '.', without "..", and not "INBOX" in other case.
bool isValidFolderName(std::string_view name);
/// The stable key of identifier `id` (as in MessageInfo::key): a non-zero 64-bit hash.
std::uint64_t keyOfId(std::string_view id);

}  // namespace vesk::store

namespace vesk::store {

/// Where an IMAP mailbox is and how to reach it (see `openImap`).
struct ImapOptions {
    /// "imap://USER@HOST:PORT" (STARTTLS when the server offers it; without TLS only to a
    /// loopback address) or "imaps://USER@HOST:PORT" (TLS from the first byte). The port
    /// may be left out (143, 993).
    std::string url;
    std::string password;
    /// A PEM file of certificates to trust besides the system's (a private server's own).
    std::string caFile;
    /// A local folder for what the server does not keep: the parse cache, the outbound
    /// queue's in-flight marks, lock and log, and the identifiers of rewritten or moved
    /// messages. Created (mode 0700) when missing. `Store::root` names it.
    std::string stateDir;
    int timeoutSeconds = 60;  ///< a command the server has not answered by then fails
};

/// Opens the IMAP mailbox `options.url` as a store: the same interface as `openMaildir`,
/// folders as mailboxes by their plain names (created when first delivered into), messages
/// named "UIDVALIDITY.UID" (a rewritten or moved message keeps the name it had). Connects,
/// checks the server's certificate (system CAs plus `caFile`, the host name or address) and
/// logs in before returning. IoError when the server cannot be reached, refuses the
/// certificate check or the login; InvalidArgument for a malformed URL or a plain
/// connection to a host that is not loopback. Every failure names the server and the
/// reason in the problem log.
Result<std::unique_ptr<Store>> openImap(const ImapOptions& options);

}  // namespace vesk::store
