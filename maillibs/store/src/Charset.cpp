#include "Charset.h"

#include <gmime/gmime.h>

#include <algorithm>
#include <cctype>

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

}  // namespace

std::string decodeToUtf8(std::string_view bytes, std::string_view charset) {
    std::string label = lower(charset);
    if (isWesternLabel(label) || label == "utf-8" || label == "utf8") return fallback(bytes);
    // No ASCII shortcut for other labels: ISO-2022 and UTF-16 texts can be all 7-bit bytes.

    const char* iconvName = g_mime_charset_iconv_name(label.c_str());
    gsize written = 0;
    GError* error = nullptr;
    gchar* converted = g_convert(bytes.data(), static_cast<gssize>(bytes.size()), "UTF-8",
                                 iconvName, nullptr, &written, &error);
    if (!converted) {
        g_clear_error(&error);
        return fallback(bytes);
    }
    std::string out(converted, written);
    g_free(converted);
    return out;
}

}  // namespace vesk::store::detail
