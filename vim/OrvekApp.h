// Orvek's host object: the VIM mail host for cc:Mail. It starts the VIM library at Initialize,
// holds the session and the mailbox (the user's message container) between Logon and Logoff,
// and keeps the settings record between the wizard (or GetHostConfigInfo) and
// SetHostConfigInfo.
//
// The operations are spread over files by concern: VimSession.cpp (start and stop, logon,
// configuration), VimRetrieval.cpp (GetAllMsgs, FreeMailMsg), VimSubmission.cpp (SendMsg,
// SetMsg, with VimAddressBook.cpp), VimStateChanges.cpp (DeleteMsg, SetMsgReadStatus,
// SetMsgPriority), VimWizard.cpp (DisplayConfigWizardPages, with VimPages.cpp and
// VimErrorBox.cpp).
//
// Every VIM object an operation opens is closed again before it returns, on every path; only
// the session and the container stay open, from Logon to Logoff.
#pragma once

#include <string>
#include <vector>

#include "VimBinding.h"
#include "VimSettings.h"
#include "framework/HostApp.h"

class CMsg;

class COrvekApp : public CMailHostApp {
public:
    COrvekApp() = default;
    ~COrvekApp() override;

    /// Starts the VIM library and checks that it speaks VIM 1.0 (capability 106 at least
    /// 100). MAILHOST_OK, or MAILHOST_INIT_FAILED (the library is stopped again).
    int Initialize() override;
    /// Stops the library when Initialize started it. MAILHOST_OK.
    int Uninitialize() override;
    /// Logon with the settings stored in `configFile`.
    int Logon(int syncLogon, const char* configFile) override;
    /// Logs on to the post office with `postOfficePath`, `userAccount` and `password` (null
    /// `userAccount`: all three come from `configFile`). No session is opened when
    /// `configFile` or the user account is empty. With `syncLogon` non-zero the mailbox is
    /// opened too. MAILHOST_OK, MAILHOST_LOGON_FAILED (also before Initialize),
    /// MAILHOST_LOGON_BAD_PASSWORD or MAILHOST_LOGON_BAD_POST_OFFICE; on a failure whatever
    /// this call opened is closed again (container, session, then the library).
    int Logon(int syncLogon, const char* configFile, const char* postOfficePath, const char* userAccount,
              const char* password);
    /// Closes the mailbox and the session. MAILHOST_OK.
    int Logoff() override;
    /// The held (or stored) settings as a few lines of text. MAILHOST_OK,
    /// MAILHOST_BUFFER_TOO_SMALL (needed size written back) or MAILHOST_NULL_ARGUMENT.
    int GetHostConfigInfo(const char* configFile, char* textOut, int* textSize) override;
    /// Writes the held settings when `save` is non-zero, then forgets them. 1 when `save` was
    /// non-zero and `configFile` not empty, else 0.
    int SetHostConfigInfo(const char* configFile, int save) override;
    /// "Lotus cc:Mail 6.0 or higher" and an empty name. MAILHOST_OK,
    /// MAILHOST_BUFFER_TOO_SMALL (29 written back) or MAILHOST_NULL_ARGUMENT.
    int GetSupportedHosts(char* hostsOut, int* hostsSize) override;
    /// The four-page "Mail Setup" wizard. MAILHOST_OK, MAILHOST_SERVER_ERROR (VIM did not
    /// start or gave no default login; nothing shown) or MAILHOST_OUT_OF_MEMORY.
    int DisplayConfigWizardPages(HWND parent, const char* configFile, const char* hostName, int unused1, int unused2,
                                 int inMailSetup, int* outcome) override;
    /// Every message of the mailbox, listed ten at a time. MAILHOST_OK, MAILHOST_SERVER_ERROR
    /// (no mailbox open, or the listing failed part way), MAILHOST_OUT_OF_MEMORY or
    /// MAILHOST_NULL_ARGUMENT; nothing is handed out on failure.
    int GetAllMsgs(MailMsg*** msgsOut, int* countOut, int headersOnly) override;
    /// Files `msg` into the mailbox unsent. MAILHOST_OK, MAILHOST_SERVER_ERROR, MAILHOST_ERROR,
    /// MAILHOST_RECIPIENT_REJECTED or MAILHOST_NULL_ARGUMENT.
    int SetMsg(const MailMsg* msg) override;
    /// Submits `msg`. The same codes as SetMsg.
    int SendMsg(const MailMsg* msg) override;
    /// Moves the message into the folder "Trash". MAILHOST_OK or MAILHOST_SERVER_ERROR.
    int DeleteMsg(const MailMsg* msg) override;
    /// Marks the message read; MAILHOST_NOT_SUPPORTED for `read` 0. MAILHOST_OK or
    /// MAILHOST_SERVER_ERROR.
    int SetMsgReadStatus(const MailMsg* msg, int read) override;
    /// Sets the message's VIM priority from 0 high, 1 normal, 2 low. MAILHOST_OK or
    /// MAILHOST_SERVER_ERROR.
    int SetMsgPriority(const MailMsg* msg, int priority) override;
    /// Frees an array from GetAllMsgs. MAILHOST_OK or MAILHOST_NULL_ARGUMENT.
    int FreeMailMsg(MailMsg** msgs, int count) override;

