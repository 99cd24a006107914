#include "display/Summary.h"

#include "display/Display.h"
#include "display/QueueDisplay.h"
#include "host/ResultCodes.h"
#include "framework/MailHost.h"

namespace conduit {

namespace {

std::string plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string quotedSubject(const std::string& subject) {
    return subject.empty() ? std::string("(no subject)") : "\"" + shown(subject) + "\"";
}

void printHeld(std::ostream& out, const SyncReport& report) {
    if (report.held.empty()) return;
    out << "  held       " << report.held.size()
        << " (an interrupted sync may already have handed them over):\n";
    for (std::uint64_t id : report.held) {
        const HandheldMessage* message = report.handheld.find(id);
        out << "             #" << id << " " << (message ? quotedSubject(message->record.subject) : "")
            << "; `mailconduit handheld retry " << id << "` hands it over at the next sync\n";
    }
}

}  // namespace

std::string failureConsequence(const SyncFailure& failure) {
    if (failure.step == "SendMsg") return "it stays in the outbox for the next sync";
    if (failure.step == "SetMsg") return "it stays queued for filing at the next sync";
    if (failure.rc == MAILHOST_NOT_SUPPORTED &&
        (failure.step == "SetMsgReadStatus" || failure.step == "SetMsgPriority")) {
        return "the handheld took the desktop's state back";
    }
    if (failure.step == "DeleteMsg" || failure.step == "SetMsgReadStatus" || failure.step == "SetMsgPriority") {
        return "the change stays pending for the next sync";
    }
    if (failure.step == "GetAllMsgs") return "the handheld's inbox was left as it was";
    return "";
}

void printSummary(std::ostream& out, const SyncReport& report, const std::string& plugin) {
    if (report.replay) out << "Before syncing, " << report.replayText << "\n";
    out << "Sync with " << plugin << (report.exitCode == 0 ? " done" : " finished with failures") << ":\n";
    if (report.mailboxRead) {
        out << "  received   " << plural(report.merge.received, "new message", "new messages") << " ("
            << report.mailboxSize << " in the desktop mailbox";
        if (report.merge.forgotten) {
            out << "; " << report.merge.forgotten << " gone from the desktop, removed from the handheld";
        }
        out << ")\n";
    } else {
        out << "  received   nothing (the mailbox could not be read)\n";
    }
    printSentAndQueued(out, report);
    out << "  filed      " << report.filed << "\n";
    out << "  deleted    " << report.deleted << "\n";
    out << "  marked     " << (report.markedRead + report.markedUnread + report.prioritised);
    if (report.markedRead + report.markedUnread + report.prioritised) {
        out << " (" << report.markedRead << " read, " << report.markedUnread << " unread, "
            << report.prioritised << " priority)";
    }
    out << "\n";
    if (!report.unkept.empty()) {
        out << "  not kept   " << report.unkept.size()
            << " (the desktop keeps its own state, and the handheld took it back):\n";
        for (const std::string& change : report.unkept) out << "             " << change << "\n";
    }
    out << "  failed     " << report.failures.size() << "\n";
    for (const SyncFailure& failure : report.failures) {
        out << "             " << failure.step;
        if (failure.entry) out << " of #" << failure.entry << " " << quotedSubject(failure.subject);
        out << ": " << describeResult(failure.rc);
        std::string next = failureConsequence(failure);
        if (!next.empty()) out << "; " << next;
        out << "\n";
    }
    printHeld(out, report);
    if (report.verbose) {
        out << "  the plug-in gave the sync manager " << plural(static_cast<int>(report.yields), "turn", "turns") << "\n";
    }
    for (const std::string& note : report.notes) out << "Note: " << note << "\n";
}

void printPlan(std::ostream& out, const SyncReport& report, const std::string& plugin) {
    if (report.replay) out << "An interrupted sync would be finished first: " << report.replayText << "\n";
    out << "Dry run with " << plugin << ": nothing is changed. The sync would also read the desktop "
        << "mailbox and bring new messages to the handheld.\n";
    if (report.plan.empty()) out << "  nothing to send, file, delete or mark\n";
    for (const PlannedCall& call : report.plan) {
        const HandheldMessage* message = report.handheld.find(call.entry);
        if (!message) continue;
        const RecordFields& r = message->record;
        out << "  ";
        switch (call.call) {
            case Call::SendMsg: out << "send   #" << call.entry << " to " << shown(r.to); break;
            case Call::SetMsg: out << "file   #" << call.entry; break;
            case Call::DeleteMsg: out << "delete #" << call.entry << " from " << shown(r.from); break;
            case Call::SetMsgReadStatus:
                out << "mark   #" << call.entry << (call.value ? " read" : " unread");
                break;
            case Call::SetMsgPriority:
                out << "mark   #" << call.entry << " priority " << priorityName(call.value);
                break;
        }
        out << "  " << quotedSubject(r.subject) << "  (" << callName(call.call) << ")\n";
    }
    printHeld(out, report);
    for (const std::string& note : report.notes) out << "Note: " << note << "\n";
}

}  // namespace conduit
