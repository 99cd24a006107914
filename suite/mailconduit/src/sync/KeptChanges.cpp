#include "sync/KeptChanges.h"

namespace conduit {

namespace {

constexpr int kAnyValue = -1;

struct Row {
    const char* plugin;
    Call call;
    int value;  // the value passed, or kAnyValue
    const char* what;
    int desktopReadAfter;  // -1 unchanged, else the read state the desktop ends with
};

// Simple MAPI offers no call that stores a priority or clears the read flag: Salvith accepts
// both and the desktop keeps its own state (marking unread marks read).
const Row kUnkept[] = {
    {"salvith", Call::SetMsgPriority, kAnyValue, "priority: not kept by Simple MAPI mail programs", -1},
    {"salvith", Call::SetMsgReadStatus, 0,
     "unread: not kept by Simple MAPI mail programs, which only mark messages read", 1},
};

}  // namespace

std::optional<UnkeptChange> unkeptChange(const std::string& plugin, const PlannedCall& call) {
    for (const Row& row : kUnkept) {
        if (plugin == row.plugin && call.call == row.call && (row.value == kAnyValue || row.value == call.value)) {
            UnkeptChange change{row.what, std::nullopt};
            if (row.desktopReadAfter >= 0) change.desktopReadAfter = row.desktopReadAfter != 0;
            return change;
        }
    }
    return std::nullopt;
}

void takeDesktopStateBack(Handheld& handheld, const PlannedCall& call, const UnkeptChange& unkept) {
    Folder folder;
    HandheldMessage* message = handheld.find(call.entry, &folder);
    if (!message || folder != Folder::Inbox) return;
    if (call.call == Call::SetMsgPriority) message->priority = message->desktopPriority;
    if (call.call == Call::SetMsgReadStatus) {
        if (unkept.desktopReadAfter) message->desktopRead = *unkept.desktopReadAfter;
        message->read = message->desktopRead;
    }
}

}  // namespace conduit
