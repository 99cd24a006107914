// Small file helpers with the durability the handheld file and the journal need.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace conduit {

/// Reads all of `path` into `bytes`. Returns 0, or the errno of the failure (ENOENT: missing).
int readFile(const std::string& path, std::string& bytes);

/// Replaces `path` with `bytes` so that a reader (or a later run after a crash) sees either
/// the old or the new content: temporary file in the same folder, written, flushed, renamed
/// over `path`, folder flushed. Returns 0 or errno; on failure `path` is untouched and the
/// temporary file removed.
int replaceFile(const std::string& path, std::string_view bytes);

/// Appends `bytes` to `path` (created with mode 0600 when missing) and flushes the file to
/// disk before returning. Returns 0 or errno.
int appendDurably(const std::string& path, std::string_view bytes);

/// Removes `path` and flushes its folder. A missing file is success. Returns 0 or errno.
int removeDurably(const std::string& path);

/// Renames `from` to `to` (replacing it) and flushes the folder. Returns 0 or errno.
int renameDurably(const std::string& from, const std::string& to);
/// Flushes the folder entry list of `folder` to disk. Returns 0 or errno.
int syncFolder(const std::string& folder);

/// Creates `path` and its missing parents (mode 0700). Returns 0 or errno.
int makeFolders(const std::string& path);

/// The folder part of `path` ("." for a bare name).
std::string folderOf(const std::string& path);

/// True when `path` names an existing file or folder.
bool exists(const std::string& path);

/// Copies the tree under `from` into `to` (created when missing), keeping file modes; symbolic
/// links are copied as links. Returns 0 or errno; `failedPath` names the file that failed.
int copyTree(const std::string& from, const std::string& to, std::string* failedPath = nullptr);

/// Every regular file below `root`, as paths relative to it, sorted.
std::vector<std::string> listFiles(const std::string& root);

/// Removes the tree at `path`. Returns 0 or errno (a missing tree is success).
int removeTree(const std::string& path);

}  // namespace conduit
