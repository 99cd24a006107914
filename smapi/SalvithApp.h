// Salvith's host object: the Simple MAPI mail host. It binds the mail library's nine Simple
// MAPI calls at Initialize, holds the session between Logon and Logoff, and keeps the settings
// record between the wizard (or GetHostConfigInfo) and SetHostConfigInfo.
//
// The operations are spread over files by concern: SmapiSession.cpp (binding, logon,
// configuration), SmapiRetrieval.cpp (GetAllMsgs, FreeMailMsg), SmapiSubmission.cpp (SendMsg,
// SetMsg), SmapiStateChanges.cpp (DeleteMsg, SetMsgReadStatus, SetMsgPriority),
// SmapiWizard.cpp (DisplayConfigWizardPages, with SmapiPages.cpp and SmapiErrorBox.cpp).
#pragma once

#include <string>

#include "SmapiBinding.h"
#include "SmapiSettings.h"
#include "framework/HostApp.h"

class CSalvithApp : public CMailHostApp {
public:
    CSalvithApp() = default;
    ~CSalvithApp() override = default;

    /// Loads the mail library named by string 4312 and binds the nine calls. MAILHOST_OK,
    /// MAILHOST_ERROR (no library name), MAILHOST_LIBRARY_NOT_FOUND or
    /// MAILHOST_ENTRY_POINT_MISSING (the library stays held until Uninitialize).
    int Initialize() override;
    /// Ends an open session, releases the library and clears the binding.
    /// MAILHOST_OK, or MAILHOST_ERROR when the library refused to be released.
    int Uninitialize() override;
    /// Logs on with the account and password stored in `configFile` (flags MAPI_NEW_SESSION,
    /// plus MAPI_FORCE_DOWNLOAD when `syncLogon` is non-zero). An empty `configFile` logs on to
    /// nothing and succeeds. MAILHOST_OK, or MAILHOST_LOGON_FAILED (also when not bound).
    int Logon(int syncLogon, const char* configFile) override;
    /// Ends the session. MAILHOST_OK (also when none is open), or MAILHOST_ERROR when the
    /// library refuses.
    int Logoff() override;
    /// "Mail System:\t<host>" or "Not Configured" into `textOut` (`*textSize` bytes).
    /// MAILHOST_OK, MAILHOST_BUFFER_TOO_SMALL (needed size written back) or
    /// MAILHOST_NULL_ARGUMENT.
    int GetHostConfigInfo(const char* configFile, char* textOut, int* textSize) override;
    /// Writes the held settings when `save` is non-zero, then forgets them. 1 when written
    /// to a named file, else 0.
    int SetHostConfigInfo(const char* configFile, int save) override;
    /// The three mail programs served, NUL-separated, ended by an empty name. MAILHOST_OK,
    /// MAILHOST_BUFFER_TOO_SMALL (86 written back) or MAILHOST_NULL_ARGUMENT.
    int GetSupportedHosts(char* hostsOut, int* hostsSize) override;
    /// Runs "Mail Setup" over `parent` with the closing page for `hostName` (SmapiPages.h),
    /// seeded from the held settings when they are for `hostName`, else from `configFile`.
    /// `*outcome`: 1 finished (the page's settings are then held), 2 back, 0 cancelled; left
    /// as it was on a failure. MAILHOST_OK, or MAILHOST_OUT_OF_MEMORY (also shown in the
    /// error box) when the page cannot be created. See SmapiWizard.cpp.
    int DisplayConfigWizardPages(HWND parent, const char* configFile, const char* hostName, int unused1, int unused2,
                                 int inMailSetup, int* outcome) override;
    /// Every inbox message, read whole without marking it read. MAILHOST_OK,
    /// MAILHOST_SERVER_ERROR (no session, or the walk failed), MAILHOST_READ_FAILED,
    /// MAILHOST_OUT_OF_MEMORY or MAILHOST_NULL_ARGUMENT; nothing is handed out on failure.
    int GetAllMsgs(MailMsg*** msgsOut, int* countOut, int headersOnly) override;
    /// Files `msg` into the inbox as a new message. MAILHOST_OK, MAILHOST_SERVER_ERROR,
    /// MAILHOST_OUT_OF_MEMORY or MAILHOST_NULL_ARGUMENT.
    int SetMsg(const MailMsg* msg) override;
    /// Hands `msg` to the mail library for sending. MAILHOST_OK, MAILHOST_SERVER_ERROR (no
    /// session), MAILHOST_SEND_FAILED, MAILHOST_OUT_OF_MEMORY or MAILHOST_NULL_ARGUMENT.
    int SendMsg(const MailMsg* msg) override;
    /// Deletes the message a record from GetAllMsgs names. MAILHOST_OK or MAILHOST_SERVER_ERROR.
    int DeleteMsg(const MailMsg* msg) override;
    /// Marks the message read, whatever `read` says. MAILHOST_OK or MAILHOST_SERVER_ERROR.
    int SetMsgReadStatus(const MailMsg* msg, int read) override;
    /// Simple MAPI cannot change a message's priority: MAILHOST_OK, nothing changed.
    int SetMsgPriority(const MailMsg* msg, int priority) override;
    /// Frees an array from GetAllMsgs. MAILHOST_OK or MAILHOST_NULL_ARGUMENT.
    int FreeMailMsg(MailMsg** msgs, int count) override;

    const char* GetLanguageLibraryName() const override { return "SAVIDNE.DLL"; }

    /// The binding, for tests that put a recording fake in the library's place.
    CSmapiBinding& Binding() { return m_binding; }
    /// The session handle (0 when none is open).
    LHANDLE Session() const { return m_session; }
    /// The held settings record.
    CSmapiSettings& Settings() { return m_settings; }

private:
    /// True when a library is bound and a session is open: the message operations need both.
    bool HasSession() const { return m_binding.IsBound() && m_session != 0; }
    /// Deletes the attachment files of a message the library read, then frees it.
    void ReleaseMessage(lpMapiMessage message) const;
    /// The identifier text of a record from GetAllMsgs; empty when the record did not come
    /// from this host or carries no usable identifier.
    static std::string MessageIdOf(const MailMsg& msg);

    CSmapiBinding m_binding;
    LHANDLE m_session = 0;
    CSmapiSettings m_settings;
};
