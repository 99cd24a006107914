// Salvith end to end: salvith.so loaded through the module loader as the conduit loads it,
// over the real mapi32 stand-in and a real Maildir of 25 messages in a temporary desktop.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "framework/MailHostExports.h"
#include "framework/Msg.h"
#include "framework/PasswordScramble.h"
#include "platform/RegistryValues.h"
#include "store/Store.h"
#include "win32/Module.h"
#include "win32/Profile.h"

namespace smapitest {
namespace {

namespace fs = std::filesystem;
namespace store = vesk::store;

// The mailbox: this project's inbox corpus, then eight of the store's corpus.
const char* const kOwnMessages[] = {
    "01-plain-note.eml",        "02-soft-wrapped.eml",     "03-windows-1252-body.eml",
    "04-utf8-body.eml",         "05-two-attachments.eml",  "06-alternative-html.eml",
    "07-lf-only-read.eml",      "08-encoded-attachment-name.eml", "09-many-cc.eml",
    "10-reply-chain.eml",       "11-summer-time.eml",      "12-no-subject.eml",
    "13-base64-latin1.eml",     "14-read-receipt.eml",     "15-nested-related.eml",
    "16-bcc-to-self.eml",       "17-long-paragraph.eml"};
const char* const kStoreMessages[] = {"mixed-attachments.eml", "encoded-names.eml", "forwarded-rfc822.eml",
                                      "nested-alternative.eml", "quoted-printable.eml", "windows-1252.eml",
                                      "base64-utf8.eml", "unlabelled-utf8.eml"};
// Delivered already read.
const char* const kReadMessages[] = {"07-lf-only-read.eml", "10-reply-chain.eml", "quoted-printable.eml"};

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// The fifteen exports of a loaded plug-in.
struct Plugin : MailHostExports {
    HMODULE module = nullptr;

    bool load(const std::string& path) {
        module = LoadLibraryA(path.c_str());
        return module != nullptr && BindMailHostExports(module, *this) == nullptr;
    }
    ~Plugin() {
        if (module != nullptr) FreeLibrary(module);
    }
};

// A record the conduit builds, released with the test.
struct OwnedRecord {
    MailMsg* msg = nullptr;
    explicit OwnedRecord(const CMsg& m) { m.ToMailMsg(&msg); }
    ~OwnedRecord() { ReleaseMailMsg(msg); }
};

class SalvithEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/salvith-e2e-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        home = pattern;
        fs::create_directories(home + "/tmp");
        fs::create_directories(home + "/captured");
        ::setenv("VESK_HOME", home.c_str(), 1);
        ::setenv("TMPDIR", (home + "/tmp").c_str(), 1);
        ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
        ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
        ::tzset();
        maildir = home + "/mail/anna";
        fs::create_directories(home + "/mail");
        ASSERT_TRUE(store::openMaildir(maildir, {.create = true}).ok());
        const std::string key = "Software\\Vesk\\Mail\\Accounts\\anna";
        vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail", "DefaultAccount", "anna");
        vesk::writeRegString(HKEY_CURRENT_USER, key, "Maildir", "mail/anna");
        vesk::writeRegString(HKEY_CURRENT_USER, key, "Password", "s3cret");
        vesk::writeRegString(HKEY_CURRENT_USER, key, "DisplayName", "Anna Berg");
        vesk::writeRegString(HKEY_CURRENT_USER, key, "Address", "anna.berg@example.org");
        vesk::writeRegString(HKEY_CURRENT_USER, key, "AddressBook", "mail/anna-addresses.txt");
        std::ofstream(home + "/mail/anna-addresses.txt") << "Bob Hansen <bob@example.com>\n"
                                                          << "Carl Nystr\xc3\xb6m <carl.nystrom@example.se>\n";
        config = home + "/conduit.ini";
        writeSettings("anna", "s3cret");
        ASSERT_TRUE(plugin.load(VESK_TEST_MODULE_DIR "/salvith.so"));
    }
    void TearDown() override {
        if (plugin.module != nullptr) {
            plugin.Logoff();
            plugin.Uninitialize();
        }
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }

