// Salvith's session and configuration operations: binding the mail library, logon and
// logoff, the settings in the configuration file, the list of mail programs.
#include <cstring>

#include "SalvithApp.h"
#include "trevlin/Trevlin.h"
#include "framework/CallerBuffer.h"
#include "framework/ResourceStrings.h"
#include "savidne_ids.h"

namespace {

// Sync manager rounds given at each yield.
constexpr int kYieldCycles = 100;

bool isEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

// `format` with its first "%s" replaced by `value`. The format is a resource string, which
// a translation may change; it is never handed to printf.
std::string formatText(const std::string& format, const std::string& value) {
    size_t at = format.find("%s");
    if (at == std::string::npos) return format;
    return format.substr(0, at) + value + format.substr(at + 2);
}

}  // namespace

int CSalvithApp::Initialize() {
    const std::string library = LoadResString(SAVIDNE_IDS_MAPI_LIBRARY);
    if (library.empty()) return MAILHOST_ERROR;
    // Initialising again starts from scratch: an open session and a held library go first.
    if (m_binding.IsBound() || m_binding.HoldsLibrary()) Uninitialize();
    int result = m_binding.Bind(library.c_str());
    if (result != MAILHOST_OK) return result;
    m_session = 0;
    SyncYieldCycles(kYieldCycles);
    return MAILHOST_OK;
}

int CSalvithApp::Uninitialize() {
    // A session left open would outlive the library it belongs to.
    if (m_binding.IsBound() && m_session != 0) m_binding.Functions().MAPILogoff(m_session, 0, 0, 0);
    m_session = 0;
    return m_binding.Unbind();
}

int CSalvithApp::Logon(int syncLogon, const char* configFile) {
    if (!m_binding.IsBound()) return MAILHOST_LOGON_FAILED;
    SyncYieldCycles(kYieldCycles);
    FLAGS flags = MAPI_NEW_SESSION | (syncLogon != 0 ? MAPI_FORCE_DOWNLOAD : 0);
    if (isEmpty(configFile)) return MAILHOST_OK;
    // Logging on again ends the earlier session rather than losing it.
    if (m_session != 0) {
        m_binding.Functions().MAPILogoff(m_session, 0, 0, 0);
        m_session = 0;
    }
    CSmapiSettings stored;
    stored.Load(configFile, nullptr);
    LHANDLE session = 0;
    ULONG rc = m_binding.Functions().MAPILogon(0, const_cast<char*>(stored.UserAccount().c_str()),
                                               const_cast<char*>(stored.Password().c_str()), flags, 0, &session);
    if (rc != SUCCESS_SUCCESS) return MAILHOST_LOGON_FAILED;
    m_session = session;
    return MAILHOST_OK;
}

int CSalvithApp::Logoff() {
    if (!m_binding.IsBound() || m_session == 0) return MAILHOST_OK;
    if (m_binding.Functions().MAPILogoff(m_session, 0, 0, 0) != SUCCESS_SUCCESS) return MAILHOST_ERROR;
    // The handle is dead now: later calls must see that there is no session.
    m_session = 0;
    return MAILHOST_OK;
}

int CSalvithApp::GetHostConfigInfo(const char* configFile, char* textOut, int* textSize) {
    if (textSize == nullptr) return MAILHOST_NULL_ARGUMENT;
    if (!m_settings.IsSet()) m_settings.Load(configFile, nullptr);
    const std::string text = m_settings.HostName().empty()
                                 ? LoadResString(SAVIDNE_IDS_NOT_CONFIGURED)
                                 : formatText(LoadResString(SAVIDNE_IDS_CONFIG_INFO), m_settings.HostName());
    return CopyTextToCaller(text, textOut, textSize);
}

int CSalvithApp::SetHostConfigInfo(const char* configFile, int save) {
    int result = save != 0 ? m_settings.Save(configFile) : 0;
    m_settings.Clear();
    return result;
}

int CSalvithApp::GetSupportedHosts(char* hostsOut, int* hostsSize) {
    return CopyNameListToCaller(LoadResString(SAVIDNE_IDS_SUPPORTED_HOSTS), hostsOut, hostsSize);
}
