// Opening messages by reference: items, recipients, read state, priority, folders; and
// references that the library did not hand out.
#include <cstring>
#include <random>

#include "VimFixture.h"

namespace vimtest {
namespace {

class MessageTest : public PostOfficeTest {
protected:
    void SetUp() override {
        PostOfficeTest::SetUp();
        if (HasFatalFailure()) return;
        session = logOn("teo", "harbour7");
        container = inbox(session);
    }
    void TearDown() override {
        if (session != nullptr) vim.CloseSession(session);
        PostOfficeTest::TearDown();
    }
    // The one message of the inbox.
    vimRef onlyRef() {
        std::vector<vimRef> refs = listRefs(container);
        EXPECT_EQ(refs.size(), 1u);
        return refs.empty() ? vimRef{} : refs[0];
    }
    // The text of the message's first text part, read in pieces of `piece` bytes; the
    // sizes delivered by each read go to `reads`.
    std::string readText(vimMsg msg, vimDWord piece, std::vector<vimDWord>& reads) {
        std::vector<vimItemDesc> items = itemsOf(msg);
        EXPECT_FALSE(items.empty());
        if (items.empty()) return std::string();
        EXPECT_EQ(items[0].Class, vimSelector(VIMSEL_NOTE_PART));
        vimMsgItem item = nullptr;
        EXPECT_EQ(vim.OpenMessageItem(msg, items[0].Ref, const_cast<char*>(VIM_TEXT), 0, &item), VIMSTS_SUCCESS);
        std::string text;
        std::vector<char> buffer(piece + 1);
        for (int guard = 0; guard < 100; ++guard) {
            vimBuffFileDesc desc{piece, buffer.data(), 0, nullptr};
            EXPECT_EQ(vim.ReadMessageItem(item, &desc), VIMSTS_SUCCESS);
            reads.push_back(desc.Size);
            text.append(buffer.data(), desc.Size);
            if (desc.Size != piece) break;
        }
        EXPECT_EQ(vim.CloseMessageItem(item), VIMSTS_SUCCESS);
        return text;
    }
    vimSes session = nullptr;
    vimMsgContainer container = nullptr;
};

TEST_F(MessageTest, TextIsReadInPiecesUpToItsLastByte) {
    // Bodies of exactly one piece, one byte more, and two pieces and a bit: the reader stops
    // at the first short read (a read of 0 bytes when the text ends on a piece boundary).
    struct Case {
        std::size_t length;
        std::vector<vimDWord> reads;
    } cases[] = {{8191, {8191, 0}}, {8192, {8191, 1}}, {20000, {8191, 8191, 3618}}, {2, {2}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.length);
        // Lines of 60 characters and CR LF, the last line ending the text: the store hands
        // bodies out with CR LF line ends, so this text comes back byte for byte.
        std::string body;
        while (body.size() < c.length) {
            std::size_t room = c.length - body.size();
            std::size_t line = room <= 62 ? room - std::min<std::size_t>(room, 2) : 60;
            body += std::string(line, static_cast<char>('a' + body.size() % 26));
            body += room - line >= 2 ? "\r\n" : "\n";
        }
        ASSERT_EQ(body.size(), c.length);
        auto store = storeOf("teo");
        vesk::store::Draft draft;
        draft.from = {"", "a@example.com"};
        draft.to = {{"", "teo.varga@example.org"}};
        draft.subject = "long";
        draft.body = body;
        auto id = store->deliver(vesk::store::kInbox, draft);
        ASSERT_TRUE(id.ok());
        auto stored = store->read(vesk::store::kInbox, *id);
        ASSERT_TRUE(stored.ok());
        ASSERT_EQ(stored->body.size(), c.length) << "the bench needs a body the store keeps as it is";
        vimMsg msg = nullptr;
        ASSERT_EQ(vim.OpenMessage(container, onlyRef(), nullptr, &msg), VIMSTS_SUCCESS);
        std::vector<vimDWord> reads;
        std::string text = readText(msg, 8191, reads);
        EXPECT_EQ(reads, c.reads);
        EXPECT_EQ(text.size(), c.length);
        EXPECT_TRUE(text == stored->body) << "the text differs from the stored body";
        EXPECT_EQ(vim.CloseMessage(msg), VIMSTS_SUCCESS);
        auto listed = store->list(vesk::store::kInbox);
        ASSERT_TRUE(listed.ok());
        for (const auto& info : *listed) store->remove(vesk::store::kInbox, info.id);
    }
}

TEST_F(MessageTest, AttachedFilesAreItemsOfClassSix) {
    deliver("teo",
            "From: a@example.com\nTo: teo\nSubject: files\nMIME-Version: 1.0\n"
            "Content-Type: multipart/mixed; boundary=b\n\n--b\nContent-Type: text/plain\n\nsee attached\n"
            "--b\nContent-Type: application/octet-stream\nContent-Disposition: attachment; filename=chart.bin\n"
            "Content-Transfer-Encoding: base64\n\nAAECAw==\n--b\nContent-Type: text/plain\n"
            "Content-Disposition: attachment; filename=rfc822.txt\n\nheaders\n--b--\n");
    vimMsg msg = nullptr;
    ASSERT_EQ(vim.OpenMessage(container, onlyRef(), nullptr, &msg), VIMSTS_SUCCESS);
    vimEnumRef pos{};
    vimItemDesc items[10];
    vimWord count = 10;
    vimBool more = VIM_TRUE;
    ASSERT_EQ(vim.EnumerateMessageItems(msg, &pos, 1, &count, items, VIMSEL_NO_FILTER, nullptr, &more), VIMSTS_SUCCESS);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(more, VIM_FALSE);
    EXPECT_EQ(items[0].Class, vimSelector(VIMSEL_NOTE_PART));
    EXPECT_EQ(items[1].Class, vimSelector(VIMSEL_ATTACH));
    EXPECT_STREQ(items[1].Name, "chart.bin");
    EXPECT_EQ(items[1].Size, 4u);
    EXPECT_STREQ(items[2].Name, "rfc822.txt");
    vimMsgItem item = nullptr;
    ASSERT_EQ(vim.OpenMessageItem(msg, items[1].Ref, nullptr, 0, &item), VIMSTS_SUCCESS);
    unsigned char bytes[16];
    vimBuffFileDesc desc{sizeof bytes, bytes, 0, nullptr};
    ASSERT_EQ(vim.ReadMessageItem(item, &desc), VIMSTS_SUCCESS);
    ASSERT_EQ(desc.Size, 4u);
    EXPECT_EQ(bytes[3], 3);
    vim.CloseMessageItem(item);

    // Only the files.
    pos = vimEnumRef{};
    count = 10;
    ASSERT_EQ(vim.EnumerateMessageItems(msg, &pos, 1, &count, items, VIMSEL_ATTACH, nullptr, &more), VIMSTS_SUCCESS);
    EXPECT_EQ(count, 2);
    // An item reference with its index changed names nothing.
    vimRef forged = items[0].Ref;
    forged.Ref[0] += 7;
    EXPECT_EQ(vim.OpenMessageItem(msg, forged, nullptr, 0, &item), VIMSTS_INVALID_OBJECT);
    EXPECT_EQ(vim.CloseMessage(msg), VIMSTS_SUCCESS);
    EXPECT_EQ(vim.OpenMessageItem(msg, items[0].Ref, nullptr, 0, &item), VIMSTS_INVALID_OBJECT) << "message closed";
}

TEST_F(MessageTest, RecipientsByClassEachWithItsOwnPosition) {
    deliver("teo", message("a@example.com", "Teo Varga <teo.varga@example.org>, b@example.com", "r", "x",
                           "Cc: Carl <carl@example.se>\n"));
    vimMsg msg = nullptr;
    ASSERT_EQ(vim.OpenMessage(container, onlyRef(), nullptr, &msg), VIMSTS_SUCCESS);
    vimRecipient people[10];
    vimAttrDesc desc{VIMSEL_RECIPIENT, sizeof(vimRecipient), people};
    struct Case {
        vimSelector recipientClass;
        std::vector<std::string> addresses;
    } cases[] = {{VIMSEL_TO, {"teo", "b@example.com"}}, {VIMSEL_CC, {"carl@example.se"}}, {VIMSEL_BCC, {}}};
    vimEnumRef toPos{};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recipientClass);
        vimEnumRef pos{};
        vimWord count = 10;
        vimBool more = VIM_TRUE;
        ASSERT_EQ(vim.EnumerateMessageRecipients(msg, c.recipientClass, &pos, 1, 1, &desc, &count, &more),
                  VIMSTS_SUCCESS);
        ASSERT_EQ(count, c.addresses.size());
        for (std::size_t i = 0; i < c.addresses.size(); ++i) EXPECT_EQ(people[i].Address.Value, c.addresses[i]);
        if (c.recipientClass == VIMSEL_TO) toPos = pos;
    }
    EXPECT_STREQ(people[0].DName.Value, "Carl");
    // A position of the To listing does not carry over to Cc.
    vimWord count = 10;
    vimBool more = VIM_FALSE;
    EXPECT_EQ(vim.EnumerateMessageRecipients(msg, VIMSEL_CC, &toPos, 1, 1, &desc, &count, &more), VIMSTS_BAD_PARAM);
    vim.CloseMessage(msg);
}

