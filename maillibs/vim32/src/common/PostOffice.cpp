#include "common/PostOffice.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "common/ProfileFile.h"
#include "platform/Codepage.h"
#include "platform/VeskHome.h"
#include "store/ProblemLog.h"

namespace vesk::vim32 {
namespace {

constexpr std::size_t kMaxUserName = 64;

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = lower(c);
    return out;
}

std::string fsPath(std::string_view ansi) { return cp::cp1252ToUtf8(ansi); }

bool isFile(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string dotted(std::string_view text) {
    std::string out;
    for (char c : text) {
        auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || c == '-' || c == '_') {
            out += lower(c);
        } else if (!out.empty() && out.back() != '.') {
            out += '.';
        }
    }
    while (!out.empty() && out.back() == '.') out.pop_back();
    return out.empty() ? std::string("user") : out;
}

}  // namespace

bool equalsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

bool isValidUserName(std::string_view name) {
    if (name.empty() || name.size() > kMaxUserName) return false;
    if (name.front() == ' ' || name.back() == ' ') return false;
    for (char c : name) {
        auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return false;
        if (std::string_view("@\\/[];,=\"").find(c) != std::string_view::npos) return false;
    }
    return true;
}

std::string resolvePostOfficePath(std::string_view ansi) {
    std::string path = fsPath(ansi);
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    if (path.empty() || path.front() == '/') return path;
    return home() + "/" + path;
}

const User* PostOffice::findUser(std::string_view text) const {
    for (const User& user : users) {
        if (equalsNoCase(user.name, text)) return &user;
    }
    for (const User& user : users) {
        if (!user.displayName.empty() && equalsNoCase(user.displayName, text)) return &user;
    }
    return nullptr;
}

const User* PostOffice::userByAddress(std::string_view address) const {
    for (const User& user : users) {
        if (equalsNoCase(localAddressOf(user), address)) return &user;
    }
    return nullptr;
}

std::string PostOffice::localAddressOf(const User& user) const {
    if (!user.address.empty()) return user.address;
    return dotted(user.name) + "@" + dotted(name) + ".invalid";
}

std::string PostOffice::personalBookOf(const User& user) const {
    return folder + "/addresses/" + fsPath(lowered(user.name)) + ".ini";
}

std::optional<PostOffice> loadPostOffice(const std::string& folder, PostOfficeError& error) {
    error = PostOfficeError::None;
    const std::string file = folder + "/" + kPostOfficeFile;
    if (folder.empty() || !isFile(file)) {
        error = PostOfficeError::Missing;
        return std::nullopt;
    }
    PostOffice office;
    office.folder = folder;
    office.name = profileValue(file, kPostOfficeSection, "Name");
    office.gateway = profileValue(file, kPostOfficeSection, "InternetGateway");
    const std::string prefix = kUserSectionPrefix;
    for (const std::string& section : profileNames(file)) {
        if (section.size() <= prefix.size() || !equalsNoCase(section.substr(0, prefix.size()), prefix)) continue;
        User user;
        user.name = section.substr(prefix.size());
        user.passwordHash = profileValue(file, section, "Password");
        std::string mailbox = profileValue(file, section, "Mailbox");
        std::string imap = profileValue(file, section, "Imap");
        user.displayName = profileValue(file, section, "DisplayName");
        user.address = profileValue(file, section, "Address");
        const char* problem = nullptr;
        if (!isValidUserName(user.name)) {
            problem = "the user name is not usable (1-64 characters, no @ \\ / [ ] ; , = or quotes)";
        } else if (mailbox.empty() && imap.empty()) {
            problem = "the user has no Mailbox (nor an Imap mailbox)";
        } else if (!mailbox.empty() && !imap.empty()) {
            problem = "the user has both a Mailbox and an Imap mailbox (keep the one that holds the user's mail)";
        } else if (std::any_of(office.users.begin(), office.users.end(),
                               [&](const User& other) { return equalsNoCase(other.name, user.name); })) {
            problem = "the user is listed twice";
        }
        if (problem != nullptr) {
            store::logProblem("vim32", file + " [" + section + "]", problem);
            error = PostOfficeError::Damaged;
            return std::nullopt;
        }
        if (!imap.empty()) {
            user.mailbox.imap.url = imap;
            user.mailbox.imap.password = profileValue(file, section, "ImapPassword");
            std::string certificates = fsPath(profileValue(file, section, "ImapCAFile"));
            if (!certificates.empty()) {
                user.mailbox.imap.caFile =
                    std::filesystem::path(certificates.front() == '/' ? certificates : folder + "/" + certificates)
                        .lexically_normal();
            }
            user.mailbox.imap.stateDir = store::imapStateFolder(imap);
        } else {
            std::string path = fsPath(mailbox);
            user.mailbox.maildir =
                std::filesystem::path(path.front() == '/' ? path : folder + "/" + path).lexically_normal();
        }
        office.users.push_back(std::move(user));
    }
    if (office.name.empty()) office.name = "POSTOFFICE";
    return office;
}

}  // namespace vesk::vim32
