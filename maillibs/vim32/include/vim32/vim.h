/* The VIM operations as vim32.dll publishes them: types, structures, selectors, status values,
 * the thirty calls this library offers with their ordinals, and pointer types for clients
 * that find the calls with GetProcAddress (by ordinal, as a .def file gives them, or by name).
 *
 * Every call returns a vimStatus: the low 16 bits are the VIM status (VIM_STATUS), the high
 * 16 bits an extended status of this implementation (0 here). 0 is success.
 *
 * Handles are opaque; 0 means none. A handle that this library did not hand out, or that was
 * closed, is refused with VIMSTS_INVALID_OBJECT; no call ever dereferences one.
 *
 * Layout: every member is a 32-bit or 16-bit number, a char array whose size is a multiple
 * of 4, or a pointer. With 4-byte pointers the structures have the published sizes
 * (vimAttrDesc 12, vimBuffFileDesc 16); with 8-byte pointers the members keep their order and
 * natural alignment. Structures without pointers have the same size everywhere. */
#ifndef VIM32_VIM_H
#define VIM32_VIM_H

#include <stddef.h>
#include <stdint.h>

#include "win32/WinTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#if defined(VIM32_BUILDING)
#define VIM32_API __attribute__((visibility("default")))
#else
#define VIM32_API
#endif

/** The calling convention of every call and callback (_stdcall on 32-bit Windows). */
#define VIMAPIENTRY WINAPI
#define VIMCALLBACK WINAPI*

/* ---- Version ---------------------------------------------------------------------------- */

#define VIM_CURRENT_VERSION 100        /**< the interface version a session is opened with */
#define VIM_IMPLEMENTATION_VERSION 101 /**< what VIMQueryCapability(VIMSEL_VERSION) reports */

/* ---- Types ------------------------------------------------------------------------------ */

typedef uint16_t vimBool;
typedef uint16_t vimWord;
typedef uint32_t vimDWord;
typedef int32_t vimInt;
typedef char vimString;
typedef vimDWord vimSelector;
typedef vimDWord vimStatus;

typedef vimBool* vimBoolPtr;
typedef vimWord* vimWordPtr;
typedef vimDWord* vimDWordPtr;
typedef vimString* vimStringPtr;
typedef void* vimDataPtr;

typedef void* vimSes;
typedef void* vimMsgContainer;
typedef void* vimMsg;
typedef void* vimAddressBook;
typedef void* vimMsgItem;

typedef vimSes* vimSesPtr;
typedef vimMsgContainer* vimMsgContainerPtr;
typedef vimMsg* vimMsgPtr;
typedef vimAddressBook* vimAddressBookPtr;
typedef vimMsgItem* vimMsgItemPtr;

#define VIM_FALSE 0
#define VIM_TRUE 1

/** A reference: 8 opaque bytes naming a message, an item of a message, or an address-book
 *  entry. The library makes them and checks every one it is given; a reference it did not
 *  make (or whose object is gone) is refused, never followed. Passed by value. */
typedef struct vimRef {
    vimDWord Ref[2];
} vimRef, *vimRefPtr;

/** An enumeration's position: all zero before the first call, then as the library left it.
 *  It is valid only for the enumeration of the object it came from. */
typedef vimRef vimEnumRef;
typedef vimEnumRef* vimEnumRefPtr;

#define VIM_UND_REF(x) ((x).Ref[0] = 0, (x).Ref[1] = 0)
#define VIM_ROOT_REF(x) ((x).Ref[0] = 0, (x).Ref[1] = (vimDWord)-1)
#define VIM_PARENT_REF(x) ((x).Ref[0] = 0, (x).Ref[1] = (vimDWord)-2)

/* ---- Structures ------------------------------------------------------------------------- */

#define VIM_ADDRESS_BOOK_SIZE 256
#define VIM_NAME_SIZE 1024
#define VIM_ITEM_TYPE_SIZE 64
#define VIM_ITEM_NAME_SIZE 256
#define VIM_ITEM_PATH_SIZE 256

/** A name as an address book holds it. Type VIMSEL_NATIVE: Value is the user's name in the
 *  post office (or a display name); AddressBook names the book it came from, or is empty. */
typedef struct vimDistinguishedName {
    vimSelector Type;
    char AddressBook[VIM_ADDRESS_BOOK_SIZE];
    char Value[VIM_NAME_SIZE];
} vimDistinguishedName, *vimDistinguishedNamePtr;

/** An address. Type VIMSEL_NATIVE: a user of the post office ("name"), or an Internet
 *  address routed through the gateway ("user@host at GATEWAY"). */
typedef struct vimAddress {
    vimSelector Type;
    char Value[VIM_NAME_SIZE];
} vimAddress, *vimAddressPtr;

/** A recipient or originator (2316 bytes). Type: VIMSEL_ENTITY (found in an address book:
 *  Address is what counts), VIMSEL_UNKNOWN_RECIP_TYPE (name and address as written),
 *  VIMSEL_GROUP. DName.Value is the display name, empty when none; Address.Value the address. */
typedef struct vimRecipient {
    vimSelector Type;
    vimDistinguishedName DName;
    vimAddress Address;
} vimRecipient, *vimRecipientPtr;

