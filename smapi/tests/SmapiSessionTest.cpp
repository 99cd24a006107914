// Salvith's session and configuration operations, against the recording fake.
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "SmapiFixture.h"
#include "framework/PasswordScramble.h"
#include "trevlin/Trevlin.h"
#include "win32/ModuleState.h"
#include "win32/Profile.h"

namespace smapitest {
namespace {

using fakemapi::callNames;
using fakemapi::calls;
using fakemapi::script;
using Names = std::vector<std::string>;

std::string readIni(const std::string& path, const std::string& section, const std::string& key) {
    char buffer[1024] = "";
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "<missing>", buffer, sizeof buffer, path.c_str());
    return buffer;
}

using SessionTest = SmapiFakeTest;

TEST_F(SessionTest, LogonFlagsFollowTheSyncArgument) {
    writeConfig(config, "Eudora 3.0.1 or higher", "anna", "s3cret");
    struct Row {
        int syncLogon;
        FLAGS flags;
    };
    for (Row row : {Row{1, 0x1002}, Row{0, 0x2}, Row{7, 0x1002}}) {
        SCOPED_TRACE(row.syncLogon);
        calls().clear();
        unsigned long yields = TrevlinYieldCount();
        ASSERT_EQ(app.Logon(row.syncLogon, config.c_str()), MAILHOST_OK);
        EXPECT_EQ(TrevlinYieldCount(), yields + 1);
        ASSERT_FALSE(calls().empty());
        const fakemapi::Call& logon = calls().back();
        EXPECT_EQ(logon.function, "MAPILogon");
        EXPECT_EQ(logon.flags, row.flags);
        EXPECT_EQ(logon.text, std::optional<std::string>("anna"));
        EXPECT_EQ(logon.password, std::optional<std::string>("s3cret"));
        EXPECT_EQ(app.Session(), script().sessionHanded);
    }
}

TEST_F(SessionTest, LogonAgainEndsTheEarlierSessionFirst) {
    logOn();
    ASSERT_EQ(app.Logon(1, config.c_str()), MAILHOST_OK);
    EXPECT_EQ(callNames(), (Names{"MAPILogoff", "MAPILogon"}));
    EXPECT_EQ(calls()[0].session, script().sessionHanded);
}

TEST_F(SessionTest, LogonWithoutAConfigFileSucceedsWithoutACall) {
    EXPECT_EQ(app.Logon(1, ""), MAILHOST_OK);
    EXPECT_EQ(app.Logon(1, nullptr), MAILHOST_OK);
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(app.Session(), 0u);
}

TEST_F(SessionTest, AFileWithoutMsgHostNameLogsOnWithEmptyTexts) {
    std::ofstream(config) << "[Other]\nkey=value\n";
    ASSERT_EQ(app.Logon(0, config.c_str()), MAILHOST_OK);
    ASSERT_EQ(calls().size(), 1u);
    EXPECT_EQ(calls()[0].text, std::optional<std::string>(""));
    EXPECT_EQ(calls()[0].password, std::optional<std::string>(""));
}

TEST_F(SessionTest, ARefusedLogonLeavesNoSession) {
    writeConfig(config, "Eudora 3.0.1 or higher", "anna", "wrong");
    script().logonResult = MAPI_E_LOGIN_FAILURE;
    EXPECT_EQ(app.Logon(1, config.c_str()), MAILHOST_LOGON_FAILED);
    EXPECT_EQ(app.Session(), 0u);
    // With no session, the message operations do not reach the library.
    MailMsg** msgs = nullptr;
    int count = -1;
    EXPECT_EQ(app.GetAllMsgs(&msgs, &count, 0), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(callNames(), Names{"MAPILogon"});
}

TEST_F(SessionTest, NothingReachesAnUnboundLibrary) {
    app.Binding().Unbind();
    Record record(fromHost("id-1"));
    MailMsg** msgs = reinterpret_cast<MailMsg**>(0x1);
    int count = -1;
    EXPECT_EQ(app.Logon(1, config.c_str()), MAILHOST_LOGON_FAILED);
    EXPECT_EQ(app.Logoff(), MAILHOST_OK);
    EXPECT_EQ(app.GetAllMsgs(&msgs, &count, 0), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(msgs, reinterpret_cast<MailMsg**>(0x1));
    EXPECT_EQ(count, 0);
    EXPECT_EQ(app.SendMsg(record.get()), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.SetMsg(record.get()), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.DeleteMsg(record.get()), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.SetMsgReadStatus(record.get(), 1), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(app.SetMsgPriority(record.get(), 0), MAILHOST_OK);
    EXPECT_EQ(app.Uninitialize(), MAILHOST_OK);
    EXPECT_TRUE(calls().empty());
}

TEST_F(SessionTest, LogoffEndsTheSessionOnceAndReportsARefusal) {
    logOn();
    script().logoffResult = MAPI_E_FAILURE;
    EXPECT_EQ(app.Logoff(), MAILHOST_ERROR);
    script().logoffResult = SUCCESS_SUCCESS;
    EXPECT_EQ(app.Logoff(), MAILHOST_OK);
    EXPECT_EQ(app.Session(), 0u);
    // The second Logoff has nothing left to end.
    EXPECT_EQ(app.Logoff(), MAILHOST_OK);
    EXPECT_EQ(callNames(), (Names{"MAPILogoff", "MAPILogoff"}));
    Record record(fromHost("id-1"));
    EXPECT_EQ(app.DeleteMsg(record.get()), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(calls().size(), 2u);
}

TEST_F(SessionTest, UninitializeEndsAnOpenSession) {
    logOn();
    EXPECT_EQ(app.Uninitialize(), MAILHOST_OK);
    EXPECT_EQ(callNames(), Names{"MAPILogoff"});
    EXPECT_FALSE(app.Binding().IsBound());
    EXPECT_EQ(app.Session(), 0u);
    EXPECT_EQ(app.Uninitialize(), MAILHOST_OK);
}

TEST_F(SessionTest, SupportedHostsFollowTheBufferRule) {
    char buffer[128];
    int size = 85;
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(app.GetSupportedHosts(buffer, &size), MAILHOST_BUFFER_TOO_SMALL);
    EXPECT_EQ(size, 86);
    EXPECT_EQ(buffer[0], '#') << "nothing written";
    size = 0;
    EXPECT_EQ(app.GetSupportedHosts(nullptr, &size), MAILHOST_BUFFER_TOO_SMALL);
    EXPECT_EQ(size, 86);
    ASSERT_EQ(app.GetSupportedHosts(buffer, &size), MAILHOST_OK);
    EXPECT_EQ(size, 86);
    EXPECT_EQ(std::string(buffer, 86), std::string("Eudora 3.0.1 or higher\0Microsoft Outlook Express\0"
                                                   "Netscape Communicator 4.5 or higher\0\0", 86));
    EXPECT_EQ(buffer[86], '#');
    EXPECT_EQ(app.GetSupportedHosts(buffer, nullptr), MAILHOST_NULL_ARGUMENT);
}

TEST_F(SessionTest, ConfigInfoDescribesTheStoredMailSystem) {
    char text[64];
    int size = 0;
    ASSERT_EQ(app.GetHostConfigInfo(config.c_str(), text, &size), MAILHOST_BUFFER_TOO_SMALL);
    EXPECT_EQ(size, 15) << "\"Not Configured\" and its NUL";
    size = 14;
    EXPECT_EQ(app.GetHostConfigInfo(config.c_str(), text, &size), MAILHOST_BUFFER_TOO_SMALL);
    size = 15;
    ASSERT_EQ(app.GetHostConfigInfo(config.c_str(), text, &size), MAILHOST_OK);
    EXPECT_STREQ(text, "Not Configured");

    writeConfig(config, "Eudora 3.0.1 or higher", "anna", "s3cret");
    size = sizeof text;
    ASSERT_EQ(app.GetHostConfigInfo(config.c_str(), text, &size), MAILHOST_OK);
    EXPECT_STREQ(text, "Mail System:\tEudora 3.0.1 or higher");
    EXPECT_EQ(size, int(sizeof text));
    // The record stays loaded: another file changes nothing until it is cleared.
    ASSERT_EQ(app.GetHostConfigInfo((dir + "/other.ini").c_str(), text, &size), MAILHOST_OK);
    EXPECT_STREQ(text, "Mail System:\tEudora 3.0.1 or higher");
    EXPECT_EQ(app.Settings().UserAccount(), "anna");
    EXPECT_EQ(app.Settings().Password(), "s3cret");
    EXPECT_TRUE(calls().empty());
}

TEST_F(SessionTest, SetHostConfigInfoWritesTheRecordAndAlwaysClearsIt) {
    struct Row {
        const char* what;
        const char* host;
        int save;
        bool namedFile;
        int result;
        bool written;
    };
    const Row rows[] = {
        {"save", "Microsoft Outlook Express", 1, true, 1, true},
        {"discard", "Microsoft Outlook Express", 0, true, 0, false},
        {"save without a file name", "Microsoft Outlook Express", 1, false, 0, false},
        {"save an empty record", "", 1, true, 1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove(config);
        app.Settings().Set(row.host, "anna", "pw");
        EXPECT_EQ(app.SetHostConfigInfo(row.namedFile ? config.c_str() : "", row.save), row.result);
        EXPECT_FALSE(app.Settings().IsSet());
        EXPECT_EQ(std::filesystem::exists(config), row.written);
    }
}

TEST_F(SessionTest, PasswordsAreStoredScrambledAndCutTo32) {
    const std::string host = "Netscape Communicator 4.5 or higher";
    const std::string longPassword(40, 'p');
    app.Settings().Set(host, "anna.berg", longPassword);
    ASSERT_EQ(app.SetHostConfigInfo(config.c_str(), 1), 1);
    EXPECT_EQ(readIni(config, "SmapiPlugin", "MsgHostName"), host);
    EXPECT_EQ(readIni(config, "SmapiPlugin " + host, "UserAccount"), "anna.berg");
    std::string stored = readIni(config, "SmapiPlugin " + host, "UserData");
    EXPECT_EQ(std::count(stored.begin(), stored.end(), '#'), 32);
    EXPECT_EQ(stored.find('p'), std::string::npos) << "never in plain text";

    CSmapiSettings loaded;
    ASSERT_EQ(loaded.Load(config.c_str(), nullptr), 1);
    EXPECT_EQ(loaded.Password(), std::string(32, 'p'));

    app.Settings().Set(host, "anna.berg", "");
    ASSERT_EQ(app.SetHostConfigInfo(config.c_str(), 1), 1);
    EXPECT_EQ(readIni(config, "SmapiPlugin " + host, "UserData"), "");
}

TEST_F(SessionTest, EveryMailProgramKeepsItsOwnSection) {
    writeConfig(config, "Eudora 3.0.1 or higher", "eudora-user", "one");
    writeConfig(config, "Microsoft Outlook Express", "oe-user", "two");
    CSmapiSettings current, eudora, none;
    ASSERT_EQ(current.Load(config.c_str(), nullptr), 1);
    EXPECT_EQ(current.HostName(), "Microsoft Outlook Express");
    EXPECT_EQ(current.UserAccount(), "oe-user");
    ASSERT_EQ(eudora.Load(config.c_str(), "Eudora 3.0.1 or higher"), 1);
    EXPECT_EQ(eudora.UserAccount(), "eudora-user");
    EXPECT_EQ(eudora.Password(), "one");
    EXPECT_EQ(none.Load("", "Eudora 3.0.1 or higher"), 0);
    EXPECT_FALSE(none.IsSet());
    EXPECT_EQ(none.Load((dir + "/missing.ini").c_str(), nullptr), 1);
    EXPECT_FALSE(none.IsSet());
}

}  // namespace
}  // namespace smapitest

namespace smapitest {
namespace {

TEST(SmapiBindingTest, ALibraryLackingOneCallKeepsTheOthersButIsNotBound) {
    CSmapiBinding binding;
    EXPECT_EQ(binding.Bind(VESK_TEST_MODULE_DIR "/fixtures/no-resolve/mapi32.so"), MAILHOST_ENTRY_POINT_MISSING);
    const SmapiFunctions& f = binding.Functions();
    EXPECT_TRUE(f.MAPILogon && f.MAPILogoff && f.MAPISendMail && f.MAPIFindNext && f.MAPIReadMail && f.MAPISaveMail &&
                f.MAPIDeleteMail && f.MAPIFreeBuffer);
    EXPECT_EQ(f.MAPIResolveName, nullptr);
    EXPECT_FALSE(binding.IsBound());
    EXPECT_TRUE(binding.HoldsLibrary());
    EXPECT_EQ(binding.Unbind(), MAILHOST_OK);
    EXPECT_FALSE(binding.HoldsLibrary());
    EXPECT_EQ(binding.Functions().MAPILogon, nullptr);

    EXPECT_EQ(binding.Bind(VESK_TEST_MODULE_DIR "/mapi32.so"), MAILHOST_OK);
    EXPECT_TRUE(binding.IsBound());
    EXPECT_EQ(binding.Bind("/no/such/mapi32.dll"), MAILHOST_LIBRARY_NOT_FOUND) << "binding again lets go of the old";
    EXPECT_FALSE(binding.IsBound());
    EXPECT_FALSE(binding.HoldsLibrary());
}

TEST_F(SessionTest, InitializeNeedsTheLibraryNameString) {
    // Resources without string 4312: nothing to load.
    HINSTANCE language = VeskGetModuleState()->hResource;
    VeskGetModuleState()->hResource = nullptr;
    unsigned long yields = TrevlinYieldCount();
    EXPECT_EQ(app.Initialize(), MAILHOST_ERROR);
    VeskGetModuleState()->hResource = language;
    EXPECT_EQ(TrevlinYieldCount(), yields);
    // With it, the real library binds and the sync manager gets its turn.
    ASSERT_EQ(app.Initialize(), MAILHOST_OK);
    EXPECT_EQ(TrevlinYieldCount(), yields + 1);
    EXPECT_TRUE(app.Binding().HoldsLibrary());
    EXPECT_EQ(app.Session(), 0u);
    EXPECT_EQ(app.Uninitialize(), MAILHOST_OK);
    EXPECT_FALSE(app.Binding().HoldsLibrary());
}

}  // namespace
}  // namespace smapitest
