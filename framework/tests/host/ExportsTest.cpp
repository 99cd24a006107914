// The fifteen exports of a plug-in, called through LoadLibraryA/GetProcAddress as the conduit
// calls them: each reaches the host object with its arguments and comes back with its result
// unchanged, runs in the plug-in's module state and restores the caller's, also when the
// operation throws.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestPlugin.h"
#include "probe/HostProbe.h"
#include "win32/ModuleState.h"

namespace {

using hostprobe::describe;
using hosttest::Plugin;

// What the tests pass: distinct values and addresses that the host object must see as they are.
struct Arguments {
    char config[32] = "/tmp/conduit.ini";
    char text[64] = {};
    int size = sizeof text;
    char hostName[16] = "Eudora";
    HWND parent = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5150));
    int outcome = -1;
    MailMsg** arrayOut = nullptr;
    int count = -1;
    MailMsg msg{};
    MailMsg* array[2] = {&msg, &msg};
};

struct ExportRow {
    const char* operation;  ///< the host operation the export must reach
    const char* variant;    ///< names the row
    std::function<int(const Plugin&, Arguments&)> call;
    std::function<std::string(Arguments&)> expected;  ///< the arguments as the host must see them
};

void PrintTo(const ExportRow& row, std::ostream* out) {
    *out << row.operation << row.variant;
}

std::vector<ExportRow> exportRows() {
    return {
        {"Initialize", "", [](const Plugin& p, Arguments&) { return p.Initialize(); },
         [](Arguments&) { return std::string(); }},
        {"Uninitialize", "", [](const Plugin& p, Arguments&) { return p.Uninitialize(); },
         [](Arguments&) { return std::string(); }},
        {"Logon", "ForASynchronisation", [](const Plugin& p, Arguments& a) { return p.Logon(1, a.config); },
         [](Arguments& a) { return describe(1, a.config); }},
        {"Logon", "ToTestTheSettingsWithoutAFile", [](const Plugin& p, Arguments&) { return p.Logon(0, nullptr); },
         [](Arguments&) { return describe(0, nullptr); }},
        {"Logoff", "", [](const Plugin& p, Arguments&) { return p.Logoff(); },
         [](Arguments&) { return std::string(); }},
        {"GetHostConfigInfo", "",
         [](const Plugin& p, Arguments& a) { return p.GetHostConfigInfo(a.config, a.text, &a.size); },
         [](Arguments& a) { return describe(a.config, a.text, &a.size); }},
        {"SetHostConfigInfo", "Save", [](const Plugin& p, Arguments& a) { return p.SetHostConfigInfo(a.config, 1); },
         [](Arguments& a) { return describe(a.config, 1); }},
        {"SetHostConfigInfo", "DiscardWithoutAFile",
         [](const Plugin& p, Arguments&) { return p.SetHostConfigInfo(nullptr, 0); },
         [](Arguments&) { return describe(nullptr, 0); }},
        {"GetSupportedHosts", "", [](const Plugin& p, Arguments& a) { return p.GetSupportedHosts(a.text, &a.size); },
         [](Arguments& a) { return describe(a.text, &a.size); }},
        // The two ignored arguments still reach the host object as they were passed.
        {"DisplayConfigWizardPages", "",
         [](const Plugin& p, Arguments& a) {
             return p.DisplayConfigWizardPages(a.parent, a.config, a.hostName, 7, -8, 1, &a.outcome);
         },
         [](Arguments& a) { return describe(a.parent, a.config, a.hostName, 7, -8, 1, &a.outcome); }},
        {"GetAllMsgs", "", [](const Plugin& p, Arguments& a) { return p.GetAllMsgs(&a.arrayOut, &a.count, 1); },
         [](Arguments& a) { return describe(&a.arrayOut, &a.count, 1); }},
        {"SetMsg", "", [](const Plugin& p, Arguments& a) { return p.SetMsg(&a.msg); },
         [](Arguments& a) { return describe(&a.msg); }},
        {"SendMsg", "", [](const Plugin& p, Arguments& a) { return p.SendMsg(&a.msg); },
         [](Arguments& a) { return describe(&a.msg); }},
        {"DeleteMsg", "", [](const Plugin& p, Arguments& a) { return p.DeleteMsg(&a.msg); },
         [](Arguments& a) { return describe(&a.msg); }},
        {"SetMsgReadStatus", "", [](const Plugin& p, Arguments& a) { return p.SetMsgReadStatus(&a.msg, 0); },
         [](Arguments& a) { return describe(&a.msg, 0); }},
        {"SetMsgPriority", "", [](const Plugin& p, Arguments& a) { return p.SetMsgPriority(&a.msg, 2); },
         [](Arguments& a) { return describe(&a.msg, 2); }},
        {"FreeMailMsg", "", [](const Plugin& p, Arguments& a) { return p.FreeMailMsg(a.array, 2); },
         [](Arguments& a) { return describe(a.array, 2); }},
        // The exports add no checks of their own: even a null array goes to the host object.
        {"FreeMailMsg", "NullArray", [](const Plugin& p, Arguments&) { return p.FreeMailMsg(nullptr, 5); },
         [](Arguments&) { return describe(nullptr, 5); }},
    };
}

