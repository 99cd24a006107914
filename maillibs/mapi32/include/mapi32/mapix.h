/* Extended MAPI as mapi32.dll publishes it, in the subset this library serves: result codes,
 * property types and tags, the structures that carry properties, rows, recipient lists and
 * restrictions, flags, the COM-style interfaces and the entry points. A client loads the
 * library at run time ("mapi32.dll") and finds the calls by name or ordinal; this header gives
 * it the types to call them with.
 *
 * The structures are C; the interfaces are C++ structs of pure virtual methods in the
 * published method order. They have no virtual destructor (that would add vtable slots and
 * shift every later method): the destructor is protected and not virtual, and objects are
 * released with Release(), never deleted. The interfaces and entry points need C++.
 *
 * Structures use natural alignment: with 4-byte pointers the sizes are the published ones
 * (SPropValue 16, SRow 12, SRestriction 16, STATSTG 72). This header can be included together
 * with mapi32/mapi.h: shared names have the same values, and Simple MAPI's small error numbers
 * use other names than the HRESULTs here. */
#ifndef MAPI32_MAPIX_H
#define MAPI32_MAPIX_H

#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "win32/WinTypes.h"

#ifdef __cplusplus
extern "C" {
#endif

#ifndef MAPI32_API
#if defined(MAPI32_BUILDING)
#define MAPI32_API __attribute__((visibility("default")))
#else
#define MAPI32_API
#endif
#endif

/** Calling convention of the interface methods (stdcall on Windows, the platform's here). */
#define STDMETHODCALLTYPE WINAPI

/* ---- Basic types ------------------------------------------------------------------------ */

typedef LONG SCODE;
typedef unsigned short MAPI_BOOLEAN; /**< PT_BOOLEAN is 16 bits wide; non-zero is TRUE */
typedef uint16_t WCHAR;
typedef WCHAR* LPWSTR;
typedef WCHAR* LPOLESTR;
typedef ULONG BOOKMARK;

#ifndef VESK_HAVE_FILETIME
#define VESK_HAVE_FILETIME
/** 100-nanosecond intervals since 1601-01-01 00:00 UTC, split in two halves. */
typedef struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *LPFILETIME;
#endif

#ifndef VESK_HAVE_GUID
#define VESK_HAVE_GUID
typedef struct GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID, *LPGUID;
typedef GUID IID;
typedef GUID CLSID;
typedef const IID* LPCIID;
#endif

typedef union LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    } u;
    int64_t QuadPart;
} LARGE_INTEGER;

typedef union ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    } u;
    uint64_t QuadPart;
} ULARGE_INTEGER;

/** Currency: a 64-bit integer scaled by 10000. */
typedef union CY {
    struct {
        ULONG Lo;
        LONG Hi;
    } s;
    int64_t int64;
} CY;

/** A provider's unique identifier. */
typedef struct MAPIUID {
    BYTE ab[16];
} MAPIUID, *LPMAPIUID;

/** An entry identifier: four flag bytes, then bytes only the provider that made it reads. */
typedef struct ENTRYID {
    BYTE abFlags[4];
    BYTE ab[1];
} ENTRYID, *LPENTRYID;

/** Size of an entry identifier with `cb` provider bytes. */
#define CbNewENTRYID(cb) (offsetof(ENTRYID, ab) + (cb))

/* ---- Result codes ----------------------------------------------------------------------- */

#define MAKE_MAPI_SCODE(sev, fac, code) ((SCODE)(((ULONG)(sev) << 31) | ((ULONG)(fac) << 16) | (ULONG)(code)))
#define MAKE_MAPI_E(n) ((SCODE)(0x80040000u | (ULONG)(n)))
#define MAKE_MAPI_S(n) ((SCODE)(0x00040000u | (ULONG)(n)))
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define HR_SUCCEEDED(hr) SUCCEEDED(hr)
#define HR_FAILED(hr) FAILED(hr)
#define GetScode(hr) ((SCODE)(hr))
#define ResultFromScode(sc) ((HRESULT)(sc))

#define S_OK ((HRESULT)0x00000000)
#define S_FALSE ((HRESULT)0x00000001)
#ifndef SUCCESS_SUCCESS
#define SUCCESS_SUCCESS 0
#endif
#define E_FAIL ((HRESULT)0x80004005)
#define E_NOINTERFACE ((HRESULT)0x80004002)
#define E_OUTOFMEMORY ((HRESULT)0x8007000E)
#define E_INVALIDARG ((HRESULT)0x80070057)
#define E_ACCESSDENIED ((HRESULT)0x80070005)
#define STG_E_INVALIDFUNCTION ((HRESULT)0x80030001)

#define MAPI_E_CALL_FAILED E_FAIL
#define MAPI_E_NOT_ENOUGH_MEMORY E_OUTOFMEMORY
#define MAPI_E_INVALID_PARAMETER E_INVALIDARG
#define MAPI_E_INTERFACE_NOT_SUPPORTED E_NOINTERFACE
#define MAPI_E_NO_ACCESS E_ACCESSDENIED

#define MAPI_E_NO_SUPPORT MAKE_MAPI_E(0x102)
#define MAPI_E_BAD_CHARWIDTH MAKE_MAPI_E(0x103)
#define MAPI_E_STRING_TOO_LONG MAKE_MAPI_E(0x105)
#define MAPI_E_UNKNOWN_FLAGS MAKE_MAPI_E(0x106)
#define MAPI_E_INVALID_ENTRYID MAKE_MAPI_E(0x107)
#define MAPI_E_INVALID_OBJECT MAKE_MAPI_E(0x108)
#define MAPI_E_OBJECT_CHANGED MAKE_MAPI_E(0x109)
#define MAPI_E_OBJECT_DELETED MAKE_MAPI_E(0x10A)
#define MAPI_E_BUSY MAKE_MAPI_E(0x10B)
#define MAPI_E_NOT_ENOUGH_DISK MAKE_MAPI_E(0x10D)
#define MAPI_E_NOT_ENOUGH_RESOURCES MAKE_MAPI_E(0x10E)
#define MAPI_E_NOT_FOUND MAKE_MAPI_E(0x10F)
#define MAPI_E_VERSION MAKE_MAPI_E(0x110)
#define MAPI_E_LOGON_FAILED MAKE_MAPI_E(0x111)
#define MAPI_E_SESSION_LIMIT MAKE_MAPI_E(0x112)
#define MAPI_E_USER_CANCEL MAKE_MAPI_E(0x113)
#define MAPI_E_UNABLE_TO_ABORT MAKE_MAPI_E(0x114)
#define MAPI_E_NETWORK_ERROR MAKE_MAPI_E(0x115)
#define MAPI_E_DISK_ERROR MAKE_MAPI_E(0x116)
#define MAPI_E_TOO_COMPLEX MAKE_MAPI_E(0x117)
#define MAPI_E_BAD_COLUMN MAKE_MAPI_E(0x118)
#define MAPI_E_EXTENDED_ERROR MAKE_MAPI_E(0x119)
#define MAPI_E_COMPUTED MAKE_MAPI_E(0x11A)
#define MAPI_E_CORRUPT_DATA MAKE_MAPI_E(0x11B)
#define MAPI_E_UNCONFIGURED MAKE_MAPI_E(0x11C)
#define MAPI_E_FAILONEPROVIDER MAKE_MAPI_E(0x11D)
#define MAPI_E_UNKNOWN_CPID MAKE_MAPI_E(0x11E)
#define MAPI_E_UNKNOWN_LCID MAKE_MAPI_E(0x11F)
#define MAPI_E_PASSWORD_CHANGE_REQUIRED MAKE_MAPI_E(0x120)
#define MAPI_E_PASSWORD_EXPIRED MAKE_MAPI_E(0x121)
#define MAPI_E_INVALID_WORKSTATION_ACCOUNT MAKE_MAPI_E(0x122)
#define MAPI_E_INVALID_ACCESS_TIME MAKE_MAPI_E(0x123)
#define MAPI_E_ACCOUNT_DISABLED MAKE_MAPI_E(0x124)
#define MAPI_E_END_OF_SESSION MAKE_MAPI_E(0x200)
#define MAPI_E_UNKNOWN_ENTRYID MAKE_MAPI_E(0x201)
#define MAPI_E_MISSING_REQUIRED_COLUMN MAKE_MAPI_E(0x202)
#define MAPI_W_NO_SERVICE MAKE_MAPI_S(0x203)
#define MAPI_E_BAD_VALUE MAKE_MAPI_E(0x301)
#define MAPI_E_INVALID_TYPE MAKE_MAPI_E(0x302)
#define MAPI_E_TYPE_NO_SUPPORT MAKE_MAPI_E(0x303)
#define MAPI_E_UNEXPECTED_TYPE MAKE_MAPI_E(0x304)
#define MAPI_E_TOO_BIG MAKE_MAPI_E(0x305)
#define MAPI_E_DECLINE_COPY MAKE_MAPI_E(0x306)
#define MAPI_E_UNEXPECTED_ID MAKE_MAPI_E(0x307)
#define MAPI_W_ERRORS_RETURNED MAKE_MAPI_S(0x380)
#define MAPI_E_UNABLE_TO_COMPLETE MAKE_MAPI_E(0x400)
#define MAPI_E_TIMEOUT MAKE_MAPI_E(0x401)
#define MAPI_E_TABLE_EMPTY MAKE_MAPI_E(0x402)
#define MAPI_E_TABLE_TOO_BIG MAKE_MAPI_E(0x403)
#define MAPI_E_INVALID_BOOKMARK MAKE_MAPI_E(0x405)
#define MAPI_W_POSITION_CHANGED MAKE_MAPI_S(0x481)
#define MAPI_W_APPROX_COUNT MAKE_MAPI_S(0x482)
#define MAPI_E_WAIT MAKE_MAPI_E(0x500)
#define MAPI_E_CANCEL MAKE_MAPI_E(0x501)
#define MAPI_E_NOT_ME MAKE_MAPI_E(0x502)
#define MAPI_W_CANCEL_MESSAGE MAKE_MAPI_S(0x580)
#define MAPI_E_CORRUPT_STORE MAKE_MAPI_E(0x600)
#define MAPI_E_NOT_IN_QUEUE MAKE_MAPI_E(0x601)
#define MAPI_E_NO_SUPPRESS MAKE_MAPI_E(0x602)
#define MAPI_E_COLLISION MAKE_MAPI_E(0x604)
#define MAPI_E_NOT_INITIALIZED MAKE_MAPI_E(0x605)
#define MAPI_E_NON_STANDARD MAKE_MAPI_E(0x606)
#define MAPI_E_NO_RECIPIENTS MAKE_MAPI_E(0x607)
#define MAPI_E_SUBMITTED MAKE_MAPI_E(0x608)
#define MAPI_E_HAS_FOLDERS MAKE_MAPI_E(0x609)
#define MAPI_E_HAS_MESSAGES MAKE_MAPI_E(0x60A)
#define MAPI_E_FOLDER_CYCLE MAKE_MAPI_E(0x60B)
#define MAPI_W_PARTIAL_COMPLETION MAKE_MAPI_S(0x680)
#define MAPI_E_AMBIGUOUS_RECIP MAKE_MAPI_E(0x700)