/** One attribute asked for or given. In an enumeration Buffer is an array with one element of
 *  Size bytes per entry delivered: the n-th entry's value goes into the n-th element.
 *  Element rules: texts are NUL-terminated and cut to Size-1 characters; 16-bit and 32-bit
 *  numbers are written in Size 2 or 4 (little-endian); a structure needs Size >= its size
 *  (otherwise VIMSTS_BUF_TOO_SMALL, nothing written) and bytes past it are zeroed. */
typedef struct vimAttrDesc {
    vimSelector Attr;
    vimDWord Size;
    vimDataPtr Buffer;
} vimAttrDesc, *vimAttrDescPtr;

/** An address-book attribute by name (not offered by this library; kept for completeness). */
typedef struct vimNamedAttrDesc {
    vimStringPtr Attr;
    vimDWord Size;
    vimDataPtr Buffer;
} vimNamedAttrDesc, *vimNamedAttrDescPtr;

/** One item of a message (592 bytes), as VIMEnumerateMessageItems delivers it.
 *  Class: VIMSEL_NOTE_PART (a text part; Name its title, usually empty) or VIMSEL_ATTACH
 *  (an attached file; Name its file name). Type: "VIM_TEXT" for text parts, else the MIME
 *  type. Path is empty (attachments are read through the item calls). Size in bytes of the
 *  item's data as delivered. Ref names the item for VIMOpenMessageItem. */
typedef struct vimItemDesc {
    vimSelector Class;
    char Type[VIM_ITEM_TYPE_SIZE];
    char Name[VIM_ITEM_NAME_SIZE];
    char Path[VIM_ITEM_PATH_SIZE];
    vimDWord Size;
    vimRef Ref;
} vimItemDesc, *vimItemDescPtr;

/** Data given or read. Giving (VIMSetMessageItem): Size bytes at Buffer, or the file
 *  FileName when Buffer is NULL. Reading (VIMReadMessageItem): in Size the room at Buffer,
 *  out the bytes delivered; Offset and FileName are not read. */
typedef struct vimBuffFileDesc {
    vimDWord Size;
    vimDataPtr Buffer;
    vimDWord Offset;
    vimStringPtr FileName;
} vimBuffFileDesc, *vimBuffFileDescPtr;

/** A date (12 bytes). Date: year bits 16-31, month 8-15, day 0-7. Time: hour bits 24-31,
 *  minute 16-23, second 8-15, hundredths 0-7. All ones: unknown (VIM_UNKNOWN_DATE/TIME).
 *  This library delivers dates in local time (Zone VIMSEL_LOCAL). */
typedef struct vimDate {
    vimSelector Zone;
    vimDWord Date;
    vimDWord Time;
} vimDate, *vimDatePtr;

typedef struct vimDateRange {
    vimDate Start;
    vimDate Stop;
} vimDateRange, *vimDateRangePtr;

#define VIM_UNKNOWN_DATE 0xFFFFFFFFu
#define VIM_UNKNOWN_TIME 0xFFFFFFFFu

#ifdef __cplusplus
#define VIM32_LAYOUT_ASSERT static_assert
#else
#define VIM32_LAYOUT_ASSERT _Static_assert
#endif

VIM32_LAYOUT_ASSERT(sizeof(vimRef) == 8, "vimRef is 8 bytes");
VIM32_LAYOUT_ASSERT(sizeof(vimDistinguishedName) == 1284, "vimDistinguishedName is 1284 bytes");
VIM32_LAYOUT_ASSERT(sizeof(vimAddress) == 1028, "vimAddress is 1028 bytes");
VIM32_LAYOUT_ASSERT(sizeof(vimRecipient) == 2316, "vimRecipient is 2316 bytes");
VIM32_LAYOUT_ASSERT(offsetof(vimRecipient, DName.Value) == 264, "display name at 264");
VIM32_LAYOUT_ASSERT(offsetof(vimRecipient, Address.Type) == 1288, "address type at 1288");
VIM32_LAYOUT_ASSERT(offsetof(vimRecipient, Address.Value) == 1292, "address at 1292");
VIM32_LAYOUT_ASSERT(sizeof(vimItemDesc) == 592, "vimItemDesc is 592 bytes");
VIM32_LAYOUT_ASSERT(offsetof(vimItemDesc, Name) == 68, "item name at 68");
VIM32_LAYOUT_ASSERT(offsetof(vimItemDesc, Ref) == 584, "item reference at 584");
VIM32_LAYOUT_ASSERT(sizeof(vimDate) == 12, "vimDate is 12 bytes");
#if UINTPTR_MAX == 0xFFFFFFFFu
VIM32_LAYOUT_ASSERT(sizeof(vimAttrDesc) == 12, "vimAttrDesc is 12 bytes with 4-byte pointers");
VIM32_LAYOUT_ASSERT(sizeof(vimBuffFileDesc) == 16, "vimBuffFileDesc is 16 bytes with 4-byte pointers");
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
VIM32_LAYOUT_ASSERT(sizeof(vimAttrDesc) == 16, "vimAttrDesc, naturally aligned with 8-byte pointers");
VIM32_LAYOUT_ASSERT(offsetof(vimAttrDesc, Buffer) == 8, "vimAttrDesc.Buffer offset");
VIM32_LAYOUT_ASSERT(sizeof(vimBuffFileDesc) == 32, "vimBuffFileDesc, naturally aligned with 8-byte pointers");
VIM32_LAYOUT_ASSERT(offsetof(vimBuffFileDesc, Offset) == 16, "vimBuffFileDesc.Offset offset");
#endif

