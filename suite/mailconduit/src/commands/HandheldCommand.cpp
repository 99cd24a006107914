// mailconduit handheld ...: what a person does on the device between syncs.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iterator>
#include <sstream>

#include "commands/BodyText.h"
#include "commands/CommandSupport.h"
#include "desktop/DesktopLock.h"
#include "handheld/HandheldFile.h"
#include "display/Display.h"
#include "desktop/FileIo.h"
#include "handheld/HandheldAccess.h"
#include "desktop/Paths.h"
#include "platform/TerminalText.h"

namespace conduit {

namespace {

constexpr const char* kCommand = "handheld";

// A recipient list from repeated options, as the plug-ins split them again.
std::string joinList(const ParsedArgs& args, const std::string& option) {
    std::string list;
    auto it = args.values.find(option);
    if (it == args.values.end()) return list;
    for (const std::string& entry : it->second) {
        if (!list.empty()) list += ", ";
        list += typed(entry);
    }
    return list;
}

// Bodies cross the boundary with CR LF line ends.
std::string withCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
        out += text[i];
    }
    return out;
}

std::optional<std::uint64_t> messageNumber(const ParsedArgs& parsed, size_t index, CommandContext& context,
                                           const std::string& action) {
    if (parsed.positionals.size() <= index) {
        usageError(context, kCommand, action + " needs a message number");
        return std::nullopt;
    }
    std::optional<unsigned long long> number = parseMessageNumber(parsed.positionals[index]);
    if (!number) {
        usageError(context, kCommand, "not a message number: " + parsed.positionals[index]);
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(*number);
}

// Says so when the desktop has no handheld yet, so a mistyped VESK_HOME does not pass for an
// empty handheld.
void noteNewHandheld(CommandContext& context, const std::string& home) {
    if (exists(handheldDatabasePath(home)) || exists(handheldPath(home))) return;
    context.err << "mailconduit handheld: there is no handheld in " << conduitFolder(home)
                << " yet, so it starts empty (the desktop folder is VESK_HOME=" << home
                << (exists(home) ? "" : ", which does not exist") << ")\n";
}

// Loads the handheld for looking at it. While a sync runs (another mailconduit holds the
// lock) a pending call is that sync's work in progress, not an interrupted sync: the
// handheld is shown as far as the running sync has committed it.
std::optional<std::string> openForLooking(CommandContext& context, OpenedHandheld& opened) {
    const std::string home = desktopHome();
    noteNewHandheld(context, home);
    if (DesktopLock::heldElsewhere(conduitFolder(home))) {
        context.err << "mailconduit handheld: a sync is running; this is the handheld as far as it has "
                       "got, and the rest of its changes show when it ends\n";
        if (auto error = openHandheld(home, false, opened)) return error;
        opened.replay.reset();
        if (opened.store) {
            // The running sync's call in progress is not in doubt: show its message as it stands.
            std::vector<PlannedCall> pending;
            return opened.store->load(opened.handheld, pending);
        }
        return std::nullopt;
    }
    if (auto error = openHandheld(home, false, opened)) return error;
    if (opened.replay) {
        context.err << "mailconduit handheld: an interrupted sync is shown finished; the next sync or change "
                       "records it\n";
    }
    return std::nullopt;
}

// Runs `edit` on the handheld under the desktop lock, after finishing an interrupted sync,
// and saves the result.
template <typename Edit>
int editHandheld(CommandContext& context, Edit edit) {
    std::string home = desktopHome();
    std::string folder = conduitFolder(home);
    if (int err = makeFolders(folder)) {
        context.err << "mailconduit handheld: cannot create " << folder << ": " << std::strerror(err) << "\n";
        return kExitCannotRun;
    }
    DesktopLock lock(folder);
    if (!lock.ok()) {
        context.err << "mailconduit handheld: " << lock.error() << " (a sync is running; try again when it ends)\n";
        return kExitCannotRun;
    }
    noteNewHandheld(context, home);
    OpenedHandheld opened;
    if (auto error = openHandheld(home, true, opened)) {
        context.err << "mailconduit handheld: " << *error << "\n";
        return kExitCannotRun;
    }
    if (opened.replay) context.err << "mailconduit handheld: " << describeReplay(*opened.replay, opened.handheld) << "\n";
    if (auto error = edit(opened.handheld)) {
        context.err << "mailconduit handheld: " << *error << "\n";
        return kExitCannotRun;
    }
    if (auto error = opened.store->commit(opened.handheld, "edit")) {
        context.err << "mailconduit handheld: " << *error << "\n";
        return kExitCannotRun;
    }
    return kExitOk;
}

int listAction(const ParsedArgs& parsed, CommandContext& context) {
    std::optional<Folder> only;
    if (parsed.has("folder")) {
        std::string name = parsed.value("folder");
        for (Folder f : {Folder::Inbox, Folder::Outbox, Folder::Filed}) {
            if (name == folderName(f)) only = f;
        }
        if (!only) return usageError(context, kCommand, "no folder named " + name + " (inbox, outbox, filed)");
    }
    OpenedHandheld opened;
    if (auto error = openForLooking(context, opened)) {
        context.err << "mailconduit handheld: " << *error << "\n";
        return kExitCannotRun;
    }
    printHandheld(context.out, opened.handheld, only ? &*only : nullptr);
    return kExitOk;
}

// The whole handheld as JSON, in the layout earlier conduits kept on disk, for reading.
int exportAction(const ParsedArgs& parsed, CommandContext& context) {
    OpenedHandheld opened;
    if (auto error = openForLooking(context, opened)) {
        context.err << "mailconduit handheld: " << *error << "\n";
        return kExitCannotRun;
    }
    std::string json = handheldToJson(opened.handheld);
    if (parsed.positionals.size() < 2) {
        context.out << json;
        return kExitOk;
    }
    const std::string file = parsed.positionals[1];
    if (int err = replaceFile(file, json)) {
        context.err << "mailconduit handheld: cannot write " << vesk::text::forTerminal(file) << ": "
                    << std::strerror(err) << "\n";
        return kExitCannotRun;
    }
    return kExitOk;
}

int showAction(const ParsedArgs& parsed, CommandContext& context) {
    std::optional<std::uint64_t> id = messageNumber(parsed, 1, context, "show");
    if (!id) return kExitCannotRun;
    OpenedHandheld opened;
    if (auto error = openForLooking(context, opened)) {
        context.err << "mailconduit handheld: " << *error << "\n";
        return kExitCannotRun;
    }
    Folder folder;
    const HandheldMessage* message = opened.handheld.find(*id, &folder);
    if (!message) {
        context.err << "mailconduit handheld: no message #" << *id << " on the handheld\n";
        return kExitCannotRun;
    }
    printMessage(context.out, *message, folder);
    return kExitOk;
}

int composeAction(const ParsedArgs& parsed, CommandContext& context) {
    Draft draft;
    draft.to = joinList(parsed, "to");
    draft.cc = joinList(parsed, "cc");
    draft.bcc = joinList(parsed, "bcc");
    draft.subject = typed(parsed.value("subject"));
    draft.readReceipt = parsed.flag("read-receipt");
    draft.deliveryReport = parsed.flag("delivery-report");
    draft.fileOnly = parsed.flag("file");
    if (parsed.has("priority")) {
        std::optional<int> priority = parsePriority(parsed.value("priority"));
        if (!priority) return usageError(context, kCommand, "priority must be high, normal or low");
        draft.priority = *priority;
    }
    if (parsed.has("body") && parsed.has("body-file")) {
        return usageError(context, kCommand, "give --body or --body-file, not both");
    }
    std::string body;
    std::string source = "the --body text";
    if (parsed.has("body")) {
        body = parsed.value("body");
    } else if (parsed.has("body-file")) {
        source = parsed.value("body-file");
        if (int err = readFile(source, body)) {
            context.err << "mailconduit handheld: cannot read " << vesk::text::forTerminal(source) << ": "
                        << std::strerror(err) << "\n";
            return kExitCannotRun;
        }
    } else {
        if (context.inputIsTerminal) context.err << "Type the message; end it with Ctrl-D on a line of its own.\n";
        body.assign(std::istreambuf_iterator<char>(context.in), std::istreambuf_iterator<char>());
        source = "standard input";
    }
    // Checked before anything is written: a body that is not text never reaches the outbox.
    std::string error;
    std::optional<std::string> text = bodyFromBytes(body, source, error);
    if (!text) {
        context.err << "mailconduit handheld: " << vesk::text::forTerminal(error) << "; nothing was written\n";
        return kExitCannotRun;
    }
    draft.body = withCrLf(*text);
    std::uint64_t id = 0;
    int status = editHandheld(context, [&](Handheld& handheld) { return compose(handheld, draft, id); });
    if (status == kExitOk) {
        context.out << "#" << id << " written into the " << (draft.fileOnly ? "filing queue" : "outbox") << "\n";
    }
    return status;
}

}  // namespace

