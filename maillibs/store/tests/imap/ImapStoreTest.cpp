// Every store operation against a real server, each change checked through a second client,
// and the second client's changes seen by the store.
#include <sys/stat.h>

#include <algorithm>

#include "ImapTestFixture.h"

namespace vesk::store::test {
namespace {

std::vector<std::string> idsOf(const std::vector<MessageInfo>& infos) {
    std::vector<std::string> out;
    for (const MessageInfo& i : infos) out.push_back(i.id);
    return out;
}

Draft draftWith(const std::string& subject) {
    Draft d;
    d.from = {"Ann Example", "ann@example.org"};
    d.to = {{"Bob", "bob@example.org"}};
    d.bcc = {{"", "carol@example.org"}};
    d.subject = subject;
    d.body = "First line\r\nSecond line\r\n";
    return d;
}

// Both ways in: TLS from the first byte, and STARTTLS on the plain port.
class ImapConnectTest : public ImapTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ImapConnectTest, OpensAndListsTheInbox) {
    auto p = peer();
    std::uint32_t uid = p->append("INBOX", message("greeting"));
    auto store = open(GetParam());
    ASSERT_TRUE(store);
    auto folders = store->folders();
    ASSERT_TRUE(folders.ok());
    EXPECT_EQ(folders->front(), kInbox);
    auto listed = store->list(kInbox);
    ASSERT_TRUE(listed.ok()) << problems();
    ASSERT_EQ(listed->size(), 1u);
    EXPECT_EQ(listed->front().id, idOf("INBOX", uid));
    EXPECT_TRUE(isValidId(listed->front().id));
}

INSTANTIATE_TEST_SUITE_P(Tls, ImapConnectTest, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Imaps" : "StartTls"; });

TEST_F(ImapTest, ListsThePeersMessagesWithFlagsSizesAndOrder) {
    auto p = peer();
    std::uint32_t a = p->append("INBOX", message("first"), "\\Seen \\Answered");
    std::uint32_t b = p->append("INBOX", message("second"), "\\Flagged \\Draft");
    std::uint32_t c = p->append("INBOX", message("third"), "$Forwarded \\Deleted");
    auto store = open();
    auto listed = store->list(kInbox);
    ASSERT_TRUE(listed.ok());
    ASSERT_EQ(listed->size(), 3u);
    EXPECT_EQ(idsOf(*listed), (std::vector<std::string>{idOf("INBOX", a), idOf("INBOX", b), idOf("INBOX", c)}));
    EXPECT_EQ((*listed)[0].flags, "RS");
    EXPECT_EQ((*listed)[1].flags, "DF");
    EXPECT_EQ((*listed)[2].flags, "PT");
    EXPECT_EQ((*listed)[0].size, message("first").size());
    EXPECT_GT((*listed)[0].delivered, 0);
    for (const MessageInfo& i : *listed) EXPECT_EQ(i.key, keyOfId(i.id));
    auto byKey = store->findByKey(kInbox, (*listed)[1].key);
    ASSERT_TRUE(byKey.ok());
    EXPECT_EQ(byKey->id, (*listed)[1].id);
    EXPECT_EQ(store->findByKey(kInbox, 12345).status(), Status::NotFound);
    EXPECT_EQ(store->list("Nowhere").status(), Status::NotFound);
    EXPECT_EQ(store->find(kInbox, "../x").status(), Status::InvalidArgument);
}

TEST_F(ImapTest, ReadsMessagesAttachmentsAndRawBytes) {
    auto p = peer();
    std::string withFile =
        "From: ann@example.org\r\nSubject: files\r\nMIME-Version: 1.0\r\n"
        "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n--b\r\nContent-Type: text/plain\r\n\r\nsee file\r\n"
        "--b\r\nContent-Type: application/octet-stream\r\nContent-Disposition: attachment; filename=\"a.bin\"\r\n"
        "Content-Transfer-Encoding: base64\r\n\r\naGVsbG8=\r\n--b--\r\n";
    std::uint32_t plain = p->append("INBOX", message("plain", "Body text"), "\\Seen");
    std::uint32_t files = p->append("INBOX", withFile);
    auto store = open();
    auto m = store->read(kInbox, idOf("INBOX", plain));
    ASSERT_TRUE(m.ok()) << problems();
    EXPECT_EQ(m->subject, "plain");
    EXPECT_EQ(m->from.address, "ann@example.org");
    EXPECT_EQ(m->body, "Body text\r\n");
    EXPECT_TRUE(m->read);
    auto headers = store->read(kInbox, idOf("INBOX", plain), ReadMode::Headers);
    ASSERT_TRUE(headers.ok());
    EXPECT_TRUE(headers->body.empty());
    EXPECT_EQ(headers->subject, "plain");
    auto f = store->read(kInbox, idOf("INBOX", files));
    ASSERT_TRUE(f.ok());
    ASSERT_EQ(f->attachments.size(), 1u);
    EXPECT_EQ(f->attachments[0].name, "a.bin");
    auto bytes = store->attachment(kInbox, idOf("INBOX", files), 0);
    ASSERT_TRUE(bytes.ok());
    EXPECT_EQ(*bytes, "hello");
    EXPECT_EQ(store->attachment(kInbox, idOf("INBOX", files), 1).status(), Status::NotFound);
    auto raw = store->readRaw(kInbox, idOf("INBOX", files));
    ASSERT_TRUE(raw.ok());
    p->select("INBOX");
    EXPECT_EQ(*raw, p->fetch(files));
    // Reading does not mark anything read on the server.
    EXPECT_EQ(p->flags(files), "");
}

TEST_F(ImapTest, AReadMessageIsNeverFetchedAgain) {
    auto p = peer();
    std::vector<std::string> ids;
    for (int i = 0; i < 5; ++i) ids.push_back(idOf("INBOX", p->append("INBOX", message("m" + std::to_string(i)))));
    {
        auto store = open();
        ASSERT_TRUE(store->list(kInbox).ok());
        for (const std::string& id : ids) ASSERT_TRUE(store->read(kInbox, id).ok());
    }
    // A new store lists again, then reads everything with the server gone: all of it comes
    // from the parse cache in the state folder.
    auto store = open();
    ASSERT_TRUE(store->list(kInbox).ok());
    m_server->kill();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        auto m = store->read(kInbox, ids[i]);
        ASSERT_TRUE(m.ok()) << ids[i];
        EXPECT_EQ(m->subject, "m" + std::to_string(i));
    }
}

TEST_F(ImapTest, FlagChangesGoBothWays) {
    auto p = peer();
    std::uint32_t uid = p->append("INBOX", message("flags"));
    std::string id = idOf("INBOX", uid);
    auto store = open();
    ASSERT_TRUE(store->list(kInbox).ok());
    ASSERT_EQ(store->setFlags(kInbox, id, "SF", ""), Status::Ok) << problems();
    p->select("INBOX");
    EXPECT_EQ(p->flags(uid), "\\Flagged \\Seen");
    ASSERT_EQ(store->setFlags(kInbox, id, "R", "F"), Status::Ok);
    EXPECT_EQ(p->flags(uid), "\\Answered \\Seen");
    EXPECT_EQ(store->find(kInbox, id)->flags, "RS");
    // The peer's change shows in the next listing.
    p->storeFlags(uid, "\\Seen", false);
    p->storeFlags(uid, "\\Flagged", true);
    auto listed = store->list(kInbox);
    ASSERT_TRUE(listed.ok());
    EXPECT_EQ(listed->front().flags, "FR");
    EXPECT_FALSE(store->read(kInbox, id)->read);
    EXPECT_EQ(store->setFlags(kInbox, id, "1", ""), Status::InvalidArgument);
}

TEST_F(ImapTest, TheStoreSeesThePeersNewAndExpungedMessages) {
    auto p = peer();
    std::uint32_t a = p->append("INBOX", message("stays"));
    std::uint32_t b = p->append("INBOX", message("goes"));
    auto store = open();
    ASSERT_EQ(store->list(kInbox)->size(), 2u);
    p->select("INBOX");
    p->expunge(b);
    std::uint32_t c = p->append("INBOX", message("arrives"));
    auto listed = store->list(kInbox);
    ASSERT_TRUE(listed.ok());
    EXPECT_EQ(idsOf(*listed), (std::vector<std::string>{idOf("INBOX", a), idOf("INBOX", c)}));
    // Known by identifier even before a listing shows it.
    std::uint32_t d = p->append("INBOX", message("latest"));
    auto found = store->find(kInbox, idOf("INBOX", d));
    ASSERT_TRUE(found.ok());
    EXPECT_EQ(store->read(kInbox, idOf("INBOX", d))->subject, "latest");
}

// The next sync starts from the listing the last one kept in the state folder: what the peer
// changed in between (a flag, a new message, an expunged one) must all show.
TEST_F(ImapTest, ANewStoreSeesEveryChangeSinceTheKeptListing) {
    auto p = peer();
    std::uint32_t a = p->append("INBOX", message("a"));
    std::uint32_t b = p->append("INBOX", message("b"));
    std::uint32_t c = p->append("INBOX", message("c"));
    ASSERT_EQ(open()->list(kInbox)->size(), 3u);
    auto kept = filesIn(options().stateDir);
    EXPECT_NE(std::find(kept.begin(), kept.end(), "vesk-imap-list-494e424f58"), kept.end());  // hex of INBOX
    // Only a flag changes: the kept listing plus the changes since.
    p->select("INBOX");
    p->storeFlags(a, "\\Seen", true);
    {
        auto store = open();
        auto listed = store->list(kInbox);
        ASSERT_TRUE(listed.ok());
        ASSERT_EQ(listed->size(), 3u);
        EXPECT_EQ((*listed)[0].flags, "S");
        EXPECT_EQ((*listed)[1].flags, "");
    }
    // A message comes, one goes.
    p->expunge(b);
    std::uint32_t d = p->append("INBOX", message("d"));
    auto store = open();
    auto listed = store->list(kInbox);
    ASSERT_TRUE(listed.ok());
    EXPECT_EQ(idsOf(*listed), (std::vector<std::string>{idOf("INBOX", a), idOf("INBOX", c), idOf("INBOX", d)}));
    EXPECT_EQ((*listed)[0].flags, "S");
    // Unchanged: the same again.
    EXPECT_EQ(idsOf(*open()->list(kInbox)), idsOf(*listed));
}

TEST_F(ImapTest, DeliverAppendsAndCreatesTheFolder) {
    auto store = open();
    auto id = store->deliver("Sent", draftWith("composed"), "S");
    ASSERT_TRUE(id.ok()) << problems();
    auto p = peer();
    auto boxes = p->mailboxes();
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), "Sent"), boxes.end());
    p->select("Sent");
    auto uids = p->uids();
    ASSERT_EQ(uids.size(), 1u);
    EXPECT_EQ(*id, idOf("Sent", uids[0]));
    EXPECT_EQ(p->flags(uids[0]), "\\Seen");
    std::string bytes = p->fetch(uids[0]);
    EXPECT_NE(bytes.find("Subject: composed"), std::string::npos);
    auto m = store->read("Sent", *id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->subject, "composed");
    EXPECT_EQ(m->body, "First line\r\nSecond line\r\n");

    auto raw = store->deliverRaw(kInbox, message("raw"), "");
    ASSERT_TRUE(raw.ok());
    EXPECT_EQ(store->read(kInbox, *raw)->subject, "raw");
    EXPECT_EQ(store->deliverRaw(kInbox, message("x"), "!").status(), Status::InvalidArgument);
    EXPECT_EQ(store->deliverRaw("a/b", message("x"), "").status(), Status::InvalidArgument);
}

