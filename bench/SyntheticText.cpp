#include "SyntheticText.h"

#include <cctype>
#include <ctime>

namespace vesk::bench::text {
namespace {

const char* const kFirst[] = {"Anna", "Tom", "Sam", "J\xc3\xbcrgen", "Marie", "Nikos", "Elodie", "Lee", "Priya", "Omar"};
const char* const kLast[] = {"Berger", "Keller", "Lee", "M\xc3\xbcller", "Curie", "Papas", "Dupont", "Chen", "Rao", "Haddad"};
const char* const kWords[] = {"report", "meeting", "budget", "schedule", "draft", "review", "project", "update",
                              "customer", "invoice", "release", "plan", "team", "office", "agenda", "notes",
                              "question", "answer", "travel", "training", "the", "and", "for", "with", "about"};
const char* const kB64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
const char* const kHex = "0123456789ABCDEF";

}  // namespace

std::string words(std::mt19937& r, int n) {
    std::string s;
    for (int i = 0; i < n; ++i) {
        if (i) s += ' ';
        s += pick(r, kWords);
    }
    return s;
}

std::string paragraphText(std::mt19937& r, int lines) {
    std::string s;
    for (int i = 0; i < lines; ++i) s += words(r, 6 + static_cast<int>(r() % 8)) + "\n";
    return s;
}

std::string mailbox(std::mt19937& r) {
    const char* first = pick(r, kFirst);
    const char* last = pick(r, kLast);
    std::string local;
    for (const char* p = first; *p; ++p) local += (*p & 0x80) ? 'u' : static_cast<char>(std::tolower(*p));
    return std::string(first) + " " + last + " <" + local + "." + std::to_string(r() % 100) + "@example.org>";
}

std::string rfc2047(const std::string& utf8) {
    std::string s = "=?UTF-8?Q?";
    for (unsigned char c : utf8) {
        if (c == ' ') s += '_';
        else if (c < 0x80 && std::isalnum(c)) s += static_cast<char>(c);
        else { s += '='; s += kHex[c >> 4]; s += kHex[c & 15]; }
    }
    return s + "?=";
}

std::string base64Lines(std::mt19937& r, std::size_t bytes) {
    std::string s;
    std::size_t chars = (bytes + 2) / 3 * 4;
    for (std::size_t i = 0; i < chars; ++i) {
        s += kB64[r() % 64];
        if (i % 76 == 75) s += '\n';
    }
    return s + "\n";
}

std::string quotedPrintable(const std::string& text) {
    std::string s;
    std::size_t column = 0;
    for (unsigned char c : text) {
        if (c == '\n') {
            s += '\n';
            column = 0;
            continue;
        }
        std::size_t width = (c == '=' || c >= 0x80 || c < 0x20) ? 3 : 1;
        if (column + width > 75) {
            s += "=\n";
            column = 0;
        }
        if (width == 3) {
            s += '=';
            s += kHex[c >> 4];
            s += kHex[c & 15];
        } else {
            s += static_cast<char>(c);
        }
        column += width;
    }
    return s;
}

std::string base64Of(const std::string& bytes) {
    std::string s;
    std::size_t column = 0;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (i + 1 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        if (i + 2 < bytes.size()) v |= static_cast<unsigned char>(bytes[i + 2]);
        s += kB64[(v >> 18) & 63];
        s += kB64[(v >> 12) & 63];
        s += i + 1 < bytes.size() ? kB64[(v >> 6) & 63] : '=';
        s += i + 2 < bytes.size() ? kB64[v & 63] : '=';
        column += 4;
        if (column >= 76) {
            s += '\n';
            column = 0;
        }
    }
    return column ? s + "\n" : s;
}

std::string dateText(long long seconds) {
    char out[64];
    std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    ::gmtime_r(&t, &parts);
    std::strftime(out, sizeof out, "%a, %d %b %Y %H:%M:%S +0000", &parts);
    return out;
}

}  // namespace vesk::bench::text
