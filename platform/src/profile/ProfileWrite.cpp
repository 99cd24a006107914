// WritePrivateProfileStringA.
#include <cerrno>
#include <cstring>
#include <string>

#include "home/AtomicFile.h"
#include "profile/IniDocument.h"
#include "profile/IniEdit.h"
#include "profile/ProfilePath.h"
#include "win32/Module.h"
#include "win32/Profile.h"

namespace {

bool holdsLineBreak(const char* text) {
    return text != nullptr && std::strpbrk(text, "\r\n") != nullptr;
}

BOOL fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

}  // namespace

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                LPCSTR lpFileName) {
    // A null section also covers the all-null "flush" call: there is no cache to flush, and
    // Windows answers it with FALSE too.
    if (lpAppName == nullptr) return fail(ERROR_FILE_NOT_FOUND);
    // A line break would let the caller's text start lines of its own (new keys or sections).
    if (holdsLineBreak(lpAppName) || holdsLineBreak(lpKeyName) || holdsLineBreak(lpString))
        return fail(ERROR_INVALID_PARAMETER);

    bool inDesktop = false;
    std::string path = vesk::profile::profilePath(lpFileName, &inDesktop);
    if (path.empty()) return fail(ERROR_ACCESS_DENIED);
    try {
        // The desktop folder stands for the Windows directory, which always exists.
        if (inDesktop) {
            if (int error = vesk::files::makeFolders(vesk::files::folderOf(path)); error != 0)
                return fail(vesk::profile::win32Error(error, path));
        }

        vesk::files::FolderLock lock(path);
        std::string bytes;
        int error = vesk::files::readWholeFile(path, bytes);
        if (error != 0 && error != ENOENT) return fail(vesk::profile::win32Error(error, path));
        const bool existed = error == 0;

        vesk::profile::IniDocument doc(std::move(bytes));
        std::string_view section = vesk::profile::trimArgument(lpAppName);
        std::string updated;
        if (lpKeyName == nullptr) {
            updated = vesk::profile::withoutSection(doc, section);
        } else if (lpString == nullptr) {
            updated = vesk::profile::withoutKey(doc, section, vesk::profile::trimArgument(lpKeyName));
        } else {
            updated = vesk::profile::withValue(doc, section, vesk::profile::trimArgument(lpKeyName), lpString);
        }
        // Nothing changed: leave the file (and its time stamp) alone. A deletion aimed at a
        // missing file still creates it empty, as Windows does.
        if (existed && updated == doc.text()) return TRUE;
        if (int failure = vesk::files::replaceFile(path, updated); failure != 0)
            return fail(vesk::profile::win32Error(failure, path));
        return TRUE;
    } catch (...) {
        return fail(ERROR_NOT_ENOUGH_MEMORY);
    }
}
