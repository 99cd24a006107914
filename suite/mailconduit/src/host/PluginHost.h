// One loaded mail host plug-in: the module, loaded through the platform loader as the suite's
// conduit loads it, and its fifteen exports bound by name.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "framework/MailHostExports.h"

namespace conduit {

/// Why a plug-in could not be loaded.
struct LoadError {
    enum class Kind {
        NotFound,       ///< no module of that name on the library path
        NotALibrary,    ///< the file is not a loadable library, or one it needs is missing
        MissingExport,  ///< a library, but one of the fifteen exports is missing
    };
    Kind kind = Kind::NotFound;
    std::string detail;  ///< the module or export name concerned
};

/// The fifteen exports as found by name. All are set once `PluginHost::load` succeeded.
using PluginExports = MailHostExports;

/// Owns one loaded plug-in module; unloading it (FreeLibrary) happens in the destructor.
class PluginHost {
public:
    /// Loads `moduleName` with LoadLibraryA (a DLL-style name such as "salvith.dll" or a path
    /// holding '/') and binds the fifteen exports. On failure `error` says why and nothing
    /// stays loaded.
    static std::unique_ptr<PluginHost> load(const std::string& moduleName, LoadError& error);

    ~PluginHost();
    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    /// The bound exports; calling them is the caller's business (calling order included).
    const PluginExports& exports() const { return m_exports; }
    /// The name the plug-in was loaded by.
    const std::string& name() const { return m_name; }

    /// GetSupportedHosts with the buffer protocol: asks with an empty buffer, grows to the
    /// size the plug-in asks for, asks again. Returns the names, or the failing result code.
    int supportedHosts(std::vector<std::string>& hosts) const;

    /// GetHostConfigInfo for `configFile` with the same protocol; `text` gets the description.
    int configInfo(const std::string& configFile, std::string& text) const;

private:
    PluginHost(void* module, std::string name) : m_module(module), m_name(std::move(name)) {}

    void* m_module;  // HMODULE, kept opaque here
    std::string m_name;
    PluginExports m_exports;
};

}  // namespace conduit
