// GetProcAddress by name and by ordinal over the fixture modules.
#include <gtest/gtest.h>

#include "loader/LoaderTestSupport.h"
#include "win32/Module.h"

namespace {

using loadertest::fixtureDir;
using loadertest::ScopedLibraryPath;

constexpr DWORD kUntouched = 0xDEADu;

class ProcAddress : public ::testing::Test {
protected:
    void SetUp() override {
        m_good = LoadLibraryA("good.dll");
        ASSERT_NE(m_good, nullptr);
    }
    void TearDown() override {
        if (m_good != nullptr) {
            EXPECT_TRUE(FreeLibrary(m_good));
        }
    }

    ScopedLibraryPath m_libraryPath{fixtureDir()};
    HMODULE m_good = nullptr;
};

TEST_F(ProcAddress, FindsFunctionsByNameAndByOrdinal) {
    using IntFn = int (*)(void);
    using TripleFn = int (*)(int);
    // Exported by name, and ordinal 1 in the table.
    EXPECT_EQ(VeskProcAs<IntFn>(GetProcAddress(m_good, "GoodAnswer"))(), 42);
    EXPECT_EQ(VeskProcAs<IntFn>(GetProcAddress(m_good, MAKEINTRESOURCEA(1)))(), 42);
    // Hidden from the symbol table; the ordinal table carries it under both.
    EXPECT_EQ(VeskProcAs<TripleFn>(GetProcAddress(m_good, MAKEINTRESOURCEA(7)))(5), 15);
    EXPECT_EQ(VeskProcAs<TripleFn>(GetProcAddress(m_good, "HiddenTriple"))(5), 15);
}

TEST_F(ProcAddress, FindsVariablesByNameAndByOrdinal) {
    FARPROC byName = GetProcAddress(m_good, "GoodCounter");
    ASSERT_NE(byName, nullptr);
    EXPECT_EQ(*reinterpret_cast<const int*>(reinterpret_cast<void*>(byName)), 7);
    EXPECT_EQ(GetProcAddress(m_good, MAKEINTRESOURCEA(9)), byName);
}

TEST_F(ProcAddress, ReportsMissingEntries) {
    struct Row {
        LPCSTR name;
        const char* why;
    };
    const Row rows[] = {
        {"NoSuchFunction", "a name the module lacks"},
        {MAKEINTRESOURCEA(2), "an ordinal the table lacks"},
        {MAKEINTRESOURCEA(0), "ordinal 0 ends the table"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        SetLastError(kUntouched);
        EXPECT_EQ(GetProcAddress(m_good, row.name), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    }
}

// noentry.so depends on good.so: neither good's functions nor good's ordinal table count as
// noentry's own.
TEST_F(ProcAddress, NeverAnswersForALibraryFromItsDependencies) {
    HMODULE noEntry = LoadLibraryA("noentry.dll");
    ASSERT_NE(noEntry, nullptr);
    SetLastError(kUntouched);
    EXPECT_EQ(GetProcAddress(noEntry, "GoodAnswer"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    SetLastError(kUntouched);
    EXPECT_EQ(GetProcAddress(noEntry, MAKEINTRESOURCEA(1)), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    using IntFn = int (*)(void);
    EXPECT_EQ(VeskProcAs<IntFn>(GetProcAddress(noEntry, "NoEntrySomethingElse"))(), 43);
    EXPECT_TRUE(FreeLibrary(noEntry));
}

}  // namespace
