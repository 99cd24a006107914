#include "simple/AttachmentFiles.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace vesk::mapi32 {
namespace {

constexpr std::size_t kMaxNameLength = 100;
constexpr int kMaxVariants = 1000;

// "name.ext" as "name<n>.ext" for the n-th try.
std::string variant(const std::string& name, int n) {
    if (n == 0) return name;
    std::size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0) return name + std::to_string(n);
    return name.substr(0, dot) + std::to_string(n) + name.substr(dot);
}

ULONG writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return errno == ENOSPC || errno == EDQUOT ? MAPI_E_DISK_FULL : MAPI_E_ATTACHMENT_WRITE_FAILURE;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return SUCCESS_SUCCESS;
}

}  // namespace

std::string safeFileName(std::string_view name) {
    std::string out;
    for (char c : name) {
        if (out.size() >= kMaxNameLength) break;
        auto byte = static_cast<unsigned char>(c);
        bool plain = byte > 0x20 && byte < 0x7F && c != '/' && c != '\\' && c != ':' && c != '*' && c != '?' &&
                     c != '"' && c != '<' && c != '>' && c != '|';
        out.push_back(plain || c == ' ' ? c : '_');
    }
    while (!out.empty() && (out.front() == '.' || out.front() == ' ')) out.front() = '_';
    while (!out.empty() && out.back() == ' ') out.pop_back();
    if (out.empty() || out.find_first_not_of('_') == std::string::npos) return "attachment";
    return out;
}

AttachmentFiles::~AttachmentFiles() {
    for (const std::string& path : m_paths) ::unlink(path.c_str());
}

ULONG AttachmentFiles::write(const std::string& folder, std::string_view name, std::string_view bytes,
                             std::string& path) {
    if (folder.empty()) return MAPI_E_ATTACHMENT_WRITE_FAILURE;
    std::string base = safeFileName(name);
    for (int n = 0; n < kMaxVariants; ++n) {
        std::string candidate = folder + "/" + variant(base, n);
        // O_EXCL: an existing file, or a link planted under that name, is never written through.
        int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return errno == ENOSPC || errno == EDQUOT ? MAPI_E_DISK_FULL : MAPI_E_ATTACHMENT_WRITE_FAILURE;
        }
        m_paths.push_back(candidate);
        ULONG rc = writeAll(fd, bytes);
        if (::close(fd) != 0 && rc == SUCCESS_SUCCESS) rc = MAPI_E_ATTACHMENT_WRITE_FAILURE;
        if (rc != SUCCESS_SUCCESS) return rc;
        path = candidate;
        return SUCCESS_SUCCESS;
    }
    return MAPI_E_ATTACHMENT_WRITE_FAILURE;
}

}  // namespace vesk::mapi32
