#include "PriorityHeaders.h"

#include <strings.h>

#include <string>

namespace vesk::store::detail {
namespace {

std::string_view trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t' || s.front() == '\r' || s.front() == '\n'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n'))
        s.remove_suffix(1);
    return s;
}

bool equalsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

}  // namespace

std::optional<Priority> fromXPriority(std::string_view value) {
    value = trim(value);
    if (value.empty()) return std::nullopt;
    // Only a lone digit counts: "1 (Highest)" yes, "12" no.
    if (value.size() > 1 && value[1] != ' ' && value[1] != '\t' && value[1] != '(') return std::nullopt;
    switch (value[0]) {
    case '1':
    case '2': return Priority::High;
    case '3': return Priority::Normal;
    case '4':
    case '5': return Priority::Low;
    default: return std::nullopt;
    }
}

std::optional<Priority> fromImportance(std::string_view value) {
    value = trim(value);
    if (equalsNoCase(value, "high")) return Priority::High;
    if (equalsNoCase(value, "normal")) return Priority::Normal;
    if (equalsNoCase(value, "low")) return Priority::Low;
    return std::nullopt;
}

std::optional<Priority> fromPriority(std::string_view value) {
    value = trim(value);
    if (equalsNoCase(value, "urgent")) return Priority::High;
    if (equalsNoCase(value, "normal")) return Priority::Normal;
    if (equalsNoCase(value, "non-urgent")) return Priority::Low;
    return std::nullopt;
}

std::vector<HeaderEdit> priorityEdits(Priority priority) {
    switch (priority) {
    case Priority::High:
        return {{"X-Priority", "1 (Highest)"}, {"Importance", "high"}, {"Priority", ""}};
    case Priority::Low:
        return {{"X-Priority", "5 (Lowest)"}, {"Importance", "low"}, {"Priority", ""}};
    case Priority::Normal:
        break;
    }
    return {{"X-Priority", ""}, {"Importance", ""}, {"Priority", ""}};
}

}  // namespace vesk::store::detail
