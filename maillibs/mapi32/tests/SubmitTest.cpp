// New messages: filed by SaveChanges, queued by SubmitMessage as the Simple MAPI send does,
// with the sent copy where PR_SENTMAIL_ENTRYID names.
#include <cstring>

#include "MapixFixture.h"
#include "store/ProblemLog.h"

namespace mapitest {
namespace {

namespace store = vesk::store;

class SubmitTest : public MapixTest {
protected:
    void SetUp() override {
        MapixTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        *session.out() = logOnEx("Anna");
        *mdb.out() = openDefaultStore(session.get());
        *inbox.out() = openInbox(mdb.get());
        *outbox.out() = openFolderOf(mdb.get(), PR_IPM_OUTBOX_ENTRYID);
        ASSERT_TRUE(inbox && outbox);
    }
    std::vector<store::MessageInfo> folder(const std::string& name) {
        auto listing = storeOf("anna")->list(name);
        return listing.ok() ? *listing : std::vector<store::MessageInfo>{};
    }
    // Subject, body and the sent-items folder, as a client sets them.
    void setContent(IMessage* m, const char* subject, bool sentMail = true) {
        Bytes sent = binaryOf(mdb.get(), PR_IPM_SENTMAIL_ENTRYID);
        SPropValue v[4] = {};
        v[0].ulPropTag = PR_SUBJECT;
        v[0].Value.lpszA = const_cast<char*>(subject);
        v[1].ulPropTag = PR_BODY;
        v[1].Value.lpszA = const_cast<char*>("First line\r\nSecond line");
        v[2].ulPropTag = PR_IMPORTANCE;
        v[2].Value.l = IMPORTANCE_HIGH;
        v[3].ulPropTag = PR_SENTMAIL_ENTRYID;
        v[3].Value.bin = SBinary{static_cast<ULONG>(sent.size()), reinterpret_cast<LPBYTE>(sent.data())};
        ASSERT_EQ(m->SetProps(sentMail ? 4 : 3, v, nullptr), S_OK);
    }
    // One recipient list entry: its own block of values, in a list of its own.
    LPADRLIST recipients(const std::vector<std::pair<std::string, LONG>>& people) {
        LPVOID block = nullptr;
        EXPECT_EQ(MAPIAllocateBuffer(static_cast<ULONG>(CbNewADRLIST(people.size())), &block), S_OK);
        auto* list = static_cast<LPADRLIST>(block);
        std::memset(list, 0, CbNewADRLIST(people.size()));
        list->cEntries = static_cast<ULONG>(people.size());
        for (std::size_t i = 0; i < people.size(); ++i) {
            LPVOID values = nullptr;
            EXPECT_EQ(MAPIAllocateBuffer(2 * sizeof(SPropValue), &values), S_OK);
            auto* v = static_cast<LPSPropValue>(values);
            LPVOID name = nullptr;
            EXPECT_EQ(MAPIAllocateMore(static_cast<ULONG>(people[i].first.size() + 1), values, &name), S_OK);
            std::memcpy(name, people[i].first.c_str(), people[i].first.size() + 1);
            v[0].ulPropTag = PR_DISPLAY_NAME;
            v[0].Value.lpszA = static_cast<char*>(name);
            v[1].ulPropTag = PR_RECIPIENT_TYPE;
            v[1].Value.l = people[i].second;
            list->aEntries[i].cValues = 2;
            list->aEntries[i].rgPropVals = v;
        }
        return list;
    }
    Ref<IAddrBook> book() {
        Ref<IAddrBook> b;
        EXPECT_EQ(session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, b.out()), S_OK);
        return b;
    }
    Ref<IMAPISession> session;
    Ref<IMsgStore> mdb;
    Ref<IMAPIFolder> inbox;
    Ref<IMAPIFolder> outbox;
};

TEST_F(SubmitTest, ASubmittedMessageIsSentAndFiledInSentItems) {
    setAccountValue("anna", "SendCommand", captureScript(0));
    Ref<IMAPISession> fresh(logOnEx("Anna"));  // the account now has a sending command
    Ref<IMsgStore> freshStore(openDefaultStore(fresh.get()));
    Ref<IMAPIFolder> freshOutbox(openFolderOf(freshStore.get(), PR_IPM_OUTBOX_ENTRYID));
    Ref<IMessage> m;
    ASSERT_EQ(freshOutbox->CreateMessage(nullptr, 0, m.out()), S_OK);
    setContent(m.get(), "Lunch on Friday?");
    LPADRLIST to = recipients({{"Bob Hansen", MAPI_TO}, {"eva@example.com", MAPI_CC}});
    Ref<IAddrBook> ab;
    ASSERT_EQ(fresh->OpenAddressBook(0, nullptr, 0, ab.out()), S_OK);
    ASSERT_EQ(ab->ResolveName(0, 0, nullptr, to), S_OK);
    ASSERT_EQ(m->ModifyRecipients(0, to), S_OK);
    FreePadrlist(to);
    ASSERT_EQ(m->SubmitMessage(0), S_OK);
    EXPECT_EQ(m->SaveChanges(0), MAPI_E_SUBMITTED) << "only Release is left after submitting";

    auto calls = captured();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].first,
              (std::vector<std::string>{"-i", "-f", "anna.berg@example.org", "--", "bob@example.com", "eva@example.com"}));
    const std::string& text = calls[0].second;
    EXPECT_NE(text.find("From: Anna Berg <anna.berg@example.org>"), std::string::npos) << text;
    EXPECT_NE(text.find("To: Bob Hansen <bob@example.com>"), std::string::npos) << text;
    EXPECT_NE(text.find("Subject: Lunch on Friday?"), std::string::npos) << text;
    EXPECT_NE(text.find("X-Priority: 1"), std::string::npos) << text;
    EXPECT_TRUE(folder("Outbox").empty());
    auto sent = folder("Sent");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_TRUE(sent[0].seen());
    EXPECT_TRUE(folder("Drafts").empty());
}

