// The message model the store hands out and takes in. Every text in it is Windows-1252;
// multi-line texts (bodies) end their lines with CR LF. Characters Windows-1252 lacks arrive
// as '?', one per character.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

namespace vesk::store {

/// Maildir flag letters. A message's flags are a string of such letters, sorted, each once.
inline constexpr char kFlagDraft = 'D';
inline constexpr char kFlagFlagged = 'F';
inline constexpr char kFlagPassed = 'P';
inline constexpr char kFlagReplied = 'R';
inline constexpr char kFlagSeen = 'S';      ///< the message has been read
inline constexpr char kFlagTrashed = 'T';

/// The folder at the root of a store (the inbox); every other name is a subfolder.
inline constexpr const char* kInbox = "INBOX";
/// Default name of the folder that holds queued outbound mail.
inline constexpr const char* kOutbox = "Outbox";

/// One mailbox: the display name (may be empty) and the address (may be empty).
struct Address {
    std::string name;
    std::string address;
    bool operator==(const Address&) const = default;
};

/// Priority as the plug-ins count it: 0 high, 1 normal, 2 low.
enum class Priority { High = 0, Normal = 1, Low = 2 };

/// One message of a folder as a listing sees it, without opening the file.
struct MessageInfo {
    std::string id;          ///< the file name before ":2,": stable across flags, moves, rewrites
    std::uint64_t key = 0;   ///< a stable non-zero 64-bit key derived from `id` (see Store::findByKey)
    std::string flags;       ///< sorted flag letters, e.g. "RS"
    std::uint64_t size = 0;  ///< bytes of the message file
    std::time_t delivered = 0;  ///< delivery time from the file name, else the file's time
    std::time_t modified = 0;   ///< the file's modification time
    bool seen() const { return flags.find(kFlagSeen) != std::string::npos; }
};

/// An attachment as the message names it. The bytes are read on demand (Store::attachment).
struct Attachment {
    std::string name;         ///< decoded file name (RFC 2047/2231), empty when the part has none
    std::string contentType;  ///< lower-case "type/subtype"
};

/// How much of a message `Store::read` converts.
enum class ReadMode {
    Full,     ///< everything, including the body text
    Headers,  ///< every field but `body` (left empty); attachments are still listed
};

/// A message read from a folder.
struct Message {
    MessageInfo info;
    Address from;
    std::vector<Address> to, cc, bcc;
    std::string subject;
    std::time_t sent = 0;      ///< the Date header; 0 when missing or unreadable
    std::time_t received = 0;  ///< top Received header, else delivery time, else file time
    Priority priority = Priority::Normal;  ///< X-Priority, else Importance, else Priority
    bool read = false;                  ///< the S flag
    bool readReceipt = false;           ///< Disposition-Notification-To is present
    bool deliveryReport = false;        ///< Return-Receipt-To is present
    std::string messageId;              ///< Message-ID without angle brackets, may be empty
    std::string body;                   ///< plain text, CR LF lines (empty in ReadMode::Headers)
    std::vector<Attachment> attachments;  ///< in MIME order; index = Store::attachment's index
};

/// A message to compose. Texts are Windows-1252; the body's lines may end in CR LF or LF.
struct Draft {
    Address from;
    std::vector<Address> to, cc, bcc;  ///< Bcc never reaches the headers a recipient sees
    std::string subject;
    std::string body;
    Priority priority = Priority::Normal;  ///< High/Low write X-Priority and Importance
    bool readReceipt = false;     ///< writes Disposition-Notification-To: <from>
    bool deliveryReport = false;  ///< writes Return-Receipt-To: <from>
    std::time_t date = 0;         ///< the Date header; 0 means now
    std::string messageId;        ///< without angle brackets; empty means generate one
};

}  // namespace vesk::store