/* ---- Property types and tags ------------------------------------------------------------ */

#define PROP_TAG(type, id) ((((ULONG)(id)) << 16) | ((ULONG)(type)))
#define PROP_TYPE(tag) (((ULONG)(tag)) & 0xFFFFu)
#define PROP_ID(tag) (((ULONG)(tag)) >> 16)
#define CHANGE_PROP_TYPE(tag, type) ((((ULONG)(tag)) & 0xFFFF0000u) | (ULONG)(type))

#define PT_UNSPECIFIED 0x0000
#define PT_NULL 0x0001
#define PT_I2 0x0002
#define PT_SHORT PT_I2
#define PT_LONG 0x0003
#define PT_I4 PT_LONG
#define PT_R4 0x0004
#define PT_FLOAT PT_R4
#define PT_DOUBLE 0x0005
#define PT_R8 PT_DOUBLE
#define PT_CURRENCY 0x0006
#define PT_APPTIME 0x0007
#define PT_ERROR 0x000A
#define PT_BOOLEAN 0x000B
#define PT_OBJECT 0x000D
#define PT_I8 0x0014
#define PT_STRING8 0x001E
#define PT_UNICODE 0x001F
#define PT_TSTRING PT_STRING8
#define PT_SYSTIME 0x0040
#define PT_CLSID 0x0048
#define PT_BINARY 0x0102
#define MV_FLAG 0x1000

#define PR_NULL PROP_TAG(PT_NULL, 0x0000)

/* Objects and their identifiers. */
#define PR_ENTRYID 0x0FFF0102u
#define PR_OBJECT_TYPE 0x0FFE0003u
#define PR_STORE_ENTRYID 0x0FFB0102u
#define PR_RECORD_KEY 0x0FF90102u
#define PR_INSTANCE_KEY 0x0FF60102u
#define PR_PARENT_ENTRYID 0x0E090102u
#define PR_ROWID 0x30000003u
#define PR_DISPLAY_NAME 0x3001001Eu
#define PR_ADDRTYPE 0x3002001Eu
#define PR_EMAIL_ADDRESS 0x3003001Eu
#define PR_SEARCH_KEY 0x300B0102u
#define PR_PROVIDER_DISPLAY 0x3006001Eu
#define PR_RESOURCE_FLAGS 0x30090003u

/* Profiles, stores and status objects. */
#define PR_DEFAULT_PROFILE 0x3D04000Bu
#define PR_PROFILE_NAME 0x3D12001Eu
#define PR_DEFAULT_STORE 0x3400000Bu
#define PR_IPM_SUBTREE_ENTRYID 0x35E00102u
#define PR_IPM_OUTBOX_ENTRYID 0x35E20102u
#define PR_IPM_WASTEBASKET_ENTRYID 0x35E30102u
#define PR_IPM_SENTMAIL_ENTRYID 0x35E40102u
#define PR_VIEWS_ENTRYID 0x35E50102u
#define PR_COMMON_VIEWS_ENTRYID 0x35E60102u
#define PR_FINDER_ENTRYID 0x35E70102u
#define PR_IPM_DRAFTS_ENTRYID 0x36D70102u
#define PR_CONTENT_COUNT 0x36020003u
#define PR_CONTENT_UNREAD 0x36030003u
#define PR_IDENTITY_ENTRYID 0x3E010102u
#define PR_RESOURCE_METHODS 0x3E020003u
#define PR_RESOURCE_TYPE 0x3E030003u
#define PR_STATUS_CODE 0x3E040003u

/* Messages. */
#define PR_IMPORTANCE 0x00170003u
#define PR_MESSAGE_CLASS 0x001A001Eu
#define PR_ORIGINATOR_DELIVERY_REPORT_REQUESTED 0x0023000Bu
#define PR_READ_RECEIPT_REQUESTED 0x0029000Bu
#define PR_INCOMPLETE_COPY 0x0035000Bu
#define PR_SUBJECT 0x0037001Eu
#define PR_CLIENT_SUBMIT_TIME 0x00390040u
#define PR_SENT_REPRESENTING_SEARCH_KEY 0x003B0102u
#define PR_SENT_REPRESENTING_ENTRYID 0x00410102u
#define PR_SENT_REPRESENTING_NAME 0x0042001Eu
#define PR_MESSAGE_TO_ME 0x0057000Bu
#define PR_MESSAGE_CC_ME 0x0058000Bu
#define PR_SENT_REPRESENTING_ADDRTYPE 0x0064001Eu
#define PR_SENT_REPRESENTING_EMAIL_ADDRESS 0x0065001Eu
#define PR_RECIPIENT_TYPE 0x0C150003u
#define PR_SENDER_ENTRYID 0x0C190102u
#define PR_SENDER_NAME 0x0C1A001Eu
#define PR_SENDER_ADDRTYPE 0x0C1E001Eu
#define PR_SENDER_EMAIL_ADDRESS 0x0C1F001Eu
#define PR_DELETE_AFTER_SUBMIT 0x0E01000Bu
#define PR_MESSAGE_DELIVERY_TIME 0x0E060040u
#define PR_MESSAGE_FLAGS 0x0E070003u
#define PR_MESSAGE_SIZE 0x0E080003u
#define PR_SENTMAIL_ENTRYID 0x0E0A0102u
#define PR_HASATTACH 0x0E1B000Bu
#define PR_BODY 0x1000001Eu

/* Attachments. */
#define PR_ATTACH_SIZE 0x0E200003u
#define PR_ATTACH_NUM 0x0E210003u
#define PR_ATTACH_DATA_BIN 0x37010102u
#define PR_ATTACH_DATA_OBJ 0x3701000Du
#define PR_ATTACH_FILENAME 0x3704001Eu
#define PR_ATTACH_METHOD 0x37050003u
#define PR_ATTACH_LONG_FILENAME 0x3707001Eu
#define PR_RENDERING_POSITION 0x370B0003u

/* ---- Property values -------------------------------------------------------------------- */

typedef struct SBinary {
    ULONG cb;
    LPBYTE lpb;
} SBinary, *LPSBinary;

/** A list of entry identifiers (ENTRYLIST), as CopyMessages takes it. */
typedef struct SBinaryArray {
    ULONG cValues;
    SBinary* lpbin;
} SBinaryArray, ENTRYLIST, *LPENTRYLIST;

