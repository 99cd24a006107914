#include "common/PostOffice.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "platform/Codepage.h"
#include "platform/VeskHome.h"
#include "store/ProblemLog.h"
#include "win32/Profile.h"

namespace vesk::vim32 {
namespace {

constexpr std::size_t kMaxUserName = 64;

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = lower(c);
    return out;
}

// One value of the post office file ("" when missing).
std::string readValue(const std::string& file, const std::string& section, const char* key) {
    std::string buffer(1024, '\0');
    DWORD n = GetPrivateProfileStringA(section.c_str(), key, "", buffer.data(),
                                       static_cast<DWORD>(buffer.size()), file.c_str());
    buffer.resize(n);
    return buffer;
}

// Every section name of the file, growing the buffer until the list fits.
std::vector<std::string> sectionNames(const std::string& file) {
    for (std::size_t size = 4096; size <= (std::size_t(1) << 24); size *= 4) {
        std::string buffer(size, '\0');
        DWORD n = GetPrivateProfileStringA(nullptr, nullptr, "", buffer.data(), static_cast<DWORD>(size),
                                           file.c_str());
        if (n + 2 >= size) continue;  // cut short: try a bigger buffer
        std::vector<std::string> names;
        for (std::size_t at = 0; at < n && buffer[at] != '\0';) {
            std::string name(buffer.c_str() + at);
            at += name.size() + 1;
            names.push_back(std::move(name));
        }
        return names;
    }
    return {};
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
    office.name = readValue(file, kPostOfficeSection, "Name");
    office.gateway = readValue(file, kPostOfficeSection, "InternetGateway");
    const std::string prefix = kUserSectionPrefix;
    for (const std::string& section : sectionNames(file)) {
        if (section.size() <= prefix.size() || !equalsNoCase(section.substr(0, prefix.size()), prefix)) continue;
        User user;
        user.name = section.substr(prefix.size());
        user.passwordHash = readValue(file, section, "Password");
        std::string mailbox = readValue(file, section, "Mailbox");
        user.displayName = readValue(file, section, "DisplayName");
        user.address = readValue(file, section, "Address");
        const char* problem = nullptr;
        if (!isValidUserName(user.name)) {
            problem = "the user name is not usable (1-64 characters, no @ \\ / [ ] ; , = or quotes)";
        } else if (mailbox.empty()) {
            problem = "the user has no Mailbox";
        } else if (std::any_of(office.users.begin(), office.users.end(),
                               [&](const User& other) { return equalsNoCase(other.name, user.name); })) {
            problem = "the user is listed twice";
        }
        if (problem != nullptr) {
            store::logProblem("vim32", file + " [" + section + "]", problem);
            error = PostOfficeError::Damaged;
            return std::nullopt;
        }
        std::string path = fsPath(mailbox);
        user.mailbox = std::filesystem::path(path.front() == '/' ? path : folder + "/" + path).lexically_normal();
        office.users.push_back(std::move(user));
    }
    if (office.name.empty()) office.name = "POSTOFFICE";
    return office;
}

}  // namespace vesk::vim32
