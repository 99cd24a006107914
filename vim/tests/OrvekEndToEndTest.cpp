// Orvek end to end: orvek.so loaded through the module loader as the conduit loads it, over
// the real VIM stand-in and a real post office in a temporary desktop: Teo's mailbox of 25
// messages, a second user, a personal address book and an Internet gateway.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "PostOfficeDesktop.h"
#include "framework/MailHostExports.h"
#include "framework/Msg.h"
#include "framework/PasswordScramble.h"
#include "framework/UnwrapLines.h"
#include "platform/RegistryValues.h"
#include "store/Store.h"
#include "win32/Module.h"
#include "win32/Profile.h"

namespace vimtest {
namespace {

namespace fs = std::filesystem;
namespace store = vesk::store;

struct OwnedRecord {
    MailMsg* msg = nullptr;
    explicit OwnedRecord(const CMsg& m) { m.ToMailMsg(&msg); }
    ~OwnedRecord() { ReleaseMailMsg(msg); }
};

// The records of one GetAllMsgs call, given back when it goes.
struct Listing {
    Plugin* plugin = nullptr;
    MailMsg** msgs = nullptr;
    int count = 0;
    int result = -1;
    ~Listing() {
        if (msgs != nullptr) plugin->FreeMailMsg(msgs, count);
    }
    std::string text(char* MailMsg::*field, int i) const { return msgs[i]->*field ? msgs[i]->*field : ""; }
    CMsg record(int i) const { return CMsg(*msgs[i]); }
};

std::string raw(const std::string& subject, const std::string& body, const std::string& extraHeaders = "") {
    return "From: Anna Berg <anna@example.org>\r\nTo: Teo Varga <teo@example.org>\r\nSubject: " + subject +
           "\r\nDate: Mon, 04 Mar 2024 09:30:00 +0100\r\nMIME-Version: 1.0\r\n" + extraHeaders +
           "Content-Type: text/plain; charset=us-ascii\r\n\r\n" + body;
}

class OrvekEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(desktop.create("orvek-e2e"));
        home = desktop.home;
        postOffice = desktop.postOffice;
        config = desktop.config;
        ASSERT_TRUE(plugin.load(VESK_TEST_MODULE_DIR "/orvek.so"));
    }
    void TearDown() override {
        if (plugin.module != nullptr) {
            plugin.Logoff();
            plugin.Uninitialize();
        }
        desktop.destroy();
    }

    void writeSettings(const std::string& user, const std::string& password, const std::string& gateway,
                       const std::string& path = "") {
        desktop.writeSettings(user, password, gateway, path);
    }
    std::unique_ptr<store::Store> mailbox(const std::string& user) { return desktop.mailbox(user); }
    size_t folderSize(const std::string& user, const std::string& folder) { return desktop.folderSize(user, folder); }
    void deliver(const std::string& bytes, const std::string& flags = "") {
        ASSERT_TRUE(mailbox("teo")->deliverRaw(store::kInbox, bytes, flags).ok());
    }
    void startSession() {
        ASSERT_EQ(plugin.Initialize(), MAILHOST_OK);
        ASSERT_EQ(plugin.Logon(1, config.c_str()), MAILHOST_OK);
    }
    void list(Listing& l, int headersOnly = 0) {
        l.plugin = &plugin;
        l.result = plugin.GetAllMsgs(&l.msgs, &l.count, headersOnly);
    }

    PostOfficeDesktop desktop;
    std::string home;
    std::string postOffice;
    std::string config;
    Plugin plugin;
};

TEST_F(OrvekEndToEndTest, TwentyFiveMessagesArriveInMailboxOrder) {
    for (int i = 1; i <= 25; ++i) deliver(raw("Message " + std::to_string(i), "Text " + std::to_string(i) + "\r\n"));
    startSession();
    for (int headersOnly : {1, 0}) {
        SCOPED_TRACE(headersOnly);
        Listing l;
        list(l, headersOnly);
        ASSERT_EQ(l.result, MAILHOST_OK);
        ASSERT_EQ(l.count, 25);
        for (int i = 0; i < 25; ++i) {
            EXPECT_EQ(l.text(&MailMsg::subject, i), "Message " + std::to_string(i + 1));
            EXPECT_EQ(l.msgs[i]->hostMsgIdSize, 8u);
            EXPECT_EQ(l.text(&MailMsg::from, i), "anna@example.org (Anna Berg)");
            if (headersOnly == 0) {
                EXPECT_EQ(l.text(&MailMsg::body, i), "Text " + std::to_string(i + 1) + "\r\n");
            }
        }
    }
}

