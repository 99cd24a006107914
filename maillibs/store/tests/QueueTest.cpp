// The outbound queue end to end: drafts queued in the outbox, flushed through a stand-in
// sendmail (a shell script that records what it was given), outcomes logged.
#include <stdlib.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "store/Store.h"

namespace vesk::store {
namespace {

using test::filesIn;
using test::slurp;
using test::spit;

class QueueTest : public ::testing::Test {
protected:
    void SetUp() override {
        Result<std::unique_ptr<Store>> opened = openMaildir(dir.path() + "/mail", {.create = true});
        ASSERT_TRUE(opened.ok());
        store = std::move(*opened);
        // Queue outcomes reach the shared problem log of this test's own desktop.
        ::setenv("VESK_HOME", dir.path().c_str(), 1);
        record = dir.path() + "/record";
        ASSERT_EQ(::mkdir(record.c_str(), 0700), 0);
    }

    /// A sendmail stand-in that stores its arguments and input as args.<n> and input.<n>
    /// and ends with `exitCode`, after writing `error` to standard error.
    std::string fakeSendmail(int exitCode = 0, const std::string& error = "") {
        std::string path = dir.path() + "/sendmail-" + std::to_string(exitCode);
        spit(path, "#!/bin/sh\n"
                   "n=$(ls '" + record + "' | grep -c '^input')\n"
                   "printf '%s\\n' \"$@\" > '" + record + "'/args.$n\n"
                   "cat > '" + record + "'/input.$n\n"
                   "[ -n '" + error + "' ] && echo '" + error + "' >&2\n"
                   "exit " + std::to_string(exitCode) + "\n");
        ::chmod(path.c_str(), 0700);
        return path;
    }

    Draft draft(const std::string& subject) {
        Draft d;
        d.from = {"Tom Keller", "tom@example.org"};
        d.to = {{"Anna", "anna@example.com"}, {"", "sam@example.org"}};
        d.cc = {{"Office", "office@example.org"}, {"Anna again", "ANNA@example.com"}};
        d.bcc = {{"", "boss@example.org"}};
        d.subject = subject;
        d.body = "Text of " + subject + "\r\n";
        return d;
    }