TEST_F(SubmitTest, WithoutACommandTheMessageStaysQueuedDurably) {
    Ref<IMessage> m;
    ASSERT_EQ(outbox->CreateMessage(nullptr, 0, m.out()), S_OK);
    setContent(m.get(), "Queued");
    LPADRLIST to = recipients({{"frank@example.net", MAPI_BCC}});
    ASSERT_EQ(m->ModifyRecipients(0, to), S_OK);
    FreePadrlist(to);
    ASSERT_EQ(m->SubmitMessage(0), S_OK);
    auto queued = folder("Outbox");
    ASSERT_EQ(queued.size(), 1u);
    auto raw = storeOf("anna")->readRaw("Outbox", queued[0].id);
    ASSERT_TRUE(raw.ok());
    EXPECT_NE(raw->find("frank@example.net"), std::string::npos) << "Bcc is kept until it is sent";
}

TEST_F(SubmitTest, SubmittingNeedsRecipientsWithAddresses) {
    Ref<IMessage> m;
    ASSERT_EQ(outbox->CreateMessage(nullptr, 0, m.out()), S_OK);
    setContent(m.get(), "Nobody");
    EXPECT_EQ(m->SubmitMessage(0), MAPI_E_NO_RECIPIENTS);
    LPADRLIST unknown = recipients({{"Someone Unknown", MAPI_TO}});
    ASSERT_EQ(m->ModifyRecipients(0, unknown), S_OK);
    FreePadrlist(unknown);
    EXPECT_EQ(m->SubmitMessage(0), MAPI_E_INVALID_PARAMETER);
    EXPECT_TRUE(folder("Outbox").empty()) << "nothing half-sent is queued";
    auto problems = vesk::store::problemsSince(0);
    ASSERT_FALSE(problems.empty());
    EXPECT_NE(problems.back().subject.find("Someone Unknown"), std::string::npos);
}

TEST_F(SubmitTest, ASentMailFolderOfAnotherStoreIsRefused) {
    Ref<IMessage> m;
    ASSERT_EQ(outbox->CreateMessage(nullptr, 0, m.out()), S_OK);
    setContent(m.get(), "Where to?", false);
    Bytes foreign = "\0\0\0\0elsewhere";
    SPropValue sent{};
    sent.ulPropTag = PR_SENTMAIL_ENTRYID;
    sent.Value.bin = SBinary{static_cast<ULONG>(foreign.size()), reinterpret_cast<LPBYTE>(foreign.data())};
    ASSERT_EQ(m->SetProps(1, &sent, nullptr), S_OK);
    LPADRLIST to = recipients({{"bob@example.com", MAPI_TO}});
    ASSERT_EQ(m->ModifyRecipients(0, to), S_OK);
    FreePadrlist(to);
    EXPECT_EQ(m->SubmitMessage(0), MAPI_E_INVALID_ENTRYID);
    EXPECT_TRUE(folder("Outbox").empty());
}

TEST_F(SubmitTest, SavingAnOutboxMessageFilesADraftThatIsNotSent) {
    setAccountValue("anna", "SendCommand", captureScript(0));
    Ref<IMessage> m;
    ASSERT_EQ(outbox->CreateMessage(nullptr, 0, m.out()), S_OK);
    setContent(m.get(), "Not yet");
    LPADRLIST to = recipients({{"bob@example.com", MAPI_TO}});
    ASSERT_EQ(m->ModifyRecipients(0, to), S_OK);
    FreePadrlist(to);
    ASSERT_EQ(m->SaveChanges(KEEP_OPEN_READWRITE), S_OK);
    EXPECT_TRUE(folder("Outbox").empty());
    auto drafts = folder("Drafts");
    ASSERT_EQ(drafts.size(), 1u);
    EXPECT_NE(drafts[0].flags.find('D'), std::string::npos);
    EXPECT_FALSE(binaryOf(m.get(), PR_ENTRYID).empty()) << "a saved message has an identifier";
    // A later logon flushes the queue: the draft stays where it is.
    Ref<IMAPISession> later(logOnEx("Anna"));
    EXPECT_TRUE(captured().empty());
    // Saving again replaces the copy; submitting takes it away.
    ASSERT_EQ(m->SaveChanges(KEEP_OPEN_READWRITE), S_OK);
    EXPECT_EQ(folder("Drafts").size(), 1u);
    ASSERT_EQ(m->SubmitMessage(0), S_OK);
    EXPECT_TRUE(folder("Drafts").empty());
}

