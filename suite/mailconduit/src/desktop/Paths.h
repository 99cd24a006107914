// Where the conduit keeps its files on the desktop ($VESK_HOME) and where it finds plug-ins.
#pragma once

#include <string>
#include <vector>

namespace conduit {

/// The conduit's folder on the desktop: `<home>/conduit`.
std::string conduitFolder(const std::string& home);
/// The simulated handheld as earlier conduits kept it, `<home>/conduit/handheld.json`: read
/// once to migrate it into the database, then kept as a backup.
std::string handheldPath(const std::string& home);
/// The journal earlier conduits kept beside that file while a sync ran:
/// `<home>/conduit/handheld.journal`.
std::string journalPath(const std::string& home);
/// The simulated handheld: the database `<home>/conduit/handheld.db`.
std::string handheldDatabasePath(const std::string& home);
/// The lock file that keeps two conduits off the handheld at once.
std::string lockPath(const std::string& home);
/// The configuration file a sync uses when none is named: `<home>/conduit/<plugin>.ini`.
std::string defaultConfigPath(const std::string& home, const std::string& plugin);

/// Turns a relative path into an absolute one against the current folder (plug-ins treat
/// bare names as living in the desktop folder, which is not what a person typing one means).
std::string absolutePath(const std::string& path);

/// The folder holding the running program ("" when it cannot be told).
std::string programFolder();

/// Sets VESK_LIBRARY_PATH to the `lib` folder beside the program's `bin` folder unless it is
/// already set, so plug-ins and stand-ins are found in an unpacked build tree.
void ensureLibraryPath();

/// The folders of VESK_LIBRARY_PATH, in search order.
std::vector<std::string> libraryFolders();

/// The module name the loader is given for `--plugin NAME`: a name holding '/' is a path and
/// used as it is; otherwise "<name>.dll", which the loader maps to "<name>.so".
std::string pluginModuleName(const std::string& plugin);

/// A short name for `--plugin NAME`, for messages and the handheld file: the file name
/// without folder and extension, in lower case.
std::string pluginShortName(const std::string& plugin);

/// The plug-ins of the suite, by short name, in the order `hosts` lists them.
const std::vector<std::string>& knownPlugins();

}  // namespace conduit
