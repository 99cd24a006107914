// The host object: a plug-in's single application object. It carries all state of the
// plug-in between calls; the fifteen exports route every call to it (framework/src/host/
// Exports.cpp). This base holds what every plug-in shares: module start-up and shut-down with
// the language library, the help file and the help command.
//
// A backend derives from CMailHostApp, implements the fifteen operations and the language
// library name, and defines its single instance in one source file:
//
//     class CSmapiHostApp : public CMailHostApp { ... };
//     VESK_DECLARE_HOST_APP(CSmapiHostApp)
//
// Lifetime. VESK_DECLARE_HOST_APP defines the host object and, right behind it in the same
// file, a starter object, both with init priority VESK_HOST_APP_INIT_PRIORITY. Loading the
// plug-in therefore constructs the host object first, then runs the start-up (own module
// handle, embedded English resources, InitInstance) before any other dynamically initialised
// global of the plug-in; unloading runs the shut-down (ExitInstance) after the plug-in's
// other globals are destroyed and before the host object's destructor. So the constructor,
// InitInstance and ExitInstance must not rely on dynamically initialised globals of other
// files (string literals and constant tables are fine).
#pragma once

#include <string>

#include "framework/MailHost.h"
#include "win32/ModuleState.h"
#include "win32/WinTypes.h"

/// The framework's help command, as it reaches the host object from the wizard's pages.
#define ID_HELP 0xE146

/// The help file of every plug-in: a bare name, found on the library path.
#define VESK_HELP_FILE_NAME "Helvor.hlp"

/// Init priority of the host object and its start-up (GCC init_priority, 101..65535; lower
/// runs earlier). Everything without a priority is constructed later.
#define VESK_HOST_APP_INIT_PRIORITY 1000

class CMailHostApp {
public:
    /// Clears the start-up state; derived constructors clear their backend members.
    CMailHostApp();
    virtual ~CMailHostApp();
    CMailHostApp(const CMailHostApp&) = delete;
    CMailHostApp& operator=(const CMailHostApp&) = delete;

    // The fifteen operations, with the arguments and results of the exports of the same name
    // (framework/MailHost.h). Each export passes its arguments on unchanged and returns the
    // result unchanged; exceptions pass through to the caller.

    virtual int Initialize() = 0;
    virtual int Uninitialize() = 0;
    /// A backend whose logon takes further wizard arguments overloads Logon and has this one
    /// call it with null for each of them (null: read them from `configFile`).
    virtual int Logon(int syncLogon, const char* configFile) = 0;
    virtual int Logoff() = 0;
    virtual int GetHostConfigInfo(const char* configFile, char* textOut, int* textSize) = 0;
    virtual int SetHostConfigInfo(const char* configFile, int save) = 0;
    virtual int GetSupportedHosts(char* hostsOut, int* hostsSize) = 0;
    virtual int DisplayConfigWizardPages(HWND parent, const char* configFile, const char* hostName,
                                         int unused1, int unused2, int inMailSetup, int* outcome) = 0;
    virtual int GetAllMsgs(MailMsg*** msgsOut, int* countOut, int headersOnly) = 0;
    virtual int SetMsg(const MailMsg* msg) = 0;
    virtual int SendMsg(const MailMsg* msg) = 0;
    virtual int DeleteMsg(const MailMsg* msg) = 0;
    virtual int SetMsgReadStatus(const MailMsg* msg, int read) = 0;
    virtual int SetMsgPriority(const MailMsg* msg, int priority) = 0;
    virtual int FreeMailMsg(MailMsg** msgs, int count) = 0;

    /// The language library's file name, e.g. "SAVIDNE.DLL". Called once, from InitInstance.
    virtual const char* GetLanguageLibraryName() const = 0;

    /// Instance initialisation, run once at load with the plug-in's module state selected:
    /// sets the help file path to "Helvor.hlp" (replacing the default), stores the own module
    /// handle in m_hOwnResources, loads the language library through VeskCmn.dll ordinal 2
    /// into m_hLanguage and makes it the module state's resource handle. An override calls
    /// this first. Returns TRUE; the language library never makes it fail (when VeskCmn.dll
    /// itself is missing, m_hLanguage is the own module and its embedded resources serve).
    virtual BOOL InitInstance();

    /// Instance termination, run once at unload with the plug-in's module state selected:
    /// puts the own module back as resource handle, frees the language library through
    /// VeskCmn.dll ordinal 3, sets m_hLanguage to m_hOwnResources and releases VeskCmn.dll.
    /// An override calls this last. Returns 0.
    virtual int ExitInstance();

    /// The command map: handles ID_HELP (OnHelp) and returns TRUE for it; FALSE for any other
    /// command. `owner` is the window the command came from (may be null).
    virtual BOOL OnCommand(UINT id, HWND owner = nullptr);

    /// Opens the contents of the help file of the current application object (the plug-in's
    /// own during a call): WinHelp(0, HELP_CONTENTS).
    void OnHelp(HWND owner = nullptr);

    /// WinHelpA(owner, help file path, command, data). The result of WinHelpA.
    BOOL WinHelp(ULONG_PTR data, UINT command, HWND owner = nullptr);

    /// The help file path ("Helvor.hlp" after start-up).
    const std::string& HelpFilePath() const { return m_helpFilePath; }
    /// Replaces the help file path (the module state follows it).
    void SetHelpFilePath(const std::string& path);

    /// The application object of the module state in force (AfxGetApp): the plug-in's host
    /// object during a call into it. Null when the state in force has none.
    static CMailHostApp* Current();

    /// The plug-in's own module handle, saved at start-up.
    HMODULE m_hOwnResources = nullptr;
    /// The handle VeskCmn.dll returned for the language library; the own handle after
    /// shut-down.
    HMODULE m_hLanguage = nullptr;

private:
    std::string m_helpFilePath;
    HMODULE m_hCommonLibrary = nullptr;  ///< VeskCmn.dll while the plug-in is loaded
};

namespace vesk::framework {

/// The plug-in's single host object; defined by VESK_DECLARE_HOST_APP.
CMailHostApp& hostApp();

/// Runs the module start-up of `app` when constructed and its shut-down when destroyed.
/// Only VESK_DECLARE_HOST_APP creates one.
class HostAppStarter {
public:
    explicit HostAppStarter(CMailHostApp& app);
    ~HostAppStarter();
    HostAppStarter(const HostAppStarter&) = delete;
    HostAppStarter& operator=(const HostAppStarter&) = delete;

private:
    CMailHostApp& m_app;
};

}  // namespace vesk::framework

/// Defines the plug-in's host object of class `ClassName` and its start-up. Use once, at
/// namespace scope of one source file of the backend.
#define VESK_DECLARE_HOST_APP(ClassName)                                                      \
    namespace {                                                                               \
    ClassName vesk_theHostApp __attribute__((init_priority(VESK_HOST_APP_INIT_PRIORITY)));    \
    ::vesk::framework::HostAppStarter vesk_theHostAppStarter                                  \
        __attribute__((init_priority(VESK_HOST_APP_INIT_PRIORITY))){vesk_theHostApp};         \
    }                                                                                         \
    CMailHostApp& vesk::framework::hostApp() { return vesk_theHostApp; }
