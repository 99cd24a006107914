// Orvek's session and configuration operations: starting and stopping the VIM library, logon
// and logoff, the settings in the configuration file, the list of mail systems.
#include <cstring>

#include "OrvekApp.h"
#include "framework/ResourceStrings.h"
#include "kestrav_ids.h"
#include "trevlin/Trevlin.h"

namespace {

constexpr int kYieldCycles = 100;
// Capability 106 (VIM version) must be at least 100 (VIM 1.00).
constexpr vimSelector kVersionCapability = 106;
constexpr vimDWord kLeastVersion = 100;
// The session is opened for VIM 1.00 in the library's native character set.
constexpr vimDWord kSessionVersion = 100;
constexpr vimSelector kSessionCharset = VIMSEL_CP1252;  // 16
// What the session query fills: a distinguished name of 1284 bytes.
constexpr size_t kSessionQuerySize = 1284;
// The container's names: ten entries of 256 bytes per call.
constexpr vimWord kNameSize = 256;

// The statuses Logon tells apart.
constexpr vimWord kStatusBadPassword = 11;
constexpr vimWord kStatusNoPostOffice = 22;

bool isEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

// `format` with each "%s" in turn replaced by the next of `values`. The format is a resource
// string, which a translation may change; it is never handed to printf.
std::string formatText(const std::string& format, const std::vector<std::string>& values) {
    std::string out;
    size_t from = 0;
    for (const std::string& value : values) {
        size_t at = format.find("%s", from);
        if (at == std::string::npos) break;
        out += format.substr(from, at - from);
        out += value;
        from = at + 2;
    }
    out += format.substr(from);
    return out;
}

int logonResultOf(vimWord status) {
    switch (status) {
        case kStatusBadPassword: return MAILHOST_LOGON_BAD_PASSWORD;
        case kStatusNoPostOffice: return MAILHOST_LOGON_BAD_POST_OFFICE;
        default: return MAILHOST_LOGON_FAILED;
    }
}

}  // namespace

COrvekApp::~COrvekApp() {
    // A host object dropped mid-session (tests make their own) still hands back what it holds.
    if (m_vim.IsBound() && m_vimStarted) Uninitialize();
}

BOOL COrvekApp::InitInstance() {
    CMailHostApp::InitInstance();
    m_vim.Bind();
    return TRUE;
}

int COrvekApp::ExitInstance() {
    // A plug-in unloaded mid-session still hands the library back what it holds.
    if (m_vim.IsBound() && m_vimStarted) Uninitialize();
    m_vim.Unbind();
    return CMailHostApp::ExitInstance();
}

int COrvekApp::Initialize() {
    SyncYieldCycles(kYieldCycles);
    if (!m_vim.IsBound()) return MAILHOST_INIT_FAILED;
    // Started already (the wizard's logon test inside a session): one start, one stop.
    if (m_vimStarted) return MAILHOST_OK;
    const VimFunctions& vim = m_vim.Functions();
    if (VimStatusOf(vim.Initialize()) != 0) return MAILHOST_INIT_FAILED;
    vimDWord version = 0;
    if (VimStatusOf(vim.QueryCapability(kVersionCapability, sizeof version, &version)) != 0 ||
        version < kLeastVersion) {
        // A library this plug-in cannot use is not left running.
        vim.Terminate();
        return MAILHOST_INIT_FAILED;
    }
    m_vimStarted = true;
    SyncYieldCycles(kYieldCycles);
    return MAILHOST_OK;
}

int COrvekApp::Uninitialize() {
    SyncYieldCycles(kYieldCycles);
    if (m_vimStarted) {
        // The mailbox and the session belong to the library being stopped.
        if (m_container != 0 || m_session != 0) Logoff();
        m_vim.Functions().Terminate();
        m_vimStarted = false;
    }
    SyncYieldCycles(kYieldCycles);
    return MAILHOST_OK;
}

int COrvekApp::Logon(int syncLogon, const char* configFile) {
    return Logon(syncLogon, configFile, nullptr, nullptr, nullptr);
}

int COrvekApp::Logon(int syncLogon, const char* configFile, const char* postOfficePath, const char* userAccount,
                     const char* password) {
    SyncYieldCycles(kYieldCycles);
    if (!m_vimStarted) return MAILHOST_LOGON_FAILED;
    std::string path = postOfficePath != nullptr ? postOfficePath : "";
    std::string user = userAccount != nullptr ? userAccount : "";
    std::string secret = password != nullptr ? password : "";
    if (userAccount == nullptr) {
        CVimSettings stored;
        stored.Load(configFile, nullptr);
        path = stored.PostOfficePath();
        user = stored.UserAccount();
        secret = stored.Password();
        m_logonGateway = stored.InternetGateway();
    }

    const VimFunctions& vim = m_vim.Functions();
    vimWord status = 0;
    if (!isEmpty(configFile) && !user.empty()) {
        // A second logon replaces the first rather than losing its handles.
        if (m_container != 0 || m_session != 0) Logoff();
        status = VimStatusOf(vim.OpenSession(path.data(), user.data(), secret.data(), kSessionVersion,
                                             kSessionCharset, &m_session));
        if (status != 0) {
            // The library may have written to the handle before refusing.
            m_session = 0;
            AbandonLogon();
            SyncYieldCycles(kYieldCycles);
            return logonResultOf(status);
        }
    }
    if (syncLogon == 0) return MAILHOST_OK;

    // The library insists on being asked who the session is; the answer is not needed.
    vimDistinguishedName identity{};
    static_assert(sizeof identity == kSessionQuerySize, "the session query fills 1284 bytes");
    status = VimStatusOf(vim.GetEntityName(m_session, &identity));
    if (status == 0 && m_container == 0) {
        // Any refusal to open the mailbox is a plain logon failure.
        if (VimStatusOf(vim.OpenMessageContainer(m_session, nullptr, &m_container)) != 0) {
            m_container = 0;
            status = 1;
        }
    }
    if (status == 0) status = ListContainerNames();
    if (status != 0) {
        AbandonLogon();
        SyncYieldCycles(kYieldCycles);
        return logonResultOf(status);
    }
    SyncYieldCycles(kYieldCycles);
    return MAILHOST_OK;
}