/** Called by VIMSendMessage about a recipient it cannot settle; this library never calls it
 *  (recipients it cannot deliver locally go to the gateway or are refused when added). */
typedef vimBool(VIMCALLBACK vimSendCallback)(vimDataPtr callbackRoutineParm, vimStatus status,
                                             vimRecipientPtr pRecip, vimWord wChoicesCount,
                                             vimRecipientPtr pChoices, vimWordPtr pSelection);

/* ---- Selectors -------------------------------------------------------------------------- */

#define VIMSEL_ADDRESS 1              /**< AB entry: vimAddress (entry read) */
#define VIMSEL_APP_DEFINED 4          /**< item class: application-defined (refused here) */
#define VIMSEL_ATTACH 6               /**< item class: an attached file */
#define VIMSEL_BCC 9                  /**< recipient class */
#define VIMSEL_CC 10                  /**< recipient class */
#define VIMSEL_COMMENTS 14            /**< AB entry: text */
#define VIMSEL_CP1252 16              /**< character set: Windows-1252 (the only one served) */
#define VIMSEL_CP437 17
#define VIMSEL_CP850 18
#define VIMSEL_DATE 19                /**< message: vimDate */
#define VIMSEL_DISPLAY_NAME 22        /**< AB entry: text */
#define VIMSEL_DRAFT 23               /**< message: 16-bit flag, 1 = a draft (files unsent) */
#define VIMSEL_ENTITY 26              /**< recipient type: found in an address book */
#define VIMSEL_FROM 34                /**< message: the originator, a vimRecipient */
#define VIMSEL_FROM_NAME 35           /**< message: the originator's display name, text */
#define VIMSEL_FULL 36                /**< match type: the whole value, without regard to case */
#define VIMSEL_GMT 37
#define VIMSEL_GROUP 38               /**< recipient type */
#define VIMSEL_LOCAL 45
#define VIMSEL_NAME 53                /**< AB entry or address book: the name, text */
#define VIMSEL_NATIVE 55              /**< name/address type: this post office's own */
#define VIMSEL_NO_FILTER 58           /**< enumeration filter: none */
#define VIMSEL_NOTE_PART 62           /**< item class: a text part */
#define VIMSEL_PARTIAL 67             /**< match type: a prefix, without regard to case */
#define VIMSEL_PRIORITY 71            /**< message: 16-bit VIM_*_PRIORITY */
#define VIMSEL_RECIPIENT 75           /**< recipient enumeration: a vimRecipient */
#define VIMSEL_REF 76                 /**< message: its vimRef */
#define VIMSEL_RETURN_RECEIPT 79      /**< message: 16-bit flag, ask for a read receipt */
#define VIMSEL_SAVE 81                /**< message: 16-bit flag, keep a copy when sent */
#define VIMSEL_SUBJECT 91             /**< message: text (set: Size bytes, no NUL needed) */
#define VIMSEL_TO 97                  /**< recipient class */
#define VIMSEL_TYPE 98
#define VIMSEL_UNKNOWN_RECIP_TYPE 101 /**< recipient type: name and address as written */
#define VIMSEL_UNREAD_MAIL 103        /**< message: 16-bit flag, 1 while unread */
#define VIMSEL_VERSION 106            /**< capability: 32-bit VIM_IMPLEMENTATION_VERSION */
#define VIMSEL_X400 107
#define VIMSEL_X500 108
#define VIMSEL_CATEGORY 256           /**< container: the names of its folders */
#define VIMSEL_MSG_LEN 266            /**< message: 32-bit size in bytes */
#define VIMSEL_TOTAL_ENTRIES 269
#define VIMSEL_PASSWORD 275
#define VIMSEL_POSTOFFICE_NAME 302
#define VIMSEL_POSTOFFICE_PATH 303

/* ---- Other constants -------------------------------------------------------------------- */

#define VIM_MAIL "VIM_MAIL"                     /**< message type: interpersonal mail */
#define VIM_TEXT "VIM_TEXT"                     /**< item type: plain text */
#define VIM_UNWRAPPED_TEXT "VIM_UNWRAPPED_TEXT" /**< item type: text whose lines are unwrapped */

#define VIM_LOW_PRIORITY 0
#define VIM_NORMAL_PRIORITY 1
#define VIM_HIGH_PRIORITY 2

#define VIM_UNREADONLY 0x1 /**< VIMEnumerateMessages flag: only unread messages */
#define VIM_NO_FLAGS 0
#define VIM_SKIP_RECIP ((vimWord)-1)

/** The library's post office user and display names are at most this long (plus NUL). */
#define VIM_MAX_USER_NAME 255

/* ---- Status values ---------------------------------------------------------------------- */

#define VIM_STATUS(l) ((vimStatus)(l) & 0xFFFFu)
#define VIM_EXT_STATUS(l) (((vimStatus)(l) >> 16) & 0xFFFFu)

