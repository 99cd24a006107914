#include "commands/Commands.h"

#include <algorithm>

#include "desktop/Paths.h"

namespace conduit {

namespace {

using Handler = int (*)(const std::vector<std::string>&, CommandContext&);

struct CommandInfo {
    const char* name;
    const char* summary;
    const char* help;
    Handler run;  // null: not part of this build
};

const CommandInfo kCommands[] = {
    {"hosts", "list the mail systems each plug-in serves",
     R"(Usage: mailconduit hosts [--plugin NAME]

Lists the mail systems a plug-in serves, as its GetSupportedHosts reports them.
Without --plugin, every plug-in of the suite found on the library path is asked
(orvek, dunmere, salvith); those not built or not loadable are named as such.

Options:
  --plugin NAME   one plug-in: a short name (salvith) or a path to a plug-in library
)",
     runHostsCommand},
    {"setup", "run a plug-in's Mail Setup wizard and store its settings",
     R"(Usage: mailconduit setup --plugin NAME [--config FILE] [--host NAME] [--in-mail-setup]
                         [--script FILE [--transcript FILE]]

Runs Mail Setup for a plug-in: asks it which mail systems it serves
(GetSupportedHosts), lets you pick one, runs the plug-in's "Mail Setup" wizard for
it (DisplayConfigWizardPages), and when you finish the wizard stores its settings in
the configuration file (SetHostConfigInfo) and prints what the file now holds
(GetHostConfigInfo). Cancel, or Back out of the wizard, stores nothing; Back from a
mail system picked from the list shows the list again.

On a terminal the wizard is shown full screen: Tab and Shift-Tab move, Enter presses
the focused button, Esc cancels, F1 shows the help. Without a terminal the pages
are written as plain lines and the answers read from standard input.

Options:
  --plugin NAME      the plug-in (short name such as salvith, or a path)
  --config FILE      the conduit's configuration file (default: $VESK_HOME/conduit/NAME.ini)
  --host NAME        the mail system, exactly as `mailconduit hosts` lists it; without
                     it the list is shown with numbers to choose from (a terminal is
                     needed unless the plug-in serves only one)
  --in-mail-setup    run the wizard as one stage of a longer setup: its last button
                     reads "Next >" and cancelling asks first
  --script FILE      play the actions in FILE instead of asking a person, one a line
                     (`press Finish`, `press Cancel`, `answer No`, `type TEXT into ID`)
  --transcript FILE  with --script: write what the wizard showed and what was done

Exit status: 0 the settings were saved; 1 nothing was saved (cancelled, went back,
no mail system chosen, or the configuration file cannot be written: a folder, or in a
folder that cannot be written to); 2 setup could not run (plug-in missing, a wizard
failure such as MAILHOST_OUT_OF_MEMORY, an unknown --host, no terminal to choose on,
an unreadable script or a script line the wizard could not play, a transcript that
cannot be written, or the command line was wrong).
)",
     runSetupCommand},
    {"info", "describe the settings a configuration file holds for a plug-in",
     R"(Usage: mailconduit info --plugin NAME [--config FILE]

Prints the plug-in's description of the settings stored in the configuration file
(GetHostConfigInfo), such as the mail system it was set up for.

Options:
  --plugin NAME   the plug-in (short name or path)
  --config FILE   the conduit's configuration file (default: $VESK_HOME/conduit/NAME.ini)
)",
     runInfoCommand},
    {"handheld", "look at and change the simulated handheld",
     R"(Usage: mailconduit handheld ACTION [ARGUMENTS]

The handheld lives in the database $VESK_HOME/conduit/handheld.db (a handheld.json
left by an earlier conduit is moved into it on first use and kept as
handheld.json.migrated). Its inbox mirrors the desktop mailbox; the outbox holds
messages written on the handheld; the filing queue holds messages to be filed into
the desktop store. Changes made here are carried to the desktop by the next
`mailconduit sync`.

Actions:
  list [--folder inbox|outbox|filed]   list the messages
  show N                               show message N in full
  compose --to ADDR [--to ADDR]... [--cc ADDR]... [--bcc ADDR]... [--subject TEXT]
          [--body TEXT | --body-file FILE] [--priority high|normal|low]
          [--read-receipt] [--delivery-report] [--file]
                                       write a message into the outbox (with --file:
                                       into the filing queue); without --body or
                                       --body-file the body is read from standard input
  delete N [--undo]                    delete message N (inbox: on the desktop at the
                                       next sync; outbox, filing queue: at once);
                                       --undo takes back a deletion not yet carried
  read N [--unread]                    mark inbox message N read (or unread)
  priority N high|normal|low           set the priority of message N
  file N                               file message N into the desktop store at the
                                       next sync (an inbox message is copied; an outbox
                                       message is filed instead of sent)
  retry N                              hand over again a message an interrupted sync
                                       left held, unsure whether it went through
  export [FILE]                        write the whole handheld as JSON (UTF-8 texts,
                                       identifiers in base64) to FILE, or to standard
                                       output

State letters in the list: * unread, D to delete, r read state to carry, p priority
to carry, ! high, - low priority, R read receipt, S delivery report, ? held.
)",
     runHandheldCommand},
    {"sync", "synchronise the handheld with the desktop mailbox",
     R"(Usage: mailconduit sync --plugin NAME [--config FILE] [--headers-only] [--dry-run] [--yes]
                        [--quiet | --verbose]

Runs one synchronisation through the plug-in: Initialize, Logon, GetAllMsgs (new
desktop messages come to the handheld, messages gone from the desktop leave it),
SendMsg for each outbox message, SetMsg for each message queued for filing,
DeleteMsg, SetMsgReadStatus and SetMsgPriority for each change made on the handheld,
Logoff and Uninitialize.

A message leaves the outbox only when the plug-in accepted it; a change the plug-in
refuses stays pending for the next sync. Every call that changes the desktop is
journalled first, so a sync cut off at any moment is finished by the next run
without losing or repeating anything. Progress goes to standard error, the summary
to standard output.

Options:
  --plugin NAME    the plug-in (short name such as salvith, or a path)
  --config FILE    the conduit's configuration file (default: $VESK_HOME/conduit/NAME.ini)
  --headers-only   ask the plug-in for headers only (bodies already on the handheld stay)
  --dry-run        print what would be sent, filed, deleted and marked; change nothing
  --yes            do not ask before removing more than half of the handheld's inbox
                   (a non-trivial one, 10 messages or more); without a terminal to ask
                   on, such a sync stops unless --yes is given
  --quiet          no progress on standard error (the summary still goes to standard output)
  --verbose        also show how often the plug-in gave the sync manager a turn

A message the plug-in accepted may still wait on the desktop: the summary says
"sent N" for what left the desktop and "queued N" for what the desktop's sending
command did not take (with its reason; it is tried again at the next sync), and names
messages held because an earlier hand-off was cut off (`mailconduit queue`). While the
mail library waits for the sending command, the progress line says so.

Exit status: 0 done; 1 some messages failed (each is named with the result code and
a reason) or mail stayed queued on the desktop; 2 the sync could not run (plug-in or mail library missing, logon refused,
bad configuration, the handheld busy or damaged).

Environment: VESK_HOME (the desktop folder), VESK_LIBRARY_PATH (where plug-ins and
mail libraries are found; default: the lib folder beside the program's bin folder).
)",
     runSyncCommand},
    {"queue", "look at mail waiting in the desktop's outbox, release held messages",
     R"(Usage: mailconduit queue list
       mailconduit queue release ID

The desktop's mail library hands each message to its sending command at most once. A
message it could not hand over (the command failed, timed out or is not configured)
waits in the desktop's outbox and is tried again at every sync. A message whose
hand-off was cut off (the sync was killed, the machine went down) may have gone out
already: it is held and never sent again by itself.

Actions:
  list         every message waiting in a desktop outbox the mail libraries have
               reported, with its identifier, whether it is held, and why it waits
  release ID   let the next sync send held message ID again; do this only once you
               know it did not arrive (ask the recipient, or look in the command's log)

Exit status: 0 done; 1 `list` found messages waiting; 2 the command line was wrong,
or no held message has that identifier.
)",
     runQueueCommand},
    {"demo", "run a whole round on a fresh copy of the example desktop",
     R"(Usage: mailconduit demo [--plugin NAME] [--keep] [--desktop FOLDER] [--imap]

Copies the example desktop into a fresh temporary $VESK_HOME, composes two messages on
the handheld, syncs, marks one message read, raises another's priority and deletes a
third, syncs again, and prints what happened on both sides: the handheld, the desktop
mailbox as the plug-in sees it, and the mail that left the desktop.

Options:
  --plugin NAME     the plug-in to use (default: salvith)
  --keep            keep the temporary desktop and print where it is
  --desktop FOLDER  the example desktop to copy (default: the one installed beside the
                    program, share/mailconduit/desktop, or the source tree's)
  --imap            put the desktop's mailboxes on an IMAP server first: a Dovecot
                    (/usr/sbin/dovecot) started on loopback for the demo and stopped at
                    its end, with the example mail uploaded and the accounts and the post
                    office pointed at it
)",
     runDemoCommand},
};