TEST_F(ImapTest, FoldersAreMailboxesByTheirPlainNames) {
    auto store = open();
    EXPECT_EQ(store->createFolder("Deleted Items"), Status::Ok);
    EXPECT_EQ(store->createFolder("Deleted Items"), Status::Ok);
    EXPECT_EQ(store->createFolder("R&D"), Status::Ok);
    EXPECT_EQ(store->createFolder(kInbox), Status::Ok);
    EXPECT_EQ(store->createFolder(".hidden"), Status::InvalidArgument);
    auto p = peer();
    auto boxes = p->mailboxes();
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), "Deleted Items"), boxes.end());
    EXPECT_NE(std::find(boxes.begin(), boxes.end(), "R&-D"), boxes.end());
    auto folders = store->folders();
    ASSERT_TRUE(folders.ok());
    EXPECT_EQ(*folders, (std::vector<std::string>{kInbox, "Deleted Items", "R&D"}));
    ASSERT_TRUE(store->deliverRaw("R&D", message("research"), "").ok());
    EXPECT_EQ(store->list("R&D")->size(), 1u);
}

TEST_F(ImapTest, MoveKeepsTheIdentifierAndFlags) {
    auto p = peer();
    std::uint32_t uid = p->append("INBOX", message("moving"), "\\Seen");
    std::string id = idOf("INBOX", uid);
    auto store = open();
    ASSERT_TRUE(store->read(kInbox, id).ok());
    ASSERT_EQ(store->createFolder("Trash"), Status::Ok);
    ASSERT_EQ(store->move(kInbox, id, "Trash"), Status::Ok) << problems();
    p->select("INBOX");
    EXPECT_TRUE(p->uids().empty());
    p->select("Trash");
    auto inTrash = p->uids();
    ASSERT_EQ(inTrash.size(), 1u);
    EXPECT_EQ(p->flags(inTrash[0]), "\\Seen");
    EXPECT_EQ(idsOf(*store->list("Trash")), std::vector<std::string>{id});
    EXPECT_EQ(store->read("Trash", id)->subject, "moving");
    EXPECT_EQ(store->find(kInbox, id).status(), Status::NotFound);
    EXPECT_EQ(store->move("Trash", id, "Nowhere"), Status::NotFound);
    // The name outlives the store.
    store.reset();
    auto again = open();
    EXPECT_EQ(again->find("Trash", id)->flags, "S");
}

