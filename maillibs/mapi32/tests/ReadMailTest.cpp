// MAPIReadMail: the message's fields, the read state, and the attachment files.
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "MapiFixture.h"

namespace mapitest {
namespace {

namespace fs = std::filesystem;

// Headers in two charsets, recipients of every class, CR-less body lines, two attachments
// with the same (hostile) name and one with a path for a name.
const char* const kRichMessage =
    "Received: from mx.example.org by mail.example.org; Wed, 24 Nov 1999 17:41:09 +0100\n"
    "From: =?ISO-8859-1?Q?J=FCrgen_M=FCller?= <juergen@example.de>\n"
    "To: Anna Berg <anna.berg@example.org>, bob@example.com\n"
    "Cc: \"Nystr\xc3\xb6m, Carl\" <carl.nystrom@example.se>\n"
    "Bcc: dora@example.net\n"
    "Subject: =?UTF-8?Q?Pl=C3=A4ne_f=C3=BCr_2000_=E2=80=93_Entwurf?=\n"
    "Date: Wed, 24 Nov 1999 17:40:00 +0100\n"
    "Disposition-Notification-To: juergen@example.de\n"
    "Message-ID: <plans@example.de>\n"
    "MIME-Version: 1.0\n"
    "Content-Type: multipart/mixed; boundary=\"cut\"\n"
    "\n"
    "--cut\n"
    "Content-Type: text/plain; charset=utf-8\n"
    "Content-Transfer-Encoding: 8bit\n"
    "\n"
    "Hallo Anna,\n"
    "die Pl\xc3\xa4ne kosten 20 \xe2\x82\xac.\n"
    "--cut\n"
    "Content-Type: text/plain; name=\"../../evil.txt\"\n"
    "Content-Disposition: attachment; filename=\"../../evil.txt\"\n"
    "\n"
    "first\n"
    "--cut\n"
    "Content-Type: application/octet-stream\n"
    "Content-Disposition: attachment; filename=\"../../evil.txt\"\n"
    "Content-Transfer-Encoding: base64\n"
    "\n"
    "AAEC/w==\n"
    "--cut\n"
    "Content-Type: application/pdf\n"
    "Content-Disposition: attachment; filename=\"/etc/passwd\"\n"
    "\n"
    "%PDF-1.4\n"
    "--cut--\n";

class ReadMailTest : public MailboxTest {
protected:
    void SetUp() override {
        MailboxTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        id = deliver("anna", kRichMessage);
        session = logOn("anna", "s3cret");
    }
    void TearDown() override {
        if (session != 0) MAPILogoff(session, 0, 0, 0);
        MailboxTest::TearDown();
    }
    lpMapiMessage read(FLAGS flags) {
        lpMapiMessage m = nullptr;
        EXPECT_EQ(MAPIReadMail(session, 0, const_cast<char*>(id.c_str()), flags, 0, &m), SUCCESS_SUCCESS);
        return m;
    }
    bool seen() {
        auto info = storeOf("anna")->find(vesk::store::kInbox, id);
        return info.ok() && info->seen();
    }
    std::string id;
    LHANDLE session = 0;
};

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(ReadMailTest, FillsEveryFieldInWindows1252) {
    lpMapiMessage m = read(MAPI_PEEK | MAPI_SUPPRESS_ATTACH);
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(m->lpszSubject, "Pl\xe4ne f\xfcr 2000 \x96 Entwurf");
    EXPECT_STREQ(m->lpszNoteText, "Hallo Anna,\r\ndie Pl\xe4ne kosten 20 \x80.");
    EXPECT_STREQ(m->lpszDateReceived, "1999/11/24 17:41") << "the top Received header, local time";
    EXPECT_EQ(m->flFlags, ULONG(MAPI_UNREAD | MAPI_RECEIPT_REQUESTED));
    ASSERT_NE(m->lpOriginator, nullptr);
    EXPECT_EQ(m->lpOriginator->ulRecipClass, ULONG(MAPI_ORIG));
    EXPECT_STREQ(m->lpOriginator->lpszName, "J\xfcrgen M\xfcller");
    EXPECT_STREQ(m->lpOriginator->lpszAddress, "juergen@example.de");

    struct Expected {
        ULONG recipClass;
        const char* name;
        const char* address;
    };
    const Expected recips[] = {{MAPI_TO, "Anna Berg", "anna.berg@example.org"},
                               {MAPI_TO, "bob@example.com", "bob@example.com"},
                               {MAPI_CC, "Nystr\xf6m, Carl", "carl.nystrom@example.se"},
                               {MAPI_BCC, "dora@example.net", "dora@example.net"}};
    ASSERT_EQ(m->nRecipCount, 4u);
    for (ULONG i = 0; i < m->nRecipCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(m->lpRecips[i].ulRecipClass, recips[i].recipClass);
        EXPECT_STREQ(m->lpRecips[i].lpszName, recips[i].name);
        EXPECT_STREQ(m->lpRecips[i].lpszAddress, recips[i].address);
    }
    ASSERT_EQ(m->nFileCount, 3u);
    for (ULONG i = 0; i < m->nFileCount; ++i) {
        EXPECT_EQ(m->lpFiles[i].lpszPathName, nullptr) << "MAPI_SUPPRESS_ATTACH writes no file";
        EXPECT_EQ(m->lpFiles[i].nPosition, ULONG(-1));
    }
    EXPECT_STREQ(m->lpFiles[0].lpszFileName, "../../evil.txt");
    EXPECT_STREQ(m->lpFiles[2].lpszFileName, "/etc/passwd");
    EXPECT_EQ(MAPIFreeBuffer(m), SUCCESS_SUCCESS);
    EXPECT_TRUE(filesBelow(home + "/tmp").empty());
}

TEST_F(ReadMailTest, PeekLeavesTheReadStateAndAPlainReadMarksRead) {
    MAPIFreeBuffer(read(MAPI_PEEK));
    EXPECT_FALSE(seen());
    MAPIFreeBuffer(read(MAPI_ENVELOPE_ONLY | MAPI_PEEK));
    EXPECT_FALSE(seen());
    lpMapiMessage m = read(MAPI_ENVELOPE_ONLY);
    ASSERT_NE(m, nullptr);
    EXPECT_TRUE(seen());
    MAPIFreeBuffer(m);
    m = read(MAPI_PEEK | MAPI_ENVELOPE_ONLY);
    EXPECT_EQ(m->flFlags & MAPI_UNREAD, 0u);
    MAPIFreeBuffer(m);
}

TEST_F(ReadMailTest, EnvelopeOnlyHasNoNoteTextAndNoFiles) {
    lpMapiMessage m = read(MAPI_ENVELOPE_ONLY | MAPI_PEEK);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->lpszNoteText, nullptr);
    EXPECT_STREQ(m->lpszSubject, "Pl\xe4ne f\xfcr 2000 \x96 Entwurf");
    ASSERT_EQ(m->nFileCount, 3u);
    EXPECT_EQ(m->lpFiles[0].lpszPathName, nullptr);
    MAPIFreeBuffer(m);
    EXPECT_TRUE(filesBelow(home + "/tmp").empty());
}

TEST_F(ReadMailTest, AttachmentsArePrivateFilesTheCallerDeletes) {
    lpMapiMessage m = read(MAPI_PEEK);
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(m->nFileCount, 3u);
    std::vector<std::string> paths;
    for (ULONG i = 0; i < 3; ++i) paths.emplace_back(m->lpFiles[i].lpszPathName);
    MAPIFreeBuffer(m);

    // Each file is new, whatever the attachment calls itself, in one private folder.
    fs::path folder = fs::path(paths[0]).parent_path();
    EXPECT_EQ(folder.parent_path(), fs::path(home + "/tmp"));
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        EXPECT_EQ(fs::path(path).parent_path(), folder);
        ASSERT_EQ(::stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, 0600u);
    }
    EXPECT_NE(paths[0], paths[1]);
    EXPECT_EQ(contents(paths[0]), "first");
    EXPECT_EQ(contents(paths[1]), std::string("\x00\x01\x02\xff", 4));
    EXPECT_EQ(contents(paths[2]), "%PDF-1.4");
    EXPECT_FALSE(fs::exists(home + "/evil.txt"));