int runHandheldCommand(const std::vector<std::string>& args, CommandContext& context) {
    static const std::vector<OptionDef> known = {
        {"folder", true},          {"to", true, true},      {"cc", true, true},
        {"bcc", true, true},       {"subject", true},       {"body", true},
        {"body-file", true},       {"priority", true},      {"read-receipt", false},
        {"delivery-report", false}, {"file", false},        {"undo", false},
        {"unread", false},
    };
    ParsedArgs parsed;
    if (auto error = parseArgs(args, known, parsed)) return usageError(context, kCommand, *error);
    if (parsed.help || parsed.positionals.empty()) {
        if (!parsed.help) {
            context.err << commandHelp(kCommand);
            return kExitCannotRun;
        }
        context.out << commandHelp(kCommand);
        return kExitOk;
    }
    const std::string action = parsed.positionals[0];
    // Options belong to particular actions; one given to another is a mistake worth saying.
    auto allowOnly = [&](std::initializer_list<const char*> allowed) -> std::optional<std::string> {
        for (const auto& [name, values] : parsed.values) {
            (void)values;
            if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) return "--" + name;
        }
        for (const auto& [name, given] : parsed.flags) {
            (void)given;
            if (std::find(allowed.begin(), allowed.end(), name) == allowed.end()) return "--" + name;
        }
        return std::nullopt;
    };
    auto misplaced = [&](std::initializer_list<const char*> allowed) {
        std::optional<std::string> option = allowOnly(allowed);
        if (option) usageError(context, kCommand, *option + " does not apply to " + action);
        return option.has_value();
    };
    size_t expected = 0;
    if (action == "list") {
        if (misplaced({"folder"})) return kExitCannotRun;
        expected = 1;
    } else if (action == "compose") {
        if (misplaced({"to", "cc", "bcc", "subject", "body", "body-file", "priority", "read-receipt",
                       "delivery-report", "file"})) {
            return kExitCannotRun;
        }
        expected = 1;
    } else if (action == "delete") {
        if (misplaced({"undo"})) return kExitCannotRun;
        expected = 2;
    } else if (action == "read") {
        if (misplaced({"unread"})) return kExitCannotRun;
        expected = 2;
    } else if (action == "priority") {
        if (misplaced({})) return kExitCannotRun;
        expected = 3;
    } else if (action == "export") {
        if (misplaced({})) return kExitCannotRun;
        expected = 2;
    } else if (action == "show" || action == "file" || action == "retry") {
        if (misplaced({})) return kExitCannotRun;
        expected = 2;
    } else {
        return usageError(context, kCommand, "no action named " + action);
    }
    if (parsed.positionals.size() > expected) {
        return usageError(context, kCommand, "unexpected " + parsed.positionals[expected]);
    }

    if (action == "list") return listAction(parsed, context);
    if (action == "show") return showAction(parsed, context);
    if (action == "export") return exportAction(parsed, context);
    if (action == "compose") return composeAction(parsed, context);

    std::optional<std::uint64_t> id = messageNumber(parsed, 1, context, action);
    if (!id) return kExitCannotRun;
    if (action == "delete") {
        bool undo = parsed.flag("undo");
        return editHandheld(context, [&](Handheld& h) { return undo ? undeleteMessage(h, *id) : deleteMessage(h, *id); });
    }
    if (action == "read") {
        bool read = !parsed.flag("unread");
        return editHandheld(context, [&](Handheld& h) { return markRead(h, *id, read); });
    }
    if (action == "priority") {
        if (parsed.positionals.size() < 3) return usageError(context, kCommand, "priority needs high, normal or low");
        std::optional<int> priority = parsePriority(parsed.positionals[2]);
        if (!priority) return usageError(context, kCommand, "priority must be high, normal or low");
        return editHandheld(context, [&](Handheld& h) { return setPriority(h, *id, *priority); });
    }
    if (action == "file") {
        std::uint64_t queued = 0;
        int status = editHandheld(context, [&](Handheld& h) { return fileMessage(h, *id, queued); });
        if (status == kExitOk) context.out << "#" << queued << " queued for filing\n";
        return status;
    }
    return editHandheld(context, [&](Handheld& h) { return retryMessage(h, *id); });
}

}  // namespace conduit
