// Dunmere's host object: the Extended MAPI mail host for Exchange and Outlook. Initialize
// loads mapi32.dll and binds ten entry points, Logon opens a session on a named profile with
// the default store, three folders, the address book and the spooler status, and the
// settings record lives between the wizard (or GetHostConfigInfo) and SetHostConfigInfo.
//
// The operations are spread over files by concern: MapiSession.cpp (binding, logon,
// configuration, the profile list), MapiMailbox.cpp (what a session holds open),
// MapiRetrieval.cpp (GetAllMsgs, FreeMailMsg), MapiSubmission.cpp (SendMsg, SetMsg),
// MapiStateChanges.cpp (DeleteMsg, SetMsgReadStatus, SetMsgPriority), MapiWizard.cpp
// (DisplayConfigWizardPages, with MapiPages.cpp and MapiErrorBox.cpp).
#pragma once

#include <string>
#include <vector>

#include "MapiBinding.h"
#include "MapiMailbox.h"
#include "MapiSettings.h"
#include "framework/HostApp.h"
#include "framework/Msg.h"

class CDunmereApp : public CMailHostApp {
public:
    CDunmereApp() = default;
    /// Closes a mailbox still open.
    ~CDunmereApp() override;

    /// Checks that MAPI is installed (registry value MAPIX = "1"), loads mapi32.dll, binds the
    /// ten entry points and initialises MAPI. MAILHOST_OK, MAILHOST_HOST_NOT_INSTALLED,
    /// MAILHOST_LIBRARY_NOT_FOUND or MAILHOST_INIT_FAILED (what was bound stays bound).
    int Initialize() override;
    /// Closes an open mailbox, ends MAPI, clears the table and frees the library.
    /// MAILHOST_OK, or MAILHOST_ERROR when the library refused to be released.
    int Uninitialize() override;
    /// Logs on with the profile stored in `configFile`. MAILHOST_OK or MAILHOST_LOGON_FAILED.
    int Logon(int syncLogon, const char* configFile) override;
    /// Logs on with `profile` (null: the one stored in `configFile`). An empty `configFile`
    /// fails only when the profile must come from it. MAILHOST_OK or MAILHOST_LOGON_FAILED;
    /// a failure leaves nothing open.
    int Logon(int syncLogon, const char* configFile, const char* profile);
    /// Closes the open mailbox. MAILHOST_OK.
    int Logoff() override;
    /// "Mail System:\t<name>\nProfile:\t\t<profile>" or "Not Configured". MAILHOST_OK,
    /// MAILHOST_BUFFER_TOO_SMALL (needed size written back) or MAILHOST_NULL_ARGUMENT.
    int GetHostConfigInfo(const char* configFile, char* textOut, int* textSize) override;
    /// Writes the held settings when `save` is non-zero, then forgets them. 1 when saved to a
    /// named file, else 0.
    int SetHostConfigInfo(const char* configFile, int save) override;
    /// The two mail systems served, NUL-separated, ended by an empty name. MAILHOST_OK,
    /// MAILHOST_BUFFER_TOO_SMALL (65 written back) or MAILHOST_NULL_ARGUMENT.
    int GetSupportedHosts(char* hostsOut, int* hostsSize) override;
    /// Runs "Mail Setup": the profile page and the closing page (MapiWizard.cpp).
    int DisplayConfigWizardPages(HWND parent, const char* configFile, const char* hostName, int unused1, int unused2,
                                 int inMailSetup, int* outcome) override;
    /// Every inbox message. MAILHOST_OK, MAILHOST_SERVER_ERROR (no session, or the table could
    /// not be read), MAILHOST_OUT_OF_MEMORY or MAILHOST_NULL_ARGUMENT; `*countOut` is 0 and
    /// nothing is handed out on failure.
    int GetAllMsgs(MailMsg*** msgsOut, int* countOut, int headersOnly) override;
    /// Files `msg` into the inbox. MAILHOST_OK, MAILHOST_SERVER_ERROR, MAILHOST_OUT_OF_MEMORY.
    int SetMsg(const MailMsg* msg) override;
    /// Submits `msg` from the outbox. MAILHOST_OK, MAILHOST_SERVER_ERROR, MAILHOST_ERROR
    /// (submission refused), MAILHOST_OUT_OF_MEMORY.
    int SendMsg(const MailMsg* msg) override;
    /// Moves the message to Deleted Items. MAILHOST_OK or MAILHOST_SERVER_ERROR.
    int DeleteMsg(const MailMsg* msg) override;
    /// Sets or clears the read flag. MAILHOST_OK, MAILHOST_SERVER_ERROR, MAILHOST_ERROR.
    int SetMsgReadStatus(const MailMsg* msg, int read) override;
    /// Rewrites the importance (0 high, 1 normal, 2 low; anything else MAILHOST_ERROR and
    /// nothing written). MAILHOST_OK, MAILHOST_SERVER_ERROR, MAILHOST_ERROR,
    /// MAILHOST_OUT_OF_MEMORY.
    int SetMsgPriority(const MailMsg* msg, int priority) override;
    /// Frees an array from GetAllMsgs. MAILHOST_OK or MAILHOST_NULL_ARGUMENT.
    int FreeMailMsg(MailMsg** msgs, int count) override;

