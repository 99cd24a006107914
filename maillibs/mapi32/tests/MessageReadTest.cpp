// An opened message: its properties (present, missing, too large to return whole), its body
// as a stream, and its recipient and attachment tables.
#include "MapixFixture.h"

namespace mapitest {
namespace {

class MessageReadTest : public MapixTest {
protected:
    void SetUp() override {
        MapixTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        *session.out() = logOnEx("Anna");
        *store.out() = openDefaultStore(session.get());
        *inbox.out() = openInbox(store.get());
        ASSERT_TRUE(inbox);
    }
    // Delivers `bytes` and opens it.
    IMessage* deliverAndOpen(const std::string& bytes, const std::string& flags = "") {
        deliver("anna", bytes, flags);
        std::vector<Bytes> ids = messageIds(inbox.get());
        EXPECT_FALSE(ids.empty());
        if (ids.empty()) return nullptr;
        ULONG type = 0;
        IMessage* m = nullptr;
        EXPECT_EQ(store->OpenEntry(static_cast<ULONG>(ids.back().size()), reinterpret_cast<LPENTRYID>(ids.back().data()),
                                   nullptr, MAPI_BEST_ACCESS, &type, reinterpret_cast<LPUNKNOWN*>(&m)),
                  S_OK);
        return m;
    }
    Ref<IMAPISession> session;
    Ref<IMsgStore> store;
    Ref<IMAPIFolder> inbox;
};

TEST_F(MessageReadTest, PropertiesComeInTheOrderAskedWithMissingOnesAsErrors) {
    Ref<IMessage> m(deliverAndOpen(message("\"Bob Hansen\" <bob@example.com>", "anna.berg@example.org", "Status",
                                           "Line one\nLine two\n", "Cc: Carl <carl@example.se>\nX-Priority: 1\n"),
                                   "S"));
    ASSERT_TRUE(m);
    Tags tags({PR_SUBJECT, PR_ATTACH_NUM, PR_IMPORTANCE, PR_SENT_REPRESENTING_NAME, PR_SENT_REPRESENTING_EMAIL_ADDRESS,
               PR_SENT_REPRESENTING_ADDRTYPE, PR_MESSAGE_FLAGS, PR_BODY, PR_MESSAGE_TO_ME, PR_MESSAGE_CC_ME,
               PR_CLIENT_SUBMIT_TIME, CHANGE_PROP_TYPE(PR_SUBJECT, PT_UNSPECIFIED)});
    ULONG count = 0;
    LPSPropValue v = nullptr;
    ASSERT_EQ(m->GetProps(tags.get(), 0, &count, &v), MAPI_W_ERRORS_RETURNED);
    ASSERT_EQ(count, 12u);
    EXPECT_STREQ(v[0].Value.lpszA, "Status");
    EXPECT_EQ(v[1].ulPropTag, CHANGE_PROP_TYPE(PR_ATTACH_NUM, PT_ERROR));
    EXPECT_EQ(v[1].Value.err, MAPI_E_NOT_FOUND);
    EXPECT_EQ(v[2].Value.l, IMPORTANCE_HIGH);
    EXPECT_STREQ(v[3].Value.lpszA, "Bob Hansen");
    EXPECT_STREQ(v[4].Value.lpszA, "bob@example.com");
    EXPECT_STREQ(v[5].Value.lpszA, "SMTP");
    EXPECT_EQ(v[6].Value.ul & MSGFLAG_READ, MSGFLAG_READ);
    EXPECT_STREQ(v[7].Value.lpszA, "Line one\r\nLine two\r\n");
    EXPECT_EQ(v[8].ulPropTag, PR_MESSAGE_TO_ME);
    EXPECT_NE(v[8].Value.b, 0);
    EXPECT_EQ(v[9].Value.b, 0);
    // Wed, 24 Nov 1999 17:41:00 +0100 is 16:41 UTC: 125879352600000000 hundred-nanoseconds.
    uint64_t ft = (uint64_t(v[10].Value.ft.dwHighDateTime) << 32) | v[10].Value.ft.dwLowDateTime;
    EXPECT_EQ(ft, 125879352600000000ull);
    EXPECT_EQ(v[11].ulPropTag, PR_SUBJECT) << "an unspecified type gets the property's own";
    MAPIFreeBuffer(v);
    Tags none({});
    EXPECT_EQ(m->GetProps(none.get(), 0, &count, &v), MAPI_E_INVALID_PARAMETER);
}

TEST_F(MessageReadTest, ABodyTooLargeToReturnWholeIsReadAsAStream) {
    std::string big;
    for (int i = 0; big.size() < 100000; ++i) big += "Line " + std::to_string(i) + " of a long report\n";
    big.resize(100000);
    Ref<IMessage> m(deliverAndOpen(message("bob@example.com", "anna.berg@example.org", "Big", big)));
    ASSERT_TRUE(m);
    Tags body({PR_BODY});
    ULONG count = 0;
    LPSPropValue v = nullptr;
    ASSERT_EQ(m->GetProps(body.get(), 0, &count, &v), MAPI_W_ERRORS_RETURNED);
    EXPECT_EQ(v[0].ulPropTag, CHANGE_PROP_TYPE(PR_BODY, PT_ERROR));
    EXPECT_EQ(v[0].Value.err, MAPI_E_NOT_ENOUGH_MEMORY);
    MAPIFreeBuffer(v);

    Ref<IStream> stream;
    ASSERT_EQ(m->OpenProperty(PR_BODY, &IID_IStream, STGM_READ, 0, stream.unknown()), S_OK);
    STATSTG stat{};
    ASSERT_EQ(stream->Stat(&stat, STATFLAG_NONAME), S_OK);
    EXPECT_EQ(stat.pwcsName, nullptr);
    std::string expected;
    for (char c : big) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(stat.cbSize.QuadPart, expected.size());
    std::string read(70000, '\0');
    ULONG got = 0;
    ASSERT_EQ(stream->Read(read.data(), 65535, &got), S_OK);
    EXPECT_EQ(got, 65535u);
    EXPECT_EQ(read.substr(0, got), expected.substr(0, 65535));
    std::string rest(expected.size(), '\0');
    ASSERT_EQ(stream->Read(rest.data(), static_cast<ULONG>(rest.size()), &got), S_OK);
    EXPECT_EQ(got, expected.size() - 65535) << "the rest, then the end";
    ASSERT_EQ(stream->Read(rest.data(), 10, &got), S_OK);
    EXPECT_EQ(got, 0u);
    EXPECT_NE(stream->Write("x", 1, nullptr), S_OK) << "the stream is read-only";

    Ref<IUnknown> wrong;
    EXPECT_EQ(m->OpenProperty(PR_BODY, &IID_IMAPITable, 0, 0, wrong.out()), MAPI_E_INTERFACE_NOT_SUPPORTED);
    EXPECT_EQ(m->OpenProperty(PR_ATTACH_DATA_BIN, &IID_IStream, 0, 0, wrong.out()), MAPI_E_NOT_FOUND);
    EXPECT_EQ(m->OpenProperty(PR_BODY, &IID_IStream, 0, MAPI_MODIFY, wrong.out()), MAPI_E_NO_ACCESS);
}

TEST_F(MessageReadTest, RecipientAndAttachmentTablesListWhatTheMessageHolds) {
    std::string mixed =
        "From: Hedda <hedda@example.de>\nTo: Anna <anna.berg@example.org>, team@example.org\n"
        "Cc: \"Carl N\" <carl@example.se>\nSubject: Photos\nDate: Wed, 24 Nov 1999 17:41:00 +0100\n"
        "MIME-Version: 1.0\nContent-Type: multipart/mixed; boundary=XX\n\n--XX\nContent-Type: text/plain\n\nSee attached\n"
        "--XX\nContent-Type: image/png\nContent-Disposition: attachment; filename=beach.png\n"
        "Content-Transfer-Encoding: base64\n\niVBORw0KGgo=\n--XX\nContent-Type: application/octet-stream\n"
        "Content-Transfer-Encoding: base64\n\nAAAA\n--XX--\n";
    Ref<IMessage> m(deliverAndOpen(mixed));
    ASSERT_TRUE(m);
    Ref<IMAPITable> recipients;
    ASSERT_EQ(m->GetRecipientTable(0, recipients.out()), S_OK);
    auto rows = allRows(recipients.get(), {PR_DISPLAY_NAME, PR_RECIPIENT_TYPE, PR_ADDRTYPE, PR_EMAIL_ADDRESS, PR_ENTRYID});
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_STREQ(rows[0][0].Value.lpszA, "Anna");
    EXPECT_EQ(rows[0][1].Value.l, MAPI_TO);
    EXPECT_STREQ(rows[1][3].Value.lpszA, "team@example.org");
    EXPECT_STREQ(rows[1][0].Value.lpszA, "team@example.org") << "no name: the address is shown";
    EXPECT_EQ(rows[2][1].Value.l, MAPI_CC);
    EXPECT_STREQ(rows[2][0].Value.lpszA, "Carl N");
    EXPECT_STREQ(rows[2][2].Value.lpszA, "SMTP");
    EXPECT_EQ(rows[2][4].ulPropTag, PR_ENTRYID);

    Tags flags({PR_MESSAGE_FLAGS, PR_HASATTACH});
    ULONG count = 0;
    LPSPropValue v = nullptr;
    ASSERT_EQ(m->GetProps(flags.get(), 0, &count, &v), S_OK);
    EXPECT_EQ(v[0].Value.ul & MSGFLAG_HASATTACH, MSGFLAG_HASATTACH);
    EXPECT_EQ(v[0].Value.ul & MSGFLAG_READ, 0u);
    MAPIFreeBuffer(v);
    Ref<IMAPITable> attachments;
    ASSERT_EQ(m->GetAttachmentTable(0, attachments.out()), S_OK);
    auto files = allRows(attachments.get(), {PR_DISPLAY_NAME, PR_ATTACH_FILENAME, PR_ATTACH_NUM});
    ASSERT_EQ(files.size(), 2u);
    EXPECT_STREQ(files[0][0].Value.lpszA, "beach.png");
    EXPECT_STREQ(files[0][1].Value.lpszA, "beach.png");
    EXPECT_EQ(files[1][0].ulPropTag, CHANGE_PROP_TYPE(PR_DISPLAY_NAME, PT_ERROR)) << "a part without a name has none";
    EXPECT_EQ(files[1][2].Value.l, 1);
}

}  // namespace
}  // namespace mapitest
