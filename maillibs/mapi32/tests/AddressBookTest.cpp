// IAddrBook::ResolveName over the account's address book, and the allocation rules of the
// lists it works on.
#include <cstring>

#include "MapixFixture.h"

namespace mapitest {
namespace {

class AddressBookTest : public MapixTest {
protected:
    void SetUp() override {
        MapixTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        *session.out() = logOnEx("Anna");
        ASSERT_EQ(session->OpenAddressBook(0, nullptr, AB_NO_DIALOG, book.out()), S_OK);
    }
    // A list of one entry per name, each entry's values in a block of its own.
    LPADRLIST listOf(const std::vector<std::string>& names) {
        LPVOID block = nullptr;
        EXPECT_EQ(MAPIAllocateBuffer(static_cast<ULONG>(CbNewADRLIST(names.size())), &block), S_OK);
        auto* list = static_cast<LPADRLIST>(block);
        list->cEntries = static_cast<ULONG>(names.size());
        for (std::size_t i = 0; i < names.size(); ++i) {
            LPVOID values = nullptr;
            EXPECT_EQ(MAPIAllocateBuffer(2 * sizeof(SPropValue), &values), S_OK);
            auto* v = static_cast<LPSPropValue>(values);
            LPVOID text = nullptr;
            EXPECT_EQ(MAPIAllocateMore(static_cast<ULONG>(names[i].size() + 1), values, &text), S_OK);
            std::memcpy(text, names[i].c_str(), names[i].size() + 1);
            v[0].ulPropTag = PR_DISPLAY_NAME;
            v[0].Value.lpszA = static_cast<char*>(text);
            v[1].ulPropTag = PR_RECIPIENT_TYPE;
            v[1].Value.l = MAPI_CC;
            list->aEntries[i] = ADRENTRY{0, 2, v};
        }
        return list;
    }
    static std::vector<SPropValue> entry(LPADRLIST list, ULONG i) {
        return std::vector<SPropValue>(list->aEntries[i].rgPropVals,
                                       list->aEntries[i].rgPropVals + list->aEntries[i].cValues);
    }
    Ref<IMAPISession> session;
    Ref<IAddrBook> book;
};

TEST_F(AddressBookTest, ResolvedEntriesCarryThePersonsAddressAndKeepTheirOwnValues) {
    LPADRLIST list = listOf({"bob hansen", "Carl", "SMTP:gus@example.org"});
    ASSERT_EQ(book->ResolveName(0, 0, nullptr, list), S_OK);
    const struct {
        const char* name;
        const char* address;
    } expected[] = {{"Bob Hansen", "bob@example.com"}, {"Carl Nystr\xF6m", "carl.nystrom@example.se"},
                    {"gus@example.org", "gus@example.org"}};
    for (ULONG i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        auto e = entry(list, i);
        ASSERT_NE(valueOf(e, PR_ENTRYID), nullptr);
        EXPECT_EQ(valueOf(e, PR_ENTRYID)->ulPropTag, PR_ENTRYID);
        EXPECT_STREQ(valueOf(e, PR_DISPLAY_NAME)->Value.lpszA, expected[i].name);
        EXPECT_STREQ(valueOf(e, PR_EMAIL_ADDRESS)->Value.lpszA, expected[i].address);
        EXPECT_STREQ(valueOf(e, PR_ADDRTYPE)->Value.lpszA, "SMTP");
        ASSERT_NE(valueOf(e, PR_RECIPIENT_TYPE), nullptr);
        EXPECT_EQ(valueOf(e, PR_RECIPIENT_TYPE)->Value.l, MAPI_CC) << "the caller's values stay";
    }
    // A resolved identifier opens the person in the address book.
    auto first = entry(list, 0);  // kept: the value below points into it
    const SBinary& id = valueOf(first, PR_ENTRYID)->Value.bin;
    ULONG type = 0;
    Ref<IMAPIProp> user;
    ASSERT_EQ(book->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), nullptr, 0, &type, user.unknown()), S_OK);
    EXPECT_EQ(type, MAPI_MAILUSER);
    EXPECT_EQ(textOf(user.get(), PR_EMAIL_ADDRESS), "bob@example.com");
    // Resolving again leaves resolved entries alone.
    EXPECT_EQ(book->ResolveName(0, 0, nullptr, list), S_OK);
    FreePadrlist(list);
}

