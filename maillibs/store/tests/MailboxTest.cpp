// The one way the mail libraries open a mailbox, and where an IMAP mailbox keeps its state.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TestSupport.h"
#include "store/Mailbox.h"

namespace vesk::store::test {
namespace {

class MailboxTest : public ::testing::Test {
protected:
    void SetUp() override { ::setenv("VESK_HOME", m_home.path().c_str(), 1); }
    void TearDown() override { ::unsetenv("VESK_HOME"); }
    TempDir m_home;
};

TEST_F(MailboxTest, EachServerMailboxHasOneStateFolderWhateverTheSpelling) {
    const std::string imap = m_home.path() + "/imap/";
    struct Row {
        const char* url;
        std::string folder;
    };
    const Row rows[] = {
        {"imap://anna@Mail.Example.ORG", imap + "anna@mail.example.org_143"},
        {"imap://anna@mail.example.org:143", imap + "anna@mail.example.org_143"},
        {"imaps://anna@mail.example.org", imap + "anna@mail.example.org_993"},
        // A user that is an address, or holds bytes a file name must not carry.
        {"imap://anna%40example.org@127.0.0.1:1143", imap + "anna%40example.org@127.0.0.1_1143"},
        {"imap://..%2F..%2Fetc@127.0.0.1:1143", imap + "%2E.%2F..%2Fetc@127.0.0.1_1143"},
        {"mail.example.org", ""},
        {"", ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.url);
        std::string folder = imapStateFolder(row.url);
        EXPECT_EQ(folder, row.folder);
        if (!folder.empty()) {
            EXPECT_EQ(std::filesystem::path(folder).parent_path(), std::filesystem::path(imap).parent_path())
                << "stays inside $VESK_HOME/imap";
        }
    }
}

TEST_F(MailboxTest, AMaildirPlaceOpensThatMaildirAndNamesWhatIsWrongWithIt) {
    MailboxPlace place;
    place.maildir = m_home.path() + "/mail";
    EXPECT_FALSE(place.isImap());
    EXPECT_EQ(place.name(), place.maildir);
    EXPECT_NE(mailboxProblem(place).find("does not exist"), std::string::npos) << mailboxProblem(place);
    EXPECT_FALSE(openMailbox(place).ok()) << "a missing Maildir is never made";

    ASSERT_TRUE(openMaildir(place.maildir, {.create = true}).ok());
    EXPECT_EQ(mailboxProblem(place), "");
    Result<std::unique_ptr<Store>> opened = openMailbox(place);
    ASSERT_TRUE(opened.ok());
    EXPECT_EQ((*opened)->root(), place.maildir);

    std::filesystem::remove_all(place.maildir + "/new");
    EXPECT_NE(mailboxProblem(place).find("has no new/ folder"), std::string::npos) << mailboxProblem(place);
}

TEST_F(MailboxTest, AnImapPlaceIsNamedByItsAddressNeverItsPassword) {
    MailboxPlace place;
    place.maildir = "/ignored";
    place.imap.url = "imap://anna@127.0.0.1:1";
    place.imap.password = "s3cret";
    place.imap.stateDir = imapStateFolder(place.imap.url);
    EXPECT_TRUE(place.isImap());
    EXPECT_EQ(place.name(), "imap://anna@127.0.0.1:1");
    EXPECT_EQ(mailboxProblem(place), "") << "nothing is known before connecting";
    // Nothing listens on port 1: the IMAP store answers, not the Maildir one.
    Result<std::unique_ptr<Store>> opened = openMailbox(place);
    EXPECT_EQ(opened.status(), Status::IoError);
}

}  // namespace
}  // namespace vesk::store::test
