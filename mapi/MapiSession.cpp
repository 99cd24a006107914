// Dunmere's session and configuration operations: the installed check, binding mapi32.dll,
// the logon chain, logoff, the settings in the configuration file, the mail systems served
// and the profile list.
#include <cstring>
#include <new>

#include "DunmereApp.h"
#include "framework/CallerBuffer.h"
#include "framework/ResourceStrings.h"
#include "morleaf_ids.h"
#include "trevlin/Trevlin.h"
#include "win32/Registry.h"

namespace {

// Sync manager rounds given at each yield.
constexpr int kYieldCycles = 100;
// MAPI_NEW_SESSION | MAPI_EXPLICIT_PROFILE | MAPI_FORCE_DOWNLOAD.
constexpr ULONG kLogonFlags = MAPI_NEW_SESSION | MAPI_EXPLICIT_PROFILE | MAPI_FORCE_DOWNLOAD;

void yield() { SyncYieldCycles(kYieldCycles); }

bool isEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

// `format` with each "%s" in turn replaced by the next of `values`. The format is a resource
// string, which a translation may change; it is never handed to printf.
std::string formatText(const std::string& format, std::initializer_list<std::string> values) {
    std::string out;
    size_t from = 0;
    auto value = values.begin();
    for (;;) {
        size_t at = format.find("%s", from);
        if (at == std::string::npos || value == values.end()) break;
        out += format.substr(from, at - from) + *value++;
        from = at + 2;
    }
    return out + format.substr(from);
}

// MAPI is installed when HKLM\<4313> holds value <4314> as the REG_SZ text "1".
bool mapiInstalled() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, LoadResString(MORLEAF_IDS_MAPI_KEY).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    char value[10] = "";
    DWORD type = 0;
    DWORD size = sizeof value;
    LONG rc = RegQueryValueExA(key, LoadResString(MORLEAF_IDS_MAPI_VALUE).c_str(), nullptr, &type,
                               reinterpret_cast<LPBYTE>(value), &size);
    RegCloseKey(key);
    // The value need not end within the buffer: compare only what was stored.
    return rc == ERROR_SUCCESS && type == REG_SZ && size >= 1 && size <= sizeof value && value[0] == '1' &&
           (size == 1 || value[1] == '\0');
}

// A property restriction "tag equals value".
struct Equals {
    SPropValue value{};
    SRestriction restriction{};
    Equals(ULONG tag) {
        value.ulPropTag = tag;
        restriction.rt = RES_PROPERTY;
        restriction.res.resProperty.relop = RELOP_EQ;
        restriction.res.resProperty.ulPropTag = tag;
        restriction.res.resProperty.lpProp = &value;
    }
};

}  // namespace

CDunmereApp::~CDunmereApp() {
    if (m_mailbox != nullptr) {
        TearDownMailbox(Mapi(), *m_mailbox);
        delete m_mailbox;
        m_mailbox = nullptr;
    }
}

int CDunmereApp::Initialize() {
    yield();
    if (!mapiInstalled()) return MAILHOST_HOST_NOT_INSTALLED;
    // Initialising again starts from scratch: what an earlier call opened goes first.
    if (m_mapiInitialised || m_binding.HoldsLibrary()) Uninitialize();
    int result = m_binding.Bind("mapi32.dll");
    if (result != MAILHOST_OK) return result;
    if (FAILED(Mapi().MAPIInitialize(nullptr))) return MAILHOST_INIT_FAILED;
    m_mapiInitialised = true;
    yield();
    return MAILHOST_OK;
}

int CDunmereApp::Uninitialize() {
    yield();
    // A mailbox left open would outlive the MAPI it belongs to.
    Logoff();
    if (m_mapiInitialised) {
        Mapi().MAPIUninitialize();
        m_binding.ClearFunctions();
        m_mapiInitialised = false;
    }
    int result = m_binding.ReleaseLibrary();
    yield();
    return result;
}

