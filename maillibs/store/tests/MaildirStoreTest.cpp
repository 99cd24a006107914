// The store through its public interface, on real Maildirs in temporary folders.
#include <sys/resource.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <csignal>
#include <ctime>
#include <unistd.h>
#include <utime.h>

#include <gtest/gtest.h>

#include <filesystem>

#include <algorithm>
#include <cerrno>
#include <sstream>

#include "TestSupport.h"
#include "platform/WriteFaults.h"
#include "store/Store.h"

namespace vesk::store {
namespace {

using test::filesIn;
using test::fixture;
using test::slurp;
using test::spit;
using vesk::io::armWriteFault;
using vesk::io::disarmWriteFault;

class MaildirStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        Result<std::unique_ptr<Store>> opened = openMaildir(root(), {.create = true});
        ASSERT_TRUE(opened.ok()) << describe(opened.status());
        store = std::move(*opened);
    }
    std::string root() const { return dir.path() + "/mail"; }
    /// Reopens the store, as a new process would.
    void reopen() {
        store.reset();
        Result<std::unique_ptr<Store>> opened = openMaildir(root());
        ASSERT_TRUE(opened.ok());
        store = std::move(*opened);
    }
    std::string deliverFixture(const std::string& file, std::string_view folder = kInbox, std::string_view flags = "") {
        Result<std::string> id = store->deliverRaw(folder, fixture(file), flags);
        EXPECT_TRUE(id.ok()) << describe(id.status());
        return id.ok() ? *id : std::string();
    }
    Draft draft(const std::string& subject) {
        Draft d;
        d.from = {"Tom Keller", "tom@example.org"};
        d.to = {{"Anna", "anna@example.com"}};
        d.subject = subject;
        d.body = "Body of " + subject + "\r\n";
        return d;
    }
    std::vector<std::string> ids(std::string_view folder) {
        Result<std::vector<MessageInfo>> list = store->list(folder);
        EXPECT_TRUE(list.ok());
        std::vector<std::string> out;
        if (list.ok()) {
            for (const MessageInfo& m : *list) out.push_back(m.id);
        }
        return out;
    }

    test::TempDir dir;
    std::unique_ptr<Store> store;
};

TEST_F(MaildirStoreTest, OpeningNeedsAMaildirUnlessAskedToCreateOne) {
    EXPECT_EQ(openMaildir(dir.path() + "/none").status(), Status::NotFound);
    EXPECT_EQ(openMaildir(dir.path()).status(), Status::NotFound);  // a folder, but no Maildir
    for (const char* sub : {"", "/cur", "/new", "/tmp"}) {
        struct stat st {};
        ASSERT_EQ(::stat((root() + sub).c_str(), &st), 0) << sub;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << sub;
    }
    Result<std::unique_ptr<Store>> again = openMaildir(root() + "/");
    ASSERT_TRUE(again.ok());
    EXPECT_EQ((*again)->root(), root());
}

TEST_F(MaildirStoreTest, FoldersAreListedInboxFirst) {
    ASSERT_EQ(store->createFolder("Trash"), Status::Ok);
    ASSERT_EQ(store->createFolder("Deleted Items"), Status::Ok);
    ASSERT_EQ(store->createFolder("Archive.2023"), Status::Ok);
    ASSERT_EQ(store->createFolder("Trash"), Status::Ok);  // again: still Ok
    ASSERT_EQ(store->createFolder(kInbox), Status::Ok);
    ::mkdir((root() + "/.NotAMaildir").c_str(), 0700);  // no cur/new/tmp: not a folder
    Result<std::vector<std::string>> names = store->folders();
    ASSERT_TRUE(names.ok());
    EXPECT_EQ(*names, (std::vector<std::string>{kInbox, "Archive.2023", "Deleted Items", "Trash"}));
    EXPECT_TRUE(slurp(root() + "/.Trash/maildirfolder").empty());
}