TEST_F(MessageTest, ReadStatePriorityAndFolder) {
    std::string id = deliver("teo", message("a@example.com", "teo", "state", "x"));
    vimRef ref = onlyRef();
    ASSERT_EQ(vim.MarkMessageAsRead(container, ref), VIMSTS_SUCCESS);
    EXPECT_TRUE(storeOf("teo")->find(vesk::store::kInbox, id)->seen());

    vimMsg msg = nullptr;
    ASSERT_EQ(vim.OpenMessage(container, ref, nullptr, &msg), VIMSTS_SUCCESS);
    vimWord high = VIM_HIGH_PRIORITY, bad = 7;
    EXPECT_EQ(vim.SetMessageHeader(msg, VIMSEL_PRIORITY, 2, &high), VIMSTS_SUCCESS);
    EXPECT_EQ(vim.SetMessageHeader(msg, VIMSEL_PRIORITY, 2, &bad), VIMSTS_BAD_PARAM);
    EXPECT_EQ(vim.SetMessageHeader(msg, VIMSEL_SUBJECT, 2, &high), VIMSTS_INVALID_SELECTOR);
    EXPECT_EQ(vim.CloseMessage(msg), VIMSTS_SUCCESS);
    EXPECT_EQ(storeOf("teo")->read(vesk::store::kInbox, id)->priority, vesk::store::Priority::High);

    ASSERT_EQ(vim.SetMessageCategory(container, ref, const_cast<char*>("Trash")), VIMSTS_SUCCESS);
    EXPECT_TRUE(listRefs(container).empty());
    EXPECT_EQ(vim.MarkMessageAsRead(container, ref), VIMSTS_INVALID_OBJECT) << "no longer in the mailbox";
    vimMsgContainer trash = nullptr;
    ASSERT_EQ(vim.OpenMessageContainer(session, const_cast<char*>("trash"), &trash), VIMSTS_SUCCESS);
    std::vector<vimRef> inTrash = listRefs(trash);
    ASSERT_EQ(inTrash.size(), 1u);
    EXPECT_EQ(std::memcmp(&inTrash[0], &ref, sizeof ref), 0) << "the reference stays the message's";
    EXPECT_EQ(vim.SetMessageCategory(trash, ref, const_cast<char*>("../escape")), VIMSTS_BAD_PARAM);
    EXPECT_EQ(vim.OpenMessageContainer(session, const_cast<char*>("Nowhere"), &trash), VIMSTS_NAME_NOT_FOUND);
}

