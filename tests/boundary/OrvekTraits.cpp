// Orvek in the boundary suite: the VIM plug-in over the vim32 stand-in and a post office below
// the desktop ("postoffice", named relative to $VESK_HOME) whose user anna has her Maildir at
// mail/anna and Bob Hansen in her personal address book, so a message to him goes out through
// the gateway and waits in her outbound queue.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "PluginTraits.h"
#include "framework/PasswordScramble.h"
#include "platform/RegistryValues.h"
#include "win32/Profile.h"

namespace {

const char kCcMail[] = "Lotus cc:Mail 6.0 or higher";

void postOfficeTool(const std::string& args) {
    const std::string command = std::string(VESK_VIM32_TOOL) + " " + args + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

void prepareOrvekDesktop(const std::string& home) {
    std::filesystem::create_directories(home + "/mail");
    const std::string office = home + "/postoffice";
    postOfficeTool("create " + office + " BOUNDARY INTERNET");
    postOfficeTool("adduser " + office + " anna s3cret --mailbox " + home +
                   "/mail/anna --display 'Anna Berg' --address anna.berg@example.org");
    postOfficeTool("addentry " + office + " anna 'Bob Hansen' bob@example.com");
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\VIM", "PostOffice", "postoffice");
    vesk::writeRegString(HKEY_CURRENT_USER, "Software\\Vesk\\VIM", "User", "anna");
}

// The user's section names the server's mailbox instead of the Maildir.
void useImapForOrvek(const std::string& home, const ImapAccount& account) {
    const std::string file = home + "/postoffice/postoffice.ini";
    WritePrivateProfileStringA("User anna", "Mailbox", nullptr, file.c_str());
    WritePrivateProfileStringA("User anna", "Imap", account.url.c_str(), file.c_str());
    WritePrivateProfileStringA("User anna", "ImapPassword", account.password.c_str(), file.c_str());
    WritePrivateProfileStringA("User anna", "ImapCAFile", account.caFile.c_str(), file.c_str());
}

void writeOrvekConfig(const std::string& config) {
    WritePrivateProfileStringA("VimPlugin", "MsgHostName", kCcMail, config.c_str());
    const std::string section = std::string("VimPlugin ") + kCcMail;
    WritePrivateProfileStringA(section.c_str(), "UserAccount", "anna", config.c_str());
    WritePrivateProfileStringA(section.c_str(), "UserData", ScramblePassword("s3cret").c_str(), config.c_str());
    WritePrivateProfileStringA(section.c_str(), "PostOfficePath", "postoffice", config.c_str());
    WritePrivateProfileStringA(section.c_str(), "InternetGateway", "INTERNET", config.c_str());
}

const PluginTraits orvek{
    "orvek",
    "orvek.so",
    prepareOrvekDesktop,
    "mail/anna",
    writeOrvekConfig,
    {kCcMail},
    std::string("Mail System:\t\t") + kCcMail +
        "\nUser Name:\t\tanna\nPost Office Path:\tpostoffice\nInternet Gateway:\tINTERNET",
    useImapForOrvek,
    true,
};

}  // namespace

VESK_BOUNDARY_PLUGIN(orvek)
