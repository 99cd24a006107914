// The markdown a run of sync-bench prints: tables ready for bench/README.md.
#pragma once

#include <string>
#include <vector>

#include "BenchFigures.h"

namespace vesk::bench {

/// The results of a run as markdown: the main table (one row per plug-in and mailbox, ratios
/// beside the times), the 100,000 / 10,000 scaling table when both sizes ran, the real-world
/// mix table when it ran, and the problems met. `machine` is printed above the tables.
std::string markdownReport(const std::vector<PluginFigures>& figures, const std::string& machine);

}  // namespace vesk::bench
