/* Simple MAPI as mapi32.dll publishes it: the nine calls, their structures, flags and error
 * numbers. A client loads the library at run time ("mapi32.dll") and finds the calls by name
 * (or by ordinal); this header gives it the types to call them with.
 *
 * Structures use natural alignment: with 4-byte pointers every member is 4 bytes wide and the
 * sizes are the published ones (MapiMessage 48, MapiRecipDesc 24, MapiFileDesc 24); with 8-byte
 * pointers the members keep their order and the compiler's natural padding. */
#ifndef MAPI32_MAPI_H
#define MAPI32_MAPI_H

#include <stddef.h>

#include "win32/WinTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(MAPI32_BUILDING)
#define MAPI32_API __attribute__((visibility("default")))
#else
#define MAPI32_API
#endif

typedef LHANDLE* LPLHANDLE;

/** The null session: some calls open a temporary session of their own when given it. */
#define lhSessionNull ((LHANDLE)0)

/* ---- Structures ------------------------------------------------------------------------- */

/** An attachment's file type as an X.400 object identifier (read and ignored here). */
typedef struct MapiFileTagExt {
    ULONG ulReserved;  /**< 0 */
    ULONG cbTag;       /**< bytes at lpTag */
    LPBYTE lpTag;      /**< the type's object identifier */
    ULONG cbEncoding;  /**< bytes at lpEncoding */
    LPBYTE lpEncoding; /**< the encoding's object identifier */
} MapiFileTagExt, *lpMapiFileTagExt;

/** One attachment of a message. */
typedef struct MapiFileDesc {
    ULONG ulReserved;    /**< 0 */
    ULONG flFlags;       /**< MAPI_OLE, MAPI_OLE_STATIC, or 0 for a data file */
    ULONG nPosition;     /**< character of the note text it stands for; (ULONG)-1 for none */
    LPSTR lpszPathName;  /**< full path of the file holding its bytes */
    LPSTR lpszFileName;  /**< name shown to the recipient; NULL or "" = file part of the path */
    LPVOID lpFileType;   /**< NULL or a MapiFileTagExt */
} MapiFileDesc, *lpMapiFileDesc;

/** One recipient, or the originator (class MAPI_ORIG). */
typedef struct MapiRecipDesc {
    ULONG ulReserved;    /**< 0 */
    ULONG ulRecipClass;  /**< MAPI_ORIG, MAPI_TO, MAPI_CC or MAPI_BCC */
    LPSTR lpszName;      /**< display name */
    LPSTR lpszAddress;   /**< address, optionally "type:address" (only SMTP here) */
    ULONG ulEIDSize;     /**< bytes at lpEntryID */
    LPVOID lpEntryID;    /**< the address book's opaque identifier of the entry */
} MapiRecipDesc, *lpMapiRecipDesc;

/** A message. */
typedef struct MapiMessage {
    ULONG ulReserved;             /**< 0 */
    LPSTR lpszSubject;            /**< NULL = none */
    LPSTR lpszNoteText;           /**< the body; paragraphs end in CR LF (CR or LF accepted) */
    LPSTR lpszMessageType;        /**< NULL or "" = interpersonal mail */
    LPSTR lpszDateReceived;       /**< "YYYY/MM/DD HH:MM", local time, 24-hour clock */
    LPSTR lpszConversationID;     /**< NULL = none */
    FLAGS flFlags;                /**< MAPI_UNREAD, MAPI_RECEIPT_REQUESTED, MAPI_SENT */
    lpMapiRecipDesc lpOriginator; /**< the sender (class MAPI_ORIG), or NULL */
    ULONG nRecipCount;            /**< entries at lpRecips */
    lpMapiRecipDesc lpRecips;     /**< the recipients; NULL when nRecipCount is 0 */
    ULONG nFileCount;             /**< entries at lpFiles */
    lpMapiFileDesc lpFiles;       /**< the attachments; NULL when nFileCount is 0 */
} MapiMessage, *lpMapiMessage;

#ifdef __cplusplus
#define MAPI32_LAYOUT_ASSERT static_assert
#else
#define MAPI32_LAYOUT_ASSERT _Static_assert
#endif