TEST_F(ImapTest, RemoveExpungesThatMessageOnly) {
    auto p = peer();
    std::uint32_t mine = p->append("INBOX", message("mine"));
    std::uint32_t theirs = p->append("INBOX", message("theirs"));
    auto store = open();
    ASSERT_TRUE(store->list(kInbox).ok());
    // Another client marked its message deleted but has not expunged it yet.
    p->select("INBOX");
    p->storeFlags(theirs, "\\Deleted", true);
    ASSERT_EQ(store->remove(kInbox, idOf("INBOX", mine)), Status::Ok) << problems();
    EXPECT_EQ(p->uids(), std::vector<std::uint32_t>{theirs});
    EXPECT_EQ(store->find(kInbox, idOf("INBOX", mine)).status(), Status::NotFound);
    EXPECT_EQ(store->remove(kInbox, idOf("INBOX", mine)), Status::NotFound);
}

TEST_F(ImapTest, RewrittenHeadersKeepTheIdentifier) {
    auto p = peer();
    std::uint32_t uid = p->append("INBOX", message("urgent"), "\\Seen \\Flagged");
    std::uint32_t other = p->append("INBOX", message("later"));
    std::string id = idOf("INBOX", uid);
    auto store = open();
    auto before = store->list(kInbox);
    ASSERT_TRUE(before.ok());
    ASSERT_EQ(store->read(kInbox, id)->priority, Priority::Normal);
    ASSERT_EQ(store->setPriority(kInbox, id, Priority::High), Status::Ok) << problems();
    p->select("INBOX");
    auto uids = p->uids();
    ASSERT_EQ(uids.size(), 2u);
    std::uint32_t copy = uids[0] == other ? uids[1] : uids[0];
    EXPECT_NE(copy, uid);
    EXPECT_NE(p->fetch(copy).find("X-Priority: 1"), std::string::npos);
    EXPECT_EQ(p->flags(copy), "\\Flagged \\Seen");
    auto m = store->read(kInbox, id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->priority, Priority::High);
    EXPECT_EQ(m->info.id, id);
    // Same place in the listing: the copy keeps the original's delivery time.
    EXPECT_EQ(idsOf(*store->list(kInbox)), idsOf(*before));
    EXPECT_EQ(store->rewriteHeaders(kInbox, id, {{"Bad Name", "x"}}), Status::InvalidArgument);
}

