#include "platform/TerminalText.h"

#include <cstdio>

#include "platform/Codepage.h"

namespace vesk::text {
namespace {

// Length of the well-formed UTF-8 sequence at `text[i]`, 0 when there is none.
std::size_t sequenceAt(std::string_view text, std::size_t i, char32_t& cp) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    std::size_t len = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : (lead & 0xF8) == 0xF0 ? 4 : 0;
    if (len == 0 || i + len > text.size()) return 0;
    if (!cp::isValidUtf8(text.substr(i, len))) return 0;
    cp = len == 1 ? lead : len == 2 ? lead & 0x1F : len == 3 ? lead & 0x0F : lead & 0x07;
    for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (byte(i + k) & 0x3F);
    return len;
}

void hex(std::string& out, const char* format, unsigned value) {
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, format, value);
    out += buffer;
}

}  // namespace

std::string forTerminal(std::string_view utf8, Lines lines) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t cp = 0;
        std::size_t len = sequenceAt(utf8, i, cp);
        if (len == 0) {
            hex(out, "<%02X>", static_cast<unsigned char>(utf8[i]));
            ++i;
            continue;
        }
        if (cp == '\t' || (cp == '\n' && lines == Lines::Many)) {
            out += static_cast<char>(cp);
        } else if (cp == '\r' && lines == Lines::Many && i + 1 < utf8.size() && utf8[i + 1] == '\n') {
            // CR LF is a line end; the LF is kept on the next round.
        } else if (cp < 0x20) {
            out += '^';
            out += static_cast<char>(cp + 0x40);
        } else if (cp == 0x7F) {
            out += "^?";
        } else if (cp >= 0x80 && cp <= 0x9F) {
            hex(out, "<U+%04X>", static_cast<unsigned>(cp));
        } else {
            out.append(utf8.substr(i, len));
        }
        i += len;
    }
    return out;
}

std::string forTerminalFromCp1252(std::string_view cp1252, Lines lines) {
    return forTerminal(cp::cp1252ToUtf8(cp1252), lines);
}

bool isTerminalSafe(std::string_view utf8, Lines lines) { return forTerminal(utf8, lines) == utf8; }

}  // namespace vesk::text
