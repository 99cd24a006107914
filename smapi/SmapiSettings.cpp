#include "SmapiSettings.h"

#include "framework/PasswordScramble.h"
#include "framework/ResourceStrings.h"
#include "savidne_ids.h"
#include "win32/Profile.h"

namespace {

// Each value is read into a buffer of this size (at most 1023 characters).
constexpr DWORD kValueSize = 1024;

std::string readValue(const std::string& section, UINT keyId, const char* file) {
    char buffer[kValueSize] = "";
    GetPrivateProfileStringA(section.c_str(), LoadResString(keyId).c_str(), "", buffer, kValueSize, file);
    return buffer;
}

// "SmapiPlugin", a blank, and the mail program's name.
std::string hostSection(const std::string& hostName) {
    return LoadResString(SAVIDNE_IDS_SECTION) + " " + hostName;
}

bool empty(const char* text) { return text == nullptr || text[0] == '\0'; }

}  // namespace

int CSmapiSettings::Load(const char* configFile, const char* hostName) {
    if (empty(configFile)) return 0;
    std::string name = !empty(hostName) ? std::string(hostName)
                                        : readValue(LoadResString(SAVIDNE_IDS_SECTION), SAVIDNE_IDS_KEY_MSG_HOST_NAME, configFile);
    if (name.empty()) return 1;
    const std::string section = hostSection(name);
    std::string account = readValue(section, SAVIDNE_IDS_KEY_USER_ACCOUNT, configFile);
    std::string password = UnscramblePassword(readValue(section, SAVIDNE_IDS_KEY_USER_DATA, configFile));
    Set(name, account, password);
    return 1;
}

int CSmapiSettings::Save(const char* configFile) const {
    if (empty(configFile)) return 0;
    if (!m_hostName.empty()) {
        WritePrivateProfileStringA(LoadResString(SAVIDNE_IDS_SECTION).c_str(),
                                   LoadResString(SAVIDNE_IDS_KEY_MSG_HOST_NAME).c_str(), m_hostName.c_str(), configFile);
        const std::string section = hostSection(m_hostName);
        WritePrivateProfileStringA(section.c_str(), LoadResString(SAVIDNE_IDS_KEY_USER_ACCOUNT).c_str(),
                                   m_userAccount.c_str(), configFile);
        WritePrivateProfileStringA(section.c_str(), LoadResString(SAVIDNE_IDS_KEY_USER_DATA).c_str(),
                                   ScramblePassword(m_password).c_str(), configFile);
    }
    return 1;
}

void CSmapiSettings::Clear() {
    m_hostName.clear();
    m_userAccount.clear();
    m_password.clear();
}

void CSmapiSettings::Set(const std::string& hostName, const std::string& userAccount, const std::string& password) {
    m_hostName = hostName;
    m_userAccount = userAccount;
    m_password = password;
}
