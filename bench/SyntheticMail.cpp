#include "SyntheticMail.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <cstring>
#include <random>

namespace vesk::bench {
namespace {

const char* const kFirst[] = {"Anna", "Tom", "Sam", "J\xc3\xbcrgen", "Marie", "Nikos", "Elodie", "Lee", "Priya", "Omar"};
const char* const kLast[] = {"Berger", "Keller", "Lee", "M\xc3\xbcller", "Curie", "Papas", "Dupont", "Chen", "Rao", "Haddad"};
const char* const kWords[] = {"report", "meeting", "budget", "schedule", "draft", "review", "project", "update",
                              "customer", "invoice", "release", "plan", "team", "office", "agenda", "notes",
                              "question", "answer", "travel", "training", "the", "and", "for", "with", "about"};
const char* const kB64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

template <class T, std::size_t N>
const T& pick(std::mt19937& r, const T (&items)[N]) { return items[r() % N]; }

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
    static const char* hex = "0123456789ABCDEF";
    std::string s = "=?UTF-8?Q?";
    for (unsigned char c : utf8) {
        if (c == ' ') s += '_';
        else if (c < 0x80 && std::isalnum(c)) s += static_cast<char>(c);
        else { s += '='; s += hex[c >> 4]; s += hex[c & 15]; }
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

}  // namespace

std::string syntheticMessage(unsigned index, unsigned seed) {
    std::mt19937 r(seed * 2654435761u + index);
    long long date = 1672531200LL + static_cast<long long>(index) * 3000 + r() % 3000;
    char dateText[64];
    std::time_t t = static_cast<std::time_t>(date);
    std::strftime(dateText, sizeof dateText, "%a, %d %b %Y %H:%M:%S +0000", std::gmtime(&t));
    char receivedText[64];
    t += 5;
    std::strftime(receivedText, sizeof receivedText, "%a, %d %b %Y %H:%M:%S +0000", std::gmtime(&t));

    std::string subject = words(r, 3 + static_cast<int>(r() % 5));
    if (r() % 5 == 0) subject = rfc2047("Gr\xc3\xbc\xc3\x9f" "e \xe2\x80\x93 " + subject);
    std::string m = "Received: from relay.example.net by mx.example.org with ESMTP id " + std::to_string(index) +
                    ";\n\t" + receivedText + "\n";
    m += "Date: " + std::string(dateText) + "\n";
    m += "From: " + mailbox(r) + "\n";
    m += "To: " + mailbox(r);
    for (unsigned i = r() % 4; i > 0; --i) m += ",\n " + mailbox(r);
    m += "\n";
    if (r() % 3 == 0) m += "Cc: " + mailbox(r) + "\n";
    m += "Subject: " + subject + "\n";
    m += "Message-ID: <" + std::to_string(index) + "." + std::to_string(seed) + "@synthetic.example.org>\n";
    if (r() % 10 == 0) m += "X-Priority: 1 (Highest)\n";
    m += "MIME-Version: 1.0\n";

    std::string text = paragraphText(r, 5 + static_cast<int>(r() % 55));
    unsigned kind = r() % 20;
    if (kind < 12) {  // plain text
        m += "Content-Type: text/plain; charset=us-ascii\nContent-Transfer-Encoding: 7bit\n\n" + text;
    } else if (kind < 15) {  // alternative
        m += "Content-Type: multipart/alternative; boundary=\"alt-b\"\n\n--alt-b\n"
             "Content-Type: text/plain; charset=us-ascii\n\n" + text +
             "\n--alt-b\nContent-Type: text/html; charset=us-ascii\n\n<html><body><p>" + text +
             "</p></body></html>\n--alt-b--\n";
    } else if (kind < 17) {  // attachment
        m += "Content-Type: multipart/mixed; boundary=\"mix-b\"\n\n--mix-b\n"
             "Content-Type: text/plain; charset=us-ascii\n\n" + text +
             "\n--mix-b\nContent-Type: application/pdf; name=\"file" + std::to_string(index) +
             ".pdf\"\nContent-Disposition: attachment; filename=\"file" + std::to_string(index) +
             ".pdf\"\nContent-Transfer-Encoding: base64\n\n" + base64Lines(r, 2000 + r() % 18000) + "--mix-b--\n";
    } else if (kind < 19) {  // HTML only
        m += "Content-Type: text/html; charset=utf-8\n\n<html><head><style>p{}</style></head><body><h1>" +
             subject + "</h1><p>" + text + "</p><ul><li>one</li><li>two</li></ul></body></html>\n";
    } else {  // 8-bit Latin-1
        m += "Content-Type: text/plain; charset=iso-8859-1\nContent-Transfer-Encoding: 8bit\n\n"
             "Caf\xe9 cr\xe8me, \xa9 \xe0 bient\xf4t.\n" + text;
    }
    return m;
}

bool writeSyntheticMaildir(const std::string& dir, unsigned count, unsigned seed) {
    for (const char* sub : {"", "/cur", "/new", "/tmp"}) ::mkdir((dir + sub).c_str(), 0700);
    std::mt19937 r(seed);
    for (unsigned i = 0; i < count; ++i) {
        bool seen = r() % 10 < 7;
        char name[128];
        std::snprintf(name, sizeof name, "%lld.M%06uP%uQ%u.synthetic%s", 1672531200LL + i * 3000LL,
                      static_cast<unsigned>(r() % 1000000), seed, i, seen ? ":2,S" : "");
        std::string path = dir + (seen ? "/cur/" : "/new/") + name;
        std::string text = syntheticMessage(i, seed);
        int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
        if (fd >= 0 && ::close(fd) != 0) ok = false;
        if (!ok) {
            std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
            return false;
        }
    }
    return true;
}

}  // namespace vesk::bench