typedef struct SShortArray { ULONG cValues; short* lpi; } SShortArray;
typedef struct SLongArray { ULONG cValues; LONG* lpl; } SLongArray;
typedef struct SRealArray { ULONG cValues; float* lpflt; } SRealArray;
typedef struct SDoubleArray { ULONG cValues; double* lpdbl; } SDoubleArray;
typedef struct SCurrencyArray { ULONG cValues; CY* lpcur; } SCurrencyArray;
typedef struct SAppTimeArray { ULONG cValues; double* lpat; } SAppTimeArray;
typedef struct SDateTimeArray { ULONG cValues; FILETIME* lpft; } SDateTimeArray;
typedef struct SLPSTRArray { ULONG cValues; LPSTR* lppszA; } SLPSTRArray;
typedef struct SWStringArray { ULONG cValues; LPWSTR* lppszW; } SWStringArray;
typedef struct SGuidArray { ULONG cValues; GUID* lpguid; } SGuidArray;
typedef struct SLargeIntegerArray { ULONG cValues; LARGE_INTEGER* lpli; } SLargeIntegerArray;

/** The value of a property; the member in use follows PROP_TYPE of the tag. */
typedef union _PV {
    short i;            /**< PT_I2 */
    LONG l;             /**< PT_LONG */
    ULONG ul;           /**< PT_LONG, unsigned */
    float flt;          /**< PT_R4 */
    double dbl;         /**< PT_DOUBLE */
    MAPI_BOOLEAN b;     /**< PT_BOOLEAN (16 bits) */
    CY cur;             /**< PT_CURRENCY */
    double at;          /**< PT_APPTIME */
    FILETIME ft;        /**< PT_SYSTIME */
    LPSTR lpszA;        /**< PT_STRING8 */
    SBinary bin;        /**< PT_BINARY */
    LPWSTR lpszW;       /**< PT_UNICODE */
    LPGUID lpguid;      /**< PT_CLSID */
    LARGE_INTEGER li;   /**< PT_I8 */
    SShortArray MVi;
    SLongArray MVl;
    SRealArray MVflt;
    SDoubleArray MVdbl;
    SCurrencyArray MVcur;
    SAppTimeArray MVat;
    SDateTimeArray MVft;
    SBinaryArray MVbin;
    SLPSTRArray MVszA;
    SWStringArray MVszW;
    SGuidArray MVguid;
    SLargeIntegerArray MVli;
    SCODE err;          /**< PT_ERROR: why the property is not there */
    LONG x;             /**< PT_NULL, PT_OBJECT */
} _PV;

typedef struct SPropValue {
    ULONG ulPropTag;
    ULONG dwAlignPad;
    _PV Value;
} SPropValue, *LPSPropValue;

/** A list of property tags, as a fixed-size array in memory: the count, then the tags. */
typedef struct SPropTagArray {
    ULONG cValues;
    ULONG aulPropTag[1];
} SPropTagArray, *LPSPropTagArray;

#define CbNewSPropTagArray(n) (offsetof(SPropTagArray, aulPropTag) + (n) * sizeof(ULONG))
/** Declares a tag array type holding `n` tags, for static column lists. */
#define SizedSPropTagArray(n, name) \
    struct _SPropTagArray_##name {  \
        ULONG cValues;              \
        ULONG aulPropTag[n];        \
    } name

typedef struct SPropProblem {
    ULONG ulIndex;
    ULONG ulPropTag;
    SCODE scode;
} SPropProblem, *LPSPropProblem;

typedef struct SPropProblemArray {
    ULONG cProblem;
    SPropProblem aProblem[1];
} SPropProblemArray, *LPSPropProblemArray;

#define CbNewSPropProblemArray(n) (offsetof(SPropProblemArray, aProblem) + (n) * sizeof(SPropProblem))

/* ---- Rows and recipient lists ----------------------------------------------------------- */

/** One row of a table: its own MAPIAllocateBuffer block of values. */
typedef struct SRow {
    ULONG ulAdrEntryPad;
    ULONG cValues;
    LPSPropValue lpProps;
} SRow, *LPSRow;

/** Rows of a table: one block for the set, one block per row's values (freed by FreeProws). */
typedef struct SRowSet {
    ULONG cRows;
    SRow aRow[1];
} SRowSet, *LPSRowSet;

#define CbNewSRowSet(n) (offsetof(SRowSet, aRow) + (n) * sizeof(SRow))

/** One recipient: the same layout as SRow; rgPropVals is its own MAPIAllocateBuffer block. */
typedef struct ADRENTRY {
    ULONG ulReserved1;
    ULONG cValues;
    LPSPropValue rgPropVals;
} ADRENTRY, *LPADRENTRY;

/** A recipient list: one block for the list, one block per entry's values (FreePadrlist). */
typedef struct ADRLIST {
    ULONG cEntries;
    ADRENTRY aEntries[1];
} ADRLIST, *LPADRLIST;

#define CbNewADRLIST(n) (offsetof(ADRLIST, aEntries) + (n) * sizeof(ADRENTRY))

/* ---- Restrictions and sort orders ------------------------------------------------------- */

typedef struct SRestriction SRestriction, *LPSRestriction;

typedef struct SAndRestriction { ULONG cRes; LPSRestriction lpRes; } SAndRestriction;
typedef struct SOrRestriction { ULONG cRes; LPSRestriction lpRes; } SOrRestriction;
typedef struct SNotRestriction { ULONG ulReserved; LPSRestriction lpRes; } SNotRestriction;
typedef struct SContentRestriction { ULONG ulFuzzyLevel; ULONG ulPropTag; LPSPropValue lpProp; } SContentRestriction;
typedef struct SPropertyRestriction { ULONG relop; ULONG ulPropTag; LPSPropValue lpProp; } SPropertyRestriction;
typedef struct SComparePropsRestriction { ULONG relop; ULONG ulPropTag1; ULONG ulPropTag2; } SComparePropsRestriction;
typedef struct SBitMaskRestriction { ULONG relBMR; ULONG ulPropTag; ULONG ulMask; } SBitMaskRestriction;
typedef struct SSizeRestriction { ULONG relop; ULONG ulPropTag; ULONG cb; } SSizeRestriction;
typedef struct SExistRestriction { ULONG ulReserved1; ULONG ulPropTag; ULONG ulReserved2; } SExistRestriction;
typedef struct SSubRestriction { ULONG ulSubObject; LPSRestriction lpRes; } SSubRestriction;
typedef struct SCommentRestriction { ULONG cValues; LPSRestriction lpRes; LPSPropValue lpProp; } SCommentRestriction;

struct SRestriction {
    ULONG rt; /**< RES_* */
    union {
        SComparePropsRestriction resCompareProps;
        SAndRestriction resAnd;
        SOrRestriction resOr;
        SNotRestriction resNot;
        SContentRestriction resContent;
        SPropertyRestriction resProperty;
        SBitMaskRestriction resBitMask;
        SSizeRestriction resSize;
        SExistRestriction resExist;
        SSubRestriction resSub;
        SCommentRestriction resComment;
    } res;
};

#define RES_AND 0u
#define RES_OR 1u
#define RES_NOT 2u
#define RES_CONTENT 3u
#define RES_PROPERTY 4u
#define RES_COMPAREPROPS 5u
#define RES_BITMASK 6u
#define RES_SIZE 7u
#define RES_EXIST 8u
#define RES_SUBRESTRICTION 9u
#define RES_COMMENT 10u

#define RELOP_LT 0u
#define RELOP_LE 1u
#define RELOP_GT 2u
#define RELOP_GE 3u
#define RELOP_EQ 4u
#define RELOP_NE 5u
#define RELOP_RE 6u

#define BMR_EQZ 0u
#define BMR_NEZ 1u

/* Fuzzy levels of a content restriction (low half: how; high half: IGNORECASE ...). */
#define FL_FULLSTRING 0x00000000u
#define FL_SUBSTRING 0x00000001u
#define FL_PREFIX 0x00000002u
#define FL_IGNORECASE 0x00010000u

typedef struct SSortOrder {
    ULONG ulPropTag;
    ULONG ulOrder;
} SSortOrder, *LPSSortOrder;

typedef struct SSortOrderSet {
    ULONG cSorts;
    ULONG cCategories;
    ULONG cExpanded;
    SSortOrder aSort[1];
} SSortOrderSet, *LPSSortOrderSet;

#define TABLE_SORT_ASCEND 0u
#define TABLE_SORT_DESCEND 1u
#define TABLE_SORT_COMBINE 2u

/* ---- Other structures ------------------------------------------------------------------- */

typedef struct MAPIERROR {
    ULONG ulVersion;
    LPSTR lpszError;
    LPSTR lpszComponent;
    ULONG ulLowLevelError;
    ULONG ulContext;
} MAPIERROR, *LPMAPIERROR;

/** The argument of MAPIInitialize (NULL is accepted for the defaults). */
typedef struct MAPIINIT_0 {
    ULONG ulVersion;
    ULONG ulFlags;
} MAPIINIT_0, *LPMAPIINIT_0;