TEST_F(MaildirStoreTest, FolderNamesFromCallersAreChecked) {
    const char* bad[] = {"", ".Trash", "Trash.", "a..b", "../x", "a/b", "inbox", "Inbox", "tab\there", "caf\xe9"};
    for (const char* name : bad) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(isValidFolderName(name));
        EXPECT_EQ(store->createFolder(name), Status::InvalidArgument);
        EXPECT_EQ(store->list(name).status(), Status::InvalidArgument);
    }
    EXPECT_EQ(store->list("Missing").status(), Status::NotFound);
    EXPECT_EQ(store->deliverRaw("Missing", fixture("missing-date.eml")).status(), Status::NotFound);
}

TEST_F(MaildirStoreTest, DeliveryWritesOneFileInNewWithMode0600AndNothingInTmp) {
    std::string id = deliverFixture("mixed-attachments.eml");
    EXPECT_EQ(filesIn(root() + "/new"), std::vector<std::string>{id});
    EXPECT_TRUE(filesIn(root() + "/tmp").empty());
    EXPECT_TRUE(filesIn(root() + "/cur").empty());
    struct stat st {};
    ASSERT_EQ(::stat((root() + "/new/" + id).c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(slurp(root() + "/new/" + id), fixture("mixed-attachments.eml"));
}

TEST_F(MaildirStoreTest, DeliveryWithFlagsGoesToCur) {
    std::string id = deliverFixture("missing-date.eml", kInbox, "SR");
    EXPECT_EQ(filesIn(root() + "/cur"), std::vector<std::string>{id + ":2,RS"});
    Result<MessageInfo> info = store->find(kInbox, id);
    ASSERT_TRUE(info.ok());
    EXPECT_EQ(info->flags, "RS");
    EXPECT_TRUE(info->seen());
    EXPECT_EQ(store->deliverRaw(kInbox, "x", "S:").status(), Status::InvalidArgument);
    EXPECT_EQ(store->deliverRaw(kInbox, "x", "../").status(), Status::InvalidArgument);
}

TEST_F(MaildirStoreTest, ListingIsByDeliveryTimeThenName) {
    // Foreign names: one without a time (the file time counts), equal seconds ordered by
    // microseconds, then by name.
    spit(root() + "/cur/1600000000.M000002P1.h:2,S", "Subject: b\n\nb\n");
    spit(root() + "/new/1600000000.M000001P9.h", "Subject: a\n\na\n");
    spit(root() + "/new/1600000000.M000001P1.h", "Subject: a0\n\na\n");
    spit(root() + "/new/1500000000.P1.h", "Subject: old\n\nold\n");
    spit(root() + "/cur/no-time-in-name:2,", "Subject: c\n\nc\n");
    struct utimbuf t = {1650000000, 1650000000};
    ::utime((root() + "/cur/no-time-in-name:2,").c_str(), &t);
    spit(root() + "/new/.hidden", "not a message");
    EXPECT_EQ(ids(kInbox), (std::vector<std::string>{"1500000000.P1.h", "1600000000.M000001P1.h",
                                                     "1600000000.M000001P9.h", "1600000000.M000002P1.h",
                                                     "no-time-in-name"}));
    Result<std::vector<MessageInfo>> list = store->list(kInbox);
    ASSERT_TRUE(list.ok());
    EXPECT_EQ((*list)[4].delivered, 1650000000);
    EXPECT_EQ((*list)[3].flags, "S");
    EXPECT_EQ((*list)[0].size, std::string("Subject: old\n\nold\n").size());
    EXPECT_EQ((*list)[0].key, keyOfId("1500000000.P1.h"));
}

TEST_F(MaildirStoreTest, IdentifiersFromCallersAreChecked) {
    std::string id = deliverFixture("missing-date.eml");
    spit(dir.path() + "/outside", "From: x\n\nsecret\n");
    struct Case {
        std::string id;
        Status status;
    } cases[] = {
        {"../../outside", Status::InvalidArgument},
        {"../new/" + id, Status::InvalidArgument},
        {id + ":2,", Status::InvalidArgument},
        {std::string("a\0b", 3), Status::InvalidArgument},
        {"", Status::InvalidArgument},
        {"1234.no-such-message", Status::NotFound},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(store->find(kInbox, c.id).status(), c.status);
        EXPECT_EQ(store->read(kInbox, c.id).status(), c.status);
        EXPECT_EQ(store->readRaw(kInbox, c.id).status(), c.status);
        EXPECT_EQ(store->attachment(kInbox, c.id, 0).status(), c.status);
        EXPECT_EQ(store->setFlags(kInbox, c.id, "S", ""), c.status);
        EXPECT_EQ(store->setPriority(kInbox, c.id, Priority::High), c.status);
        EXPECT_EQ(store->remove(kInbox, c.id), c.status);
    }
    // A message of another folder is not a message of this one.
    ASSERT_EQ(store->createFolder("Trash"), Status::Ok);
    EXPECT_EQ(store->find("Trash", id).status(), Status::NotFound);
    EXPECT_EQ(store->move("Trash", id, kInbox), Status::NotFound);
}

TEST_F(MaildirStoreTest, ReadFillsTheModelAndTheListingFields) {
    std::string id = deliverFixture("mixed-attachments.eml", kInbox, "S");
    Result<Message> m = store->read(kInbox, id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->info.id, id);
    EXPECT_EQ(m->info.flags, "S");
    EXPECT_TRUE(m->read);
    EXPECT_EQ(m->info.size, fixture("mixed-attachments.eml").size());
    EXPECT_EQ(m->received, 1678781742);  // the top Received header
    EXPECT_EQ(m->subject, "Quarterly report and photos");
    ASSERT_EQ(m->attachments.size(), 2u);
    Result<std::string> pdf = store->attachment(kInbox, id, 0);
    ASSERT_TRUE(pdf.ok());
    EXPECT_EQ(pdf->substr(0, 8), "%PDF-1.4");
    EXPECT_EQ(store->attachment(kInbox, id, 2).status(), Status::NotFound);
    EXPECT_EQ(*store->readRaw(kInbox, id), fixture("mixed-attachments.eml"));

    Result<Message> headers = store->read(kInbox, id, ReadMode::Headers);
    ASSERT_TRUE(headers.ok());
    EXPECT_TRUE(headers->body.empty());
    EXPECT_EQ(headers->attachments.size(), 2u);
}

TEST_F(MaildirStoreTest, ReceivedFallsBackToTheDeliveryTimeInTheName) {
    std::string id = deliverFixture("missing-date.eml");
    Result<Message> m = store->read(kInbox, id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->sent, 0);
    std::time_t sec = std::stoll(id.substr(0, id.find('.')));
    EXPECT_EQ(m->received, sec);
    EXPECT_EQ(m->received, m->info.delivered);

    // A foreign name without a time: the file time.
    spit(root() + "/cur/foreign:2,", fixture("missing-date.eml"));
    struct utimbuf t = {1234567890, 1234567890};
    ::utime((root() + "/cur/foreign:2,").c_str(), &t);
    Result<Message> foreign = store->read(kInbox, "foreign");
    ASSERT_TRUE(foreign.ok());
    EXPECT_EQ(foreign->received, 1234567890);
}

TEST_F(MaildirStoreTest, DeliverComposesAndReadsBack) {
    Draft d = draft("Hello \x80");
    d.priority = Priority::High;
    d.readReceipt = true;
    Result<std::string> id = store->deliver(kInbox, d, "S");
    ASSERT_TRUE(id.ok());
    Result<Message> m = store->read(kInbox, *id);
    ASSERT_TRUE(m.ok());
    EXPECT_EQ(m->subject, d.subject);
    EXPECT_EQ(m->body, d.body);
    EXPECT_EQ(m->from, d.from);
    EXPECT_EQ(m->to, d.to);
    EXPECT_EQ(m->priority, Priority::High);
    EXPECT_TRUE(m->readReceipt);
    EXPECT_TRUE(m->read);
}

TEST_F(MaildirStoreTest, FlagsChangeUnderAStableIdentifier) {
    std::string id = deliverFixture("missing-date.eml");
    struct Step {
        const char* add;
        const char* remove;
        const char* flags;  // expected afterwards
        const char* file;   // expected file name suffix in cur/
    } steps[] = {
        {"S", "", "S", ":2,S"},          // out of new/ into cur/
        {"RF", "", "FRS", ":2,FRS"},     // sorted
        {"", "R", "FS", ":2,FS"},
        {"", "", "FS", ":2,FS"},         // no change, no rename
        {"", "FS", "", ":2,"},           // none left: still in cur/
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::string("+") + s.add + " -" + s.remove);
        ASSERT_EQ(store->setFlags(kInbox, id, s.add, s.remove), Status::Ok);
        EXPECT_EQ(store->find(kInbox, id)->flags, s.flags);
        EXPECT_TRUE(filesIn(root() + "/new").empty());
        EXPECT_EQ(filesIn(root() + "/cur"), std::vector<std::string>{id + s.file});
    }
    EXPECT_EQ(store->setFlags(kInbox, id, "S,", ""), Status::InvalidArgument);
    reopen();
    EXPECT_EQ(store->find(kInbox, id)->flags, "");
    ASSERT_EQ(store->setFlags(kInbox, id, "S", ""), Status::Ok);
    EXPECT_TRUE(store->read(kInbox, id)->read);
}

TEST_F(MaildirStoreTest, MoveRenamesIntoTheOtherFolderKeepingIdAndFlags) {
    ASSERT_EQ(store->createFolder("Trash"), Status::Ok);
    std::string fresh = deliverFixture("missing-date.eml");
    std::string seen = deliverFixture("html-only.eml", kInbox, "S");
    struct stat before {};
    ::stat((root() + "/cur/" + seen + ":2,S").c_str(), &before);

    ASSERT_EQ(store->move(kInbox, fresh, "Trash"), Status::Ok);
    ASSERT_EQ(store->move(kInbox, seen, "Trash"), Status::Ok);
    EXPECT_TRUE(filesIn(root() + "/new").empty());
    EXPECT_TRUE(filesIn(root() + "/cur").empty());
    EXPECT_EQ(filesIn(root() + "/.Trash/new"), std::vector<std::string>{fresh});
    EXPECT_EQ(filesIn(root() + "/.Trash/cur"), std::vector<std::string>{seen + ":2,S"});
    struct stat after {};
    ::stat((root() + "/.Trash/cur/" + seen + ":2,S").c_str(), &after);
    EXPECT_EQ(before.st_ino, after.st_ino);  // renamed, not copied
    EXPECT_EQ(store->find("Trash", seen)->flags, "S");
    EXPECT_EQ(store->find(kInbox, seen).status(), Status::NotFound);
    EXPECT_EQ(store->move(kInbox, seen, "Trash"), Status::NotFound);
    EXPECT_EQ(store->move("Trash", seen, "Nowhere"), Status::NotFound);
    EXPECT_EQ(store->move("Trash", seen, "Trash"), Status::Ok);

    // Never onto an existing message of the same identifier, whatever its flags.
    spit(root() + "/cur/" + seen + ":2,T", "Subject: clash\n\nx\n");
    EXPECT_EQ(store->move("Trash", seen, kInbox), Status::Exists);
    EXPECT_EQ(filesIn(root() + "/.Trash/cur"), std::vector<std::string>{seen + ":2,S"});
}

TEST_F(MaildirStoreTest, AMoveSeesWhatAnotherProgramPutIntoTheTargetSinceItsLastLook) {
    ASSERT_EQ(store->createFolder("Trash"), Status::Ok);
    std::string first = deliverFixture("quoted-printable.eml");
    std::string second = deliverFixture("quoted-printable.eml");
    ASSERT_TRUE(store->list(kInbox).ok());
    ASSERT_EQ(store->move(kInbox, first, "Trash"), Status::Ok);  // the store now knows Trash
    // Another program files a copy of `second` into Trash under other flags. Its change of
    // the directory is dated apart from the store's own, as changes by two programs are.
    std::string trashCur = root() + "/.Trash/cur";
    spit(trashCur + "/" + second + ":2,S", "Subject: copy\n\nx\n");
    struct timespec later[2] = {{0, UTIME_OMIT}, {std::time(nullptr) + 5, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, trashCur.c_str(), later, 0), 0);
    EXPECT_EQ(store->move(kInbox, second, "Trash"), Status::Exists);
    EXPECT_EQ(filesIn(root() + "/new"), std::vector<std::string>{second});
}

TEST_F(MaildirStoreTest, RewriteKeepsIdentifierFlagsAndBody) {
    std::string id = deliverFixture("quoted-printable.eml", kInbox, "RS");
    std::string original = fixture("quoted-printable.eml");
    struct Step {
        Priority priority;
        const char* mustHave;
    } steps[] = {
        {Priority::Low, "X-Priority: 5 (Lowest)\nImportance: low\n\n"},  // "Priority: urgent" replaced
        {Priority::High, "X-Priority: 1 (Highest)\nImportance: high\n\n"},
        {Priority::Normal, "Content-Transfer-Encoding: quoted-printable\n\n"},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(static_cast<int>(s.priority));
        ASSERT_EQ(store->setPriority(kInbox, id, s.priority), Status::Ok);
        Result<Message> m = store->read(kInbox, id);
        ASSERT_TRUE(m.ok());
        EXPECT_EQ(m->priority, s.priority);
        EXPECT_EQ(m->info.flags, "RS");
        EXPECT_EQ(filesIn(root() + "/cur"), std::vector<std::string>{id + ":2,RS"});
        EXPECT_TRUE(filesIn(root() + "/tmp").empty());
        std::string raw = *store->readRaw(kInbox, id);
        EXPECT_NE(raw.find(s.mustHave), std::string::npos) << raw;
        EXPECT_EQ(raw.find("Priority: urgent"), std::string::npos);
        // The body and the other headers are untouched.
        EXPECT_EQ(raw.substr(raw.find("\n\n")), original.substr(original.find("\n\n")));
        EXPECT_NE(raw.find("Message-ID: <qp-1@example.fr>\n"), std::string::npos);
    }
    EXPECT_EQ(store->rewriteHeaders(kInbox, id, {{"X-Bad", "a\nb"}}), Status::InvalidArgument);
}

TEST_F(MaildirStoreTest, RemoveDeletesTheFile) {
    std::string id = deliverFixture("missing-date.eml", kInbox, "S");
    ASSERT_EQ(store->remove(kInbox, id), Status::Ok);
    EXPECT_TRUE(filesIn(root() + "/cur").empty());
    EXPECT_EQ(store->find(kInbox, id).status(), Status::NotFound);
}

TEST_F(MaildirStoreTest, LookUpsFollowChangesMadeByOthers) {
    std::string id = deliverFixture("missing-date.eml");
    ASSERT_EQ(ids(kInbox).size(), 1u);
    // Another process marks it seen and delivers a second message behind our back.
    ASSERT_EQ(::rename((root() + "/new/" + id).c_str(), (root() + "/cur/" + id + ":2,S").c_str()), 0);
    spit(root() + "/new/1700000000.M1P1.other", fixture("html-only.eml"));
    Result<MessageInfo> moved = store->find(kInbox, id);
    ASSERT_TRUE(moved.ok());
    EXPECT_EQ(moved->flags, "S");
    EXPECT_TRUE(store->read(kInbox, "1700000000.M1P1.other").ok());
    EXPECT_TRUE(store->findByKey(kInbox, keyOfId("1700000000.M1P1.other")).ok());
}

TEST_F(MaildirStoreTest, FindByKey) {
    std::string a = deliverFixture("missing-date.eml");
    std::string b = deliverFixture("html-only.eml", kInbox, "S");
    Result<std::vector<MessageInfo>> list = store->list(kInbox);
    ASSERT_TRUE(list.ok());
    for (const MessageInfo& info : *list) {
        Result<MessageInfo> found = store->findByKey(kInbox, info.key);
        ASSERT_TRUE(found.ok());
        EXPECT_EQ(found->id, info.id);
    }
    EXPECT_EQ(store->findByKey(kInbox, 12345).status(), Status::NotFound);
    // The key survives flag changes and moves, as the identifier does.
    ASSERT_EQ(store->createFolder("Trash"), Status::Ok);
    ASSERT_EQ(store->setFlags(kInbox, a, "S", ""), Status::Ok);
    ASSERT_EQ(store->move(kInbox, a, "Trash"), Status::Ok);
    EXPECT_EQ(store->findByKey("Trash", keyOfId(a))->id, a);
    EXPECT_EQ(store->findByKey(kInbox, keyOfId(a)).status(), Status::NotFound);
    EXPECT_EQ(store->findByKey(kInbox, keyOfId(b))->id, b);
}

TEST_F(MaildirStoreTest, FindByKeyInAFolderRemovedSinceItsListingIsNotFound) {
    // A listed folder is not checked again on every look-up by key; one removed by another
    // program since is still found out, and nothing of it is handed out.
    ASSERT_EQ(store->createFolder("Archive"), Status::Ok);
    Result<std::string> id = store->deliverRaw("Archive", fixture("missing-date.eml"));
    ASSERT_TRUE(id.ok());
    ASSERT_EQ(ids("Archive").size(), 1u);
    ASSERT_TRUE(store->findByKey("Archive", keyOfId(*id)).ok());
    std::filesystem::remove_all(root() + "/.Archive");
    EXPECT_EQ(store->findByKey("Archive", keyOfId(*id)).status(), Status::NotFound);
    EXPECT_EQ(store->read("Archive", *id).status(), Status::NotFound);
    EXPECT_EQ(store->list("Archive").status(), Status::NotFound);
}

TEST_F(MaildirStoreTest, StaleTmpFilesAreCleanedOnOpen) {
    ASSERT_EQ(store->createFolder("Sent"), Status::Ok);
    spit(root() + "/tmp/old", "x");
    spit(root() + "/tmp/recent", "x");
    spit(root() + "/.Sent/tmp/old", "x");
    std::time_t now = std::time(nullptr);
    struct utimbuf old = {now - 37 * 3600, now - 37 * 3600};
    struct utimbuf recent = {now - 35 * 3600, now - 35 * 3600};
    ::utime((root() + "/tmp/old").c_str(), &old);
    ::utime((root() + "/tmp/recent").c_str(), &recent);
    ::utime((root() + "/.Sent/tmp/old").c_str(), &old);
    reopen();
    EXPECT_EQ(filesIn(root() + "/tmp"), std::vector<std::string>{"recent"});
    EXPECT_TRUE(filesIn(root() + "/.Sent/tmp").empty());
}

// The number of lines of the write trace at `path` that name `op`.
int tracedOps(const std::string& path, const std::string& op) {
    std::istringstream in(slurp(path));
    int count = 0;
    for (std::string line; std::getline(in, line);) count += line.find("\t" + op + "\t") != std::string::npos;
    return count;
}

TEST_F(MaildirStoreTest, PickingUpNewMailMovesItToCurInOnePass) {
    std::string seen = deliverFixture("missing-date.eml", kInbox, "S");
    std::string flagged = deliverFixture("quoted-printable.eml", kInbox, "FR");
    std::vector<std::string> fresh = {deliverFixture("many-recipients.eml"), deliverFixture("missing-date.eml"),
                                      deliverFixture("quoted-printable.eml")};
    ASSERT_EQ(filesIn(root() + "/new").size(), 3u);
    // Listed first, so the store's own index has to follow the moves.
    std::vector<std::string> before = ids(kInbox);
    const std::string trace = dir.path() + "/trace";
    armWriteFault(0, 0, trace);
    Status picked = store->pickUpNew(kInbox);
    disarmWriteFault();
    ASSERT_EQ(picked, Status::Ok);
    EXPECT_TRUE(filesIn(root() + "/new").empty());
    EXPECT_EQ(tracedOps(trace, "rename"), 3);
    EXPECT_EQ(tracedOps(trace, "fsync"), 1) << "one flush of cur/ for the whole batch";
    EXPECT_EQ(ids(kInbox), before) << "every identifier kept";
    EXPECT_EQ(store->find(kInbox, seen)->flags, "S");
    EXPECT_EQ(store->find(kInbox, flagged)->flags, "FR");
    for (const std::string& id : fresh) {
        SCOPED_TRACE(id);
        EXPECT_EQ(store->find(kInbox, id)->flags, "");
        EXPECT_TRUE(slurp(root() + "/cur/" + id + ":2,").size() > 0);
        EXPECT_TRUE(store->read(kInbox, id).ok());
    }
    // Nothing new: nothing renamed, nothing flushed.
    armWriteFault(0, 0, trace + "2");
    EXPECT_EQ(store->pickUpNew(kInbox), Status::Ok);
    disarmWriteFault();
    EXPECT_NE(::access((trace + "2").c_str(), F_OK), 0) << "no change traced at all";
    EXPECT_EQ(store->pickUpNew("No Such Folder"), Status::NotFound);
}

TEST_F(MaildirStoreTest, AMessageTakenAwayDuringPickUpIsSkipped) {
    std::vector<std::string> fresh = {deliverFixture("many-recipients.eml"), deliverFixture("missing-date.eml"),
                                      deliverFixture("quoted-printable.eml")};
    // The second rename finds its file gone, as when another program took it after the scan.
    armWriteFault(2, ENOENT);
    Status picked = store->pickUpNew(kInbox);
    disarmWriteFault();
    EXPECT_EQ(picked, Status::Ok);
    EXPECT_EQ(filesIn(root() + "/new").size(), 1u);
    EXPECT_EQ(filesIn(root() + "/cur").size(), 2u);
    // One that is really gone before the pick-up is no trouble either.
    std::string left = filesIn(root() + "/new").front();
    ASSERT_EQ(::unlink((root() + "/new/" + left).c_str()), 0);
    EXPECT_EQ(store->pickUpNew(kInbox), Status::Ok);
    EXPECT_EQ(ids(kInbox).size(), 2u);
    // A move that fails for another reason is reported; the rest still move.
    deliverFixture("missing-date.eml");
    deliverFixture("quoted-printable.eml");
    armWriteFault(1, EIO);
    picked = store->pickUpNew(kInbox);
    disarmWriteFault();
    EXPECT_EQ(picked, Status::IoError);
    EXPECT_EQ(filesIn(root() + "/new").size(), 1u);
    EXPECT_EQ(store->pickUpNew(kInbox), Status::Ok);
    EXPECT_TRUE(filesIn(root() + "/new").empty());
}

TEST_F(MaildirStoreTest, AFailedWriteLeavesNothingBehind) {
    std::string id = deliverFixture("quoted-printable.eml");
    std::string original = fixture("quoted-printable.eml");
    // A file size limit makes every write past 4 KiB fail, as a full disk would (and works
    // for root, whom permissions would not stop).
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previous = ::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = {4096, old.rlim_max};
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Result<std::string> delivered = store->deliverRaw(kInbox, fixture("many-recipients.eml"));
    Status rewritten = store->rewriteHeaders(kInbox, id, {{"X-Long", std::string(5000, 'x')}});
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, previous);

    EXPECT_EQ(delivered.status(), Status::IoError);
    EXPECT_EQ(rewritten, Status::IoError);
    EXPECT_TRUE(filesIn(root() + "/tmp").empty());
    EXPECT_EQ(ids(kInbox), std::vector<std::string>{id});
    EXPECT_EQ(*store->readRaw(kInbox, id), original);
}

}  // namespace
}  // namespace vesk::store