#define VIMSTS_SUCCESS 0
#define VIMSTS_FAILURE 1
#define VIMSTS_FATAL 2
#define VIMSTS_ALL_PARAMS_REQUIRED 3 /**< a required argument is NULL */
#define VIMSTS_ATTACHMENT_NOT_FOUND 4
#define VIMSTS_BAD_PARAM 5           /**< an argument out of range, a foreign position */
#define VIMSTS_BUF_TOO_SMALL 6
#define VIMSTS_CONV_NOT_SUPPORTED 7
#define VIMSTS_INSUFFICIENT_MEMORY 8
#define VIMSTS_INVALID_CONFIGURATION 9 /**< the post office's files are unreadable or malformed */
#define VIMSTS_INVALID_OBJECT 10     /**< a handle or reference this library does not know */
#define VIMSTS_INVALID_PASSWORD 11   /**< VIMOpenSession: the password does not match */
#define VIMSTS_INVALID_SELECTOR 12   /**< an attribute or class this call does not take */
#define VIMSTS_INVALID_SIGNATURE 13
#define VIMSTS_NAME_EXISTS 14        /**< VIMSetMessageRecipient: already a recipient of the class */
#define VIMSTS_NAME_NOT_FOUND 15     /**< no such user, address book or folder */
#define VIMSTS_NOT_SUPPORTED 16
#define VIMSTS_NO_COMMON_CERTIFICATES 17
#define VIMSTS_NO_DEFAULT 18         /**< VIMGetDefaultSessionInfo: no default login configured */
#define VIMSTS_NO_MATCH 19           /**< VIMMatchAddressBook: no entry matches */
#define VIMSTS_NO_SIGNATURE 20
#define VIMSTS_NO_SUCH_ATTRIBUTE 21
#define VIMSTS_OPEN_FAILURE 22       /**< VIMOpenSession: no post office at that path */
#define VIMSTS_PASS_REQUIRED 23
#define VIMSTS_READ_FAILURE 24       /**< a message file could not be read */
#define VIMSTS_UNSUP_TYPE 25
#define VIMSTS_UNSUP_VERSION 26
#define VIMSTS_WRITE_FAILURE 27      /**< the disk refused a delivery, move or flag change */
#define VIMSTS_UNABLE_CREATE_DRAFT 28
#define VIMSTS_NO_RECIPIENTS 256
#define VIMSTS_RECIPIENT_NOT_FOUND 257
#define VIMSTS_RECIPIENT_NOT_UNIQUE 258
#define VIMSTS_CONTAINER_CORRUPT 259
#define VIMSTS_INVALID_MESSAGE 260
#define VIMSTS_USER_CANCEL 261

/* ---- Enumerations ----------------------------------------------------------------------- *
 * Every enumeration call takes (pPos, skipCount, ..., pCount, ..., pMore):
 *   pPos       in/out: all zero to start; afterwards what the previous call left. A position
 *              from another object or another kind of enumeration is refused (BAD_PARAM).
 *   skipCount  1 to go on with the next entry; n > 1 passes over n-1 entries first;
 *              0 or negative: BAD_PARAM.
 *   pCount     in: how many entries the buffers have room for (1..65535; 0 is BAD_PARAM);
 *              out: how many were delivered (0 when the end was reached).
 *   pMore      out: VIM_TRUE when entries remain after those delivered.
 * A message listing works on the folder as it was at its start (position zero): messages
 * arriving during it are listed by the next enumeration, none is listed twice.
 * On any failure *pCount is 0 and *pMore VIM_FALSE, and the position is left as it was. */

/* ---- The calls (ordinal: name) ----------------------------------------------------------- */

/** 1: Starts the library; calls nest (each needs a VIMTerminate). Returns SUCCESS. */
VIM32_API vimStatus VIMAPIENTRY VIMInitialize(void);

/** 2: Capability `selType` into `pData` (sizeData bytes). VIMSEL_VERSION: a 32-bit
 *  VIM_IMPLEMENTATION_VERSION (sizeData >= 4, else BUF_TOO_SMALL). Other selectors:
 *  NOT_SUPPORTED. ALL_PARAMS_REQUIRED for a NULL pData. */
VIM32_API vimStatus VIMAPIENTRY VIMQueryCapability(vimSelector selType, vimWord sizeData,
                                                   vimDataPtr pData);

/** 3: The default login from the registry: the post office path into psPathSpec and the user
 *  name into psName, NUL-terminated. BUF_TOO_SMALL (nothing written) when either does not
 *  fit; NO_DEFAULT when the registry names none. */
VIM32_API vimStatus VIMAPIENTRY VIMGetDefaultSessionInfo(vimWord sizePath, vimStringPtr psPathSpec,
                                                         vimWord sizeName, vimStringPtr psName);

/** 4: Opens a session for user `psName` of the post office at `psPathSpec` (NULL or "":
 *  the default login's) with password `psPass` (NULL = ""). dwVersion must be
 *  VIM_CURRENT_VERSION or less (else UNSUP_VERSION); selCharSet VIMSEL_CP1252 or
 *  VIMSEL_NATIVE (else CONV_NOT_SUPPORTED).
 *  OPEN_FAILURE: no post office there; NAME_NOT_FOUND: no such user; INVALID_PASSWORD: the
 *  password does not match; INVALID_CONFIGURATION: the post office's files are damaged;
 *  FAILURE when the library is not started. Every refusal is written to the problem log. */
