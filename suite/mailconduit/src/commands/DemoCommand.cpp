// mailconduit demo: a whole round on a fresh copy of the example desktop.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <unistd.h>

#include "commands/CommandSupport.h"
#include "desktop/DesktopView.h"
#include "desktop/FileIo.h"
#include "desktop/ImapDesktop.h"
#include "handheld/HandheldAccess.h"
#include "desktop/Paths.h"

#ifndef MAILCONDUIT_SOURCE_DESKTOP
#define MAILCONDUIT_SOURCE_DESKTOP ""
#endif

namespace conduit {

namespace {

constexpr const char* kCommand = "demo";

std::string findExampleDesktop(const ParsedArgs& parsed) {
    if (parsed.has("desktop")) return absolutePath(parsed.value("desktop"));
    std::string beside = programFolder() + "/../share/mailconduit/desktop";
    if (exists(beside + "/conduit")) return beside;
    return MAILCONDUIT_SOURCE_DESKTOP;
}

}  // namespace

std::string shellQuoted(const std::string& word) {
    const bool plain = !word.empty() && word.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                                "0123456789-_./:=@,+%") == std::string::npos;
    if (plain) return word;
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

namespace {

// Runs one mailconduit command as a person would type it, showing it first in a form a
// shell takes as it is.
int step(CommandContext& context, const std::vector<std::string>& args) {
    context.out << "\n$ mailconduit";
    for (const std::string& arg : args) context.out << " " << shellQuoted(arg);
    context.out << "\n";
    context.out.flush();
    std::istringstream noInput;
    CommandContext inner{context.out, context.err, noInput, false, context.errorIsTerminal};
    return runMailConduit(args, inner);
}

// The inbox messages the demo changes: one unread to mark read, one to raise, one to delete.
struct Picks {
    std::uint64_t toRead = 0, toRaise = 0, toDelete = 0;
};

Picks pickMessages(const Handheld& handheld) {
    Picks picks;
    for (const HandheldMessage& m : handheld.inbox) {
        if (!m.read && !picks.toRead) picks.toRead = m.id;
    }
    for (const HandheldMessage& m : handheld.inbox) {
        if (m.id != picks.toRead && m.priority != kPriorityHigh && !picks.toRaise) picks.toRaise = m.id;
    }
    for (auto it = handheld.inbox.rbegin(); it != handheld.inbox.rend(); ++it) {
        if (it->id != picks.toRead && it->id != picks.toRaise) {
            picks.toDelete = it->id;
            break;
        }
    }
    return picks;
}

int runDemo(const ParsedArgs& parsed, CommandContext& context, const std::string& home) {
    const std::string plugin = parsed.value("plugin", "salvith");
    std::string desktop = findExampleDesktop(parsed);
    if (desktop.empty() || !exists(desktop + "/conduit")) {
        context.err << "mailconduit demo: the example desktop is missing (looked in " << desktop
                    << "); give it with --desktop\n";
        return kExitCannotRun;
    }
    std::string failed;
    if (int err = copyTree(desktop, home, &failed)) {
        context.err << "mailconduit demo: cannot copy " << failed << ": " << std::strerror(err) << "\n";
        return kExitCannotRun;
    }
    if (auto error = prepareDesktop(home)) {
        context.err << "mailconduit demo: " << *error << "\n";
        return kExitCannotRun;
    }
    ::setenv("VESK_HOME", home.c_str(), 1);
    // Declared before anything that talks to it: the server stops when the demo ends.
    ImapDesktop imap;
    if (parsed.flag("imap")) {
        if (auto error = moveDesktopToImap(home, imap)) {
            context.err << "mailconduit demo: " << *error << "\n";
            return kExitCannotRun;
        }
    }
    const std::string config = defaultConfigPath(home, plugin);
    context.out << "A fresh desktop in " << home << " (a copy of " << desktop << ").\n";
    if (imap.server) {
        context.out << "Its mailboxes are on an IMAP server started for the demo (Dovecot on loopback, "
                    << imap.messages << " messages put there); Teo's is " << imap.teoUrl << ".\n";
    }
    context.out << "The handheld is empty; the desktop mailbox holds the example messages.\n"
                << "The commands below run in a shell as shown once mailconduit is found and the desktop named:\n"
                << "  export PATH=" << shellQuoted(programFolder()) << ":\"$PATH\" VESK_HOME=" << shellQuoted(home)
                << "\n";

    int status = step(context, {"info", "--plugin", plugin});
    if (status != kExitOk) return status;
    status = step(context, {"handheld", "compose", "--to", "Mira Castell <mira.castell@example.org>", "--subject",
                            "Minutes of Tuesday's meeting", "--body",
                            "Mira,\n\nthe minutes are done; I will bring a printed copy on Thursday.\n\nTeo\n"});
    if (status != kExitOk) return status;
    status = step(context, {"handheld", "compose", "--to", "jonas.weber@example.net", "--cc",
                            "Hedda Lind <hedda@example.com>", "--subject", "Train times for Saturday",
                            "--priority", "high", "--body",
                            "The 9:12 gets us there by eleven. Shall I book three seats?\n"});
    if (status != kExitOk) return status;
    status = step(context, {"sync", "--plugin", plugin, "--yes"});
    if (status != kExitOk) return status;
    status = step(context, {"handheld", "list"});
    if (status != kExitOk) return status;

    OpenedHandheld opened;
    if (auto error = openHandheld(home, false, opened)) {
        context.err << "mailconduit demo: " << *error << "\n";
        return kExitCannotRun;
    }
    Picks picks = pickMessages(opened.handheld);
    if (!picks.toRead || !picks.toRaise || !picks.toDelete) {
        context.err << "mailconduit demo: the first sync brought too few messages to go on\n";
        return kExitSomeFailed;
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"handheld", "read", std::to_string(picks.toRead)},
          std::vector<std::string>{"handheld", "priority", std::to_string(picks.toRaise), "high"},
          std::vector<std::string>{"handheld", "delete", std::to_string(picks.toDelete)},
          std::vector<std::string>{"sync", "--plugin", plugin, "--dry-run"},
          std::vector<std::string>{"sync", "--plugin", plugin, "--yes"},
          std::vector<std::string>{"handheld", "list"}}) {
        status = step(context, args);
        if (status != kExitOk) return status;
    }

