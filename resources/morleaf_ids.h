/* Numbers of the strings, dialogs, pictures and controls of MORLEAF, the language library of
 * Dunmere (the Extended MAPI plug-in for Exchange and Outlook). The numbers bind the plug-in to
 * its language library: every translation carries the same numbers, and the plug-in embeds
 * morleaf.rc as its own English copy. Shared by morleaf.rc and the plug-in's C++ code. */
#ifndef MORLEAF_IDS_H
#define MORLEAF_IDS_H

/* Configuration keys and library names */
#define MORLEAF_IDS_PLUGINS_SECTION         4000  /* "MsgPlugIns" */
#define MORLEAF_IDS_WIZARD_LIBRARY          4002  /* "mapi32.dll", holds LAUNCHWIZARD */
#define MORLEAF_IDS_KEY_MSG_HOST_NAME       4101  /* "MsgHostName" */
#define MORLEAF_IDS_KEY_PROFILE             4102  /* "UserMAPIProfile" */

/* Messages and fixed texts */
#define MORLEAF_IDS_NOT_CONFIGURED          4300
#define MORLEAF_IDS_CONFIG_INFO             4301  /* mail system, profile */
#define MORLEAF_IDS_SEND_FAILED             4302
#define MORLEAF_IDS_CREATE_PROFILE_AGAIN    4303  /* after the profile wizard was cancelled */
#define MORLEAF_IDS_NO_PROFILE              4304
#define MORLEAF_IDS_MAIL_SETUP              4305  /* wizard and message-box caption */
#define MORLEAF_IDS_CANCEL_CONFIRM          4306
#define MORLEAF_IDS_NEXT_BUTTON             4307  /* "&Next >" on the last page inside Mail Setup */
#define MORLEAF_IDS_REGISTER_FAILED         4308
#define MORLEAF_IDS_SMTP                    4309  /* "smtp" */
#define MORLEAF_IDS_FALLBACK_SENDER         4310
#define MORLEAF_IDS_MAPI_KEY                4313  /* registry key of the installed check */
#define MORLEAF_IDS_MAPI_VALUE              4314  /* "MAPIX" */
#define MORLEAF_IDS_ERROR_NOT_INSTALLED     4315  /* error box, code 205 */
#define MORLEAF_IDS_ERROR_NO_LIBRARY        4316  /* error box, code 204 */
#define MORLEAF_IDS_ERROR_MEMORY            4317  /* error box, code 5 */
#define MORLEAF_IDS_ERROR_LOGON             4318  /* error box, code 200 */
#define MORLEAF_IDS_ERROR_SERVER            4319  /* error box, code 3 */
#define MORLEAF_IDS_ERROR_INIT              4320  /* error box, code 100 */
#define MORLEAF_IDS_ERROR_OTHER             4321  /* error box, code 4 */
#define MORLEAF_IDS_SUPPORTED_HOSTS         4322
#define MORLEAF_IDS_SECTION                 4323  /* "MapiPlugin" */
#define MORLEAF_IDS_UNKNOWN_ATTACHMENT      4324

/* Dialogs */
#define MORLEAF_IDD_LOGON_FAILED            203
#define MORLEAF_IDD_PROFILE_PAGE            3000
#define MORLEAF_IDD_CONGRATS_PAGE           3001

/* Pictures */
#define MORLEAF_IDI_APP                     1
#define MORLEAF_IDI_LOGON_FAILED            205
#define MORLEAF_IDB_PROFILE_PAGE            6001
#define MORLEAF_IDB_CONGRATS_PAGE           6002

/* Controls */
#define MORLEAF_IDC_RETURN_HINT             204   /* the return-to-Mail-Setup text */
#define MORLEAF_IDC_PROFILE                 3010
#define MORLEAF_IDC_SUMMARY_MAIL_SYSTEM     3011
#define MORLEAF_IDC_SUMMARY_PROFILE         3012

#endif