VIM32_API vimStatus VIMAPIENTRY VIMOpenSession(vimStringPtr psPathSpec, vimStringPtr psName,
                                               vimStringPtr psPass, vimDWord dwVersion,
                                               vimSelector selCharSet, vimSesPtr pSession);

/** 5: The session's user: Type VIMSEL_NATIVE, AddressBook the post office's name, Value the
 *  user's name. */
VIM32_API vimStatus VIMAPIENTRY VIMGetEntityName(vimSes session, vimDistinguishedNamePtr pDistName);

/** 6: Closes a session and every container, message, item and address book opened in it. */
VIM32_API vimStatus VIMAPIENTRY VIMCloseSession(vimSes session);

/** 7: Stops the library; the last of nested starts closes every session. FAILURE when not
 *  started. */
VIM32_API vimStatus VIMAPIENTRY VIMTerminate(void);

/** 9: A new message of type psType (VIM_MAIL, or NULL for it; other types UNSUP_TYPE), from
 *  the session's user. Freed by VIMCloseMessage (which files it in the mailbox unsent) or
 *  taken by a successful VIMSendMessage. */
VIM32_API vimStatus VIMAPIENTRY VIMCreateMessage(vimSes session, vimStringPtr psType, vimMsgPtr pMessage);

/** 11: Sets attribute selAttr of a message to wAttrSize bytes at pAttr.
 *  New messages: VIMSEL_SUBJECT (text of wAttrSize bytes, cut at a NUL; at most 256),
 *  VIMSEL_PRIORITY, VIMSEL_RETURN_RECEIPT, VIMSEL_SAVE, VIMSEL_DRAFT (16-bit numbers).
 *  Messages opened from a container: VIMSEL_PRIORITY only (written to the message file).
 *  BAD_PARAM for a number out of range or of a size other than 2 or 4; INVALID_SELECTOR for
 *  other attributes; WRITE_FAILURE when the file cannot be rewritten. */
VIM32_API vimStatus VIMAPIENTRY VIMSetMessageHeader(vimMsg message, vimSelector selAttr,
                                                    vimWord wAttrSize, vimDataPtr pAttr);

/** 12: Adds a recipient of class VIMSEL_TO, VIMSEL_CC or VIMSEL_BCC to a new message.
 *  The address (else the display name) decides: "user@host at GATEWAY" or an address with
 *  '@' is Internet mail (the gateway part must name this post office's gateway when given;
 *  a post office without a gateway refuses Internet mail with NAME_NOT_FOUND), except that
 *  the Internet address of a user of the post office reaches that user directly; anything
 *  else must name a user of the post office by name or display name (NAME_NOT_FOUND
 *  otherwise).
 *  NAME_EXISTS when the same address is already a recipient of that class (not added again).
 *  BAD_PARAM for an empty address, INVALID_SELECTOR for another class. */
VIM32_API vimStatus VIMAPIENTRY VIMSetMessageRecipient(vimMsg message, vimSelector selClass,
                                                       vimRecipientPtr pRecip);

/** 13: Adds a text part to a new message: class VIMSEL_NOTE_PART, type NULL, VIM_TEXT or
 *  VIM_UNWRAPPED_TEXT (else UNSUP_TYPE); the parts are joined in order. The data are
 *  pDesc->Size bytes at pDesc->Buffer, or the file pDesc->FileName when Buffer is NULL
 *  (ATTACHMENT_NOT_FOUND when unreadable). Size 0 adds an empty part. VIMSEL_ATTACH:
 *  NOT_SUPPORTED (this library composes text messages only); another class: INVALID_SELECTOR.
 *  strName and selFlags are not used. */
VIM32_API vimStatus VIMAPIENTRY VIMSetMessageItem(vimMsg message, vimSelector selClass,
                                                  vimStringPtr strType, vimSelector selFlags,
                                                  vimStringPtr strName, vimBuffFileDescPtr pDesc);

/** 14: Submits a new message: delivered at once into the mailbox of every recipient who is a
 *  user of the post office, and queued in the sender's outbound queue for the Internet
 *  recipients (handed to the post office's sending command when one is configured).
 *  A copy goes to the sender's "Sent" folder when VIMSEL_SAVE is set. On SUCCESS the message
 *  is the library's and the handle is gone; on failure it stays the caller's (to close).
 *  NO_RECIPIENTS when it has none; WRITE_FAILURE when a delivery or the queue failed (the
 *  problem log names which). The callback is not called. */
VIM32_API vimStatus VIMAPIENTRY VIMSendMessage(vimMsg message, vimDataPtr pCallbackParam,
                                               vimSendCallback callBack);

/** 15: Closes a message. A new message that was not submitted is filed in the session user's
 *  mailbox (as read; a VIMSEL_DRAFT message with the Draft flag); WRITE_FAILURE when that
 *  fails, and the handle is gone in every case. */
VIM32_API vimStatus VIMAPIENTRY VIMCloseMessage(vimMsg message);

/** 16: Opens a container of the session's user: NULL or "" is the mailbox, otherwise a folder
 *  by name ("Trash", ...; NAME_NOT_FOUND when it does not exist). */
VIM32_API vimStatus VIMAPIENTRY VIMOpenMessageContainer(vimSes session, vimStringPtr psContainerName,
                                                        vimMsgContainerPtr pContainer);

