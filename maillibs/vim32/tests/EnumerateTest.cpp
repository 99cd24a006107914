// Listing a container: batches, positions across calls, attributes element by element.
#include <cstring>
#include <set>

#include "VimFixture.h"

namespace vimtest {
namespace {

using EnumerateTest = PostOfficeTest;

TEST_F(EnumerateTest, TwentyFiveMessagesComeInBatchesOfTenTenAndFive) {
    for (int i = 0; i < 25; ++i) {
        deliver("teo", message("a@example.com", "teo.varga@example.org", "message " + std::to_string(i), "text"));
    }
    vimSes session = logOn("teo", "harbour7");
    vimMsgContainer container = inbox(session);

    vimEnumRef pos{};
    vimRef refs[10];
    char subjects[10][256];
    vimAttrDesc descs[] = {{VIMSEL_REF, sizeof(vimRef), refs}, {VIMSEL_SUBJECT, 256, subjects}};
    vimWord count = 10;
    vimBool more = VIM_FALSE;
    std::vector<int> batches;
    std::set<std::uint64_t> seen;
    std::vector<std::string> order;
    do {
        std::memset(subjects, 0x5A, sizeof subjects);
        ASSERT_EQ(vim.EnumerateMessages(container, &pos, 1, 2, descs, &count, VIMSEL_NO_FILTER, nullptr, 0, &more),
                  VIMSTS_SUCCESS);
        batches.push_back(count);
        for (int i = 0; i < count; ++i) {
            seen.insert((std::uint64_t(refs[i].Ref[1]) << 32) | refs[i].Ref[0]);
            order.emplace_back(subjects[i]);
        }
        if (count == 5) {
            // Elements past the count are not touched.
            EXPECT_EQ(static_cast<unsigned char>(subjects[5][0]), 0x5A);
        }
    } while (more && batches.size() < 5);
    EXPECT_EQ(batches, (std::vector<int>{10, 10, 5}));
    EXPECT_EQ(seen.size(), 25u) << "every message once, with its own reference";
    ASSERT_EQ(order.size(), 25u);
    EXPECT_EQ(order.front(), "message 0");
    EXPECT_EQ(order.back(), "message 24");

    // At the end: nothing more, not an error.
    EXPECT_EQ(vim.EnumerateMessages(container, &pos, 1, 2, descs, &count, VIMSEL_NO_FILTER, nullptr, 0, &more),
              VIMSTS_SUCCESS);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(more, VIM_FALSE);
    vim.CloseSession(session);
}

TEST_F(EnumerateTest, AMessageArrivingDuringAListingWaitsForTheNextOne) {
    for (int i = 0; i < 12; ++i) deliver("teo", message("a@example.com", "teo", "m" + std::to_string(i), "x"));
    vimSes session = logOn("teo", "harbour7");
    vimMsgContainer container = inbox(session);
    vimEnumRef pos{};
    vimRef refs[10];
    vimAttrDesc desc{VIMSEL_REF, sizeof(vimRef), refs};
    vimWord count = 10;
    vimBool more = VIM_FALSE;
    ASSERT_EQ(vim.EnumerateMessages(container, &pos, 1, 1, &desc, &count, 0, nullptr, 0, &more), VIMSTS_SUCCESS);
    deliver("teo", message("a@example.com", "teo", "late", "x"));
    ASSERT_EQ(vim.EnumerateMessages(container, &pos, 1, 1, &desc, &count, 0, nullptr, 0, &more), VIMSTS_SUCCESS);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(more, VIM_FALSE);
    EXPECT_EQ(listRefs(container).size(), 13u);
    vim.CloseSession(session);
}

TEST_F(EnumerateTest, HeaderAttributesOfOneMessage) {
    deliver("teo", message("Mira Sand <mira@harbour.invalid>", "teo", "Tides", "x",
                           "X-Priority: 1\nReceived: from a by b; Wed, 24 Nov 1999 17:41:00 +0100\n"));
    deliver("teo", message("Bob <bob@example.com>", "teo", "Low one", "x", "X-Priority: 5\n"), "S");
    vimSes session = logOn("teo", "harbour7");
    vimMsgContainer container = inbox(session);
    vimEnumRef pos{};
    vimWord unread[10], priority[10];
    vimRecipient from[10];
    vimDate dates[10];
    vimDWord sizes[10];
    vimAttrDesc descs[] = {{VIMSEL_UNREAD_MAIL, 2, unread},
                           {VIMSEL_FROM, sizeof(vimRecipient), from},
                           {VIMSEL_PRIORITY, 2, priority},
                           {VIMSEL_DATE, sizeof(vimDate), dates},
                           {VIMSEL_MSG_LEN, 4, sizes}};
    vimWord count = 10;
    vimBool more = VIM_TRUE;
    ASSERT_EQ(vim.EnumerateMessages(container, &pos, 1, 5, descs, &count, VIMSEL_NO_FILTER, nullptr, 0, &more),
              VIMSTS_SUCCESS);
    ASSERT_EQ(count, 2);
    EXPECT_EQ(more, VIM_FALSE);
    EXPECT_EQ(unread[0], 1);
    EXPECT_EQ(unread[1], 0);
    // A user of the post office is shown by name; anyone else by address.
    EXPECT_STREQ(from[0].Address.Value, "mira");
    EXPECT_STREQ(from[0].DName.Value, "Mira Sand");
    EXPECT_STREQ(from[1].Address.Value, "bob@example.com");
    EXPECT_EQ(priority[0], VIM_HIGH_PRIORITY);
    EXPECT_EQ(priority[1], VIM_LOW_PRIORITY);
    EXPECT_EQ(dates[0].Date >> 16, 1999u);
    EXPECT_GT(sizes[0], 0u);

    // Only unread ones.
    pos = vimEnumRef{};
    count = 10;
    ASSERT_EQ(vim.EnumerateMessages(container, &pos, 1, 5, descs, &count, VIMSEL_NO_FILTER, nullptr, VIM_UNREADONLY,
                                    &more),
              VIMSTS_SUCCESS);
    EXPECT_EQ(count, 1);
    vim.CloseSession(session);
}

// Each row: an argument that makes the call fail, and the status it must give.
TEST_F(EnumerateTest, BadArgumentsAreRefusedAndDeliverNothing) {
    deliver("teo", message("a@example.com", "teo", "one", "x"));
    vimSes session = logOn("teo", "harbour7");
    vimMsgContainer container = inbox(session);
    vimMsgContainer trash = nullptr;
    ASSERT_EQ(vim.OpenMessageContainer(session, const_cast<char*>("Trash"), &trash), VIMSTS_SUCCESS);
    vimRef refs[10];
    vimAttrDesc desc{VIMSEL_REF, sizeof(vimRef), refs};
    vimAttrDesc tooSmall{VIMSEL_REF, 4, refs};
    vimAttrDesc unknown{VIMSEL_COMMENTS, 256, refs};
    vimAttrDesc noBuffer{VIMSEL_REF, sizeof(vimRef), nullptr};

    // A position that came from the Trash listing.
    vimEnumRef trashPos{};
    vimWord count = 10;
    vimBool more = VIM_FALSE;
    ASSERT_EQ(vim.EnumerateMessages(trash, &trashPos, 1, 1, &desc, &count, 0, nullptr, 0, &more), VIMSTS_SUCCESS);

    struct Case {
        const char* what;
        vimEnumRef pos;
        vimInt skip;
        vimAttrDesc* desc;
        vimWord count;
        vimSelector filter;
        vimStatus expected;
    } cases[] = {
        {"skip 0", {}, 0, &desc, 10, 0, VIMSTS_BAD_PARAM},
        {"count 0", {}, 1, &desc, 0, 0, VIMSTS_BAD_PARAM},
        {"a reference element too small", {}, 1, &tooSmall, 10, 0, VIMSTS_BUF_TOO_SMALL},
        {"an attribute a listing has not", {}, 1, &unknown, 10, 0, VIMSTS_INVALID_SELECTOR},
        {"no buffer", {}, 1, &noBuffer, 10, 0, VIMSTS_ALL_PARAMS_REQUIRED},
        {"an unknown filter", {}, 1, &desc, 10, VIMSEL_SUBJECT, VIMSTS_INVALID_SELECTOR},
        {"a position of another container", trashPos, 1, &desc, 10, 0, VIMSTS_BAD_PARAM},
        {"a made-up position", {{3, 0xDEADBEEF}}, 1, &desc, 10, 0, VIMSTS_BAD_PARAM},
    };
    for (Case& c : cases) {
        SCOPED_TRACE(c.what);
        vimWord n = c.count;
        vimBool m = VIM_TRUE;
        EXPECT_EQ(vim.EnumerateMessages(container, &c.pos, c.skip, 1, c.desc, &n, c.filter, nullptr, 0, &m), c.expected);
        EXPECT_EQ(n, 0);
        EXPECT_EQ(m, VIM_FALSE);
    }
    vim.CloseSession(session);
}

TEST_F(EnumerateTest, FolderNamesOfTheMailbox) {
    vimSes session = logOn("teo", "harbour7");
    vimMsgContainer container = inbox(session);
    char names[10][256];
    vimEnumRef pos{};
    vimWord count = 10;
    vimBool more = VIM_TRUE;
    ASSERT_EQ(vim.EnumerateMsgAttrValues(container, VIMSEL_CATEGORY, &pos, 1, 256, &names[0][0], &count, &more),
              VIMSTS_SUCCESS);
    ASSERT_EQ(count, 1);
    EXPECT_STREQ(names[0], "Trash");
    EXPECT_EQ(more, VIM_FALSE);
    vim.CloseSession(session);
}

}  // namespace
}  // namespace vimtest

