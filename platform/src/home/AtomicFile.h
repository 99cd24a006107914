// Reading and replacing the desktop's small text files (profile files, the registry file) so
// that a reader never sees half a file and concurrent writers do not lose each other's changes.
#pragma once

#include <string>
#include <string_view>

namespace vesk::files {

/// Reads all of `path` into `bytes`. Returns 0, or the errno of the failure (ENOENT when the
/// file is missing, EISDIR for a folder).
int readWholeFile(const std::string& path, std::string& bytes);

/// Replaces `path` with `bytes`: writes a temporary file in the same folder, flushes it to disk,
/// gives it the old file's mode (a new file gets 0666 less the umask) and renames it over
/// `path`, then flushes the folder. A symbolic link is followed, so its target is replaced.
/// Returns 0, or the errno of the failure; on failure `path` is untouched and the temporary
/// file is gone.
int replaceFile(const std::string& path, std::string_view bytes);

/// Creates folder `path` and its missing parents (mode 0777 less the umask). Returns 0 or errno.
int makeFolders(const std::string& path);

/// The folder part of `path` ("." for a bare name, "/" for a file in the root).
std::string folderOf(const std::string& path);

/// Holds an exclusive advisory lock on the folder of a file for its lifetime, so that a
/// read-modify-write of a file in it by another thread or process waits for this one. Without
/// a readable folder it locks nothing (the write itself then fails or stays atomic).
class FolderLock {
public:
    explicit FolderLock(const std::string& filePath);
    ~FolderLock();
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace vesk::files
