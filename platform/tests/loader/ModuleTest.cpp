// LoadLibraryA, FreeLibrary, GetModuleFileNameA and the loader's additions, over the fixture
// modules of platform/tests/fixtures.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "loader/LoaderTestSupport.h"
#include "win32/Module.h"
#include "win32/Resources.h"

namespace {

using loadertest::fixtureDir;
using loadertest::fixturePath;
using loadertest::ScopedLibraryPath;

constexpr DWORD kUntouched = 0xDEADu;

bool isMapped(const std::string& path) {
    void* handle = dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr) return false;
    dlclose(handle);
    return true;
}

std::string moduleFileName(HMODULE module) {
    char path[4096];
    DWORD length = GetModuleFileNameA(module, path, sizeof path);
    return std::string(path, length);
}

TEST(LoadLibrary, FindsTheSameModuleUnderEverySpellingOfItsName) {
    ScopedLibraryPath libraryPath(fixtureDir());
    HMODULE reference = LoadLibraryA("good.so");
    ASSERT_NE(reference, nullptr);
    const char* spellings[] = {
        "GOOD.DLL",  // the Windows spelling
        "Good.Dll",  // any case
        "good",      // no extension: .so is added
        "GOOD",
    };
    for (const char* spelling : spellings) {
        SCOPED_TRACE(spelling);
        HMODULE module = LoadLibraryA(spelling);
        EXPECT_EQ(module, reference);
        EXPECT_TRUE(FreeLibrary(module));
    }
    // A path is taken as it is, with the file name mapped the same way.
    HMODULE byPath = LoadLibraryA(fixturePath("GOOD.DLL").c_str());
    EXPECT_EQ(byPath, reference);
    EXPECT_TRUE(FreeLibrary(byPath));
    EXPECT_EQ(moduleFileName(reference), fixturePath("good.so"));
    EXPECT_TRUE(FreeLibrary(reference));
}

struct FailureRow {
    const char* name;
    DWORD error;
    const char* why;
};

TEST(LoadLibrary, ReportsEachFailureWithItsError) {
    ScopedLibraryPath libraryPath(fixtureDir());
    const std::string elsewhere = fixturePath("first/good.dll");
    const FailureRow rows[] = {
        {"absent.dll", ERROR_MOD_NOT_FOUND, "no such module anywhere"},
        {"NOTALIB.DLL", ERROR_BAD_EXE_FORMAT, "a text file named like a library"},
        {"badlang.dll", ERROR_BAD_EXE_FORMAT, "a stand-in .res file that is no resource file"},
        {"unresolved.dll", ERROR_PROC_NOT_FOUND, "needs a function that nothing offers"},
        {"/nonexistent-folder/good.dll", ERROR_MOD_NOT_FOUND, "a missing folder"},
        {elsewhere.c_str(), ERROR_MOD_NOT_FOUND, "a path is not searched, even for a module on the path"},
        {"", ERROR_INVALID_PARAMETER, "an empty name"},
        {nullptr, ERROR_INVALID_PARAMETER, "no name"},
    };
    for (const FailureRow& row : rows) {
        SCOPED_TRACE(row.why);
        SetLastError(kUntouched);
        EXPECT_EQ(LoadLibraryA(row.name), nullptr);
        EXPECT_EQ(GetLastError(), row.error);
    }
}