int CDunmereApp::Logon(int syncLogon, const char* configFile) { return Logon(syncLogon, configFile, nullptr); }

int CDunmereApp::Logon(int, const char* configFile, const char* profile) {
    CMapiSettings local;
    yield();
    if (!m_mapiInitialised) return MAILHOST_LOGON_FAILED;
    std::string profileName;
    if (profile == nullptr) {
        // The profile comes from the configuration file, so there must be one.
        if (isEmpty(configFile)) return MAILHOST_LOGON_FAILED;
        local.Load(configFile, nullptr);
        profileName = local.Profile();
    } else {
        profileName = profile;
    }
    if (profileName.empty()) return MAILHOST_LOGON_FAILED;
    // Logging on again closes the earlier mailbox rather than losing it.
    Logoff();

    LPMAPISESSION session = nullptr;
    if (FAILED(Mapi().MAPILogonEx(0, profileName.data(), nullptr, kLogonFlags, &session)) || session == nullptr) {
        return MAILHOST_LOGON_FAILED;
    }
    yield();
    OpenMailbox* mailbox = new (std::nothrow) OpenMailbox;
    if (mailbox == nullptr) {
        session->Release();
        return MAILHOST_LOGON_FAILED;
    }
    mailbox->session = session;
    if (FAILED(OpenMailboxObjects(*mailbox))) {
        TearDownMailbox(Mapi(), *mailbox);
        delete mailbox;
        return MAILHOST_LOGON_FAILED;
    }
    m_mailbox = mailbox;
    yield();
    yield();
    return MAILHOST_OK;
}

HRESULT CDunmereApp::OpenMailboxObjects(OpenMailbox& mailbox) {
    yield();
    LPVOID ids = nullptr;
    HRESULT hr = Mapi().MAPIAllocateBuffer(sizeof(SBinary) * kMapiFolderSlots, &ids);
    if (FAILED(hr)) return hr;
    if (ids == nullptr) return MAPI_E_NOT_ENOUGH_MEMORY;
    std::memset(ids, 0, sizeof(SBinary) * kMapiFolderSlots);
    mailbox.folderIds = static_cast<SBinary*>(ids);
    yield();
    hr = OpenDefaultStore(mailbox);
    if (FAILED(hr)) return hr;
    yield();
    hr = mailbox.session->OpenAddressBook(0, nullptr, 0, &mailbox.addressBook);
    if (FAILED(hr)) return hr;
    yield();
    hr = OpenFolders(mailbox);
    if (FAILED(hr)) return hr;
    yield();
    // The spooler's status is held, not needed: a session without it still works.
    OpenSpoolerStatus(mailbox);
    return S_OK;
}

HRESULT CDunmereApp::OpenDefaultStore(OpenMailbox& mailbox) {
    LPMAPITABLE table = nullptr;
    HRESULT hr = mailbox.session->GetMsgStoresTable(0, &table);
    if (FAILED(hr)) return hr;
    SizedSPropTagArray(2, columns) = {2, {PR_ENTRYID, PR_DEFAULT_STORE}};
    Equals isDefault(PR_DEFAULT_STORE);
    isDefault.value.Value.b = TRUE;
    LPSRowSet rows = nullptr;
    hr = Mapi().HrQueryAllRows(table, reinterpret_cast<LPSPropTagArray>(&columns), &isDefault.restriction, nullptr, 0,
                               &rows);
    if (SUCCEEDED(hr)) {
        if (rows != nullptr && rows->cRows > 0 && rows->aRow[0].cValues > 0 &&
            rows->aRow[0].lpProps[0].ulPropTag == PR_ENTRYID) {
            const SBinary& id = rows->aRow[0].lpProps[0].Value.bin;
            hr = mailbox.session->OpenMsgStore(0, id.cb, reinterpret_cast<LPENTRYID>(id.lpb), nullptr, MDB_WRITE,
                                               &mailbox.store);
        } else {
            hr = MAPI_E_NOT_FOUND;
        }
    }
    if (rows != nullptr) Mapi().FreeProws(rows);
    table->Release();
    return hr;
}