vimStatus COrvekApp::ListContainerNames() {
    m_containerNames.clear();
    const VimFunctions& vim = m_vim.Functions();
    vimEnumRef position{};
    vimWord count = kVimBatch;
    vimBool more = 0;
    char names[kVimBatch][kNameSize];
    for (;;) {
        std::memset(names, 0, sizeof names);
        vimWord status = VimStatusOf(vim.EnumerateMsgAttrValues(m_container, VIMSEL_CATEGORY, &position, 1, kNameSize,
                                                                &names[0][0], &count, &more));
        if (status != 0) return status;
        const vimWord delivered = VimCappedCount(count);
        for (vimWord i = 0; i < delivered; ++i) {
            names[i][kNameSize - 1] = '\0';
            m_containerNames.emplace_back(names[i]);
        }
        // A library that says "more" but delivers nothing would keep this loop going forever.
        if (more == 0 || delivered == 0) return 0;
    }
}

void COrvekApp::AbandonLogon() {
    const VimFunctions& vim = m_vim.Functions();
    if (m_container != 0) {
        vim.CloseMessageContainer(m_container);
        m_container = 0;
    }
    if (m_session != 0) {
        vim.CloseSession(m_session);
        m_session = 0;
    }
    vim.Terminate();
    // Stopped: Logoff and Uninitialize after this find nothing to stop again.
    m_vimStarted = false;
}

int COrvekApp::Logoff() {
    SyncYieldCycles(kYieldCycles);
    const VimFunctions& vim = m_vim.Functions();
    if (m_container != 0) {
        vim.CloseMessageContainer(m_container);
        m_container = 0;
    }
    SyncYieldCycles(kYieldCycles);
    if (m_session != 0) {
        vim.CloseSession(m_session);
        m_session = 0;
    }
    SyncYieldCycles(kYieldCycles);
    return MAILHOST_OK;
}

bool COrvekApp::QueryDefaultLogin(std::string& postOfficePath, std::string& userName) {
    char path[kNameSize] = "";
    char user[kNameSize] = "";
    if (VimStatusOf(m_vim.Functions().GetDefaultSessionInfo(kNameSize, path, kNameSize, user)) != 0) return false;
    path[kNameSize - 1] = '\0';
    user[kNameSize - 1] = '\0';
    postOfficePath = path;
    userName = user;
    return true;
}

int COrvekApp::GetHostConfigInfo(const char* configFile, char* textOut, int* textSize) {
    if (textSize == nullptr) return MAILHOST_NULL_ARGUMENT;
    if (!m_settings.IsConfigured()) m_settings.Load(configFile, nullptr);
    const std::string text =
        m_settings.HostName().empty() || m_settings.UserAccount().empty()
            ? LoadResString(KESTRAV_IDS_NOT_CONFIGURED)
            : formatText(LoadResString(KESTRAV_IDS_CONFIG_INFO),
                         {m_settings.HostName(), m_settings.UserAccount(), m_settings.PostOfficePath(),
                          m_settings.InternetGateway()});
    const int needed = static_cast<int>(text.size()) + 1;
    if (*textSize < needed) {
        *textSize = needed;
        return MAILHOST_BUFFER_TOO_SMALL;
    }
    if (textOut == nullptr) return MAILHOST_NULL_ARGUMENT;
    std::memcpy(textOut, text.c_str(), text.size() + 1);
    return MAILHOST_OK;
}

int COrvekApp::SetHostConfigInfo(const char* configFile, int save) {
    int result = save != 0 ? m_settings.Save(configFile) : 0;
    m_settings.Clear();
    return result;
}

int COrvekApp::GetSupportedHosts(char* hostsOut, int* hostsSize) {
    if (hostsSize == nullptr) return MAILHOST_NULL_ARGUMENT;
    const std::string hosts = LoadResString(KESTRAV_IDS_SUPPORTED_HOSTS);
    const int needed = static_cast<int>(hosts.size()) + 1;
    if (*hostsSize < needed) {
        *hostsSize = needed;
        return MAILHOST_BUFFER_TOO_SMALL;
    }
    if (hostsOut == nullptr) return MAILHOST_NULL_ARGUMENT;
    std::memcpy(hostsOut, hosts.c_str(), hosts.size() + 1);
    // "a%" becomes "a\0\0": each name ends in NUL, the list in an empty name.
    for (int i = 0; i < needed - 1; ++i) {
        if (hostsOut[i] == '%') hostsOut[i] = '\0';
    }
    return MAILHOST_OK;
}