    const char* GetLanguageLibraryName() const override { return "KESTRAV.DLL"; }
    /// Module start-up: the framework's, then the VIM library bound by ordinal, as a Windows
    /// import would bind it when the plug-in loads. A library that is missing or lacks an
    /// operation makes Initialize fail, not the load.
    BOOL InitInstance() override;
    /// Module shut-down: stops what is still running, releases the VIM library, then the
    /// framework's shut-down.
    int ExitInstance() override;

    /// The default login of the VIM library (post office path and user name), for the wizard.
    /// True when the library gave one.
    bool QueryDefaultLogin(std::string& postOfficePath, std::string& userName);

    /// The binding, for tests that put a recording fake in the library's place.
    CVimBinding& Binding() { return m_vim; }
    bool VimStarted() const { return m_vimStarted; }
    vimSes Session() const { return m_session; }
    vimMsgContainer Container() const { return m_container; }
    const std::vector<std::string>& ContainerNames() const { return m_containerNames; }
    /// The held settings record.
    CVimSettings& Settings() { return m_settings; }

private:
    /// Lists the names of the container (the library requires it after opening). VIM status.
    vimStatus ListContainerNames();
    /// Closes what a failed Logon opened and stops the library.
    void AbandonLogon();

    /// Opens a listed message by the reference in its record. False when the library refuses.
    bool OpenListed(const CMsg& msg, vimMsg& message) const;
    /// Body, attachments and recipients of one listed message. MAILHOST_OK or
    /// MAILHOST_SERVER_ERROR; what was read stays in `msg` either way.
    int ReadBodyAndAttachments(CMsg& msg) const;
    int ReadRecipients(CMsg& msg) const;
    /// Reads one text part into `collector`. MAILHOST_OK or MAILHOST_SERVER_ERROR.
    int ReadTextItem(vimMsg message, const vimRef& item, std::string& collector) const;

    /// SendMsg (`submit` true) and SetMsg: builds the VIM message and submits or files it.
    int BuildAndDeliver(const MailMsg* msg, bool submit);
    /// Adds the entries of `list` as recipients of class `recipientClass`. 0 or
    /// MAILHOST_RECIPIENT_REJECTED.
    int AddRecipients(vimMsg message, const std::string& list, vimSelector recipientClass);
    /// Looks `entry` up in the address books: 0 with the found text (empty when no book holds
    /// it), or MAILHOST_SERVER_ERROR.
    int LookUp(const std::string& entry, std::string& found) const;
    /// Searches one address book. 0, or MAILHOST_SERVER_ERROR.
    int LookUpIn(const char* book, const std::string& entry, std::string& found) const;
    /// An Internet address routed through the gateway of the settings Logon loaded.
    std::string ApplyGatewayRule(std::string address) const;

    /// The 8-byte message reference of a record from GetAllMsgs (came-from-host bit set,
    /// 8 bytes); false for any other record.
    static bool ReferenceOf(const MailMsg* msg, vimRef& ref);

    CVimBinding m_vim;
    bool m_vimStarted = false;
    vimSes m_session = 0;
    vimMsgContainer m_container = 0;
    std::vector<std::string> m_containerNames;
    CVimSettings m_settings;
    /// The gateway of the settings the last Logon read, for SendMsg during a sync (the held
    /// settings are empty then).
    std::string m_logonGateway;
};
