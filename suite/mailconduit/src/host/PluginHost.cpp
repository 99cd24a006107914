#include "host/PluginHost.h"

#include "win32/Module.h"

namespace conduit {

namespace {

// A plug-in asking for more than this for a few names or lines is broken; stop growing.
constexpr int kMaxTextSize = 1 << 20;

// The buffer protocol of the text exports: call, and when the plug-in answers
// MAILHOST_BUFFER_TOO_SMALL with a size, call again with that size.
template <typename Call>
int fetchText(Call call, std::string& text) {
    int size = 0;
    std::string buffer;
    for (int attempt = 0; attempt < 4; ++attempt) {
        buffer.assign(static_cast<size_t>(size > 0 ? size : 1), '\0');
        int capacity = size;
        int rc = call(buffer.data(), &capacity);
        if (rc == MAILHOST_BUFFER_TOO_SMALL) {
            if (capacity <= size || capacity > kMaxTextSize) return MAILHOST_BUFFER_TOO_SMALL;
            size = capacity;
            continue;
        }
        if (rc != MAILHOST_OK) return rc;
        text = buffer;
        return MAILHOST_OK;
    }
    return MAILHOST_BUFFER_TOO_SMALL;
}

}  // namespace

std::unique_ptr<PluginHost> PluginHost::load(const std::string& moduleName, LoadError& error) {
    HMODULE module = LoadLibraryA(moduleName.c_str());
    if (!module) {
        DWORD why = GetLastError();
        error = {why == ERROR_MOD_NOT_FOUND ? LoadError::Kind::NotFound
                                            : LoadError::Kind::NotALibrary,
                 moduleName};
        return nullptr;
    }
    std::unique_ptr<PluginHost> host(new PluginHost(module, moduleName));
    if (const char* missing = BindMailHostExports(module, host->m_exports)) {
        error = {LoadError::Kind::MissingExport, missing};
        return nullptr;  // the destructor frees the module
    }
    return host;
}

PluginHost::~PluginHost() {
    if (m_module) FreeLibrary(static_cast<HMODULE>(m_module));
}

int PluginHost::supportedHosts(std::vector<std::string>& hosts) const {
    std::string text;
    int rc = fetchText([this](char* out, int* size) { return m_exports.GetSupportedHosts(out, size); },
                       text);
    if (rc != MAILHOST_OK) return rc;
    hosts.clear();
    // Consecutive NUL-terminated names, ended by an empty one (or by the buffer's end).
    size_t pos = 0;
    while (pos < text.size() && text[pos] != '\0') {
        size_t end = text.find('\0', pos);
        if (end == std::string::npos) end = text.size();
        hosts.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return MAILHOST_OK;
}

int PluginHost::configInfo(const std::string& configFile, std::string& text) const {
    std::string raw;
    int rc = fetchText(
        [&](char* out, int* size) { return m_exports.GetHostConfigInfo(configFile.c_str(), out, size); },
        raw);
    if (rc != MAILHOST_OK) return rc;
    text = raw.substr(0, raw.find('\0'));
    return MAILHOST_OK;
}

}  // namespace conduit