class ExportRouting : public ::testing::TestWithParam<ExportRow> {
protected:
    static void SetUpTestSuite() {
        hosttest::useTestLibraryPath();
        hostprobe::reset();
        ASSERT_TRUE(s_plugin.load("testhost_a.dll"));
        for (const hostprobe::Event& event : hostprobe::events()) {
            if (event.what == "init") s_language = event.language;
        }
    }
    static void TearDownTestSuite() { s_plugin.unload(); }

    void SetUp() override {
        ASSERT_NE(s_plugin.module, nullptr);
        ASSERT_NE(s_language, s_plugin.module) << "the language library should have been found";
        hostprobe::reset();
        m_before = VeskSetModuleState(&m_callerState);
    }
    void TearDown() override { VeskSetModuleState(m_before); }

    static Plugin s_plugin;
    static HMODULE s_language;
    // The caller's own module state (the conduit's), in force around every call.
    VESK_MODULE_STATE m_callerState{};
    VESK_MODULE_STATE* m_before = nullptr;
};

Plugin ExportRouting::s_plugin;
HMODULE ExportRouting::s_language = nullptr;

TEST_P(ExportRouting, PassesArgumentsAndResultUnchanged) {
    const ExportRow& row = GetParam();
    // Success, a code, and a value that is no code at all: the export translates none of them.
    for (int result : {0, static_cast<int>(MAILHOST_BUFFER_TOO_SMALL), -77}) {
        SCOPED_TRACE(result);
        hostprobe::reset();
        hostprobe::setResult(result);
        Arguments arguments;
        EXPECT_EQ(row.call(s_plugin, arguments), result);
        const std::vector<hostprobe::Call> calls = hostprobe::calls();
        ASSERT_EQ(calls.size(), 1u);
        EXPECT_EQ(calls[0].plugin, "testhost_a");
        EXPECT_EQ(calls[0].operation, row.operation);
        EXPECT_EQ(calls[0].arguments, row.expected(arguments));
    }
}

TEST_P(ExportRouting, CallsInThePluginsModuleStateAndRestoresTheCallers) {
    Arguments arguments;
    GetParam().call(s_plugin, arguments);
    const std::vector<hostprobe::Call> calls = hostprobe::calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].state, &m_callerState);
    EXPECT_EQ(calls[0].instance, s_plugin.module);
    EXPECT_EQ(calls[0].resource, s_language);
    EXPECT_EQ(calls[0].currentApp, calls[0].app) << "the current application object must be the host object";
    EXPECT_EQ(VeskGetModuleState(), &m_callerState);
}

TEST_P(ExportRouting, RestoresTheCallersStateWhenTheOperationThrows) {
    hostprobe::setThrowing(true);
    Arguments arguments;
    EXPECT_THROW(GetParam().call(s_plugin, arguments), std::runtime_error);
    EXPECT_EQ(hostprobe::calls().size(), 1u);
    EXPECT_EQ(VeskGetModuleState(), &m_callerState);
}

INSTANTIATE_TEST_SUITE_P(Exports, ExportRouting, ::testing::ValuesIn(exportRows()),
                         [](const ::testing::TestParamInfo<ExportRow>& row) {
                             return std::string(row.param.operation) + row.param.variant;
                         });

}  // namespace
