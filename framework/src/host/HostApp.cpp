#include "framework/HostApp.h"

#include "framework/ModuleContext.h"
#include "win32/Help.h"
#include "win32/Module.h"

namespace {

// VeskCmn.dll's two entries, as a plug-in imports them: by ordinal, with these signatures.
typedef HMODULE (*LoadLanguageLibraryFn)(LPCSTR fileName, HMODULE own, DWORD* status);
typedef BOOL (*FreeLanguageLibraryFn)(HMODULE language, HMODULE own);
constexpr WORD kLoadLanguageOrdinal = 2;
constexpr WORD kFreeLanguageOrdinal = 3;
constexpr char kCommonLibrary[] = "VeskCmn.dll";

}  // namespace

CMailHostApp::CMailHostApp() = default;

CMailHostApp::~CMailHostApp() = default;

BOOL CMailHostApp::InitInstance() {
    VESK_MODULE_STATE* state = VeskGetModuleState();
    SetHelpFilePath(VESK_HELP_FILE_NAME);
    m_hOwnResources = state->hInstance;

    m_hCommonLibrary = LoadLibraryA(kCommonLibrary);
    LoadLanguageLibraryFn loadLanguage =
        m_hCommonLibrary != nullptr
            ? VeskProcAs<LoadLanguageLibraryFn>(GetProcAddress(m_hCommonLibrary, MAKEINTRESOURCEA(kLoadLanguageOrdinal)))
            : nullptr;
    DWORD status = 0;  // filled by the call, not used
    // The handle comes back unchecked: VeskCmn.dll answers with our own module when the
    // language library is missing, and our own module carries the English resources.
    m_hLanguage = loadLanguage != nullptr ? loadLanguage(GetLanguageLibraryName(), m_hOwnResources, &status)
                                          : m_hOwnResources;
    state->hResource = m_hLanguage;
    return TRUE;
}

int CMailHostApp::ExitInstance() {
    VESK_MODULE_STATE* state = VeskGetModuleState();
    state->hResource = m_hOwnResources;
    if (m_hCommonLibrary != nullptr) {
        auto freeLanguage = VeskProcAs<FreeLanguageLibraryFn>(
            GetProcAddress(m_hCommonLibrary, MAKEINTRESOURCEA(kFreeLanguageOrdinal)));
        if (freeLanguage != nullptr) freeLanguage(m_hLanguage, m_hOwnResources);
    }
    m_hLanguage = m_hOwnResources;
    if (m_hCommonLibrary != nullptr) {
        FreeLibrary(m_hCommonLibrary);
        m_hCommonLibrary = nullptr;
    }
    return 0;
}

BOOL CMailHostApp::OnCommand(UINT id, HWND owner) {
    if (id != ID_HELP) return FALSE;
    OnHelp(owner);
    return TRUE;
}

void CMailHostApp::OnHelp(HWND owner) {
    CMailHostApp* app = Current();
    (app != nullptr ? app : this)->WinHelp(0, HELP_CONTENTS, owner);
}

BOOL CMailHostApp::WinHelp(ULONG_PTR data, UINT command, HWND owner) {
    return WinHelpA(owner, m_helpFilePath.c_str(), command, data);
}

void CMailHostApp::SetHelpFilePath(const std::string& path) {
    m_helpFilePath = path;
    vesk::framework::pluginModuleState().helpFile = m_helpFilePath.c_str();
}

CMailHostApp* CMailHostApp::Current() {
    return static_cast<CMailHostApp*>(VeskGetModuleState()->app);
}
