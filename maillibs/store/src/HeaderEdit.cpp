#include "HeaderEdit.h"

#include <strings.h>

namespace vesk::store::detail {
namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ::strncasecmp(a.data(), b.data(), a.size()) == 0;
}

std::string_view fieldName(std::string_view line) {
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return {};
    std::string_view name = line.substr(0, colon);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.remove_suffix(1);
    return name;
}

}  // namespace

bool validHeaderEdit(const HeaderEdit& edit) {
    if (edit.name.empty()) return false;
    for (char c : edit.name) {
        if (c <= 0x20 || c >= 0x7F || c == ':') return false;
    }
    for (char c : edit.value) {
        if ((c < 0x20 && c != '\t') || c >= 0x7F) return false;
    }
    return true;
}

Result<std::string> editHeaders(std::string_view message, const std::vector<HeaderEdit>& edits) {
    for (const HeaderEdit& e : edits) {
        if (!validHeaderEdit(e)) return Status::InvalidArgument;
    }
    std::size_t firstLf = message.find('\n');
    std::string eol = (firstLf != std::string_view::npos && firstLf > 0 && message[firstLf - 1] == '\r') ? "\r\n" : "\n";

    // Walk the header line by line up to the empty line that ends it.
    std::string out;
    out.reserve(message.size() + 64);
    std::size_t pos = 0;
    bool dropping = false;
    while (pos < message.size()) {
        std::size_t lf = message.find('\n', pos);
        std::size_t end = lf == std::string_view::npos ? message.size() : lf + 1;
        std::string_view line = message.substr(pos, end - pos);
        std::string_view content = line;
        while (!content.empty() && (content.back() == '\n' || content.back() == '\r')) content.remove_suffix(1);
        if (content.empty()) break;  // the header ends here
        bool continuation = line[0] == ' ' || line[0] == '\t';
        if (!continuation) {
            std::string_view name = fieldName(content);
            dropping = false;
            for (const HeaderEdit& e : edits) {
                if (!name.empty() && sameName(name, e.name)) dropping = true;
            }
        }
        if (!dropping) {
            out += line;
            if (lf == std::string_view::npos) out += eol;  // a header without a final line end
        }
        pos = end;
    }
    for (const HeaderEdit& e : edits) {
        if (e.value.empty()) continue;
        out += e.name;
        out += ": ";
        out += e.value;
        out += eol;
    }
    out += message.substr(pos);
    return out;
}

}  // namespace vesk::store::detail
