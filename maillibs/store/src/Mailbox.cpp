#include "store/Mailbox.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "imap/ImapUrl.h"
#include "platform/VeskHome.h"

namespace vesk::store {
namespace {

std::string maildirProblem(const std::string& path) {
    struct stat info{};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT) return "the Maildir " + path + " does not exist";
        return "the Maildir " + path + " cannot be reached: " + std::strerror(errno);
    }
    if (!S_ISDIR(info.st_mode)) return "the Maildir " + path + " is not a folder";
    if (::access(path.c_str(), R_OK | X_OK) != 0) {
        return "the Maildir " + path + " cannot be read: " + std::strerror(errno);
    }
    for (const char* sub : {"cur", "new", "tmp"}) {
        std::string folder = path + "/" + sub;
        if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
            return "the Maildir " + path + " has no " + sub + "/ folder (a Maildir needs cur/, new/ and tmp/)";
        }
    }
    return "";
}

// A user or host as one file-name part: letters, digits and ".-+" kept (no leading dot), the
// rest %XX, so the '@' between them is the only one.
void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '+' || (c == '.' && !out.empty() && out.back() != '/');
        if (plain) {
            out.push_back(c);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", byte);
            out.append(hex);
        }
    }
}

}  // namespace

std::string imapStateFolder(std::string_view url) {
    std::optional<detail::ImapUrl> parsed = detail::parseImapUrl(url);
    if (!parsed) return "";
    std::string folder = home();
    folder.append("/imap/");
    appendEscaped(folder, parsed->user);
    folder.push_back('@');
    std::string host = parsed->host;  // host names are the same in any case
    for (char& c : host) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    appendEscaped(folder, host);
    folder.append("_").append(std::to_string(parsed->port));
    return folder;
}

Result<std::unique_ptr<Store>> openMailbox(const MailboxPlace& place) {
    if (place.isImap()) return openImap(place.imap);
    return openMaildir(place.maildir);
}

std::string mailboxProblem(const MailboxPlace& place) {
    if (place.isImap()) return "";
    return maildirProblem(place.maildir);
}

}  // namespace vesk::store
