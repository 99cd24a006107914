// A listed message that cannot be read for a reason outside its content (gone, or the disk
// refuses it) fails the read as before, and the problem log names the file and the reason.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include "TestSupport.h"
#include "store/ProblemLog.h"
#include "store/Store.h"

namespace vesk::store {
namespace {

class ReadFailureTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("VESK_HOME");
        if (old) m_oldHome = old;
        ::setenv("VESK_HOME", m_home.path().c_str(), 1);
        Result<std::unique_ptr<Store>> s = openMaildir(m_mail.path() + "/box", {true});
        ASSERT_TRUE(s.ok());
        m_store = std::move(*s);
        Result<std::string> id = m_store->deliverRaw(kInbox, "Subject: hi\n\ntext\n");
        ASSERT_TRUE(id.ok());
        m_id = *id;
        ASSERT_TRUE(m_store->list(kInbox).ok());
        m_path = m_mail.path() + "/box/new/" + m_id;
        m_logStart = problemLogSize();
    }
    void TearDown() override {
        if (m_oldHome.empty()) ::unsetenv("VESK_HOME");
        else ::setenv("VESK_HOME", m_oldHome.c_str(), 1);
    }

    test::TempDir m_home, m_mail;
    std::string m_oldHome, m_id, m_path;
    std::unique_ptr<Store> m_store;
    std::uint64_t m_logStart = 0;
};

TEST_F(ReadFailureTest, AMessageThatVanishedIsNotFoundAndLogged) {
    ASSERT_EQ(::unlink(m_path.c_str()), 0);
    EXPECT_EQ(m_store->read(kInbox, m_id).status(), Status::NotFound);
    std::vector<Problem> problems = problemsSince(m_logStart);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].subject, m_path);
    EXPECT_EQ(problems[0].reason, "the message file was removed before it could be read");
    // An identifier no listing ever saw is only not found: nothing to report.
    EXPECT_EQ(m_store->read(kInbox, "1.2.nosuch").status(), Status::NotFound);
    EXPECT_EQ(problemsSince(m_logStart).size(), 1u);
}

TEST_F(ReadFailureTest, AnUnreadableFileIsAnIoErrorNamedInTheLog) {
    // A folder where the file was: open works, read fails with EISDIR, whoever runs the test.
    ASSERT_EQ(::unlink(m_path.c_str()), 0);
    ASSERT_EQ(::mkdir(m_path.c_str(), 0700), 0);
    EXPECT_EQ(m_store->read(kInbox, m_id).status(), Status::IoError);
    std::vector<Problem> problems = problemsSince(m_logStart);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].component, "store");
    EXPECT_EQ(problems[0].subject, m_path);
    EXPECT_EQ(problems[0].reason, "the message file could not be read: Is a directory");
    ::rmdir(m_path.c_str());
}

TEST_F(ReadFailureTest, ContentNeverFailsARead) {
    for (const std::string& bytes : {std::string(), std::string("\0\0\0", 3), std::string("no header at all")}) {
        Result<std::string> id = m_store->deliverRaw(kInbox, bytes);
        ASSERT_TRUE(id.ok());
        EXPECT_TRUE(m_store->read(kInbox, *id).ok());
    }
    EXPECT_TRUE(problemsSince(m_logStart).empty());
}

}  // namespace
}  // namespace vesk::store
