#include "VimFixture.h"

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/RegistryValues.h"

namespace vimtest {
namespace fs = std::filesystem;

std::string message(const std::string& from, const std::string& to, const std::string& subject,
                    const std::string& body, const std::string& extraHeaders) {
    return "From: " + from + "\nTo: " + to + "\nSubject: " + subject +
           "\nDate: Wed, 24 Nov 1999 17:41:00 +0100\nMIME-Version: 1.0\n" + extraHeaders +
           "Content-Type: text/plain; charset=us-ascii\n\n" + body;
}

vimRecipient recipient(const std::string& displayName, const std::string& address) {
    vimRecipient r{};
    r.Type = VIMSEL_UNKNOWN_RECIP_TYPE;
    r.DName.Type = VIMSEL_NATIVE;
    std::snprintf(r.DName.Value, sizeof r.DName.Value, "%s", displayName.c_str());
    r.Address.Type = VIMSEL_NATIVE;
    std::snprintf(r.Address.Value, sizeof r.Address.Value, "%s", address.c_str());
    return r;
}

template <class Fn>
void bind(HMODULE library, Fn& fn, int ordinal) {
    fn = VeskProcAs<Fn>(GetProcAddress(library, MAKEINTRESOURCEA(ordinal)));
    EXPECT_NE(fn, nullptr) << "ordinal " << ordinal;
}

void VimFixture::SetUp() {
    char pattern[] = "/tmp/vim32-test-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    home = pattern;
    captureDir = home + "/captured";
    fs::create_directories(captureDir);
    ::setenv("VESK_HOME", home.c_str(), 1);
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();

    library = LoadLibraryA(VIM32_DLL_NAME);
    ASSERT_NE(library, nullptr) << VIM32_DLL_NAME " not found in " VESK_TEST_MODULE_DIR;
    bind(library, vim.Initialize, VIMORD_INITIALIZE);
    bind(library, vim.QueryCapability, VIMORD_QUERYCAPABILITY);
    bind(library, vim.GetDefaultSessionInfo, VIMORD_GETDEFAULTSESSIONINFO);
    bind(library, vim.OpenSession, VIMORD_OPENSESSION);
    bind(library, vim.GetEntityName, VIMORD_GETENTITYNAME);
    bind(library, vim.CloseSession, VIMORD_CLOSESESSION);
    bind(library, vim.Terminate, VIMORD_TERMINATE);
    bind(library, vim.CreateMessage, VIMORD_CREATEMESSAGE);
    bind(library, vim.SetMessageHeader, VIMORD_SETMESSAGEHEADER);
    bind(library, vim.SetMessageRecipient, VIMORD_SETMESSAGERECIPIENT);
    bind(library, vim.SetMessageItem, VIMORD_SETMESSAGEITEM);
    bind(library, vim.SendMessage, VIMORD_SENDMESSAGE);
    bind(library, vim.CloseMessage, VIMORD_CLOSEMESSAGE);
    bind(library, vim.OpenMessageContainer, VIMORD_OPENMESSAGECONTAINER);
    bind(library, vim.EnumerateMessages, VIMORD_ENUMERATEMESSAGES);
    bind(library, vim.EnumerateMsgAttrValues, VIMORD_ENUMERATEMSGATTRVALUES);
    bind(library, vim.CloseMessageContainer, VIMORD_CLOSEMESSAGECONTAINER);
    bind(library, vim.OpenMessage, VIMORD_OPENMESSAGE);
    bind(library, vim.MarkMessageAsRead, VIMORD_MARKMESSAGEASREAD);
    bind(library, vim.EnumerateMessageItems, VIMORD_ENUMERATEMESSAGEITEMS);
    bind(library, vim.OpenMessageItem, VIMORD_OPENMESSAGEITEM);
    bind(library, vim.ReadMessageItem, VIMORD_READMESSAGEITEM);
    bind(library, vim.CloseMessageItem, VIMORD_CLOSEMESSAGEITEM);
    bind(library, vim.EnumerateMessageRecipients, VIMORD_ENUMERATEMESSAGERECIPIENTS);
    bind(library, vim.EnumerateAddressBooks, VIMORD_ENUMERATEADDRESSBOOKS);
    bind(library, vim.OpenAddressBook, VIMORD_OPENADDRESSBOOK);
    bind(library, vim.MatchAddressBook, VIMORD_MATCHADDRESSBOOK);
    bind(library, vim.GetABEntryAttributes, VIMORD_GETABENTRYATTRIBUTES);
    bind(library, vim.CloseAddressBook, VIMORD_CLOSEADDRESSBOOK);
    bind(library, vim.SetMessageCategory, VIMORD_SETMESSAGECATEGORY);
    if (HasFailure()) return;
    ASSERT_EQ(vim.Initialize(), VIMSTS_SUCCESS);
    started = true;
}

void VimFixture::TearDown() {
    if (started) vim.Terminate();
    if (library != nullptr) {
        EXPECT_TRUE(FreeLibrary(library));
    }
    std::error_code ignored;
    if (!home.empty()) fs::remove_all(home, ignored);
}

int VimFixture::tool(const std::vector<std::string>& args, const std::string& input) {
    std::string command = "'" VESK_VIM32_TOOL "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    command += " >/dev/null";
    FILE* pipe = ::popen(command.c_str(), "w");
    if (pipe == nullptr) return -1;
    std::fputs(input.c_str(), pipe);
    int status = ::pclose(pipe);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void VimFixture::makeStandardPostOffice() {
    postOffice = home + "/po";
    ASSERT_EQ(tool({"create", postOffice, "HARBOUR", "INTERNET"}), 0);
    ASSERT_EQ(tool({"adduser", postOffice, "teo", "-", "--display", "Teo Varga", "--address", "teo.varga@example.org"},
                   "harbour7\n"),
              0);
    ASSERT_EQ(tool({"adduser", postOffice, "mira", "tide4", "--display", "Mira Sand"}), 0);
    ASSERT_EQ(vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\VIM", "PostOffice", "po"), ERROR_SUCCESS);
    ASSERT_EQ(vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\VIM", "User", "teo"), ERROR_SUCCESS);
}

void PostOfficeTest::SetUp() {
    VimFixture::SetUp();
    if (HasFatalFailure()) return;
    makeStandardPostOffice();
}

std::unique_ptr<vesk::store::Store> VimFixture::storeOf(const std::string& user) const {
    auto opened = vesk::store::openMaildir(postOffice + "/mailboxes/" + user);
    EXPECT_TRUE(opened.ok()) << user;
    return opened.ok() ? std::move(*opened) : nullptr;
}

std::string VimFixture::deliver(const std::string& user, const std::string& bytes, const std::string& flags) {
    auto store = storeOf(user);
    auto id = store->deliverRaw(vesk::store::kInbox, bytes, flags);
    EXPECT_TRUE(id.ok());
    return id.ok() ? *id : std::string();
}

vimSes VimFixture::logOn(const char* user, const char* password) {
    vimSes session = nullptr;
    EXPECT_EQ(vim.OpenSession(const_cast<char*>(postOffice.c_str()), const_cast<char*>(user),
                              const_cast<char*>(password), VIM_CURRENT_VERSION, VIMSEL_CP1252, &session),
              VIMSTS_SUCCESS);
    EXPECT_NE(session, nullptr);
    return session;
}

vimMsgContainer VimFixture::inbox(vimSes session) {
    vimMsgContainer container = nullptr;
    EXPECT_EQ(vim.OpenMessageContainer(session, nullptr, &container), VIMSTS_SUCCESS);
    return container;
}

std::vector<vimItemDesc> VimFixture::itemsOf(vimMsg message) {
    vimEnumRef pos{};
    vimItemDesc items[10];
    vimWord count = 10;
    vimBool more = VIM_FALSE;
    EXPECT_EQ(vim.EnumerateMessageItems(message, &pos, 1, &count, items, VIMSEL_NO_FILTER, nullptr, &more),
              VIMSTS_SUCCESS);
    EXPECT_EQ(more, VIM_FALSE);
    return std::vector<vimItemDesc>(items, items + count);
}

std::vector<vimRef> VimFixture::listRefs(vimMsgContainer container) {
    std::vector<vimRef> refs;
    vimEnumRef pos{};
    vimRef buffer[10];
    vimAttrDesc desc{VIMSEL_REF, sizeof(vimRef), buffer};
    vimWord count = 10;
    vimBool more = VIM_TRUE;
    while (more && vim.EnumerateMessages(container, &pos, 1, 1, &desc, &count, VIMSEL_NO_FILTER, nullptr, 0, &more) ==
                       VIMSTS_SUCCESS) {
        refs.insert(refs.end(), buffer, buffer + count);
        if (refs.size() > 10000) break;
    }
    return refs;
}

std::string VimFixture::captureScript() {
    std::string path = home + "/capture-sendmail";
    std::ofstream out(path);
    out << "#!/bin/sh\nd='" << captureDir << "'\nn=$(ls \"$d\" | grep -c '^args')\n"
        << "printf '%s\\n' \"$@\" > \"$d/args.$n\"\ncat > \"$d/msg.$n\"\n";
    out.close();
    ::chmod(path.c_str(), 0700);
    return path;
}

std::vector<std::pair<std::string, std::string>> VimFixture::captured() const {
    std::vector<std::pair<std::string, std::string>> calls;
    for (int n = 0;; ++n) {
        std::ifstream args(captureDir + "/args." + std::to_string(n));
        if (!args) break;
        std::stringstream a, m;
        a << args.rdbuf();
        std::ifstream msg(captureDir + "/msg." + std::to_string(n));
        m << msg.rdbuf();
        calls.emplace_back(a.str(), m.str());
    }
    return calls;
}

}  // namespace vimtest
