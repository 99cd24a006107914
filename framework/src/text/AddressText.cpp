#include "framework/AddressText.h"

#include <cstring>

namespace {

constexpr const char* kDelimiters = ";,\n\r";

bool isDelimiter(char c) { return c != '\0' && std::strchr(kDelimiters, c) != nullptr; }

bool isQuote(char c) { return c == '"' || c == '\''; }

bool equalsIgnoringCase(const std::string& a, const char* b) {
    if (a.size() != std::strlen(b)) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

void TrimRight(std::string& s) {
    size_t end = s.size();
    while (end > 0 && IsBlank(s[end - 1])) --end;
    s.erase(end);
}

void TrimLeft(std::string& s) {
    size_t start = 0;
    while (start < s.size() && IsBlank(s[start])) ++start;
    s.erase(0, start);
}

void Trim(std::string& s) {
    TrimRight(s);
    TrimLeft(s);
}

std::string GetNextListEntry(std::string& list) {
    // Leading blanks are skipped like leading delimiters, so a list of blanks and delimiters
    // only is used up in one call instead of yielding empty entries one by one.
    Trim(list);
    while (!list.empty() && isDelimiter(list.front())) {
        list.erase(0, 1);
        TrimLeft(list);
    }
    const size_t cut = list.find_first_of(kDelimiters);
    std::string entry = list.substr(0, cut);
    Trim(entry);
    if (cut == std::string::npos) {
        list.clear();
    } else {
        list.erase(0, cut + 1);
    }
    return entry;
}

int NormalizeAddressList(std::string& list) {
    std::string result;
    int count = 0;
    while (!list.empty()) {
        std::string entry = GetNextListEntry(list);
        if (entry.empty()) continue;
        if (!result.empty()) result += '\n';
        result += entry;
        ++count;
    }
    list.swap(result);
    return count;
}

std::string StripQuotes(const std::string& text) {
    std::string s = text;
    Trim(s);
    while (s.size() >= 2 && isQuote(s.front()) && s.back() == s.front()) {
        s = s.substr(1, s.size() - 2);
    }
    return s;
}

std::string GetDisplayNamePart(const std::string& address) {
    const std::string s = StripQuotes(address);
    const size_t lt = s.find('<');
    if (lt != std::string::npos && s.find('>') != std::string::npos) {
        return StripQuotes(s.substr(0, lt));
    }
    const size_t open = s.find('(');
    const size_t close = s.rfind(')');
    if (open != std::string::npos && close != std::string::npos) {
        if (close < open) return std::string();
        return StripQuotes(s.substr(open + 1, close - open - 1));
    }
    return s;
}

std::string GetAddressPart(const std::string& address) {
    const std::string s = StripQuotes(address);
    const size_t lt = s.find('<');
    const size_t gt = s.find('>');
    if (lt != std::string::npos && gt != std::string::npos) {
        if (gt < lt) return std::string();
        return StripQuotes(s.substr(lt + 1, gt - lt - 1));
    }
    const size_t open = s.find('(');
    if (open != std::string::npos && s.find(')') != std::string::npos) {
        return StripQuotes(s.substr(0, open));
    }
    return s;
}

int IsInternetAddress(const std::string& address) {
    std::string s = address;
    Trim(s);
    const size_t colon = s.find(':');
    if (colon != std::string::npos) {
        if (!equalsIgnoringCase(s.substr(0, colon), "smtp")) return 0;
        s.erase(0, colon + 1);
        TrimLeft(s);
    }
    if (s.size() <= 4) return 0;
    const size_t at = s.find('@');
    if (at == std::string::npos || at == 0 || at == s.size() - 1) return 0;
    const std::string domain = s.substr(at + 1);
    if (domain.size() <= 2) return 0;
    const size_t dot = domain.rfind('.');
    if (dot == std::string::npos || dot == domain.size() - 1) return 0;
    return 1;
}
