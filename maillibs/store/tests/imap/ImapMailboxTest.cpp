// An IMAP mailbox opened through the mail libraries' one factory, and opened again later from
// nothing but its state folder, as the conduit does to show what waits in its outbox.
#include <sys/stat.h>

#include "ImapTestFixture.h"
#include "store/Mailbox.h"

namespace vesk::store::test {
namespace {

// A password with the bytes the state file has to escape, and a blank.
constexpr const char* kOddPassword = "pa%25ss word%";

class ImapMailboxTest : public ImapTest {
protected:
    testing::DovecotOptions serverOptions() const override {
        testing::DovecotOptions o;
        o.users = {{kUser, kOddPassword}};
        return o;
    }
    MailboxPlace place() const {
        MailboxPlace p;
        p.imap = options();
        p.imap.password = kOddPassword;
        p.imap.stateDir = imapStateFolder(p.imap.url);
        return p;
    }
};

TEST_F(ImapMailboxTest, ItsStateFolderOpensItAgain) {
    const MailboxPlace where = place();
    ASSERT_FALSE(openStoreAt(where.imap.stateDir).ok()) << "nothing was opened there yet";
    Result<std::unique_ptr<Store>> first = openMailbox(where);
    ASSERT_TRUE(first.ok()) << problems();
    ASSERT_TRUE((*first)->deliverRaw(kInbox, message("kept"), "S").ok());
    EXPECT_EQ((*first)->root(), where.imap.stateDir);

    struct stat info {};
    ASSERT_EQ(::stat((where.imap.stateDir + "/vesk-imap-mailbox").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u) << "it holds the password";

    Result<std::unique_ptr<Store>> again = openStoreAt(where.imap.stateDir);
    ASSERT_TRUE(again.ok()) << problems();
    Result<std::vector<MessageInfo>> listing = (*again)->list(kInbox);
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing->size(), 1u);
    EXPECT_TRUE((*listing)[0].seen());
}

TEST_F(ImapMailboxTest, AFailedOpenLeavesNothingToOpenAgain) {
    MailboxPlace wrong = place();
    wrong.imap.password = "not it";
    EXPECT_FALSE(openMailbox(wrong).ok());
    EXPECT_EQ(openStoreAt(wrong.imap.stateDir).status(), Status::NotFound);
}

}  // namespace
}  // namespace vesk::store::test
