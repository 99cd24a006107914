// LoadStringA and the lookups by module handle, over a language library loaded the way a
// plug-in's start-up loads it: LoadLibraryA("KESTRAV.DLL") finding kestrav.res.
#include "win32/Resources.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "resources/ResourceLookup.h"
#include "win32/Module.h"
#include "win32/ModuleState.h"

namespace vesk::res {
namespace {

constexpr char kMarker = '\xCC';

class ResourcesTest : public testing::Test {
protected:
    void SetUp() override {
        const char* previous = std::getenv("VESK_LIBRARY_PATH");
        if (previous) savedPath_ = previous;
        hadPath_ = previous != nullptr;
        setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
        module_ = LoadLibraryA("KESTRAV.DLL");
        ASSERT_NE(module_, nullptr) << "last error " << GetLastError();
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
        if (hadPath_) {
            setenv("VESK_LIBRARY_PATH", savedPath_.c_str(), 1);
        } else {
            unsetenv("VESK_LIBRARY_PATH");
        }
    }

    HMODULE module_ = nullptr;
    std::string savedPath_;
    bool hadPath_ = false;
};

struct LoadCase {
    const char* name;
    UINT id;
    int size;
    int expectedResult;
    std::string expectedText;  ///< what the buffer holds up to and including the NUL
    size_t untouchedFrom;      ///< the first byte that must still hold the marker
};

TEST_F(ResourcesTest, LoadStringCopiesAtMostSizeMinusOneCharactersAndANul) {
    const LoadCase cases[] = {
        {"roomy buffer", 4306, 64, 10, std::string("Mail Setup\0", 11), 11},
        {"exactly the text and its NUL", 4306, 11, 10, std::string("Mail Setup\0", 11), 11},
        {"one short: the text is cut", 4306, 10, 9, std::string("Mail Setu\0", 10), 10},
        {"room for the NUL only", 4306, 1, 0, std::string("\0", 1), 1},
        {"size 0 writes nothing", 4306, 0, 0, "", 0},
        {"negative size writes nothing", 4306, -4, 0, "", 0},
        {"missing string leaves an empty text", 4311, 64, 0, std::string("\0", 1), 1},
        {"number beyond every block", 65535, 64, 0, std::string("\0", 1), 1},
    };
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        char buffer[80];
        std::memset(buffer, kMarker, sizeof buffer);
        EXPECT_EQ(LoadStringA(module_, c.id, buffer, c.size), c.expectedResult);
        EXPECT_EQ(std::string(buffer, c.expectedText.size()), c.expectedText);
        for (size_t i = c.untouchedFrom; i < sizeof buffer; ++i) {
            ASSERT_EQ(buffer[i], kMarker) << "byte " << i << " was written";
        }
    }
    EXPECT_EQ(LoadStringA(module_, 4306, nullptr, 64), 0);
}

TEST_F(ResourcesTest, LoadStringDeliversTabsLineFeedsAndQuotesAsWritten) {
    char buffer[256];
    ASSERT_GT(LoadStringA(module_, 4301, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "Mail System:\t\t%s\nUser Name:\t\t%s\nPost Office Path:\t%s\nInternet Gateway:\t%s");
}

TEST_F(ResourcesTest, NullModuleMeansTheCurrentResourceHandle) {
    char buffer[64] = "unchanged";
    // Outside any plug-in the process state names no resources.
    ASSERT_EQ(VeskGetModuleState()->hResource, nullptr);
    EXPECT_EQ(LoadStringA(nullptr, 4306, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(findDialog(nullptr, 203), nullptr);

    VESK_MODULE_STATE plugin = {nullptr, module_, nullptr, nullptr};
    VESK_MODULE_STATE* previous = VeskSetModuleState(&plugin);
    EXPECT_EQ(LoadStringA(nullptr, 4306, buffer, sizeof buffer), 10);
    EXPECT_STREQ(buffer, "Mail Setup");
    EXPECT_EQ(resourceModule(nullptr), module_);
    ASSERT_NE(findDialog(nullptr, 2003), nullptr);
    EXPECT_EQ(findDialog(nullptr, 2003)->caption, "Mail Setup");
    VeskSetModuleState(previous);
}

TEST_F(ResourcesTest, LookupsByModuleFindDialogsBitmapsAndIcons) {
    EXPECT_EQ(resourceModule(module_), module_);
    ASSERT_NE(findString(module_, 4324), nullptr);
    EXPECT_EQ(*findString(module_, 4324), "Lotus cc:Mail 6.0 or higher%");
    ASSERT_NE(findDialog(module_, 2001), nullptr);
    EXPECT_NE(findDialog(module_, 2001)->control(2102), nullptr);
    ASSERT_NE(findBitmap(module_, 2201), nullptr);
    EXPECT_GT(findBitmap(module_, 2201)->width, 0);
    EXPECT_NE(findIcon(module_, 208), nullptr);
    EXPECT_EQ(findDialog(module_, 3000), nullptr) << "a number of another library";
}

TEST_F(ResourcesTest, StaleAndForeignHandlesFindNothing) {
    char buffer[16] = "unchanged";
    const HMODULE freed = module_;
    ASSERT_TRUE(FreeLibrary(module_));
    module_ = nullptr;
    EXPECT_EQ(LoadStringA(freed, 4306, buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(findDialog(freed, 203), nullptr);

    int local = 0;
    const auto foreign = reinterpret_cast<HMODULE>(&local);
    EXPECT_EQ(LoadStringA(foreign, 4306, buffer, sizeof buffer), 0);
    EXPECT_EQ(findBitmap(foreign, 2201), nullptr);
}

}  // namespace
}  // namespace vesk::res
