#include "commands/CommandSupport.h"

#include "desktop/Paths.h"
#include "platform/VeskHome.h"

namespace conduit {

std::string describeLoadError(const LoadError& error, const std::string& plugin) {
    std::string where;
    for (const std::string& folder : libraryFolders()) where += (where.empty() ? "" : ", ") + folder;
    if (where.empty()) where = "(VESK_LIBRARY_PATH is empty)";
    switch (error.kind) {
        case LoadError::Kind::NotFound:
            if (plugin.find('/') != std::string::npos) return "the plug-in library " + plugin + " does not exist";
            return "no plug-in named " + plugin + ": there is no " + pluginShortName(plugin) + ".so in " + where +
                   " (`mailconduit hosts` lists the plug-ins found)";
        case LoadError::Kind::NotALibrary:
            return "the plug-in library " + plugin + " could not be loaded: " + error.detail +
                   " is not a library for this machine, or a library it needs is missing";
        case LoadError::Kind::MissingExport:
            return plugin + " is not a mail host plug-in: it lacks the export " + error.detail;
    }
    return "the plug-in " + plugin + " could not be loaded";
}

std::unique_ptr<PluginHost> loadPluginFor(const std::string& command, const std::string& plugin,
                                          CommandContext& context) {
    LoadError error;
    std::unique_ptr<PluginHost> host = PluginHost::load(pluginModuleName(plugin), error);
    if (!host) context.err << "mailconduit " << command << ": " << describeLoadError(error, plugin) << "\n";
    return host;
}

std::string configFileFor(const ParsedArgs& args, const std::string& plugin, const std::string& home) {
    if (args.has("config")) return absolutePath(args.value("config"));
    return defaultConfigPath(home, plugin);
}

std::string desktopHome() { return vesk::home(); }

}  // namespace conduit