    void writeSettings(const std::string& account, const std::string& password) {
        const char* host = "Microsoft Outlook Express";
        WritePrivateProfileStringA("SmapiPlugin", "MsgHostName", host, config.c_str());
        std::string section = std::string("SmapiPlugin ") + host;
        WritePrivateProfileStringA(section.c_str(), "UserAccount", account.c_str(), config.c_str());
        WritePrivateProfileStringA(section.c_str(), "UserData", ScramblePassword(password).c_str(), config.c_str());
    }
    std::unique_ptr<store::Store> openStore() {
        auto opened = store::openMaildir(maildir);
        EXPECT_TRUE(opened.ok());
        return opened.ok() ? std::move(*opened) : nullptr;
    }
    // Delivers the 25 messages into new/, as a mail fetcher would; returns their identifiers.
    std::vector<std::string> deliverCorpus() {
        auto s = openStore();
        std::vector<std::string> ids;
        auto put = [&](const std::string& path, const std::string& name) {
            bool read = false;
            for (const char* r : kReadMessages) read = read || name == r;
            auto id = s->deliverRaw(store::kInbox, fileText(path), read ? "S" : "");
            EXPECT_TRUE(id.ok()) << path;
            ids.push_back(id.ok() ? *id : "");
        };
        for (const char* name : kOwnMessages) put(std::string(VESK_TEST_CORPORA) + "/inbox/" + name, name);
        for (const char* name : kStoreMessages) put(std::string(VESK_STORE_CORPORA) + "/messages/" + name, name);
        return ids;
    }
    std::string captureScript(int status) {
        std::string path = home + "/sendmail-" + std::to_string(status) + ".sh";
        std::ofstream out(path);
        out << "#!/bin/sh\nd='" << home << "/captured'\nn=$(ls \"$d\" | grep -c '^args')\n"
            << "printf '%s\\n' \"$@\" > \"$d/args.$n\"\ncat > \"$d/msg.$n\"\n";
        if (status != 0) out << "echo 'mail relay unreachable' >&2\n";
        out << "exit " << status << "\n";
        out.close();
        ::chmod(path.c_str(), 0700);
        return path;
    }
    void setSendCommand(const std::string& command) {
        vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Accounts\\anna", "SendCommand", command);
    }
    int capturedCount() const {
        int n = 0;
        while (fs::exists(home + "/captured/args." + std::to_string(n))) ++n;
        return n;
    }
    size_t folderSize(const std::string& folder) {
        auto listing = openStore()->list(folder);
        return listing.ok() ? listing->size() : 0;
    }
    void startSession() {
        ASSERT_EQ(plugin.Initialize(), MAILHOST_OK);
        ASSERT_EQ(plugin.Logon(1, config.c_str()), MAILHOST_OK);
    }

    std::string home;
    std::string maildir;
    std::string config;
    Plugin plugin;
};

// What the conduit must see of each message, in mailbox order.
struct Expected {
    const char* subject;
    const char* from;
    const char* to;      // null: not checked
    const char* cc;      // null: not checked
    int attachments;     // > 0: the attachment state is set
    bool read;
    const char* date;    // "YYYY-MM-DD HH:MM" local, or null for the delivery time
    const char* body;    // a part of the body, or null
};

