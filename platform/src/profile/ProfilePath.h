// Where a profile file named by a caller lives.
#pragma once

#include <string>

namespace vesk::profile {

/// The path of the profile file `fileName` names: a bare name (no '/') in the desktop folder,
/// a name with a folder part as given, null as "win.ini" in the desktop folder. Empty when
/// `fileName` is "" (names no file). `inDesktop` tells whether the file is in the desktop
/// folder, which a write may create.
std::string profilePath(const char* fileName, bool* inDesktop = nullptr);

/// The Win32 error for a failure `error` (an errno value) on profile file `path`.
unsigned win32Error(int error, const std::string& path);

}  // namespace vesk::profile
