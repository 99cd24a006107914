// The example desktop's post office: Teo's existing Maildir is his mailbox there, and mail
// from Teo to the second user, Mira, arrives in her Maildir.
#include <filesystem>

#include "VimFixture.h"

namespace vimtest {
namespace {

namespace fs = std::filesystem;

class ExampleDesktopTest : public VimFixture {
protected:
    void SetUp() override {
        VimFixture::SetUp();
        if (HasFatalFailure()) return;
        fs::copy(VESK_EXAMPLE_DESKTOP, home, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
        // A checkout keeps no empty folders: every Maildir gets its cur/, new/ and tmp/ back.
        for (const char* user : {"teo", "mira"}) {
            for (const char* sub : {"cur", "new", "tmp"}) fs::create_directories(home + "/mail/" + user + "/" + sub);
        }
        postOffice = home + "/postoffice";
    }
    std::size_t filesIn(const std::string& maildir) {
        std::size_t n = 0;
        for (const char* sub : {"/cur", "/new"}) {
            for (const auto& entry : fs::directory_iterator(maildir + sub)) n += entry.is_regular_file() ? 1 : 0;
        }
        return n;
    }
};

TEST_F(ExampleDesktopTest, TeosMailboxIsHisMaildirAndMailToMiraArrivesInHers) {
    char path[256], user[256];
    ASSERT_EQ(vim.GetDefaultSessionInfo(sizeof path, path, sizeof user, user), VIMSTS_SUCCESS);
    EXPECT_EQ(std::string(path), postOffice);
    EXPECT_STREQ(user, "teo");

    vimSes teo = nullptr;
    ASSERT_EQ(vim.OpenSession(path, user, const_cast<char*>("harbour7"), VIM_CURRENT_VERSION, VIMSEL_CP1252, &teo),
              VIMSTS_SUCCESS);
    EXPECT_EQ(listRefs(inbox(teo)).size(), filesIn(home + "/mail/teo"));
    EXPECT_EQ(filesIn(home + "/mail/teo"), 16u);

    const std::size_t before = filesIn(home + "/mail/mira");
    vimMsg msg = nullptr;
    ASSERT_EQ(vim.CreateMessage(teo, const_cast<char*>(VIM_MAIL), &msg), VIMSTS_SUCCESS);
    // As the plug-in writes a recipient it did not find in an address book.
    vimRecipient mira = recipient("mira castell", "mira.castell@example.org at INTERNET");
    ASSERT_EQ(vim.SetMessageRecipient(msg, VIMSEL_TO, &mira), VIMSTS_SUCCESS);
    const char subject[] = "Minutes of Tuesday's meeting";
    ASSERT_EQ(vim.SetMessageHeader(msg, VIMSEL_SUBJECT, sizeof subject - 1, const_cast<char*>(subject)), VIMSTS_SUCCESS);
    ASSERT_EQ(vim.SendMessage(msg, nullptr, nullptr), VIMSTS_SUCCESS);
    EXPECT_EQ(filesIn(home + "/mail/mira"), before + 1);
    EXPECT_FALSE(fs::exists(home + "/sent-mail")) << "local mail does not leave the desktop";
    vim.CloseSession(teo);

    vimSes hers = logOn("mira", "tide4");
    EXPECT_EQ(listRefs(inbox(hers)).size(), before + 1);
    vim.CloseSession(hers);
}

}  // namespace
}  // namespace vimtest