/** 17: Lists the container's messages, oldest first, ten or however many *pMsgCount asks
 *  for; attribCount descriptors give the attributes wanted: VIMSEL_REF, VIMSEL_UNREAD_MAIL,
 *  VIMSEL_FROM, VIMSEL_FROM_NAME, VIMSEL_PRIORITY, VIMSEL_SUBJECT, VIMSEL_DATE,
 *  VIMSEL_MSG_LEN (others INVALID_SELECTOR). selFiltType must be VIMSEL_NO_FILTER (or 0);
 *  flags VIM_UNREADONLY lists only unread ones. A message file that cannot be read is listed
 *  with what its listing entry gives (and logged), never dropped. */
VIM32_API vimStatus VIMAPIENTRY VIMEnumerateMessages(vimMsgContainer container, vimEnumRefPtr pPos,
                                                     vimInt skipCount, vimWord attribCount,
                                                     vimAttrDescPtr pAttribDesc, vimWordPtr pMsgCount,
                                                     vimSelector selFiltType, vimDataPtr pFiltData,
                                                     vimDWord flags, vimBoolPtr pMore);

/** 18: Lists values of attribute selAttr in the container: VIMSEL_CATEGORY gives the names
 *  of the user's folders, each NUL-terminated in an entry of buffEntrySize bytes. */
VIM32_API vimStatus VIMAPIENTRY VIMEnumerateMsgAttrValues(vimMsgContainer container, vimSelector selAttr,
                                                          vimEnumRefPtr pPos, vimInt skipCount,
                                                          vimWord buffEntrySize, vimStringPtr pBuffArray,
                                                          vimWordPtr pCount, vimBoolPtr pMore);

/** 24: Closes a container and the messages opened from it. */
VIM32_API vimStatus VIMAPIENTRY VIMCloseMessageContainer(vimMsgContainer container);

/** 25: Opens the message `refMessage` (from VIMSEL_REF) of the container. key is not used.
 *  INVALID_OBJECT when the reference names no message of this container; READ_FAILURE when
 *  its file cannot be read from disk. A file that is no readable message (no header, binary
 *  bytes) opens with its bytes as its text. Opening does not mark it read. */
VIM32_API vimStatus VIMAPIENTRY VIMOpenMessage(vimMsgContainer container, vimRef refMessage,
                                               vimStringPtr key, vimMsgPtr pMessage);

/** 26: Marks message `msgRef` of the container read. INVALID_OBJECT as for VIMOpenMessage. */
VIM32_API vimStatus VIMAPIENTRY VIMMarkMessageAsRead(vimMsgContainer container, vimRef msgRef);

/** 29: Lists the items of an opened message: its text (one VIMSEL_NOTE_PART item, absent when
 *  the message has no text), then one VIMSEL_ATTACH item per attachment, in MIME order.
 *  selFiltType VIMSEL_NO_FILTER (or 0), or VIMSEL_NOTE_PART / VIMSEL_ATTACH for one class. */
VIM32_API vimStatus VIMAPIENTRY VIMEnumerateMessageItems(vimMsg message, vimEnumRefPtr pPos,
                                                         vimInt skipCount, vimWordPtr pCount,
                                                         vimItemDescPtr pDesc, vimSelector selFiltType,
                                                         vimDataPtr pFiltData, vimBoolPtr pMore);

/** 31: Opens item refMsgItem of the message for reading. psConvertType NULL, VIM_TEXT or
 *  VIM_UNWRAPPED_TEXT for text (CR LF lines, Windows-1252); attachments give their bytes
 *  unconverted. */
VIM32_API vimStatus VIMAPIENTRY VIMOpenMessageItem(vimMsg message, vimRef refMsgItem,
                                                   vimStringPtr psConvertType, vimSelector selFlags,
                                                   vimMsgItemPtr pMsgItem);

/** 32: Reads the next bytes of an item: up to pDesc->Size bytes into pDesc->Buffer, and the
 *  number delivered back into pDesc->Size (0 at the end). No NUL is added. */
VIM32_API vimStatus VIMAPIENTRY VIMReadMessageItem(vimMsgItem msgItem, vimBuffFileDescPtr pDesc);

/** 33: Closes an item. */
VIM32_API vimStatus VIMAPIENTRY VIMCloseMessageItem(vimMsgItem msgItem);

/** 34: Lists the recipients of class selType (VIMSEL_TO, VIMSEL_CC, VIMSEL_BCC) of an opened
 *  message; the attribute VIMSEL_RECIPIENT gives each as a vimRecipient (Type
 *  VIMSEL_UNKNOWN_RECIP_TYPE, DName.Value the display name, Address.Value the address).
 *  A position is valid only for the class it was started with. */
VIM32_API vimStatus VIMAPIENTRY VIMEnumerateMessageRecipients(vimMsg message, vimSelector selType,
                                                              vimEnumRefPtr pPos, vimInt skipCount,
                                                              vimWord attrCount, vimAttrDescPtr pAttrDesc,
                                                              vimWordPtr pCount, vimBoolPtr pMore);

/** 37: Lists the address books the session can open (VIMSEL_NAME: the book's name): the post
 *  office directory, then the user's personal book. */