const Expected kExpected[] = {
    {"Train tickets", "bob@example.com (Bob Hansen)", "anna.berg@example.org (Anna Berg)", "", 0, false,
     "2024-01-08 08:12", "Hi Anna,\r\n\r\nI booked the 7:40 train for Thursday. Seats 41 and 42.\r\n\r\nBob"},
    {"Minutes of the planning meeting", "sam.lee@example.org (Lee, Sam)", "anna.berg@example.org",
     "bob@example.com (Bob Hansen),office@example.org", 0, false, "2024-01-09 10:00",
     "end of the month and that the documentation team gets two more weeks for the handbook chapters.\r\n\r\n"
     "1. Release date: 31 January\r\n2. Handbook: mid February"},
    {"Devis \x96 r\xe9novation", "renee@example.fr (Ren\xe9" "e Fran\xe7ois)", "anna.berg@example.org", "", 0, false,
     "2024-01-10 14:20", "le devis s\xe9l\xe8ve \xe0 1\xa0" "200 \x80 \x96 \x93TTC\x94."},
    {"\xdc" "bersicht f\xfcr M\xe4rz", "joerg@example.de (J\xf6rg M\xfcller)", nullptr, "", 0, false, "2024-01-11 09:30",
     "die \xdc" "bersicht f\xfcr M\xe4rz: 3 Termine, Kosten 45 \x80."},
    {"Invoice 2024-0012", "accounts@example.com (Accounts)", nullptr, "", 2, false, "2024-01-12 16:45",
     "Please find the invoice and the delivery note attached."},
    {"This week at the library", "news@example.net (Newsletter)", nullptr, "", 0, false, "2024-01-15 07:05",
     "Opening hours change on Friday: we close at 16:00."},
    {"Lunch?", "dora@example.net", "anna.berg@example.org", "", 0, true, "2024-01-16 12:00", "Lunch at noon?\r\nDora"},
    {"Bilder fr\xe5n resan", "carl.nystrom@example.se (Carl Nystr\xf6m)", nullptr, "", 1, false, "2024-01-17 18:30",
     "H\xe4r \xe4r bilderna."},
    {"Fire drill on Monday", "office@example.org (Office)", "team@example.org",
     "anna.berg@example.org (Anna Berg),bob@example.com (Bob Hansen),sam.lee@example.org (Lee, Sam),dora@example.net",
     0, false, "2024-01-18 09:00", nullptr},
    {"Re: Re: Train tickets", "bob@example.com (Bob Hansen)", nullptr, "", 0, true, "2024-01-19 17:10",
     "Fine by me.\r\n\r\n> Could we take the later train instead?\r\n> Anna"},
    {"Midsummer party", "club@example.org (Garden Club)", nullptr, "", 0, false, "2024-06-15 21:05", nullptr},
    {"", "bob@example.com", nullptr, "", 0, false, "2024-06-16 08:00", "Forgot the subject, sorry."},
    {"Cafeter\xed" "a", "maria@example.es (Mar\xed" "a Pe\xf1" "a)", nullptr, "", 0, false, "2024-06-17 10:10",
     "Ma\xf1" "ana en la cafeter\xed" "a."},
    {"Please confirm your holidays", "hr@example.org (HR)", nullptr, "", 0, false, "2024-06-18 13:00", nullptr},
    {"Concert tickets", "events@example.net (Events)", nullptr, "", 1, false, "2024-06-19 15:30",
     "Your tickets for Saturday are attached."},
    {"Copy: flat viewing", "anna.berg@example.org (Anna Berg)", "bob@example.com (Bob Hansen)", "", 0, false,
     "2024-06-20 09:45", nullptr},
    {"Holiday plans", "bob@example.com (Bob Hansen)", nullptr, "", 0, false, "2024-06-21 19:20",
     "We could drive to the coast on the first weekend of July and stay in the small hotel near the harbour where "
     "we stayed two years ago, if it still has rooms free by then.\r\n\r\nWhat do you think?"},
    {"Quarterly report and photos", "anna.berger@example.com (Anna Berger)",
     "tom.keller@example.org (Tom Keller),sam.lee@example.org (Lee, Sam)", "office@example.org", 2, false,
     "2023-03-14 09:15", "revenue is up to \x80" "1.2m."},
    {"Gr\xfc\xdf" "e aus K\xf6ln \x96 Pl\xe4ne", "juergen.mueller@example.de (J\xfcrgen M\xfcller)",
     "elodie@example.fr (\xc9lodie Dupont)", "", 3, false, nullptr, "Three attachments with encoded names."},
    {"Fwd: Original question", "anna.berger@example.com (Anna Berger)", "tom.keller@example.org", "", 1, false, nullptr,
     nullptr},
    {"February news", "news@example.net (Newsletter Team)", nullptr, "", 1, false, "2023-02-01 23:02", nullptr},
    {"Soft line breaks", "marie@example.fr (Marie Curie)", "pierre@example.fr (Pierre)", "", 0, true, nullptr, nullptr},
    {"Offer", "shop@example.de (Shop)", nullptr, "", 0, false, nullptr, "\x80 30 \x96 \x93special\x94"},
    {"???? ???", "nikos@example.gr (Nikos)", nullptr, "", 0, false, nullptr, nullptr},
    {"Caf\xe9 opening \x96 raw UTF-8 header", "zoe@example.co.uk (Zo\xeb Smith)", nullptr, "", 0, false, nullptr,
     nullptr},
};

