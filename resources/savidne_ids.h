/* Numbers of the strings, dialogs, pictures and controls of SAVIDNE, the language library of
 * Salvith (the Simple MAPI plug-in for Eudora, Outlook Express and Netscape Communicator). The
 * numbers bind the plug-in to its language library: every translation carries the same
 * numbers, and the plug-in embeds savidne.rc as its own English copy. Shared by savidne.rc and
 * the plug-in's C++ code. */
#ifndef SAVIDNE_IDS_H
#define SAVIDNE_IDS_H

/* Configuration keys and library names */
#define SAVIDNE_IDS_KEY_MSG_HOST_NAME       4100  /* "MsgHostName" */
#define SAVIDNE_IDS_KEY_USER_ACCOUNT        4101  /* "UserAccount" */
#define SAVIDNE_IDS_KEY_USER_DATA           4102  /* "UserData" */
#define SAVIDNE_IDS_MAPI_LIBRARY            4312  /* "mapi32.dll" */

/* Messages and fixed texts */
#define SAVIDNE_IDS_NOT_CONFIGURED          4300
#define SAVIDNE_IDS_CANCEL_CONFIRM          4304
#define SAVIDNE_IDS_MAIL_SETUP              4305  /* wizard and message-box caption */
#define SAVIDNE_IDS_EUDORA                  4306  /* picks the Eudora page */
#define SAVIDNE_IDS_OUTLOOK_EXPRESS         4307  /* picks the Outlook Express page */
#define SAVIDNE_IDS_NEXT_BUTTON             4308  /* "&Next >" on the last page inside Mail Setup */
#define SAVIDNE_IDS_CONFIG_INFO             4313  /* mail system */
#define SAVIDNE_IDS_ERROR_LOGON             4315  /* error box, code 200 */
#define SAVIDNE_IDS_ERROR_MEMORY            4316  /* error box, code 5 */
#define SAVIDNE_IDS_ERROR_SERVER            4317  /* error box, code 3 */
#define SAVIDNE_IDS_ERROR_OTHER             4318  /* error box, code 4 */
#define SAVIDNE_IDS_SUPPORTED_HOSTS         4319
#define SAVIDNE_IDS_SECTION                 4320  /* "SmapiPlugin" */

/* Dialogs */
#define SAVIDNE_IDD_LOGON_FAILED            203
#define SAVIDNE_IDD_CONGRATS_PAGE           2003  /* any other mail program */
#define SAVIDNE_IDD_GENERIC_PAGE            5000
#define SAVIDNE_IDD_EUDORA_PAGE             5001
#define SAVIDNE_IDD_OUTLOOK_EXPRESS_PAGE    5002

/* Pictures */
#define SAVIDNE_IDI_APP                     1
#define SAVIDNE_IDB_PAGE                    6000

/* Controls */
#define SAVIDNE_IDC_USER_NAME_LABEL         204   /* "User Name:" on page 2003 */
#define SAVIDNE_IDC_INSTRUCTIONS_HEADING    205   /* "Setup Instructions:", shown in bold */
#define SAVIDNE_IDC_RETURN_HINT_EUDORA      206   /* the return-to-Mail-Setup text of page 5001 */
#define SAVIDNE_IDC_RETURN_HINT             207   /* the return-to-Mail-Setup text of the other pages */
#define SAVIDNE_IDC_HOST_NAME               5100
#define SAVIDNE_IDC_USER_ACCOUNT            5101

#endif