TEST_F(MessageTest, ClosingAnObjectClosesWhatWasOpenedFromItAndNothingElse) {
    deliver("teo", message("a@example.com", "teo", "one", "first"));
    const vimRef ref = onlyRef();
    vimMsgContainer second = inbox(session);
    auto openText = [&](vimMsg msg) {
        vimMsgItem item = nullptr;
        EXPECT_EQ(vim.OpenMessageItem(msg, itemsOf(msg).at(0).Ref, const_cast<char*>(VIM_TEXT), 0, &item), VIMSTS_SUCCESS);
        return item;
    };
    auto isOpen = [&](vimMsgItem item) {
        char byte;
        vimBuffFileDesc desc{1, &byte, 0, nullptr};
        return vim.ReadMessageItem(item, &desc) == VIMSTS_SUCCESS;
    };
    // More opens and closes than the table has slots: every close gives its slot back and
    // takes exactly its own children along.
    for (int round = 0; round < 3000; ++round) {
        vimMsg a = nullptr, b = nullptr;
        ASSERT_EQ(vim.OpenMessage(container, ref, nullptr, &a), VIMSTS_SUCCESS) << "round " << round;
        ASSERT_EQ(vim.OpenMessage(second, ref, nullptr, &b), VIMSTS_SUCCESS);
        vimMsgItem ofA = openText(a), ofB = openText(b), alsoOfA = openText(a);
        ASSERT_EQ(vim.CloseMessageItem(alsoOfA), VIMSTS_SUCCESS);
        ASSERT_EQ(vim.CloseMessage(a), VIMSTS_SUCCESS);
        ASSERT_FALSE(isOpen(ofA)) << "round " << round << ": the item went with its message";
        ASSERT_TRUE(isOpen(ofB)) << "round " << round << ": another message's item stays";
        if (round % 2 == 0) {
            ASSERT_EQ(vim.CloseMessage(b), VIMSTS_SUCCESS);
            ASSERT_FALSE(isOpen(ofB));
        } else {
            // Closing the container takes its message and that message's item along.
            ASSERT_EQ(vim.CloseMessageContainer(second), VIMSTS_SUCCESS);
            ASSERT_FALSE(isOpen(ofB));
            EXPECT_EQ(vim.CloseMessage(b), VIMSTS_INVALID_OBJECT);
            second = inbox(session);
        }
    }
    EXPECT_EQ(listRefs(container).size(), 1u) << "the first container stayed open throughout";
    vim.CloseSession(session);
    session = nullptr;
    EXPECT_EQ(vim.CloseMessageContainer(container), VIMSTS_INVALID_OBJECT);
    EXPECT_EQ(vim.CloseMessageContainer(second), VIMSTS_INVALID_OBJECT);
}