TEST_F(OrvekEndToEndTest, TextPartsAroundOnePieceArriveWhole) {
    const size_t lengths[] = {8191, 8192, 8191 * 2 + 5};
    for (size_t length : lengths) {
        std::string body(length, 'x');
        body.back() = 'z';
        deliver(raw("len " + std::to_string(length), body));
    }
    startSession();
    Listing l;
    list(l);
    ASSERT_EQ(l.count, 3);
    auto teo = mailbox("teo");
    auto infos = teo->list(store::kInbox);
    ASSERT_TRUE(infos.ok());
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(lengths[i]);
        auto stored = teo->read(store::kInbox, (*infos)[static_cast<size_t>(i)].id);
        ASSERT_TRUE(stored.ok());
        // What the library reads is the whole text part, whatever its length.
        ASSERT_GE(stored->body.size(), lengths[i]);
        EXPECT_EQ(l.text(&MailMsg::body, i), UnwrapLines(stored->body));
        EXPECT_EQ(l.msgs[i]->size, l.text(&MailMsg::body, i).size());
        EXPECT_EQ(l.text(&MailMsg::body, i).find('z'), lengths[i] - 1);
    }
}

TEST_F(OrvekEndToEndTest, RecipientsFoundAndNotFoundWithTheGateway) {
    startSession();
    CMsg msg;
    msg.m_subject = "Plans";
    msg.m_body = "See you at ten.\r\n";
    // Anna is in the post office directory, Boss in Teo's personal book, Pat in neither.
    msg.m_to = "Anna; Boss";
    msg.m_cc = "Pat Kim <Pat@Example.NET>";
    OwnedRecord r(msg);
    ASSERT_EQ(plugin.SendMsg(r.msg), MAILHOST_OK);

    auto anna = mailbox("anna");
    auto annaInbox = anna->list(store::kInbox);
    ASSERT_TRUE(annaInbox.ok());
    ASSERT_EQ(annaInbox->size(), 1u) << "Anna is a user of the post office: delivered at once";
    auto delivered = anna->read(store::kInbox, (*annaInbox)[0].id);
    ASSERT_TRUE(delivered.ok());
    EXPECT_EQ(delivered->subject, "Plans");
    EXPECT_EQ(delivered->body, "See you at ten.\r\n");

    // The Internet recipients wait in Teo's queue: no sending command is configured.
    auto teo = mailbox("teo");
    auto queued = teo->list(store::kOutbox);
    ASSERT_TRUE(queued.ok());
    ASSERT_EQ(queued->size(), 1u);
    auto out = teo->read(store::kOutbox, (*queued)[0].id);
    ASSERT_TRUE(out.ok());
    std::vector<std::string> internet;
    for (const auto& a : out->to) internet.push_back(a.address);
    for (const auto& a : out->cc) internet.push_back(a.address);
    EXPECT_EQ(internet, (std::vector<std::string>{"boss@example.com", "pat@example.net"}));
}

TEST_F(OrvekEndToEndTest, WithoutAGatewayInternetAddressesStillGoOut) {
    writeSettings("Teo", "s3cret", "");
    startSession();
    CMsg msg;
    msg.m_subject = "No gateway";
    msg.m_to = "pat@example.net";
    OwnedRecord r(msg);
    EXPECT_EQ(plugin.SendMsg(r.msg), MAILHOST_OK);
    EXPECT_EQ(folderSize("teo", store::kOutbox), 1u);
}

TEST_F(OrvekEndToEndTest, ARecipientNobodyKnowsIsRejected) {
    startSession();
    CMsg msg;
    msg.m_subject = "Lost";
    msg.m_to = "Nobody Here";
    OwnedRecord r(msg);
    EXPECT_EQ(plugin.SendMsg(r.msg), MAILHOST_RECIPIENT_REJECTED);
    EXPECT_EQ(folderSize("anna", store::kInbox), 0u);
}