#define MAPI_INIT_VERSION 0u
#define MAPI_MULTITHREAD_NOTIFICATIONS 0x00000001u
#define MAPI_NO_COINIT 0x00000008u

/** What IStream::Stat reports. */
typedef struct STATSTG {
    LPOLESTR pwcsName;
    DWORD type;
    ULARGE_INTEGER cbSize;
    FILETIME mtime;
    FILETIME ctime;
    FILETIME atime;
    DWORD grfMode;
    DWORD grfLocksSupported;
    CLSID clsid;
    DWORD grfStateBits;
    DWORD reserved;
} STATSTG;

#define STGTY_STREAM 2u

#ifdef __cplusplus
#define MAPIX_LAYOUT_ASSERT static_assert
#else
#define MAPIX_LAYOUT_ASSERT _Static_assert
#endif
MAPIX_LAYOUT_ASSERT(offsetof(SPropValue, Value) == 8, "SPropValue.Value offset");
MAPIX_LAYOUT_ASSERT(sizeof(MAPIUID) == 16, "MAPIUID is 16 bytes");
MAPIX_LAYOUT_ASSERT(sizeof(FILETIME) == 8, "FILETIME is 8 bytes");
#if UINTPTR_MAX == 0xFFFFFFFFu
MAPIX_LAYOUT_ASSERT(sizeof(SPropValue) == 16, "SPropValue is 16 bytes with 4-byte pointers");
MAPIX_LAYOUT_ASSERT(sizeof(SRow) == 12, "SRow is 12 bytes with 4-byte pointers");
MAPIX_LAYOUT_ASSERT(sizeof(ADRENTRY) == 12, "ADRENTRY is 12 bytes with 4-byte pointers");
MAPIX_LAYOUT_ASSERT(sizeof(SRestriction) == 16, "SRestriction is 16 bytes with 4-byte pointers");
MAPIX_LAYOUT_ASSERT(sizeof(STATSTG) == 72, "STATSTG is 72 bytes with 4-byte pointers");
MAPIX_LAYOUT_ASSERT(offsetof(STATSTG, cbSize) == 8, "STATSTG.cbSize offset");
#elif UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
MAPIX_LAYOUT_ASSERT(sizeof(SPropValue) == 24, "SPropValue, naturally aligned with 8-byte pointers");
MAPIX_LAYOUT_ASSERT(sizeof(SRow) == 16, "SRow, naturally aligned with 8-byte pointers");
MAPIX_LAYOUT_ASSERT(sizeof(ADRENTRY) == 16, "ADRENTRY, naturally aligned with 8-byte pointers");
MAPIX_LAYOUT_ASSERT(offsetof(STATSTG, cbSize) == 16, "STATSTG.cbSize offset with 8-byte pointers");
#endif

/* ---- Flags ------------------------------------------------------------------------------ */

/* MAPILogonEx (shared names have the values of mapi32/mapi.h). */
#define MAPI_LOGON_UI 0x00000001
#define MAPI_NEW_SESSION 0x00000002
#define MAPI_ALLOW_OTHERS 0x00000008
#define MAPI_EXPLICIT_PROFILE 0x00000010
#define MAPI_EXTENDED 0x00000020
#define MAPI_USE_DEFAULT 0x00000040
#define MAPI_FORCE_DOWNLOAD 0x00001000
#define MAPI_SERVICE_UI_ALWAYS 0x00002000
#define MAPI_NO_MAIL 0x00008000
#define MAPI_NT_SERVICE 0x00010000
#define MAPI_PASSWORD_UI 0x00020000
#define MAPI_TIMEOUT_SHORT 0x00100000
#define MAPI_UNICODE 0x80000000u

/* IMAPISession::Logoff. */
#define MAPI_LOGOFF_SHARED 0x00000001
#define MAPI_LOGOFF_UI 0x00000002

/* Access and general flags. */
#define MAPI_MODIFY 0x00000001u
#define MAPI_CREATE 0x00000002u
#define MAPI_DEFERRED_ERRORS 0x00000008u
#define MAPI_BEST_ACCESS 0x00000010u
#define MAPI_ASSOCIATED 0x00000040u
#define MAPI_DIALOG 0x00000008

/* IMAPISession::OpenMsgStore and OpenAddressBook. */
#define MDB_NO_DIALOG 0x00000001u
#define MDB_WRITE 0x00000004u
#define MDB_TEMPORARY 0x00000020u
#define MDB_NO_MAIL 0x00000080u
#define AB_NO_DIALOG 0x00000001u

/* IMAPIProp::SaveChanges. */
#define KEEP_OPEN_READONLY 0x00000001u
#define KEEP_OPEN_READWRITE 0x00000002u
#define FORCE_SAVE 0x00000004u

/* IMAPIFolder::CopyMessages. */
#define MESSAGE_MOVE 0x00000001u
#define MESSAGE_DIALOG 0x00000002u
#define MAPI_DECLINE_OK 0x00000004u

/* IMessage::ModifyRecipients. */
#define MODRECIP_ADD 0x00000002u
#define MODRECIP_MODIFY 0x00000004u
#define MODRECIP_REMOVE 0x00000008u

/* IMessage::SubmitMessage. */
#define FORCE_SUBMIT 0x00000001u

/* IMessage::SetReadFlag. */
#define SUPPRESS_RECEIPT 0x00000001u
#define CLEAR_READ_FLAG 0x00000004u
#define GENERATE_RECEIPT_ONLY 0x00000010u
#define CLEAR_RN_PENDING 0x00000020u
#define CLEAR_NRN_PENDING 0x00000040u

/* PR_MESSAGE_FLAGS. */
#define MSGFLAG_READ 0x00000001u
#define MSGFLAG_UNMODIFIED 0x00000002u
#define MSGFLAG_SUBMIT 0x00000004u
#define MSGFLAG_UNSENT 0x00000008u
#define MSGFLAG_HASATTACH 0x00000010u
#define MSGFLAG_FROMME 0x00000020u
#define MSGFLAG_ASSOCIATED 0x00000040u
#define MSGFLAG_RESEND 0x00000080u
#define MSGFLAG_RN_PENDING 0x00000100u
#define MSGFLAG_NRN_PENDING 0x00000200u

/* PR_IMPORTANCE. */
#define IMPORTANCE_LOW 0
#define IMPORTANCE_NORMAL 1
#define IMPORTANCE_HIGH 2

/* PR_RECIPIENT_TYPE (the same numbers as mapi32/mapi.h's recipient classes). */
#define MAPI_ORIG 0
#define MAPI_TO 1
#define MAPI_CC 2
#define MAPI_BCC 3
#define MAPI_P1 0x10000000u
#define MAPI_SUBMITTED 0x80000000u

/* Object types (PR_OBJECT_TYPE and OpenEntry's *lpulObjType). */
#define MAPI_STORE 1u
#define MAPI_ADDRBOOK 2u
#define MAPI_FOLDER 3u
#define MAPI_ABCONT 4u
#define MAPI_MESSAGE 5u
#define MAPI_MAILUSER 6u
#define MAPI_ATTACH 7u
#define MAPI_DISTLIST 8u
#define MAPI_PROFSECT 9u
#define MAPI_STATUS 10u
#define MAPI_SESSION 11u
#define MAPI_FORMINFO 12u

/* PR_RESOURCE_TYPE. */
#define MAPI_STORE_PROVIDER 33
#define MAPI_AB 34
#define MAPI_AB_PROVIDER 35
#define MAPI_TRANSPORT_PROVIDER 36
#define MAPI_SPOOLER 37
#define MAPI_PROFILE_PROVIDER 38
#define MAPI_SUBSYSTEM 39
#define MAPI_HOOK_PROVIDER 40

/* PR_RESOURCE_METHODS. */
#define STATUS_VALIDATE_STATE 0x00000001u
#define STATUS_SETTINGS_DIALOG 0x00000002u
#define STATUS_CHANGE_PASSWORD 0x00000004u
#define STATUS_FLUSH_QUEUES 0x00000008u

/* PR_RESOURCE_FLAGS. */
#define STATUS_DEFAULT_OUTBOUND 0x00000001u
#define STATUS_DEFAULT_STORE 0x00000002u
#define STATUS_PRIMARY_IDENTITY 0x00000004u
#define STATUS_SIMPLE_STORE 0x00000008u
#define STATUS_NO_PRIMARY_IDENTITY 0x00000020u
#define STATUS_NO_DEFAULT_STORE 0x00000040u
#define STATUS_PRIMARY_STORE 0x00001000u

/* PR_STATUS_CODE. */
#define STATUS_AVAILABLE 0x00000001u
#define STATUS_OFFLINE 0x00000002u
#define STATUS_FAILURE 0x00000004u
#define STATUS_INBOUND_ENABLED 0x00010000u
#define STATUS_OUTBOUND_ENABLED 0x00100000u
#define STATUS_OUTBOUND_ACTIVE 0x00200000u

