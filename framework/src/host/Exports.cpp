// The fifteen exports of a plug-in. Each one selects the plug-in's module context, calls the
// host object's operation of the same name with the arguments unchanged and returns its
// result unchanged. They add no checks, no locking and no translation: an exception from the
// operation passes to the caller, and the caller's module context is back in place when it
// does. Calls come from one thread, one at a time.
#ifndef VESK_BUILDING_PLUGIN
#define VESK_BUILDING_PLUGIN 1
#endif

#include "framework/HostApp.h"
#include "framework/MailHost.h"
#include "framework/ModuleContext.h"

using vesk::framework::hostApp;

/*
 * Initialize
 *   Binds the plug-in's mail library (loads and initialises it) and marks the host object
 *   initialised.
 *   Arguments: none.
 *   Results: MAILHOST_OK; MAILHOST_INIT_FAILED, MAILHOST_LIBRARY_NOT_FOUND,
 *   MAILHOST_HOST_NOT_INSTALLED, MAILHOST_ENTRY_POINT_MISSING or MAILHOST_ERROR when the
 *   library cannot be bound.
 *   Ownership: the bound library belongs to the host object until Uninitialize.
 */
int Initialize(void) {
    CModuleContext context;
    return hostApp().Initialize();
}

/*
 * Uninitialize
 *   Releases what Initialize bound and clears the initialised mark. Harmless when nothing is
 *   bound.
 *   Arguments: none.
 *   Results: MAILHOST_OK; MAILHOST_ERROR when the mail library refused to be released.
 */
int Uninitialize(void) {
    CModuleContext context;
    return hostApp().Uninitialize();
}

/*
 * Logon
 *   Opens a session with the settings stored in the configuration file. Requires a
 *   successful Initialize.
 *   syncLogon  in: non-zero for the full logon of a synchronisation, zero for a test of the
 *              settings (session only).
 *   configFile in: path of the conduit's configuration file (INI); read only.
 *   Results: MAILHOST_OK; MAILHOST_LOGON_FAILED (also before Initialize),
 *   MAILHOST_LOGON_BAD_PASSWORD, MAILHOST_LOGON_BAD_POST_OFFICE. A failed logon leaves no
 *   session open.
 *   Ownership: the session belongs to the host object until Logoff.
 */
int Logon(int syncLogon, const char* configFile) {
    CModuleContext context;
    return hostApp().Logon(syncLogon, configFile);
}

/*
 * Logoff
 *   Closes the mailbox and the session; harmless when none is open.
 *   Arguments: none.
 *   Results: MAILHOST_OK; MAILHOST_ERROR when the mail library refuses the logoff.
 */
int Logoff(void) {
    CModuleContext context;
    return hostApp().Logoff();
}

/*
 * GetHostConfigInfo
 *   Describes the settings the host object holds in a few lines of text for the conduit to
 *   show; when it holds none, loads them from the configuration file first (and keeps them).
 *   configFile in: path of the configuration file; read only.
 *   textOut    out: receives the text with its NUL; untouched when too small.
 *   textSize   in/out: the capacity of textOut; receives the needed size (text + NUL) when
 *              that is larger.
 *   Results: MAILHOST_OK; MAILHOST_BUFFER_TOO_SMALL.
 *   Ownership: both buffers are the caller's.
 */
int GetHostConfigInfo(const char* configFile, char* textOut, int* textSize) {
    CModuleContext context;
    return hostApp().GetHostConfigInfo(configFile, textOut, textSize);
}

/*
 * SetHostConfigInfo
 *   Writes the held settings into the configuration file when save is non-zero, then forgets
 *   them in every case.
 *   configFile in: path of the configuration file; only the plug-in's own sections change.
 *   save       in: non-zero to write.
 *   Results: 1 when save was non-zero and configFile not empty, else 0 (a flag, not a code).
 */
int SetHostConfigInfo(const char* configFile, int save) {
    CModuleContext context;
    return hostApp().SetHostConfigInfo(configFile, save);
}

/*
 * GetSupportedHosts
 *   Lists the mail systems this plug-in serves: NUL-terminated names ended by an empty name.
 *   hostsOut  out: receives the list; untouched when too small.
 *   hostsSize in/out: the capacity of hostsOut; receives the needed size when that is larger.
 *   Results: MAILHOST_OK; MAILHOST_BUFFER_TOO_SMALL.
 *   Ownership: the buffers are the caller's.
 */
int GetSupportedHosts(char* hostsOut, int* hostsSize) {
    CModuleContext context;
    return hostApp().GetSupportedHosts(hostsOut, hostsSize);
}

