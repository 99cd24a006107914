// mailconduit hosts: the mail systems each plug-in serves.
#include "commands/CommandSupport.h"
#include "display/Display.h"
#include "desktop/Paths.h"
#include "host/ResultCodes.h"

namespace conduit {

namespace {

// Prints one plug-in's hosts; false when it could not be asked.
bool printHosts(const std::string& plugin, CommandContext& context, bool quietWhenMissing) {
    LoadError error;
    std::unique_ptr<PluginHost> host = PluginHost::load(pluginModuleName(plugin), error);
    if (!host) {
        if (quietWhenMissing && error.kind == LoadError::Kind::NotFound) {
            context.out << pluginShortName(plugin) << ": not installed\n";
        } else {
            context.err << "mailconduit hosts: " << describeLoadError(error, plugin) << "\n";
        }
        return false;
    }
    std::vector<std::string> hosts;
    int rc = host->supportedHosts(hosts);
    if (rc != MAILHOST_OK) {
        context.err << "mailconduit hosts: " << plugin << ": GetSupportedHosts failed: " << describeResult(rc) << "\n";
        return false;
    }
    context.out << pluginShortName(plugin) << ":\n";
    for (const std::string& name : hosts) context.out << "  " << shown(name) << "\n";
    return true;
}

}  // namespace

int runHostsCommand(const std::vector<std::string>& args, CommandContext& context) {
    ParsedArgs parsed;
    if (auto error = parseArgs(args, {{"plugin", true}}, parsed)) return usageError(context, "hosts", *error);
    if (parsed.help) {
        context.out << commandHelp("hosts");
        return kExitOk;
    }
    if (!parsed.positionals.empty()) return usageError(context, "hosts", "unexpected " + parsed.positionals[0]);
    if (parsed.has("plugin")) return printHosts(parsed.value("plugin"), context, false) ? kExitOk : kExitCannotRun;
    int found = 0;
    for (const std::string& plugin : knownPlugins()) found += printHosts(plugin, context, true) ? 1 : 0;
    if (found == 0) {
        context.err << "mailconduit hosts: no plug-in found on the library path\n";
        return kExitCannotRun;
    }
    return kExitOk;
}

}  // namespace conduit