TEST_F(OrvekEndToEndTest, FilingPutsTheMessageInTheMailboxUnsent) {
    startSession();
    CMsg msg;
    msg.m_subject = "Draft";
    msg.m_body = "Later.\r\n";
    msg.m_to = "Anna";
    OwnedRecord r(msg);
    EXPECT_EQ(plugin.SetMsg(r.msg), MAILHOST_OK);
    EXPECT_EQ(folderSize("anna", store::kInbox), 0u);
    Listing l;
    list(l);
    ASSERT_EQ(l.count, 1);
    EXPECT_EQ(l.text(&MailMsg::subject, 0), "Draft");
}

TEST_F(OrvekEndToEndTest, StateChangesReachTheMailbox) {
    deliver(raw("One", "1\r\n"));
    deliver(raw("Two", "2\r\n"));
    startSession();
    Listing l;
    list(l, 1);
    ASSERT_EQ(l.count, 2);
    EXPECT_EQ(l.msgs[0]->flags & MAILMSG_FLAG_READ, 0u);
    EXPECT_EQ(plugin.SetMsgReadStatus(l.msgs[0], 1), MAILHOST_OK);
    EXPECT_EQ(plugin.SetMsgReadStatus(l.msgs[0], 0), MAILHOST_NOT_SUPPORTED);
    EXPECT_EQ(plugin.SetMsgPriority(l.msgs[0], 0), MAILHOST_OK);
    EXPECT_EQ(plugin.DeleteMsg(l.msgs[1]), MAILHOST_OK);
    EXPECT_EQ(folderSize("teo", "Trash"), 1u);

    Listing again;
    list(again, 1);
    ASSERT_EQ(again.count, 1);
    EXPECT_NE(again.msgs[0]->flags & MAILMSG_FLAG_READ, 0u);
    EXPECT_EQ((again.msgs[0]->flags >> MAILMSG_FLAG_PRIORITY_SHIFT) & 3u, 0u);
    // A reference of a message that went away is refused, not followed.
    EXPECT_EQ(plugin.DeleteMsg(l.msgs[1]), MAILHOST_SERVER_ERROR);
}

TEST_F(OrvekEndToEndTest, LogonFailuresAreToldApart) {
    struct Row {
        const char* what;
        std::string user, password, path;
        int result;
    };
    const Row rows[] = {
        {"wrong password", "Teo", "nope", "", MAILHOST_LOGON_BAD_PASSWORD},
        {"no post office", "Teo", "s3cret", "/nonexistent/po", MAILHOST_LOGON_BAD_POST_OFFICE},
        {"no such user", "Zed", "s3cret", "", MAILHOST_LOGON_FAILED},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        writeSettings(row.user, row.password, "", row.path);
        ASSERT_EQ(plugin.Initialize(), MAILHOST_OK);
        EXPECT_EQ(plugin.Logon(1, config.c_str()), row.result);
        MailMsg** msgs = nullptr;
        int count = 0;
        EXPECT_EQ(plugin.GetAllMsgs(&msgs, &count, 1), MAILHOST_SERVER_ERROR);
        EXPECT_EQ(plugin.Logoff(), MAILHOST_OK);
        EXPECT_EQ(plugin.Uninitialize(), MAILHOST_OK);
    }
    // The library starts again cleanly after all that.
    writeSettings("Teo", "s3cret", "");
    startSession();
}

TEST_F(OrvekEndToEndTest, ConfigurationRoundTripsThroughTheFile) {
    char text[512];
    int size = sizeof text;
    ASSERT_EQ(plugin.GetHostConfigInfo(config.c_str(), text, &size), MAILHOST_OK);
    EXPECT_EQ(std::string(text), std::string("Mail System:\t\t") + kHostName + "\nUser Name:\t\tTeo\nPost Office Path:\t" +
                                     postOffice + "\nInternet Gateway:\tInternet");
    const std::string copy = home + "/copy.ini";
    EXPECT_EQ(plugin.SetHostConfigInfo(copy.c_str(), 1), 1);
    char value[1024] = "";
    GetPrivateProfileStringA((std::string("VimPlugin ") + kHostName).c_str(), "UserData", "", value, sizeof value,
                             copy.c_str());
    EXPECT_EQ(UnscramblePassword(value), "s3cret");
    EXPECT_STRNE(value, "s3cret");
}

}  // namespace
}  // namespace vimtest