VIM32_API vimStatus VIMAPIENTRY VIMEnumerateAddressBooks(vimSes session, vimEnumRefPtr pPos,
                                                         vimInt skipCount, vimWord attrCount,
                                                         vimAttrDescPtr pAttrDesc, vimWordPtr pCount,
                                                         vimBoolPtr pMore);

/** 38: Opens an address book by the name VIMEnumerateAddressBooks gives (without regard to
 *  case); NULL or "" is the post office directory. NAME_NOT_FOUND for another name. */
VIM32_API vimStatus VIMAPIENTRY VIMOpenAddressBook(vimSes session, vimStringPtr psName,
                                                   vimAddressBookPtr pAddressBook);

/** 43: Finds the first entry whose attribute selAttr (VIMSEL_NAME: the name, or
 *  VIMSEL_ADDRESS: the address) matches the text pData: ft VIMSEL_FULL for the whole value,
 *  VIMSEL_PARTIAL for a prefix, both without regard to case. The entry's reference goes to
 *  *pRef. The book has no subtrees: subtreeRef must be undefined or the root, subtreeName
 *  NULL or "". NO_MATCH when no entry matches. pEnumRef may be NULL; when given it receives
 *  the position just before the entry found. */
VIM32_API vimStatus VIMAPIENTRY VIMMatchAddressBook(vimAddressBook addressBook, vimRef subtreeRef,
                                                    vimStringPtr subtreeName, vimSelector selAttr,
                                                    vimDataPtr pData, vimSelector ft, vimRefPtr pRef,
                                                    vimEnumRefPtr pEnumRef);

/** 44: Reads attributes of entry entryRef (or, when the reference is undefined, of the entry
 *  named entryName): VIMSEL_NAME (text), VIMSEL_ADDRESS (a vimAddress: Type VIMSEL_NATIVE,
 *  Value the address, so its text starts at the fifth byte), VIMSEL_COMMENTS (text),
 *  VIMSEL_DISPLAY_NAME (text), VIMSEL_TYPE (32-bit VIMSEL_ENTITY). Each descriptor's Size is
 *  the room of its one buffer. INVALID_OBJECT for a reference of another book. */
VIM32_API vimStatus VIMAPIENTRY VIMGetABEntryAttributes(vimAddressBook addressBook, vimRef entryRef,
                                                        vimStringPtr entryName, vimWord attrCount,
                                                        vimAttrDescPtr pAttrDesc);

/** 53: Closes an address book. */
VIM32_API vimStatus VIMAPIENTRY VIMCloseAddressBook(vimAddressBook addressBook);

/** 1003: Files message msgRef of the container into the user's folder psCatName ("Trash",
 *  ...; created when missing; the folder is the message's category). The reference stays the
 *  message's, now in that folder. INVALID_OBJECT for an unknown reference, BAD_PARAM for a
 *  name that cannot be a folder, WRITE_FAILURE when the move fails. */
VIM32_API vimStatus VIMAPIENTRY VIMSetMessageCategory(vimMsgContainer container, vimRef msgRef,
                                                      vimStringPtr psCatName);

/* ---- Pointer types, for GetProcAddress ---------------------------------------------------- */

typedef vimStatus(VIMAPIENTRY* PVIMINITIALIZE)(void);
typedef vimStatus(VIMAPIENTRY* PVIMQUERYCAPABILITY)(vimSelector, vimWord, vimDataPtr);
typedef vimStatus(VIMAPIENTRY* PVIMGETDEFAULTSESSIONINFO)(vimWord, vimStringPtr, vimWord, vimStringPtr);
typedef vimStatus(VIMAPIENTRY* PVIMOPENSESSION)(vimStringPtr, vimStringPtr, vimStringPtr, vimDWord,
                                                vimSelector, vimSesPtr);
typedef vimStatus(VIMAPIENTRY* PVIMGETENTITYNAME)(vimSes, vimDistinguishedNamePtr);
typedef vimStatus(VIMAPIENTRY* PVIMCLOSESESSION)(vimSes);
typedef vimStatus(VIMAPIENTRY* PVIMTERMINATE)(void);
typedef vimStatus(VIMAPIENTRY* PVIMCREATEMESSAGE)(vimSes, vimStringPtr, vimMsgPtr);
typedef vimStatus(VIMAPIENTRY* PVIMSETMESSAGEHEADER)(vimMsg, vimSelector, vimWord, vimDataPtr);
typedef vimStatus(VIMAPIENTRY* PVIMSETMESSAGERECIPIENT)(vimMsg, vimSelector, vimRecipientPtr);
typedef vimStatus(VIMAPIENTRY* PVIMSETMESSAGEITEM)(vimMsg, vimSelector, vimStringPtr, vimSelector,
                                                   vimStringPtr, vimBuffFileDescPtr);
typedef vimStatus(VIMAPIENTRY* PVIMSENDMESSAGE)(vimMsg, vimDataPtr, vimSendCallback);
typedef vimStatus(VIMAPIENTRY* PVIMCLOSEMESSAGE)(vimMsg);
typedef vimStatus(VIMAPIENTRY* PVIMOPENMESSAGECONTAINER)(vimSes, vimStringPtr, vimMsgContainerPtr);
typedef vimStatus(VIMAPIENTRY* PVIMENUMERATEMESSAGES)(vimMsgContainer, vimEnumRefPtr, vimInt, vimWord,
                                                      vimAttrDescPtr, vimWordPtr, vimSelector,
                                                      vimDataPtr, vimDWord, vimBoolPtr);
