// Pieces several subcommands share: loading the plug-in a person named, finding the
// configuration file, the desktop folder.
#pragma once

#include <memory>
#include <string>

#include "commands/CommandLine.h"
#include "commands/Commands.h"
#include "host/PluginHost.h"

namespace conduit {

/// Plain words for a failed plug-in load, naming the library path searched.
std::string describeLoadError(const LoadError& error, const std::string& plugin);

/// Loads plug-in `plugin` (short name or path); on failure prints why as
/// "mailconduit COMMAND: ..." and returns null.
std::unique_ptr<PluginHost> loadPluginFor(const std::string& command, const std::string& plugin,
                                          CommandContext& context);

/// The configuration file a command uses: --config made absolute, else the default one in
/// the conduit's folder of `home`.
std::string configFileFor(const ParsedArgs& args, const std::string& plugin, const std::string& home);

/// The desktop folder ($VESK_HOME, see vesk::home()).
std::string desktopHome();

}  // namespace conduit