/* IMAPIStatus::FlushQueues. */
#define FLUSH_UPLOAD 0x00000002u
#define FLUSH_DOWNLOAD 0x00000004u
#define FLUSH_FORCE 0x00000008u
#define FLUSH_NO_UI 0x00000010u
#define FLUSH_ASYNC_OK 0x00000020u

/* Tables. */
#define TBL_ASYNC 0x00000001u
#define TBL_NOWAIT 0x00000001u
#define TBL_BATCH 0x00000002u
#define TBL_NOADVANCE 0x00000001u
#define DIR_BACKWARD 0x00000001u
#define BOOKMARK_BEGINNING ((BOOKMARK)0)
#define BOOKMARK_CURRENT ((BOOKMARK)1)
#define BOOKMARK_END ((BOOKMARK)2)
#define TBLSTAT_COMPLETE 0u
#define TBLTYPE_SNAPSHOT 0u
#define TBLTYPE_DYNAMIC 2u

/* PR_ATTACH_METHOD. */
#define NO_ATTACHMENT 0
#define ATTACH_BY_VALUE 1
#define ATTACH_BY_REFERENCE 2
#define ATTACH_BY_REF_RESOLVE 3
#define ATTACH_BY_REF_ONLY 4
#define ATTACH_EMBEDDED_MSG 5
#define ATTACH_OLE 6

/* IStream. */
#define STGM_READ 0x00000000u
#define STGM_WRITE 0x00000001u
#define STGM_READWRITE 0x00000002u
#define STATFLAG_DEFAULT 0u
#define STATFLAG_NONAME 1u
#define STATFLAG_NOOPEN 2u
#define STREAM_SEEK_SET 0u
#define STREAM_SEEK_CUR 1u
#define STREAM_SEEK_END 2u

/* LAUNCHWIZARD. */
#define LAUNCHWIZARDENTRYNAME "LAUNCHWIZARD"
#define MAPI_PW_FIRST_PROFILE 0x00000001u
#define MAPI_PW_LAUNCHED_BY_CONFIG 0x00000002u
#define MAPI_PW_ADD_SERVICE_ONLY 0x00000004u
#define MAPI_PW_PROVIDER_UI_ONLY 0x00000008u
#define MAPI_PW_HIDE_SERVICES_LIST 0x00000010u

/* ---- Interface identifiers -------------------------------------------------------------- */

/** The identifiers are OLE-style: {Data1-0000-0000-C000-000000000046}. */
#define MAPIX_DEFINE_OLEGUID(name, l) \
    static const IID name = {(DWORD)(l), 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}}

MAPIX_DEFINE_OLEGUID(IID_IUnknown, 0x00000000);
MAPIX_DEFINE_OLEGUID(IID_IStream, 0x0000000C);
MAPIX_DEFINE_OLEGUID(IID_IMAPISession, 0x00020300);
MAPIX_DEFINE_OLEGUID(IID_IMAPITable, 0x00020301);
MAPIX_DEFINE_OLEGUID(IID_IMAPIProp, 0x00020303);
MAPIX_DEFINE_OLEGUID(IID_IProfSect, 0x00020304);
MAPIX_DEFINE_OLEGUID(IID_IMAPIStatus, 0x00020305);
MAPIX_DEFINE_OLEGUID(IID_IMsgStore, 0x00020306);
MAPIX_DEFINE_OLEGUID(IID_IMessage, 0x00020307);
MAPIX_DEFINE_OLEGUID(IID_IAttachment, 0x00020308);
MAPIX_DEFINE_OLEGUID(IID_IAddrBook, 0x00020309);
MAPIX_DEFINE_OLEGUID(IID_IMailUser, 0x0002030A);
MAPIX_DEFINE_OLEGUID(IID_IMAPIContainer, 0x0002030B);
MAPIX_DEFINE_OLEGUID(IID_IMAPIFolder, 0x0002030C);
MAPIX_DEFINE_OLEGUID(IID_IABContainer, 0x0002030D);
MAPIX_DEFINE_OLEGUID(IID_IDistList, 0x0002030E);
MAPIX_DEFINE_OLEGUID(IID_IProfAdmin, 0x0002031C);
MAPIX_DEFINE_OLEGUID(IID_IMsgServiceAdmin, 0x0002031D);

/** True when the two identifiers are the same. */
static inline int IsEqualIID(const IID* a, const IID* b) { return memcmp(a, b, sizeof(IID)) == 0; }

#ifdef __cplusplus
} /* extern "C" */

/* ---- Interfaces (C++) ------------------------------------------------------------------- */

typedef const IID& REFIID;

/* Types the subset names in method signatures but never uses; callers pass null. */
struct MAPINAMEID;
struct IMAPIProgress;
struct IMAPIAdviseSink;
struct NOTIFICATION;
struct IMAPIProfSect;
struct IMsgServiceAdmin;
struct ADRPARM;
typedef MAPINAMEID* LPMAPINAMEID;
typedef IMAPIProgress* LPMAPIPROGRESS;
typedef IMAPIAdviseSink* LPMAPIADVISESINK;
typedef NOTIFICATION* LPNOTIFICATION;
typedef IMAPIProfSect* LPPROFSECT;
typedef IMsgServiceAdmin* LPSERVICEADMIN;
typedef ADRPARM* LPADRPARM;
typedef SCODE(STDMETHODCALLTYPE* LPFNDISMISS)(ULONG_PTR ulUIParam, LPVOID lpvContext);
typedef SCODE(STDMETHODCALLTYPE* LPFNBUTTON)(ULONG_PTR ulUIParam, LPVOID lpvContext, ULONG cbEntryID,
                                             LPENTRYID lpSelection, ULONG ulFlags);

#define MAPIX_METHOD(name) virtual HRESULT STDMETHODCALLTYPE name
#define MAPIX_METHOD_(type, name) virtual type STDMETHODCALLTYPE name

struct IUnknown {
    MAPIX_METHOD(QueryInterface)(REFIID riid, void** ppvObject) = 0;
    MAPIX_METHOD_(ULONG, AddRef)() = 0;
    MAPIX_METHOD_(ULONG, Release)() = 0;

  protected:
    ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

struct IMAPITable;
struct IMessage;
struct IMAPIFolder;
struct IMsgStore;
struct IAddrBook;
struct IAttach;
typedef IMAPITable* LPMAPITABLE;
typedef IMessage* LPMESSAGE;
typedef IMAPIFolder* LPMAPIFOLDER;
typedef IMsgStore* LPMDB;
typedef IAddrBook* LPADRBOOK;
typedef IAttach* LPATTACH;

/** A sequential stream; here only the body of a message, read-only. */
struct IStream : public IUnknown {
    MAPIX_METHOD(Read)(void* pv, ULONG cb, ULONG* pcbRead) = 0;
    MAPIX_METHOD(Write)(const void* pv, ULONG cb, ULONG* pcbWritten) = 0;
    MAPIX_METHOD(Seek)(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) = 0;
    MAPIX_METHOD(SetSize)(ULARGE_INTEGER libNewSize) = 0;
    MAPIX_METHOD(CopyTo)(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) = 0;
    MAPIX_METHOD(Commit)(DWORD grfCommitFlags) = 0;
    MAPIX_METHOD(Revert)() = 0;
    MAPIX_METHOD(LockRegion)(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
    MAPIX_METHOD(UnlockRegion)(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) = 0;
    MAPIX_METHOD(Stat)(STATSTG* pstatstg, DWORD grfStatFlag) = 0;
    MAPIX_METHOD(Clone)(IStream** ppstm) = 0;

  protected:
    ~IStream() = default;
};
typedef IStream* LPSTREAM;

/** Rows of properties with a cursor: contents, recipients, attachments, stores, status. */
struct IMAPITable : public IUnknown {
    MAPIX_METHOD(GetLastError)(HRESULT hResult, ULONG ulFlags, LPMAPIERROR* lppMAPIError) = 0;
    MAPIX_METHOD(Advise)(ULONG ulEventMask, LPMAPIADVISESINK lpAdviseSink, ULONG* lpulConnection) = 0;
    MAPIX_METHOD(Unadvise)(ULONG ulConnection) = 0;
    MAPIX_METHOD(GetStatus)(ULONG* lpulTableStatus, ULONG* lpulTableType) = 0;
    MAPIX_METHOD(SetColumns)(LPSPropTagArray lpPropTagArray, ULONG ulFlags) = 0;
    MAPIX_METHOD(QueryColumns)(ULONG ulFlags, LPSPropTagArray* lpPropTagArray) = 0;
    MAPIX_METHOD(GetRowCount)(ULONG ulFlags, ULONG* lpulCount) = 0;
    MAPIX_METHOD(SeekRow)(BOOKMARK bkOrigin, LONG lRowCount, LONG* lplRowsSought) = 0;
    MAPIX_METHOD(SeekRowApprox)(ULONG ulNumerator, ULONG ulDenominator) = 0;
    MAPIX_METHOD(QueryPosition)(ULONG* lpulRow, ULONG* lpulNumerator, ULONG* lpulDenominator) = 0;
    MAPIX_METHOD(FindRow)(LPSRestriction lpRestriction, BOOKMARK bkOrigin, ULONG ulFlags) = 0;
    MAPIX_METHOD(Restrict)(LPSRestriction lpRestriction, ULONG ulFlags) = 0;
    MAPIX_METHOD(CreateBookmark)(BOOKMARK* lpbkPosition) = 0;
    MAPIX_METHOD(FreeBookmark)(BOOKMARK bkPosition) = 0;
    MAPIX_METHOD(SortTable)(LPSSortOrderSet lpSortCriteria, ULONG ulFlags) = 0;
    MAPIX_METHOD(QuerySortOrder)(LPSSortOrderSet* lppSortCriteria) = 0;
    MAPIX_METHOD(QueryRows)(LONG lRowCount, ULONG ulFlags, LPSRowSet* lppRows) = 0;
    MAPIX_METHOD(Abort)() = 0;
    MAPIX_METHOD(ExpandRow)(ULONG cbInstanceKey, LPBYTE pbInstanceKey, ULONG ulRowCount, ULONG ulFlags,
                            LPSRowSet* lppRows, ULONG* lpulMoreRows) = 0;
    MAPIX_METHOD(CollapseRow)(ULONG cbInstanceKey, LPBYTE pbInstanceKey, ULONG ulFlags, ULONG* lpulRowCount) = 0;
    MAPIX_METHOD(WaitForCompletion)(ULONG ulFlags, ULONG ulTimeout, ULONG* lpulTableStatus) = 0;
    MAPIX_METHOD(GetCollapseState)(ULONG ulFlags, ULONG cbInstanceKey, LPBYTE lpbInstanceKey,
                                   ULONG* lpcbCollapseState, LPBYTE* lppbCollapseState) = 0;
    MAPIX_METHOD(SetCollapseState)(ULONG ulFlags, ULONG cbCollapseState, LPBYTE pbCollapseState,
                                   BOOKMARK* lpbkLocation) = 0;

