// Putting bytes into a Maildir safely: write to tmp/, fsync, then link or rename into
// place, so a crash leaves either the old state or the new one.
#pragma once

#include <string>
#include <string_view>

#include "store/Status.h"

namespace vesk::store::detail {

/// Delivers `bytes` into Maildir `maildir`: a unique name in tmp/ (mode 0600), fsync, link
/// into new/<id> (no flags) or cur/<id>:2,<flags> (never replacing an existing file; a taken
/// name is retried with a fresh one), unlink the tmp/ file, fsync the target directory.
/// `flags` must be normalised. Returns the identifier. Nothing stays in tmp/ on failure.
Result<std::string> deliverFile(const std::string& maildir, std::string_view bytes,
                                std::string_view flags);

/// Replaces the file `target` (inside `maildir`) with `bytes` in one rename: a tmp/ file is
/// written and fsynced first, then renamed over `target`, then the target directory is
/// fsynced. NotFound when `target` has vanished meanwhile (nothing is created then).
Status replaceFile(const std::string& maildir, const std::string& target, std::string_view bytes);

/// Renames `from` to `to` in one step without ever replacing an existing `to`
/// (Exists when it is taken). Both must be on the same file system.
Status renameNoReplace(const std::string& from, const std::string& to);

}  // namespace vesk::store::detail
