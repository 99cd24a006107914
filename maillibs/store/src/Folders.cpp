#include "Folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "Fs.h"
#include "platform/WriteFaults.h"
#include "store/Store.h"

namespace vesk::store {

bool isValidFolderName(std::string_view name) {
    if (name == kInbox) return true;
    if (name.empty() || name.size() > 200 || name.front() == '.' || name.back() == '.') return false;
    if (name.find("..") != std::string_view::npos) return false;
    for (char c : name) {
        if (c < 0x20 || c > 0x7E || c == '/') return false;
    }
    if (name.size() == 5) {
        static constexpr std::string_view kUpper = "INBOX";
        bool same = true;
        for (std::size_t i = 0; i < 5; ++i) {
            char c = name[i];
            if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
            if (c != kUpper[i]) same = false;
        }
        if (same) return false;
    }
    return true;
}

}  // namespace vesk::store

namespace vesk::store::detail {

std::string folderDir(const std::string& root, std::string_view name) {
    if (name == kInbox) return root;
    std::string dir = root;
    dir += "/.";
    dir += name;
    return dir;
}

bool isMaildir(const std::string& dir) {
    return isDir(dir + "/cur") && isDir(dir + "/new") && isDir(dir + "/tmp");
}

Status createMaildir(const std::string& dir, bool subfolder) {
    for (const char* sub : {"", "/tmp", "/new", "/cur"}) {
        Status st = makeDir(dir + sub, 0700);
        if (st != Status::Ok) return st;
    }
    if (subfolder) {
        Fd marker(::open((dir + "/maildirfolder").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
        if (!marker.valid()) return statusFromErrno(errno);
    }
    syncDirAfterChange(dir);
    return Status::Ok;
}

Result<std::vector<std::string>> subfolderNames(const std::string& root) {
    DIR* d = ::opendir(root.c_str());
    if (!d) return statusFromErrno(errno);
    std::vector<std::string> names;
    while (struct dirent* e = ::readdir(d)) {
        std::string_view n = e->d_name;
        if (n.size() < 2 || n[0] != '.' || n == "..") continue;
        std::string name(n.substr(1));
        if (!isValidFolderName(name) || name == kInbox) continue;
        if (isMaildir(root + "/" + std::string(n))) names.push_back(std::move(name));
    }
    ::closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

int cleanStaleTmp(const std::string& dir, std::time_t now, std::time_t maxAge) {
    std::string tmp = dir + "/tmp";
    DIR* d = ::opendir(tmp.c_str());
    if (!d) return 0;
    int removed = 0;
    while (struct dirent* e = ::readdir(d)) {
        if (e->d_name[0] == '.') continue;
        struct stat st {};
        if (::fstatat(::dirfd(d), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (now - st.st_mtime > maxAge && vesk::io::unlinkat(::dirfd(d), e->d_name, 0) == 0) ++removed;
    }
    ::closedir(d);
    return removed;
}

}  // namespace vesk::store::detail
