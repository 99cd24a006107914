#include "handheld/Handheld.h"

#include <algorithm>
#include <ctime>

namespace conduit {

namespace {

std::string notFound(std::uint64_t id) {
    return "no message #" + std::to_string(id) + " on the handheld";
}

}  // namespace

const char* folderName(Folder folder) {
    switch (folder) {
        case Folder::Inbox: return "inbox";
        case Folder::Outbox: return "outbox";
        case Folder::Filed: return "filed";
    }
    return "?";
}

std::vector<HandheldMessage>& Handheld::messages(Folder folder) {
    switch (folder) {
        case Folder::Outbox: return outbox;
        case Folder::Filed: return filed;
        case Folder::Inbox: break;
    }
    return inbox;
}

const std::vector<HandheldMessage>& Handheld::messages(Folder folder) const {
    return const_cast<Handheld*>(this)->messages(folder);
}

HandheldMessage* Handheld::find(std::uint64_t id, Folder* folder) {
    for (Folder f : {Folder::Inbox, Folder::Outbox, Folder::Filed}) {
        for (HandheldMessage& message : messages(f)) {
            if (message.id == id) {
                if (folder) *folder = f;
                return &message;
            }
        }
    }
    return nullptr;
}

const HandheldMessage* Handheld::find(std::uint64_t id, Folder* folder) const {
    return const_cast<Handheld*>(this)->find(id, folder);
}

bool Handheld::erase(std::uint64_t id) {
    for (Folder f : {Folder::Inbox, Folder::Outbox, Folder::Filed}) {
        std::vector<HandheldMessage>& list = messages(f);
        auto it = std::find_if(list.begin(), list.end(),
                               [id](const HandheldMessage& m) { return m.id == id; });
        if (it != list.end()) {
            list.erase(it);
            return true;
        }
    }
    return false;
}

std::optional<std::string> compose(Handheld& handheld, const Draft& draft, std::uint64_t& newId) {
    if (draft.to.find_first_not_of(" ,;") == std::string::npos &&
        draft.cc.find_first_not_of(" ,;") == std::string::npos &&
        draft.bcc.find_first_not_of(" ,;") == std::string::npos && !draft.fileOnly) {
        return std::string("a message to send needs at least one recipient");
    }
    if (draft.priority < kPriorityHigh || draft.priority > kPriorityLow) {
        return std::string("priority must be high, normal or low");
    }
    HandheldMessage message;
    message.id = handheld.nextId++;
    message.record.to = draft.to;
    message.record.cc = draft.cc;
    message.record.bcc = draft.bcc;
    message.record.subject = draft.subject;
    message.record.body = draft.body;
    message.record.size = static_cast<std::uint32_t>(draft.body.size());
    message.record.timeSent = static_cast<std::int32_t>(std::time(nullptr));
    message.priority = draft.priority;
    message.desktopPriority = draft.priority;
    message.readReceipt = draft.readReceipt;
    message.deliveryReport = draft.deliveryReport;
    // A message the person wrote counts as read by them.
    message.read = message.desktopRead = true;
    (draft.fileOnly ? handheld.filed : handheld.outbox).push_back(std::move(message));
    newId = handheld.nextId - 1;
    return std::nullopt;
}

std::optional<std::string> markRead(Handheld& handheld, std::uint64_t id, bool read) {
    Folder folder;
    HandheldMessage* message = handheld.find(id, &folder);
    if (!message) return notFound(id);
    if (folder != Folder::Inbox) {
        return "#" + std::to_string(id) + " is in the " + std::string(folder == Folder::Outbox ? "outbox" : "filing queue") +
               "; only inbox messages have a read state";
    }
    message->read = read;
    return std::nullopt;
}

std::optional<std::string> setPriority(Handheld& handheld, std::uint64_t id, int priority) {
    if (priority < kPriorityHigh || priority > kPriorityLow) {
        return std::string("priority must be high, normal or low");
    }
    Folder folder;
    HandheldMessage* message = handheld.find(id, &folder);
    if (!message) return notFound(id);
    message->priority = priority;
    // A message not yet on the desktop has no desktop state to differ from.
    if (folder != Folder::Inbox) message->desktopPriority = priority;
    return std::nullopt;
}

std::optional<std::string> deleteMessage(Handheld& handheld, std::uint64_t id) {
    Folder folder;
    HandheldMessage* message = handheld.find(id, &folder);
    if (!message) return notFound(id);
    if (folder == Folder::Inbox) {
        message->deleted = true;
    } else {
        handheld.erase(id);
    }
    return std::nullopt;
}

std::optional<std::string> undeleteMessage(Handheld& handheld, std::uint64_t id) {
    Folder folder;
    HandheldMessage* message = handheld.find(id, &folder);
    if (!message) return notFound(id);
    if (folder != Folder::Inbox || !message->deleted) {
        return "#" + std::to_string(id) + " is not marked for deletion";
    }
    message->deleted = false;
    return std::nullopt;
}

std::optional<std::string> fileMessage(Handheld& handheld, std::uint64_t id, std::uint64_t& newId) {
    Folder folder;
    HandheldMessage* message = handheld.find(id, &folder);
    if (!message) return notFound(id);
    if (folder == Folder::Filed) return "#" + std::to_string(id) + " is already queued for filing";
    if (folder == Folder::Outbox) {
        if (message->unsure) {
            return "#" + std::to_string(id) +
                   " may already have been sent by an interrupted sync; `handheld retry` it first";
        }
        HandheldMessage moved = *message;
        handheld.erase(id);
        handheld.filed.push_back(std::move(moved));
        newId = id;
        return std::nullopt;
    }
    if (message->deleted) return "#" + std::to_string(id) + " is marked for deletion";
    // The copy is a new message for the desktop store: it carries the texts and times but
    // not the host's identity, which belongs to the original.
    HandheldMessage copy;
    copy.id = handheld.nextId++;
    copy.record = message->record;
    copy.record.hostMsgId.clear();
    copy.record.flags &= ~(1u << 31);
    copy.read = copy.desktopRead = message->read;
    copy.priority = copy.desktopPriority = message->priority;
    handheld.filed.push_back(std::move(copy));
    newId = handheld.nextId - 1;
    return std::nullopt;
}

std::optional<std::string> retryMessage(Handheld& handheld, std::uint64_t id) {
    HandheldMessage* message = handheld.find(id);
    if (!message) return notFound(id);
    if (!message->unsure) return "#" + std::to_string(id) + " is not held";
    message->unsure = false;
    return std::nullopt;
}

std::optional<int> parsePriority(const std::string& text) {
    if (text == "high") return kPriorityHigh;
    if (text == "normal") return kPriorityNormal;
    if (text == "low") return kPriorityLow;
    return std::nullopt;
}

const char* priorityName(int priority) {
    switch (priority) {
        case kPriorityHigh: return "high";
        case kPriorityLow: return "low";
        default: return "normal";
    }
}

}  // namespace conduit
