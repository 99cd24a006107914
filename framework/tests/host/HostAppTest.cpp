// Module start-up and shut-down of a plug-in, its language library and help file, loaded
// with LoadLibraryA as the conduit loads it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestPlugin.h"
#include "framework/HostApp.h"
#include "probe/HostProbe.h"
#include "win32/Help.h"
#include "win32/ModuleState.h"

namespace {

using hosttest::Plugin;

std::vector<std::string> steps(const std::vector<hostprobe::Event>& events) {
    std::vector<std::string> names;
    for (const hostprobe::Event& event : events) names.push_back(event.what);
    return names;
}

hostprobe::Event findEvent(const std::string& plugin, const std::string& what) {
    for (const hostprobe::Event& event : hostprobe::events()) {
        if (event.plugin == plugin && event.what == what) return event;
    }
    ADD_FAILURE() << "no event " << what << " of " << plugin;
    return hostprobe::Event{};
}

std::string moduleFileName(HMODULE module) {
    char path[4096];
    return std::string(path, GetModuleFileNameA(module, path, sizeof path));
}

class HostLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        hosttest::useTestLibraryPath();
        hostprobe::reset();
        m_before = VeskSetModuleState(&m_callerState);
    }
    void TearDown() override { VeskSetModuleState(m_before); }

    VESK_MODULE_STATE m_callerState{};
    VESK_MODULE_STATE* m_before = nullptr;
};

TEST_F(HostLifecycle, StartsUpAtLoadInTheDocumentedOrder) {
    Plugin a;
    ASSERT_TRUE(a.load("testhost_a.dll"));
    const std::vector<hostprobe::Event> events = hostprobe::events();
    ASSERT_EQ(steps(events), (std::vector<std::string>{"construct", "init-begin", "init"}));
    const hostprobe::Event& before = events[1];
    const hostprobe::Event& init = events[2];

    // The framework's own default help file is replaced by the bare name.
    EXPECT_EQ(before.helpPath, std::string(VESK_TEST_MODULE_DIR) + "/testhost_a.hlp");
    EXPECT_EQ(init.helpPath, "Helvor.hlp");
    // Start-up runs in the plug-in's module state, whose module is the one LoadLibraryA returned.
    EXPECT_EQ(init.instance, a.module);
    EXPECT_NE(init.state, &m_callerState);
    EXPECT_EQ(init.own, a.module);
    ASSERT_NE(init.language, nullptr);
    EXPECT_NE(init.language, a.module);
    EXPECT_EQ(moduleFileName(init.language), std::string(VESK_TEST_LANGUAGE_DIR) + "/hostlang.res");
    EXPECT_EQ(init.resource, init.language);
    EXPECT_EQ(VeskGetModuleState(), &m_callerState) << "loading must leave the loader's state in force";

    // The calls that follow run in that same state.
    a.Initialize();
    ASSERT_EQ(hostprobe::calls().size(), 1u);
    EXPECT_EQ(hostprobe::calls()[0].state, init.state);
    EXPECT_TRUE(a.unload());
}

TEST_F(HostLifecycle, ShutsDownAtUnloadAndPutsTheOwnModuleBack) {
    Plugin a;
    ASSERT_TRUE(a.load("testhost_a.dll"));
    const HMODULE own = a.module;
    const HMODULE language = findEvent("testhost_a", "init").language;
    ASSERT_NE(language, own);
    hostprobe::reset();

    EXPECT_TRUE(a.unload());
    const std::vector<hostprobe::Event> events = hostprobe::events();
    ASSERT_EQ(steps(events), (std::vector<std::string>{"exit-begin", "exit-end", "destroy"}));
    EXPECT_EQ(events[0].language, language);
    EXPECT_EQ(events[0].resource, language);
    EXPECT_NE(events[0].state, &m_callerState) << "shut-down runs in the plug-in's module state";
    for (const hostprobe::Event& after : {events[1], events[2]}) {
        SCOPED_TRACE(after.what);
        EXPECT_EQ(after.own, own);
        EXPECT_EQ(after.language, own) << "m_hLanguage must be m_hOwnResources again";
        EXPECT_EQ(after.resource, own);
    }
    EXPECT_EQ(moduleFileName(language), "") << "the language library must be unloaded";
    EXPECT_EQ(VeskGetModuleState(), &m_callerState);
}

// The test holds a reference of its own to the language library: if the plug-in took or
// gave back one reference too many, the counts below would not come out.
TEST_F(HostLifecycle, LoadsAndFreesTheLanguageLibraryExactlyOnce) {
    const HMODULE held = LoadLibraryA("HOSTLANG.DLL");
    ASSERT_NE(held, nullptr);
    Plugin a;
    ASSERT_TRUE(a.load("testhost_a.dll"));
    EXPECT_EQ(findEvent("testhost_a", "init").language, held);
    EXPECT_TRUE(a.unload());
    EXPECT_TRUE(FreeLibrary(held)) << "the plug-in freed its language library more often than it loaded it";
    EXPECT_FALSE(FreeLibrary(held)) << "the plug-in loaded its language library more often than it freed it";
}

TEST_F(HostLifecycle, StartsAndStopsOnceHoweverOftenItIsLoaded) {
    Plugin first;
    Plugin second;
    ASSERT_TRUE(first.load("testhost_a.dll"));
    ASSERT_TRUE(second.load("TESTHOST_A.DLL"));
    EXPECT_EQ(first.module, second.module);
    EXPECT_EQ(steps(hostprobe::events()), (std::vector<std::string>{"construct", "init-begin", "init"}));
    EXPECT_TRUE(first.unload());
    EXPECT_EQ(hostprobe::events().size(), 3u) << "shut down while still loaded";
    EXPECT_TRUE(second.unload());
    EXPECT_EQ(steps(hostprobe::events()), (std::vector<std::string>{"construct", "init-begin", "init", "exit-begin",
                                                                    "exit-end", "destroy"}));
}

