#include "veskcmn/VeskCmn.h"

#include <type_traits>

#include "win32/Module.h"
#include "win32/OrdinalTable.h"

namespace {

HMODULE LoadLanguageLibrary(LPCSTR fileName, HMODULE own, DWORD* status) {
    HMODULE language = LoadLibraryA(fileName);
    if (status != nullptr) *status = language != nullptr ? 0 : GetLastError();
    return language != nullptr ? language : own;
}

BOOL FreeLanguageLibrary(HMODULE language, HMODULE own) {
    if (language == nullptr || language == own) return TRUE;
    return FreeLibrary(language);
}

static_assert(std::is_same_v<decltype(&LoadLanguageLibrary), VESKCMN_LOAD_LANGUAGE>);
static_assert(std::is_same_v<decltype(&FreeLanguageLibrary), VESKCMN_FREE_LANGUAGE>);

}  // namespace

// The functions themselves stay hidden: only the ordinals are a contract.
extern "C" VESK_EXPORT const VESK_ORDINAL_ENTRY vesk_ordinal_table[] = {
    VESK_ORDINAL(VESKCMN_ORDINAL_LOAD_LANGUAGE, LoadLanguageLibrary),
    VESK_ORDINAL(VESKCMN_ORDINAL_FREE_LANGUAGE, FreeLanguageLibrary),
    VESK_ORDINAL_END};
