// Key paths. A key is named by its full path, root spelled in full and components joined by
// single backslashes ("HKEY_CURRENT_USER\Software\Vesk"); two paths name the same key when
// they are equal ignoring ASCII case, so lookups use lowerPath() of a path.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "win32/WinTypes.h"

namespace vesk::reg {

/// The lookup form of a path: ASCII letters in lower case.
std::string lowerPath(std::string_view path);

/// The full root name ("HKEY_LOCAL_MACHINE") of a predefined root handle; nothing for others.
std::optional<std::string> rootPath(HKEY key);

/// The path a `[...]` header names, root written in full (HKCR, HKCU, HKLM and HKU are
/// accepted as well); one trailing backslash is allowed. Nothing for an unknown root or an
/// empty component.
std::optional<std::string> headerPath(std::string_view inside);

/// `base` followed by a caller's relative `subKey` (null or "" is `base` itself; one trailing
/// backslash is allowed). Nothing when `subKey` starts with a backslash or has an empty
/// component.
std::optional<std::string> childPath(const std::string& base, const char* subKey);

/// The parent path of a path below a root; "" for a root itself.
std::string parentPath(const std::string& path);

/// The last component of a path.
std::string_view leafName(std::string_view path);

}  // namespace vesk::reg
