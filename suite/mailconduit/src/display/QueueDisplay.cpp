#include "display/QueueDisplay.h"

#include "display/Display.h"
#include "platform/TerminalText.h"

namespace conduit {

namespace {

// Identifiers, paths and reasons are UTF-8 (file names, the command's own words).
std::string plain(const std::string& utf8) { return vesk::text::forTerminal(utf8); }

std::string subjectOf(const DesktopQueued& q) {
    return q.subject.empty() ? std::string("(no subject)") : "\"" + shown(q.subject) + "\"";
}

void printReasons(std::ostream& out, const std::vector<const DesktopQueued*>& list) {
    for (const DesktopQueued* q : list) {
        out << "             " << subjectOf(*q) << ": " << plain(q->reason) << "; " << queueConsequence(*q) << "\n";
    }
}

}  // namespace

std::string queueConsequence(const DesktopQueued& message) {
    if (message.held) {
        return "it is held: `mailconduit queue release " + plain(message.id) + "` lets the next sync send it again";
    }
    return "it is tried again at the next sync";
}

void printSentAndQueued(std::ostream& out, const SyncReport& report) {
    std::vector<const DesktopQueued*> now, older;
    for (const DesktopQueued& q : report.desktopQueue) (q.queuedNow ? now : older).push_back(&q);
    out << "  sent       " << report.leftDesktop();
    if (!now.empty()) {
        bool oneReason = true;
        for (const DesktopQueued* q : now) {
            oneReason = oneReason && q->reason == now.front()->reason && q->held == now.front()->held;
        }
        out << ", queued " << now.size();
        if (oneReason) {
            out << " (" << plain(now.front()->reason) << "; " << queueConsequence(*now.front()) << ")\n";
        } else {
            out << ":\n";
            printReasons(out, now);
        }
    } else {
        out << "\n";
    }
    if (!older.empty()) {
        out << "  waiting    " << older.size() << (older.size() == 1 ? " older message" : " older messages")
            << " in the desktop's outbox did not leave:\n";
        printReasons(out, older);
    }
}

void printDesktopQueue(std::ostream& out, const std::vector<DesktopQueued>& queue, const std::string& indent) {
    if (queue.empty()) {
        out << indent << "(nothing waits in the desktop's outboxes)\n";
        return;
    }
    for (const DesktopQueued& q : queue) {
        out << indent << (q.held ? "held    " : "queued  ") << plain(q.id) << "  " << subjectOf(q);
        if (!q.recipients.empty()) out << " to " << shown(q.recipients);
        out << "\n" << indent << "        " << plain(q.reason) << "; " << queueConsequence(q) << "\n";
    }
}

}  // namespace conduit
