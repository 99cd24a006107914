// Exports by ordinal. A library that offers functions by number, as a Windows library does
// through the EXPORTS section of its .def file, defines one table:
//
//     extern "C" VESK_EXPORT const VESK_ORDINAL_ENTRY vesk_ordinal_table[] = {
//         VESK_ORDINAL(2, LoadLangLibrary),
//         VESK_ORDINAL(3, FreeLangLibrary),
//         VESK_ORDINAL_END};
//
// GetProcAddress(h, MAKEINTRESOURCEA(n)) answers from this table, and a name that the library
// does not export as a symbol is also looked up among the table's names (the functions may
// therefore stay hidden, like NONAME exports that still carry a name for the reader).
#pragma once

#include "win32/Export.h"
#include "win32/WinTypes.h"

typedef struct VESK_ORDINAL_ENTRY {
    WORD ordinal;         ///< 1..65535; 0 ends the table
    const char* name;     ///< the entry's name, or null
    const void* address;  ///< the function or variable
} VESK_ORDINAL_ENTRY;

/// Name of the table symbol that the loader looks for in every library it loads.
#define VESK_ORDINAL_TABLE_SYMBOL "vesk_ordinal_table"

#ifdef __cplusplus
#define VESK_ORDINAL(n, fn) {(WORD)(n), #fn, reinterpret_cast<const void*>(&fn)}
#else
#define VESK_ORDINAL(n, fn) {(WORD)(n), #fn, (const void*)&fn}
#endif
#define VESK_ORDINAL_END {0, 0, 0}
