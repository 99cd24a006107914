// Where modules and help files are looked for: the folders of $VESK_LIBRARY_PATH, then the
// folder of the module that asks.
#pragma once

#include <string>
#include <vector>

namespace vesk::loader {

/// The folders to search for a file wanted by the code at `callerAddress`: each non-empty
/// entry of $VESK_LIBRARY_PATH (colon-separated) in order, then the folder of the module that
/// contains `callerAddress` (left out when it lies in no module).
std::vector<std::string> searchFolders(const void* callerAddress);

/// The folder of the module that contains `address`, or empty.
std::string moduleFolder(const void* address);

/// The path of the running program, or empty when it cannot be read.
std::string programPath();

/// True when `path` names an existing regular file (or a link to one).
bool isFile(const std::string& path);

}  // namespace vesk::loader