    const char* GetLanguageLibraryName() const override { return "MORLEAF.DLL"; }

    /// The profiles MAPI knows, in profile-table order, and the default one's position (-1:
    /// none). Runs Initialize and Uninitialize around the query. MAILHOST_OK, the result of
    /// Initialize, or MAILHOST_SERVER_ERROR when the table cannot be read.
    int ListProfiles(std::vector<std::string>& names, int* defaultIndex);
    /// The profile table's names and default position, MAPI being initialised.
    /// MAILHOST_OK or MAILHOST_SERVER_ERROR.
    int QueryProfiles(std::vector<std::string>& names, int* defaultIndex);

    /// The binding, for tests that put a recording fake in the library's place.
    CMapiBinding& Binding() { return m_binding; }
    /// Marks MAPI initialised over a fake binding, for tests.
    void SetMapiInitialised(bool initialised) { m_mapiInitialised = initialised; }
    /// The open mailbox, or null.
    const OpenMailbox* Mailbox() const { return m_mailbox; }
    CMapiSettings& Settings() { return m_settings; }

private:
    /// True when a session is open: the message operations need one.
    bool HasMailbox() const { return m_mapiInitialised && m_mailbox != nullptr; }
    /// The steps after MAPILogonEx; the first failure's HRESULT.
    HRESULT OpenMailboxObjects(OpenMailbox& mailbox);
    HRESULT OpenDefaultStore(OpenMailbox& mailbox);
    HRESULT OpenFolders(OpenMailbox& mailbox);
    HRESULT OpenSpoolerStatus(OpenMailbox& mailbox);
    /// The logged-on user's properties, read once per session; null when they cannot be read.
    /// With `target`, PR_ENTRYID is copied there (on `parent`); a failed copy also yields null.
    LPSPropValue OwnIdentity(SBinary* target, LPVOID parent);
    /// Opens the message a record names through the store. MAILHOST_OK with `*message` set,
    /// MAILHOST_SERVER_ERROR or MAILHOST_ERROR (not a message).
    int OpenMessageOf(const MailMsg& msg, LPMESSAGE* message);
    /// Builds the list for `recipients`, resolves it and hands it to ModifyRecipients.
    /// MAILHOST_OK, MAILHOST_OUT_OF_MEMORY or MAILHOST_SERVER_ERROR.
    int AddRecipients(LPMESSAGE message, const std::string& recipients, ULONG type, ULONG flags);
    /// Reads body, recipients and attachments of `msg` (a full read). The first failure of
    /// the recipient and attachment reads, else MAILHOST_OK.
    int ReadInFull(CMsg& msg);
    int ReadBody(CMsg& msg);
    int ReadRecipients(CMsg& msg);
    int ReadAttachments(CMsg& msg);
    /// The body of `message` through a stream of PR_BODY, at most 65535 bytes.
    HRESULT ReadBodyStream(LPMESSAGE message, std::string* text);
    /// The record's To, Cc and Bcc lists onto `message`: the first replaces, later ones add.
    int AddAllRecipients(LPMESSAGE message, const CMsg& msg);
    /// Opens the message of record `msg`; MAILHOST_SERVER_ERROR when it names none.
    int OpenRecordMessage(const CMsg& msg, ULONG* type, LPMESSAGE* message);

    const MapiFunctions& Mapi() const { return m_binding.Functions(); }

    bool m_mapiInitialised = false;
    CMapiBinding m_binding;
    OpenMailbox* m_mailbox = nullptr;
    CMapiSettings m_settings;
};
