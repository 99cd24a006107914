#include "sync/Outcome.h"

#include "framework/MailHost.h"

namespace conduit {

const char* callName(Call call) {
    switch (call) {
        case Call::SendMsg: return "SendMsg";
        case Call::SetMsg: return "SetMsg";
        case Call::DeleteMsg: return "DeleteMsg";
        case Call::SetMsgReadStatus: return "SetMsgReadStatus";
        case Call::SetMsgPriority: return "SetMsgPriority";
    }
    return "?";
}

std::optional<Call> callFromName(const std::string& name) {
    for (Call call : {Call::SendMsg, Call::SetMsg, Call::DeleteMsg, Call::SetMsgReadStatus,
                      Call::SetMsgPriority}) {
        if (name == callName(call)) return call;
    }
    return std::nullopt;
}

void applyOutcome(Handheld& handheld, const PlannedCall& call, int rc) {
    Folder folder;
    HandheldMessage* message = handheld.find(call.entry, &folder);
    if (!message) return;
    switch (call.call) {
        case Call::SendMsg:
            if (rc == MAILHOST_OK && folder == Folder::Outbox) handheld.erase(call.entry);
            break;
        case Call::SetMsg:
            if (rc == MAILHOST_OK && folder == Folder::Filed) handheld.erase(call.entry);
            break;
        case Call::DeleteMsg:
            if (rc == MAILHOST_OK && folder == Folder::Inbox) handheld.erase(call.entry);
            break;
        case Call::SetMsgReadStatus:
            if (folder != Folder::Inbox) break;
            if (rc == MAILHOST_OK) message->desktopRead = call.value != 0;
            if (rc == MAILHOST_NOT_SUPPORTED) message->read = message->desktopRead;
            break;
        case Call::SetMsgPriority:
            if (folder != Folder::Inbox) break;
            if (rc == MAILHOST_OK) message->desktopPriority = call.value;
            if (rc == MAILHOST_NOT_SUPPORTED) message->priority = message->desktopPriority;
            break;
    }
}

void applyInDoubt(Handheld& handheld, const PlannedCall& call) {
    if (call.call != Call::SendMsg && call.call != Call::SetMsg) return;
    Folder folder;
    HandheldMessage* message = handheld.find(call.entry, &folder);
    if (message && folder != Folder::Inbox) message->unsure = true;
}

}  // namespace conduit
