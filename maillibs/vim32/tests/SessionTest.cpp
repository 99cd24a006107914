// Starting the library, logging on to a post office, and the default login.
#include <cstring>
#include <fstream>
#include <sstream>

#include "VimFixture.h"
#include "platform/RegistryValues.h"
#include "store/ProblemLog.h"
#include "win32/Profile.h"

namespace vimtest {
namespace {

class SessionTest : public PostOfficeTest {
protected:
    vimStatus open(const char* path, const char* user, const char* password, vimSes* session) {
        return vim.OpenSession(const_cast<char*>(path), const_cast<char*>(user), const_cast<char*>(password),
                               VIM_CURRENT_VERSION, VIMSEL_CP1252, session);
    }
    std::string fileText() const {
        std::ifstream in(postOffice + "/postoffice.ini");
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
};

TEST_F(SessionTest, VersionCapabilityIsAtLeastTheCurrentVersion) {
    vimDWord version = 0;
    EXPECT_EQ(vim.QueryCapability(VIMSEL_VERSION, 4, &version), VIMSTS_SUCCESS);
    EXPECT_GE(version, vimDWord(VIM_CURRENT_VERSION));
    EXPECT_EQ(vim.QueryCapability(VIMSEL_VERSION, 2, &version), VIMSTS_BUF_TOO_SMALL);
    EXPECT_EQ(vim.QueryCapability(VIMSEL_SUBJECT, 4, &version), VIMSTS_NOT_SUPPORTED);
}

// Each row: a logon and the status it must give; a refusal names the reason in the log.
struct LogonCase {
    const char* what;
    const char* path;  // nullptr: the standard post office
    const char* user;
    const char* password;
    vimStatus expected;
};

TEST_F(SessionTest, LogonStatuses) {
    const std::string missing = home + "/nowhere";
    const LogonCase cases[] = {
        {"right password", nullptr, "teo", "harbour7", VIMSTS_SUCCESS},
        {"user name in other case", nullptr, "TEO", "harbour7", VIMSTS_SUCCESS},
        {"wrong password", nullptr, "teo", "harbour8", VIMSTS_INVALID_PASSWORD},
        {"another user's password", nullptr, "teo", "tide4", VIMSTS_INVALID_PASSWORD},
        {"empty password", nullptr, "mira", "", VIMSTS_INVALID_PASSWORD},
        {"no such user", nullptr, "nobody", "x", VIMSTS_NAME_NOT_FOUND},
        {"no post office there", missing.c_str(), "teo", "harbour7", VIMSTS_OPEN_FAILURE},
        {"relative path below the desktop", "po", "mira", "tide4", VIMSTS_SUCCESS},
        {"default post office", "", "mira", "tide4", VIMSTS_SUCCESS},
    };
    for (const LogonCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::uint64_t logged = vesk::store::problemLogSize();
        vimSes session = reinterpret_cast<vimSes>(0x1);
        EXPECT_EQ(VIM_STATUS(open(c.path ? c.path : postOffice.c_str(), c.user, c.password, &session)), c.expected);
        if (c.expected == VIMSTS_SUCCESS) {
            EXPECT_NE(session, nullptr);
            EXPECT_EQ(vim.CloseSession(session), VIMSTS_SUCCESS);
            EXPECT_EQ(vim.CloseSession(session), VIMSTS_INVALID_OBJECT) << "closed twice";
        } else {
            EXPECT_EQ(session, nullptr);
            EXPECT_FALSE(vesk::store::problemsSince(logged).empty()) << "a refused logon is logged";
        }
    }
}

TEST_F(SessionTest, PasswordsAreStoredAsSaltedHashesOnly) {
    ASSERT_EQ(tool({"adduser", postOffice, "ida", "harbour7"}), 0);
    const std::string text = fileText();
    EXPECT_EQ(text.find("harbour7"), std::string::npos) << "a password in clear";
    EXPECT_EQ(text.find("tide4"), std::string::npos);
    char teo[256], ida[256];
    GetPrivateProfileStringA("User teo", "Password", "", teo, sizeof teo, (postOffice + "/postoffice.ini").c_str());
    GetPrivateProfileStringA("User ida", "Password", "", ida, sizeof ida, (postOffice + "/postoffice.ini").c_str());
    EXPECT_EQ(std::string(teo).rfind("$y$", 0), 0u) << teo;
    EXPECT_STRNE(teo, ida) << "the same password, salted apart";
    vimSes session = nullptr;
    EXPECT_EQ(open(postOffice.c_str(), "ida", "harbour7", &session), VIMSTS_SUCCESS);
    vim.CloseSession(session);

    // A new password replaces the old one.
    ASSERT_EQ(tool({"passwd", postOffice, "ida", "-"}, "salt water\n"), 0);
    EXPECT_EQ(open(postOffice.c_str(), "ida", "harbour7", &session), VIMSTS_INVALID_PASSWORD);
    EXPECT_EQ(open(postOffice.c_str(), "ida", "salt water", &session), VIMSTS_SUCCESS);
    vim.CloseSession(session);
}

TEST_F(SessionTest, APasswordWrittenInClearIsNeverAccepted) {
    ASSERT_TRUE(WritePrivateProfileStringA("User mira", "Password", "tide4", (postOffice + "/postoffice.ini").c_str()));
    std::uint64_t logged = vesk::store::problemLogSize();
    vimSes session = nullptr;
    EXPECT_EQ(open(postOffice.c_str(), "mira", "tide4", &session), VIMSTS_INVALID_CONFIGURATION);
    auto problems = vesk::store::problemsSince(logged);
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems.back().subject.find("postoffice.ini"), std::string::npos);
    EXPECT_NE(problems.back().reason.find("salted hash"), std::string::npos);
}

// A user's section names one mailbox: a Maildir or a server's. Both, or neither, is a fault
// of the post office that names the section, never a guess.
TEST_F(SessionTest, AUserNamesExactlyOneMailbox) {
    const std::string file = postOffice + "/postoffice.ini";
    struct Row {
        const char* what;
        const char* mailbox;  // nullptr: removed
        const char* imap;
        const char* reason;
    };
    const Row rows[] = {
        {"both kinds", "mailboxes/mira", "imap://mira@127.0.0.1:1", "both a Mailbox and an Imap mailbox"},
        {"neither kind", nullptr, nullptr, "no Mailbox"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(WritePrivateProfileStringA("User mira", "Mailbox", row.mailbox, file.c_str()));
        ASSERT_TRUE(WritePrivateProfileStringA("User mira", "Imap", row.imap, file.c_str()));
        std::uint64_t logged = vesk::store::problemLogSize();
        vimSes session = nullptr;
        EXPECT_EQ(open(postOffice.c_str(), "teo", "harbour7", &session), VIMSTS_INVALID_CONFIGURATION);
        auto problems = vesk::store::problemsSince(logged);
        ASSERT_FALSE(problems.empty());
        EXPECT_NE(problems.back().subject.find("[User mira]"), std::string::npos) << problems.back().subject;
        EXPECT_NE(problems.back().reason.find(row.reason), std::string::npos) << problems.back().reason;
    }
}

TEST_F(SessionTest, LogonNeedsAStartedLibraryAndAKnownVersion) {
    vimSes session = nullptr;
    EXPECT_EQ(vim.OpenSession(const_cast<char*>(postOffice.c_str()), const_cast<char*>("teo"),
                              const_cast<char*>("harbour7"), VIM_CURRENT_VERSION + 1, VIMSEL_CP1252, &session),
              VIMSTS_UNSUP_VERSION);
    ASSERT_EQ(vim.Terminate(), VIMSTS_SUCCESS);
    started = false;
    EXPECT_EQ(open(postOffice.c_str(), "teo", "harbour7", &session), VIMSTS_FAILURE);
    EXPECT_EQ(vim.Terminate(), VIMSTS_FAILURE) << "stopped twice";
}

TEST_F(SessionTest, StoppingTheLibraryClosesEverySession) {
    vimSes session = logOn("teo", "harbour7");
    vimMsgContainer container = inbox(session);
    ASSERT_EQ(vim.Terminate(), VIMSTS_SUCCESS);
    started = false;
    EXPECT_EQ(vim.CloseMessageContainer(container), VIMSTS_INVALID_OBJECT);
    EXPECT_EQ(vim.CloseSession(session), VIMSTS_INVALID_OBJECT);
}

TEST_F(SessionTest, EntityNameIsTheUserInThePostOffice) {
    vimSes session = logOn("TEO", "harbour7");
    vimDistinguishedName name;
    std::memset(&name, 0x5A, sizeof name);
    ASSERT_EQ(vim.GetEntityName(session, &name), VIMSTS_SUCCESS);
    EXPECT_STREQ(name.Value, "teo");
    EXPECT_STREQ(name.AddressBook, "HARBOUR");
    vim.CloseSession(session);
    EXPECT_EQ(vim.GetEntityName(session, &name), VIMSTS_INVALID_OBJECT);
}

TEST_F(SessionTest, DefaultLoginComesFromTheRegistry) {
    char path[256], user[256];
    std::memset(path, 'x', sizeof path);
    ASSERT_EQ(vim.GetDefaultSessionInfo(sizeof path, path, sizeof user, user), VIMSTS_SUCCESS);
    EXPECT_EQ(std::string(path), postOffice);
    EXPECT_STREQ(user, "teo");
    EXPECT_EQ(vim.GetDefaultSessionInfo(static_cast<vimWord>(postOffice.size()), path, sizeof user, user),
              VIMSTS_BUF_TOO_SMALL);
    ASSERT_EQ(vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\VIM", "User", ""), ERROR_SUCCESS);
    EXPECT_EQ(vim.GetDefaultSessionInfo(sizeof path, path, sizeof user, user), VIMSTS_NO_DEFAULT);
}

TEST_F(SessionTest, ForeignHandlesAreRefused) {
    vimSes session = logOn("teo", "harbour7");
    vimMsgContainer container = inbox(session);
    vimMsgContainer other = nullptr;
    // A container handle is no session, a made-up number is nothing.
    EXPECT_EQ(vim.OpenMessageContainer(container, nullptr, &other), VIMSTS_INVALID_OBJECT);
    EXPECT_EQ(vim.CloseSession(reinterpret_cast<vimSes>(0x12345)), VIMSTS_INVALID_OBJECT);
    EXPECT_EQ(vim.CloseMessageContainer(nullptr), VIMSTS_INVALID_OBJECT);
    // Closing the session closes its container too.
    EXPECT_EQ(vim.CloseSession(session), VIMSTS_SUCCESS);
    EXPECT_EQ(vim.CloseMessageContainer(container), VIMSTS_INVALID_OBJECT);
}

}  // namespace
}  // namespace vimtest
