// The handheld's file: JSON (UTF-8 texts, base64 identifiers), replaced atomically.
#pragma once

#include <string>

#include "handheld/Handheld.h"

namespace conduit {

/// Serialises `handheld` as the file holds it (pretty-printed, ends with a newline).
std::string handheldToJson(const Handheld& handheld);

/// Parses the file's text into `handheld`. Returns an error text (nothing on success); on
/// error `handheld` is left as it was.
std::optional<std::string> handheldFromJson(const std::string& text, Handheld& handheld);

/// Loads the handheld at `path`; a missing file is an empty handheld. Error text on failure.
std::optional<std::string> loadHandheld(const std::string& path, Handheld& handheld);

/// Replaces the file at `path` with `handheld` so that a crash leaves the old or the new
/// content, never a mix; creates the folder when missing. Error text on failure.
std::optional<std::string> saveHandheld(const std::string& path, const Handheld& handheld);

}  // namespace conduit
