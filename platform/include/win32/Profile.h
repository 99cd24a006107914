// Private-profile (.INI) files: the kernel32 calls that read and write `name=value` settings
// grouped in `[section]`s, with the Windows reading rules (case-insensitive names, trimmed
// values, one pair of matching quotes removed, whole-line `;` comments, first duplicate wins).
//
// File names: a bare name (no '/') lives in the desktop folder, vesk::home() (the stand-in for
// the Windows directory); a name with a folder part is used as given, relative names from the
// current directory. A null file name stands for "win.ini" in the desktop folder.
#pragma once

#include "win32/Export.h"
#include "win32/WinTypes.h"

// Last-error codes these calls leave for GetLastError (win32/Module.h).
#ifndef ERROR_FILE_NOT_FOUND
#define ERROR_FILE_NOT_FOUND 2
#endif
#ifndef ERROR_PATH_NOT_FOUND
#define ERROR_PATH_NOT_FOUND 3
#endif
#ifndef ERROR_ACCESS_DENIED
#define ERROR_ACCESS_DENIED 5
#endif
#ifndef ERROR_NOT_ENOUGH_MEMORY
#define ERROR_NOT_ENOUGH_MEMORY 8
#endif
#ifndef ERROR_WRITE_FAULT
#define ERROR_WRITE_FAULT 29
#endif
#ifndef ERROR_INVALID_PARAMETER
#define ERROR_INVALID_PARAMETER 87
#endif
#ifndef ERROR_MORE_DATA
#define ERROR_MORE_DATA 234
#endif

/// Reads one value, or lists names.
///
/// - `lpAppName` section, `lpKeyName` key: copies the key's value into `lpReturnedString`, or
///   `lpDefault` (null means "", trailing spaces removed) when the file, section or key is
///   missing. A value longer than `nSize - 1` is cut to `nSize - 1` characters plus NUL and
///   `nSize - 1` is returned.
/// - `lpAppName` null: lists every section name (duplicates too); `lpKeyName` null: every key
///   name of the first section of that name (lines with '='). Each name is NUL-terminated and
///   the list ends with a second NUL. A list that does not fit is cut, closed with two NULs and
///   `nSize - 2` is returned (0 when `nSize < 2`). Empty names are left out of lists, since they
///   would end the list early. A section that is missing or has no keys gives the default
///   instead of a key list; a missing file gives an empty section list.
/// Spaces (not tabs) around the section and key arguments are ignored.
/// `nSize` counts characters including the NUL; with `nSize == 0` or a null buffer nothing is
/// written. Returns the number of characters copied, not counting the final NUL.
/// Last error: ERROR_MORE_DATA when the text was cut; ERROR_FILE_NOT_FOUND (ERROR_PATH_NOT_FOUND,
/// ERROR_ACCESS_DENIED) when the file could not be read; otherwise left as it was.
WIN32_API DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                                         LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName);

/// Writes, replaces or deletes.
///
/// - `lpString` given: sets `lpKeyName` in `lpAppName`. An existing key is changed on its own
///   line (first occurrence, spelling of the name kept); a new key goes after the last key line
///   of the section; a missing section is appended at the end; a missing file is created.
/// - `lpString` null: deletes every line of that key from the section (the header stays).
/// - `lpKeyName` null: deletes the header, key lines and other text lines of every section of
///   that name; comment and blank lines inside it stay.
/// Every other byte of the file is kept. The file is replaced atomically (temporary file in the
/// same folder, flushed, renamed over the old one; mode kept), so readers never see half a file.
/// New lines use the line ending the file already uses (CR LF for a new file).
/// Returns TRUE on success (also when a deleted key or section did not exist, and then a missing
/// file is created empty), FALSE when `lpAppName` is null, the file cannot be read or written,
/// or a section, key or value holds CR or LF (refused, file untouched: unlike Windows, no
/// caller text can add lines of its own). Last error on failure: ERROR_FILE_NOT_FOUND (null
/// section), ERROR_INVALID_PARAMETER (line break), ERROR_ACCESS_DENIED ("" or an unwritable
/// file), ERROR_PATH_NOT_FOUND (the folder does not exist), ERROR_WRITE_FAULT (disk full and
/// the like), ERROR_NOT_ENOUGH_MEMORY.
WIN32_API BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                          LPCSTR lpFileName);

/// Reads a key as an unsigned number: optional sign, then decimal digits up to the first other
/// character, wrapping modulo 2^32 ("-1" gives 0xFFFFFFFF); a value with no digits gives 0.
/// Returns `nDefault` when the file, section or key is missing or the value is empty.
WIN32_API UINT GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, int nDefault,
                                     LPCSTR lpFileName);