#if UINTPTR_MAX == 0xFFFFFFFFu
MAPI32_LAYOUT_ASSERT(sizeof(MapiMessage) == 48, "MapiMessage is 48 bytes with 4-byte pointers");
MAPI32_LAYOUT_ASSERT(offsetof(MapiMessage, flFlags) == 24, "MapiMessage.flFlags offset");
MAPI32_LAYOUT_ASSERT(offsetof(MapiMessage, lpFiles) == 44, "MapiMessage.lpFiles offset");
MAPI32_LAYOUT_ASSERT(sizeof(MapiRecipDesc) == 24, "MapiRecipDesc is 24 bytes with 4-byte pointers");
MAPI32_LAYOUT_ASSERT(offsetof(MapiRecipDesc, lpEntryID) == 20, "MapiRecipDesc.lpEntryID offset");
MAPI32_LAYOUT_ASSERT(sizeof(MapiFileDesc) == 24, "MapiFileDesc is 24 bytes with 4-byte pointers");
MAPI32_LAYOUT_ASSERT(offsetof(MapiFileDesc, lpszPathName) == 12, "MapiFileDesc.lpszPathName offset");
MAPI32_LAYOUT_ASSERT(sizeof(MapiFileTagExt) == 20, "MapiFileTagExt is 20 bytes with 4-byte pointers");
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
MAPI32_LAYOUT_ASSERT(sizeof(MapiMessage) == 96, "MapiMessage, naturally aligned with 8-byte pointers");
MAPI32_LAYOUT_ASSERT(offsetof(MapiMessage, lpszSubject) == 8, "MapiMessage.lpszSubject offset");
MAPI32_LAYOUT_ASSERT(offsetof(MapiMessage, flFlags) == 48, "MapiMessage.flFlags offset");
MAPI32_LAYOUT_ASSERT(offsetof(MapiMessage, lpOriginator) == 56, "MapiMessage.lpOriginator offset");
MAPI32_LAYOUT_ASSERT(offsetof(MapiMessage, lpFiles) == 88, "MapiMessage.lpFiles offset");
MAPI32_LAYOUT_ASSERT(sizeof(MapiRecipDesc) == 40, "MapiRecipDesc, naturally aligned with 8-byte pointers");
MAPI32_LAYOUT_ASSERT(offsetof(MapiRecipDesc, lpEntryID) == 32, "MapiRecipDesc.lpEntryID offset");
MAPI32_LAYOUT_ASSERT(sizeof(MapiFileDesc) == 40, "MapiFileDesc, naturally aligned with 8-byte pointers");
MAPI32_LAYOUT_ASSERT(offsetof(MapiFileDesc, lpszPathName) == 16, "MapiFileDesc.lpszPathName offset");
MAPI32_LAYOUT_ASSERT(sizeof(MapiFileTagExt) == 32, "MapiFileTagExt, naturally aligned with 8-byte pointers");
#endif

/* ---- Flags ------------------------------------------------------------------------------ */

/* Call flags (the flFlags argument). */
#define MAPI_LOGON_UI 0x00000001
#define MAPI_NEW_SESSION 0x00000002
#define MAPI_DIALOG 0x00000008
#define MAPI_DIALOG_MODELESS 0x0000000C
#define MAPI_UNREAD_ONLY 0x00000020
#define MAPI_EXTENDED 0x00000020
#define MAPI_ENVELOPE_ONLY 0x00000040
#define MAPI_PEEK 0x00000080
#define MAPI_GUARANTEE_FIFO 0x00000100
#define MAPI_BODY_AS_FILE 0x00000200
#define MAPI_AB_NOMODIFY 0x00000400
#define MAPI_SUPPRESS_ATTACH 0x00000800
#define MAPI_FORCE_DOWNLOAD 0x00001000
#define MAPI_LONG_MSGID 0x00004000
#define MAPI_PASSWORD_UI 0x00020000
#define MAPI_FORCE_UNICODE 0x00040000
#define MAPI_LOGOFF_SHARED 0x00000001
#define MAPI_LOGOFF_UI 0x00000002

/* Message flags (MapiMessage.flFlags). */
#define MAPI_UNREAD 0x00000001
#define MAPI_RECEIPT_REQUESTED 0x00000002
#define MAPI_SENT 0x00000004

