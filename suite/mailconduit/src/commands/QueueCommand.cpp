// mailconduit queue list|release ID: mail waiting in the desktop's outboxes, and the
// person's decision to send a held message again.
#include "commands/CommandSupport.h"
#include "desktop/DesktopQueue.h"
#include "display/Display.h"
#include "display/QueueDisplay.h"
#include "platform/TerminalText.h"

namespace conduit {

namespace {

constexpr const char* kCommand = "queue";

}  // namespace

int runQueueCommand(const std::vector<std::string>& args, CommandContext& context) {
    ParsedArgs parsed;
    if (auto error = parseArgs(args, {}, parsed)) return usageError(context, kCommand, *error);
    if (parsed.help) {
        context.out << commandHelp(kCommand);
        return kExitOk;
    }
    const std::vector<std::string>& words = parsed.positionals;
    if (words.empty()) return usageError(context, kCommand, "say list or release ID");
    if (words[0] == "list") {
        if (words.size() > 1) return usageError(context, kCommand, "unexpected " + words[1]);
        std::string unreadable;
        std::vector<DesktopQueued> queue = desktopQueueNow(unreadable);
        printDesktopQueue(context.out, queue, "");
        if (!unreadable.empty()) context.err << "mailconduit queue: cannot read " << vesk::text::forTerminal(unreadable) << "\n";
        return queue.empty() ? kExitOk : kExitSomeFailed;
    }
    if (words[0] == "release") {
        if (words.size() != 2) return usageError(context, kCommand, "release takes one message identifier");
        if (std::optional<std::string> error = releaseDesktopMessage(words[1])) {
            context.err << "mailconduit queue: " << vesk::text::forTerminal(*error) << "\n";
            return kExitCannotRun;
        }
        context.out << "message " << vesk::text::forTerminal(words[1]) << " released: the next sync hands it to the sending command\n";
        return kExitOk;
    }
    return usageError(context, kCommand, "unknown action " + words[0] + " (list or release)");
}

}  // namespace conduit