/*
 * DisplayConfigWizardPages
 *   Runs the "Mail Setup" wizard modally over parent, from its first page. After a finished
 *   wizard the host object holds the new settings until SetHostConfigInfo.
 *   parent      in: the caller's window.
 *   configFile  in: path of the configuration file; read only.
 *   hostName    in: the mail system the user picked from GetSupportedHosts.
 *   unused1, unused2 in: ignored.
 *   inMailSetup in: non-zero when the wizard is one stage of a longer setup sequence.
 *   outcome     out: 1 finished, 2 the user went back out of the wizard, 0 cancelled.
 *   Results: MAILHOST_OK, or the code of the failure that stopped the wizard
 *   (MAILHOST_SERVER_ERROR, MAILHOST_OUT_OF_MEMORY, or the backend's profile listing code).
 */
int DisplayConfigWizardPages(HWND parent, const char* configFile, const char* hostName, int unused1,
                             int unused2, int inMailSetup, int* outcome) {
    CModuleContext context;
    return hostApp().DisplayConfigWizardPages(parent, configFile, hostName, unused1, unused2, inMailSetup,
                                              outcome);
}

/*
 * GetAllMsgs
 *   Collects every message of the mailbox as an array of records.
 *   msgsOut     out: receives the array; untouched when there is nothing to hand out.
 *   countOut    out: the number of records (0 after a failure).
 *   headersOnly in: non-zero to leave out bodies, recipient lists and attachment lists.
 *   Results: MAILHOST_OK; MAILHOST_SERVER_ERROR (no session, store failure),
 *   MAILHOST_OUT_OF_MEMORY, MAILHOST_READ_FAILED.
 *   Ownership: the array and its records are allocated by the plug-in and belong to the caller
 *   until it passes them to FreeMailMsg of the same plug-in.
 */
int GetAllMsgs(MailMsg*** msgsOut, int* countOut, int headersOnly) {
    CModuleContext context;
    return hostApp().GetAllMsgs(msgsOut, countOut, headersOnly);
}

/*
 * SetMsg
 *   Files the message that msg describes into the desktop mail store.
 *   msg in: the record; read only.
 *   Results: MAILHOST_OK; MAILHOST_SERVER_ERROR, MAILHOST_ERROR, MAILHOST_OUT_OF_MEMORY,
 *   MAILHOST_RECIPIENT_REJECTED.
 *   Ownership: the record stays the caller's; the plug-in copies what it needs.
 */
int SetMsg(const MailMsg* msg) {
    CModuleContext context;
    return hostApp().SetMsg(msg);
}

/*
 * SendMsg
 *   Submits a message written on the handheld for delivery.
 *   msg in: the record; read only.
 *   Results: MAILHOST_OK; MAILHOST_SERVER_ERROR, MAILHOST_ERROR, MAILHOST_OUT_OF_MEMORY,
 *   MAILHOST_RECIPIENT_REJECTED, MAILHOST_SEND_FAILED.
 *   Ownership: the record stays the caller's.
 */
int SendMsg(const MailMsg* msg) {
    CModuleContext context;
    return hostApp().SendMsg(msg);
}

/*
 * DeleteMsg
 *   Deletes the desktop message that msg identifies by its host message identifier.
 *   msg in: a record that this plug-in handed out (or a copy of it); read only.
 *   Results: MAILHOST_OK; MAILHOST_SERVER_ERROR when no session is open or the message cannot
 *   be identified or deleted.
 *   Ownership: the record stays the caller's.
 */
int DeleteMsg(const MailMsg* msg) {
    CModuleContext context;
    return hostApp().DeleteMsg(msg);
}

/*
 * SetMsgReadStatus
 *   Marks the identified message read or unread.
 *   msg  in: identifies the message; read only.
 *   read in: non-zero read, zero unread.
 *   Results: MAILHOST_OK; MAILHOST_NOT_SUPPORTED (a host that cannot mark unread),
 *   MAILHOST_SERVER_ERROR, MAILHOST_ERROR.
 *   Ownership: the record stays the caller's.
 */
int SetMsgReadStatus(const MailMsg* msg, int read) {
    CModuleContext context;
    return hostApp().SetMsgReadStatus(msg, read);
}

/*
 * SetMsgPriority
 *   Sets the identified message's priority.
 *   msg      in: identifies the message; read only.
 *   priority in: 0 high, 1 normal, 2 low.
 *   Results: MAILHOST_OK; MAILHOST_SERVER_ERROR, MAILHOST_ERROR.
 *   Ownership: the record stays the caller's.
 */
int SetMsgPriority(const MailMsg* msg, int priority) {
    CModuleContext context;
    return hostApp().SetMsgPriority(msg, priority);
}

/*
 * FreeMailMsg
 *   Gives back an array from GetAllMsgs: frees its first count records, then the array.
 *   msgs  in: the array; invalid after the call.
 *   count in: how many records to free.
 *   Results: MAILHOST_OK; MAILHOST_NULL_ARGUMENT when msgs is null.
 *   Ownership: takes back what GetAllMsgs of this plug-in handed out.
 */
int FreeMailMsg(MailMsg** msgs, int count) {
    CModuleContext context;
    return hostApp().FreeMailMsg(msgs, count);
}
