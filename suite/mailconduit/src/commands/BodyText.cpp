#include "commands/BodyText.h"

#include "platform/Codepage.h"

namespace conduit {

namespace {

std::optional<std::u16string> utf16(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
        units.push_back(static_cast<char16_t>(bigEndian ? (a << 8) | b : (b << 8) | a));
    }
    return units;
}

}  // namespace

std::optional<std::string> bodyFromBytes(std::string_view bytes, const std::string& source, std::string& error) {
    const std::string notText = source + " is not text the handheld can send: ";
    std::string cp1252;
    bool bigEndian = bytes.substr(0, 2) == "\xFE\xFF";
    if (bigEndian || bytes.substr(0, 2) == "\xFF\xFE") {
        std::optional<std::u16string> units = utf16(bytes.substr(2), bigEndian);
        if (!units) {
            error = notText + "it starts with a UTF-16 byte-order mark but has an odd number of bytes";
            return std::nullopt;
        }
        if (units->find(u'\0') != std::u16string::npos) {
            error = notText + "its UTF-16 text holds a NUL character (UTF-32 is not supported)";
            return std::nullopt;
        }
        cp1252 = vesk::cp::utf16ToCp1252(*units);
    } else {
        if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
        if (std::size_t nul = bytes.find('\0'); nul != std::string_view::npos) {
            error = notText + "it holds a NUL byte (at byte " + std::to_string(nul) +
                    "); give UTF-8, or UTF-16 with a byte-order mark";
            return std::nullopt;
        }
        cp1252 = vesk::cp::utf8ToCp1252(bytes);
    }
    return cp1252;
}

}  // namespace conduit
