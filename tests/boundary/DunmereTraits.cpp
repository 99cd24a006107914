// Dunmere in the boundary suite: the Extended MAPI plug-in over the mapi32 stand-in, logging
// on with the profile "Teo" that names the account.
#include "MapiDesktop.h"
#include "PluginTraits.h"
#include "win32/Profile.h"

namespace {

void writeDunmereConfig(const std::string& config) {
    const char* host = "Microsoft Exchange 5.0 or higher";
    WritePrivateProfileStringA("MapiPlugin", "MsgHostName", host, config.c_str());
    WritePrivateProfileStringA((std::string("MapiPlugin ") + host).c_str(), "UserMAPIProfile", "Teo", config.c_str());
}

const PluginTraits dunmere{
    "dunmere",
    "dunmere.so",
    PrepareMapiProfile,
    "mail/anna",
    writeDunmereConfig,
    {"Microsoft Exchange 5.0 or higher", "Microsoft Outlook 97 or higher"},
    "Mail System:\tMicrosoft Exchange 5.0 or higher\nProfile:\t\tTeo",
    UseImapForMapiAccount,
    true,
};

}  // namespace

VESK_BOUNDARY_PLUGIN(dunmere)