std::string localText(int32_t when) {
    std::time_t t = when;
    std::tm local{};
    localtime_r(&t, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

std::string text(const char* s) { return s != nullptr ? s : ""; }

TEST_F(SalvithEndToEndTest, TheWholeMailboxComesBackAsRecords) {
    std::vector<std::string> ids = deliverCorpus();
    ASSERT_EQ(ids.size(), 25u);
    std::time_t before = std::time(nullptr);
    startSession();
    MailMsg** msgs = nullptr;
    int count = 0;
    ASSERT_EQ(plugin.GetAllMsgs(&msgs, &count, 0), MAILHOST_OK);
    ASSERT_EQ(count, 25);
    for (int i = 0; i < count; ++i) {
        const Expected& e = kExpected[i];
        const MailMsg& m = *msgs[i];
        SCOPED_TRACE(std::to_string(i) + ": " + e.subject);
        EXPECT_EQ(std::string(reinterpret_cast<char*>(m.hostMsgId), m.hostMsgIdSize), ids[i] + std::string(1, '\0'));
        EXPECT_EQ(text(m.subject), e.subject);
        EXPECT_EQ(text(m.from), e.from);
        if (e.to != nullptr) {
            EXPECT_EQ(text(m.to), e.to);
        }
        if (e.cc != nullptr) {
            EXPECT_EQ(text(m.cc), e.cc);
        }
        EXPECT_EQ((m.status >> MAILMSG_STATUS_ATTACH_SHIFT) & 3, e.attachments > 0 ? 1u : 0u);
        EXPECT_EQ((m.status >> MAILMSG_STATUS_CONTENT_SHIFT) & 3, 2u);
        EXPECT_EQ((m.flags & MAILMSG_FLAG_READ) != 0, e.read);
        EXPECT_NE(m.flags & MAILMSG_FLAG_FROM_HOST, 0u);
        EXPECT_EQ(m.attachments, nullptr);
        EXPECT_EQ(m.timeSent, m.timeReceived);
        if (e.date != nullptr) {
            EXPECT_EQ(localText(m.timeReceived), e.date);
        } else {
            // No Received header: the time the message was delivered here.
            EXPECT_GE(m.timeReceived + 60, before);
            EXPECT_LE(m.timeReceived, std::time(nullptr) + 60);
        }
        if (e.body != nullptr) {
            ASSERT_NE(m.body, nullptr);
            EXPECT_NE(std::string(m.body).find(e.body), std::string::npos) << m.body;
        }
        EXPECT_EQ(m.size, m.body != nullptr ? std::strlen(m.body) : 0u);
    }
    EXPECT_EQ(plugin.FreeMailMsg(msgs, count), MAILHOST_OK);

    // The walk read with MAPI_PEEK: nothing was marked read. New mail became current.
    auto listing = openStore()->list(store::kInbox);
    ASSERT_TRUE(listing.ok());
    for (const store::MessageInfo& info : *listing) {
        bool deliveredRead = false;
        for (size_t k = 0; k < ids.size(); ++k) {
            if (ids[k] == info.id) deliveredRead = kExpected[k].read;
        }
        EXPECT_EQ(info.seen(), deliveredRead) << info.id;
    }
    EXPECT_TRUE(fs::is_empty(maildir + "/new"));
    // The attachment files of the walk are gone; the private folder goes with the session.
    for (const auto& entry : fs::recursive_directory_iterator(home + "/tmp")) {
        EXPECT_FALSE(entry.is_regular_file()) << entry.path();
    }
    ASSERT_EQ(plugin.Logoff(), MAILHOST_OK);
    EXPECT_TRUE(fs::is_empty(home + "/tmp"));
    EXPECT_EQ(plugin.Uninitialize(), MAILHOST_OK);
}

TEST_F(SalvithEndToEndTest, TheConduitsWholeCallingOrder) {
    std::vector<std::string> ids = deliverCorpus();
    setSendCommand(captureScript(0));
    startSession();

    MailMsg** msgs = nullptr;
    int count = 0;
    ASSERT_EQ(plugin.GetAllMsgs(&msgs, &count, 0), MAILHOST_OK);
    ASSERT_EQ(count, 25);
    CMsg deleted(*msgs[4]);   // Invoice 2024-0012
    CMsg marked(*msgs[0]);    // Train tickets, unread
    CMsg prioritised(*msgs[1]);
    ASSERT_EQ(plugin.FreeMailMsg(msgs, count), MAILHOST_OK);

    // A message written on the handheld.
    CMsg outgoing;
    outgoing.m_to = "Bob Hansen; carl";
    outgoing.m_cc = "smtp:Dora@Example.net";
    outgoing.m_subject = "Re: Train tickets";
    outgoing.m_body = "Thursday suits me.\r\nAnna";
    outgoing.m_status |= MAILMSG_STATUS_READ_RECEIPT;
    OwnedRecord send(outgoing);
    ASSERT_EQ(plugin.SendMsg(send.msg), MAILHOST_OK);

    // A message filed from the handheld.
    CMsg filed;
    filed.m_from = "bob@example.com (Bob Hansen)";
    filed.m_to = "anna.berg@example.org";
    filed.m_subject = "Filed on the handheld";
    filed.m_body = "Keep this.";
    OwnedRecord file(filed);
    ASSERT_EQ(plugin.SetMsg(file.msg), MAILHOST_OK);

    OwnedRecord del(deleted), mark(marked), prio(prioritised);
    ASSERT_EQ(plugin.DeleteMsg(del.msg), MAILHOST_OK);
    ASSERT_EQ(plugin.SetMsgReadStatus(mark.msg, 0), MAILHOST_OK);
    ASSERT_EQ(plugin.SetMsgPriority(prio.msg, 0), MAILHOST_OK);

    // A second walk sees all of it.
    ASSERT_EQ(plugin.GetAllMsgs(&msgs, &count, 0), MAILHOST_OK);
    ASSERT_EQ(count, 25) << "one deleted, one filed";
    bool sawFiled = false;
    for (int i = 0; i < count; ++i) {
        std::string id(reinterpret_cast<char*>(msgs[i]->hostMsgId));
        EXPECT_NE(id, ids[4]) << "the deleted message is gone from the inbox";
        if (id == ids[0]) {
            EXPECT_NE(msgs[i]->flags & MAILMSG_FLAG_READ, 0u) << "marked read";
        }
        if (text(msgs[i]->subject) == "Filed on the handheld") {
            sawFiled = true;
            EXPECT_EQ(text(msgs[i]->from), "bob@example.com (Bob Hansen)");
            EXPECT_EQ(text(msgs[i]->to), "anna.berg@example.org (Anna Berg)");
            EXPECT_EQ(text(msgs[i]->body).substr(0, 10), "Keep this.");
        }
    }
    EXPECT_TRUE(sawFiled);
    ASSERT_EQ(plugin.FreeMailMsg(msgs, count), MAILHOST_OK);
    ASSERT_EQ(plugin.Logoff(), MAILHOST_OK);
    ASSERT_EQ(plugin.Uninitialize(), MAILHOST_OK);

    // The Maildir afterwards.
    auto s = openStore();
    auto trash = s->list("Trash");
    ASSERT_TRUE(trash.ok());
    ASSERT_EQ(trash->size(), 1u);
    EXPECT_EQ(trash->front().id, ids[4]);
    EXPECT_TRUE(s->find(store::kInbox, ids[0])->seen());
    EXPECT_EQ(folderSize("Outbox"), 0u);
    EXPECT_EQ(folderSize("Sent"), 1u);
    auto log = s->queueLog();
    ASSERT_TRUE(log.ok());
    ASSERT_EQ(log->size(), 1u);
    EXPECT_EQ(log->front().outcome, store::SendOutcome::Sent);

    // What the sending command got: envelope, headers and body.
    ASSERT_EQ(capturedCount(), 1);
    std::string args = fileText(home + "/captured/args.0");
    EXPECT_EQ(args, "-i\n-f\nanna.berg@example.org\n--\nbob@example.com\ncarl.nystrom@example.se\nDora@Example.net\n")
        << "an address nobody knows goes out as it was written";
    std::string message = fileText(home + "/captured/msg.0");
    EXPECT_NE(message.find("From: Anna Berg <anna.berg@example.org>"), std::string::npos) << message;
    EXPECT_NE(message.find("Subject: Re: Train tickets"), std::string::npos) << message;
    EXPECT_NE(message.find("Bob Hansen <bob@example.com>"), std::string::npos) << message;
    EXPECT_NE(message.find("Disposition-Notification-To:"), std::string::npos) << message;
    EXPECT_NE(message.find("Thursday suits me.\nAnna"), std::string::npos) << message;
}

TEST_F(SalvithEndToEndTest, MailStaysQueuedUntilTheCommandWorks) {
    startSession();
    CMsg outgoing;
    outgoing.m_to = "bob@example.com";
    outgoing.m_subject = "Queued";
    OwnedRecord send(outgoing);

    // No command configured: queued, and success.
    ASSERT_EQ(plugin.SendMsg(send.msg), MAILHOST_OK);
    EXPECT_EQ(folderSize("Outbox"), 1u);
    // A command that fails: still success, still queued, the refusal on record.
    setSendCommand(captureScript(75));
    ASSERT_EQ(plugin.Logoff(), MAILHOST_OK);
    ASSERT_EQ(plugin.Logon(1, config.c_str()), MAILHOST_OK);
    ASSERT_EQ(plugin.SendMsg(send.msg), MAILHOST_OK);
    EXPECT_EQ(folderSize("Outbox"), 2u);
    auto log = openStore()->queueLog();
    ASSERT_TRUE(log.ok());
    ASSERT_FALSE(log->empty());
    EXPECT_EQ(log->back().outcome, store::SendOutcome::Failed);
    EXPECT_NE(log->back().detail.find("mail relay unreachable"), std::string::npos);
    // A later logon with a working command sends both.
    setSendCommand(captureScript(0));
    ASSERT_EQ(plugin.Logoff(), MAILHOST_OK);
    ASSERT_EQ(plugin.Logon(1, config.c_str()), MAILHOST_OK);
    EXPECT_EQ(folderSize("Outbox"), 0u);
    EXPECT_EQ(folderSize("Sent"), 2u);
}

TEST_F(SalvithEndToEndTest, AMessageThatCannotBeQueuedIsSendFailed) {
    std::ofstream(maildir + "/.Outbox") << "not a folder";
    startSession();
    CMsg outgoing;
    outgoing.m_to = "bob@example.com";
    OwnedRecord send(outgoing);
    EXPECT_EQ(plugin.SendMsg(send.msg), MAILHOST_SEND_FAILED);
}

// Salvith's identifiers are texts with their NUL (the identifiers a caller may pass in general
// are tried by the boundary suite, tests/boundary): the real identifier without its NUL is
// refused, not read past its end.
TEST_F(SalvithEndToEndTest, AnIdentifierWithoutItsTerminatorIsRefused) {
    std::vector<std::string> ids = deliverCorpus();
    startSession();
    CMsg unterminated;
    unterminated.m_hostMsgId.Set(ids[0].data(), static_cast<uint32_t>(ids[0].size()));
    unterminated.m_flags |= MAILMSG_FLAG_FROM_HOST;
    OwnedRecord record(unterminated);
    EXPECT_EQ(plugin.DeleteMsg(record.msg), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(plugin.SetMsgReadStatus(record.msg, 1), MAILHOST_SERVER_ERROR);
    EXPECT_EQ(folderSize("Trash"), 0u);
    EXPECT_FALSE(openStore()->find(store::kInbox, ids[0])->seen());
}

// The result codes of binding, logon and configuration, through the exports.
TEST_F(SalvithEndToEndTest, ResultCodesOfTheSession) {
    // Calls without a session, in any order, and the buffer protocols are the boundary
    // suite's (tests/boundary); here what only Salvith does.
    MailMsg** msgs = nullptr;
    int count = -1;
    ASSERT_EQ(plugin.Initialize(), MAILHOST_OK);
    writeSettings("anna", "wrong");
    EXPECT_EQ(plugin.Logon(1, config.c_str()), MAILHOST_LOGON_FAILED);
    writeSettings("nobody", "");
    EXPECT_EQ(plugin.Logon(0, config.c_str()), MAILHOST_LOGON_FAILED);
    writeSettings("anna", "s3cret");
    EXPECT_EQ(plugin.Logon(0, ""), MAILHOST_OK) << "no configuration file: nothing to log on to";
    EXPECT_EQ(plugin.GetAllMsgs(&msgs, &count, 0), MAILHOST_SERVER_ERROR) << "and no session";
    EXPECT_EQ(plugin.Logon(0, config.c_str()), MAILHOST_OK);
    EXPECT_EQ(plugin.GetAllMsgs(&msgs, &count, 0), MAILHOST_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(plugin.Logoff(), MAILHOST_OK);
    // With no window to show the wizard in, nothing is shown and nothing is taken over.
    int outcome = 42;
    EXPECT_EQ(plugin.DisplayConfigWizardPages(nullptr, config.c_str(), "Eudora 3.0.1 or higher", 0, 0, 0, &outcome),
              MAILHOST_OK);
    EXPECT_EQ(outcome, MAILHOST_WIZARD_CANCELLED);
}

TEST_F(SalvithEndToEndTest, ALibraryWithoutResolveNameIsMissingAnEntryPoint) {
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR "/fixtures/no-resolve", 1);
    EXPECT_EQ(plugin.Initialize(), MAILHOST_ENTRY_POINT_MISSING);
    EXPECT_EQ(plugin.Logon(1, config.c_str()), MAILHOST_LOGON_FAILED) << "not bound";
    EXPECT_EQ(plugin.Uninitialize(), MAILHOST_OK) << "the library is released";
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
    EXPECT_EQ(plugin.Initialize(), MAILHOST_OK);
}

TEST_F(SalvithEndToEndTest, AMissingLibraryIsNotFound) {
    // The plug-in alone in a folder: mapi32.dll is neither on the path nor beside it.
    std::string lonely = home + "/lonely";
    fs::create_directories(lonely);
    fs::copy_file(VESK_TEST_MODULE_DIR "/salvith.so", lonely + "/salvith.so");
    ::setenv("VESK_LIBRARY_PATH", (home + "/empty").c_str(), 1);
    Plugin alone;
    ASSERT_TRUE(alone.load(lonely + "/salvith.so"));
    EXPECT_EQ(alone.Initialize(), MAILHOST_LIBRARY_NOT_FOUND);
    EXPECT_EQ(alone.Uninitialize(), MAILHOST_OK);
    // Its embedded English strings still serve.
    char hosts[128];
    int size = sizeof hosts;
    EXPECT_EQ(alone.GetSupportedHosts(hosts, &size), MAILHOST_OK);
    EXPECT_STREQ(hosts, "Eudora 3.0.1 or higher");
}

// A message the walk finds but cannot read stops the walk: nothing is handed out.
TEST_F(SalvithEndToEndTest, AnUnreadableMessageIsReadFailed) {
    deliverCorpus();
    startSession();
    // A message file the system refuses to read.
    fs::create_symlink("/proc/self/mem", maildir + "/cur/1999999999.M1P1Q1.unreadable:2,");
    MailMsg** msgs = reinterpret_cast<MailMsg**>(0x1);
    int count = -1;
    EXPECT_EQ(plugin.GetAllMsgs(&msgs, &count, 0), MAILHOST_READ_FAILED);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(msgs, reinterpret_cast<MailMsg**>(0x1));
}

}  // namespace
}  // namespace smapitest
