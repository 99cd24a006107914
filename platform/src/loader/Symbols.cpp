#include "loader/Symbols.h"

#include <dlfcn.h>
#include <link.h>

#include <cstring>

namespace vesk::loader {

const void* ownSymbol(void* dl, const void* linkMap, const char* name) {
    dlerror();
    void* address = dlsym(dl, name);
    if (address == nullptr) return nullptr;
    Dl_info info;
    struct link_map* owner = nullptr;
    if (dladdr1(address, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) == 0 ||
        owner != linkMap) {
        return nullptr;
    }
    return address;
}

const VESK_ORDINAL_ENTRY* findOrdinal(const VESK_ORDINAL_ENTRY* table, WORD ordinal) {
    if (table == nullptr || ordinal == 0) return nullptr;
    for (const VESK_ORDINAL_ENTRY* entry = table; entry->ordinal != 0; ++entry) {
        if (entry->ordinal == ordinal) return entry;
    }
    return nullptr;
}

const VESK_ORDINAL_ENTRY* findOrdinalName(const VESK_ORDINAL_ENTRY* table, const char* name) {
    if (table == nullptr || name == nullptr) return nullptr;
    for (const VESK_ORDINAL_ENTRY* entry = table; entry->ordinal != 0; ++entry) {
        if (entry->name != nullptr && std::strcmp(entry->name, name) == 0) return entry;
    }
    return nullptr;
}

}  // namespace vesk::loader
