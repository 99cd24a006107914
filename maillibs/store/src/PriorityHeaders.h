// Priority as mail headers carry it, read and written.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "store/Model.h"
#include "store/Store.h"

namespace vesk::store::detail {

/// Reads one X-Priority value: "1"/"2" high, "3" normal, "4"/"5" low (a comment such as
/// "(Highest)" may follow). Nothing for any other value.
std::optional<Priority> fromXPriority(std::string_view value);
/// Reads an Importance value: high, normal, low (any case).
std::optional<Priority> fromImportance(std::string_view value);
/// Reads a Priority value: urgent, normal, non-urgent (any case).
std::optional<Priority> fromPriority(std::string_view value);

/// The header edits that make a message carry `priority`: X-Priority and Importance for
/// High and Low, none of them for Normal; any Priority header is removed.
std::vector<HeaderEdit> priorityEdits(Priority priority);

}  // namespace vesk::store::detail
