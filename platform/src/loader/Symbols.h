// Looking up a module's own symbols and its ordinal table.
#pragma once

#include "win32/OrdinalTable.h"

namespace vesk::loader {

/// The address of `name` in the object `linkMap` opened as `dl`, or null when the object does
/// not define it itself (dlsym also searches the object's dependencies; those answers are
/// dropped).
const void* ownSymbol(void* dl, const void* linkMap, const char* name);

/// The entry of `table` (ended by a zero ordinal; may be null) with `ordinal`, or null.
const VESK_ORDINAL_ENTRY* findOrdinal(const VESK_ORDINAL_ENTRY* table, WORD ordinal);

/// The entry of `table` named `name`, or null.
const VESK_ORDINAL_ENTRY* findOrdinalName(const VESK_ORDINAL_ENTRY* table, const char* name);

}  // namespace vesk::loader
