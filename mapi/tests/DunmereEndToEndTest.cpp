// Dunmere end to end: dunmere.so loaded through the module loader as the conduit loads it,
// over the real mapi32 stand-in and a real Maildir in a temporary desktop; the wizard over a
// scripted presenter window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>

#include "MapiDesktop.h"
#include "framework/MailHostExports.h"
#include "framework/Msg.h"
#include "morleaf_ids.h"
#include "platform/RegistryValues.h"
#include "platform/ScriptedPresenter.h"
#include "store/Store.h"
#include "win32/Module.h"
#include "win32/Profile.h"
#include "win32/PropSheet.h"
#include "win32/Window.h"

namespace mapitest {
namespace {

namespace fs = std::filesystem;
namespace store = vesk::store;
using vesk::ui::ScriptAction;

const char kExchange[] = "Microsoft Exchange 5.0 or higher";

class DunmereEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/dunmere-e2e-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        home = pattern;
        ::setenv("VESK_HOME", home.c_str(), 1);
        ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
        PrepareMapiProfile(home);
        config = home + "/conduit.ini";
        WritePrivateProfileStringA("MapiPlugin", "MsgHostName", kExchange, config.c_str());
        WritePrivateProfileStringA((std::string("MapiPlugin ") + kExchange).c_str(), "UserMAPIProfile", "Teo",
                                   config.c_str());
        module = LoadLibraryA(VESK_TEST_MODULE_DIR "/dunmere.so");
        ASSERT_NE(module, nullptr);
        ASSERT_EQ(BindMailHostExports(module, plugin), nullptr);
        plugin.SetHostConfigInfo("", 0);
    }
    void TearDown() override {
        if (module != nullptr) {
            plugin.Logoff();
            plugin.Uninitialize();
            FreeLibrary(module);
        }
        std::error_code ignored;
        fs::remove_all(home, ignored);
    }
    std::unique_ptr<store::Store> openStore() {
        auto opened = store::openMaildir(home + "/mail/anna");
        EXPECT_TRUE(opened.ok());
        return opened.ok() ? std::move(*opened) : nullptr;
    }
    std::string deliver(const std::string& subject, const std::string& body, const std::string& flags = "") {
        std::string raw = "From: Bob Hansen <bob@example.com>\nTo: Anna Berg <anna.berg@example.org>\nSubject: " +
                          subject + "\nDate: Mon, 15 Jan 2024 10:30:00 +0000\n\n" + body;
        auto id = openStore()->deliverRaw(store::kInbox, raw, flags);
        EXPECT_TRUE(id.ok());
        return id.ok() ? *id : "";
    }
    std::vector<CMsg> listAll(int headersOnly = 0) {
        MailMsg** msgs = nullptr;
        int count = 0;
        EXPECT_EQ(plugin.GetAllMsgs(&msgs, &count, headersOnly), MAILHOST_OK);
        std::vector<CMsg> records;
        for (int i = 0; i < count; ++i) records.emplace_back(*msgs[i]);
        if (msgs != nullptr) {
            EXPECT_EQ(plugin.FreeMailMsg(msgs, count), MAILHOST_OK);
        }
        return records;
    }
    void startSession() {
        ASSERT_EQ(plugin.Initialize(), MAILHOST_OK);
        ASSERT_EQ(plugin.Logon(0, config.c_str()), MAILHOST_OK);
    }

    std::string home;
    std::string config;
    HMODULE module = nullptr;
    MailHostExports plugin;
};

// Lines whose second character is punctuation are never joined, so the text the conduit gets
// is the first 65535 bytes of the body exactly.
TEST_F(DunmereEndToEndTest, AHundredThousandCharacterBodyArrivesCutTo65535Bytes) {
    // 1000 lines of 100 characters with their CR LF: 100,000 characters.
    std::string body;
    for (int i = 0; i < 1000; ++i) body += std::to_string(i % 10) + "-" + std::string(96, 'y') + "\n";
    const std::string crlf = [&] {
        std::string out;
        for (char c : body) {
            if (c == '\n') out += '\r';
            out += c;
        }
        return out;
    }();
    ASSERT_EQ(crlf.size(), 100000u);
    deliver("Long", body);
    startSession();
    std::vector<CMsg> records = listAll();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].m_body.size(), 65535u);
    EXPECT_EQ(records[0].m_body, crlf.substr(0, 65535));
    EXPECT_EQ(records[0].m_size, 65535u);
}

