#include "sync/Merge.h"

#include <map>

#include "framework/MailHost.h"
#include "sync/Record.h"

namespace conduit {

namespace {

constexpr std::uint16_t kContentMask = 3u << MAILMSG_STATUS_CONTENT_SHIFT;
constexpr std::uint16_t kContentRead = 2u << MAILMSG_STATUS_CONTENT_SHIFT;

bool hasContent(const RecordFields& record) { return (record.status & kContentMask) == kContentRead; }

void refresh(HandheldMessage& message, const RecordFields& record) {
    RecordFields incoming = record;
    if (!hasContent(incoming) && hasContent(message.record)) {
        // A headers-only read says nothing about the body; keep what the handheld has.
        incoming.to = message.record.to;
        incoming.cc = message.record.cc;
        incoming.bcc = message.record.bcc;
        incoming.body = message.record.body;
        incoming.attachments = message.record.attachments;
        incoming.status = static_cast<std::uint16_t>((incoming.status & ~kContentMask) | kContentRead);
    }
    bool readSettled = !message.readChanged();
    bool prioritySettled = !message.priorityChanged();
    message.record = std::move(incoming);
    message.desktopRead = desktopReadOf(message.record);
    message.desktopPriority = desktopPriorityOf(message.record);
    if (readSettled) message.read = message.desktopRead;
    if (prioritySettled) message.priority = message.desktopPriority;
}

}  // namespace

MergeResult mergeDesktop(Handheld& handheld, const std::vector<RecordFields>& desktop,
                         bool otherMailbox) {
    MergeResult result;
    std::map<std::string, size_t> known;  // host identifier -> index in the old inbox
    if (!otherMailbox) {
        for (size_t i = 0; i < handheld.inbox.size(); ++i) {
            const std::string& id = handheld.inbox[i].record.hostMsgId;
            if (!id.empty()) known.emplace(id, i);
        }
    }
    std::vector<bool> kept(handheld.inbox.size(), false);
    std::vector<HandheldMessage> merged;
    merged.reserve(desktop.size());
    for (const RecordFields& record : desktop) {
        auto it = record.hostMsgId.empty() ? known.end() : known.find(record.hostMsgId);
        if (it != known.end() && !kept[it->second]) {
            HandheldMessage message = handheld.inbox[it->second];
            kept[it->second] = true;
            refresh(message, record);
            merged.push_back(std::move(message));
            ++result.updated;
            continue;
        }
        HandheldMessage message;
        message.id = handheld.nextId++;
        message.record = record;
        message.read = message.desktopRead = desktopReadOf(record);
        message.priority = message.desktopPriority = desktopPriorityOf(record);
        merged.push_back(std::move(message));
        ++result.received;
    }
    for (size_t i = 0; i < handheld.inbox.size(); ++i) {
        if (kept[i]) continue;
        ++result.forgotten;
        if (handheld.inbox[i].hasPendingChange()) ++result.changesDropped;
    }
    handheld.inbox = std::move(merged);
    return result;
}

}  // namespace conduit
