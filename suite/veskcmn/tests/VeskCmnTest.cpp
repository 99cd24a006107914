// VeskCmn.dll as a plug-in reaches it: LoadLibraryA, then ordinals 2 and 3.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "veskcmn/VeskCmn.h"
#include "win32/Module.h"
#include "win32/Resources.h"

namespace {

class VeskCmn : public ::testing::Test {
protected:
    void SetUp() override {
        // The test language library first, then the module folder with veskcmn.so.
        const std::string path = std::string(VESK_TEST_LANGUAGE_DIR) + ":" + VESK_TEST_MODULE_DIR;
        setenv("VESK_LIBRARY_PATH", path.c_str(), 1);
        m_common = LoadLibraryA("VeskCmn.dll");
        ASSERT_NE(m_common, nullptr);
        m_load = VeskProcAs<VESKCMN_LOAD_LANGUAGE>(
            GetProcAddress(m_common, MAKEINTRESOURCEA(VESKCMN_ORDINAL_LOAD_LANGUAGE)));
        m_free = VeskProcAs<VESKCMN_FREE_LANGUAGE>(
            GetProcAddress(m_common, MAKEINTRESOURCEA(VESKCMN_ORDINAL_FREE_LANGUAGE)));
        ASSERT_NE(m_load, nullptr);
        ASSERT_NE(m_free, nullptr);
        // Any module stands in for the calling plug-in; this program is one.
        m_own = VeskModuleFromAddress(reinterpret_cast<const void*>(&VeskCmn::ownAnchor));
        ASSERT_NE(m_own, nullptr);
    }
    void TearDown() override {
        if (m_common != nullptr) {
            EXPECT_TRUE(FreeLibrary(m_common));
        }
    }

    static void ownAnchor() {}

    HMODULE m_common = nullptr;
    HMODULE m_own = nullptr;
    VESKCMN_LOAD_LANGUAGE m_load = nullptr;
    VESKCMN_FREE_LANGUAGE m_free = nullptr;
};

TEST_F(VeskCmn, LoadsTheLanguageLibraryAndFreesItAgain) {
    DWORD status = 0xDEADu;
    HMODULE language = m_load("CMNLANG.DLL", m_own, &status);
    ASSERT_NE(language, nullptr);
    EXPECT_NE(language, m_own);
    EXPECT_EQ(status, 0u);
    char text[64];
    EXPECT_GT(LoadStringA(language, 4305, text, sizeof text), 0);
    EXPECT_STREQ(text, "Common test string");

    EXPECT_TRUE(m_free(language, m_own));
    SetLastError(0);
    EXPECT_FALSE(FreeLibrary(language)) << "ordinal 3 must have released the library";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(VeskCmn, AnswersWithTheCallersOwnModuleWhenTheLibraryIsMissing) {
    DWORD status = 0;
    EXPECT_EQ(m_load("ABSENT.DLL", m_own, &status), m_own);
    EXPECT_EQ(status, static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_EQ(m_load("ABSENT.DLL", m_own, nullptr), m_own) << "the status pointer is optional";
    // Freeing the own module does nothing to it.
    EXPECT_TRUE(m_free(m_own, m_own));
    EXPECT_EQ(VeskModuleFromAddress(reinterpret_cast<const void*>(&VeskCmn::ownAnchor)), m_own);
}

}  // namespace
