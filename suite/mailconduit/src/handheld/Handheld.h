// The simulated handheld: the messages a person carries, as the conduit keeps them between
// synchronisations. Three folders: the inbox mirrors the desktop mailbox (each message keeps
// the host's identifier), the outbox holds messages written on the handheld and not yet sent,
// and the filing queue holds messages to be filed into the desktop store.
//
// Every text is Windows-1252, as it crosses the plug-in boundary; the file on disk holds UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace conduit {

/// Everything a MailMsg record carries, owned. Texts are Windows-1252 without NULs;
/// identifiers are opaque bytes.
struct RecordFields {
    std::string extraId1, hostMsgId, extraId2;
    std::uint16_t extraWord = 0;
    std::int32_t timeSent = 0;
    std::int32_t timeReceived = 0;
    std::uint32_t size = 0;
    std::uint32_t extraLong = 0;
    std::uint16_t status = 0x0400;      ///< a fresh record's default: normal priority
    std::uint32_t flags = 0x002A0000;   ///< a fresh record's default: normal priority
    std::string from, to, cc, bcc, extraText1, extraText2, subject, body, attachments;

    bool operator==(const RecordFields&) const = default;
};

enum class Folder { Inbox, Outbox, Filed };

/// "inbox", "outbox" or "filed".
const char* folderName(Folder folder);

/// Priorities as the mail host interface counts them.
enum Priority : int { kPriorityHigh = 0, kPriorityNormal = 1, kPriorityLow = 2 };

/// One message on the handheld.
struct HandheldMessage {
    std::uint64_t id = 0;  ///< the handheld's own number, unique and never reused
    /// Inbox: the record as the desktop gave it at the last sync. Outbox and filing queue: the
    /// message as written (or copied) on the handheld, without host identity.
    RecordFields record;

    // What the person set on the handheld.
    bool read = false;
    int priority = kPriorityNormal;
    bool deleted = false;         ///< inbox: to be deleted on the desktop at the next sync
    bool readReceipt = false;     ///< outbox and filing queue
    bool deliveryReport = false;  ///< outbox and filing queue

    // Inbox: the desktop's state as last known; a difference is a change still to carry.
    bool desktopRead = false;
    int desktopPriority = kPriorityNormal;

    /// Outbox and filing queue: an interrupted sync had handed this message to the plug-in
    /// and could not learn whether it went through. It is held until the person says
    /// (`handheld retry`), so it is never delivered twice behind anyone's back.
    bool unsure = false;

    /// Inbox, during a sync: the texts (to, cc, bcc, body, attachments) were left in the
    /// handheld's database and are empty here; `releasedTextsHash` is what they hash to.
    /// Whoever needs them reads them back (HandheldStore::restoreTexts).
    bool textsReleased = false;
    std::uint64_t releasedTextsHash = 0;

    bool readChanged() const { return read != desktopRead; }
    bool priorityChanged() const { return priority != desktopPriority; }
    /// True when the next sync has something to carry for this message.
    bool hasPendingChange() const { return deleted || readChanged() || priorityChanged(); }

    bool operator==(const HandheldMessage&) const = default;
};

/// The whole handheld.
struct Handheld {
    std::string plugin;        ///< short name of the plug-in whose mailbox the inbox mirrors
    std::uint64_t nextId = 1;  ///< the number the next new message gets
    std::string lastSync;      ///< identifier of the last sync whose outcome this state holds
    std::vector<HandheldMessage> inbox, outbox, filed;

    /// The message numbered `id` in any folder; null when there is none. `folder` (optional)
    /// receives its folder.
    HandheldMessage* find(std::uint64_t id, Folder* folder = nullptr);
    const HandheldMessage* find(std::uint64_t id, Folder* folder = nullptr) const;
    /// The messages of one folder.
    std::vector<HandheldMessage>& messages(Folder folder);
    const std::vector<HandheldMessage>& messages(Folder folder) const;
    /// Removes message `id` from whichever folder holds it; false when none does.
    bool erase(std::uint64_t id);

    bool operator==(const Handheld&) const = default;
};

/// A message written on the handheld.
struct Draft {
    std::string to, cc, bcc;  ///< recipient lists, entries separated by ',' or ';'
    std::string subject, body;
    int priority = kPriorityNormal;
    bool readReceipt = false;
    bool deliveryReport = false;
    bool fileOnly = false;  ///< goes to the filing queue instead of the outbox
};

// Edits a person makes on the handheld. Each returns an error text for the person, or
// nothing when the edit was made.

/// Writes a new message into the outbox (or the filing queue); `newId` receives its number.
std::optional<std::string> compose(Handheld& handheld, const Draft& draft, std::uint64_t& newId);
/// Marks an inbox message read or unread.
std::optional<std::string> markRead(Handheld& handheld, std::uint64_t id, bool read);
/// Sets the priority of an inbox message (carried to the desktop), or of a message not yet
/// sent or filed.
std::optional<std::string> setPriority(Handheld& handheld, std::uint64_t id, int priority);
/// Inbox: marks the message for deletion on the desktop. Outbox and filing queue: removes it,
/// since it never reached the desktop.
std::optional<std::string> deleteMessage(Handheld& handheld, std::uint64_t id);
/// Takes back a deletion not yet carried to the desktop.
std::optional<std::string> undeleteMessage(Handheld& handheld, std::uint64_t id);
/// Files a message: an inbox message is copied into the filing queue (the copy is a new
/// message for the desktop store); an outbox message moves there instead of being sent.
/// `newId` receives the number of the queued message.
std::optional<std::string> fileMessage(Handheld& handheld, std::uint64_t id, std::uint64_t& newId);
/// Releases a message an interrupted sync left unsure, so the next sync hands it over again.
std::optional<std::string> retryMessage(Handheld& handheld, std::uint64_t id);

/// "high", "normal" or "low"; nothing for another text.
std::optional<int> parsePriority(const std::string& text);
/// The word for a priority value.
const char* priorityName(int priority);

}  // namespace conduit