/* Recipient classes (MapiRecipDesc.ulRecipClass). */
#define MAPI_ORIG 0
#define MAPI_TO 1
#define MAPI_CC 2
#define MAPI_BCC 3

/* Attachment flags (MapiFileDesc.flFlags). */
#define MAPI_OLE 0x00000001
#define MAPI_OLE_STATIC 0x00000002

/** Size of a message identifier buffer: with MAPI_LONG_MSGID, and without it. */
#define MAPI_LONG_MSGID_SIZE 512
#define MAPI_SHORT_MSGID_SIZE 64

/* ---- Error numbers ---------------------------------------------------------------------- */

#define SUCCESS_SUCCESS 0
#define MAPI_USER_ABORT 1
#define MAPI_E_USER_ABORT MAPI_USER_ABORT
#define MAPI_E_FAILURE 2
#define MAPI_E_LOGON_FAILURE 3
#define MAPI_E_LOGIN_FAILURE MAPI_E_LOGON_FAILURE
#define MAPI_E_DISK_FULL 4
#define MAPI_E_INSUFFICIENT_MEMORY 5
#define MAPI_E_ACCESS_DENIED 6
#define MAPI_E_TOO_MANY_SESSIONS 8
#define MAPI_E_TOO_MANY_FILES 9
#define MAPI_E_TOO_MANY_RECIPIENTS 10
#define MAPI_E_ATTACHMENT_NOT_FOUND 11
#define MAPI_E_ATTACHMENT_OPEN_FAILURE 12
#define MAPI_E_ATTACHMENT_WRITE_FAILURE 13
#define MAPI_E_UNKNOWN_RECIPIENT 14
#define MAPI_E_BAD_RECIPTYPE 15
#define MAPI_E_NO_MESSAGES 16
#define MAPI_E_INVALID_MESSAGE 17
#define MAPI_E_TEXT_TOO_LARGE 18
#define MAPI_E_INVALID_SESSION 19
#define MAPI_E_TYPE_NOT_SUPPORTED 20
#define MAPI_E_AMBIGUOUS_RECIPIENT 21
#define MAPI_E_AMBIG_RECIP MAPI_E_AMBIGUOUS_RECIPIENT
#define MAPI_E_MESSAGE_IN_USE 22
#define MAPI_E_NETWORK_FAILURE 23
#define MAPI_E_INVALID_EDITFIELDS 24
#define MAPI_E_INVALID_RECIPS 25
#define MAPI_E_NOT_SUPPORTED 26
#define MAPI_E_UNICODE_NOT_SUPPORTED 27
#define MAPI_E_ATTACHMENT_TOO_LARGE 28

/* ---- The calls -------------------------------------------------------------------------- */

/** Opens a session on a profile (here: an account of the default mail client).
 *  ulUIParam        in: parent window, or 0 (no dialog is ever shown).
 *  lpszProfileName  in: the account name; NULL or "" = the default account.
 *  lpszPassword     in: the account's password; ignored when the account has none.
 *  flFlags          in: MAPI_NEW_SESSION, MAPI_FORCE_DOWNLOAD (new mail becomes current);
 *                   MAPI_LOGON_UI and MAPI_PASSWORD_UI are accepted, no dialog is shown.
 *  lplhSession      out: the session handle, freed by MAPILogoff.
 *  Returns SUCCESS_SUCCESS, MAPI_E_LOGIN_FAILURE (unknown account, wrong password, mailbox
 *  missing), MAPI_E_TOO_MANY_SESSIONS, MAPI_E_INSUFFICIENT_MEMORY or MAPI_E_FAILURE. */
MAPI32_API ULONG WINAPI MAPILogon(ULONG_PTR ulUIParam, LPSTR lpszProfileName, LPSTR lpszPassword,
                                  FLAGS flFlags, ULONG ulReserved, LPLHANDLE lplhSession);

/** Ends a session; its handle is invalid afterwards.
 *  Returns SUCCESS_SUCCESS or MAPI_E_INVALID_SESSION. */
MAPI32_API ULONG WINAPI MAPILogoff(LHANDLE lhSession, ULONG_PTR ulUIParam, FLAGS flFlags,
                                   ULONG ulReserved);

