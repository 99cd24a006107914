#include "HeaderLimits.h"

#include <strings.h>

#include <algorithm>

namespace vesk::store::detail {
namespace {

// Unended starts read as they are; beyond them each would cost the rest of the field.
constexpr int kKeptUnendedWords = 16;
// Groups do not nest in mail at all; the address reader follows this many levels.
constexpr int kMaxGroupDepth = 8;

}  // namespace

std::vector<std::size_t> unendedEncodedWords(std::string_view field) {
    std::vector<std::size_t> out;
    std::size_t lastEnd = field.rfind("?=");
    std::size_t from = lastEnd == std::string_view::npos ? 0 : lastEnd + 2;
    int seen = 0;
    for (std::size_t at = field.find("=?", from); at != std::string_view::npos; at = field.find("=?", at + 2)) {
        if (++seen > kKeptUnendedWords) out.push_back(at + 1);
    }
    return out;
}

bool isAddressField(std::string_view name) {
    static constexpr std::string_view kFields[] = {"from", "sender", "reply-to", "to", "cc", "bcc",
                                                   "resent-from", "resent-sender", "resent-reply-to",
                                                   "resent-to", "resent-cc", "resent-bcc"};
    for (std::string_view field : kFields) {
        if (name.size() == field.size() && ::strncasecmp(name.data(), field.data(), field.size()) == 0) return true;
    }
    return false;
}

namespace {

// Which enclosures the scan honours; one left open at the end of the field is taken as text.
struct Enclosures {
    bool quotes = true, comments = true, angles = true;
};

std::vector<std::size_t> groupColons(std::string_view value, Enclosures honour, Enclosures& unclosed) {
    std::vector<std::size_t> out;
    bool quoted = false;
    int comment = 0, angle = 0, groups = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        if (c == '\\') {
            ++i;  // a quoted pair: the next character is taken as it is
        } else if (quoted) {
            quoted = c != '"';
        } else if (c == '"' && honour.quotes) {
            quoted = true;
        } else if (c == '(' && honour.comments) {
            ++comment;
        } else if (c == ')' && honour.comments) {
            if (comment > 0) --comment;
        } else if (comment > 0) {
            continue;
        } else if (c == '<' && honour.angles) {
            ++angle;
        } else if (c == '>' && honour.angles) {
            if (angle > 0) --angle;
        } else if (angle > 0) {
            continue;
        } else if (c == ':') {
            if (groups < kMaxGroupDepth) ++groups;
            else out.push_back(i);
        } else if (c == ';') {
            if (groups > 0) --groups;
        }
    }
    unclosed = {quoted, comment > 0, angle > 0};
    return out;
}

}  // namespace

std::vector<std::size_t> deepGroupColons(std::string_view value) {
    Enclosures unclosed;
    std::vector<std::size_t> out = groupColons(value, {}, unclosed);
    if (!unclosed.quotes && !unclosed.comments && !unclosed.angles) return out;
    // An enclosure that never closes may not enclose anything for the address reader either:
    // the colons after it count as well, read as if it were text.
    Enclosures ignored;
    std::vector<std::size_t> more =
        groupColons(value, {!unclosed.quotes, !unclosed.comments, !unclosed.angles}, ignored);
    out.insert(out.end(), more.begin(), more.end());
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
    return out;
}

}  // namespace vesk::store::detail
