// Read state, importance and moves: what a caller changes is what a mail reader sees in the
// Maildir afterwards.
#include "MapixFixture.h"

namespace mapitest {
namespace {

namespace store = vesk::store;

class StateChangeTest : public MapixTest {
protected:
    void SetUp() override {
        MapixTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        storeId = deliver("anna", message("Bob <bob@example.com>", "anna.berg@example.org", "Change me", "Body"), "S");
        *session.out() = logOnEx("Anna");
        *mdb.out() = openDefaultStore(session.get());
        *inbox.out() = openInbox(mdb.get());
        ASSERT_TRUE(inbox);
        ids = messageIds(inbox.get());
        ASSERT_EQ(ids.size(), 1u);
    }
    IMessage* open(const Bytes& id) {
        ULONG type = 0;
        IMessage* m = nullptr;
        EXPECT_EQ(mdb->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())),
                                 nullptr, MAPI_BEST_ACCESS, &type, reinterpret_cast<LPUNKNOWN*>(&m)),
                  S_OK);
        return m;
    }
    store::Message onDisk(const std::string& folder = store::kInbox) {
        auto read = storeOf("anna")->read(folder, storeId);
        EXPECT_TRUE(read.ok());
        return read.ok() ? *read : store::Message{};
    }
    std::string storeId;
    Ref<IMAPISession> session;
    Ref<IMsgStore> mdb;
    Ref<IMAPIFolder> inbox;
    std::vector<Bytes> ids;
};

TEST_F(StateChangeTest, TheReadFlagIsTheMaildirSeenFlag) {
    Ref<IMessage> m(open(ids[0]));
    ASSERT_EQ(m->SetReadFlag(CLEAR_READ_FLAG), S_OK);
    EXPECT_FALSE(onDisk().read);
    ASSERT_EQ(m->SetReadFlag(0), S_OK);
    EXPECT_TRUE(onDisk().read);
    ASSERT_EQ(m->SetReadFlag(CLEAR_READ_FLAG), S_OK);
    // The next listing reports it, as the handheld will see it.
    Ref<IMAPITable> contents;
    ASSERT_EQ(inbox->GetContentsTable(0, contents.out()), S_OK);
    auto rows = allRows(contents.get(), {PR_MESSAGE_FLAGS});
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0][0].Value.ul & MSGFLAG_READ, 0u);
    EXPECT_EQ(m->SetReadFlag(SUPPRESS_RECEIPT | CLEAR_READ_FLAG), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(m->SetReadFlag(0x8000), MAPI_E_UNKNOWN_FLAGS);
    EXPECT_FALSE(onDisk().read) << "refused calls change nothing";
}

TEST_F(StateChangeTest, ImportanceIsWrittenAsPriorityHeaders) {
    struct Case {
        LONG importance;
        store::Priority priority;
        const char* xPriority;
    };
    const Case cases[] = {{IMPORTANCE_LOW, store::Priority::Low, "X-Priority: 5"},
                          {IMPORTANCE_HIGH, store::Priority::High, "X-Priority: 1"},
                          {IMPORTANCE_NORMAL, store::Priority::Normal, nullptr}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.importance);
        Ref<IMessage> m(open(ids[0]));
        SPropValue v{};
        v.ulPropTag = PR_IMPORTANCE;
        v.Value.l = c.importance;
        ASSERT_EQ(m->SetProps(1, &v, nullptr), S_OK);
        ASSERT_EQ(m->SaveChanges(KEEP_OPEN_READWRITE), S_OK);
        EXPECT_EQ(onDisk().priority, c.priority);
        auto raw = storeOf("anna")->readRaw(store::kInbox, storeId);
        ASSERT_TRUE(raw.ok());
        if (c.xPriority != nullptr) {
            EXPECT_NE(raw->find(c.xPriority), std::string::npos) << *raw;
        } else {
            EXPECT_EQ(raw->find("X-Priority"), std::string::npos) << *raw;
        }
        EXPECT_TRUE(onDisk().read) << "the rest of the message is left alone";
        Ref<IMessage> again(open(ids[0]));
        Tags tags({PR_IMPORTANCE});
        ULONG count = 0;
        LPSPropValue got = nullptr;
        ASSERT_EQ(again->GetProps(tags.get(), 0, &count, &got), S_OK);
        EXPECT_EQ(got[0].Value.l, c.importance);
        MAPIFreeBuffer(got);
    }
}

