#include "MapiFixture.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>

#include "platform/RegistryValues.h"

namespace mapitest {
namespace fs = std::filesystem;

std::string message(const std::string& from, const std::string& to, const std::string& subject,
                    const std::string& body, const std::string& extraHeaders) {
    return "From: " + from + "\nTo: " + to + "\nSubject: " + subject +
           "\nDate: Wed, 24 Nov 1999 17:41:00 +0100\nMessage-ID: <" + std::to_string(std::rand()) +
           "@test.example>\nMIME-Version: 1.0\n" + extraHeaders +
           "Content-Type: text/plain; charset=us-ascii\n\n" + body;
}

AccountSetup account(const std::string& name) {
    AccountSetup setup;
    setup.name = name;
    return setup;
}

void MapiFixture::SetUp() {
    char pattern[] = "/tmp/mapi32-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    home = pattern;
    captureDir = home + "/captured";
    fs::create_directories(captureDir);
    fs::create_directories(home + "/tmp");
    ::setenv("VESK_HOME", home.c_str(), 1);
    ::setenv("TMPDIR", (home + "/tmp").c_str(), 1);
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
    // Central European time, with its summer time, for every local date in these tests.
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();

    library = LoadLibraryA("mapi32.dll");
    ASSERT_NE(library, nullptr) << "mapi32.dll not found in " VESK_TEST_MODULE_DIR;
    MAPILogon = VeskProcAs<LPMAPILOGON>(GetProcAddress(library, "MAPILogon"));
    MAPILogoff = VeskProcAs<LPMAPILOGOFF>(GetProcAddress(library, "MAPILogoff"));
    MAPISendMail = VeskProcAs<LPMAPISENDMAIL>(GetProcAddress(library, "MAPISendMail"));
    MAPIFindNext = VeskProcAs<LPMAPIFINDNEXT>(GetProcAddress(library, "MAPIFindNext"));
    MAPIReadMail = VeskProcAs<LPMAPIREADMAIL>(GetProcAddress(library, "MAPIReadMail"));
    MAPISaveMail = VeskProcAs<LPMAPISAVEMAIL>(GetProcAddress(library, "MAPISaveMail"));
    MAPIDeleteMail = VeskProcAs<LPMAPIDELETEMAIL>(GetProcAddress(library, "MAPIDeleteMail"));
    MAPIFreeBuffer = VeskProcAs<LPMAPIFREEBUFFER>(GetProcAddress(library, "MAPIFreeBuffer"));
    MAPIResolveName = VeskProcAs<LPMAPIRESOLVENAME>(GetProcAddress(library, "MAPIResolveName"));
    if (!MAPILogon || !MAPILogoff || !MAPISendMail || !MAPIFindNext || !MAPIReadMail || !MAPISaveMail ||
        !MAPIDeleteMail || !MAPIFreeBuffer || !MAPIResolveName) {
        GTEST_SKIP() << "this mapi32 lacks a Simple MAPI call";
    }
}

void MapiFixture::TearDown() {
    if (library != nullptr) {
        EXPECT_TRUE(FreeLibrary(library));
    }
    std::error_code ignored;
    if (!home.empty()) fs::remove_all(home, ignored);
}

std::string MapiFixture::maildirOf(const std::string& name) const { return home + "/mail/" + name; }

void MapiFixture::addAccount(const AccountSetup& setup, bool makeDefault) {
    const std::string key = "Software\\Vesk\\Mail\\Accounts\\" + setup.name;
    ASSERT_EQ(vesk::writeRegString(HKEY_CURRENT_USER, key, "Maildir", "mail/" + setup.name), ERROR_SUCCESS);
    if (!setup.password.empty()) vesk::writeRegString(HKEY_CURRENT_USER, key, "Password", setup.password);
    if (!setup.displayName.empty()) vesk::writeRegString(HKEY_CURRENT_USER, key, "DisplayName", setup.displayName);
    if (!setup.address.empty()) vesk::writeRegString(HKEY_CURRENT_USER, key, "Address", setup.address);
    if (!setup.sendCommand.empty()) vesk::writeRegString(HKEY_CURRENT_USER, key, "SendCommand", setup.sendCommand);
    if (!setup.book.empty()) {
        std::string bookPath = "mail/" + setup.name + "-addresses.txt";
        fs::create_directories(home + "/mail");
        std::ofstream out(home + "/" + bookPath);
        for (const std::string& line : setup.book) out << line << "\n";
        vesk::writeRegString(HKEY_CURRENT_USER, key, "AddressBook", bookPath);
    }
    if (makeDefault) vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail", "DefaultAccount", setup.name);
    if (setup.createMaildir) {
        ASSERT_TRUE(vesk::store::openMaildir(maildirOf(setup.name), {.create = true}).ok());
    }
}

void MapiFixture::setAccountValue(const std::string& name, const std::string& value, const std::string& text) {
    ASSERT_EQ(vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\Mail\\Accounts\\" + name, value, text),
              ERROR_SUCCESS);
}

std::unique_ptr<vesk::store::Store> MapiFixture::storeOf(const std::string& name) const {
    auto opened = vesk::store::openMaildir(maildirOf(name));
    EXPECT_TRUE(opened.ok());
    return opened.ok() ? std::move(*opened) : nullptr;
}

std::string MapiFixture::deliver(const std::string& name, const std::string& bytes, const std::string& flags) {
    auto store = storeOf(name);
    auto id = store->deliverRaw(vesk::store::kInbox, bytes, flags);
    EXPECT_TRUE(id.ok());
    return id.ok() ? *id : std::string();
}

LHANDLE MapiFixture::logOn(const char* profile, const char* password, FLAGS extra) {
    LHANDLE session = 0;
    EXPECT_EQ(MAPILogon(0, const_cast<char*>(profile), const_cast<char*>(password), MAPI_NEW_SESSION | extra, 0,
                        &session),
              SUCCESS_SUCCESS);
    EXPECT_NE(session, 0u);
    return session;
}

std::string MapiFixture::captureScript(int status) {
    std::string path = home + "/sendmail-" + std::to_string(status) + ".sh";
    std::ofstream out(path);
    out << "#!/bin/sh\n"
        << "d='" << captureDir << "'\n"
        << "n=$(ls \"$d\" | grep -c '^args')\n"
        << "printf '%s\\n' \"$@\" > \"$d/args.$n\"\n"
        << "cat > \"$d/msg.$n\"\n";
    if (status != 0) out << "echo 'relay refused the message' >&2\n";
    out << "exit " << status << "\n";
    out.close();
    ::chmod(path.c_str(), 0700);
    return path;
}

std::vector<std::pair<std::vector<std::string>, std::string>> MapiFixture::captured() const {
    std::vector<std::pair<std::vector<std::string>, std::string>> calls;
    for (int n = 0;; ++n) {
        std::ifstream args(captureDir + "/args." + std::to_string(n));
        if (!args) break;
        std::vector<std::string> lines;
        for (std::string line; std::getline(args, line);) lines.push_back(line);
        std::ifstream msg(captureDir + "/msg." + std::to_string(n));
        std::stringstream text;
        text << msg.rdbuf();
        calls.emplace_back(lines, text.str());
    }
    return calls;
}

void MailboxTest::SetUp() {
    MapiFixture::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    AccountSetup anna = account("anna");
    anna.password = "s3cret";
    anna.displayName = "Anna Berg";
    anna.address = "anna.berg@example.org";
    anna.book = {"# Anna's people", "Bob Hansen <bob@example.com>", "Bobby Tables <bobby@example.net>",
                 "\"Carl Nyström\" <carl.nystrom@example.se>", "dora@example.net"};
    addAccount(anna, true);
    AccountSetup bob = account("bob");
    bob.displayName = "Bob Hansen";
    bob.address = "bob@example.com";
    addAccount(bob);
}

std::vector<std::string> walk(LPMAPIFINDNEXT findNext, LHANDLE session) {
    std::vector<std::string> ids;
    char seed[MAPI_LONG_MSGID_SIZE] = "";
    char id[MAPI_LONG_MSGID_SIZE];
    while (findNext(session, 0, nullptr, seed, MAPI_LONG_MSGID, 0, id) == SUCCESS_SUCCESS) {
        ids.emplace_back(id);
        std::snprintf(seed, sizeof seed, "%s", id);
        if (ids.size() > 10000) break;
    }
    return ids;
}

std::vector<fs::path> filesBelow(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_regular_file()) files.push_back(it->path());
    }
    return files;
}

}  // namespace mapitest
