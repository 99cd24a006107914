// Orvek's start, stop, logon and configuration over the recording fake: the exact calls, the
// mapping of statuses, and that every failure closes what it opened, in order.
#include <fstream>
#include <sstream>

#include "VimFixture.h"
#include "win32/Profile.h"

namespace vimtest {
namespace {

using Calls = std::vector<std::string>;

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(VimFakeTest, InitializeStartsTheLibraryAndChecksItsVersion) {
    EXPECT_EQ(app.Initialize(), MAILHOST_OK);
    EXPECT_EQ(fakevim::calls(), (Calls{"Initialize()", "QueryCapability(106,4)"}));
    EXPECT_TRUE(app.VimStarted());
    EXPECT_EQ(app.Uninitialize(), MAILHOST_OK);
    EXPECT_EQ(fakevim::calls().back(), "Terminate()");
    EXPECT_EQ(fakevim::started(), 0);
}

TEST_F(VimFakeTest, AFailedStartOrVersionCheckLeavesNothingRunning) {
    struct Row {
        const char* what;
        const char* failingOp;
        vimStatus status;
        vimDWord version;
        Calls calls;
    };
    const Row rows[] = {
        {"start refused", "Initialize", 1, 101, {"Initialize()"}},
        {"capability refused", "QueryCapability", 16, 101, {"Initialize()", "QueryCapability(106,4)", "Terminate()"}},
        {"version too old", "", 0, 99, {"Initialize()", "QueryCapability(106,4)", "Terminate()"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        fakevim::reset();
        if (row.failingOp[0] != '\0') fakevim::script().failures[row.failingOp][0] = row.status;
        fakevim::script().version = row.version;
        EXPECT_EQ(app.Initialize(), MAILHOST_INIT_FAILED);
        EXPECT_EQ(fakevim::calls(), row.calls);
        EXPECT_FALSE(app.VimStarted());
        EXPECT_EQ(fakevim::started(), 0);
        // Nothing is stopped twice afterwards.
        app.Uninitialize();
        EXPECT_EQ(fakevim::calls(), row.calls);
    }
}

TEST_F(VimFakeTest, LogonBeforeInitializeFailsWithoutACall) {
    writeConfig(config, "anna", "pw", "/po", "");
    EXPECT_EQ(app.Logon(1, config.c_str()), MAILHOST_LOGON_FAILED);
    EXPECT_TRUE(fakevim::calls().empty());
}

TEST_F(VimFakeTest, FullLogonOpensSessionAndMailboxAndListsItsFolders) {
    writeConfig(config, "anna", "s3cret", "/po/main", "Internet");
    ASSERT_EQ(app.Initialize(), MAILHOST_OK);
    fakevim::calls().clear();
    EXPECT_EQ(app.Logon(1, config.c_str()), MAILHOST_OK);
    EXPECT_EQ(fakevim::calls(), (Calls{"OpenSession(/po/main,anna,s3cret,100,16)", "GetEntityName(51)",
                                       "OpenMessageContainer(51,null)",
                                       "EnumerateMsgAttrValues(c1,256,pos=0,1,256,count=10)"}));
    EXPECT_EQ(app.ContainerNames(), (std::vector<std::string>{"Trash", "Sent"}));
    fakevim::calls().clear();
    EXPECT_EQ(app.Logoff(), MAILHOST_OK);
    EXPECT_EQ(fakevim::calls(), (Calls{"CloseMessageContainer(c1)", "CloseSession(51)"}));
    EXPECT_EQ(app.Session(), nullptr);
    EXPECT_EQ(app.Container(), nullptr);
}

TEST_F(VimFakeTest, EveryFailedLogonClosesContainerThenSessionThenLibrary) {
    struct Row {
        const char* failingOp;
        vimStatus status;
        int result;
        Calls closing;  ///< the calls after the failing one
    };
    const Row rows[] = {
        {"OpenSession", 11, MAILHOST_LOGON_BAD_PASSWORD, {"Terminate()"}},
        {"OpenSession", 22, MAILHOST_LOGON_BAD_POST_OFFICE, {"Terminate()"}},
        {"OpenSession", 15, MAILHOST_LOGON_FAILED, {"Terminate()"}},
        // Only the low 16 bits are the status.
        {"OpenSession", 0x0007000B, MAILHOST_LOGON_BAD_PASSWORD, {"Terminate()"}},
        {"GetEntityName", 1, MAILHOST_LOGON_FAILED, {"CloseSession(51)", "Terminate()"}},
        // Any refusal of the mailbox is a plain logon failure, even one that looks like 11.
        {"OpenMessageContainer", 11, MAILHOST_LOGON_FAILED, {"CloseSession(51)", "Terminate()"}},
        {"EnumerateMsgAttrValues", 22, MAILHOST_LOGON_BAD_POST_OFFICE,
         {"CloseMessageContainer(c1)", "CloseSession(51)", "Terminate()"}},
    };
    writeConfig(config, "anna", "pw", "/po", "");
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.failingOp) + " " + std::to_string(row.status));
        fakevim::reset();
        ASSERT_EQ(app.Initialize(), MAILHOST_OK);
        fakevim::script().failures[row.failingOp][0] = row.status;
        const size_t before = fakevim::calls().size();
        EXPECT_EQ(app.Logon(1, config.c_str()), row.result);
        Calls made(fakevim::calls().begin() + static_cast<long>(before), fakevim::calls().end());
        ASSERT_GE(made.size(), row.closing.size());
        EXPECT_EQ(Calls(made.end() - static_cast<long>(row.closing.size()), made.end()), row.closing);
        EXPECT_EQ(app.Session(), nullptr);
        EXPECT_EQ(app.Container(), nullptr);
        EXPECT_TRUE(fakevim::openHandles().empty());
        EXPECT_EQ(fakevim::started(), 0);
        // The flags say what is still open: nothing is closed or stopped twice.
        const size_t after = fakevim::calls().size();
        app.Logoff();
        app.Uninitialize();
        EXPECT_EQ(fakevim::calls().size(), after);
    }
}

TEST_F(VimFakeTest, LogonWithoutSyncOpensTheSessionOnly) {
    writeConfig(config, "anna", "pw", "/po", "");
    ASSERT_EQ(app.Initialize(), MAILHOST_OK);
    fakevim::calls().clear();
    EXPECT_EQ(app.Logon(0, config.c_str()), MAILHOST_OK);
    EXPECT_EQ(fakevim::calls(), (Calls{"OpenSession(/po,anna,pw,100,16)"}));
    fakevim::calls().clear();
    app.Logoff();
    EXPECT_EQ(fakevim::calls(), (Calls{"CloseSession(51)"}));
}

TEST_F(VimFakeTest, LogonWithAnEmptyFileOrUserOpensNoSession) {
    ASSERT_EQ(app.Initialize(), MAILHOST_OK);
    fakevim::calls().clear();
    EXPECT_EQ(app.Logon(0, ""), MAILHOST_OK);
    EXPECT_EQ(app.Logon(0, nullptr), MAILHOST_OK);
    EXPECT_EQ(app.Logon(0, config.c_str(), "/po", "", "pw"), MAILHOST_OK);
    EXPECT_TRUE(fakevim::calls().empty());
}

TEST_F(VimFakeTest, TheWizardsLogonUsesTheTypedValues) {
    writeConfig(config, "stored", "storedpw", "/stored", "");
    ASSERT_EQ(app.Initialize(), MAILHOST_OK);
    fakevim::calls().clear();
    EXPECT_EQ(app.Logon(0, config.c_str(), "/typed", "typed user", "typedpw"), MAILHOST_OK);
    EXPECT_EQ(fakevim::calls(), (Calls{"OpenSession(/typed,typed user,typedpw,100,16)"}));
}

TEST_F(VimFakeTest, FolderListingEndsOnAnEmptyBatchAndReadsAtMostTen) {
    writeConfig(config, "anna", "pw", "/po", "");
    ASSERT_EQ(app.Initialize(), MAILHOST_OK);
    // "More" with nothing delivered would loop forever.
    fakevim::script().forcedCount = 0;
    fakevim::script().forcedMore = 1;
    EXPECT_EQ(app.Logon(1, config.c_str()), MAILHOST_OK);
    EXPECT_EQ(callsOf("EnumerateMsgAttrValues").size(), 1u);
    app.Logoff();
    // A count beyond the ten entries of the buffer is not read past it.
    fakevim::script().forcedCount = 500;
    fakevim::script().forcedMore = 0;
    EXPECT_EQ(app.Logon(1, config.c_str()), MAILHOST_OK);
    EXPECT_EQ(app.ContainerNames().size(), 10u);
}

TEST_F(VimFakeTest, UninitializeClosesAnOpenMailboxFirst) {
    logOn();
    EXPECT_EQ(app.Uninitialize(), MAILHOST_OK);
    EXPECT_EQ(fakevim::calls(), (Calls{"CloseMessageContainer(c1)", "CloseSession(51)", "Terminate()"}));
    EXPECT_EQ(fakevim::started(), 0);
}

TEST_F(VimFakeTest, ASecondLogonClosesTheFirstRatherThanLosingIt) {
    logOn();
    ASSERT_EQ(app.Logon(1, config.c_str()), MAILHOST_OK);
    EXPECT_EQ(Calls(fakevim::calls().begin(), fakevim::calls().begin() + 3),
              (Calls{"CloseMessageContainer(c1)", "CloseSession(51)", "OpenSession(/po/main,anna,s3cret,100,16)"}));
    app.Logoff();
    EXPECT_TRUE(fakevim::openHandles().empty());
}

TEST_F(VimFakeTest, ConfigInfoReportsTheNeededSizeThenTheText) {
    writeConfig(config, "anna", "pw", "/po/main", "Internet");
    const std::string expected = std::string("Mail System:\t\t") + kHost +
                                 "\nUser Name:\t\tanna\nPost Office Path:\t/po/main\nInternet Gateway:\tInternet";
    char text[512];
    int size = 10;
    EXPECT_EQ(app.GetHostConfigInfo(config.c_str(), text, &size), MAILHOST_BUFFER_TOO_SMALL);
    EXPECT_EQ(size, static_cast<int>(expected.size()) + 1);
    EXPECT_EQ(app.GetHostConfigInfo(config.c_str(), text, &size), MAILHOST_OK);
    EXPECT_EQ(std::string(text), expected);
}

TEST_F(VimFakeTest, ConfigInfoWithoutHostOrUserIsNotConfigured) {
    char text[256];
    int size = sizeof text;
    EXPECT_EQ(app.GetHostConfigInfo(config.c_str(), text, &size), MAILHOST_OK);
    EXPECT_STREQ(text, "Not Configured");
    app.SetHostConfigInfo(config.c_str(), 0);
    writeConfig(config, "", "pw", "/po", "");
    EXPECT_EQ(app.GetHostConfigInfo(config.c_str(), text, &size), MAILHOST_OK);
    EXPECT_STREQ(text, "Not Configured");
}

TEST_F(VimFakeTest, SetHostConfigInfoSavesScrambledOrJustForgets) {
    writeConfig(config, "anna", "pw", "/po", "gw");
    char text[512];
    int size = sizeof text;
    ASSERT_EQ(app.GetHostConfigInfo(config.c_str(), text, &size), MAILHOST_OK);
    const std::string before = readFile(config);
    EXPECT_EQ(app.SetHostConfigInfo(config.c_str(), 0), 0);
    EXPECT_FALSE(app.Settings().IsConfigured());
    EXPECT_EQ(readFile(config), before);

    const std::string other = dir + "/other.ini";
    app.Settings().SetHostName(kHost);
    app.Settings().SetUserAccount("bo");
    app.Settings().SetPassword(std::string(40, 'x'));
    app.Settings().SetPostOfficePath("/po/b");
    EXPECT_EQ(app.SetHostConfigInfo(other.c_str(), 1), 1);
    const std::string saved = readFile(other);
    EXPECT_EQ(saved.find("xxxx"), std::string::npos) << "the password is never stored in clear";
    EXPECT_NE(saved.find("InternetGateway="), std::string::npos) << "an empty gateway is written as empty";
    CVimSettings loaded;
    ASSERT_TRUE(loaded.Load(other.c_str(), nullptr));
    EXPECT_EQ(loaded.Password(), std::string(32, 'x'));
    EXPECT_EQ(loaded.PostOfficePath(), "/po/b");
    EXPECT_EQ(app.SetHostConfigInfo("", 1), 0);
}

TEST_F(VimFakeTest, IncompleteSettingsSaveNothingButReportOne) {
    for (int missing = 0; missing < 3; ++missing) {
        SCOPED_TRACE(missing);
        CVimSettings s;
        s.SetHostName(missing == 0 ? "" : kHost);
        s.SetUserAccount(missing == 1 ? "" : "anna");
        s.SetPostOfficePath(missing == 2 ? "" : "/po");
        const std::string file = dir + "/incomplete" + std::to_string(missing) + ".ini";
        EXPECT_EQ(s.Save(file.c_str()), 1);
        EXPECT_EQ(readFile(file), "");
    }
}

TEST_F(VimFakeTest, SupportedHostsIsOneNameAndAnEmptyOne) {
    char hosts[64];
    int size = 28;
    EXPECT_EQ(app.GetSupportedHosts(hosts, &size), MAILHOST_BUFFER_TOO_SMALL);
    EXPECT_EQ(size, 29);
    EXPECT_EQ(app.GetSupportedHosts(hosts, &size), MAILHOST_OK);
    EXPECT_STREQ(hosts, kHost);
    EXPECT_EQ(hosts[28], '\0');
}

}  // namespace
}  // namespace vimtest
