#include "PostOfficeDesktop.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "framework/PasswordScramble.h"
#include "platform/RegistryValues.h"
#include "win32/Module.h"
#include "win32/Profile.h"

namespace vimtest {

namespace fs = std::filesystem;

const char kHostName[] = "Lotus cc:Mail 6.0 or higher";

bool Plugin::load(const std::string& path) {
    module = LoadLibraryA(path.c_str());
    return module != nullptr && BindMailHostExports(module, *this) == nullptr;
}

Plugin::~Plugin() {
    if (module != nullptr) FreeLibrary(module);
}

bool PostOfficeDesktop::create(const char* prefix) {
    std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) return false;
    home = pattern;
    ::setenv("VESK_HOME", home.c_str(), 1);
    ::setenv("VESK_LIBRARY_PATH", VESK_TEST_MODULE_DIR, 1);
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    postOffice = home + "/PostOffice";
    fs::create_directories(home + "/mail");
    if (!tool("create " + postOffice + " 'Main Office' Internet") ||
        !tool("adduser " + postOffice + " Teo s3cret --mailbox " + home + "/mail/teo --display 'Teo Varga'" +
              " --address teo@example.org") ||
        !tool("adduser " + postOffice + " Anna annapw --mailbox " + home + "/mail/anna --display 'Anna Berg'") ||
        !tool("addentry " + postOffice + " Teo Boss boss@example.com")) {
        return false;
    }
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\VIM", "PostOffice", postOffice.c_str());
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\VIM", "User", "Teo");
    config = home + "/conduit.ini";
    writeSettings("Teo", "s3cret", "Internet");
    return true;
}

void PostOfficeDesktop::destroy() {
    std::error_code ignored;
    if (!home.empty()) fs::remove_all(home, ignored);
}

bool PostOfficeDesktop::tool(const std::string& args) const {
    const std::string command = std::string(VESK_VIM32_TOOL) + " " + args + " > /dev/null";
    const int status = std::system(command.c_str());
    EXPECT_EQ(status, 0) << command;
    return status == 0;
}

void PostOfficeDesktop::writeSettings(const std::string& user, const std::string& password,
                                      const std::string& gateway, const std::string& path) const {
    WritePrivateProfileStringA("VimPlugin", "MsgHostName", kHostName, config.c_str());
    const std::string section = std::string("VimPlugin ") + kHostName;
    WritePrivateProfileStringA(section.c_str(), "UserAccount", user.c_str(), config.c_str());
    WritePrivateProfileStringA(section.c_str(), "UserData", ScramblePassword(password).c_str(), config.c_str());
    WritePrivateProfileStringA(section.c_str(), "PostOfficePath", (path.empty() ? postOffice : path).c_str(),
                               config.c_str());
    WritePrivateProfileStringA(section.c_str(), "InternetGateway", gateway.c_str(), config.c_str());
}

std::unique_ptr<vesk::store::Store> PostOfficeDesktop::mailbox(const std::string& user) const {
    auto opened = vesk::store::openMaildir(home + "/mail/" + user);
    EXPECT_TRUE(opened.ok());
    return opened.ok() ? std::move(*opened) : nullptr;
}

size_t PostOfficeDesktop::folderSize(const std::string& user, const std::string& folder) const {
    auto listing = mailbox(user)->list(folder);
    return listing.ok() ? listing->size() : 0;
}

}  // namespace vimtest