TEST_F(ImapTest, QueuedMailLivesInTheServersOutbox) {
    auto store = open();
    auto queued = store->enqueue(draftWith("to send"), kOutbox);
    ASSERT_TRUE(queued.ok()) << problems();
    auto p = peer();
    p->select(kOutbox);
    ASSERT_EQ(p->uids().size(), 1u);
    EXPECT_NE(p->fetch(p->uids()[0]).find("carol@example.org"), std::string::npos);
    TempDir out;
    std::string script = out.path() + "/send.sh";
    spit(script, "#!/bin/sh\necho \"$@\" > " + out.path() + "/args\ncat > " + out.path() + "/mail\n");
    ::chmod(script.c_str(), 0755);
    SendOptions send;
    send.command = script;
    send.sentFolder = "Sent";
    auto records = store->flush(send);
    ASSERT_TRUE(records.ok());
    ASSERT_EQ(records->size(), 1u);
    EXPECT_EQ((*records)[0].outcome, SendOutcome::Sent) << (*records)[0].detail;
    EXPECT_NE(slurp(out.path() + "/args").find("carol@example.org"), std::string::npos);
    EXPECT_EQ(slurp(out.path() + "/mail").find("carol@example.org"), std::string::npos);
    p->select(kOutbox);
    EXPECT_TRUE(p->uids().empty());
    p->select("Sent");
    ASSERT_EQ(p->uids().size(), 1u);
    EXPECT_EQ(p->flags(p->uids()[0]), "\\Seen");
    auto log = store->queueLog();
    ASSERT_TRUE(log.ok());
    ASSERT_EQ(log->size(), 1u);
    EXPECT_EQ(log->front().id, *queued);
    // A second flush finds nothing to send: at most once.
    EXPECT_TRUE(store->flush(send)->empty());
}

}  // namespace
}  // namespace vesk::store::test