HRESULT CDunmereApp::OpenFolders(OpenMailbox& mailbox) {
    SizedSPropTagArray(5, tags) = {
        5, {PR_NULL, PR_IPM_OUTBOX_ENTRYID, PR_IPM_WASTEBASKET_ENTRYID, PR_IPM_SENTMAIL_ENTRYID, PR_IPM_SUBTREE_ENTRYID}};
    ULONG count = 0;
    LPSPropValue values = nullptr;
    HRESULT hr = mailbox.store->GetProps(reinterpret_cast<LPSPropTagArray>(&tags), 0, &count, &values);
    if (FAILED(hr)) return hr;
    ULONG inboxSize = 0;
    LPENTRYID inboxId = nullptr;
    hr = mailbox.store->GetReceiveFolder(const_cast<LPSTR>("IPM.Note"), 0, &inboxSize, &inboxId, nullptr);
    if (SUCCEEDED(hr) && (values == nullptr || count < kMapiFolderSlots)) hr = MAPI_E_NOT_FOUND;
    if (SUCCEEDED(hr)) {
        // The reserved first place takes the inbox; its tag stays PR_NULL.
        values[0].Value.bin.cb = inboxSize;
        values[0].Value.bin.lpb = reinterpret_cast<LPBYTE>(inboxId);
        for (int i = 0; i < kMapiFolderSlots && SUCCEEDED(hr); ++i) {
            if (values[i].ulPropTag != tags.aulPropTag[i]) {
                hr = MAPI_E_NOT_FOUND;
            } else {
                hr = CopyBinaryValue(Mapi(), mailbox.folderIds[i], values[i].Value.bin, mailbox.folderIds);
            }
        }
    }
    for (int i = kMapiInbox; i <= kMapiDeletedItems && SUCCEEDED(hr); ++i) {
        const SBinary& id = mailbox.folderIds[i];
        ULONG type = 0;
        LPUNKNOWN folder = nullptr;
        hr = mailbox.session->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), nullptr, MAPI_MODIFY, &type,
                                        &folder);
        if (SUCCEEDED(hr) && type != MAPI_FOLDER) hr = MAPI_E_INVALID_OBJECT;
        if (SUCCEEDED(hr)) {
            mailbox.folders[i] = reinterpret_cast<LPMAPIFOLDER>(folder);
        } else if (folder != nullptr) {
            // An object of the wrong type is still ours to release.
            folder->Release();
        }
    }
    if (values != nullptr) Mapi().MAPIFreeBuffer(values);
    if (inboxId != nullptr) Mapi().MAPIFreeBuffer(inboxId);
    return hr;
}

HRESULT CDunmereApp::OpenSpoolerStatus(OpenMailbox& mailbox) {
    LPMAPITABLE table = nullptr;
    HRESULT hr = mailbox.session->GetStatusTable(0, &table);
    if (FAILED(hr)) return hr;
    SizedSPropTagArray(2, columns) = {2, {PR_RESOURCE_TYPE, PR_ENTRYID}};
    Equals isSpooler(PR_RESOURCE_TYPE);
    isSpooler.value.Value.l = MAPI_SPOOLER;
    LPSRowSet rows = nullptr;
    hr = Mapi().HrQueryAllRows(table, reinterpret_cast<LPSPropTagArray>(&columns), &isSpooler.restriction, nullptr, 0,
                               &rows);
    if (SUCCEEDED(hr)) {
        if (rows != nullptr && rows->cRows > 0 && rows->aRow[0].cValues > 1 &&
            rows->aRow[0].lpProps[1].ulPropTag == PR_ENTRYID) {
            const SBinary& id = rows->aRow[0].lpProps[1].Value.bin;
            ULONG type = 0;
            LPUNKNOWN status = nullptr;
            hr = mailbox.session->OpenEntry(id.cb, reinterpret_cast<LPENTRYID>(id.lpb), &IID_IMAPIStatus,
                                            MAPI_BEST_ACCESS, &type, &status);
            if (SUCCEEDED(hr) && type == MAPI_STATUS) {
                mailbox.spoolerStatus = reinterpret_cast<LPMAPISTATUS>(status);
            } else {
                if (SUCCEEDED(hr)) hr = MAPI_E_INVALID_OBJECT;
                if (status != nullptr) status->Release();
            }
        } else {
            hr = MAPI_E_NOT_FOUND;
        }
    }
    table->Release();
    if (rows != nullptr) Mapi().FreeProws(rows);
    return hr;
}

