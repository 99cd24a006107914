// Opening the handheld for a command: the database, with an interrupted sync finished first,
// so that every command sees (and edits) what the last sync really left. A handheld kept by
// an earlier conduit (handheld.json and its journal) is moved into the database on first use.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "handheld/Handheld.h"
#include "handheld/HandheldStore.h"
#include "handheld/Journal.h"

namespace conduit {

/// The handheld as a command works on it.
struct OpenedHandheld {
    Handheld handheld;
    std::optional<ReplayReport> replay;  ///< set when an interrupted sync was finished
    bool migrated = false;               ///< handheld.json was moved into the database just now
    /// The database, from which `handheld` was read; commits go through it.
    std::unique_ptr<HandheldStore> store;
};

/// Loads the handheld of desktop `home`. Calls an interrupted sync left pending are settled
/// (sending and filing held as unsure); with `persist` that is written and a handheld.json is
/// migrated (the caller holds the desktop lock), otherwise nothing on disk changes.
/// With `lightInbox` the inbox's texts stay in the database (HandheldStore::load).
/// Returns an error text when a file cannot be read or written, or is damaged.
std::optional<std::string> openHandheld(const std::string& home, bool persist, OpenedHandheld& out,
                                        bool lightInbox = false);

/// Saves `handheld` into the database of desktop `home`: what differs from what it holds.
std::optional<std::string> storeHandheld(const std::string& home, const Handheld& handheld);

/// A sentence or two on what finishing an interrupted sync did, for the person.
std::string describeReplay(const ReplayReport& report, const Handheld& handheld);

}  // namespace conduit