TEST(FreeLibrary, UnloadsWithTheLastReferenceOnly) {
    ScopedLibraryPath libraryPath(fixtureDir());
    const std::string file = fixturePath("good.so");
    HMODULE first = LoadLibraryA("good.dll");
    HMODULE second = LoadLibraryA("good.dll");
    ASSERT_NE(first, nullptr);
    ASSERT_EQ(first, second);

    EXPECT_TRUE(FreeLibrary(first));
    EXPECT_TRUE(isMapped(file));
    EXPECT_NE(GetProcAddress(first, "GoodAnswer"), nullptr);

    EXPECT_TRUE(FreeLibrary(second));
    EXPECT_FALSE(isMapped(file));

    // Loading it again gives a new handle; the old one stays dead.
    HMODULE again = LoadLibraryA("good.dll");
    ASSERT_NE(again, nullptr);
    EXPECT_NE(again, first);
    SetLastError(kUntouched);
    EXPECT_EQ(GetProcAddress(first, "GoodAnswer"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_TRUE(FreeLibrary(again));
}

TEST(FreeLibrary, RejectsHandlesThatNameNoLiveModule) {
    ScopedLibraryPath libraryPath(fixtureDir());
    HMODULE freed = LoadLibraryA("good.dll");
    ASSERT_NE(freed, nullptr);
    ASSERT_TRUE(FreeLibrary(freed));
    int local = 0;
    struct Row {
        HMODULE handle;
        const char* why;
    };
    const Row rows[] = {
        {freed, "a freed handle"},
        {reinterpret_cast<HMODULE>(static_cast<uintptr_t>(0x12345678)), "a made-up value"},
        {reinterpret_cast<HMODULE>(&local), "the address of something else"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        SetLastError(kUntouched);
        EXPECT_FALSE(FreeLibrary(row.handle));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        SetLastError(kUntouched);
        EXPECT_EQ(GetProcAddress(row.handle, "GoodAnswer"), nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
        char buffer[16] = "untouched";
        SetLastError(kUntouched);
        EXPECT_EQ(GetModuleFileNameA(row.handle, buffer, sizeof buffer), 0u);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    }
    SetLastError(kUntouched);
    EXPECT_FALSE(FreeLibrary(nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(GetModuleFileName, CutsALongPathToTheBuffer) {
    ScopedLibraryPath libraryPath(fixtureDir());
    HMODULE module = LoadLibraryA("good.dll");
    ASSERT_NE(module, nullptr);
    const std::string full = fixturePath("good.so");

    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    SetLastError(kUntouched);
    EXPECT_EQ(GetModuleFileNameA(module, buffer, 5), 5u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(std::string(buffer), full.substr(0, 4));
    EXPECT_EQ(buffer[5], '#') << "wrote past the size it was given";

    // Exactly the path and its NUL fit.
    std::vector<char> exact(full.size() + 1, '#');
    EXPECT_EQ(GetModuleFileNameA(module, exact.data(), static_cast<DWORD>(exact.size())), full.size());
    EXPECT_EQ(std::string(exact.data()), full);
    EXPECT_TRUE(FreeLibrary(module));
}

TEST(GetModuleFileName, NamesTheProgramForANullHandle) {
    char expected[4096];
    ssize_t length = readlink("/proc/self/exe", expected, sizeof expected);
    ASSERT_GT(length, 0);
    EXPECT_EQ(moduleFileName(nullptr), std::string(expected, static_cast<size_t>(length)));
}

TEST(LoadLibrary, LoadsAResourceFileAsAResourceOnlyModule) {
    ScopedLibraryPath libraryPath(fixtureDir());
    HMODULE language = LoadLibraryA("FIXLANG.DLL");
    ASSERT_NE(language, nullptr);
    EXPECT_EQ(moduleFileName(language), fixturePath("fixlang.res"));
    EXPECT_EQ(LoadLibraryA("fixlang.dll"), language);
    EXPECT_EQ(LoadLibraryA("FixLang.res"), language) << "named by its resource file";

    char text[64];
    EXPECT_GT(LoadStringA(language, 17, text, sizeof text), 0);
    EXPECT_STREQ(text, "fixture language string");
    SetLastError(kUntouched);
    EXPECT_EQ(GetProcAddress(language, "GoodAnswer"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));

    EXPECT_TRUE(FreeLibrary(language));
    EXPECT_TRUE(FreeLibrary(language));
    EXPECT_TRUE(FreeLibrary(language));
    EXPECT_FALSE(FreeLibrary(language));
    EXPECT_EQ(LoadStringA(language, 17, text, sizeof text), 0);
}

int functionInTheProgram() {
    return 1;
}

TEST(ModuleFromAddress, NamesTheModuleThatHoldsAnAddress) {
    ScopedLibraryPath libraryPath(fixtureDir());
    HMODULE good = LoadLibraryA("good.dll");
    ASSERT_NE(good, nullptr);
    EXPECT_EQ(VeskModuleFromAddress(reinterpret_cast<const void*>(GetProcAddress(good, "GoodAnswer"))), good);

    HMODULE program = VeskModuleFromAddress(reinterpret_cast<const void*>(&functionInTheProgram));
    ASSERT_NE(program, nullptr);
    EXPECT_EQ(moduleFileName(program), moduleFileName(nullptr));
    // The program is nobody's to unload: freeing it succeeds and changes nothing.
    EXPECT_TRUE(FreeLibrary(program));
    EXPECT_EQ(VeskModuleFromAddress(reinterpret_cast<const void*>(&functionInTheProgram)), program);

    auto heap = std::make_unique<int>(5);
    EXPECT_EQ(VeskModuleFromAddress(heap.get()), nullptr);
    EXPECT_EQ(VeskModuleFromAddress(nullptr), nullptr);
    EXPECT_TRUE(FreeLibrary(good));
}

// A library asks for its own handle from its constructors, before LoadLibraryA returns; the
// handle it gets must be the one LoadLibraryA then hands out.
TEST(ModuleFromAddress, AgreesWithALaterLoadOfTheSameLibrary) {
    const std::string file = fixturePath("good.so");
    void* direct = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(direct, nullptr);
    HMODULE known = VeskModuleFromAddress(dlsym(direct, "GoodAnswer"));
    ASSERT_NE(known, nullptr);
    HMODULE loaded = LoadLibraryA(file.c_str());
    EXPECT_EQ(loaded, known);
    EXPECT_TRUE(FreeLibrary(loaded));
    dlclose(direct);
    EXPECT_FALSE(isMapped(file));
}

std::vector<char> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(AttachResources, GivesALibraryResourcesAndTakesThemAway) {
    ScopedLibraryPath libraryPath(fixtureDir());
    HMODULE good = LoadLibraryA("good.dll");
    ASSERT_NE(good, nullptr);
    const std::vector<char> bytes = readFile(fixturePath("fixlang.res"));
    ASSERT_FALSE(bytes.empty());
    char text[64];
    EXPECT_EQ(LoadStringA(good, 17, text, sizeof text), 0);

    EXPECT_TRUE(VeskAttachResources(good, bytes.data(), bytes.size()));
    EXPECT_GT(LoadStringA(good, 17, text, sizeof text), 0);
    EXPECT_STREQ(text, "fixture language string");

    const char garbage[] = "not a resource file at all";
    SetLastError(kUntouched);
    EXPECT_FALSE(VeskAttachResources(good, garbage, sizeof garbage));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
    EXPECT_GT(LoadStringA(good, 17, text, sizeof text), 0) << "a refused attach must keep the old table";

    EXPECT_TRUE(VeskAttachResources(good, nullptr, 0));
    EXPECT_EQ(LoadStringA(good, 17, text, sizeof text), 0);
    EXPECT_TRUE(FreeLibrary(good));

    SetLastError(kUntouched);
    EXPECT_FALSE(VeskAttachResources(good, bytes.data(), bytes.size()));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
