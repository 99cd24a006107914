#include "MessageShape.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

#include "HeaderLimits.h"

namespace vesk::store::detail {
namespace {

bool isFieldNameChar(unsigned char c) { return c >= 33 && c <= 126 && c != ':'; }

// "Name:" or "Name  :" at the start of the line.
bool isHeaderField(std::string_view line) {
    std::size_t i = 0;
    while (i < line.size() && isFieldNameChar(static_cast<unsigned char>(line[i]))) ++i;
    if (i == 0) return false;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    return i < line.size() && line[i] == ':';
}

bool isBlankLine(std::string_view line) { return line.empty() || line == "\r"; }

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lowerAscii(text[i]) != prefix[i]) return false;
    return true;
}

std::size_t findNoCase(std::string_view text, std::string_view needle) {
    for (std::size_t i = 0; i + needle.size() <= text.size(); ++i)
        if (startsWithNoCase(text.substr(i), needle)) return i;
    return std::string_view::npos;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

// The boundary parameter of a Content-Type value (quoted or a token), or empty.
std::string boundaryOf(std::string_view value) {
    std::size_t at = findNoCase(value, "boundary");
    while (at != std::string_view::npos) {
        std::string_view rest = value.substr(at + 8);
        rest = trimmed(rest);
        if (!rest.empty() && rest.front() == '=') {
            rest = trimmed(rest.substr(1));
            std::string out;
            if (!rest.empty() && rest.front() == '"') {
                for (std::size_t i = 1; i < rest.size() && rest[i] != '"'; ++i) out += rest[i];
            } else {
                for (char c : rest) {
                    if (c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n') break;
                    out += c;
                }
            }
            return out;
        }
        std::size_t next = findNoCase(value.substr(at + 8), "boundary");
        at = next == std::string_view::npos ? next : at + 8 + next;
    }
    return {};
}

// One nesting level: a multipart with its boundary, or an attached message (no boundary).
struct Level {
    std::string boundary;
};

// One change to the bytes, applied in offset order.
struct Edit {
    std::size_t offset;
    std::size_t removed;     // bytes dropped at `offset`
    std::string_view added;  // bytes put there instead
};

class Mender {
public:
    explicit Mender(std::string_view bytes) : m_bytes(bytes) {}

    std::optional<std::string> run() {
        bool inHeader = true;
        std::size_t headerStart = 0;
        std::size_t pos = 0;
        while (pos < m_bytes.size()) {
            std::size_t lf = m_bytes.find('\n', pos);
            std::size_t end = lf == std::string_view::npos ? m_bytes.size() : lf + 1;
            std::string_view line = m_bytes.substr(pos, end - pos);
            std::string_view content = line.substr(0, line.size() - (lf == std::string_view::npos ? 0 : 1));
            if (inHeader) {
                bool first = pos == headerStart;
                bool continuation = !first && !content.empty() && (content[0] == ' ' || content[0] == '\t');
                bool mboxFrom = first && headerStart == 0 && content.substr(0, 5) == "From ";
                if (isBlankLine(content)) {
                    inHeader = endHeader(headerStart, pos);
                    headerStart = end;
                } else if (!(continuation || mboxFrom || isHeaderField(content))) {
                    m_edits.push_back({pos, 0, "\n"});
                    inHeader = endHeader(headerStart, pos);
                    headerStart = pos;
                    continue;  // the same line again, now as the first line of what follows
                } else {
                    dropNuls(pos, content);
                }
            } else if (content.size() >= 2 && content[0] == '-' && content[1] == '-') {
                if (boundaryLine(content)) {
                    inHeader = true;
                    headerStart = end;
                }
            }
            pos = end;
        }
        if (inHeader) endHeader(headerStart, m_bytes.size());
        if (m_edits.empty()) return std::nullopt;
        return apply();
    }

private:
    void dropNuls(std::size_t pos, std::string_view content) {
        for (std::size_t i = content.find('\0'); i != std::string_view::npos; i = content.find('\0', i + 1))
            m_edits.push_back({pos + i, 1, {}});
    }

    // Breaks what in the fields of header block [start, end) would cost GMime far more than
    // its size (see HeaderLimits.h).
    void limitFields(std::size_t start, std::string_view header) {
        for (std::size_t fieldStart = 0; fieldStart < header.size();) {
            std::size_t fieldEnd = fieldStart;
            do {
                std::size_t lf = header.find('\n', fieldEnd);
                fieldEnd = lf == std::string_view::npos ? header.size() : lf + 1;
            } while (fieldEnd < header.size() && (header[fieldEnd] == ' ' || header[fieldEnd] == '\t'));
            std::string_view field = header.substr(fieldStart, fieldEnd - fieldStart);
            for (std::size_t at : unendedEncodedWords(field)) m_edits.push_back({start + fieldStart + at, 0, " "});
            std::size_t colon = field.find(':');
            if (colon != std::string_view::npos && isAddressField(trimmed(field.substr(0, colon)))) {
                for (std::size_t at : deepGroupColons(field.substr(colon + 1)))
                    m_edits.push_back({start + fieldStart + colon + 1 + at, 1, " "});
            }
            fieldStart = fieldEnd;
        }
    }

    // A header block [start, end) is complete: notes what its Content-Type opens. True when
    // another header block follows at once (the header of an attached message).
    bool endHeader(std::size_t start, std::size_t end) {
        std::string_view header = m_bytes.substr(start, end - start);
        limitFields(start, header);
        std::size_t typeAt = std::string_view::npos;
        for (std::size_t at = 0; at < header.size();) {
            if ((at == 0 || header[at - 1] == '\n') && startsWithNoCase(header.substr(at), "content-type")) {
                std::string_view rest = trimmed(header.substr(at + 12, 8));
                if (!rest.empty() && rest.front() == ':') typeAt = at;
            }
            std::size_t lf = header.find('\n', at);
            at = lf == std::string_view::npos ? header.size() : lf + 1;
        }
        if (typeAt == std::string_view::npos) return false;
        // The field with its continuation lines.
        std::size_t valueStart = header.find(':', typeAt) + 1;
        std::size_t valueEnd = valueStart;
        for (;;) {
            std::size_t lf = header.find('\n', valueEnd);
            if (lf == std::string_view::npos) { valueEnd = header.size(); break; }
            valueEnd = lf + 1;
            if (valueEnd >= header.size() || (header[valueEnd] != ' ' && header[valueEnd] != '\t')) break;
        }
        std::string value;
        for (char c : header.substr(valueStart, valueEnd - valueStart)) value += (c == '\r' || c == '\n') ? ' ' : c;
        std::string_view type = trimmed(value);
        bool multipart = startsWithNoCase(type, "multipart/");
        bool message = startsWithNoCase(type, "message/rfc822") || startsWithNoCase(type, "message/global");
        if (!multipart && !message) return false;
        if (static_cast<int>(m_levels.size()) >= kMaxMimeDepth) {
            // Too deep: from here on the content is text, boundaries and all.
            std::size_t from = start + valueStart;
            std::size_t to = start + header.substr(0, valueEnd).find_last_not_of("\r\n") + 1;
            // NULs dropped inside the replaced text need no edit of their own. Only this
            // header's edits can be there, and they are the last ones noted: a message of
            // thousands of such headers is not searched through whole for each of them.
            auto own = m_edits.end();
            while (own != m_edits.begin() && std::prev(own)->offset >= start) --own;
            m_edits.erase(std::remove_if(own, m_edits.end(),
                                         [&](const Edit& e) { return e.offset >= from && e.offset < to; }),
                          m_edits.end());
            m_edits.push_back({from, to - from, " text/plain"});
            return false;
        }
        if (multipart) {
            std::string boundary = boundaryOf(value);
            if (!boundary.empty()) m_levels.push_back({std::move(boundary)});
            return false;
        }
        m_levels.push_back({});
        return true;
    }

    // "--boundary" or "--boundary--" of an open level: closes the levels inside it, and
    // returns true when a part's header follows.
    bool boundaryLine(std::string_view content) {
        std::string_view text = trimmed(content.substr(2));
        for (std::size_t i = m_levels.size(); i-- > 0;) {
            const std::string& b = m_levels[i].boundary;
            if (b.empty() || text.substr(0, b.size()) != b) continue;
            std::string_view after = text.substr(b.size());
            if (!after.empty() && after != "--") continue;
            m_levels.resize(i + 1);
            if (after == "--") {
                m_levels.pop_back();
                return false;
            }
            return true;
        }
        return false;
    }

    std::string apply() {
        std::string out;
        out.reserve(m_bytes.size() + m_edits.size());
        std::stable_sort(m_edits.begin(), m_edits.end(),
                         [](const Edit& a, const Edit& b) { return a.offset < b.offset; });
        std::size_t pos = 0;
        for (const Edit& e : m_edits) {
            out.append(m_bytes.substr(pos, e.offset - pos));
            out.append(e.added);
            pos = e.offset + e.removed;
        }
        out.append(m_bytes.substr(pos));
        return out;
    }

    std::string_view m_bytes;
    std::vector<Edit> m_edits;
    std::vector<Level> m_levels;
};

}  // namespace

std::optional<std::string> mendMessageShape(std::string_view bytes) {
    // A file whose only line ends are CRs (as old Mac programs wrote) is one line to GMime.
    if (bytes.find('\n') == std::string_view::npos && bytes.find('\r') != std::string_view::npos) {
        std::string lf(bytes);
        for (char& c : lf)
            if (c == '\r') c = '\n';
        std::optional<std::string> mended = Mender(lf).run();
        return mended ? std::move(*mended) : std::move(lf);
    }
    return Mender(bytes).run();
}

}  // namespace vesk::store::detail