    context.out << "\nThe desktop's side:\n";
    std::unique_ptr<PluginHost> host = loadPluginFor(kCommand, plugin, context);
    if (!host) return kExitCannotRun;
    if (printDesktopMailbox(context.out, host->exports(), config) != 0) return kExitSomeFailed;
    printCapturedMail(context.out, home + "/sent-mail");
    return kExitOk;
}

}  // namespace

int runDemoCommand(const std::vector<std::string>& args, CommandContext& context) {
    ParsedArgs parsed;
    if (auto error = parseArgs(args, {{"plugin", true}, {"keep", false}, {"desktop", true}, {"imap", false}}, parsed)) {
        return usageError(context, kCommand, *error);
    }
    if (parsed.help) {
        context.out << commandHelp(kCommand);
        return kExitOk;
    }
    if (!parsed.positionals.empty()) return usageError(context, kCommand, "unexpected " + parsed.positionals[0]);
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/mailconduit-demo-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        context.err << "mailconduit demo: cannot create a temporary folder: " << std::strerror(errno) << "\n";
        return kExitCannotRun;
    }
    const std::string home = pattern;
    int status = runDemo(parsed, context, home);
    if (parsed.flag("keep")) {
        context.out << "\nThe demo desktop is kept in " << home << ". To go on with it in this shell:\n"
                    << "  export PATH=" << shellQuoted(programFolder()) << ":\"$PATH\" VESK_HOME=" << shellQuoted(home)
                    << "\n";
    } else {
        removeTree(home);
    }
    if (status == kExitOk) context.out << "\nDemo finished: messages were received, sent, marked and deleted.\n";
    return status;
}

}  // namespace conduit