  protected:
    ~IMAPITable() = default;
};

/** An object with properties. */
struct IMAPIProp : public IUnknown {
    MAPIX_METHOD(GetLastError)(HRESULT hResult, ULONG ulFlags, LPMAPIERROR* lppMAPIError) = 0;
    MAPIX_METHOD(SaveChanges)(ULONG ulFlags) = 0;
    MAPIX_METHOD(GetProps)(LPSPropTagArray lpPropTagArray, ULONG ulFlags, ULONG* lpcValues,
                           LPSPropValue* lppPropArray) = 0;
    MAPIX_METHOD(GetPropList)(ULONG ulFlags, LPSPropTagArray* lppPropTagArray) = 0;
    MAPIX_METHOD(OpenProperty)(ULONG ulPropTag, LPCIID lpiid, ULONG ulInterfaceOptions, ULONG ulFlags,
                               LPUNKNOWN* lppUnk) = 0;
    MAPIX_METHOD(SetProps)(ULONG cValues, LPSPropValue lpPropArray, LPSPropProblemArray* lppProblems) = 0;
    MAPIX_METHOD(DeleteProps)(LPSPropTagArray lpPropTagArray, LPSPropProblemArray* lppProblems) = 0;
    MAPIX_METHOD(CopyTo)(ULONG ciidExclude, LPCIID rgiidExclude, LPSPropTagArray lpExcludeProps,
                         ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress, LPCIID lpInterface,
                         LPVOID lpDestObj, ULONG ulFlags, LPSPropProblemArray* lppProblems) = 0;
    MAPIX_METHOD(CopyProps)(LPSPropTagArray lpIncludeProps, ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress,
                            LPCIID lpInterface, LPVOID lpDestObj, ULONG ulFlags,
                            LPSPropProblemArray* lppProblems) = 0;
    MAPIX_METHOD(GetNamesFromIDs)(LPSPropTagArray* lppPropTags, LPGUID lpPropSetGuid, ULONG ulFlags,
                                  ULONG* lpcPropNames, LPMAPINAMEID** lpppPropNames) = 0;
    MAPIX_METHOD(GetIDsFromNames)(ULONG cPropNames, LPMAPINAMEID* lppPropNames, ULONG ulFlags,
                                  LPSPropTagArray* lppPropTags) = 0;

