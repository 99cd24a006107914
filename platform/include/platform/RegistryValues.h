// Reading and writing single registry values in one call, for code that only wants a setting.
#pragma once

#include <optional>
#include <string>

#include "win32/Export.h"
#include "win32/Registry.h"

namespace vesk {

/// The text of value `name` ("" is the default value) of key `key` below `root`: a REG_SZ or
/// REG_EXPAND_SZ value (not expanded), up to its first NUL. Nothing when the key or value is
/// missing or has another type.
VESK_EXPORT std::optional<std::string> readRegString(HKEY root, const std::string& key,
                                                     const std::string& name);

/// The number held by REG_DWORD value `name` of `key` below `root`; nothing when the key or
/// value is missing or is not a 4-byte REG_DWORD.
VESK_EXPORT std::optional<DWORD> readRegDword(HKEY root, const std::string& key,
                                              const std::string& name);

/// Stores `value` as REG_SZ value `name` of `key` below `root`, creating the key when missing.
/// Returns the Win32 result (ERROR_SUCCESS on success).
VESK_EXPORT LONG writeRegString(HKEY root, const std::string& key, const std::string& name,
                                const std::string& value);

/// Stores `value` as REG_DWORD value `name` of `key` below `root`, creating the key when
/// missing. Returns the Win32 result.
VESK_EXPORT LONG writeRegDword(HKEY root, const std::string& key, const std::string& name,
                               DWORD value);

/// What keeps the registry file ($VESK_HOME/registry.reg) from being read as a whole, in
/// plain words that name it: missing, unreadable, empty, not starting with REGEDIT4, or lines
/// the reader does not understand (the first named). Empty when every line was understood.
VESK_EXPORT std::string registryFileProblem();

}  // namespace vesk
