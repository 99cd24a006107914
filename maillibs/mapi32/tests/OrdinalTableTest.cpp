// The library's exports: by name, by ordinal, and the fixture that lacks MAPIResolveName.
#include <gtest/gtest.h>

#include <cstdlib>

#include "mapi32/mapi.h"
#include "win32/Module.h"

namespace {

struct Export {
    const char* name;
    WORD ordinal;
};

const Export kExports[] = {
    {"MAPIFreeBuffer", MAPI32_ORDINAL_MAPIFREEBUFFER}, {"MAPILogon", MAPI32_ORDINAL_MAPILOGON},
    {"MAPILogoff", MAPI32_ORDINAL_MAPILOGOFF},         {"MAPISendMail", MAPI32_ORDINAL_MAPISENDMAIL},
    {"MAPISaveMail", MAPI32_ORDINAL_MAPISAVEMAIL},     {"MAPIReadMail", MAPI32_ORDINAL_MAPIREADMAIL},
    {"MAPIFindNext", MAPI32_ORDINAL_MAPIFINDNEXT},     {"MAPIDeleteMail", MAPI32_ORDINAL_MAPIDELETEMAIL},
    {"MAPIResolveName", MAPI32_ORDINAL_MAPIRESOLVENAME},
};

TEST(OrdinalTableTest, EveryCallIsFoundByNameAndByItsOrdinal) {
    HMODULE library = LoadLibraryA(VESK_TEST_MODULE_DIR "/mapi32.so");
    ASSERT_NE(library, nullptr);
    for (const Export& e : kExports) {
        SCOPED_TRACE(e.name);
        FARPROC byName = GetProcAddress(library, e.name);
        EXPECT_NE(byName, nullptr);
        EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(e.ordinal)), byName);
    }
    EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(208)), nullptr) << "MAPISendDocuments is not offered";
    EXPECT_TRUE(FreeLibrary(library));
}

TEST(OrdinalTableTest, TheFixtureLacksOnlyResolveName) {
    HMODULE library = LoadLibraryA(VESK_TEST_MODULE_DIR "/fixtures/no-resolve/mapi32.so");
    ASSERT_NE(library, nullptr);
    for (const Export& e : kExports) {
        SCOPED_TRACE(e.name);
        bool present = e.ordinal != MAPI32_ORDINAL_MAPIRESOLVENAME;
        EXPECT_EQ(GetProcAddress(library, e.name) != nullptr, present);
        EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(e.ordinal)) != nullptr, present);
    }
    EXPECT_TRUE(FreeLibrary(library));
}

}  // namespace
