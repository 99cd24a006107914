#include "store/Mailbox.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>

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

constexpr const char* kPlaceFile = "vesk-imap-mailbox";

// One value a line, "key value"; '%', CR and LF written as %XX so any password fits.
std::string escapedValue(const std::string& value) {
    std::string out;
    for (char c : value) {
        if (c == '%' || c == '\r' || c == '\n') {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
            out.append(hex);
        } else {
            out.push_back(c);
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string unescapedValue(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        int high = i + 2 < value.size() ? hexDigit(value[i + 1]) : -1;
        int low = i + 2 < value.size() ? hexDigit(value[i + 2]) : -1;
        if (value[i] == '%' && high >= 0 && low >= 0) {
            out.push_back(static_cast<char>(high * 16 + low));
            i += 2;
        } else {
            out.push_back(value[i]);
        }
    }
    return out;
}

std::string placeText(const ImapOptions& o) {
    return "url " + escapedValue(o.url) + "\ncafile " + escapedValue(o.caFile) + "\npassword " +
           escapedValue(o.password) + "\ntimeout " + std::to_string(o.timeoutSeconds) + "\n";
}

// Writes the place file when it differs (a changed password replaces the old one). A failure
// only costs `openStoreAt` the mailbox, so it is not the caller's failure.
void rememberPlace(const ImapOptions& o) {
    const std::string path = o.stateDir + "/" + kPlaceFile;
    const std::string text = placeText(o);
    std::ifstream in(path, std::ios::binary);
    std::string old((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (old == text) return;
    const std::string temporary = path + ".new";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) return;
    bool written = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (::close(fd) != 0 || !written || ::rename(temporary.c_str(), path.c_str()) != 0) ::unlink(temporary.c_str());
}

std::optional<ImapOptions> recalledPlace(const std::string& root) {
    std::ifstream in(root + "/" + kPlaceFile, std::ios::binary);
    if (!in) return std::nullopt;
    ImapOptions o;
    o.stateDir = root;
    for (std::string line; std::getline(in, line);) {
        std::size_t blank = line.find(' ');
        if (blank == std::string::npos) continue;
        std::string key = line.substr(0, blank), value = unescapedValue(std::string_view(line).substr(blank + 1));
        if (key == "url") o.url = value;
        else if (key == "cafile") o.caFile = value;
        else if (key == "password") o.password = value;
        else if (key == "timeout" && !value.empty() && value.size() < 6 &&
                 value.find_first_not_of("0123456789") == std::string::npos) o.timeoutSeconds = std::stoi(value);
    }
    if (o.url.empty()) return std::nullopt;
    return o;
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
    if (!place.isImap()) return openMaildir(place.maildir);
    Result<std::unique_ptr<Store>> opened = openImap(place.imap);
    if (opened) {
        ImapOptions kept = place.imap;
        kept.stateDir = (*opened)->root();
        rememberPlace(kept);
    }
    return opened;
}

Result<std::unique_ptr<Store>> openStoreAt(const std::string& root) {
    if (std::optional<ImapOptions> imap = recalledPlace(root)) return openImap(*imap);
    return openMaildir(root);
}

std::string mailboxProblem(const MailboxPlace& place) {
    if (place.isImap()) return "";
    return maildirProblem(place.maildir);
}

}  // namespace vesk::store
