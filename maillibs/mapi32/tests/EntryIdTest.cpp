// Entry identifiers: what the library hands out opens what it named, and bytes it did not
// hand out are refused without being followed.
#include "MapixFixture.h"

namespace mapitest {
namespace {

class EntryIdTest : public MapixTest {
protected:
    void SetUp() override {
        MapixTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        deliver("anna", message("Bob Hansen <bob@example.com>", "anna.berg@example.org", "Round trip", "Hello"));
        *session.out() = logOnEx("Anna");
        *store.out() = openDefaultStore(session.get());
        *inbox.out() = openInbox(store.get());
        ASSERT_TRUE(inbox);
        ids = messageIds(inbox.get());
        ASSERT_EQ(ids.size(), 1u);
    }
    HRESULT open(const Bytes& id, ULONG* type, Ref<IUnknown>& out) {
        return store->OpenEntry(static_cast<ULONG>(id.size()), reinterpret_cast<LPENTRYID>(const_cast<char*>(id.data())),
                                nullptr, MAPI_BEST_ACCESS, type, out.out());
    }
    Ref<IMAPISession> session;
    Ref<IMsgStore> store;
    Ref<IMAPIFolder> inbox;
    std::vector<Bytes> ids;
};

TEST_F(EntryIdTest, AMessageIdentifierOpensThatMessageFromEveryEntryPoint) {
    ULONG type = 0;
    Ref<IMessage> message;
    ASSERT_EQ(store->OpenEntry(static_cast<ULONG>(ids[0].size()), reinterpret_cast<LPENTRYID>(ids[0].data()), nullptr,
                               MAPI_BEST_ACCESS, &type, message.unknown()),
              S_OK);
    EXPECT_EQ(type, MAPI_MESSAGE);
    EXPECT_EQ(textOf(message.get(), PR_SUBJECT), "Round trip");
    EXPECT_EQ(binaryOf(message.get(), PR_ENTRYID), ids[0]);
    Ref<IMessage> viaSession;
    ASSERT_EQ(session->OpenEntry(static_cast<ULONG>(ids[0].size()), reinterpret_cast<LPENTRYID>(ids[0].data()),
                                 &IID_IMessage, 0, &type, viaSession.unknown()),
              S_OK);
    EXPECT_EQ(textOf(viaSession.get(), PR_SUBJECT), "Round trip");
    // The store's own identifier opens the store again, and a null one the root folder.
    Bytes storeId = binaryOf(store.get(), PR_ENTRYID);
    Ref<IMsgStore> again;
    EXPECT_EQ(session->OpenMsgStore(0, static_cast<ULONG>(storeId.size()), reinterpret_cast<LPENTRYID>(storeId.data()),
                                    nullptr, 0, again.out()),
              S_OK);
    Ref<IMAPIFolder> root;
    ASSERT_EQ(store->OpenEntry(0, nullptr, nullptr, 0, &type, root.unknown()), S_OK);
    EXPECT_EQ(type, MAPI_FOLDER);
    EXPECT_EQ(binaryOf(root.get(), PR_ENTRYID), binaryOf(store.get(), PR_IPM_SUBTREE_ENTRYID));
}

TEST_F(EntryIdTest, BytesThatNameNothingOfOursAreRefused) {
    const Bytes good = ids[0];
    auto changed = [&](std::size_t at, char value) {
        Bytes b = good;
        b[at] = value;
        return b;
    };
    Bytes otherAccount = good;
    // The account name follows the 23-byte header as a length and its bytes ("anna").
    otherAccount.replace(24, 4, "bobb");
    Bytes badId = good;
    badId[badId.size() - 1] = '/';
    const std::pair<const char*, Bytes> cases[] = {
        {"empty", Bytes()},
        {"one byte", Bytes(1, '\0')},
        {"truncated", good.substr(0, good.size() - 1)},
        {"trailing byte", good + "x"},
        {"flag bytes set", changed(0, '\x01')},
        {"another provider", changed(7, '\x00')},
        {"unknown version", changed(20, '\x02')},
        {"unknown kind", changed(21, '\x09')},
        {"unknown folder role", changed(22, '\x40')},
        {"another account", otherAccount},
        {"a message id the store refuses", badId},
        {"length past the end", changed(23, '\xff')},
        {"random bytes", Bytes("\x9a\x11\x00\x7f garbage garbage garbage garbage", 36)},
        {"huge", Bytes(70000, 'A')},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        ULONG type = 77;
        Ref<IUnknown> object;
        EXPECT_EQ(open(bytes, &type, object), bytes.empty() ? S_OK : MAPI_E_INVALID_ENTRYID);
        if (!bytes.empty()) {
            EXPECT_FALSE(object);
            EXPECT_EQ(session->OpenEntry(static_cast<ULONG>(bytes.size()), reinterpret_cast<LPENTRYID>(const_cast<char*>(bytes.data())),
                                         nullptr, 0, &type, object.out()),
                      MAPI_E_INVALID_ENTRYID);
        }
    }
    ULONG type = 0;
    Ref<IUnknown> object;
    EXPECT_EQ(session->OpenEntry(0, nullptr, nullptr, 0, &type, object.out()), MAPI_E_INVALID_ENTRYID);
    Ref<IMsgStore> noStore;
    EXPECT_EQ(session->OpenMsgStore(0, static_cast<ULONG>(good.size()), reinterpret_cast<LPENTRYID>(const_cast<char*>(good.data())),
                                    nullptr, 0, noStore.out()),
              MAPI_E_INVALID_ENTRYID)
        << "a message identifier is no store identifier";
}

TEST_F(EntryIdTest, AMessageThatIsGoneIsNotFound) {
    auto listing = storeOf("anna")->list(vesk::store::kInbox);
    ASSERT_TRUE(listing.ok());
    ASSERT_EQ(storeOf("anna")->remove(vesk::store::kInbox, (*listing)[0].id), vesk::store::Status::Ok);
    ULONG type = 0;
    Ref<IUnknown> object;
    EXPECT_EQ(open(ids[0], &type, object), MAPI_E_NOT_FOUND);
    EXPECT_FALSE(object);
}

TEST_F(EntryIdTest, AnotherProfilesIdentifiersAreNotFollowed) {
    Ref<IMAPISession> bob(logOnEx("Bob"));
    Ref<IMsgStore> bobStore(openDefaultStore(bob.get()));
    ULONG type = 0;
    Ref<IUnknown> object;
    EXPECT_EQ(bobStore->OpenEntry(static_cast<ULONG>(ids[0].size()), reinterpret_cast<LPENTRYID>(ids[0].data()), nullptr,
                                  0, &type, object.out()),
              MAPI_E_INVALID_ENTRYID);
}

}  // namespace
}  // namespace mapitest