TEST_F(DunmereEndToEndTest, ADeletedMessageIsInDeletedItems) {
    const std::string kept = deliver("Kept", "Stays.\n");
    const std::string gone = deliver("Gone", "Goes.\n");
    startSession();
    std::vector<CMsg> records = listAll(1);
    ASSERT_EQ(records.size(), 2u);
    const CMsg& victim = records[0].m_subject == "Gone" ? records[0] : records[1];
    MailMsg* record = nullptr;
    ASSERT_EQ(victim.ToMailMsg(&record), MAILHOST_OK);
    EXPECT_EQ(plugin.DeleteMsg(record), MAILHOST_OK);
    // Gone already: the second move finds nothing.
    EXPECT_EQ(plugin.DeleteMsg(record), MAILHOST_SERVER_ERROR);
    ReleaseMailMsg(record);
    records = listAll(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].m_subject, "Kept");
    auto s = openStore();
    // Deleted Items is the account's trash folder of the Maildir ("Trash" unless the registry
    // names another).
    auto deleted = s->list("Trash");
    ASSERT_TRUE(deleted.ok()) << ::testing::PrintToString(*s->folders());
    ASSERT_EQ(deleted->size(), 1u);
    EXPECT_EQ(s->read("Trash", deleted->front().id)->subject, "Gone");
    EXPECT_TRUE(s->find(store::kInbox, kept).ok());
}

// What the handheld changed is what the next listing reports and what a mail reader sees.
TEST_F(DunmereEndToEndTest, ReadStateAndImportanceFromTheHandheldReachTheMaildir) {
    const std::string id = deliver("Changed", "Text.\n", "S");
    startSession();
    std::vector<CMsg> records = listAll(1);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_NE(records[0].m_flags & MAILMSG_FLAG_READ, 0u);
    MailMsg* record = nullptr;
    ASSERT_EQ(records[0].ToMailMsg(&record), MAILHOST_OK);
    struct Step {
        int read;
        int priority;
        const char* header;  ///< X-Priority a mail reader sees; null: none
    };
    for (Step step : {Step{0, 0, "1"}, Step{1, 2, "5"}, Step{0, 1, nullptr}}) {
        SCOPED_TRACE(step.priority);
        ASSERT_EQ(plugin.SetMsgReadStatus(record, step.read), MAILHOST_OK);
        ASSERT_EQ(plugin.SetMsgPriority(record, step.priority), MAILHOST_OK);
        records = listAll(1);
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ((records[0].m_flags & MAILMSG_FLAG_READ) != 0, step.read != 0);
        EXPECT_EQ((records[0].m_flags >> MAILMSG_FLAG_PRIORITY_SHIFT) & 3u, static_cast<uint32_t>(step.priority));
        auto s = openStore();
        auto listing = s->list(store::kInbox);
        ASSERT_TRUE(listing.ok());
        ASSERT_EQ(listing->size(), 1u);
        EXPECT_EQ(listing->front().seen(), step.read != 0);
        auto raw = s->readRaw(store::kInbox, listing->front().id);
        ASSERT_TRUE(raw.ok());
        if (step.header != nullptr) {
            EXPECT_NE(raw->find(std::string("X-Priority: ") + step.header), std::string::npos) << *raw;
        } else {
            EXPECT_EQ(raw->find("X-Priority:"), std::string::npos) << *raw;
        }
    }
    EXPECT_EQ(plugin.SetMsgPriority(record, 3), MAILHOST_ERROR);
    ReleaseMailMsg(record);
}

TEST_F(DunmereEndToEndTest, InitializeAnswersForTheRegistryAndTheLibrary) {
    vesk::writeRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "MAPIX", "0");
    EXPECT_EQ(plugin.Initialize(), MAILHOST_HOST_NOT_INSTALLED);
    EXPECT_EQ(plugin.Uninitialize(), MAILHOST_OK);
    vesk::writeRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "MAPIX", "1");
    // A mapi32 with Simple MAPI only lacks the Extended MAPI entry points.
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR "/fixtures/no-resolve", 1);
    EXPECT_EQ(plugin.Initialize(), MAILHOST_OK) << "the fixture carries the whole library";
    EXPECT_EQ(plugin.Uninitialize(), MAILHOST_OK);
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
    // A profile nobody set up.
    ASSERT_EQ(plugin.Initialize(), MAILHOST_OK);
    WritePrivateProfileStringA((std::string("MapiPlugin ") + kExchange).c_str(), "UserMAPIProfile", "Nobody",
                               config.c_str());
    EXPECT_EQ(plugin.Logon(0, config.c_str()), MAILHOST_LOGON_FAILED);
}

// ---- the wizard ----------------------------------------------------------------------------

struct WizardRun {
    int result = -1;
    int outcome = 77;
    std::shared_ptr<vesk::ui::ScriptedPresenter> presenter;
};

class DunmereWizardTest : public DunmereEndToEndTest {
protected:
    WizardRun wizard(std::vector<ScriptAction> actions, int inMailSetup) {
        WizardRun r;
        HWND window = vesk::ui::createScriptedPresenterWindow(std::move(actions), &r.presenter);
        EXPECT_NE(window, nullptr);
        r.result = plugin.DisplayConfigWizardPages(window, config.c_str(), kExchange, 0, 0, inMailSetup, &r.outcome);
        DestroyWindow(window);
        EXPECT_TRUE(r.presenter->transcript().errors().empty()) << r.presenter->transcript().toText();
        return r;
    }
    std::string savedProfile() {
        const std::string file = home + "/saved.ini";
        EXPECT_EQ(plugin.SetHostConfigInfo(file.c_str(), 1), 1);
        char value[256] = "";
        GetPrivateProfileStringA((std::string("MapiPlugin ") + kExchange).c_str(), "UserMAPIProfile", "", value,
                                 sizeof value, file.c_str());
        return value;
    }
};

