// MAPISaveMail and MAPIDeleteMail: filing into the inbox, replacing, moving to Trash.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "MapiFixture.h"

namespace mapitest {
namespace {

namespace fs = std::filesystem;

class SaveMailTest : public MailboxTest {
protected:
    void SetUp() override {
        MailboxTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        session = logOn("anna", "s3cret");
        recips[0] = MapiRecipDesc{0, MAPI_TO, const_cast<char*>("Bob Hansen"), const_cast<char*>("bob@example.com"), 0, nullptr};
        recips[1] = MapiRecipDesc{0, MAPI_CC, const_cast<char*>("carl"), nullptr, 0, nullptr};
        recips[2] = MapiRecipDesc{0, MAPI_BCC, const_cast<char*>("Someone Unknown"), nullptr, 0, nullptr};
        originator = MapiRecipDesc{0, MAPI_ORIG, const_cast<char*>("Eva Lind"), const_cast<char*>("eva@example.com"), 0, nullptr};
        msg.lpszSubject = const_cast<char*>("Filed from the handheld \x80");
        msg.lpszNoteText = const_cast<char*>("Line one\rLine two\r\nLine three");
        msg.lpszDateReceived = const_cast<char*>("2003/07/14 09:05");
        msg.lpOriginator = &originator;
        msg.nRecipCount = 3;
        msg.lpRecips = recips;
    }
    void TearDown() override {
        if (session != 0) MAPILogoff(session, 0, 0, 0);
        MailboxTest::TearDown();
    }
    LHANDLE session = 0;
    MapiRecipDesc recips[3];
    MapiRecipDesc originator;
    MapiMessage msg{};
};

TEST_F(SaveMailTest, ANewMessageLandsInTheInboxAndReadsBack) {
    char id[MAPI_LONG_MSGID_SIZE] = "";
    ASSERT_EQ(MAPISaveMail(session, 0, &msg, MAPI_LONG_MSGID, 0, id), SUCCESS_SUCCESS);
    ASSERT_NE(id[0], '\0');
    EXPECT_EQ(walk(MAPIFindNext, session), std::vector<std::string>{id});

    lpMapiMessage m = nullptr;
    ASSERT_EQ(MAPIReadMail(session, 0, id, MAPI_PEEK, 0, &m), SUCCESS_SUCCESS);
    EXPECT_STREQ(m->lpszSubject, "Filed from the handheld \x80");
    EXPECT_STREQ(m->lpszNoteText, "Line one\r\nLine two\r\nLine three\r\n");
    EXPECT_STREQ(m->lpszDateReceived, "2003/07/14 09:05");
    EXPECT_EQ(m->flFlags & MAPI_UNREAD, 0u) << "stored read: MAPI_UNREAD was not given";
    EXPECT_STREQ(m->lpOriginator->lpszAddress, "eva@example.com");
    EXPECT_STREQ(m->lpOriginator->lpszName, "Eva Lind");
    ASSERT_EQ(m->nRecipCount, 3u);
    EXPECT_EQ(m->lpRecips[0].ulRecipClass, ULONG(MAPI_TO));
    EXPECT_STREQ(m->lpRecips[0].lpszAddress, "bob@example.com");
    // A name the address book knows gets its address; an unknown one is filed as a name.
    EXPECT_EQ(m->lpRecips[1].ulRecipClass, ULONG(MAPI_CC));
    EXPECT_STREQ(m->lpRecips[1].lpszAddress, "carl.nystrom@example.se");
    EXPECT_EQ(m->lpRecips[2].ulRecipClass, ULONG(MAPI_BCC));
    EXPECT_STREQ(m->lpRecips[2].lpszName, "Someone Unknown");
    EXPECT_STREQ(m->lpRecips[2].lpszAddress, "");
    MAPIFreeBuffer(m);
}

TEST_F(SaveMailTest, UnreadFlagAndMissingOriginator) {
    msg.flFlags = MAPI_UNREAD;
    msg.lpOriginator = nullptr;
    char id[MAPI_LONG_MSGID_SIZE] = "";
    ASSERT_EQ(MAPISaveMail(session, 0, &msg, MAPI_LONG_MSGID, 0, id), SUCCESS_SUCCESS);
    lpMapiMessage m = nullptr;
    ASSERT_EQ(MAPIReadMail(session, 0, id, MAPI_PEEK, 0, &m), SUCCESS_SUCCESS);
    EXPECT_EQ(m->flFlags & MAPI_UNREAD, ULONG(MAPI_UNREAD));
    EXPECT_STREQ(m->lpOriginator->lpszAddress, "anna.berg@example.org") << "the account's user wrote it";
    MAPIFreeBuffer(m);
}

TEST_F(SaveMailTest, AnIdentifierReplacesItsMessage) {
    std::string old = deliver("anna", message("bob@example.com", "anna.berg@example.org", "Old", "old\n"), "S");
    char id[MAPI_LONG_MSGID_SIZE];
    std::strcpy(id, old.c_str());
    ASSERT_EQ(MAPISaveMail(session, 0, &msg, MAPI_LONG_MSGID, 0, id), SUCCESS_SUCCESS);
    EXPECT_NE(std::string(id), old);
    EXPECT_EQ(walk(MAPIFindNext, session), std::vector<std::string>{id});
    lpMapiMessage m = nullptr;
    EXPECT_EQ(MAPIReadMail(session, 0, const_cast<char*>(old.c_str()), MAPI_PEEK, 0, &m), MAPI_E_INVALID_MESSAGE);
}

TEST_F(SaveMailTest, RefusesBadIdentifiersRecipientsAndSessions) {
    struct Row {
        const char* what;
        const char* id;
        LHANDLE session;
        ULONG recipClass;
        ULONG expected;
    };
    const Row rows[] = {
        {"an identifier of no message", "no-such-message", session, MAPI_TO, MAPI_E_INVALID_MESSAGE},
        {"a path for an identifier", "../../etc/passwd", session, MAPI_TO, MAPI_E_INVALID_MESSAGE},
        {"an originator among the recipients", "", session, MAPI_ORIG, MAPI_E_BAD_RECIPTYPE},
        {"a class that does not exist", "", session, 7, MAPI_E_BAD_RECIPTYPE},
        {"a stale session", "", session + 256, MAPI_TO, MAPI_E_INVALID_SESSION},
        {"no session for replacing a message", "x", 0, MAPI_TO, MAPI_E_INVALID_SESSION},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        recips[0].ulRecipClass = row.recipClass;
        char id[MAPI_LONG_MSGID_SIZE];
        std::strcpy(id, row.id);
        EXPECT_EQ(MAPISaveMail(row.session, 0, &msg, MAPI_LONG_MSGID, 0, id), row.expected);
        EXPECT_STREQ(id, row.id);
    }
    EXPECT_TRUE(walk(MAPIFindNext, session).empty()) << "nothing was saved";
}

TEST_F(SaveMailTest, AttachmentsAreRefusedNotDropped) {
    std::string file = home + "/notes.txt";
    std::ofstream(file) << "notes";
    MapiFileDesc files[1] = {{0, 0, ULONG(-1), const_cast<char*>(file.c_str()), nullptr, nullptr}};
    msg.nFileCount = 1;
    msg.lpFiles = files;
    char id[MAPI_LONG_MSGID_SIZE] = "";
    EXPECT_EQ(MAPISaveMail(session, 0, &msg, MAPI_LONG_MSGID, 0, id), MAPI_E_NOT_SUPPORTED);
    files[0].lpszPathName = const_cast<char*>("/no/such/file");
    EXPECT_EQ(MAPISaveMail(session, 0, &msg, MAPI_LONG_MSGID, 0, id), MAPI_E_ATTACHMENT_NOT_FOUND);
    EXPECT_TRUE(walk(MAPIFindNext, session).empty());
}

TEST_F(SaveMailTest, ATemporarySessionSavesForTheDefaultAccountWithoutAPassword) {
    char id[MAPI_LONG_MSGID_SIZE] = "";
    // anna, the default, needs a password: no temporary session can be opened for her.
    EXPECT_EQ(MAPISaveMail(0, 0, &msg, MAPI_LONG_MSGID, 0, id), MAPI_E_LOGIN_FAILURE);
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail", "DefaultAccount", "bob");
    ASSERT_EQ(MAPISaveMail(0, 0, &msg, MAPI_LONG_MSGID, 0, id), SUCCESS_SUCCESS);
    auto listing = storeOf("bob")->list(vesk::store::kInbox);
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(listing->size(), 1u);
    EXPECT_EQ(listing->front().id, std::string(id));
}

TEST_F(MailboxTest, DeleteMovesTheMessageToTrashAndDestroysNothing) {
    std::string keep = deliver("anna", message("bob@example.com", "anna.berg@example.org", "Keep", "k\n"));
    std::string gone = deliver("anna", message("bob@example.com", "anna.berg@example.org", "Gone", "g\n"), "S");
    LHANDLE session = logOn("anna", "s3cret");
    ASSERT_EQ(MAPIDeleteMail(session, 0, const_cast<char*>(gone.c_str()), 0, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(walk(MAPIFindNext, session), std::vector<std::string>{keep});
    auto trash = storeOf("anna")->list("Trash");
    ASSERT_TRUE(trash.ok());
    ASSERT_EQ(trash->size(), 1u);
    EXPECT_EQ(trash->front().id, gone);
    EXPECT_TRUE(trash->front().seen()) << "flags travel with it";

    // Deleted once, the identifier names no inbox message any more.
    EXPECT_EQ(MAPIDeleteMail(session, 0, const_cast<char*>(gone.c_str()), 0, 0), MAPI_E_INVALID_MESSAGE);
    std::string trashPath = maildirOf("anna") + "/.Trash/cur/" + gone;
    for (const std::string& bad : {std::string("../.Trash/cur/") + gone, trashPath, std::string("/etc/passwd"),
                                   std::string(".Trash"), std::string("")}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(MAPIDeleteMail(session, 0, const_cast<char*>(bad.c_str()), 0, 0), MAPI_E_INVALID_MESSAGE);
    }
    EXPECT_EQ(MAPIDeleteMail(0, 0, const_cast<char*>(keep.c_str()), 0, 0), MAPI_E_INVALID_SESSION);
    EXPECT_EQ(storeOf("anna")->list("Trash")->size(), 1u);
    EXPECT_EQ(walk(MAPIFindNext, session), std::vector<std::string>{keep});
    MAPILogoff(session, 0, 0, 0);
}

}  // namespace
}  // namespace mapitest
