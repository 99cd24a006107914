#include "registry/RegText.h"

#include "home/TextLines.h"
#include "win32/Registry.h"

namespace vesk::reg {
namespace {

using vesk::files::trimBlanks;

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool startsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        char c = text[i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

// Reads a quoted string starting at text[0] == '"'. On success `used` is the number of bytes
// consumed, closing quote included.
std::optional<std::string> readQuoted(std::string_view text, size_t& used) {
    std::string out;
    for (size_t i = 1; i < text.size(); ++i) {
        char c = text[i];
        if (c == '"') {
            used = i + 1;
            return out;
        }
        // Only these two are escapes; "\0" or "\n" stay a backslash and a character.
        if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) ++i;
        out.push_back(text[i]);
    }
    return std::nullopt;
}

std::optional<std::string> parseHexBytes(std::string_view list) {
    std::string bytes;
    list = trimBlanks(list);
    while (!list.empty()) {
        size_t comma = list.find(',');
        std::string_view item = trimBlanks(list.substr(0, comma));
        if (item.empty() || item.size() > 2) return std::nullopt;
        int value = 0;
        for (char c : item) {
            int digit = hexDigit(c);
            if (digit < 0) return std::nullopt;
            value = value * 16 + digit;
        }
        bytes.push_back(static_cast<char>(value));
        if (comma == std::string_view::npos) break;
        list = trimBlanks(list.substr(comma + 1));  // a trailing comma ends the list too
    }
    return bytes;
}

std::optional<DWORD> parseHexNumber(std::string_view text, size_t maxDigits) {
    if (text.empty() || text.size() > maxDigits) return std::nullopt;
    DWORD value = 0;
    for (char c : text) {
        int digit = hexDigit(c);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<DWORD>(digit);
    }
    return value;
}

std::string quoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    out.push_back('"');
    return out;
}

bool fitsQuotedString(const std::string& bytes) {
    if (bytes.empty() || bytes.back() != '\0') return false;
    return bytes.find_first_of(std::string_view("\0\r\n", 3)) == bytes.size() - 1;
}

std::string hexNumber(DWORD value, int digits) {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) out.push_back(kDigits[(value >> shift) & 15]);
    return out;
}

// A number in as few hex digits as it needs, as in `hex(7):`.
std::string shortHex(DWORD value) {
    int digits = 1;
    while (digits < 8 && (value >> (4 * digits)) != 0) ++digits;
    return hexNumber(value, digits);
}

}  // namespace

std::optional<EntryText> splitEntry(std::string_view line) {
    EntryText entry;
    size_t pos = 0;
    if (!line.empty() && line.front() == '@') {
        pos = 1;
    } else if (!line.empty() && line.front() == '"') {
        auto name = readQuoted(line, pos);
        if (!name) return std::nullopt;
        entry.name = std::move(*name);
    } else {
        return std::nullopt;
    }
    std::string_view rest = trimBlanks(line.substr(pos));
    if (rest.empty() || rest.front() != '=') return std::nullopt;
    entry.data = trimBlanks(rest.substr(1));
    return entry;
}

bool isHexData(std::string_view data) {
    return startsWithNoCase(data, "hex");
}

std::optional<RegData> parseData(std::string_view data, bool* deletion) {
    if (deletion != nullptr) *deletion = false;
    data = trimBlanks(data);
    if (data == "-") {
        if (deletion != nullptr) *deletion = true;
        return std::nullopt;
    }
    RegData out;
    if (!data.empty() && data.front() == '"') {
        size_t used = 0;
        auto text = readQuoted(data, used);
        if (!text || !trimBlanks(data.substr(used)).empty()) return std::nullopt;
        out.type = REG_SZ;
        out.bytes = std::move(*text);
        out.bytes.push_back('\0');
        return out;
    }
    if (startsWithNoCase(data, "dword:")) {
        auto value = parseHexNumber(trimBlanks(data.substr(6)), 8);
        if (!value) return std::nullopt;
        out.type = REG_DWORD;
        for (int i = 0; i < 4; ++i) out.bytes.push_back(static_cast<char>((*value >> (8 * i)) & 0xff));
        return out;
    }
    if (startsWithNoCase(data, "hex:")) {
        out.type = REG_BINARY;
        data.remove_prefix(4);
    } else if (startsWithNoCase(data, "hex(")) {
        size_t close = data.find("):");
        if (close == std::string_view::npos) return std::nullopt;
        auto type = parseHexNumber(data.substr(4, close - 4), 8);
        if (!type) return std::nullopt;
        out.type = *type;
        data.remove_prefix(close + 2);
    } else {
        return std::nullopt;
    }
    auto bytes = parseHexBytes(data);
    if (!bytes) return std::nullopt;
    out.bytes = std::move(*bytes);
    return out;
}

std::string formatEntry(std::string_view name, const RegData& data, std::string_view eol) {
    std::string line = name.empty() ? std::string("@") : quoted(name);
    line.push_back('=');
    if (data.type == REG_SZ && fitsQuotedString(data.bytes)) {
        return line + quoted(std::string_view(data.bytes).substr(0, data.bytes.size() - 1));
    }
    if (data.type == REG_DWORD && data.bytes.size() == 4) {
        DWORD value = 0;
        for (int i = 3; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(data.bytes[static_cast<size_t>(i)]);
        return line + "dword:" + hexNumber(value, 8);
    }
    line += data.type == REG_BINARY ? std::string("hex:") : "hex(" + shortHex(data.type) + "):";
    size_t lineStart = 0;
    for (size_t i = 0; i < data.bytes.size(); ++i) {
        line += hexNumber(static_cast<unsigned char>(data.bytes[i]), 2);
        if (i + 1 == data.bytes.size()) break;
        line.push_back(',');
        if (line.size() - lineStart >= 76) {
            line.push_back('\\');
            line.append(eol);
            lineStart = line.size();
            line.append("  ");
        }
    }
    return line;
}

}  // namespace vesk::reg
