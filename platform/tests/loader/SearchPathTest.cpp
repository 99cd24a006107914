// The search order of LoadLibraryA: $VESK_LIBRARY_PATH, the calling module's folder, the
// system loader; and in each folder a library before a resource file.
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <string>

#include "loader/LoaderTestSupport.h"
#include "win32/Module.h"

namespace {

using loadertest::fixturePath;
using loadertest::ScopedLibraryPath;

using LoadFromHelperFn = HMODULE (*)(const char*);

struct OrderRow {
    const char* why;
    std::optional<std::string> libraryPath;  ///< $VESK_LIBRARY_PATH, or unset
    bool fromHelper;                         ///< load from caller/loadhelper.so, else from the test
    const char* name;
    const char* expected;                    ///< OrderLocation() of the module found; ".res" for a
                                             ///< resource-only module; null: not found
};

void PrintTo(const OrderRow& row, std::ostream* out) {
    *out << row.why;
}

std::string where(HMODULE module) {
    using LocationFn = const char* (*)(void);
    if (auto location = VeskProcAs<LocationFn>(GetProcAddress(module, "OrderLocation"))) return location();
    char path[4096];
    std::string file(path, GetModuleFileNameA(module, path, sizeof path));
    return file.size() > 4 && file.compare(file.size() - 4, 4, ".res") == 0 ? ".res" : "?" + file;
}

class SearchOrder : public ::testing::TestWithParam<OrderRow> {};

TEST_P(SearchOrder, FindsTheExpectedCopy) {
    const OrderRow& row = GetParam();
    HMODULE helper = LoadLibraryA(fixturePath("caller/loadhelper.so").c_str());
    ASSERT_NE(helper, nullptr);
    auto loadFromHelper = VeskProcAs<LoadFromHelperFn>(GetProcAddress(helper, "LoadFromHelper"));
    ASSERT_NE(loadFromHelper, nullptr);
    {
        ScopedLibraryPath libraryPath(row.libraryPath);
        SetLastError(0);
        HMODULE module = row.fromHelper ? loadFromHelper(row.name) : LoadLibraryA(row.name);
        if (row.expected == nullptr) {
            EXPECT_EQ(module, nullptr);
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
        } else {
            ASSERT_NE(module, nullptr);
            EXPECT_EQ(where(module), row.expected);
            EXPECT_TRUE(FreeLibrary(module));
        }
    }
    EXPECT_TRUE(FreeLibrary(helper));
}

const std::string kFirst = fixturePath("first");
const std::string kSecond = fixturePath("second");
const std::string kCaller = fixturePath("caller");
const std::string kBoth = fixturePath("both");

INSTANTIATE_TEST_SUITE_P(
    Loader, SearchOrder,
    ::testing::Values(
        OrderRow{"the library path in its order", kFirst + ":" + kSecond, false, "ORDER.DLL", "first"},
        OrderRow{"the library path in the other order", kSecond + ":" + kFirst, false, "ORDER.DLL", "second"},
        OrderRow{"missing folders and empty entries are skipped",
                 "/nonexistent-folder::" + kSecond + ":", false, "ORDER.DLL", "second"},
        OrderRow{"the calling module's own folder", std::nullopt, true, "ORDER.DLL", "caller"},
        OrderRow{"the library path comes before the caller's folder", kSecond, true, "ORDER.DLL", "second"},
        OrderRow{"the test program's folder has no copy", std::nullopt, false, "ORDER.DLL", nullptr},
        OrderRow{"a resource file in an earlier folder wins over a library in a later one",
                 kCaller + ":" + kSecond, false, "MIXED.DLL", ".res"},
        OrderRow{"in one folder the library wins over the resource file", kBoth, false, "BOTH.DLL", "both"}),
    [](const ::testing::TestParamInfo<OrderRow>& row) { return "Row" + std::to_string(row.index); });

TEST(SearchOrder, EndsWithTheSystemLoader) {
    ScopedLibraryPath libraryPath(std::nullopt);
    HMODULE math = LoadLibraryA("libm.so.6");
    ASSERT_NE(math, nullptr);
    using CosFn = double (*)(double);
    auto cosine = VeskProcAs<CosFn>(GetProcAddress(math, "cos"));
    ASSERT_NE(cosine, nullptr);
    EXPECT_DOUBLE_EQ(cosine(0.0), 1.0);
    // libm needs libc, whose functions are not libm's.
    EXPECT_EQ(GetProcAddress(math, "malloc"), nullptr);
    EXPECT_TRUE(FreeLibrary(math));
}

}  // namespace