// String 4399 of testhost.rc: longer than the first buffer LoadResString tries.
const char kLongString[] =
    "A long string that is longer than the first buffer LoadResString tries, so that it has to grow it: 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 0123456789 end.";

struct StringRow {
    const char* language;  ///< the language library the host asks for
    UINT id;
    const char* expected;
    const char* why;
};

TEST_F(HostLifecycle, TakesStringsFromTheLanguageLibraryOrElseFromItsOwnCopy) {
    const StringRow rows[] = {
        {"HOSTLANG.DLL", 4300, "Niet geconfigureerd", "the language library's text"},
        {"HOSTLANG.DLL", 4399, "", "no mixing: a string the language library lacks is missing"},
        {"ABSENT.DLL", 4300, "Not Configured", "without a language library: the embedded English copy"},
        {"ABSENT.DLL", 4399, kLongString, "a long string of the embedded copy, whole"},
    };
    for (const StringRow& row : rows) {
        SCOPED_TRACE(row.why);
        hostprobe::reset();
        hostprobe::setLanguageLibrary(row.language);
        hostprobe::setStringId(row.id);
        Plugin a;
        ASSERT_TRUE(a.load("testhost_a.dll"));
        EXPECT_EQ(a.configText(), row.expected);
        EXPECT_TRUE(a.unload());
    }
}

TEST_F(HostLifecycle, UsesItsOwnModuleWhenTheLanguageLibraryIsMissing) {
    hostprobe::setLanguageLibrary("ABSENT.DLL");
    Plugin a;
    ASSERT_TRUE(a.load("testhost_a.dll"));
    const hostprobe::Event init = findEvent("testhost_a", "init");
    EXPECT_EQ(init.language, a.module);
    EXPECT_EQ(init.resource, a.module);
    EXPECT_TRUE(a.unload());
    EXPECT_EQ(findEvent("testhost_a", "destroy").language, init.own);
}

TEST_F(HostLifecycle, OpensTheHelpContentsForTheHelpCommand) {
    Plugin a;
    ASSERT_TRUE(a.load("testhost_a.dll"));
    const HWND sheet = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x3e8));
    int outcome = 0;

    hostprobe::setCommand(ID_HELP);
    const UINT before = VeskHelpRequestCount();
    a.DisplayConfigWizardPages(sheet, "config.ini", "Eudora", 0, 0, 0, &outcome);
    EXPECT_EQ(findEvent("testhost_a", "command").value, TRUE);
    ASSERT_EQ(VeskHelpRequestCount(), before + 1);
    VESK_HELP_REQUEST request{};
    ASSERT_TRUE(VeskGetLastHelpRequest(&request));
    EXPECT_STREQ(request.file, "Helvor.hlp");
    EXPECT_EQ(request.command, static_cast<UINT>(HELP_CONTENTS));
    EXPECT_EQ(request.data, 0u);
    EXPECT_EQ(request.owner, sheet);
    EXPECT_TRUE(request.found);
    EXPECT_EQ(std::string(request.path), std::string(VESK_TEST_MODULE_DIR) + "/Helvor.hlp");

    // Any other command is not the host object's.
    hostprobe::reset();
    hostprobe::setCommand(0xE100);
    a.DisplayConfigWizardPages(sheet, "config.ini", "Eudora", 0, 0, 0, &outcome);
    EXPECT_EQ(findEvent("testhost_a", "command").value, FALSE);
    EXPECT_EQ(VeskHelpRequestCount(), before + 1);
    EXPECT_TRUE(a.unload());
}

TEST_F(HostLifecycle, TwoPluginsInOneProcessShareNoState) {
    Plugin a;
    Plugin b;
    ASSERT_TRUE(a.load("testhost_a.dll"));
    ASSERT_TRUE(b.load("testhost_b.dll"));
    ASSERT_NE(a.module, b.module);
    const hostprobe::Event initA = findEvent("testhost_a", "init");
    const hostprobe::Event initB = findEvent("testhost_b", "init");
    EXPECT_NE(initA.app, initB.app);
    EXPECT_NE(initA.state, initB.state);
    EXPECT_EQ(initA.own, a.module);
    EXPECT_EQ(initB.own, b.module);
    // One language library, loaded once for each.
    EXPECT_EQ(initA.language, initB.language);

    a.Initialize();
    b.Initialize();
    std::vector<hostprobe::Call> calls = hostprobe::calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].plugin, "testhost_a");
    EXPECT_EQ(calls[0].app, initA.app);
    EXPECT_EQ(calls[0].instance, a.module);
    EXPECT_EQ(calls[1].plugin, "testhost_b");
    EXPECT_EQ(calls[1].app, initB.app);
    EXPECT_EQ(calls[1].instance, b.module);

    // Unloading one leaves the other whole, language library included.
    EXPECT_TRUE(a.unload());
    EXPECT_EQ(b.configText(), "Niet geconfigureerd");
    calls = hostprobe::calls();
    EXPECT_EQ(calls.back().plugin, "testhost_b");
    EXPECT_EQ(calls.back().resource, initB.language);
    EXPECT_TRUE(b.unload());
    EXPECT_EQ(moduleFileName(initB.language), "");
}

}  // namespace