const CommandInfo* findCommand(const std::string& name) {
    for (const CommandInfo& command : kCommands) {
        if (name == command.name) return &command;
    }
    return nullptr;
}

void printOverview(std::ostream& out) {
    out << "Usage: mailconduit COMMAND [OPTIONS]\n\n"
           "Synchronises a simulated handheld with the desktop mailbox through a mail host\n"
           "plug-in, as the desktop suite's mail conduit does.\n\nCommands:\n";
    for (const CommandInfo& command : kCommands) {
        std::string name = command.name;
        out << "  " << name << std::string(10 - std::min<size_t>(name.size(), 9), ' ') << command.summary
            << "\n";
    }
    out << "  help      show the help of a command\n\n"
           "`mailconduit COMMAND --help` describes each command.\n";
}

}  // namespace

std::string commandHelp(const std::string& name) {
    const CommandInfo* command = findCommand(name);
    return command ? command->help : "";
}

int usageError(CommandContext& context, const std::string& command, const std::string& message) {
    context.err << "mailconduit " << command << ": " << message << "\n"
                << "Try `mailconduit " << command << " --help`.\n";
    return kExitCannotRun;
}

int runMailConduit(const std::vector<std::string>& args, CommandContext& context) {
    ensureLibraryPath();
    if (args.empty()) {
        printOverview(context.err);
        return kExitCannotRun;
    }
    const std::string& name = args[0];
    if (name == "--help" || name == "-h") {
        printOverview(context.out);
        return kExitOk;
    }
    if (name == "help") {
        if (args.size() < 2 || args[1] == "--help" || args[1] == "-h") {
            printOverview(context.out);
            return kExitOk;
        }
        const CommandInfo* command = findCommand(args[1]);
        if (!command) return usageError(context, "help", "no command named " + args[1]);
        context.out << command->help;
        return kExitOk;
    }
    const CommandInfo* command = findCommand(name);
    if (!command) {
        context.err << "mailconduit: no command named " << name << "\n";
        printOverview(context.err);
        return kExitCannotRun;
    }
    std::vector<std::string> rest(args.begin() + 1, args.end());
    bool wantsHelp = std::find(rest.begin(), rest.end(), "--help") != rest.end() ||
                     std::find(rest.begin(), rest.end(), "-h") != rest.end();
    if (!command->run) {
        if (wantsHelp) {
            context.out << command->help;
            return kExitOk;
        }
        context.err << "mailconduit " << name << ": not part of this build yet\n";
        return kExitCannotRun;
    }
    return command->run(rest, context);
}

}  // namespace conduit