TEST_F(AddressBookTest, AmbiguousAndUnknownNamesAreReportedAndLeftUnresolved) {
    struct Case {
        std::vector<std::string> names;
        HRESULT result;
        std::vector<bool> resolved;
    };
    const Case cases[] = {
        {{"Bob"}, MAPI_E_AMBIGUOUS_RECIP, {false}},
        {{"Zed Unknown"}, MAPI_E_NOT_FOUND, {false}},
        {{"Zed Unknown", "Bob Hansen"}, MAPI_E_NOT_FOUND, {false, true}},
        {{"Bob", "Zed Unknown", "dora"}, MAPI_E_AMBIGUOUS_RECIP, {false, false, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.names.front());
        LPADRLIST list = listOf(c.names);
        EXPECT_EQ(book->ResolveName(0, MAPI_DIALOG, nullptr, list), c.result);
        for (std::size_t i = 0; i < c.names.size(); ++i) {
            auto e = entry(list, static_cast<ULONG>(i));
            EXPECT_EQ(valueOf(e, PR_ENTRYID) != nullptr, c.resolved[i]) << c.names[i];
            if (!c.resolved[i]) {
                EXPECT_STREQ(valueOf(e, PR_DISPLAY_NAME)->Value.lpszA, c.names[i].c_str());
            }
        }
        FreePadrlist(list);
    }
    EXPECT_EQ(book->ResolveName(0, 0, nullptr, nullptr), MAPI_E_INVALID_PARAMETER);
}

TEST_F(AddressBookTest, EntriesThatArePartOfTheListBlockAreNotFreedByResolving) {
    // An entry whose values were allocated on the list's own block: resolving must replace
    // them without freeing a block it does not own (the list frees it).
    LPVOID block = nullptr;
    ASSERT_EQ(MAPIAllocateBuffer(static_cast<ULONG>(CbNewADRLIST(1)), &block), S_OK);
    auto* list = static_cast<LPADRLIST>(block);
    LPVOID values = nullptr;
    ASSERT_EQ(MAPIAllocateMore(sizeof(SPropValue), block, &values), S_OK);
    auto* v = static_cast<LPSPropValue>(values);
    v[0].ulPropTag = PR_DISPLAY_NAME;
    v[0].Value.lpszA = const_cast<char*>("Bob Hansen");
    list->cEntries = 1;
    list->aEntries[0] = ADRENTRY{0, 1, v};
    ASSERT_EQ(book->ResolveName(0, 0, nullptr, list), S_OK);
    EXPECT_NE(list->aEntries[0].rgPropVals, v);
    FreePadrlist(list);  // frees the new values and the list; the linked block goes with it
}

TEST_F(AddressBookTest, AllocationChainsAreFreedByOneCall) {
    LPVOID root = nullptr;
    ASSERT_EQ(MAPIAllocateBuffer(64, &root), S_OK);
    std::vector<LPVOID> linked;
    for (int i = 0; i < 10; ++i) {
        LPVOID more = nullptr;
        ASSERT_EQ(MAPIAllocateMore(1000, root, &more), S_OK);
        std::memset(more, 0xAB, 1000);
        linked.push_back(more);
    }
    LPVOID orphan = reinterpret_cast<LPVOID>(1);
    EXPECT_EQ(MAPIAllocateMore(16, linked[0], &orphan), MAPI_E_INVALID_PARAMETER) << "a linked block is no parent";
    EXPECT_EQ(orphan, nullptr);
    int local = 0;
    EXPECT_EQ(MAPIAllocateMore(16, &local, &orphan), MAPI_E_INVALID_PARAMETER);
    EXPECT_EQ(MAPIFreeBuffer(root), 0u);
    EXPECT_NE(MAPIFreeBuffer(root), 0u) << "a freed chain is not freed twice";
    EXPECT_EQ(MAPIFreeBuffer(nullptr), 0u);
    FreeProws(nullptr);
    FreePadrlist(nullptr);
    EXPECT_EQ(MAPIAllocateBuffer(16, nullptr), MAPI_E_INVALID_PARAMETER);
}

}  // namespace
}  // namespace mapitest
