// MAPILogon and MAPILogoff: accounts, passwords, handles, new mail.
#include <filesystem>
#include <fstream>
#include <functional>

#include "MapiFixture.h"
#include "store/ProblemLog.h"

namespace mapitest {
namespace {

namespace fs = std::filesystem;

struct LogonCase {
    const char* what;
    const char* profile;
    const char* password;
    ULONG expected;
};

class LogonTest : public MailboxTest, public ::testing::WithParamInterface<LogonCase> {};

TEST_P(LogonTest, AcceptsOnlyKnownAccountsWithTheirPassword) {
    const LogonCase& c = GetParam();
    SCOPED_TRACE(c.what);
    LHANDLE session = 0xDEAD;
    ULONG rc = MAPILogon(0, const_cast<char*>(c.profile), const_cast<char*>(c.password), MAPI_NEW_SESSION, 0, &session);
    EXPECT_EQ(rc, c.expected);
    if (rc == SUCCESS_SUCCESS) {
        EXPECT_NE(session, 0u);
        EXPECT_EQ(MAPILogoff(session, 0, 0, 0), SUCCESS_SUCCESS);
    } else {
        EXPECT_EQ(session, 0xDEADu) << "a failed logon hands out no handle";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Accounts, LogonTest,
    ::testing::Values(
        LogonCase{"the account with its password", "anna", "s3cret", SUCCESS_SUCCESS},
        LogonCase{"account names ignore case", "ANNA", "s3cret", SUCCESS_SUCCESS},
        LogonCase{"a wrong password", "anna", "S3CRET", MAPI_E_LOGIN_FAILURE},
        LogonCase{"no password for an account that needs one", "anna", nullptr, MAPI_E_LOGIN_FAILURE},
        LogonCase{"an empty profile is the default account", "", "s3cret", SUCCESS_SUCCESS},
        LogonCase{"a null profile is the default account", nullptr, "s3cret", SUCCESS_SUCCESS},
        // Neither a name nor a password: the default account, signed in already, as the
        // real interface does without MAPI_LOGON_UI.
        LogonCase{"no profile and no password is the default account", nullptr, nullptr, SUCCESS_SUCCESS},
        LogonCase{"empty profile and password are the default account", "", "", SUCCESS_SUCCESS},
        LogonCase{"no profile but a wrong password is refused", "", "wrong", MAPI_E_LOGIN_FAILURE},
        LogonCase{"an account without a password takes any", "bob", "whatever", SUCCESS_SUCCESS},
        LogonCase{"an account without a password, none given", "bob", nullptr, SUCCESS_SUCCESS},
        LogonCase{"an unknown account", "carl", "", MAPI_E_LOGIN_FAILURE},
        LogonCase{"a name reaching into another key", "..\\Accounts\\bob", "", MAPI_E_LOGIN_FAILURE},
        LogonCase{"a name reaching into a subkey", "anna\\x", "s3cret", MAPI_E_LOGIN_FAILURE},
        LogonCase{"a name with a line break", "anna\r\n", "s3cret", MAPI_E_LOGIN_FAILURE}),
    [](const ::testing::TestParamInfo<LogonCase>& row) { return "Case" + std::to_string(row.index); });

TEST_F(MailboxTest, LogonFailsWhenTheMailboxIsMissingInsteadOfMakingAnEmptyOne) {
    AccountSetup gone = account("gone");
    gone.createMaildir = false;
    addAccount(gone);
    LHANDLE session = 0;
    EXPECT_EQ(MAPILogon(0, const_cast<char*>("gone"), nullptr, MAPI_NEW_SESSION, 0, &session), MAPI_E_LOGIN_FAILURE);
    EXPECT_FALSE(fs::exists(maildirOf("gone")));
}

// Each refused logon leaves its own reason in the problem log, naming what is at fault.
TEST_F(MailboxTest, EachRefusedLogonLogsItsOwnReason) {
    struct Row {
        const char* what;
        std::function<void()> spoil;
        const char* profile;
        const char* password;
        std::vector<std::string> words;  // all of them in the logged subject + reason
    };
    // Each row has a desktop of its own: the registry's path is asked afresh.
    auto writeRegistry = [this](const std::string& text) { std::ofstream(home + "/registry.reg", std::ios::trunc) << text; };
    const std::vector<Row> rows = {
        {"a wrong password", [] {}, "anna", "nope", {"password", "anna", "registry.reg"}},
        {"no password given", [] {}, "anna", nullptr, {"needs a password", "anna"}},
        {"an unknown account", [] {}, "carl", "", {"no account carl", "registry.reg", "Accounts\\carl"}},
        {"no registry file", [this] { fs::remove(home + "/registry.reg"); }, "", "", {"registry.reg does not exist", "DefaultAccount"}},
        {"an empty registry file", [&] { writeRegistry(""); }, "", "", {"registry.reg is empty"}},
        {"not a REGEDIT4 file", [&] { writeRegistry("Windows Registry Editor Version 5.00\n"); },
         "", "", {"does not start with the line REGEDIT4"}},
        {"a garbled file", [&] { writeRegistry("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\n\"x\n"); },
         "anna", "s3cret", {"2 lines that cannot be read", "line 3", "no account anna"}},
        {"a missing Maildir", [this] { fs::remove_all(maildirOf("anna")); }, "anna", "s3cret",
         {"does not exist", "account anna", "/anna"}},
        {"a Maildir without tmp/", [this] { fs::remove_all(maildirOf("anna") + "/tmp"); }, "anna",
         "s3cret", {"has no tmp/ folder", "account anna"}},
        {"an empty Maildir value", [this] { setAccountValue("anna", "Maildir", ""); }, "anna",
         "s3cret", {"incomplete", "Maildir value is empty"}},
        {"both a Maildir and an Imap mailbox", [this] { setAccountValue("anna", "Imap", "imap://anna@127.0.0.1:1"); },
         "anna", "s3cret", {"incomplete", "both a Maildir and an Imap value", "Accounts\\anna"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TearDown();
        SetUp();
        row.spoil();
        std::uint64_t before = vesk::store::problemLogSize();
        LHANDLE session = 0;
        EXPECT_EQ(MAPILogon(0, const_cast<char*>(row.profile), const_cast<char*>(row.password), MAPI_NEW_SESSION, 0,
                            &session),
                  MAPI_E_LOGIN_FAILURE);
        std::vector<vesk::store::Problem> problems = vesk::store::problemsSince(before);
        ASSERT_EQ(problems.size(), 1u);
        EXPECT_EQ(problems[0].component, "mapi32");
        std::string text = problems[0].subject + " | " + problems[0].reason;
        for (const std::string& word : row.words) EXPECT_NE(text.find(word), std::string::npos) << text << "\nlacks: " << word;
    }
}

TEST_F(MapiFixture, LogonWithoutAnyConfigurationFails) {
    LHANDLE session = 0;
    EXPECT_EQ(MAPILogon(0, nullptr, nullptr, MAPI_NEW_SESSION, 0, &session), MAPI_E_LOGIN_FAILURE);
    EXPECT_EQ(MAPILogon(0, const_cast<char*>(""), const_cast<char*>(""), 0, 0, nullptr), MAPI_E_FAILURE);
}

TEST_F(MailboxTest, HandlesAreDistinctAndDieWithLogoff) {
    LHANDLE first = logOn("anna", "s3cret");
    LHANDLE second = logOn("bob", "");
    EXPECT_NE(first, second);
    EXPECT_EQ(MAPILogoff(first, 0, 0, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(MAPILogoff(first, 0, 0, 0), MAPI_E_INVALID_SESSION);

    // Another session in the freed place gets a handle of its own; the old one stays dead.
    LHANDLE third = logOn("anna", "s3cret");
    EXPECT_NE(third, first);
    char id[MAPI_LONG_MSGID_SIZE];
    EXPECT_EQ(MAPIFindNext(first, 0, nullptr, nullptr, MAPI_LONG_MSGID, 0, id), MAPI_E_INVALID_SESSION);
    EXPECT_EQ(MAPIFindNext(third, 0, nullptr, nullptr, MAPI_LONG_MSGID, 0, id), MAPI_E_NO_MESSAGES);

    for (LHANDLE bogus : {LHANDLE(0), LHANDLE(1), LHANDLE(0xFFFFFFFFu), first + 256, second ^ 0x100}) {
        SCOPED_TRACE(bogus);
        EXPECT_EQ(MAPILogoff(bogus, 0, 0, 0), MAPI_E_INVALID_SESSION);
    }
    EXPECT_EQ(MAPILogoff(second, 0, 0, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(MAPILogoff(third, 0, 0, 0), SUCCESS_SUCCESS);
}

TEST_F(MailboxTest, TheSessionTableHasALimit) {
    std::vector<LHANDLE> sessions;
    LHANDLE session = 0;
    ULONG rc = SUCCESS_SUCCESS;
    while (sessions.size() < 100 && (rc = MAPILogon(0, nullptr, const_cast<char*>("s3cret"), MAPI_NEW_SESSION, 0,
                                                    &session)) == SUCCESS_SUCCESS) {
        sessions.push_back(session);
    }
    EXPECT_EQ(rc, MAPI_E_TOO_MANY_SESSIONS);
    EXPECT_GE(sessions.size(), 8u);
    EXPECT_EQ(MAPILogoff(sessions.back(), 0, 0, 0), SUCCESS_SUCCESS);
    sessions.pop_back();
    EXPECT_EQ(MAPILogon(0, nullptr, const_cast<char*>("s3cret"), MAPI_NEW_SESSION, 0, &session), SUCCESS_SUCCESS);
    sessions.push_back(session);
    for (LHANDLE s : sessions) EXPECT_EQ(MAPILogoff(s, 0, 0, 0), SUCCESS_SUCCESS);
}

TEST_F(MailboxTest, ForceDownloadMakesNewMailCurrent) {
    std::string id = deliver("anna", message("bob@example.com", "anna.berg@example.org", "Hi", "Hello\n"));
    fs::path inNew = fs::path(maildirOf("anna")) / "new" / id;
    ASSERT_TRUE(fs::exists(inNew));

    LHANDLE plain = logOn("anna", "s3cret");
    EXPECT_TRUE(fs::exists(inNew)) << "without MAPI_FORCE_DOWNLOAD new mail stays where it is";
    LHANDLE downloading = logOn("anna", "s3cret", MAPI_FORCE_DOWNLOAD);
    EXPECT_FALSE(fs::exists(inNew));
    EXPECT_TRUE(fs::exists(fs::path(maildirOf("anna")) / "cur" / (id + ":2,")));
    EXPECT_EQ(walk(MAPIFindNext, plain), std::vector<std::string>{id}) << "the identifier survives the move";
    MAPILogoff(plain, 0, 0, 0);
    MAPILogoff(downloading, 0, 0, 0);
}

}  // namespace
}  // namespace mapitest
