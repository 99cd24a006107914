#include "sync/Merge.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "framework/MailHost.h"
#include "sync/Record.h"

namespace conduit {

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);
constexpr std::size_t kForgotten = kNone - 1;  // counted as gone before `finish`

std::uint64_t hashOf(const std::string& id) { return std::hash<std::string_view>{}(id); }

constexpr std::uint16_t kContentMask = 3u << MAILMSG_STATUS_CONTENT_SHIFT;
constexpr std::uint16_t kContentRead = 2u << MAILMSG_STATUS_CONTENT_SHIFT;

bool hasContent(const RecordFields& record) { return (record.status & kContentMask) == kContentRead; }

void refresh(HandheldMessage& message, RecordFields&& record) {
    RecordFields incoming = std::move(record);
    bool keepTexts = !hasContent(incoming) && hasContent(message.record);
    if (keepTexts && !message.textsReleased) {
        // A headers-only read says nothing about the body; keep what the handheld has.
        incoming.to = std::move(message.record.to);
        incoming.cc = std::move(message.record.cc);
        incoming.bcc = std::move(message.record.bcc);
        incoming.body = std::move(message.record.body);
        incoming.attachments = std::move(message.record.attachments);
    }
    if (keepTexts) incoming.status = static_cast<std::uint16_t>((incoming.status & ~kContentMask) | kContentRead);
    // Otherwise the desktop's texts are the message's from now on, also for one whose own
    // were left in the database.
    if (!keepTexts) message.textsReleased = false;
    bool readSettled = !message.readChanged();
    bool prioritySettled = !message.priorityChanged();
    message.record = std::move(incoming);
    message.desktopRead = desktopReadOf(message.record);
    message.desktopPriority = desktopPriorityOf(message.record);
    if (readSettled) message.read = message.desktopRead;
    if (prioritySettled) message.priority = message.desktopPriority;
}

}  // namespace

MergeResult mergeDesktop(Handheld& handheld, const std::vector<RecordFields>& desktop, bool otherMailbox) {
    InboxMerge merge(handheld, otherMailbox);
    for (const RecordFields& record : desktop) merge.put(record);
    return merge.finish();
}

InboxMerge::InboxMerge(Handheld& handheld, bool otherMailbox, Sink sink, std::size_t expected)
    : m_handheld(handheld), m_sink(std::move(sink)), m_oldSize(handheld.inbox.size()),
      m_takenAt(m_oldSize, kNone), m_asideAt(m_oldSize, kNone) {
    if (!otherMailbox) {
        m_known.reserve(m_oldSize);
        for (size_t i = 0; i < m_oldSize; ++i) {
            const std::string& id = handheld.inbox[i].record.hostMsgId;
            if (!id.empty()) m_known.emplace_back(hashOf(id), i);
        }
        std::sort(m_known.begin(), m_known.end());
    }
    if (expected > m_oldSize) handheld.inbox.reserve(expected);
}

std::optional<std::size_t> InboxMerge::known(const std::string& hostMsgId) const {
    if (hostMsgId.empty()) return std::nullopt;
    const std::uint64_t hash = hashOf(hostMsgId);
    auto at = std::lower_bound(m_known.begin(), m_known.end(), std::make_pair(hash, std::size_t{0}));
    for (; at != m_known.end() && at->first == hash; ++at) {
        const std::size_t i = at->second;
        if (m_takenAt[i] == kForgotten) continue;
        // A message taken already is in its new place, identifier and all.
        const HandheldMessage& candidate = m_takenAt[i] != kNone ? m_handheld.inbox[m_takenAt[i]] : waiting(i);
        if (candidate.record.hostMsgId == hostMsgId) return i;
    }
    return std::nullopt;
}

const HandheldMessage& InboxMerge::waiting(std::size_t i) const {
    return m_asideAt[i] != kNone ? m_aside[m_asideAt[i]] : m_handheld.inbox[i];
}

HandheldMessage& InboxMerge::waiting(std::size_t i) {
    return const_cast<HandheldMessage&>(std::as_const(*this).waiting(i));
}

void InboxMerge::forget(const HandheldMessage& message) {
    ++m_result.forgotten;
    if (message.hasPendingChange()) ++m_result.changesDropped;
}

void InboxMerge::clear(std::size_t at) {
    // Beyond the old inbox there is nothing; a place whose message was taken or set aside
    // holds only what the move left.
    if (at >= m_oldSize || m_takenAt[at] != kNone || m_asideAt[at] != kNone) return;
    if (m_known.empty()) {
        forget(m_handheld.inbox[at]);  // nothing will ask for it
        m_takenAt[at] = kForgotten;
        return;
    }
    // A place aside is used again once its message was taken: a message new to the handheld
    // early in the listing moves every later one through here, and the places aside stay as
    // few as the messages waiting at the same time.
    if (m_freeAside.empty()) {
        m_asideAt[at] = m_aside.size();
        m_aside.push_back(std::move(m_handheld.inbox[at]));
    } else {
        m_asideAt[at] = m_freeAside.back();
        m_freeAside.pop_back();
        m_aside[m_asideAt[at]] = std::move(m_handheld.inbox[at]);
    }
}

HandheldMessage& InboxMerge::place(HandheldMessage&& message) {
    std::vector<HandheldMessage>& inbox = m_handheld.inbox;
    if (m_written < inbox.size()) {
        inbox[m_written] = std::move(message);
    } else {
        inbox.push_back(std::move(message));
    }
    return inbox[m_written];
}

std::optional<std::string> InboxMerge::put(RecordFields record) {
    std::optional<std::size_t> old = known(record.hostMsgId);
    const std::size_t position = m_written;
    HandheldMessage* merged = nullptr;
    if (old && m_takenAt[*old] == kNone) {
        if (*old == position && m_asideAt[*old] == kNone) {
            merged = &m_handheld.inbox[position];  // where it stood
        } else {
            // Taken out of the old inbox, not copied: only what `finish` counts stays behind.
            HandheldMessage moving = std::move(waiting(*old));
            if (m_asideAt[*old] != kNone) {
                m_freeAside.push_back(m_asideAt[*old]);
                m_asideAt[*old] = kNone;
            }
            clear(position);
            merged = &place(std::move(moving));
        }
        m_takenAt[*old] = position;
        refresh(*merged, std::move(record));
        ++m_result.updated;
    } else {
        HandheldMessage message;
        message.id = m_handheld.nextId++;
        message.read = message.desktopRead = desktopReadOf(record);
        message.priority = message.desktopPriority = desktopPriorityOf(record);
        message.record = std::move(record);
        clear(position);
        merged = &place(std::move(message));
        ++m_result.received;
    }
    ++m_written;
    if (!m_sink) return std::nullopt;
    return m_sink(*merged, static_cast<std::int64_t>(position));
}

MergeResult InboxMerge::finish() {
    for (size_t i = 0; i < m_oldSize; ++i) {
        if (m_takenAt[i] == kNone) forget(waiting(i));
    }
    std::vector<HandheldMessage>& inbox = m_handheld.inbox;
    inbox.erase(inbox.begin() + static_cast<std::ptrdiff_t>(m_written), inbox.end());
    m_aside = {};
    m_freeAside = {};
    return m_result;
}

}  // namespace conduit
