#include "sync/Merge.h"

#include <algorithm>
#include <string_view>

#include "framework/MailHost.h"
#include "sync/Record.h"

namespace conduit {

namespace {

constexpr std::size_t kNotTaken = static_cast<std::size_t>(-1);

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
    : m_handheld(handheld), m_sink(std::move(sink)), m_takenAt(handheld.inbox.size(), kNotTaken) {
    if (!otherMailbox) {
        m_known.reserve(handheld.inbox.size());
        for (size_t i = 0; i < handheld.inbox.size(); ++i) {
            const std::string& id = handheld.inbox[i].record.hostMsgId;
            if (!id.empty()) m_known.emplace_back(hashOf(id), i);
        }
        std::sort(m_known.begin(), m_known.end());
    }
    m_merged.reserve(expected ? expected : handheld.inbox.size());
}

std::optional<std::size_t> InboxMerge::known(const std::string& hostMsgId) const {
    if (hostMsgId.empty()) return std::nullopt;
    const std::uint64_t hash = hashOf(hostMsgId);
    auto at = std::lower_bound(m_known.begin(), m_known.end(), std::make_pair(hash, std::size_t{0}));
    for (; at != m_known.end() && at->first == hash; ++at) {
        // A message taken already was moved into the merged inbox, identifier and all.
        const std::size_t taken = m_takenAt[at->second];
        const HandheldMessage& candidate = taken == kNotTaken ? m_handheld.inbox[at->second] : m_merged[taken];
        if (candidate.record.hostMsgId == hostMsgId) return at->second;
    }
    return std::nullopt;
}

std::optional<std::string> InboxMerge::put(RecordFields record) {
    std::optional<std::size_t> old = known(record.hostMsgId);
    if (old && m_takenAt[*old] == kNotTaken) {
        // Taken out of the old inbox, not copied: only what `finish` counts stays behind.
        m_takenAt[*old] = m_merged.size();
        m_merged.push_back(std::move(m_handheld.inbox[*old]));
        refresh(m_merged.back(), std::move(record));
        ++m_result.updated;
    } else {
        HandheldMessage message;
        message.id = m_handheld.nextId++;
        message.read = message.desktopRead = desktopReadOf(record);
        message.priority = message.desktopPriority = desktopPriorityOf(record);
        message.record = std::move(record);
        m_merged.push_back(std::move(message));
        ++m_result.received;
    }
    if (!m_sink) return std::nullopt;
    return m_sink(m_merged.back(), static_cast<std::int64_t>(m_merged.size() - 1));
}

MergeResult InboxMerge::finish() {
    for (size_t i = 0; i < m_handheld.inbox.size(); ++i) {
        if (m_takenAt[i] != kNotTaken) continue;
        ++m_result.forgotten;
        if (m_handheld.inbox[i].hasPendingChange()) ++m_result.changesDropped;
    }
    m_handheld.inbox = std::move(m_merged);
    m_merged = {};
    return m_result;
}

}  // namespace conduit
