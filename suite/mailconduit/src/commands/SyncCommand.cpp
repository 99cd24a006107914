// mailconduit sync: one synchronisation, its progress and its summary.
#include <iostream>
#include <string>

#include "commands/CommandSupport.h"
#include "display/Display.h"
#include "desktop/FileIo.h"
#include "desktop/Paths.h"
#include "sync/ProblemWatch.h"
#include "host/ResultCodes.h"
#include "display/Summary.h"
#include "sync/SyncEngine.h"

namespace conduit {

namespace {

constexpr const char* kCommand = "sync";

bool askOnTerminal(CommandContext& context, const std::string& question) {
    context.err << question << " [y/N] ";
    context.err.flush();
    std::string answer;
    if (!std::getline(context.in, answer)) return false;
    return answer == "y" || answer == "Y" || answer == "yes";
}

// What the mail library logged about the refused calls, and where the log is.
void printProblems(std::ostream& out, const SyncReport& report) {
    if (report.problems.empty()) return;
    out << "  the mail library's reason (logged in " << ProblemWatch::logPath() << "):\n";
    for (const std::string& line : report.problems) out << "    " << line << "\n";
}

}  // namespace

int runSyncCommand(const std::vector<std::string>& args, CommandContext& context) {
    static const std::vector<OptionDef> known = {
        {"plugin", true}, {"config", true}, {"headers-only", false}, {"dry-run", false}, {"yes", false},
        {"quiet", false}, {"verbose", false},
    };
    ParsedArgs parsed;
    if (auto error = parseArgs(args, known, parsed)) return usageError(context, kCommand, *error);
    if (parsed.help) {
        context.out << commandHelp(kCommand);
        return kExitOk;
    }
    if (!parsed.positionals.empty()) return usageError(context, kCommand, "unexpected " + parsed.positionals[0]);
    if (!parsed.has("plugin")) return usageError(context, kCommand, "--plugin is required (for example --plugin salvith)");

    SyncOptions options;
    options.home = desktopHome();
    const std::string plugin = parsed.value("plugin");
    options.plugin = pluginShortName(plugin);
    options.configFile = configFileFor(parsed, plugin, options.home);
    options.headersOnly = parsed.flag("headers-only");
    options.dryRun = parsed.flag("dry-run");
    options.assumeYes = parsed.flag("yes");

    std::unique_ptr<PluginHost> host = loadPluginFor(kCommand, plugin, context);
    if (!host) return kExitCannotRun;
    if (!exists(options.configFile)) {
        context.err << "mailconduit sync: the sync could not run: bad configuration: " << options.configFile
                    << " does not exist (give the conduit's configuration file with --config, or make it with "
                       "`mailconduit setup --plugin "
                    << options.plugin << "`)\n";
        return kExitCannotRun;
    }

    Progress progress(context.err, context.errorIsTerminal, parsed.flag("quiet"), parsed.flag("verbose"));
    FaultHook faults = FaultHook::fromEnvironment();
    SyncEnvironment env{progress, faults, nullptr};
    if (context.inputIsTerminal) {
        env.confirm = [&context](const std::string& question) { return askOnTerminal(context, question); };
    }
    SyncReport report = runSync(host->exports(), options, env);
    report.verbose = parsed.flag("verbose");
    progress.finish();

    if (report.exitCode == kExitCannotRun) {
        if (report.replay) context.err << "mailconduit sync: " << report.replayText << "\n";
        context.err << "mailconduit sync: the sync could not run: " << report.reason << "\n";
        printProblems(context.err, report);
        bool logonRefused = !report.failures.empty() && report.failures.back().step == "Logon";
        if (logonRefused) {
            std::string info;
            if (host->configInfo(options.configFile, info) == MAILHOST_OK) {
                context.err << "  " << options.configFile << " holds, for " << options.plugin << ": "
                            << shownText(info) << "\n";
            }
        }
        bool libraryMissing = !report.failures.empty() && report.failures.back().step == "Initialize" &&
                              report.failures.back().rc == MAILHOST_LIBRARY_NOT_FOUND;
        if (libraryMissing) {
            std::string path;
            for (const std::string& folder : libraryFolders()) path += (path.empty() ? "" : ":") + folder;
            context.err << "  the plug-in looks for its mail library on VESK_LIBRARY_PATH (" << path
                        << ") and in its own folder\n";
        }
        for (const std::string& note : report.notes) context.err << "  note: " << note << "\n";
        return kExitCannotRun;
    }
    if (options.dryRun) {
        printPlan(context.out, report, options.plugin);
        return kExitOk;
    }
    printSummary(context.out, report, options.plugin);
    printProblems(context.out, report);
    return report.exitCode;
}

}  // namespace conduit
