#include "Charset.h"

#include <gmime/gmime.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "Cp1252.h"

namespace vesk::store::detail {
namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

bool isWesternLabel(const std::string& label) {
    static constexpr std::string_view kLabels[] = {
        "", "us-ascii", "ascii", "ansi_x3.4-1968", "iso-8859-1", "iso8859-1", "iso_8859-1",
        "latin1", "l1", "windows-1252", "cp1252", "x-cp1252", "unknown-8bit", "x-unknown",
        "8bit", "default",
    };
    return std::find(std::begin(kLabels), std::end(kLabels), label) != std::end(kLabels);
}

std::string fallback(std::string_view bytes) {
    if (isValidUtf8(bytes)) return std::string(bytes);
    return cp1252ToUtf8(bytes);
}

// Converters to UTF-8 by iconv name, opened once per thread: opening one loads and sets up
// tables, which costs more than converting a typical body. A name iconv does not know is
// remembered as such too.
class Converters {
public:
    Converters() = default;
    Converters(const Converters&) = delete;
    Converters& operator=(const Converters&) = delete;
    ~Converters() { closeAll(); }
    GIConv get(const char* iconvName) {
        auto it = m_open.find(iconvName);
        if (it == m_open.end() && m_open.size() >= kMaxOpen) closeAll();
        if (it == m_open.end()) it = m_open.emplace(iconvName, g_iconv_open("UTF-8", iconvName)).first;
        return it->second;
    }
    static inline const GIConv kNone = reinterpret_cast<GIConv>(-1);

private:
    // Labels come from mail: a flood of invented ones must not hold a descriptor each.
    static constexpr std::size_t kMaxOpen = 64;

    void closeAll() {
        for (auto& [name, cd] : m_open) {
            if (cd != kNone) g_iconv_close(cd);
        }
        m_open.clear();
    }

    std::map<std::string, GIConv, std::less<>> m_open;
};

}  // namespace

std::string decodeToUtf8(std::string_view bytes, std::string_view charset) {
    std::string label = lower(charset);
    if (isWesternLabel(label) || label == "utf-8" || label == "utf8") return fallback(bytes);
    // No ASCII shortcut for other labels: ISO-2022 and UTF-16 texts can be all 7-bit bytes.

    const char* iconvName = g_mime_charset_iconv_name(label.c_str());
    gsize written = 0;
    GError* error = nullptr;
    thread_local Converters converters;
    GIConv cd = converters.get(iconvName);
    if (cd == Converters::kNone) return fallback(bytes);
    // A conversion that stopped half-way leaves shift state behind: start from the initial one.
    g_iconv(cd, nullptr, nullptr, nullptr, nullptr);
    gchar* converted = g_convert_with_iconv(bytes.data(), static_cast<gssize>(bytes.size()), cd, nullptr,
                                            &written, &error);
    if (!converted) {
        g_clear_error(&error);
        return fallback(bytes);
    }
    std::string out(converted, written);
    g_free(converted);
    return out;
}

}  // namespace vesk::store::detail
