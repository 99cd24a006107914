#include "MapiSettings.h"

#include "framework/ResourceStrings.h"
#include "morleaf_ids.h"
#include "win32/Profile.h"

namespace {

// Each value is read into a buffer of this size (at most 1023 characters).
constexpr DWORD kValueSize = 1024;

std::string readValue(const std::string& section, UINT keyId, const char* file) {
    char buffer[kValueSize] = "";
    GetPrivateProfileStringA(section.c_str(), LoadResString(keyId).c_str(), "", buffer, kValueSize, file);
    return buffer;
}

// "MapiPlugin", a blank, and the mail system's name.
std::string hostSection(const std::string& hostName) { return LoadResString(MORLEAF_IDS_SECTION) + " " + hostName; }

bool empty(const char* text) { return text == nullptr || text[0] == '\0'; }

}  // namespace

int CMapiSettings::Load(const char* configFile, const char* hostName) {
    if (empty(configFile)) return 0;
    std::string name = !empty(hostName)
                           ? std::string(hostName)
                           : readValue(LoadResString(MORLEAF_IDS_SECTION), MORLEAF_IDS_KEY_MSG_HOST_NAME, configFile);
    if (name.empty()) return 1;
    std::string profile = readValue(hostSection(name), MORLEAF_IDS_KEY_PROFILE, configFile);
    Set(name, profile);
    return 1;
}

int CMapiSettings::Save(const char* configFile) const {
    if (empty(configFile)) return 0;
    // A half record would name a mail system without the profile to log on with.
    if (!m_hostName.empty() && !m_profile.empty()) {
        WritePrivateProfileStringA(LoadResString(MORLEAF_IDS_SECTION).c_str(),
                                   LoadResString(MORLEAF_IDS_KEY_MSG_HOST_NAME).c_str(), m_hostName.c_str(),
                                   configFile);
        WritePrivateProfileStringA(hostSection(m_hostName).c_str(), LoadResString(MORLEAF_IDS_KEY_PROFILE).c_str(),
                                   m_profile.c_str(), configFile);
    }
    return 1;
}

void CMapiSettings::Clear() {
    m_hostName.clear();
    m_profile.clear();
}

void CMapiSettings::Set(const std::string& hostName, const std::string& profile) {
    m_hostName = hostName;
    m_profile = profile;
}
