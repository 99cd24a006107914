// Maildir++ folders under a root: the root itself is the inbox, "<root>/.<name>" the others.
#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "store/Status.h"

namespace vesk::store::detail {

/// The directory of folder `name` (already validated) under `root`.
std::string folderDir(const std::string& root, std::string_view name);
/// True when `dir` holds cur/, new/ and tmp/.
bool isMaildir(const std::string& dir);
/// Creates `dir` with cur/, new/ and tmp/ (mode 0700), keeping what exists. A subfolder
/// also gets the Maildir++ "maildirfolder" marker file.
Status createMaildir(const std::string& dir, bool subfolder);
/// The names of the subfolders of `root` (directories ".<name>" that are Maildirs), sorted.
Result<std::vector<std::string>> subfolderNames(const std::string& root);
/// Removes files in `dir`/tmp whose last change is more than `maxAge` seconds before `now`.
/// Returns how many were removed.
int cleanStaleTmp(const std::string& dir, std::time_t now, std::time_t maxAge);

}  // namespace vesk::store::detail
