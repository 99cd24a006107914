// Opening the handheld for a command: the state on disk, with an interrupted sync finished
// first, so that every command sees (and edits) what the last sync really left.
#pragma once

#include <optional>
#include <string>

#include "Handheld.h"
#include "Journal.h"

namespace conduit {

/// The handheld as a command works on it.
struct OpenedHandheld {
    Handheld handheld;
    std::optional<ReplayReport> replay;  ///< set when an interrupted sync was finished
};

/// Loads the handheld of desktop `home`. A journal left by an interrupted sync is replayed
/// into it; with `persist` the result is saved and the journal removed (the caller holds the
/// desktop lock), otherwise the replay happens in memory only and no file changes.
/// Returns an error text when a file cannot be read or written, or is damaged.
std::optional<std::string> openHandheld(const std::string& home, bool persist, OpenedHandheld& out);

/// Saves the handheld of desktop `home`. Error text on failure.
std::optional<std::string> storeHandheld(const std::string& home, const Handheld& handheld);

/// A sentence or two on what finishing an interrupted sync did, for the person.
std::string describeReplay(const ReplayReport& report, const Handheld& handheld);

}  // namespace conduit
