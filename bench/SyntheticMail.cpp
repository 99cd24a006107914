#include "SyntheticMail.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>

#include "SyntheticText.h"

namespace vesk::bench {

using namespace text;

std::string syntheticMessage(unsigned index, unsigned seed) {
    std::mt19937 r(seed * 2654435761u + index);
    long long date = 1672531200LL + static_cast<long long>(index) * 3000 + r() % 3000;

    std::string subject = words(r, 3 + static_cast<int>(r() % 5));
    if (r() % 5 == 0) subject = rfc2047("Gr\xc3\xbc\xc3\x9f" "e \xe2\x80\x93 " + subject);
    std::string m = "Received: from relay.example.net by mx.example.org with ESMTP id " + std::to_string(index) +
                    ";\n\t" + dateText(date + 5) + "\n";
    m += "Date: " + dateText(date) + "\n";
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

std::string mixMessage(MailMix mix, unsigned index, unsigned seed) {
    return mix == MailMix::RealWorld ? realWorldMessage(index, seed) : syntheticMessage(index, seed);
}

bool writeMailFile(const std::string& dir, const char* sub, const std::string& name, const std::string& text) {
    std::string path = dir + "/" + sub + "/" + name;
    int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (fd >= 0 && ::close(fd) != 0) ok = false;
    if (!ok) std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    return ok;
}

bool writeSyntheticMaildir(const std::string& dir, unsigned count, unsigned seed, MailMix mix) {
    for (const char* sub : {"", "/cur", "/new", "/tmp"}) ::mkdir((dir + sub).c_str(), 0700);
    std::mt19937 r(seed);
    for (unsigned i = 0; i < count; ++i) {
        bool seen = r() % 10 < 7;
        char name[128];
        std::snprintf(name, sizeof name, "%lld.M%06uP%uQ%u.synthetic%s", 1672531200LL + i * 3000LL,
                      static_cast<unsigned>(r() % 1000000), seed, i, seen ? ":2,S" : "");
        // A rerun over an existing folder replaces its messages.
        std::string path = dir + (seen ? "/cur/" : "/new/") + name;
        ::unlink(path.c_str());
        if (!writeMailFile(dir, seen ? "cur" : "new", name, mixMessage(mix, i, seed))) return false;
    }
    return true;
}

}  // namespace vesk::bench