TEST_F(StateChangeTest, AStoredMessageRefusesChangesItCannotKeep) {
    Ref<IMessage> m(open(ids[0]));
    SPropValue outOfRange{};
    outOfRange.ulPropTag = PR_IMPORTANCE;
    outOfRange.Value.l = 7;
    EXPECT_EQ(m->SetProps(1, &outOfRange, nullptr), MAPI_E_INVALID_PARAMETER);
    SPropValue subject{};
    subject.ulPropTag = PR_SUBJECT;
    subject.Value.lpszA = const_cast<char*>("Rewritten");
    EXPECT_EQ(m->SetProps(1, &subject, nullptr), MAPI_E_NO_ACCESS);
    ASSERT_EQ(m->SaveChanges(KEEP_OPEN_READWRITE), S_OK);
    EXPECT_EQ(onDisk().subject, "Change me");
    EXPECT_EQ(onDisk().priority, store::Priority::Normal);

    ULONG type = 0;
    Ref<IMessage> readOnly;
    ASSERT_EQ(mdb->OpenEntry(static_cast<ULONG>(ids[0].size()), reinterpret_cast<LPENTRYID>(ids[0].data()), nullptr, 0,
                             &type, readOnly.unknown()),
              S_OK);
    SPropValue high{};
    high.ulPropTag = PR_IMPORTANCE;
    high.Value.l = IMPORTANCE_HIGH;
    EXPECT_EQ(readOnly->SetProps(1, &high, nullptr), MAPI_E_NO_ACCESS) << "opened without write access";
}

TEST_F(StateChangeTest, MovingToDeletedItemsTakesTheMessageOutOfTheInbox) {
    Ref<IMAPIFolder> deleted(openFolderOf(mdb.get(), PR_IPM_WASTEBASKET_ENTRYID));
    ASSERT_TRUE(deleted);
    SBinary entry{static_cast<ULONG>(ids[0].size()), reinterpret_cast<LPBYTE>(ids[0].data())};
    ENTRYLIST list{1, &entry};
    ASSERT_EQ(inbox->CopyMessages(&list, nullptr, deleted.get(), 0, nullptr, MESSAGE_MOVE | MESSAGE_DIALOG), S_OK);
    EXPECT_TRUE(messageIds(inbox.get()).empty());
    std::vector<Bytes> moved = messageIds(deleted.get());
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_EQ(onDisk("Trash").subject, "Change me") << "Deleted Items is the account's Trash folder";
    EXPECT_TRUE(onDisk("Trash").read);
    ULONG type = 0;
    Ref<IUnknown> gone;
    EXPECT_EQ(mdb->OpenEntry(static_cast<ULONG>(ids[0].size()), reinterpret_cast<LPENTRYID>(ids[0].data()), nullptr, 0,
                             &type, gone.out()),
              MAPI_E_NOT_FOUND);
    // Moving it again from the inbox finds nothing there; the copy left is untouched.
    EXPECT_EQ(inbox->CopyMessages(&list, nullptr, deleted.get(), 0, nullptr, MESSAGE_MOVE), MAPI_E_NOT_FOUND);
    EXPECT_EQ(messageIds(deleted.get()).size(), 1u);
}

TEST_F(StateChangeTest, CopyMessagesChecksItsDestinationAndItsEntries) {
    Ref<IMAPIFolder> deleted(openFolderOf(mdb.get(), PR_IPM_WASTEBASKET_ENTRYID));
    SBinary entry{static_cast<ULONG>(ids[0].size()), reinterpret_cast<LPBYTE>(ids[0].data())};
    ENTRYLIST list{1, &entry};
    int notAFolder = 0;
    EXPECT_EQ(inbox->CopyMessages(&list, nullptr, &notAFolder, 0, nullptr, MESSAGE_MOVE), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(inbox->CopyMessages(&list, nullptr, nullptr, 0, nullptr, MESSAGE_MOVE), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(inbox->CopyMessages(nullptr, nullptr, deleted.get(), 0, nullptr, MESSAGE_MOVE), MAPI_E_INVALID_PARAMETER);
    // An identifier of a message in another folder is not this folder's to move.
    EXPECT_EQ(deleted->CopyMessages(&list, nullptr, inbox.get(), 0, nullptr, MESSAGE_MOVE), MAPI_E_INVALID_ENTRYID);
    Bytes junk = "not an identifier";
    SBinary bad[2] = {{static_cast<ULONG>(junk.size()), reinterpret_cast<LPBYTE>(junk.data())}, entry};
    ENTRYLIST mixed{2, bad};
    // Without MESSAGE_MOVE it is a copy: the inbox keeps its message.
    EXPECT_EQ(inbox->CopyMessages(&mixed, nullptr, deleted.get(), 0, nullptr, 0), MAPI_W_PARTIAL_COMPLETION);
    EXPECT_EQ(messageIds(inbox.get()).size(), 1u);
    EXPECT_EQ(messageIds(deleted.get()).size(), 1u);
}

}  // namespace
}  // namespace mapitest
