// Strings of the plug-in's resources, loaded by number.
#pragma once

#include <string>

#include "win32/WinTypes.h"

/// String `id` (Windows-1252) from the resource handle of the module state in force: during a
/// call into a plug-in its language library, or its embedded English copy when the language
/// library is missing. Empty when the string does not exist.
std::string LoadResString(UINT id);