TEST_F(SubmitTest, AMessageFiledInTheInboxKeepsSenderReadStateAndImportance) {
    Ref<IMessage> m;
    ASSERT_EQ(inbox->CreateMessage(nullptr, 0, m.out()), S_OK);
    SPropValue v[6] = {};
    v[0].ulPropTag = PR_MESSAGE_FLAGS;
    v[0].Value.l = MSGFLAG_READ;
    v[1].ulPropTag = PR_SUBJECT;
    v[1].Value.lpszA = const_cast<char*>("From the handheld");
    v[2].ulPropTag = PR_BODY;
    v[2].Value.lpszA = const_cast<char*>("Written on the road");
    v[3].ulPropTag = PR_SENT_REPRESENTING_NAME;
    v[3].Value.lpszA = const_cast<char*>("Dora Lind");
    v[4].ulPropTag = PR_SENT_REPRESENTING_EMAIL_ADDRESS;
    v[4].Value.lpszA = const_cast<char*>("dora@example.net");
    v[5].ulPropTag = PR_IMPORTANCE;
    v[5].Value.l = IMPORTANCE_LOW;
    ASSERT_EQ(m->SetProps(6, v, nullptr), S_OK);
    LPADRLIST to = recipients({{"Anna Berg", MAPI_TO}});
    Ref<IAddrBook> ab = book();
    ASSERT_EQ(ab->ResolveName(0, 0, nullptr, to), S_OK);
    ASSERT_EQ(m->ModifyRecipients(0, to), S_OK);
    FreePadrlist(to);
    SPropValue computed{};
    computed.ulPropTag = PR_ENTRYID;
    computed.Value.bin = SBinary{0, nullptr};
    LPSPropProblemArray problems = nullptr;
    ASSERT_EQ(m->SetProps(1, &computed, &problems), S_OK);
    ASSERT_NE(problems, nullptr);
    EXPECT_EQ(problems->cProblem, 1u);
    EXPECT_EQ(problems->aProblem[0].scode, MAPI_E_COMPUTED);
    MAPIFreeBuffer(problems);
    ASSERT_EQ(m->SaveChanges(KEEP_OPEN_READWRITE), S_OK);

    auto listing = folder(store::kInbox);
    ASSERT_EQ(listing.size(), 1u);
    EXPECT_TRUE(listing[0].seen());
    auto read = storeOf("anna")->read(store::kInbox, listing[0].id);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read->from, (store::Address{"Dora Lind", "dora@example.net"}));
    EXPECT_EQ(read->subject, "From the handheld");
    EXPECT_EQ(read->priority, store::Priority::Low);
    ASSERT_EQ(read->to.size(), 1u);
    EXPECT_EQ(read->to[0].address, "anna.berg@example.org");
}

TEST_F(SubmitTest, ModifyRecipientsAddsChangesAndRemovesByRowId) {
    Ref<IMessage> m;
    ASSERT_EQ(outbox->CreateMessage(nullptr, 0, m.out()), S_OK);
    LPADRLIST first = recipients({{"bob@example.com", MAPI_TO}});
    LPADRLIST more = recipients({{"eva@example.com", MAPI_CC}, {"dora@example.net", MAPI_BCC}});
    ASSERT_EQ(m->ModifyRecipients(0, first), S_OK);
    ASSERT_EQ(m->ModifyRecipients(MODRECIP_ADD, more), S_OK);
    Ref<IMAPITable> table;
    ASSERT_EQ(m->GetRecipientTable(0, table.out()), S_OK);
    auto rows = allRows(table.get(), {PR_DISPLAY_NAME, PR_ROWID});
    ASSERT_EQ(rows.size(), 3u);
    SPropValue rowId{};
    rowId.ulPropTag = PR_ROWID;
    rowId.Value.l = rows[1][1].Value.l;
    ADRLIST removal{1, {{0, 1, &rowId}}};
    ASSERT_EQ(m->ModifyRecipients(MODRECIP_REMOVE, &removal), S_OK);
    EXPECT_EQ(m->ModifyRecipients(MODRECIP_REMOVE, &removal), MAPI_E_NOT_FOUND);
    ASSERT_EQ(m->GetRecipientTable(0, table.out()), S_OK);
    rows = allRows(table.get(), {PR_DISPLAY_NAME});
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_STREQ(rows[1][0].Value.lpszA, "dora@example.net");
    EXPECT_EQ(m->ModifyRecipients(0x400, first), MAPI_E_UNKNOWN_FLAGS);
    EXPECT_EQ(m->ModifyRecipients(0, nullptr), MAPI_E_INVALID_PARAMETER);
    FreePadrlist(first);
    FreePadrlist(more);
}

}  // namespace
}  // namespace mapitest
