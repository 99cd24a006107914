#include "VimSettings.h"

#include "framework/PasswordScramble.h"
#include "framework/ResourceStrings.h"
#include "kestrav_ids.h"
#include "win32/Profile.h"

namespace {

// Each value is read into a buffer of this size (at most 1023 characters).
constexpr DWORD kValueSize = 1024;

std::string readValue(const std::string& section, UINT keyId, const char* file) {
    char buffer[kValueSize] = "";
    GetPrivateProfileStringA(section.c_str(), LoadResString(keyId).c_str(), "", buffer, kValueSize, file);
    return buffer;
}

void writeValue(const std::string& section, UINT keyId, const std::string& value, const char* file) {
    WritePrivateProfileStringA(section.c_str(), LoadResString(keyId).c_str(), value.c_str(), file);
}

// "VimPlugin", a blank, and the mail system's name.
std::string hostSection(const std::string& hostName) {
    return LoadResString(KESTRAV_IDS_SECTION) + " " + hostName;
}

bool empty(const char* text) { return text == nullptr || text[0] == '\0'; }

}  // namespace

bool CVimSettings::Load(const char* configFile, const char* hostName) {
    if (empty(configFile)) return false;
    std::string name = !empty(hostName) ? std::string(hostName)
                                        : readValue(LoadResString(KESTRAV_IDS_SECTION), KESTRAV_IDS_KEY_MSG_HOST_NAME,
                                                    configFile);
    if (name.empty()) return false;
    const std::string section = hostSection(name);
    m_userAccount = readValue(section, KESTRAV_IDS_KEY_USER_ACCOUNT, configFile);
    m_password = UnscramblePassword(readValue(section, KESTRAV_IDS_KEY_USER_DATA, configFile));
    m_postOfficePath = readValue(section, KESTRAV_IDS_KEY_POST_OFFICE_PATH, configFile);
    m_internetGateway = readValue(section, KESTRAV_IDS_KEY_INTERNET_GATEWAY, configFile);
    m_hostName = name;
    return true;
}

int CVimSettings::Save(const char* configFile) const {
    if (empty(configFile)) return 0;
    // Without these three a logon cannot be made; the file keeps what it had.
    if (m_hostName.empty() || m_userAccount.empty() || m_postOfficePath.empty()) return 1;
    writeValue(LoadResString(KESTRAV_IDS_SECTION), KESTRAV_IDS_KEY_MSG_HOST_NAME, m_hostName, configFile);
    const std::string section = hostSection(m_hostName);
    writeValue(section, KESTRAV_IDS_KEY_USER_ACCOUNT, m_userAccount, configFile);
    writeValue(section, KESTRAV_IDS_KEY_USER_DATA, ScramblePassword(m_password), configFile);
    writeValue(section, KESTRAV_IDS_KEY_POST_OFFICE_PATH, m_postOfficePath, configFile);
    writeValue(section, KESTRAV_IDS_KEY_INTERNET_GATEWAY, m_internetGateway, configFile);
    return 1;
}

void CVimSettings::Clear() {
    m_hostName.clear();
    m_userAccount.clear();
    m_password.clear();
    m_postOfficePath.clear();
    m_internetGateway.clear();
}
