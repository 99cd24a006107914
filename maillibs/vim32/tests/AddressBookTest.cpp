// The address books: listing, opening, finding entries and reading them.
#include <cstring>

#include "VimFixture.h"

namespace vimtest {
namespace {

class AddressBookTest : public VimFixture {
protected:
    void SetUp() override {
        VimFixture::SetUp();
        if (HasFatalFailure()) return;
        makeStandardPostOffice();
        ASSERT_EQ(tool({"addentry", postOffice, "teo", "Bob Hansen", "bob@example.com"}), 0);
        session = logOn("teo", "harbour7");
    }
    void TearDown() override {
        if (session != nullptr) vim.CloseSession(session);
        VimFixture::TearDown();
    }
    std::vector<std::string> books() {
        std::vector<std::string> names;
        vimEnumRef pos{};
        char buffer[10][256];
        vimAttrDesc desc{VIMSEL_NAME, 256, buffer};
        vimWord count = 1;  // one at a time: the position must carry the listing on
        vimBool more = VIM_TRUE;
        while (more && vim.EnumerateAddressBooks(session, &pos, 1, 1, &desc, &count, &more) == VIMSTS_SUCCESS &&
               names.size() < 10) {
            for (int i = 0; i < count; ++i) names.emplace_back(buffer[i]);
        }
        return names;
    }
    vimSes session = nullptr;
};

TEST_F(AddressBookTest, EntriesFoundAndNotFound) {
    std::vector<std::string> names = books();
    ASSERT_EQ(names.size(), 2u);
    struct Case {
        std::size_t book;
        const char* text;
        vimStatus expected;
        const char* name;
        const char* address;
    } cases[] = {
        {0, "mira", VIMSTS_SUCCESS, "mira", "mira"},
        {0, "MIRA SAND", VIMSTS_SUCCESS, "mira", "mira"},  // by display name, any case
        {0, "teo varga", VIMSTS_SUCCESS, "teo", "teo"},
        {0, "bob hansen", VIMSTS_NO_MATCH, "", ""},
        {1, "bob hansen", VIMSTS_SUCCESS, "Bob Hansen", "bob@example.com"},
        {1, "mira", VIMSTS_NO_MATCH, "", ""},
        {1, "", VIMSTS_NO_MATCH, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(names[c.book] + ": " + c.text);
        vimAddressBook book = nullptr;
        ASSERT_EQ(vim.OpenAddressBook(session, const_cast<char*>(names[c.book].c_str()), &book), VIMSTS_SUCCESS);
        vimRef entry{};
        EXPECT_EQ(vim.MatchAddressBook(book, vimRef{}, nullptr, VIMSEL_NAME, const_cast<char*>(c.text), VIMSEL_FULL,
                                       &entry, nullptr),
                  c.expected);
        if (c.expected == VIMSTS_SUCCESS) {
            char name[256], comments[256];
            vimAddress address;
            std::memset(&address, 0x5A, sizeof address);
            vimAttrDesc descs[] = {{VIMSEL_NAME, 256, name},
                                   {VIMSEL_ADDRESS, sizeof address, &address},
                                   {VIMSEL_COMMENTS, 256, comments}};
            ASSERT_EQ(vim.GetABEntryAttributes(book, entry, nullptr, 3, descs), VIMSTS_SUCCESS);
            EXPECT_STREQ(name, c.name);
            EXPECT_STREQ(reinterpret_cast<const char*>(&address) + 4, c.address) << "the text at the fifth byte";
            EXPECT_EQ(address.Type, vimSelector(VIMSEL_NATIVE));
            // The same entry's reference, forged: refused.
            vimRef forged{{entry.Ref[0] + 5, entry.Ref[1]}};
            EXPECT_EQ(vim.GetABEntryAttributes(book, forged, nullptr, 3, descs), VIMSTS_INVALID_OBJECT);
        }
        EXPECT_EQ(vim.CloseAddressBook(book), VIMSTS_SUCCESS);
    }
}

TEST_F(AddressBookTest, PartialMatchAndUnknownBooks) {
    vimAddressBook book = nullptr;
    ASSERT_EQ(vim.OpenAddressBook(session, nullptr, &book), VIMSTS_SUCCESS) << "no name: the directory";
    vimRef entry{};
    EXPECT_EQ(vim.MatchAddressBook(book, vimRef{}, nullptr, VIMSEL_NAME, const_cast<char*>("mi"), VIMSEL_PARTIAL,
                                   &entry, nullptr),
              VIMSTS_SUCCESS);
    EXPECT_EQ(vim.MatchAddressBook(book, vimRef{}, nullptr, VIMSEL_NAME, const_cast<char*>("mi"), VIMSEL_FULL, &entry,
                                   nullptr),
              VIMSTS_NO_MATCH);
    EXPECT_EQ(vim.MatchAddressBook(book, vimRef{}, nullptr, VIMSEL_SUBJECT, const_cast<char*>("mi"), VIMSEL_FULL,
                                   &entry, nullptr),
              VIMSTS_INVALID_SELECTOR);
    vim.CloseAddressBook(book);
    EXPECT_EQ(vim.CloseAddressBook(book), VIMSTS_INVALID_OBJECT);
    EXPECT_EQ(vim.OpenAddressBook(session, const_cast<char*>("Somebody Else's"), &book), VIMSTS_NAME_NOT_FOUND);
    EXPECT_EQ(book, nullptr);
}

}  // namespace
}  // namespace vimtest