/** Sends a message: it is queued in the account's outbox (the call succeeds once it is
 *  queued), and the queue is handed to the account's sending command when one is configured.
 *  lhSession 0 opens a temporary session on the default account. The message stays the
 *  caller's. Returns SUCCESS_SUCCESS, MAPI_E_INVALID_RECIPS (no recipients, or an address
 *  that cannot be used), MAPI_E_BAD_RECIPTYPE, MAPI_E_UNKNOWN_RECIPIENT,
 *  MAPI_E_AMBIGUOUS_RECIPIENT, MAPI_E_ATTACHMENT_NOT_FOUND, MAPI_E_NOT_SUPPORTED (a dialog,
 *  or attachments), MAPI_E_INVALID_SESSION, MAPI_E_LOGIN_FAILURE, MAPI_E_DISK_FULL,
 *  MAPI_E_INSUFFICIENT_MEMORY or MAPI_E_FAILURE (the message could not be queued). */
MAPI32_API ULONG WINAPI MAPISendMail(LHANDLE lhSession, ULONG_PTR ulUIParam,
                                     lpMapiMessage lpMessage, FLAGS flFlags, ULONG ulReserved);

/** Finds the message that follows `lpszSeedMessageID` (NULL or "": the first) in the inbox,
 *  oldest first, and writes its identifier into `lpszMessageID` (a buffer of
 *  MAPI_LONG_MSGID_SIZE bytes with MAPI_LONG_MSGID, else MAPI_SHORT_MSGID_SIZE).
 *  flFlags: MAPI_UNREAD_ONLY, MAPI_GUARANTEE_FIFO (always honoured), MAPI_LONG_MSGID.
 *  Returns SUCCESS_SUCCESS, MAPI_E_NO_MESSAGES, MAPI_E_INVALID_MESSAGE (the seed names no
 *  message), MAPI_E_INVALID_SESSION or MAPI_E_FAILURE. */
MAPI32_API ULONG WINAPI MAPIFindNext(LHANDLE lhSession, ULONG_PTR ulUIParam, LPSTR lpszMessageType,
                                     LPSTR lpszSeedMessageID, FLAGS flFlags, ULONG ulReserved,
                                     LPSTR lpszMessageID);

/** Reads a message of the inbox into one allocation at `*lppMessage`, freed (with everything
 *  it points to) by one MAPIFreeBuffer. Attachments are written to new files (mode 0600) in
 *  a folder private to the session; the caller deletes them.
 *  flFlags: MAPI_PEEK (leave the read state alone; without it the message is marked read),
 *  MAPI_ENVELOPE_ONLY (no note text, no files), MAPI_SUPPRESS_ATTACH (no files).
 *  Returns SUCCESS_SUCCESS, MAPI_E_INVALID_MESSAGE, MAPI_E_INVALID_SESSION,
 *  MAPI_E_ATTACHMENT_WRITE_FAILURE, MAPI_E_DISK_FULL, MAPI_E_INSUFFICIENT_MEMORY or
 *  MAPI_E_FAILURE; on failure nothing is handed out and the read state is unchanged. */
MAPI32_API ULONG WINAPI MAPIReadMail(LHANDLE lhSession, ULONG_PTR ulUIParam, LPSTR lpszMessageID,
                                     FLAGS flFlags, ULONG ulReserved, lpMapiMessage* lppMessage);

/** Stores a message in the inbox. With "" in `lpszMessageID` a new message is made and its
 *  identifier written back into the buffer (sized as for MAPIFindNext); with an identifier the
 *  message it names is replaced and the new identifier written back. The originator, when
 *  given, becomes the sender; without MAPI_UNREAD in the message's flags it is stored read.
 *  lhSession 0 is allowed for a new message (temporary session on the default account).
 *  Returns SUCCESS_SUCCESS, MAPI_E_INVALID_MESSAGE, MAPI_E_BAD_RECIPTYPE,
 *  MAPI_E_INVALID_RECIPS, MAPI_E_ATTACHMENT_NOT_FOUND, MAPI_E_NOT_SUPPORTED (attachments),
 *  MAPI_E_INVALID_SESSION, MAPI_E_LOGIN_FAILURE, MAPI_E_INSUFFICIENT_MEMORY or
 *  MAPI_E_FAILURE. */