    // The caller deletes the files; logoff removes the emptied folder.
    for (const std::string& path : paths) fs::remove(path);
    ASSERT_EQ(MAPILogoff(session, 0, 0, 0), SUCCESS_SUCCESS);
    session = 0;
    EXPECT_FALSE(fs::exists(folder));
}

TEST_F(ReadMailTest, RefusesUnknownIdentifiersAndSessions) {
    lpMapiMessage m = reinterpret_cast<lpMapiMessage>(0x1);
    std::string outside = home + "/x";
    std::ofstream(outside) << kRichMessage;
    char unterminated[MAPI_LONG_MSGID_SIZE + 16];
    std::memset(unterminated, 'a', sizeof unterminated);
    for (const char* bad : {"", "nope", "../../x", outside.c_str(), "cur", static_cast<const char*>(unterminated)}) {
        SCOPED_TRACE(std::string(bad, ::strnlen(bad, 40)));
        EXPECT_EQ(MAPIReadMail(session, 0, const_cast<char*>(bad), MAPI_PEEK, 0, &m), MAPI_E_INVALID_MESSAGE);
    }
    EXPECT_EQ(MAPIReadMail(session, 0, nullptr, MAPI_PEEK, 0, &m), MAPI_E_INVALID_MESSAGE);
    EXPECT_EQ(m, reinterpret_cast<lpMapiMessage>(0x1)) << "nothing handed out";
    EXPECT_EQ(MAPIReadMail(0, 0, const_cast<char*>(id.c_str()), MAPI_PEEK, 0, &m), MAPI_E_INVALID_SESSION);
    EXPECT_EQ(MAPIReadMail(session, 0, const_cast<char*>(id.c_str()), MAPI_PEEK, 0, nullptr), MAPI_E_FAILURE);
    EXPECT_FALSE(seen());
}

TEST_F(ReadMailTest, AFailedAttachmentWriteHandsOutNothingAndLeavesItUnread) {
    // A file where the temporary folder should be: no private folder can be made there.
    fs::remove_all(home + "/tmp");
    std::ofstream(home + "/tmp") << "in the way";
    lpMapiMessage m = reinterpret_cast<lpMapiMessage>(0x1);
    EXPECT_EQ(MAPIReadMail(session, 0, const_cast<char*>(id.c_str()), 0, 0, &m), MAPI_E_ATTACHMENT_WRITE_FAILURE);
    EXPECT_EQ(m, reinterpret_cast<lpMapiMessage>(0x1));
    EXPECT_FALSE(seen());
}

}  // namespace
}  // namespace mapitest
