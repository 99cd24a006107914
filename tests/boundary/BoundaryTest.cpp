// The boundary every plug-in shows the conduit, run once per registered plug-in: the calling
// order, the buffer protocols, record release, and safety in any order and with any input.
#include <cstring>
#include <filesystem>

#include "BoundaryFixture.h"

namespace boundary {
namespace {

namespace fs = std::filesystem;

// A record as GetAllMsgs would have made it, naming `id`.
CMsg fromHost(const std::string& id) {
    CMsg msg;
    msg.m_hostMsgId.Set(id.data(), static_cast<uint32_t>(id.size()));
    msg.m_flags |= MAILMSG_FLAG_FROM_HOST;
    return msg;
}

// Every message operation refuses to run without a session, before Initialize, between
// Initialize and Logon, and after Logoff.
TEST_P(BoundaryTest, MessageOperationsWithoutASessionAreServerErrors) {
    std::vector<std::string> ids = deliver(1);
    CMsg outgoing;
    outgoing.m_to = "bob@example.com";
    outgoing.m_subject = "Never sent";
    OwnedRecord send(outgoing);
    OwnedRecord named(fromHost(ids[0] + std::string(1, '\0')));
    auto check = [&](const char* when) {
        SCOPED_TRACE(when);
        MailMsg** msgs = reinterpret_cast<MailMsg**>(0x1);
        int count = 7;
        EXPECT_EQ(plugin.GetAllMsgs(&msgs, &count, 0), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(msgs, reinterpret_cast<MailMsg**>(0x1));
        EXPECT_EQ(plugin.SendMsg(send.msg), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(plugin.SetMsg(send.msg), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(plugin.DeleteMsg(named.msg), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(plugin.SetMsgReadStatus(named.msg, 1), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(plugin.SetMsgPriority(named.msg, 0),
                  traits().priorityNeedsSession ? MAILHOST_SERVER_ERROR : MAILHOST_OK);
    };
    check("before Initialize");
    ASSERT_EQ(plugin.Initialize(), MAILHOST_OK);
    check("before Logon");
    ASSERT_EQ(plugin.Logon(1, config.c_str()), MAILHOST_OK);
    ASSERT_EQ(plugin.Logoff(), MAILHOST_OK);
    check("after Logoff");
    ASSERT_EQ(plugin.Uninitialize(), MAILHOST_OK);
    check("after Uninitialize");
    // Nothing reached the store.
    EXPECT_EQ(folderSize(vesk::store::kInbox), 1u);
    EXPECT_EQ(folderSize("Outbox"), 0u);
}

TEST_P(BoundaryTest, LogoffAndUninitializeAreSafeInAnyOrderAndTwice) {
    EXPECT_EQ(plugin.Logoff(), MAILHOST_OK);
    EXPECT_EQ(plugin.Uninitialize(), MAILHOST_OK);
    EXPECT_EQ(plugin.Logon(1, config.c_str()), MAILHOST_LOGON_FAILED) << "before Initialize";
    startSession();
    // Uninitialize with the session still open ends it too.
    EXPECT_EQ(plugin.Uninitialize(), MAILHOST_OK);
    EXPECT_EQ(plugin.Logoff(), MAILHOST_OK);
    EXPECT_EQ(plugin.Uninitialize(), MAILHOST_OK);
    EXPECT_EQ(plugin.Logoff(), MAILHOST_OK);
    // And everything works again afterwards.
    deliver(2);
    startSession();
    EXPECT_EQ(listAll().count, 2);
    EXPECT_EQ(plugin.Logoff(), MAILHOST_OK);
    EXPECT_EQ(plugin.Logoff(), MAILHOST_OK);
    EXPECT_EQ(plugin.Uninitialize(), MAILHOST_OK);
}

// The size protocol: a capacity short by one byte gets the size needed back and nothing
// written; the exact capacity gets the text and the capacity stays.
TEST_P(BoundaryTest, GetSupportedHostsFollowsTheBufferProtocol) {
    size_t length = 1;
    for (const std::string& host : traits().hosts) length += host.size() + 1;
    const int needed = static_cast<int>(length);
    char buffer[512];
    std::memset(buffer, '#', sizeof buffer);
    for (int capacity : {0, 1, needed - 1}) {
        SCOPED_TRACE(capacity);
        int size = capacity;
        EXPECT_EQ(plugin.GetSupportedHosts(buffer, &size), MAILHOST_BUFFER_TOO_SMALL);
        EXPECT_EQ(size, needed);
        EXPECT_EQ(buffer[0], '#');
    }
    int size = needed;
    ASSERT_EQ(plugin.GetSupportedHosts(buffer, &size), MAILHOST_OK);
    EXPECT_EQ(size, needed);
    const char* at = buffer;
    for (const std::string& host : traits().hosts) {
        EXPECT_EQ(std::string(at), host);
        at += host.size() + 1;
    }
    EXPECT_EQ(*at, '\0') << "the list ends in an empty name";
    EXPECT_EQ(buffer[needed], '#') << "nothing written past the capacity";
    EXPECT_EQ(plugin.GetSupportedHosts(buffer, nullptr), MAILHOST_NULL_ARGUMENT);
}

TEST_P(BoundaryTest, GetHostConfigInfoFollowsTheBufferProtocol) {
    const int needed = static_cast<int>(traits().configInfo.size() + 1);
    char buffer[512];
    std::memset(buffer, '#', sizeof buffer);
    int size = needed - 1;
    EXPECT_EQ(plugin.GetHostConfigInfo(config.c_str(), buffer, &size), MAILHOST_BUFFER_TOO_SMALL);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(buffer[0], '#');
    ASSERT_EQ(plugin.GetHostConfigInfo(config.c_str(), buffer, &size), MAILHOST_OK);
    EXPECT_EQ(std::string(buffer), traits().configInfo);
    EXPECT_EQ(buffer[needed], '#');
    EXPECT_EQ(plugin.GetHostConfigInfo(config.c_str(), buffer, nullptr), MAILHOST_NULL_ARGUMENT);
    // Forgetting the settings (without saving) leaves the file as it was.
    EXPECT_EQ(plugin.SetHostConfigInfo(config.c_str(), 0), 0);
    size = sizeof buffer;
    ASSERT_EQ(plugin.GetHostConfigInfo(config.c_str(), buffer, &size), MAILHOST_OK);
    EXPECT_EQ(std::string(buffer), traits().configInfo);
}

// Records are the conduit's until FreeMailMsg, which frees the array and each record; a null
// array is refused.
TEST_P(BoundaryTest, RecordsComeFromTheHostAndAreReleasedByFreeMailMsg) {
    deliver(5);
    startSession();
    for (int headersOnly : {0, 1}) {
        SCOPED_TRACE(headersOnly);
        MailMsg** msgs = nullptr;
        int count = 0;
        ASSERT_EQ(plugin.GetAllMsgs(&msgs, &count, headersOnly), MAILHOST_OK);
        ASSERT_EQ(count, 5);
        for (int i = 0; i < count; ++i) {
            ASSERT_NE(msgs[i], nullptr);
            EXPECT_NE(msgs[i]->flags & MAILMSG_FLAG_FROM_HOST, 0u);
            EXPECT_GT(msgs[i]->hostMsgIdSize, 0u);
            EXPECT_NE(msgs[i]->hostMsgId, nullptr);
        }
        EXPECT_EQ(plugin.FreeMailMsg(msgs, count), MAILHOST_OK);
    }
    EXPECT_EQ(plugin.FreeMailMsg(nullptr, 3), MAILHOST_NULL_ARGUMENT);
}

// The conduit's calling order of one synchronisation, with what each step leaves behind.
TEST_P(BoundaryTest, TheConduitsCallingOrder) {
    deliver(3);
    startSession();
    Listing first = listAll();
    ASSERT_EQ(first.result, MAILHOST_OK);
    ASSERT_EQ(first.count, 3);

    CMsg outgoing;
    outgoing.m_to = "Bob Hansen";
    outgoing.m_subject = "From the handheld";
    outgoing.m_body = "Sent while away.";
    OwnedRecord send(outgoing);
    EXPECT_EQ(plugin.SendMsg(send.msg), MAILHOST_OK);

    CMsg filed;
    filed.m_from = "bob@example.com (Bob Hansen)";
    filed.m_to = "anna.berg@example.org";
    filed.m_subject = "Filed on the handheld";
    filed.m_body = "Keep this.";
    OwnedRecord file(filed);
    EXPECT_EQ(plugin.SetMsg(file.msg), MAILHOST_OK);

    OwnedRecord del(first.records[0]), read(first.records[1]), prio(first.records[2]);
    EXPECT_EQ(plugin.DeleteMsg(del.msg), MAILHOST_OK);
    EXPECT_EQ(plugin.SetMsgReadStatus(read.msg, 1), MAILHOST_OK);
    EXPECT_EQ(plugin.SetMsgPriority(prio.msg, 1), MAILHOST_OK);

    Listing second = listAll();
    ASSERT_EQ(second.result, MAILHOST_OK);
    ASSERT_EQ(second.count, 3) << "one deleted, one filed";
    bool sawFiled = false;
    for (const CMsg& msg : second.records) {
        EXPECT_FALSE(msg.m_hostMsgId.Size() == first.records[0].m_hostMsgId.Size() &&
                     std::memcmp(msg.m_hostMsgId.Data(), first.records[0].m_hostMsgId.Data(), msg.m_hostMsgId.Size()) == 0)
            << "the deleted message is gone from the inbox";
        if (msg.m_subject == first.records[1].m_subject) {
            EXPECT_NE(msg.m_flags & MAILMSG_FLAG_READ, 0u);
        }
        sawFiled = sawFiled || msg.m_subject == "Filed on the handheld";
    }
    EXPECT_TRUE(sawFiled);
    EXPECT_EQ(plugin.Logoff(), MAILHOST_OK);
    EXPECT_EQ(plugin.Uninitialize(), MAILHOST_OK);
    // The sent message waits in the queue (no sending command is configured).
    EXPECT_EQ(folderSize("Outbox"), 1u);
    EXPECT_TRUE(fs::is_empty(home + "/tmp"));
}

// Identifiers a caller passes never open anything outside the store, never crash, and never
// change a message they do not name.
TEST_P(BoundaryTest, HostileIdentifiersTouchNothing) {
    std::vector<std::string> ids = deliver(2);
    fs::create_directories(home + "/mail/x");
    const std::string bait = home + "/bait";
    fs::copy_file(std::string(VESK_BOUNDARY_CORPUS) + "/01-plain-note.eml", bait);
    startSession();
    Listing listing = listAll(1);
    ASSERT_EQ(listing.count, 2);
    const std::string real(reinterpret_cast<const char*>(listing.records[0].m_hostMsgId.Data()),
                           listing.records[0].m_hostMsgId.Size());
    const std::string hostile[] = {"../../x",
                                   "../../bait",
                                   bait,
                                   "/etc/passwd",
                                   "cur/" + ids[0] + ":2,",
                                   "../.Trash",
                                   ids[0] + "/../" + ids[1],
                                   std::string(4096, 'A'),
                                   std::string("\0\0\0\0", 4),
                                   std::string("\xff\xfe\x00\x01garbage", 11),
                                   real.substr(0, real.size() / 2),
                                   real.substr(0, real.find('\0')) + "junk"};
    for (const std::string& id : hostile) {
        for (const std::string& bytes : {id, id + std::string(1, '\0')}) {
            SCOPED_TRACE(bytes);
            OwnedRecord record(fromHost(bytes));
            EXPECT_EQ(plugin.DeleteMsg(record.msg), MAILHOST_SERVER_ERROR);
            EXPECT_EQ(plugin.SetMsgReadStatus(record.msg, 1), MAILHOST_SERVER_ERROR);
            if (traits().priorityNeedsSession) {
                EXPECT_NE(plugin.SetMsgPriority(record.msg, 0), MAILHOST_OK);
            }
        }
    }
    // A record that did not come from the host is not looked up at all.
    CMsg handheld = fromHost(real);
    handheld.m_flags &= ~static_cast<uint32_t>(MAILMSG_FLAG_FROM_HOST);
    OwnedRecord record(handheld);
    EXPECT_EQ(plugin.DeleteMsg(record.msg), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(plugin.SetMsgReadStatus(record.msg, 1), MAILHOST_SERVER_ERROR);

    EXPECT_TRUE(fs::exists(bait));
    EXPECT_TRUE(fs::exists(home + "/mail/x"));
    EXPECT_EQ(folderSize(vesk::store::kInbox), 2u);
    auto store = openStore();
    auto inbox = store->list(vesk::store::kInbox);
    ASSERT_TRUE(inbox.ok());
    for (const vesk::store::MessageInfo& info : *inbox) EXPECT_FALSE(info.seen()) << info.id;
}

#ifdef VESK_BOUNDARY_IMAP
INSTANTIATE_TEST_SUITE_P(OverImap, BoundaryTest, ::testing::ValuesIn(BoundaryCases(true)), PluginName);
#else
INSTANTIATE_TEST_SUITE_P(Plugins, BoundaryTest, ::testing::ValuesIn(BoundaryCases(false)), PluginName);
#endif

}  // namespace
}  // namespace boundary
