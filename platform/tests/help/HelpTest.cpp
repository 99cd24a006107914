// WinHelpA over the fixture help file platform/tests/fixtures/FixtureHelp.hlp, installed as
// fixtures/loader/caller/fixture.hlp.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "loader/LoaderTestSupport.h"
#include "win32/Help.h"
#include "win32/Module.h"

namespace {

using loadertest::fixturePath;
using loadertest::ScopedLibraryPath;

const HWND kOwner = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x4711));

std::string fixtureHelpText() {
    std::ifstream in(fixturePath("caller/fixture.hlp"), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

VESK_HELP_REQUEST lastRequest() {
    VESK_HELP_REQUEST request{};
    EXPECT_TRUE(VeskGetLastHelpRequest(&request));
    return request;
}

// Records what the display was given and answers with a result chosen by the test.
struct DisplaySeen {
    int calls = 0;
    HWND owner = nullptr;
    std::string path;
    std::string text;
    UINT command = 0;
    ULONG_PTR data = 0;
    BOOL answer = TRUE;
};
DisplaySeen g_seen;

BOOL recordingDisplay(HWND owner, const char* path, const char* text, UINT command, ULONG_PTR data) {
    ++g_seen.calls;
    g_seen.owner = owner;
    g_seen.path = path;
    g_seen.text = text;
    g_seen.command = command;
    g_seen.data = data;
    return g_seen.answer;
}

class Help : public ::testing::Test {
protected:
    void SetUp() override {
        g_seen = DisplaySeen{};
        m_previous = VeskSetHelpDisplay(nullptr);
    }
    void TearDown() override { VeskSetHelpDisplay(m_previous); }

    VESK_HELP_DISPLAY m_previous = nullptr;
};

TEST_F(Help, FindsTheFileOnTheLibraryPathAndRecordsTheRequest) {
    ScopedLibraryPath libraryPath("/nonexistent-folder:" + fixturePath("caller"));
    const UINT before = VeskHelpRequestCount();
    EXPECT_TRUE(WinHelpA(kOwner, "fixture.hlp", HELP_CONTEXT, 12));
    EXPECT_EQ(VeskHelpRequestCount(), before + 1);
    const VESK_HELP_REQUEST request = lastRequest();
    EXPECT_EQ(request.owner, kOwner);
    EXPECT_EQ(request.command, static_cast<UINT>(HELP_CONTEXT));
    EXPECT_EQ(request.data, 12u);
    EXPECT_TRUE(request.found);
    EXPECT_STREQ(request.file, "fixture.hlp");
    EXPECT_EQ(std::string(request.path), fixturePath("caller/fixture.hlp"));
}

TEST_F(Help, FindsTheFileInTheCallingModulesFolder) {
    ScopedLibraryPath libraryPath(std::nullopt);
    HMODULE helper = LoadLibraryA(fixturePath("caller/loadhelper.so").c_str());
    ASSERT_NE(helper, nullptr);
    using HelpFn = BOOL (*)(const char*);
    auto helpFromHelper = VeskProcAs<HelpFn>(GetProcAddress(helper, "HelpFromHelper"));
    ASSERT_NE(helpFromHelper, nullptr);
    EXPECT_TRUE(helpFromHelper("fixture.hlp"));
    EXPECT_EQ(std::string(lastRequest().path), fixturePath("caller/fixture.hlp"));
    // The test program's own folder has no such file.
    EXPECT_FALSE(WinHelpA(kOwner, "fixture.hlp", HELP_CONTENTS, 0));
    EXPECT_TRUE(FreeLibrary(helper));
}

TEST_F(Help, FailsWithoutAFileAndStillRecordsTheRequest) {
    ScopedLibraryPath libraryPath(fixturePath("caller"));
    VeskSetHelpDisplay(recordingDisplay);
    struct Row {
        const char* file;
        const char* why;
    };
    const Row rows[] = {
        {"absent.hlp", "no such file on the path"},
        {"", "an empty name"},
        {nullptr, "no name"},
        {"/nonexistent-folder/fixture.hlp", "a path is not searched"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.why);
        const UINT before = VeskHelpRequestCount();
        EXPECT_FALSE(WinHelpA(kOwner, row.file, HELP_CONTENTS, 0));
        EXPECT_EQ(VeskHelpRequestCount(), before + 1);
        EXPECT_FALSE(lastRequest().found);
        EXPECT_STREQ(lastRequest().path, "");
    }
    EXPECT_EQ(g_seen.calls, 0) << "nothing to show without a file";
}

TEST_F(Help, HandsTheTextToTheDisplayAndReturnsItsAnswer) {
    ScopedLibraryPath libraryPath(fixturePath("caller"));
    VeskSetHelpDisplay(recordingDisplay);
    for (BOOL answer : {TRUE, FALSE}) {
        SCOPED_TRACE(answer);
        g_seen.answer = answer;
        EXPECT_EQ(WinHelpA(kOwner, "fixture.hlp", HELP_CONTENTS, 0), answer);
    }
    EXPECT_EQ(g_seen.calls, 2);
    EXPECT_EQ(g_seen.owner, kOwner);
    EXPECT_EQ(g_seen.path, fixturePath("caller/fixture.hlp"));
    EXPECT_EQ(g_seen.text, fixtureHelpText());
    EXPECT_EQ(g_seen.command, static_cast<UINT>(HELP_CONTENTS));
    EXPECT_EQ(g_seen.data, 0u);
    EXPECT_EQ(VeskSetHelpDisplay(nullptr), &recordingDisplay);
}

TEST_F(Help, TakesAPathAsItIs) {
    ScopedLibraryPath libraryPath(std::nullopt);
    const std::string path = fixturePath("caller/fixture.hlp");
    EXPECT_TRUE(WinHelpA(kOwner, path.c_str(), HELP_CONTENTS, 0));
    EXPECT_EQ(std::string(lastRequest().path), path);
}

TEST_F(Help, QuitNeedsNoFile) {
    ScopedLibraryPath libraryPath(std::nullopt);
    VeskSetHelpDisplay(recordingDisplay);
    EXPECT_TRUE(WinHelpA(kOwner, nullptr, HELP_QUIT, 0));
    EXPECT_EQ(lastRequest().command, static_cast<UINT>(HELP_QUIT));
    EXPECT_EQ(g_seen.calls, 0);
}

}  // namespace
