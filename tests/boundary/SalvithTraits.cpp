// Salvith in the boundary suite: the Simple MAPI plug-in over the mapi32 stand-in, logging on
// with the account and password stored for Outlook Express.
#include "MapiDesktop.h"
#include "PluginTraits.h"
#include "framework/PasswordScramble.h"
#include "win32/Profile.h"

namespace {

void writeSalvithConfig(const std::string& config) {
    const char* host = "Microsoft Outlook Express";
    WritePrivateProfileStringA("SmapiPlugin", "MsgHostName", host, config.c_str());
    const std::string section = std::string("SmapiPlugin ") + host;
    WritePrivateProfileStringA(section.c_str(), "UserAccount", "anna", config.c_str());
    WritePrivateProfileStringA(section.c_str(), "UserData", ScramblePassword("s3cret").c_str(), config.c_str());
}

const PluginTraits salvith{
    "salvith",
    "salvith.so",
    PrepareMapiAccount,
    "mail/anna",
    writeSalvithConfig,
    {"Eudora 3.0.1 or higher", "Microsoft Outlook Express", "Netscape Communicator 4.5 or higher"},
    "Mail System:\tMicrosoft Outlook Express",
    UseImapForMapiAccount,
    false,  // Simple MAPI cannot change a priority: MAILHOST_OK, nothing changed
};

}  // namespace

VESK_BOUNDARY_PLUGIN(salvith)
