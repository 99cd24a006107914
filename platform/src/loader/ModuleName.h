// How a DLL name becomes the names of the files that stand for it.
#pragma once

#include <string>

namespace vesk::loader {

struct ModuleFileNames {
    std::string folder;     ///< the folder part of the name as given ("" when there is none)
    std::string library;    ///< the shared object's file name: "VeskCmn.dll" -> "veskcmn.so";
                            ///< empty for a name ending in ".res"
    std::string resources;  ///< the resource-only stand-in: "veskcmn.res"; empty when the name
                            ///< carries an extension other than .dll, .so or .res
};

/// Splits off the folder, lower-cases the file name and replaces ".dll" with ".so" (a name
/// without an extension gets ".so"; a ".res" name stands only for that resource file; any
/// other extension is kept).
ModuleFileNames mapModuleName(const std::string& name);

}  // namespace vesk::loader
