// mailconduit info: the plug-in's description of the stored settings, and what waits in the
// desktop's outboxes.
#include "commands/CommandSupport.h"
#include "display/Display.h"
#include "desktop/DesktopQueue.h"
#include "desktop/FileIo.h"
#include "desktop/Paths.h"
#include "display/QueueDisplay.h"
#include "host/ResultCodes.h"
#include "platform/TerminalText.h"

namespace conduit {

int runInfoCommand(const std::vector<std::string>& args, CommandContext& context) {
    ParsedArgs parsed;
    if (auto error = parseArgs(args, {{"plugin", true}, {"config", true}}, parsed)) {
        return usageError(context, "info", *error);
    }
    if (parsed.help) {
        context.out << commandHelp("info");
        return kExitOk;
    }
    if (!parsed.has("plugin")) return usageError(context, "info", "--plugin is required");
    if (!parsed.positionals.empty()) return usageError(context, "info", "unexpected " + parsed.positionals[0]);
    std::string plugin = parsed.value("plugin");
    std::string config = configFileFor(parsed, plugin, desktopHome());
    // The plug-in first: a mistyped name is the fault, not the configuration file it implies.
    std::unique_ptr<PluginHost> host = loadPluginFor("info", plugin, context);
    if (!host) return kExitCannotRun;
    if (!exists(config)) {
        context.err << "mailconduit info: bad configuration: " << config << " does not exist (`mailconduit setup --plugin "
                    << pluginShortName(plugin) << "` makes it)\n";
        return kExitCannotRun;
    }
    std::string text;
    int rc = host->configInfo(config, text);
    if (rc != MAILHOST_OK) {
        context.err << "mailconduit info: GetHostConfigInfo failed: " << describeResult(rc) << "\n";
        return kExitCannotRun;
    }
    context.out << shownText(text);
    if (text.empty() || text.back() != '\n') context.out << "\n";
    std::string unreadable;
    std::vector<DesktopQueued> queue = desktopQueueNow(unreadable);
    context.out << "Desktop outbox (mail the plug-ins accepted that has not left the desktop):\n";
    printDesktopQueue(context.out, queue, "  ");
    if (!unreadable.empty()) context.out << "  cannot read " << vesk::text::forTerminal(unreadable) << "\n";
    return kExitOk;
}

}  // namespace conduit
