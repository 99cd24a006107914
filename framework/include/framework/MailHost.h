// The mail host plug-in boundary: result codes, the flat message record and the fifteen
// functions that every plug-in exports. This header is all a conduit needs to drive a plug-in.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "win32/WinTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/// Result codes of every export and every host operation. The values are fixed: conduits and
/// the plug-ins' own error boxes interpret them.
enum {
    MAILHOST_OK = 0,
    MAILHOST_NOT_SUPPORTED = 1,
    MAILHOST_SERVER_ERROR = 3,
    MAILHOST_ERROR = 4,
    MAILHOST_OUT_OF_MEMORY = 5,
    MAILHOST_INIT_FAILED = 100,
    MAILHOST_LOGON_FAILED = 200,
    MAILHOST_LOGON_BAD_PASSWORD = 201,
    MAILHOST_LOGON_BAD_POST_OFFICE = 202,
    MAILHOST_RECIPIENT_REJECTED = 203,
    MAILHOST_LIBRARY_NOT_FOUND = 204,
    MAILHOST_HOST_NOT_INSTALLED = 205,
    MAILHOST_ENTRY_POINT_MISSING = 209,
    MAILHOST_BUFFER_TOO_SMALL = 210,
    MAILHOST_NULL_ARGUMENT = 211,
    MAILHOST_SEND_FAILED = 212,
    MAILHOST_READ_FAILED = 213
};

/// Outcomes that DisplayConfigWizardPages stores at its `outcome` argument.
enum {
    MAILHOST_WIZARD_CANCELLED = 0,
    MAILHOST_WIZARD_FINISHED = 1,
    MAILHOST_WIZARD_BACK = 2
};

/// `status` bits of a record.
enum {
    MAILMSG_STATUS_ATTACH_SHIFT = 4,       ///< bits 4-5: 1 = the message has file attachments
    MAILMSG_STATUS_CONTENT_SHIFT = 6,      ///< bits 6-7: 2 = body, recipients, attachments read
    MAILMSG_STATUS_ADDRESSED_SHIFT = 8,    ///< bits 8-9: 0 in To, 1 in Cc, 2 neither
    MAILMSG_STATUS_PRIORITY_SHIFT = 10,    ///< bits 10-11: handheld priority 0 high, 1 normal, 2 low
    MAILMSG_STATUS_DELIVERY_REPORT = 1u << 12,
    MAILMSG_STATUS_READ_RECEIPT = 1u << 13,
    MAILMSG_STATUS_READ_ON_HANDHELD = 1u << 15
};

/// `flags` bits of a record.
enum {
    MAILMSG_FLAG_HAS_ATTACHMENTS = 1u << 16,
    MAILMSG_FLAG_PRIORITY_SHIFT = 21,      ///< bits 21-22: desktop priority 0 high, 1 normal, 2 low
    MAILMSG_FLAG_READ = 1u << 25,
    MAILMSG_FLAG_FROM_HOST = 1u << 31      ///< the record came from this plug-in's GetAllMsgs
};

/// The flat message record: one heap block holding this header and, packed behind it,
/// the identifiers and texts it points to. Pointers are null for empty fields.
///
/// Offsets with 4-byte pointers (the 96-byte header):      with 8-byte pointers (LP64):
///   0 version  4 reserved  8 extraId1Size  12 extraId1      0 version  4 reserved  8 extraId1Size 16 extraId1
///  16 hostMsgIdSize 20 hostMsgId 24 extraId2Size 28 extraId2  24 hostMsgIdSize 32 hostMsgId 40 extraId2Size 48 extraId2
///  32 extraWord 36 timeSent 40 timeReceived 44 size          56 extraWord 60 timeSent 64 timeReceived 68 size
///  48 extraLong 52 status 56 flags 60 from 64 to 68 cc       72 extraLong 76 status 80 flags 88 from 96 to 104 cc
///  72 bcc 76 extraText1 80 extraText2 84 subject 88 body     112 bcc 120 extraText1 128 extraText2 136 subject 144 body
///  92 attachments; header 96 bytes                           152 attachments; header 160 bytes
typedef struct MailMsg {
    uint32_t version;          ///< 1 in records a plug-in builds; ignored on input
    uint32_t reserved;         ///< 0 in records a plug-in builds; ignored on input
    uint32_t extraId1Size;
    unsigned char* extraId1;
    uint32_t hostMsgIdSize;
    unsigned char* hostMsgId;  ///< the host's own identifier of the desktop message
    uint32_t extraId2Size;
    unsigned char* extraId2;
    uint16_t extraWord;
    uint16_t padding1;
    int32_t timeSent;          ///< seconds since 1970-01-01 00:00:00 UTC, 0 when unknown
    int32_t timeReceived;      ///< same unit
    uint32_t size;
    uint32_t extraLong;
    uint16_t status;
    uint16_t padding2;
    uint32_t flags;
    char* from;
    char* to;
    char* cc;
    char* bcc;
    char* extraText1;
    char* extraText2;
    char* subject;
    char* body;
    char* attachments;
} MailMsg;

#ifdef __cplusplus
#define MAILHOST_LAYOUT_ASSERT static_assert
#else
#define MAILHOST_LAYOUT_ASSERT _Static_assert
#endif

