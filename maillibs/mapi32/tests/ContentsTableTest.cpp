// Contents tables: batches from a cursor, the columns asked for, rows lacking a column,
// restrictions as callers write them, and HrQueryAllRows over them.
#include <fstream>

#include "MapixFixture.h"

namespace mapitest {
namespace {

class ContentsTableTest : public MapixTest {
protected:
    void SetUp() override {
        MapixTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        for (int i = 0; i < 25; ++i) {
            std::string subject = (i % 5 == 0 ? "Invoice " : "Note ") + std::to_string(i);
            deliver("anna", message("Bob Hansen <bob@example.com>", "anna.berg@example.org", subject, "Body"),
                    i % 2 == 0 ? "S" : "");
        }
        *session.out() = logOnEx("Anna");
        *store.out() = openDefaultStore(session.get());
        *inbox.out() = openInbox(store.get());
        ASSERT_TRUE(inbox);
        ASSERT_EQ(inbox->GetContentsTable(0, table.out()), S_OK);
    }
    Ref<IMAPISession> session;
    Ref<IMsgStore> store;
    Ref<IMAPIFolder> inbox;
    Ref<IMAPITable> table;
};

TEST_F(ContentsTableTest, RowsComeInBatchesWithTheColumnsSet) {
    Tags columns({PR_ENTRYID, PR_SUBJECT, PR_MESSAGE_FLAGS, PR_ATTACH_NUM, PR_NULL});
    ASSERT_EQ(table->SetColumns(columns.get(), 0), S_OK);
    ULONG count = 0;
    ASSERT_EQ(table->GetRowCount(0, &count), S_OK);
    EXPECT_EQ(count, 25u);
    std::vector<ULONG> batches;
    std::vector<std::string> subjects;
    for (;;) {
        LPSRowSet rows = nullptr;
        ASSERT_EQ(table->QueryRows(10, 0, &rows), S_OK);
        ULONG n = rows->cRows;
        batches.push_back(n);
        for (ULONG i = 0; i < n; ++i) {
            const SRow& row = rows->aRow[i];
            ASSERT_EQ(row.cValues, 5u);
            EXPECT_EQ(row.lpProps[0].ulPropTag, PR_ENTRYID);
            EXPECT_EQ(row.lpProps[1].ulPropTag, PR_SUBJECT);
            EXPECT_EQ(row.lpProps[2].ulPropTag, PR_MESSAGE_FLAGS);
            EXPECT_EQ(row.lpProps[3].ulPropTag, CHANGE_PROP_TYPE(PR_ATTACH_NUM, PT_ERROR));
            EXPECT_EQ(row.lpProps[3].Value.err, MAPI_E_NOT_FOUND);
            EXPECT_EQ(row.lpProps[4].ulPropTag, PR_NULL);
            subjects.emplace_back(row.lpProps[1].Value.lpszA);
        }
        FreeProws(rows);
        if (n == 0) break;
    }
    EXPECT_EQ(batches, (std::vector<ULONG>{10, 10, 5, 0}));
    ASSERT_EQ(subjects.size(), 25u);
    EXPECT_EQ(subjects.front(), "Invoice 0") << "oldest delivery first";
    EXPECT_EQ(subjects.back(), "Note 24");

    LPSRowSet none = nullptr;
    EXPECT_EQ(table->QueryRows(0, 0, &none), MAPI_E_INVALID_PARAMETER);
    Tags empty({});
    EXPECT_EQ(table->SetColumns(empty.get(), 0), MAPI_E_INVALID_PARAMETER);
}

TEST_F(ContentsTableTest, RestrictionsSelectTheRowsCallersAskFor) {
    SPropValue invoice{};
    invoice.ulPropTag = PR_SUBJECT;
    invoice.Value.lpszA = const_cast<char*>("INVOICE");
    SRestriction subject{};
    subject.rt = RES_CONTENT;
    subject.res.resContent = SContentRestriction{FL_SUBSTRING | FL_IGNORECASE, PR_SUBJECT, &invoice};
    SRestriction unread{};
    unread.rt = RES_BITMASK;
    unread.res.resBitMask = SBitMaskRestriction{BMR_EQZ, PR_MESSAGE_FLAGS, MSGFLAG_READ};
    SRestriction notUnread{};
    notUnread.rt = RES_NOT;
    notUnread.res.resNot = SNotRestriction{0, &unread};
    SRestriction both[2] = {subject, notUnread};
    SRestriction readInvoices{};
    readInvoices.rt = RES_AND;
    readInvoices.res.resAnd = SAndRestriction{2, both};
    SPropValue size{};
    size.ulPropTag = PR_MESSAGE_SIZE;
    size.Value.l = 0;
    SRestriction bigger{};
    bigger.rt = RES_PROPERTY;
    bigger.res.resProperty = SPropertyRestriction{RELOP_GT, PR_MESSAGE_SIZE, &size};
    SRestriction exists{};
    exists.rt = RES_EXIST;
    exists.res.resExist = SExistRestriction{0, PR_ATTACH_NUM, 0};

    const std::pair<SRestriction*, ULONG> cases[] = {
        {&subject, 5}, {&unread, 12}, {&readInvoices, 3}, {&bigger, 25}, {&exists, 0}};
    for (const auto& [restriction, expected] : cases) {
        Tags tags({PR_SUBJECT});
        LPSRowSet rows = nullptr;
        ASSERT_EQ(HrQueryAllRows(table.get(), tags.get(), restriction, nullptr, 0, &rows), S_OK);
        EXPECT_EQ(rows->cRows, expected);
        FreeProws(rows);
        // The restriction stays on the table until another replaces it (or none does).
        ULONG count = 0;
        ASSERT_EQ(table->GetRowCount(0, &count), S_OK);
        EXPECT_EQ(count, expected);
        ASSERT_EQ(table->Restrict(nullptr, 0), S_OK);
        ASSERT_EQ(table->GetRowCount(0, &count), S_OK);
        EXPECT_EQ(count, 25u);
    }
    SRestriction deep{};
    deep.rt = RES_SUBRESTRICTION;
    EXPECT_EQ(table->Restrict(&deep, 0), MAPI_E_TOO_COMPLEX);
    // A tree nested deeper than anyone writes is refused, not followed to the end.
    std::vector<SRestriction> chain(64);
    for (std::size_t i = 0; i + 1 < chain.size(); ++i) {
        chain[i].rt = RES_NOT;
        chain[i].res.resNot = SNotRestriction{0, &chain[i + 1]};
    }
    chain.back() = exists;
    EXPECT_EQ(table->Restrict(chain.data(), 0), MAPI_E_TOO_COMPLEX);
}

TEST_F(ContentsTableTest, HrQueryAllRowsRespectsTheRowLimitAndSortOrder) {
    Tags tags({PR_SUBJECT});
    LPSRowSet rows = reinterpret_cast<LPSRowSet>(1);
    EXPECT_EQ(HrQueryAllRows(table.get(), tags.get(), nullptr, nullptr, 24, &rows), MAPI_E_TABLE_TOO_BIG);
    EXPECT_EQ(rows, nullptr);
    ASSERT_EQ(HrQueryAllRows(table.get(), tags.get(), nullptr, nullptr, 25, &rows), S_OK);
    EXPECT_EQ(rows->cRows, 25u);
    FreeProws(rows);

    struct {
        ULONG cSorts, cCategories, cExpanded;
        SSortOrder aSort[1];
    } bySubject{1, 0, 0, {{PR_SUBJECT, TABLE_SORT_DESCEND}}};
    ASSERT_EQ(HrQueryAllRows(table.get(), tags.get(), nullptr, reinterpret_cast<LPSSortOrderSet>(&bySubject), 0, &rows),
              S_OK);
    ASSERT_EQ(rows->cRows, 25u);
    EXPECT_STREQ(rows->aRow[0].lpProps[0].Value.lpszA, "Note 9");
    EXPECT_STREQ(rows->aRow[24].lpProps[0].Value.lpszA, "Invoice 0");
    FreeProws(rows);
    EXPECT_EQ(HrQueryAllRows(nullptr, tags.get(), nullptr, nullptr, 0, &rows), MAPI_E_INVALID_PARAMETER);
}

TEST_F(ContentsTableTest, AMessageFileThatCannotBeReadStillHasItsRow) {
    auto listing = storeOf("anna")->list(vesk::store::kInbox);
    ASSERT_TRUE(listing.ok());
    // Replace one message by bytes no mail program wrote.
    std::string path;
    for (const auto& f : filesBelow(maildirOf("anna"))) {
        if (f.filename().string().rfind((*listing)[3].id, 0) == 0) path = f.string();
    }
    ASSERT_FALSE(path.empty());
    { std::ofstream(path, std::ios::binary | std::ios::trunc) << std::string("\0\x01\x02\xff", 4); }
    Ref<IMAPITable> fresh;
    ASSERT_EQ(inbox->GetContentsTable(0, fresh.out()), S_OK);
    auto rows = allRows(fresh.get(), {PR_ENTRYID, PR_MESSAGE_FLAGS});
    EXPECT_EQ(rows.size(), 25u);
    for (const auto& row : rows) EXPECT_EQ(row[0].ulPropTag, PR_ENTRYID);
}

}  // namespace
}  // namespace mapitest