  protected:
    ~IMAPIProp() = default;
};
typedef IMAPIProp* LPMAPIPROP;

/** A container of entries (folders). */
struct IMAPIContainer : public IMAPIProp {
    MAPIX_METHOD(GetContentsTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIX_METHOD(GetHierarchyTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIX_METHOD(OpenEntry)(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
                            ULONG* lpulObjType, LPUNKNOWN* lppUnk) = 0;
    MAPIX_METHOD(SetSearchCriteria)(LPSRestriction lpRestriction, LPENTRYLIST lpContainerList,
                                    ULONG ulSearchFlags) = 0;
    MAPIX_METHOD(GetSearchCriteria)(ULONG ulFlags, LPSRestriction* lppRestriction,
                                    LPENTRYLIST* lppContainerList, ULONG* lpulSearchState) = 0;

  protected:
    ~IMAPIContainer() = default;
};
typedef IMAPIContainer* LPMAPICONTAINER;

/** A folder of messages. */
struct IMAPIFolder : public IMAPIContainer {
    MAPIX_METHOD(CreateMessage)(LPCIID lpInterface, ULONG ulFlags, LPMESSAGE* lppMessage) = 0;
    MAPIX_METHOD(CopyMessages)(LPENTRYLIST lpMsgList, LPCIID lpInterface, LPVOID lpDestFolder,
                               ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
    MAPIX_METHOD(DeleteMessages)(LPENTRYLIST lpMsgList, ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress,
                                 ULONG ulFlags) = 0;
    MAPIX_METHOD(CreateFolder)(ULONG ulFolderType, LPSTR lpszFolderName, LPSTR lpszFolderComment,
                               LPCIID lpInterface, ULONG ulFlags, LPMAPIFOLDER* lppFolder) = 0;
    MAPIX_METHOD(CopyFolder)(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, LPVOID lpDestFolder,
                             LPSTR lpszNewFolderName, ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress,
                             ULONG ulFlags) = 0;
    MAPIX_METHOD(DeleteFolder)(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG_PTR ulUIParam,
                               LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;
    MAPIX_METHOD(SetReadFlags)(LPENTRYLIST lpMsgList, ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress,
                               ULONG ulFlags) = 0;
    MAPIX_METHOD(GetMessageStatus)(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulFlags,
                                   ULONG* lpulMessageStatus) = 0;
    MAPIX_METHOD(SetMessageStatus)(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulNewStatus,
                                   ULONG ulNewStatusMask, ULONG* lpulOldStatus) = 0;
    MAPIX_METHOD(SaveContentsSort)(LPSSortOrderSet lpSortCriteria, ULONG ulFlags) = 0;
    MAPIX_METHOD(EmptyFolder)(ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress, ULONG ulFlags) = 0;

  protected:
    ~IMAPIFolder() = default;
};

/** A message store. */
struct IMsgStore : public IMAPIProp {
    MAPIX_METHOD(Advise)(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask,
                         LPMAPIADVISESINK lpAdviseSink, ULONG* lpulConnection) = 0;
    MAPIX_METHOD(Unadvise)(ULONG ulConnection) = 0;
    MAPIX_METHOD(CompareEntryIDs)(ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2,
                                  LPENTRYID lpEntryID2, ULONG ulFlags, ULONG* lpulResult) = 0;
    MAPIX_METHOD(OpenEntry)(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
                            ULONG* lpulObjType, LPUNKNOWN* lppUnk) = 0;
    MAPIX_METHOD(SetReceiveFolder)(LPSTR lpszMessageClass, ULONG ulFlags, ULONG cbEntryID,
                                   LPENTRYID lpEntryID) = 0;
    MAPIX_METHOD(GetReceiveFolder)(LPSTR lpszMessageClass, ULONG ulFlags, ULONG* lpcbEntryID,
                                   LPENTRYID* lppEntryID, LPSTR* lppszExplicitClass) = 0;
    MAPIX_METHOD(GetReceiveFolderTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIX_METHOD(StoreLogoff)(ULONG* lpulFlags) = 0;
    MAPIX_METHOD(AbortSubmit)(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulFlags) = 0;
    MAPIX_METHOD(GetOutgoingQueue)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIX_METHOD(SetLockState)(LPMESSAGE lpMessage, ULONG ulLockState) = 0;
    MAPIX_METHOD(FinishedMsg)(ULONG ulFlags, ULONG cbEntryID, LPENTRYID lpEntryID) = 0;
    MAPIX_METHOD(NotifyNewMail)(LPNOTIFICATION lpNotification) = 0;

  protected:
    ~IMsgStore() = default;
};

/** A message. */
struct IMessage : public IMAPIProp {
    MAPIX_METHOD(GetAttachmentTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIX_METHOD(OpenAttach)(ULONG ulAttachmentNum, LPCIID lpInterface, ULONG ulFlags, LPATTACH* lppAttach) = 0;
    MAPIX_METHOD(CreateAttach)(LPCIID lpInterface, ULONG ulFlags, ULONG* lpulAttachmentNum,
                               LPATTACH* lppAttach) = 0;
    MAPIX_METHOD(DeleteAttach)(ULONG ulAttachmentNum, ULONG_PTR ulUIParam, LPMAPIPROGRESS lpProgress,
                               ULONG ulFlags) = 0;
    MAPIX_METHOD(GetRecipientTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIX_METHOD(ModifyRecipients)(ULONG ulFlags, LPADRLIST lpMods) = 0;
    MAPIX_METHOD(SubmitMessage)(ULONG ulFlags) = 0;
    MAPIX_METHOD(SetReadFlag)(ULONG ulFlags) = 0;

  protected:
    ~IMessage() = default;
};

/** An attachment (only its properties). */
struct IAttach : public IMAPIProp {
  protected:
    ~IAttach() = default;
};

/** A messaging user of the address book (the session's own identity among them). */
struct IMailUser : public IMAPIProp {
  protected:
    ~IMailUser() = default;
};
typedef IMailUser* LPMAILUSER;

/** The address book. */
struct IAddrBook : public IMAPIProp {
    MAPIX_METHOD(OpenEntry)(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
                            ULONG* lpulObjType, LPUNKNOWN* lppUnk) = 0;
    MAPIX_METHOD(CompareEntryIDs)(ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2,
                                  LPENTRYID lpEntryID2, ULONG ulFlags, ULONG* lpulResult) = 0;
    MAPIX_METHOD(Advise)(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask,
                         LPMAPIADVISESINK lpAdviseSink, ULONG* lpulConnection) = 0;
    MAPIX_METHOD(Unadvise)(ULONG ulConnection) = 0;
    MAPIX_METHOD(CreateOneOff)(LPSTR lpszName, LPSTR lpszAdrType, LPSTR lpszAddress, ULONG ulFlags,
                               ULONG* lpcbEntryID, LPENTRYID* lppEntryID) = 0;
    MAPIX_METHOD(NewEntry)(ULONG_PTR ulUIParam, ULONG ulFlags, ULONG cbEIDContainer, LPENTRYID lpEIDContainer,
                           ULONG cbEIDNewEntryTpl, LPENTRYID lpEIDNewEntryTpl, ULONG* lpcbEIDNewEntry,
                           LPENTRYID* lppEIDNewEntry) = 0;
    MAPIX_METHOD(ResolveName)(ULONG_PTR ulUIParam, ULONG ulFlags, LPSTR lpszNewEntryTitle, LPADRLIST lpAdrList) = 0;
    MAPIX_METHOD(Address)(ULONG_PTR* lpulUIParam, LPADRPARM lpAdrParms, LPADRLIST* lppAdrList) = 0;
    MAPIX_METHOD(Details)(ULONG_PTR* lpulUIParam, LPFNDISMISS lpfnDismiss, LPVOID lpvDismissContext,
                          ULONG cbEntryID, LPENTRYID lpEntryID, LPFNBUTTON lpfButtonCallback,
                          LPVOID lpvButtonContext, LPSTR lpszButtonText, ULONG ulFlags) = 0;
    MAPIX_METHOD(RecipOptions)(ULONG_PTR ulUIParam, ULONG ulFlags, LPADRENTRY lpRecip) = 0;
    MAPIX_METHOD(QueryDefaultRecipOpt)(LPSTR lpszAdrType, ULONG ulFlags, ULONG* lpcValues,
                                       LPSPropValue* lppOptions) = 0;
    MAPIX_METHOD(GetPAB)(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) = 0;
    MAPIX_METHOD(SetPAB)(ULONG cbEntryID, LPENTRYID lpEntryID) = 0;
    MAPIX_METHOD(GetDefaultDir)(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) = 0;
    MAPIX_METHOD(SetDefaultDir)(ULONG cbEntryID, LPENTRYID lpEntryID) = 0;
    MAPIX_METHOD(GetSearchPath)(ULONG ulFlags, LPSRowSet* lppSearchPath) = 0;
    MAPIX_METHOD(SetSearchPath)(ULONG ulFlags, LPSRowSet lpSearchPath) = 0;
    MAPIX_METHOD(PrepareRecips)(ULONG ulFlags, LPSPropTagArray lpPropTagArray, LPADRLIST lpRecipList) = 0;

  protected:
    ~IAddrBook() = default;
};

/** The state of a part of the subsystem (here: the spooler's). */
struct IMAPIStatus : public IMAPIProp {
    MAPIX_METHOD(ValidateState)(ULONG_PTR ulUIParam, ULONG ulFlags) = 0;
    MAPIX_METHOD(SettingsDialog)(ULONG_PTR ulUIParam, ULONG ulFlags) = 0;
    MAPIX_METHOD(ChangePassword)(LPSTR lpOldPass, LPSTR lpNewPass, ULONG ulFlags) = 0;
    MAPIX_METHOD(FlushQueues)(ULONG_PTR ulUIParam, ULONG cbTargetTransport, LPENTRYID lpTargetTransport,
                              ULONG ulFlags) = 0;

  protected:
    ~IMAPIStatus() = default;
};
typedef IMAPIStatus* LPMAPISTATUS;

/** A logged-on session on a profile. */
struct IMAPISession : public IUnknown {
    MAPIX_METHOD(GetLastError)(HRESULT hResult, ULONG ulFlags, LPMAPIERROR* lppMAPIError) = 0;
    MAPIX_METHOD(GetMsgStoresTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIX_METHOD(OpenMsgStore)(ULONG_PTR ulUIParam, ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface,
                               ULONG ulFlags, LPMDB* lppMDB) = 0;
    MAPIX_METHOD(OpenAddressBook)(ULONG_PTR ulUIParam, LPCIID lpInterface, ULONG ulFlags, LPADRBOOK* lppAdrBook) = 0;
    MAPIX_METHOD(OpenProfileSection)(LPMAPIUID lpUID, LPCIID lpInterface, ULONG ulFlags, LPPROFSECT* lppProfSect) = 0;
    MAPIX_METHOD(GetStatusTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIX_METHOD(OpenEntry)(ULONG cbEntryID, LPENTRYID lpEntryID, LPCIID lpInterface, ULONG ulFlags,
                            ULONG* lpulObjType, LPUNKNOWN* lppUnk) = 0;
    MAPIX_METHOD(CompareEntryIDs)(ULONG cbEntryID1, LPENTRYID lpEntryID1, ULONG cbEntryID2,
                                  LPENTRYID lpEntryID2, ULONG ulFlags, ULONG* lpulResult) = 0;
    MAPIX_METHOD(Advise)(ULONG cbEntryID, LPENTRYID lpEntryID, ULONG ulEventMask,
                         LPMAPIADVISESINK lpAdviseSink, ULONG* lpulConnection) = 0;
    MAPIX_METHOD(Unadvise)(ULONG ulConnection) = 0;
    MAPIX_METHOD(MessageOptions)(ULONG_PTR ulUIParam, ULONG ulFlags, LPSTR lpszAdrType, LPMESSAGE lpMessage) = 0;
    MAPIX_METHOD(QueryDefaultMessageOpt)(LPSTR lpszAdrType, ULONG ulFlags, ULONG* lpcValues,
                                         LPSPropValue* lppOptions) = 0;
    MAPIX_METHOD(EnumAdrTypes)(ULONG ulFlags, ULONG* lpcAdrTypes, LPSTR** lpppszAdrTypes) = 0;
    MAPIX_METHOD(QueryIdentity)(ULONG* lpcbEntryID, LPENTRYID* lppEntryID) = 0;
    MAPIX_METHOD(Logoff)(ULONG_PTR ulUIParam, ULONG ulFlags, ULONG ulReserved) = 0;
    MAPIX_METHOD(SetDefaultStore)(ULONG ulFlags, ULONG cbEntryID, LPENTRYID lpEntryID) = 0;
    MAPIX_METHOD(AdminServices)(ULONG ulFlags, LPSERVICEADMIN* lppServiceAdmin) = 0;
    MAPIX_METHOD(ShowForm)(ULONG_PTR ulUIParam, LPMDB lpMsgStore, LPMAPIFOLDER lpParentFolder, LPCIID lpInterface,
                           ULONG ulMessageToken, LPMESSAGE lpMessageSent, ULONG ulFlags, ULONG ulMessageStatus,
                           ULONG ulMessageFlags, ULONG ulAccess, LPSTR lpszMessageClass) = 0;
    MAPIX_METHOD(PrepareForm)(LPCIID lpInterface, LPMESSAGE lpMessage, ULONG* lpulMessageToken) = 0;

  protected:
    ~IMAPISession() = default;
};
typedef IMAPISession* LPMAPISESSION;

/** Profile administration. */
struct IProfAdmin : public IUnknown {
    MAPIX_METHOD(GetLastError)(HRESULT hResult, ULONG ulFlags, LPMAPIERROR* lppMAPIError) = 0;
    MAPIX_METHOD(GetProfileTable)(ULONG ulFlags, LPMAPITABLE* lppTable) = 0;
    MAPIX_METHOD(CreateProfile)(LPSTR lpszProfileName, LPSTR lpszPassword, ULONG_PTR ulUIParam, ULONG ulFlags) = 0;
    MAPIX_METHOD(DeleteProfile)(LPSTR lpszProfileName, ULONG ulFlags) = 0;
    MAPIX_METHOD(ChangeProfilePassword)(LPSTR lpszProfileName, LPSTR lpszOldPassword, LPSTR lpszNewPassword,
                                        ULONG ulFlags) = 0;
    MAPIX_METHOD(CopyProfile)(LPSTR lpszOldProfileName, LPSTR lpszOldPassword, LPSTR lpszNewProfileName,
                              ULONG_PTR ulUIParam, ULONG ulFlags) = 0;
    MAPIX_METHOD(RenameProfile)(LPSTR lpszOldProfileName, LPSTR lpszOldPassword, LPSTR lpszNewProfileName,
                                ULONG_PTR ulUIParam, ULONG ulFlags) = 0;
    MAPIX_METHOD(SetDefaultProfile)(LPSTR lpszProfileName, ULONG ulFlags) = 0;
    MAPIX_METHOD(AdminServices)(LPSTR lpszProfileName, LPSTR lpszPassword, ULONG_PTR ulUIParam, ULONG ulFlags,
                                LPSERVICEADMIN* lppServiceAdmin) = 0;

  protected:
    ~IProfAdmin() = default;
};
typedef IProfAdmin* LPPROFADMIN;

/* ---- Entry points ----------------------------------------------------------------------- */

extern "C" {

/** Starts the subsystem for the caller; each success is matched by one MAPIUninitialize.
 *  lpMapiInit: NULL or a MAPIINIT_0 of version MAPI_INIT_VERSION.
 *  Returns S_OK, MAPI_E_VERSION, MAPI_E_INVALID_PARAMETER (unknown flags). */
MAPI32_API HRESULT WINAPI MAPIInitialize(LPVOID lpMapiInit);

/** Ends one MAPIInitialize; without a matching one it does nothing. */
MAPI32_API void WINAPI MAPIUninitialize(void);

/** Opens a session on a profile of the registry. lpszProfileName NULL or "" with
 *  MAPI_USE_DEFAULT (or MAPI_LOGON_UI) is the default profile; lpszPassword is ignored.
 *  Returns S_OK, MAPI_E_LOGON_FAILED (unknown profile, account or mailbox missing),
 *  MAPI_E_NOT_INITIALIZED, MAPI_E_INVALID_PARAMETER, MAPI_E_NOT_ENOUGH_MEMORY. */
MAPI32_API HRESULT WINAPI MAPILogonEx(ULONG_PTR ulUIParam, LPSTR lpszProfileName, LPSTR lpszPassword,
                                      ULONG ulFlags, LPMAPISESSION* lppSession);

/** Opens the profile administration object (ulFlags 0). */
MAPI32_API HRESULT WINAPI MAPIAdminProfiles(ULONG ulFlags, LPPROFADMIN* lppProfAdmin);

/** A new zero-filled root block; S_OK or MAPI_E_NOT_ENOUGH_MEMORY. */
MAPI32_API SCODE WINAPI MAPIAllocateBuffer(ULONG cbSize, LPVOID* lppBuffer);

/** A new zero-filled block tied to the root block lpObject, freed with it;
 *  S_OK, MAPI_E_NOT_ENOUGH_MEMORY or MAPI_E_INVALID_PARAMETER (lpObject is no root). */
MAPI32_API SCODE WINAPI MAPIAllocateMore(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer);

/** Frees a root block and every block tied to it (shared with Simple MAPI; see mapi32/mapi.h). */
MAPI32_API ULONG WINAPI MAPIFreeBuffer(LPVOID lpBuffer);

/** Reads every row of a table (lpPropTags NULL: its current columns; crowsMax 0: no limit,
 *  else more rows than that give MAPI_E_TABLE_TOO_BIG). Free the result with FreeProws. */
MAPI32_API HRESULT WINAPI HrQueryAllRows(LPMAPITABLE lpTable, LPSPropTagArray lpPropTags,
                                         LPSRestriction lpRestriction, LPSSortOrderSet lpSortOrderSet,
                                         LONG crowsMax, LPSRowSet* lppRows);

/** Frees a row set: every row's values, then the set. NULL is accepted. */
MAPI32_API void WINAPI FreeProws(LPSRowSet lpRows);

/** Frees a recipient list: every entry's values, then the list. NULL is accepted. */
MAPI32_API void WINAPI FreePadrlist(LPADRLIST lpAdrlist);

/** Creates a profile through the profile wizard: a window asks for the profile's name and the
 *  account it uses; the name chosen is written into lpszNewProfileName (cbBufferMax bytes).
 *  Returns S_OK, MAPI_E_USER_CANCEL, MAPI_E_INVALID_PARAMETER, MAPI_E_CALL_FAILED. */
MAPI32_API HRESULT WINAPI LAUNCHWIZARD(HWND hParentWnd, ULONG ulFlags, LPCSTR* lppszServiceNameToAdd,
                                       ULONG cbBufferMax, LPSTR lpszNewProfileName);

}  // extern "C"

/* Pointer types for clients that find the calls with GetProcAddress. */
typedef HRESULT(WINAPI* LPMAPIINITIALIZE)(LPVOID lpMapiInit);
typedef void(WINAPI* LPMAPIUNINITIALIZE)(void);
typedef HRESULT(WINAPI* LPMAPILOGONEX)(ULONG_PTR ulUIParam, LPSTR lpszProfileName, LPSTR lpszPassword,
                                       ULONG ulFlags, LPMAPISESSION* lppSession);
typedef HRESULT(WINAPI* LPMAPIADMINPROFILES)(ULONG ulFlags, LPPROFADMIN* lppProfAdmin);
typedef SCODE(WINAPI* LPMAPIALLOCATEBUFFER)(ULONG cbSize, LPVOID* lppBuffer);
typedef SCODE(WINAPI* LPMAPIALLOCATEMORE)(ULONG cbSize, LPVOID lpObject, LPVOID* lppBuffer);
typedef ULONG(WINAPI* LPMAPIFREEBUFFER)(LPVOID lpBuffer);
typedef HRESULT(WINAPI* LPHRQUERYALLROWS)(LPMAPITABLE lpTable, LPSPropTagArray lpPropTags,
                                          LPSRestriction lpRestriction, LPSSortOrderSet lpSortOrderSet,
                                          LONG crowsMax, LPSRowSet* lppRows);
typedef void(WINAPI* LPFREEPROWS)(LPSRowSet lpRows);
typedef void(WINAPI* LPFREEPADRLIST)(LPADRLIST lpAdrlist);
typedef HRESULT(WINAPI* LAUNCHWIZARDENTRY)(HWND hParentWnd, ULONG ulFlags, LPCSTR* lppszServiceNameToAdd,
                                           ULONG cbBufferMax, LPSTR lpszNewProfileName);
typedef LAUNCHWIZARDENTRY LPLAUNCHWIZARDENTRY;

/* Ordinals of the calls in the library's export table. The three table helpers are bound by
 * ordinal (their Windows export names carry the argument size). */
#define MAPI32_ORDINAL_MAPILOGONEX 10
#define MAPI32_ORDINAL_MAPIALLOCATEBUFFER 12
#define MAPI32_ORDINAL_MAPIALLOCATEMORE 14
#ifndef MAPI32_ORDINAL_MAPIFREEBUFFER
#define MAPI32_ORDINAL_MAPIFREEBUFFER 16
#endif
#define MAPI32_ORDINAL_MAPIADMINPROFILES 18
#define MAPI32_ORDINAL_MAPIINITIALIZE 20
#define MAPI32_ORDINAL_MAPIUNINITIALIZE 22
#define MAPI32_ORDINAL_LAUNCHWIZARD 25
#define MAPI32_ORDINAL_HRQUERYALLROWS 75
#define MAPI32_ORDINAL_FREEPADRLIST 139
#define MAPI32_ORDINAL_FREEPROWS 140

#endif /* __cplusplus */

#endif /* MAPI32_MAPIX_H */