MAPI32_API ULONG WINAPI MAPISaveMail(LHANDLE lhSession, ULONG_PTR ulUIParam, lpMapiMessage lpMessage,
                                     FLAGS flFlags, ULONG ulReserved, LPSTR lpszMessageID);

/** Moves a message of the inbox to the account's Trash folder; nothing is destroyed. The
 *  identifier no longer names an inbox message afterwards.
 *  Returns SUCCESS_SUCCESS, MAPI_E_INVALID_MESSAGE, MAPI_E_INVALID_SESSION or MAPI_E_FAILURE. */
MAPI32_API ULONG WINAPI MAPIDeleteMail(LHANDLE lhSession, ULONG_PTR ulUIParam, LPSTR lpszMessageID,
                                       FLAGS flFlags, ULONG ulReserved);

/** Frees a structure that a call of this library handed out, with everything hanging from
 *  it. NULL is accepted. Returns SUCCESS_SUCCESS, or MAPI_E_FAILURE for a pointer this library
 *  did not hand out (or already freed), which is left alone. */
MAPI32_API ULONG WINAPI MAPIFreeBuffer(LPVOID pv);

/** Looks `lpszName` up in the account's address book and its own identity (whole names and
 *  addresses first, then parts of them, all without regard to case) and hands out one
 *  recipient (class MAPI_TO) at `*lppRecip`, freed by MAPIFreeBuffer.
 *  lhSession 0 opens a temporary session on the default account.
 *  Returns SUCCESS_SUCCESS, MAPI_E_UNKNOWN_RECIPIENT, MAPI_E_AMBIGUOUS_RECIPIENT,
 *  MAPI_E_INVALID_SESSION, MAPI_E_LOGIN_FAILURE, MAPI_E_INSUFFICIENT_MEMORY or
 *  MAPI_E_FAILURE; nothing is handed out on failure. */
MAPI32_API ULONG WINAPI MAPIResolveName(LHANDLE lhSession, ULONG_PTR ulUIParam, LPSTR lpszName,
                                        FLAGS flFlags, ULONG ulReserved, lpMapiRecipDesc* lppRecip);

/* Pointer types for clients that find the calls with GetProcAddress. */
typedef ULONG(WINAPI* LPMAPILOGON)(ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPLHANDLE);
typedef ULONG(WINAPI* LPMAPILOGOFF)(LHANDLE, ULONG_PTR, FLAGS, ULONG);
typedef ULONG(WINAPI* LPMAPISENDMAIL)(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG);
typedef ULONG(WINAPI* LPMAPIFINDNEXT)(LHANDLE, ULONG_PTR, LPSTR, LPSTR, FLAGS, ULONG, LPSTR);
typedef ULONG(WINAPI* LPMAPIREADMAIL)(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiMessage*);
typedef ULONG(WINAPI* LPMAPISAVEMAIL)(LHANDLE, ULONG_PTR, lpMapiMessage, FLAGS, ULONG, LPSTR);
typedef ULONG(WINAPI* LPMAPIDELETEMAIL)(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG);
typedef ULONG(WINAPI* LPMAPIFREEBUFFER)(LPVOID);
typedef ULONG(WINAPI* LPMAPIRESOLVENAME)(LHANDLE, ULONG_PTR, LPSTR, FLAGS, ULONG, lpMapiRecipDesc*);

/* Ordinals of the calls in the library's export table. */
#define MAPI32_ORDINAL_MAPIFREEBUFFER 16
#define MAPI32_ORDINAL_MAPILOGON 209
#define MAPI32_ORDINAL_MAPILOGOFF 210
#define MAPI32_ORDINAL_MAPISENDMAIL 211
#define MAPI32_ORDINAL_MAPISAVEMAIL 212
#define MAPI32_ORDINAL_MAPIREADMAIL 213
#define MAPI32_ORDINAL_MAPIFINDNEXT 214
#define MAPI32_ORDINAL_MAPIDELETEMAIL 215
#define MAPI32_ORDINAL_MAPIRESOLVENAME 219

#ifdef __cplusplus
}
#endif

#endif /* MAPI32_MAPI_H */