    test::TempDir dir;
    std::string record;
    std::unique_ptr<Store> store;
};

TEST_F(QueueTest, WithoutACommandEverythingStaysQueued) {
    Result<std::string> id = store->enqueue(draft("one"));
    ASSERT_TRUE(id.ok());
    Result<std::vector<SendRecord>> out = store->flush({});
    ASSERT_TRUE(out.ok());
    ASSERT_EQ(out->size(), 1u);
    EXPECT_EQ((*out)[0].id, *id);
    EXPECT_EQ((*out)[0].outcome, SendOutcome::Held);
    EXPECT_EQ(filesIn(dir.path() + "/mail/.Outbox/new"), std::vector<std::string>{*id});
    Result<std::vector<SendRecord>> log = store->queueLog();
    ASSERT_TRUE(log.ok());
    ASSERT_EQ(log->size(), 1u);
    EXPECT_EQ((*log)[0].outcome, SendOutcome::Held);
    EXPECT_EQ((*log)[0].id, *id);
}

TEST_F(QueueTest, TheCommandGetsTheEnvelopeAndTheMessageWithoutBcc) {
    Result<std::string> id = store->enqueue(draft("hello"));
    ASSERT_TRUE(id.ok());
    // The queued file keeps the Bcc: it is needed when the message is sent.
    EXPECT_NE(store->readRaw(kOutbox, *id)->find("Bcc: boss@example.org"), std::string::npos);

    SendOptions options;
    options.command = fakeSendmail();
    options.sentFolder = "Sent";
    Result<std::vector<SendRecord>> out = store->flush(options);
    ASSERT_TRUE(out.ok());
    ASSERT_EQ(out->size(), 1u);
    EXPECT_EQ((*out)[0].outcome, SendOutcome::Sent) << (*out)[0].detail;

    EXPECT_EQ(slurp(record + "/args.0"),
              "-i\n-f\ntom@example.org\n--\nanna@example.com\nsam@example.org\noffice@example.org\nboss@example.org\n");
    std::string sent = slurp(record + "/input.0");
    EXPECT_EQ(sent.find("Bcc:"), std::string::npos);
    EXPECT_EQ(sent.find("boss@example.org"), std::string::npos);
    EXPECT_NE(sent.find("Subject: hello"), std::string::npos);
    EXPECT_NE(sent.find("To: Anna <anna@example.com>"), std::string::npos);

    // It left the queue for the sent folder, marked seen, under the same identifier.
    EXPECT_TRUE(store->list(kOutbox)->empty());
    Result<MessageInfo> filed = store->find("Sent", *id);
    ASSERT_TRUE(filed.ok());
    EXPECT_EQ(filed->flags, "S");
    EXPECT_EQ((*store->queueLog())[0].outcome, SendOutcome::Sent);
}

TEST_F(QueueTest, WithoutASentFolderASentMessageIsRemoved) {
    ASSERT_TRUE(store->enqueue(draft("gone")).ok());
    SendOptions options;
    options.command = fakeSendmail();
    ASSERT_EQ((*store->flush(options))[0].outcome, SendOutcome::Sent);
    EXPECT_TRUE(store->list(kOutbox)->empty());
    EXPECT_EQ(*store->folders(), (std::vector<std::string>{kInbox, kOutbox}));
}

TEST_F(QueueTest, AFailedCommandKeepsTheMessageForTheNextFlush) {
    Result<std::string> id = store->enqueue(draft("retry"));
    ASSERT_TRUE(id.ok());
    SendOptions options;
    options.command = fakeSendmail(75, "550 mailbox unavailable");
    Result<std::vector<SendRecord>> out = store->flush(options);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ((*out)[0].outcome, SendOutcome::Failed);
    EXPECT_EQ((*out)[0].detail, "exit status 75: 550 mailbox unavailable");
    EXPECT_TRUE(store->find(kOutbox, *id).ok());

    options.command = fakeSendmail(0);
    out = store->flush(options);
    ASSERT_TRUE(out.ok());
    EXPECT_EQ((*out)[0].outcome, SendOutcome::Sent);
    EXPECT_EQ(store->find(kOutbox, *id).status(), Status::NotFound);

    Result<std::vector<SendRecord>> log = store->queueLog();
    ASSERT_TRUE(log.ok());
    ASSERT_EQ(log->size(), 2u);
    EXPECT_EQ((*log)[0].outcome, SendOutcome::Failed);
    EXPECT_EQ((*log)[0].detail, "exit status 75: 550 mailbox unavailable");
    EXPECT_EQ((*log)[1].outcome, SendOutcome::Sent);
}

TEST_F(QueueTest, OtherFailures) {
    auto addressedTo = [](std::vector<Address> to) {
        Draft d;
        d.from = {"", "tom@example.org"};
        d.to = std::move(to);
        d.subject = "s";
        return d;
    };
    struct Case {
        const char* comment;
        std::string command;
        Draft draft;
        const char* detailStart;
    } cases[] = {
        {"no such program", "/nonexistent/sendmail -t", draft("x"), "cannot run: /nonexistent/sendmail"},
        {"no recipients at all", fakeSendmail(), addressedTo({}), "no recipients"},
        {"only a name, no address", fakeSendmail(), addressedTo({{"Anna", ""}}),
         "no recipients"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.comment);
        Result<std::string> id = store->enqueue(c.draft);
        ASSERT_TRUE(id.ok());
        SendOptions options;
        options.command = c.command;
        Result<std::vector<SendRecord>> out = store->flush(options);
        ASSERT_TRUE(out.ok());
        ASSERT_EQ(out->size(), 1u);
        EXPECT_EQ((*out)[0].outcome, SendOutcome::Failed);
        EXPECT_EQ((*out)[0].detail.rfind(c.detailStart, 0), 0u) << (*out)[0].detail;
        ASSERT_EQ(store->remove(kOutbox, *id), Status::Ok);
    }
    EXPECT_TRUE(filesIn(record).empty());  // the command never ran for those
}

TEST_F(QueueTest, OldestFirstAndAnySenderlessMessageWithoutDashF) {
    Draft first = draft("first");
    first.date = 1000000000;
    Draft second = draft("second");
    second.from = {};
    ASSERT_TRUE(store->enqueue(first).ok());
    ASSERT_TRUE(store->enqueue(second).ok());
    SendOptions options;
    options.command = fakeSendmail();
    Result<std::vector<SendRecord>> out = store->flush(options);
    ASSERT_TRUE(out.ok());
    ASSERT_EQ(out->size(), 2u);
    EXPECT_NE(slurp(record + "/input.0").find("Subject: first"), std::string::npos);
    EXPECT_NE(slurp(record + "/input.1").find("Subject: second"), std::string::npos);
    EXPECT_EQ(slurp(record + "/args.1").rfind("-i\n--\n", 0), 0u);
}

TEST_F(QueueTest, AQueueInAnotherFolder) {
    ASSERT_TRUE(store->enqueue(draft("x"), "Postausgang").ok());
    SendOptions options;
    options.outbox = "Postausgang";
    EXPECT_EQ(store->flush(options)->size(), 1u);
    EXPECT_EQ(store->flush({}).status(), Status::NotFound);  // no "Outbox" folder
    EXPECT_EQ(store->enqueue(draft("x"), "../x").status(), Status::InvalidArgument);
}

}  // namespace
}  // namespace vesk::store
