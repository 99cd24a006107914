// MAPIFindNext: the walk over the inbox, seeds, filters and identifier forms.
#include <cstring>
#include <filesystem>
#include <fstream>

#include "MapiFixture.h"

namespace mapitest {
namespace {

namespace fs = std::filesystem;

class FindNextTest : public MailboxTest {
protected:
    void SetUp() override {
        MailboxTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        for (int i = 0; i < 4; ++i) {
            ids.push_back(deliver("anna", message("bob@example.com", "anna.berg@example.org", "Note " + std::to_string(i),
                                                  "Body\n"),
                                  i % 2 == 0 ? "S" : ""));
        }
        session = logOn("anna", "s3cret");
    }
    void TearDown() override {
        if (session != 0) MAPILogoff(session, 0, 0, 0);
        MailboxTest::TearDown();
    }
    std::vector<std::string> ids;
    LHANDLE session = 0;
};

TEST_F(FindNextTest, WalksTheInboxInDeliveryOrder) {
    EXPECT_EQ(walk(MAPIFindNext, session), ids);
    // The same order again from the start: the walk is stable.
    EXPECT_EQ(walk(MAPIFindNext, session), ids);
}

TEST_F(FindNextTest, UnreadOnlySkipsReadMessages) {
    std::vector<std::string> unread;
    char seed[MAPI_LONG_MSGID_SIZE] = "";
    char id[MAPI_LONG_MSGID_SIZE];
    while (MAPIFindNext(session, 0, nullptr, seed, MAPI_LONG_MSGID | MAPI_UNREAD_ONLY, 0, id) == SUCCESS_SUCCESS) {
        unread.emplace_back(id);
        std::strcpy(seed, id);
    }
    EXPECT_EQ(unread, (std::vector<std::string>{ids[1], ids[3]}));
}

TEST_F(FindNextTest, MessageTypesSelectByPrefix) {
    char id[MAPI_LONG_MSGID_SIZE];
    for (const char* type : {"", "IPM", "IP"}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(MAPIFindNext(session, 0, const_cast<char*>(type), nullptr, MAPI_LONG_MSGID, 0, id), SUCCESS_SUCCESS);
    }
    for (const char* type : {"IPC", "IPM.Note.Secret", "X"}) {
        SCOPED_TRACE(type);
        EXPECT_EQ(MAPIFindNext(session, 0, const_cast<char*>(type), nullptr, MAPI_LONG_MSGID, 0, id), MAPI_E_NO_MESSAGES);
    }
}

TEST_F(FindNextTest, TheWalkGoesOnAfterASeedThatWasDeleted) {
    char id[MAPI_LONG_MSGID_SIZE];
    ASSERT_EQ(MAPIFindNext(session, 0, nullptr, nullptr, MAPI_LONG_MSGID, 0, id), SUCCESS_SUCCESS);
    ASSERT_EQ(MAPIFindNext(session, 0, nullptr, id, MAPI_LONG_MSGID, 0, id), SUCCESS_SUCCESS);
    ASSERT_EQ(std::string(id), ids[1]);
    ASSERT_EQ(MAPIDeleteMail(session, 0, id, 0, 0), SUCCESS_SUCCESS);
    ASSERT_EQ(MAPIDeleteMail(session, 0, const_cast<char*>(ids[2].c_str()), 0, 0), SUCCESS_SUCCESS);
    // The deleted seed still says where the walk stands; the deleted next one is skipped.
    ASSERT_EQ(MAPIFindNext(session, 0, nullptr, id, MAPI_LONG_MSGID, 0, id), SUCCESS_SUCCESS);
    EXPECT_EQ(std::string(id), ids[3]);
    EXPECT_EQ(MAPIFindNext(session, 0, nullptr, id, MAPI_LONG_MSGID, 0, id), MAPI_E_NO_MESSAGES);
}

TEST_F(FindNextTest, AMessageDeliveredDuringTheWalkCanSeedIt) {
    std::string late = deliver("anna", message("dora@example.net", "anna.berg@example.org", "Late", "x\n"));
    char id[MAPI_LONG_MSGID_SIZE];
    ASSERT_EQ(MAPIFindNext(session, 0, nullptr, nullptr, MAPI_LONG_MSGID, 0, id), SUCCESS_SUCCESS);
    EXPECT_EQ(MAPIFindNext(session, 0, nullptr, const_cast<char*>(late.c_str()), MAPI_LONG_MSGID, 0, id),
              MAPI_E_NO_MESSAGES);
}

// Seeds that name no inbox message, hostile ones included: none may reach a file.
TEST_F(FindNextTest, SeedsThatNameNoMessageAreInvalid) {
    fs::create_directories(home + "/elsewhere/cur");
    std::ofstream(home + "/elsewhere/cur/secret:2,S") << message("x@example.com", "y@example.com", "Secret", "no\n");
    std::string outside = home + "/elsewhere/cur/secret";
    std::string longSeed(600, 'a');
    const std::string seeds[] = {
        "no-such-message",             // well formed, unknown
        "../../x",                      // a relative path
        "../elsewhere/cur/secret",      // a path to a real message outside the store
        outside,                        // an absolute path
        "/etc/passwd",                  // another absolute path
        ".Trash",                       // a folder name
        ids[0] + ":2,S",                // a file name rather than an identifier
        "~0000000000000000",            // the short form of no key
        "~zzzzzzzzzzzzzzzz",            // not hexadecimal
        longSeed,                       // longer than any identifier
    };
    char id[MAPI_LONG_MSGID_SIZE];
    for (const std::string& seed : seeds) {
        SCOPED_TRACE(seed);
        std::memset(id, '#', sizeof id);
        EXPECT_EQ(MAPIFindNext(session, 0, nullptr, const_cast<char*>(seed.c_str()), MAPI_LONG_MSGID, 0, id),
                  MAPI_E_INVALID_MESSAGE);
        EXPECT_EQ(id[0], '#') << "nothing written on failure";
    }
}

TEST_F(FindNextTest, RefusesWithoutASessionOrBuffer) {
    char id[MAPI_LONG_MSGID_SIZE];
    EXPECT_EQ(MAPIFindNext(0, 0, nullptr, nullptr, MAPI_LONG_MSGID, 0, id), MAPI_E_INVALID_SESSION);
    EXPECT_EQ(MAPIFindNext(session, 0, nullptr, nullptr, MAPI_LONG_MSGID, 0, nullptr), MAPI_E_FAILURE);
}

TEST_F(MailboxTest, AnEmptyInboxHasNoMessages) {
    LHANDLE session = logOn("bob", nullptr);
    char id[MAPI_LONG_MSGID_SIZE];
    EXPECT_EQ(MAPIFindNext(session, 0, nullptr, nullptr, MAPI_LONG_MSGID, 0, id), MAPI_E_NO_MESSAGES);
    EXPECT_EQ(MAPIFindNext(session, 0, nullptr, const_cast<char*>(""), 0, 0, id), MAPI_E_NO_MESSAGES);
    MAPILogoff(session, 0, 0, 0);
}

// A caller without MAPI_LONG_MSGID has 64 bytes: a longer identifier comes in its short form,
// which every call takes like the long one.
TEST_F(MailboxTest, ShortBuffersGetTheShortFormOfLongIdentifiers) {
    std::string longId = "1700000000.M1P1Q1." + std::string(90, 'h');
    std::ofstream(maildirOf("anna") + "/cur/" + longId + ":2,") << message("bob@example.com", "anna.berg@example.org",
                                                                              "Long name", "Text\n");
    LHANDLE session = logOn("anna", "s3cret");
    char buffer[MAPI_LONG_MSGID_SIZE];
    std::memset(buffer, '#', sizeof buffer);
    ASSERT_EQ(MAPIFindNext(session, 0, nullptr, nullptr, 0, 0, buffer), SUCCESS_SUCCESS);
    std::string shortId = buffer;
    EXPECT_EQ(shortId.size(), 17u);
    EXPECT_EQ(shortId[0], '~');
    EXPECT_EQ(buffer[MAPI_SHORT_MSGID_SIZE], '#') << "never more than 64 bytes";

    ASSERT_EQ(MAPIFindNext(session, 0, nullptr, nullptr, MAPI_LONG_MSGID, 0, buffer), SUCCESS_SUCCESS);
    EXPECT_EQ(std::string(buffer), longId);

    lpMapiMessage m = nullptr;
    ASSERT_EQ(MAPIReadMail(session, 0, const_cast<char*>(shortId.c_str()), MAPI_PEEK, 0, &m), SUCCESS_SUCCESS);
    EXPECT_STREQ(m->lpszSubject, "Long name");
    MAPIFreeBuffer(m);
    EXPECT_EQ(MAPIFindNext(session, 0, nullptr, const_cast<char*>(shortId.c_str()), 0, 0, buffer), MAPI_E_NO_MESSAGES);
    EXPECT_EQ(MAPIDeleteMail(session, 0, const_cast<char*>(shortId.c_str()), 0, 0), SUCCESS_SUCCESS);
    EXPECT_EQ(walk(MAPIFindNext, session), std::vector<std::string>{});
    MAPILogoff(session, 0, 0, 0);
}

}  // namespace
}  // namespace mapitest