typedef vimStatus(VIMAPIENTRY* PVIMENUMERATEMSGATTRVALUES)(vimMsgContainer, vimSelector, vimEnumRefPtr,
                                                           vimInt, vimWord, vimStringPtr, vimWordPtr,
                                                           vimBoolPtr);
typedef vimStatus(VIMAPIENTRY* PVIMCLOSEMESSAGECONTAINER)(vimMsgContainer);
typedef vimStatus(VIMAPIENTRY* PVIMOPENMESSAGE)(vimMsgContainer, vimRef, vimStringPtr, vimMsgPtr);
typedef vimStatus(VIMAPIENTRY* PVIMMARKMESSAGEASREAD)(vimMsgContainer, vimRef);
typedef vimStatus(VIMAPIENTRY* PVIMENUMERATEMESSAGEITEMS)(vimMsg, vimEnumRefPtr, vimInt, vimWordPtr,
                                                          vimItemDescPtr, vimSelector, vimDataPtr,
                                                          vimBoolPtr);
typedef vimStatus(VIMAPIENTRY* PVIMOPENMESSAGEITEM)(vimMsg, vimRef, vimStringPtr, vimSelector, vimMsgItemPtr);
typedef vimStatus(VIMAPIENTRY* PVIMREADMESSAGEITEM)(vimMsgItem, vimBuffFileDescPtr);
typedef vimStatus(VIMAPIENTRY* PVIMCLOSEMESSAGEITEM)(vimMsgItem);
typedef vimStatus(VIMAPIENTRY* PVIMENUMERATEMESSAGERECIPIENTS)(vimMsg, vimSelector, vimEnumRefPtr, vimInt,
                                                               vimWord, vimAttrDescPtr, vimWordPtr,
                                                               vimBoolPtr);
typedef vimStatus(VIMAPIENTRY* PVIMENUMERATEADDRESSBOOKS)(vimSes, vimEnumRefPtr, vimInt, vimWord,
                                                          vimAttrDescPtr, vimWordPtr, vimBoolPtr);
typedef vimStatus(VIMAPIENTRY* PVIMOPENADDRESSBOOK)(vimSes, vimStringPtr, vimAddressBookPtr);
typedef vimStatus(VIMAPIENTRY* PVIMMATCHADDRESSBOOK)(vimAddressBook, vimRef, vimStringPtr, vimSelector,
                                                     vimDataPtr, vimSelector, vimRefPtr, vimEnumRefPtr);
typedef vimStatus(VIMAPIENTRY* PVIMGETABENTRYATTRIBUTES)(vimAddressBook, vimRef, vimStringPtr, vimWord,
                                                         vimAttrDescPtr);
typedef vimStatus(VIMAPIENTRY* PVIMCLOSEADDRESSBOOK)(vimAddressBook);
typedef vimStatus(VIMAPIENTRY* PVIMSETMESSAGECATEGORY)(vimMsgContainer, vimRef, vimStringPtr);

/* ---- Ordinals of the calls in the library's export table ---------------------------------- */

#define VIMORD_INITIALIZE 1
#define VIMORD_QUERYCAPABILITY 2
#define VIMORD_GETDEFAULTSESSIONINFO 3
#define VIMORD_OPENSESSION 4
#define VIMORD_GETENTITYNAME 5
#define VIMORD_CLOSESESSION 6
#define VIMORD_TERMINATE 7
#define VIMORD_CREATEMESSAGE 9
#define VIMORD_SETMESSAGEHEADER 11
#define VIMORD_SETMESSAGERECIPIENT 12
#define VIMORD_SETMESSAGEITEM 13
#define VIMORD_SENDMESSAGE 14
#define VIMORD_CLOSEMESSAGE 15
#define VIMORD_OPENMESSAGECONTAINER 16
#define VIMORD_ENUMERATEMESSAGES 17
#define VIMORD_ENUMERATEMSGATTRVALUES 18
#define VIMORD_CLOSEMESSAGECONTAINER 24
#define VIMORD_OPENMESSAGE 25
#define VIMORD_MARKMESSAGEASREAD 26
#define VIMORD_ENUMERATEMESSAGEITEMS 29
#define VIMORD_OPENMESSAGEITEM 31
#define VIMORD_READMESSAGEITEM 32
#define VIMORD_CLOSEMESSAGEITEM 33
#define VIMORD_ENUMERATEMESSAGERECIPIENTS 34
#define VIMORD_ENUMERATEADDRESSBOOKS 37
#define VIMORD_OPENADDRESSBOOK 38
#define VIMORD_MATCHADDRESSBOOK 43
#define VIMORD_GETABENTRYATTRIBUTES 44
#define VIMORD_CLOSEADDRESSBOOK 53
#define VIMORD_SETMESSAGECATEGORY 1003

/** The library's module name for LoadLibraryA (found as vim32.so, a link to libvim32.so). */
#define VIM32_DLL_NAME "VIM32.dll"

#ifdef __cplusplus
}
#endif

#endif /* VIM32_VIM_H */