TEST_F(DunmereWizardTest, NextTestsALogonAndFinishKeepsTheProfile) {
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles", "Names", "Archive;Teo;Work");
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles\\Archive", "Account", "anna");
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles\\Work", "Account", "nobody");
    WizardRun r = wizard({ScriptAction::press("Next"), ScriptAction::press("Finish")}, 1);
    ASSERT_EQ(r.result, MAILHOST_OK);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
    const auto& transcript = r.presenter->transcript();
    auto profilePages = transcript.pagesOf(MORLEAF_IDD_PROFILE_PAGE);
    ASSERT_FALSE(profilePages.empty());
    // The stored profile is the one shown.
    EXPECT_EQ(profilePages.front()->control(MORLEAF_IDC_PROFILE)->text, "Teo");
    auto closing = transcript.pagesOf(MORLEAF_IDD_CONGRATS_PAGE);
    ASSERT_FALSE(closing.empty());
    EXPECT_EQ(closing.front()->control(MORLEAF_IDC_SUMMARY_MAIL_SYSTEM)->text, kExchange);
    EXPECT_EQ(closing.front()->control(MORLEAF_IDC_SUMMARY_PROFILE)->text, "Teo");
    EXPECT_EQ(closing.front()->button(ID_WIZFINISH)->text, "&Next >");
    EXPECT_TRUE(transcript.boxes().empty()) << transcript.toText();
    EXPECT_EQ(savedProfile(), "Teo");
}

// A configuration without a stored profile must not wipe the default the page chose.
TEST_F(DunmereWizardTest, WithoutAStoredProfileTheDefaultProfileIsShown) {
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles", "Names", "Archive;Teo");
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles\\Archive", "Account", "anna");
    std::remove(config.c_str());
    WizardRun r = wizard({ScriptAction::press("Next"), ScriptAction::press("Finish")}, 0);
    ASSERT_EQ(r.result, MAILHOST_OK);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
    auto pages = r.presenter->transcript().pagesOf(MORLEAF_IDD_PROFILE_PAGE);
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages.front()->control(MORLEAF_IDC_PROFILE)->text, "Teo");
    EXPECT_EQ(savedProfile(), "Teo");
}

TEST_F(DunmereWizardTest, AFailedTestLogonAsksAndSaveGoesOn) {
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles", "Names", "Teo;Work");
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles\\Work", "Account", "nobody");
    WizardRun r = wizard({ScriptAction::select(MORLEAF_IDC_PROFILE, "Work"), ScriptAction::press("Next"),
                          ScriptAction::press("Cancel"), ScriptAction::press("Next"), ScriptAction::press("&Save"),
                          ScriptAction::press("Finish")},
                         0);
    ASSERT_EQ(r.result, MAILHOST_OK);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED);
    const auto& transcript = r.presenter->transcript();
    EXPECT_EQ(transcript.pagesOf(MORLEAF_IDD_LOGON_FAILED).size(), 2u) << transcript.toText();
    EXPECT_EQ(savedProfile(), "Work");
}

TEST_F(DunmereWizardTest, WithoutProfilesNoTakesTheWizardBack) {
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles", "Names", "");
    WizardRun r = wizard({ScriptAction::answer("No")}, 1);
    EXPECT_EQ(r.result, MAILHOST_OK);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_BACK);
    ASSERT_EQ(r.presenter->transcript().boxes().size(), 1u);
}

// Without a profile the page offers the mail system's profile wizard; the profile made there
// is tested, taken and kept.
TEST_F(DunmereWizardTest, AProfileMadeInTheProfileWizardIsTakenAndKept) {
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Profiles", "Names", "");
    WizardRun r = wizard({ScriptAction::answer("Yes"), ScriptAction::type(101, "Travel"),
                          ScriptAction::type(102, "anna"), ScriptAction::type(103, "s3cret"), ScriptAction::press("OK"),
                          ScriptAction::press("Finish")},
                         0);
    ASSERT_EQ(r.result, MAILHOST_OK);
    EXPECT_EQ(r.outcome, MAILHOST_WIZARD_FINISHED) << r.presenter->transcript().toText();
    EXPECT_TRUE(r.presenter->transcript().pagesOf(MORLEAF_IDD_LOGON_FAILED).empty());
    EXPECT_EQ(savedProfile(), "Travel");
}

TEST_F(DunmereWizardTest, MapiNotInstalledShowsTheErrorBoxAndNoWizard) {
    vesk::writeRegString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Messaging Subsystem", "MAPIX", "");
    WizardRun r = wizard({ScriptAction::answer("OK")}, 1);
    EXPECT_EQ(r.result, MAILHOST_HOST_NOT_INSTALLED);
    EXPECT_EQ(r.outcome, 77);
    EXPECT_TRUE(r.presenter->transcript().pages().empty());
    ASSERT_EQ(r.presenter->transcript().boxes().size(), 1u);
}

}  // namespace
}  // namespace mapitest