int CDunmereApp::Logoff() {
    yield();
    if (m_mailbox != nullptr) {
        TearDownMailbox(Mapi(), *m_mailbox);
        delete m_mailbox;
        m_mailbox = nullptr;
    }
    return MAILHOST_OK;
}

int CDunmereApp::GetHostConfigInfo(const char* configFile, char* textOut, int* textSize) {
    if (textSize == nullptr) return MAILHOST_NULL_ARGUMENT;
    if (!m_settings.IsSet()) m_settings.Load(configFile, nullptr);
    const bool complete = !m_settings.HostName().empty() && !m_settings.Profile().empty();
    const std::string text =
        complete ? formatText(LoadResString(MORLEAF_IDS_CONFIG_INFO), {m_settings.HostName(), m_settings.Profile()})
                 : LoadResString(MORLEAF_IDS_NOT_CONFIGURED);
    return CopyTextToCaller(text, textOut, textSize);
}

int CDunmereApp::SetHostConfigInfo(const char* configFile, int save) {
    int result = save != 0 ? m_settings.Save(configFile) : 0;
    m_settings.Clear();
    return result;
}

int CDunmereApp::GetSupportedHosts(char* hostsOut, int* hostsSize) {
    return CopyNameListToCaller(LoadResString(MORLEAF_IDS_SUPPORTED_HOSTS), hostsOut, hostsSize);
}

int CDunmereApp::ListProfiles(std::vector<std::string>& names, int* defaultIndex) {
    *defaultIndex = -1;
    int result = Initialize();
    if (result == MAILHOST_OK) result = QueryProfiles(names, defaultIndex);
    Uninitialize();
    return result;
}

int CDunmereApp::QueryProfiles(std::vector<std::string>& names, int* defaultIndex) {
    *defaultIndex = -1;
    int result = MAILHOST_OK;
    LPPROFADMIN admin = nullptr;
    LPMAPITABLE table = nullptr;
    LPSRowSet rows = nullptr;
    if (FAILED(Mapi().MAPIAdminProfiles(0, &admin)) || admin == nullptr || FAILED(admin->GetProfileTable(0, &table)) ||
        table == nullptr || FAILED(Mapi().HrQueryAllRows(table, nullptr, nullptr, nullptr, 0, &rows)) ||
        rows == nullptr) {
        result = MAILHOST_SERVER_ERROR;
    } else {
        try {
            for (ULONG r = 0; r < rows->cRows; ++r) {
                const SRow& row = rows->aRow[r];
                for (ULONG v = 0; v < row.cValues; ++v) {
                    const SPropValue& value = row.lpProps[v];
                    if (value.ulPropTag == PR_DISPLAY_NAME && value.Value.lpszA != nullptr) {
                        names.push_back(value.Value.lpszA);
                    } else if (value.ulPropTag == PR_DEFAULT_PROFILE && value.Value.b) {
                        *defaultIndex = static_cast<int>(r);
                    }
                }
            }
        } catch (const std::bad_alloc&) {
            result = MAILHOST_OUT_OF_MEMORY;
        }
    }
    if (rows != nullptr) Mapi().FreeProws(rows);
    if (table != nullptr) table->Release();
    if (admin != nullptr) admin->Release();
    return result;
}
