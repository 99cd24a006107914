#include "PluginTraits.h"

namespace {

std::vector<const PluginTraits*>& registry() {
    static std::vector<const PluginTraits*> plugins;
    return plugins;
}

}  // namespace

const std::vector<const PluginTraits*>& RegisteredPlugins() { return registry(); }

bool RegisterPlugin(const PluginTraits* traits) {
    registry().push_back(traits);
    return true;
}
