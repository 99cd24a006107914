// MAPIResolveName and MAPIFreeBuffer.
#include <cstdlib>
#include <cstring>

#include "MapiFixture.h"

namespace mapitest {
namespace {

struct ResolveCase {
    const char* query;
    ULONG expected;
    const char* name;     // of the entry found
    const char* address;
};

class ResolveNameTest : public MailboxTest, public ::testing::WithParamInterface<ResolveCase> {};

TEST_P(ResolveNameTest, LooksNamesUpInTheAddressBookAndTheOwnIdentity) {
    const ResolveCase& c = GetParam();
    SCOPED_TRACE(c.query);
    LHANDLE session = logOn("anna", "s3cret");
    lpMapiRecipDesc r = reinterpret_cast<lpMapiRecipDesc>(0x1);
    ASSERT_EQ(MAPIResolveName(session, 0, const_cast<char*>(c.query), 0, 0, &r), c.expected);
    if (c.expected == SUCCESS_SUCCESS) {
        EXPECT_STREQ(r->lpszName, c.name);
        EXPECT_STREQ(r->lpszAddress, c.address);
        EXPECT_EQ(r->ulRecipClass, ULONG(MAPI_TO));
        ASSERT_GT(r->ulEIDSize, 0u);
        // The entry identifier sends to the same person.
        MapiRecipDesc byId{0, MAPI_TO, nullptr, nullptr, r->ulEIDSize, r->lpEntryID};
        MapiMessage m{};
        m.nRecipCount = 1;
        m.lpRecips = &byId;
        EXPECT_EQ(MAPISendMail(session, 0, &m, 0, 0), SUCCESS_SUCCESS);
        EXPECT_EQ(MAPIFreeBuffer(r), SUCCESS_SUCCESS);
    } else {
        EXPECT_EQ(r, reinterpret_cast<lpMapiRecipDesc>(0x1)) << "nothing handed out";
    }
    MAPILogoff(session, 0, 0, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Book, ResolveNameTest,
    ::testing::Values(
        // Whole names and addresses, without regard to case.
        ResolveCase{"Bob Hansen", SUCCESS_SUCCESS, "Bob Hansen", "bob@example.com"},
        ResolveCase{"bob hansen", SUCCESS_SUCCESS, "Bob Hansen", "bob@example.com"},
        ResolveCase{"BOBBY@EXAMPLE.NET", SUCCESS_SUCCESS, "Bobby Tables", "bobby@example.net"},
        ResolveCase{"smtp:bob@example.com", SUCCESS_SUCCESS, "Bob Hansen", "bob@example.com"},
        ResolveCase{"Bob Hansen <bob@example.com>", SUCCESS_SUCCESS, "Bob Hansen", "bob@example.com"},
        // A whole name wins over entries that merely contain it.
        ResolveCase{"dora@example.net", SUCCESS_SUCCESS, "dora@example.net", "dora@example.net"},
        // Parts of names, and names outside ASCII (Windows-1252).
        ResolveCase{"nystr\xf6m", SUCCESS_SUCCESS, "Carl Nystr\xf6m", "carl.nystrom@example.se"},
        ResolveCase{"Tables", SUCCESS_SUCCESS, "Bobby Tables", "bobby@example.net"},
        // The account's own identity.
        ResolveCase{"Anna", SUCCESS_SUCCESS, "Anna Berg", "anna.berg@example.org"},
        // No match, several matches, nothing asked.
        ResolveCase{"Zacharias", MAPI_E_UNKNOWN_RECIPIENT, nullptr, nullptr},
        ResolveCase{"", MAPI_E_UNKNOWN_RECIPIENT, nullptr, nullptr},
        ResolveCase{"bob", MAPI_E_AMBIGUOUS_RECIPIENT, nullptr, nullptr},
        ResolveCase{"example", MAPI_E_AMBIGUOUS_RECIPIENT, nullptr, nullptr}),
    [](const ::testing::TestParamInfo<ResolveCase>& row) { return "Case" + std::to_string(row.index); });

TEST_F(MailboxTest, ResolveNameNeedsASessionAndAnOutput) {
    lpMapiRecipDesc r = nullptr;
    EXPECT_EQ(MAPIResolveName(12345, 0, const_cast<char*>("Bob Hansen"), 0, 0, &r), MAPI_E_INVALID_SESSION);
    LHANDLE session = logOn("anna", "s3cret");
    EXPECT_EQ(MAPIResolveName(session, 0, const_cast<char*>("Bob Hansen"), 0, 0, nullptr), MAPI_E_FAILURE);
    EXPECT_EQ(MAPIResolveName(session, 0, nullptr, 0, 0, &r), MAPI_E_UNKNOWN_RECIPIENT);
    MAPILogoff(session, 0, 0, 0);
    // Session 0: a temporary one on the default account, which here needs a password.
    EXPECT_EQ(MAPIResolveName(0, 0, const_cast<char*>("Bob Hansen"), 0, 0, &r), MAPI_E_LOGIN_FAILURE);
}

TEST_F(MailboxTest, FreeBufferRefusesWhatItDidNotHandOut) {
    EXPECT_EQ(MAPIFreeBuffer(nullptr), SUCCESS_SUCCESS);
    int onTheStack = 0;
    EXPECT_EQ(MAPIFreeBuffer(&onTheStack), MAPI_E_FAILURE);
    void* heap = std::malloc(16);
    EXPECT_EQ(MAPIFreeBuffer(heap), MAPI_E_FAILURE);
    std::free(heap);

    LHANDLE session = logOn("anna", "s3cret");
    lpMapiRecipDesc r = nullptr;
    ASSERT_EQ(MAPIResolveName(session, 0, const_cast<char*>("Bob Hansen"), 0, 0, &r), SUCCESS_SUCCESS);
    EXPECT_EQ(MAPIFreeBuffer(r->lpszName), MAPI_E_FAILURE) << "only the whole structure is freed";
    EXPECT_STREQ(r->lpszName, "Bob Hansen") << "and a refused pointer is left alone";
    EXPECT_EQ(MAPIFreeBuffer(r), SUCCESS_SUCCESS);
    EXPECT_EQ(MAPIFreeBuffer(r), MAPI_E_FAILURE) << "a second free is refused";
    MAPILogoff(session, 0, 0, 0);
}

}  // namespace
}  // namespace mapitest
