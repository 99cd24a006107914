#include "BoundaryFixture.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "store/Mailbox.h"
#include "win32/Module.h"

namespace boundary {

namespace fs = std::filesystem;

bool Plugin::load(const std::string& path) {
    module = LoadLibraryA(path.c_str());
    return module != nullptr && BindMailHostExports(module, *this) == nullptr;
}

Plugin::~Plugin() {
    if (module != nullptr) FreeLibrary(module);
}

OwnedRecord::OwnedRecord(const CMsg& m) { EXPECT_EQ(m.ToMailMsg(&msg), MAILHOST_OK); }
OwnedRecord::~OwnedRecord() { ReleaseMailMsg(msg); }

void BoundaryTest::SetUp() {
    // The server's folder goes below the system's temporary folder, before TMPDIR points into
    // the desktop (which its unprivileged processes cannot enter).
    if (const char* tmp = std::getenv("TMPDIR")) systemTmp = tmp;
    if (overImap()) {
        server = std::make_unique<vesk::store::testing::DovecotServer>(
            vesk::store::testing::DovecotOptions{{{"anna", "anna-imap"}}, ""});
    }
    char pattern[] = "/tmp/boundary-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    home = pattern;
    fs::create_directories(home + "/tmp");
    ::setenv("VESK_HOME", home.c_str(), 1);
    ::setenv("TMPDIR", (home + "/tmp").c_str(), 1);
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
    traits().prepareDesktop(home);
    if (overImap()) {
        ASSERT_NE(traits().useImap, nullptr) << traits().name << " cannot be pointed at an IMAP mailbox";
        imap.url = server->url("anna");
        imap.password = "anna-imap";
        imap.caFile = server->certificate();
        // The plug-ins' own state folder for that mailbox: what they cached and queued is
        // what the test sees.
        imap.stateDir = vesk::store::imapStateFolder(imap.url);
        imap.timeoutSeconds = 20;
        traits().useImap(home, {imap.url, imap.password, imap.caFile});
    }
    config = home + "/conduit.ini";
    traits().writeConfig(config);
    ASSERT_TRUE(plugin.load(std::string(VESK_TEST_MODULE_DIR) + "/" + traits().library));
}

void BoundaryTest::TearDown() {
    if (plugin.module != nullptr) {
        plugin.Logoff();
        plugin.Uninitialize();
    }
    server.reset();
    if (systemTmp) ::setenv("TMPDIR", systemTmp->c_str(), 1);
    else ::unsetenv("TMPDIR");
    std::error_code ignored;
    fs::remove_all(home, ignored);
}

std::vector<std::string> BoundaryTest::deliver(int count) {
    auto store = openStore();
    std::vector<std::string> ids;
    const char* const corpus[] = {"01-plain-note.eml", "02-soft-wrapped.eml", "03-windows-1252-body.eml",
                                  "05-two-attachments.eml", "09-many-cc.eml"};
    for (int i = 0; i < count && store; ++i) {
        std::ifstream in(std::string(VESK_BOUNDARY_CORPUS) + "/" + corpus[i % 5], std::ios::binary);
        std::stringstream bytes;
        bytes << in.rdbuf();
        auto id = store->deliverRaw(vesk::store::kInbox, bytes.str(), "");
        EXPECT_TRUE(id.ok());
        ids.push_back(id.ok() ? *id : "");
    }
    return ids;
}

std::unique_ptr<vesk::store::Store> BoundaryTest::openStore() const {
    auto opened = overImap() ? vesk::store::openImap(imap) : vesk::store::openMaildir(home + "/" + traits().maildir);
    EXPECT_TRUE(opened.ok()) << vesk::store::describe(opened.status()) << "; "
                             << (server ? server->log() : std::string());
    return opened.ok() ? std::move(*opened) : nullptr;
}

size_t BoundaryTest::folderSize(const std::string& folder) const {
    auto store = openStore();
    if (!store) return 0;
    auto listing = store->list(folder);
    return listing.ok() ? listing->size() : 0;
}

void BoundaryTest::startSession() {
    ASSERT_EQ(plugin.Initialize(), MAILHOST_OK);
    ASSERT_EQ(plugin.Logon(1, config.c_str()), MAILHOST_OK);
}

Listing BoundaryTest::listAll(int headersOnly) {
    Listing listing;
    MailMsg** msgs = nullptr;
    listing.result = plugin.GetAllMsgs(&msgs, &listing.count, headersOnly);
    if (listing.result == MAILHOST_OK && msgs != nullptr) {
        for (int i = 0; i < listing.count; ++i) listing.records.emplace_back(*msgs[i]);
        EXPECT_EQ(plugin.FreeMailMsg(msgs, listing.count), MAILHOST_OK);
    }
    return listing;
}

std::vector<BoundaryCase> BoundaryCases(bool imap) {
    std::vector<BoundaryCase> cases;
    for (const PluginTraits* traits : RegisteredPlugins()) cases.push_back({traits, imap});
    return cases;
}

std::string PluginName(const ::testing::TestParamInfo<BoundaryCase>& info) { return info.param.traits->name; }

void PrintTo(const BoundaryCase& c, std::ostream* out) {
    *out << (c.traits ? c.traits->name : std::string("no plug-in")) << (c.imap ? " over IMAP" : " over a Maildir");
}

}  // namespace boundary