namespace vimtest {
namespace {

// Mail on disk was written by other programs: whatever a file holds, it is listed and opens.
TEST_F(EnumerateTest, FilesThatAreHardlyMessagesAreStillListedAndOpened) {
    const std::string files[] = {"", "no header, no blank line", std::string("\x01\x02\xff\xfe binary\0bytes", 18),
                                 "Subject: only a header", "Content-Type: multipart/mixed\n\nno boundary at all"};
    for (const std::string& bytes : files) deliver("teo", bytes);
    vimSes session = logOn("teo", "harbour7");
    vimMsgContainer container = inbox(session);
    std::vector<vimRef> refs = listRefs(container);
    ASSERT_EQ(refs.size(), std::size(files));
    int textParts = 0;
    for (const vimRef& ref : refs) {
        vimMsg msg = nullptr;
        EXPECT_EQ(vim.OpenMessage(container, ref, nullptr, &msg), VIMSTS_SUCCESS);
        for (const vimItemDesc& item : itemsOf(msg)) textParts += item.Class == VIMSEL_NOTE_PART ? 1 : 0;
        EXPECT_EQ(vim.CloseMessage(msg), VIMSTS_SUCCESS);
    }
    EXPECT_GE(textParts, 2) << "the files without a header show their bytes as text";
    vim.CloseSession(session);
}

}  // namespace
}  // namespace vimtest