#if UINTPTR_MAX == 0xFFFFFFFFu
MAILHOST_LAYOUT_ASSERT(sizeof(MailMsg) == 96, "MailMsg header is 96 bytes with 4-byte pointers");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, extraId1) == 12, "extraId1 offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, hostMsgIdSize) == 16, "hostMsgIdSize offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, hostMsgId) == 20, "hostMsgId offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, extraId2) == 28, "extraId2 offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, extraWord) == 32, "extraWord offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, timeSent) == 36, "timeSent offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, timeReceived) == 40, "timeReceived offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, size) == 44, "size offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, extraLong) == 48, "extraLong offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, status) == 52, "status offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, flags) == 56, "flags offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, from) == 60, "from offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, subject) == 84, "subject offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, body) == 88, "body offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, attachments) == 92, "attachments offset");
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
MAILHOST_LAYOUT_ASSERT(sizeof(MailMsg) == 160, "MailMsg header is 160 bytes with 8-byte pointers");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, extraId1) == 16, "extraId1 offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, hostMsgIdSize) == 24, "hostMsgIdSize offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, hostMsgId) == 32, "hostMsgId offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, extraId2) == 48, "extraId2 offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, extraWord) == 56, "extraWord offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, timeSent) == 60, "timeSent offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, timeReceived) == 64, "timeReceived offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, size) == 68, "size offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, extraLong) == 72, "extraLong offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, status) == 76, "status offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, flags) == 80, "flags offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, from) == 88, "from offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, subject) == 136, "subject offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, body) == 144, "body offset");
MAILHOST_LAYOUT_ASSERT(offsetof(MailMsg, attachments) == 152, "attachments offset");
#endif

/// Size of the fixed header; the data area of a record built by a plug-in starts here.
#define MAILMSG_HEADER_SIZE (sizeof(MailMsg))

#if defined(VESK_BUILDING_PLUGIN)
#define MAILHOST_EXPORT __attribute__((visibility("default")))
#else
#define MAILHOST_EXPORT
#endif

// The fifteen exports. Each switches to the plug-in's resources, calls the host object's
// operation of the same name with the arguments unchanged and returns its result.

/// Binds the mail library. 0, or 100, 204, 205, 209, 4.
MAILHOST_EXPORT int Initialize(void);
/// Releases what Initialize acquired. 0, or 4 when the library could not be released.
MAILHOST_EXPORT int Uninitialize(void);
/// Opens a session with the settings in `configFile`; `syncLogon` non-zero asks for a full
/// logon for a synchronisation. 0, or 200, 201, 202.
MAILHOST_EXPORT int Logon(int syncLogon, const char* configFile);
/// Closes the mailbox and the session; harmless when none is open.
MAILHOST_EXPORT int Logoff(void);
/// Describes the held (or stored) settings into `textOut`; `*textSize` is its capacity and
/// receives the needed size when it is too small (210).
MAILHOST_EXPORT int GetHostConfigInfo(const char* configFile, char* textOut, int* textSize);
/// Writes the held settings into `configFile` when `save` is non-zero, then forgets them.
/// Returns 1 when `save` was non-zero and `configFile` not empty, else 0.
MAILHOST_EXPORT int SetHostConfigInfo(const char* configFile, int save);
/// The mail systems served, as NUL-terminated names ended by an empty name.
MAILHOST_EXPORT int GetSupportedHosts(char* hostsOut, int* hostsSize);
/// Runs the "Mail Setup" wizard modally over `parent`; `*outcome` becomes 1 finished,
/// 2 back, 0 cancelled. The fourth and fifth arguments are ignored.
MAILHOST_EXPORT int DisplayConfigWizardPages(HWND parent, const char* configFile,
                                             const char* hostName, int unused1, int unused2,
                                             int inMailSetup, int* outcome);
/// Hands out every message of the mailbox; the array belongs to the caller until it is
/// given back through FreeMailMsg. 0, or 3, 5, 213.
MAILHOST_EXPORT int GetAllMsgs(MailMsg*** msgsOut, int* countOut, int headersOnly);
/// Files `msg` into the desktop store. The record stays the caller's.
MAILHOST_EXPORT int SetMsg(const MailMsg* msg);
/// Submits a message written on the handheld. The record stays the caller's.
MAILHOST_EXPORT int SendMsg(const MailMsg* msg);
/// Deletes the desktop message that `msg` identifies.
MAILHOST_EXPORT int DeleteMsg(const MailMsg* msg);
/// Marks the identified message read (`read` non-zero) or unread.
MAILHOST_EXPORT int SetMsgReadStatus(const MailMsg* msg, int read);
/// Sets the identified message's priority: 0 high, 1 normal, 2 low.
MAILHOST_EXPORT int SetMsgPriority(const MailMsg* msg, int priority);
/// Gives back an array from GetAllMsgs: frees the first `count` records, then the array.
MAILHOST_EXPORT int FreeMailMsg(MailMsg** msgs, int count);

// Pointer types for a conduit that finds the exports by name.
typedef int (*PFN_Initialize)(void);
typedef int (*PFN_Uninitialize)(void);
typedef int (*PFN_Logon)(int, const char*);
typedef int (*PFN_Logoff)(void);
typedef int (*PFN_GetHostConfigInfo)(const char*, char*, int*);
typedef int (*PFN_SetHostConfigInfo)(const char*, int);
typedef int (*PFN_GetSupportedHosts)(char*, int*);
typedef int (*PFN_DisplayConfigWizardPages)(HWND, const char*, const char*, int, int, int, int*);
typedef int (*PFN_GetAllMsgs)(MailMsg***, int*, int);
typedef int (*PFN_SetMsg)(const MailMsg*);
typedef int (*PFN_SendMsg)(const MailMsg*);
typedef int (*PFN_DeleteMsg)(const MailMsg*);
typedef int (*PFN_SetMsgReadStatus)(const MailMsg*, int);
typedef int (*PFN_SetMsgPriority)(const MailMsg*, int);
typedef int (*PFN_FreeMailMsg)(MailMsg**, int);

#ifdef __cplusplus
}
#endif
