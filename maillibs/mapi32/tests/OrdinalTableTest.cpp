// The library's exports: by name, by ordinal, and the fixture that lacks MAPIResolveName.
#include <gtest/gtest.h>

#include <cstdlib>

#include "mapi32/mapi.h"
#include "mapi32/mapix.h"
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

const Export kExtendedExports[] = {
    {"MAPIInitialize", MAPI32_ORDINAL_MAPIINITIALIZE},     {"MAPIUninitialize", MAPI32_ORDINAL_MAPIUNINITIALIZE},
    {"MAPILogonEx", MAPI32_ORDINAL_MAPILOGONEX},           {"MAPIAdminProfiles", MAPI32_ORDINAL_MAPIADMINPROFILES},
    {"MAPIAllocateBuffer", MAPI32_ORDINAL_MAPIALLOCATEBUFFER}, {"MAPIAllocateMore", MAPI32_ORDINAL_MAPIALLOCATEMORE},
    {"HrQueryAllRows", MAPI32_ORDINAL_HRQUERYALLROWS},     {"FreeProws", MAPI32_ORDINAL_FREEPROWS},
    {"FreePadrlist", MAPI32_ORDINAL_FREEPADRLIST},
};

TEST(OrdinalTableTest, TheExtendedCallsAreFoundByNameAndByOrdinal) {
    HMODULE library = LoadLibraryA(VESK_TEST_MODULE_DIR "/mapi32.so");
    ASSERT_NE(library, nullptr);
    for (const Export& e : kExtendedExports) {
        SCOPED_TRACE(e.name);
        FARPROC byName = GetProcAddress(library, e.name);
        EXPECT_NE(byName, nullptr);
        EXPECT_EQ(GetProcAddress(library, MAKEINTRESOURCEA(e.ordinal)), byName);
    }
    EXPECT_EQ(MAPI32_ORDINAL_HRQUERYALLROWS, 75);
    EXPECT_EQ(MAPI32_ORDINAL_FREEPROWS, 140);
    EXPECT_EQ(MAPI32_ORDINAL_FREEPADRLIST, 139);
    EXPECT_TRUE(FreeLibrary(library));
}

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