TEST_F(MessageTest, ReferencesTheLibraryDidNotHandOutAreRefused) {
    deliver("teo", message("a@example.com", "teo", "mine", "x"));
    deliver("mira", message("a@example.com", "mira", "hers", "x"));
    vimSes other = logOn("mira", "tide4");
    vimMsgContainer hers = inbox(other);
    vimRef herRef = listRefs(hers).at(0);
    vimRef mine = onlyRef();

    std::mt19937 random(11);
    std::vector<vimRef> hostile = {vimRef{}, vimRef{{0xFFFFFFFF, 0xFFFFFFFF}}, herRef,
                                   vimRef{{mine.Ref[0] ^ 1, mine.Ref[1]}}, vimRef{{mine.Ref[1], mine.Ref[0]}}};
    for (int i = 0; i < 50; ++i) hostile.push_back(vimRef{{static_cast<vimDWord>(random()), static_cast<vimDWord>(random())}});
    for (const vimRef& ref : hostile) {
        SCOPED_TRACE(testing::Message() << std::hex << ref.Ref[0] << ":" << ref.Ref[1]);
        vimMsg msg = reinterpret_cast<vimMsg>(0x1);
        EXPECT_EQ(vim.OpenMessage(container, ref, nullptr, &msg), VIMSTS_INVALID_OBJECT);
        EXPECT_EQ(msg, nullptr);
        EXPECT_EQ(vim.MarkMessageAsRead(container, ref), VIMSTS_INVALID_OBJECT);
        EXPECT_EQ(vim.SetMessageCategory(container, ref, const_cast<char*>("Trash")), VIMSTS_INVALID_OBJECT);
    }
    EXPECT_EQ(listRefs(container).size(), 1u);
    EXPECT_EQ(listRefs(hers).size(), 1u) << "another user's message is out of reach";
    vim.CloseSession(other);
}

}  // namespace
}  // namespace vimtest
