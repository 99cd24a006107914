#include "display/Display.h"

#include <ctime>
#include <iomanip>

#include "sync/Record.h"
#include "platform/Codepage.h"
#include "platform/TerminalText.h"

namespace conduit {

namespace {

// Texts are clipped while still Windows-1252, one byte per character, so columns line up.
std::string clip(const std::string& cp1252, size_t width, bool pad) {
    std::string line = cp1252.substr(0, cp1252.find_first_of("\r\n"));
    if (line.size() > width) return line.substr(0, width - 3) + "...";
    return pad ? line + std::string(width - line.size(), ' ') : line;
}

// The person's name of "address (Name)" (the form the plug-ins give senders in), else the text.
std::string senderName(const std::string& from) {
    size_t open = from.find(" (");
    if (open == std::string::npos || from.empty() || from.back() != ')') return from;
    return from.substr(open + 2, from.size() - open - 3);
}

}  // namespace

std::string shown(const std::string& cp1252) { return vesk::text::forTerminalFromCp1252(cp1252); }

std::string shownText(const std::string& cp1252) {
    return vesk::text::forTerminalFromCp1252(cp1252, vesk::text::Lines::Many);
}

std::string typed(const std::string& utf8) { return vesk::cp::utf8ToCp1252(utf8); }

std::string formatTime(std::int32_t seconds) {
    if (seconds == 0) return "-";
    std::time_t t = seconds;
    std::tm local{};
    localtime_r(&t, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M", &local);
    return buffer;
}

std::string stateLetters(const HandheldMessage& message, Folder folder) {
    std::string letters;
    if (folder == Folder::Inbox) {
        if (!message.read) letters += '*';
        if (message.deleted) letters += 'D';
        if (!message.deleted && message.readChanged()) letters += 'r';
        if (!message.deleted && message.priorityChanged()) letters += 'p';
    } else {
        if (message.readReceipt) letters += 'R';
        if (message.deliveryReport) letters += 'S';
        if (message.unsure) letters += '?';
    }
    if (message.priority == kPriorityHigh) letters += '!';
    if (message.priority == kPriorityLow) letters += '-';
    return letters;
}

void printListHeading(std::ostream& out) {
    out << std::setw(5) << "#" << "  " << std::left << std::setw(7) << "folder" << std::setw(6)
        << "state" << std::setw(18) << "date" << std::setw(30) << "from / to" << "subject"
        << std::right << "\n";
}

void printMessageLine(std::ostream& out, const HandheldMessage& message, Folder folder) {
    const RecordFields& r = message.record;
    std::string who = folder == Folder::Inbox ? senderName(r.from) : "to " + r.to;
    std::int32_t when = folder == Folder::Inbox && r.timeReceived ? r.timeReceived : r.timeSent;
    out << std::setw(5) << message.id << "  " << std::left << std::setw(7) << folderName(folder)
        << std::setw(6) << stateLetters(message, folder) << std::setw(18) << formatTime(when)
        << std::right << shown(clip(who, 28, true)) << "  " << shown(clip(r.subject, 50, false)) << "\n";
}

void printMessage(std::ostream& out, const HandheldMessage& message, Folder folder) {
    const RecordFields& r = message.record;
    out << "Message #" << message.id << " (" << folderName(folder) << ")\n";
    if (!r.from.empty()) out << "From:     " << shown(r.from) << "\n";
    if (!r.to.empty()) out << "To:       " << shown(r.to) << "\n";
    if (!r.cc.empty()) out << "Cc:       " << shown(r.cc) << "\n";
    if (!r.bcc.empty()) out << "Bcc:      " << shown(r.bcc) << "\n";
    out << "Subject:  " << shown(r.subject) << "\n";
    if (r.timeSent) out << "Sent:     " << formatTime(r.timeSent) << "\n";
    if (folder == Folder::Inbox && r.timeReceived) out << "Received: " << formatTime(r.timeReceived) << "\n";
    out << "Priority: " << priorityName(message.priority);
    if (folder == Folder::Inbox && message.priorityChanged()) {
        out << " (desktop: " << priorityName(message.desktopPriority) << ", to carry)";
    }
    out << "\n";
    if (folder == Folder::Inbox) {
        out << "State:    " << (message.read ? "read" : "unread");
        if (message.readChanged()) out << " (desktop: " << (message.desktopRead ? "read" : "unread") << ", to carry)";
        if (message.deleted) out << ", deleted (to carry)";
        out << "\n";
        if ((r.flags & MAILMSG_FLAG_HAS_ATTACHMENTS) || ((r.status >> MAILMSG_STATUS_ATTACH_SHIFT) & 3) == 1) {
            out << "Attachments: yes";
            if (!r.attachments.empty()) out << "\n" << shownText(r.attachments);
            out << "\n";
        }
    } else {
        if (message.readReceipt) out << "Read receipt requested\n";
        if (message.deliveryReport) out << "Delivery report requested\n";
        if (message.unsure) {
            out << "Held: an interrupted sync may already have handed this message over;\n"
                   "      `mailconduit handheld retry "
                << message.id << "` hands it over again at the next sync\n";
        }
    }
    out << "\n";
    // The record's body ends lines with CR LF; the terminal gets LF.
    std::string text = shownText(r.body);
    out << text;
    if (!text.empty() && text.back() != '\n') out << "\n";
}

void printHandheld(std::ostream& out, const Handheld& handheld, const Folder* only) {
    printListHeading(out);
    size_t shownCount = 0;
    for (Folder folder : {Folder::Inbox, Folder::Outbox, Folder::Filed}) {
        if (only && *only != folder) continue;
        for (const HandheldMessage& message : handheld.messages(folder)) {
            printMessageLine(out, message, folder);
            ++shownCount;
        }
    }
    if (shownCount == 0) out << "    (no messages)\n";
}

}  // namespace conduit
