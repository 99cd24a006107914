#include "SmapiMessageText.h"

#include <cstdlib>
#include <cstring>
#include <ctime>
#include <vector>

#include "framework/AddressText.h"
#include "framework/UnwrapLines.h"
#include "platform/LocalTime.h"

namespace {

int clamp(int value, int low, int high) { return value < low ? low : value > high ? high : value; }

}  // namespace

int32_t SmapiTimeFromDate(const char* text) {
    if (text == nullptr || text[0] == '\0') return 0;
    int fields[5] = {0, 0, 0, 0, 0};
    const char* p = text;
    for (int i = 0; i < 5 && *p != '\0'; ++i) {
        size_t piece = std::strcspn(p, "/: ");
        fields[i] = std::atoi(std::string(p, piece).c_str());
        p += piece;
        if (*p != '\0') ++p;
    }
    std::tm local{};
    local.tm_year = clamp(fields[0], 1970, 2038) - 1900;
    local.tm_mon = clamp(fields[1], 1, 12) - 1;
    local.tm_mday = clamp(fields[2], 1, 31);
    local.tm_hour = clamp(fields[3], 0, 23);
    local.tm_min = clamp(fields[4], 0, 59);
    local.tm_sec = 0;
    local.tm_isdst = -1;
    std::time_t when = vesk::calendar::fromLocalFields(local);
    // Dates late in 2038 pass what 32 bits hold; they stay at the last second that fits.
    // (Midnight of 1 January 1970 east of Greenwich is a few hours before 0.)
    if (when > INT32_MAX) return INT32_MAX;
    return when < INT32_MIN ? INT32_MIN : static_cast<int32_t>(when);
}

std::string SmapiDisplayText(const char* name, const char* address) {
    std::string n = name != nullptr ? name : "";
    std::string a = address != nullptr ? address : "";
    if (n.empty() && !a.empty()) {
        n = GetDisplayNamePart(a);
        a = GetAddressPart(a);
    } else if (a.empty() && !n.empty()) {
        a = GetAddressPart(n);
        n = GetDisplayNamePart(n);
    }
    if (n.empty()) return a;
    if (a.empty() || a == n) return n;
    return a + " (" + n + ")";
}

std::string SmapiBodyFromNoteText(const char* noteText) {
    if (noteText == nullptr) return std::string();
    std::string text = noteText;
    if (text.find('\n') != std::string::npos && text.find('\r') == std::string::npos) {
        std::string converted;
        converted.reserve(text.size() * 2);
        for (char c : text) {
            if (c == '\n') converted.push_back('\r');
            converted.push_back(c);
        }
        text.swap(converted);
    }
    if (text.empty()) return text;
    // The unwrapping is given the text with its NUL, as the mail library hands it over.
    std::vector<char> unwrapped(text.size() + 2);
    UnwrapLines(unwrapped.data(), text.c_str(), text.size() + 1);
    return std::string(unwrapped.data());
}
