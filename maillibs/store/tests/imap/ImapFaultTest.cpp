// What goes wrong with a server: it goes away, refuses the login or the certificate, or its
// mailboxes change under the store. Each ends the call with an error whose log line names
// the server and the reason; nothing is lost, and the next call carries on.
#include "ImapTestFixture.h"

namespace vesk::store::test {
namespace {

bool logged(const std::string& subjectPart, const std::string& reasonPart) {
    for (const Problem& p : problemsSince(0)) {
        if (p.subject.find(subjectPart) != std::string::npos && p.reason.find(reasonPart) != std::string::npos)
            return true;
    }
    return false;
}

std::string serverOf(const testing::DovecotServer& s, bool tls = false) {
    return "127.0.0.1:" + std::to_string(tls ? s.tlsPort() : s.plainPort());
}

TEST_F(ImapTest, AWrongPasswordIsRefusedNamingTheServer) {
    ImapOptions o = options();
    o.password = "not-it";
    auto store = openImap(o);
    EXPECT_EQ(store.status(), Status::IoError);
    EXPECT_TRUE(logged(serverOf(*m_server), "logging in as alice failed")) << problems();
}

// A certificate nobody vouches for is refused before the password goes out, both ways in.
class ImapCertificateTest : public ImapTest, public ::testing::WithParamInterface<bool> {};

TEST_P(ImapCertificateTest, AnUntrustedCertificateIsRefused) {
    ImapOptions o = options(GetParam());
    o.caFile.clear();
    auto store = openImap(o);
    EXPECT_EQ(store.status(), Status::IoError);
    EXPECT_TRUE(logged(serverOf(*m_server, GetParam()), "certificate was refused: the certificate is not trusted"))
        << problems();
    EXPECT_EQ(m_server->log().find("Login: user=<alice>"), std::string::npos) << "the password went out";
}

TEST_P(ImapCertificateTest, ACertificateForAnotherHostIsRefused) {
    ImapOptions o = options(GetParam());
    // The certificate names localhost and 127.0.0.1, not this other loopback address.
    std::string port = std::to_string(GetParam() ? m_server->tlsPort() : m_server->plainPort());
    o.url = std::string(GetParam() ? "imaps" : "imap") + "://alice@127.0.0.2:" + port;
    EXPECT_EQ(openImap(o).status(), Status::IoError);
    EXPECT_TRUE(logged("127.0.0.2:" + port, "not made out to 127.0.0.2")) << problems();
}

TEST_P(ImapCertificateTest, AMissingCertificateFileIsNamed) {
    ImapOptions o = options(GetParam());
    o.caFile = m_home.path() + "/no-such.pem";
    EXPECT_EQ(openImap(o).status(), Status::IoError);
    EXPECT_TRUE(logged(serverOf(*m_server, GetParam()), "no-such.pem")) << problems();
}

INSTANTIATE_TEST_SUITE_P(Tls, ImapCertificateTest, ::testing::Values(false, true),
                         [](const auto& row) { return row.param ? "Imaps" : "StartTls"; });

TEST_F(ImapTest, AServerThatIsNotThereIsNamed) {
    ImapOptions o = options();
    m_server->stop();
    EXPECT_EQ(openImap(o).status(), Status::IoError);
    EXPECT_TRUE(logged(serverOf(*m_server), "connecting failed")) << problems();
}

TEST_F(ImapTest, AServerKilledMidSyncLosesNothingAndTheNextSyncCarriesOn) {
    auto p = peer();
    std::vector<std::string> ids;
    for (int i = 0; i < 30; ++i) ids.push_back(idOf("INBOX", p->append("INBOX", message("n" + std::to_string(i)))));
    p.reset();
    auto store = open();
    ASSERT_TRUE(store->list(kInbox).ok());
    ASSERT_TRUE(store->read(kInbox, ids[0]).ok());
    ASSERT_EQ(store->setFlags(kInbox, ids[1], "S", ""), Status::Ok);
    // Gone mid-way through a sync: a read beyond what was fetched ahead, a flag change, a listing.
    m_server->kill();
    std::uint64_t before = problemLogSize();
    EXPECT_EQ(store->setFlags(kInbox, ids[2], "S", ""), Status::IoError);
    EXPECT_EQ(store->list(kInbox).status(), Status::IoError);
    bool named = false;
    for (const Problem& pr : problemsSince(before)) named = named || pr.subject == serverOf(*m_server);
    EXPECT_TRUE(named) << problems();
    // Back again: the same store reconnects and goes on where it stopped.
    m_server->restart();
    auto listed = store->list(kInbox);
    ASSERT_TRUE(listed.ok()) << problems();
    EXPECT_EQ(listed->size(), ids.size());
    EXPECT_EQ(store->setFlags(kInbox, ids[2], "S", ""), Status::Ok);
    for (std::size_t i = 0; i < ids.size(); ++i) {
        auto m = store->read(kInbox, ids[i]);
        ASSERT_TRUE(m.ok()) << ids[i];
        EXPECT_EQ(m->subject, "n" + std::to_string(i));
    }
    auto again = peer();
    again->select("INBOX");
    EXPECT_EQ(again->uids().size(), ids.size());
    EXPECT_EQ(again->flags(again->uids()[1]), "\\Seen");
}

TEST_F(ImapTest, AServerRestartedBetweenCallsIsReconnectedTo) {
    auto p = peer();
    std::string id = idOf("INBOX", p->append("INBOX", message("still here")));
    p.reset();
    auto store = open();
    ASSERT_TRUE(store->list(kInbox).ok());
    m_server->restart();  // the store's connection is dead; it finds out on the next call
    auto m = store->read(kInbox, id);
    ASSERT_TRUE(m.ok()) << problems();
    EXPECT_EQ(m->subject, "still here");
}

TEST_F(ImapTest, AMessageExpungedBetweenListingAndReadingIsNotFound) {
    auto p = peer();
    std::uint32_t uid = p->append("INBOX", message("short-lived"));
    std::string id = idOf("INBOX", uid);
    auto store = open();
    ASSERT_EQ(store->list(kInbox)->size(), 1u);
    p->select("INBOX");
    p->expunge(uid);
    EXPECT_EQ(store->read(kInbox, id).status(), Status::NotFound);
    EXPECT_TRUE(logged(id, "removed from the server before it could be read")) << problems();
    EXPECT_EQ(store->readRaw(kInbox, id).status(), Status::NotFound);
    EXPECT_TRUE(store->list(kInbox)->empty());
}

TEST_F(ImapTest, ARecreatedMailboxIsNeverTakenForTheOldOne) {
    auto p = peer();
    p->command("CREATE Work");
    std::uint32_t oldUid = p->append("Work", message("old one"));
    auto store = open();
    auto before = store->list("Work");
    ASSERT_TRUE(before.ok());
    ASSERT_EQ(before->size(), 1u);
    std::string oldId = before->front().id;
    ASSERT_EQ(store->read("Work", oldId)->subject, "old one");
    p->command("DELETE Work");
    p->command("CREATE Work");
    std::uint32_t newUid = p->append("Work", message("new one"));
    EXPECT_EQ(newUid, oldUid);  // the same UID: only UIDVALIDITY tells the two apart
    auto after = store->list("Work");
    ASSERT_TRUE(after.ok());
    ASSERT_EQ(after->size(), 1u);
    EXPECT_NE(after->front().id, oldId);
    EXPECT_EQ(store->find("Work", oldId).status(), Status::NotFound);
    EXPECT_EQ(store->read("Work", after->front().id)->subject, "new one");
    EXPECT_TRUE(logged("Work", "UIDVALIDITY changed")) << problems();
}

TEST_F(ImapTest, AnAddressThatIsNoImapUrlIsRefused) {
    ImapOptions o = options();
    o.url = "http://alice@127.0.0.1:1";
    EXPECT_EQ(openImap(o).status(), Status::InvalidArgument);
    o = options();
    o.stateDir.clear();
    EXPECT_EQ(openImap(o).status(), Status::InvalidArgument);
}

}  // namespace
}  // namespace vesk::store::test
