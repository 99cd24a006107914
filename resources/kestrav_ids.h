/* Numbers of the strings, dialogs, pictures and controls of KESTRAV, the language library of
 * Orvek (the VIM plug-in for cc:Mail). The numbers bind the plug-in to its language library:
 * every translation carries the same numbers, and the plug-in embeds kestrav.rc as its own
 * English copy. Shared by kestrav.rc and the plug-in's C++ code. */
#ifndef KESTRAV_IDS_H
#define KESTRAV_IDS_H

/* Configuration keys */
#define KESTRAV_IDS_KEY_USER_ACCOUNT        4003  /* "UserAccount" */
#define KESTRAV_IDS_KEY_POST_OFFICE_PATH    4004  /* "PostOfficePath" */
#define KESTRAV_IDS_KEY_INTERNET_GATEWAY    4105  /* "InternetGateway" */
#define KESTRAV_IDS_KEY_USER_DATA           4106  /* "UserData" */
#define KESTRAV_IDS_KEY_MSG_HOST_NAME       4107  /* "MsgHostName" */

/* Messages and fixed texts */
#define KESTRAV_IDS_NOT_CONFIGURED          4300
#define KESTRAV_IDS_CONFIG_INFO             4301  /* host name, user, post office, gateway */
#define KESTRAV_IDS_EXCLUDED_ATTACHMENT     4302  /* "rfc822.txt" */
#define KESTRAV_IDS_GATEWAY_SEPARATOR       4303  /* " at " */
#define KESTRAV_IDS_CANCEL_CONFIRM          4305
#define KESTRAV_IDS_MAIL_SETUP              4306  /* wizard and message-box caption */
#define KESTRAV_IDS_BAD_USER_NAME           4307
#define KESTRAV_IDS_BAD_PASSWORD            4308
#define KESTRAV_IDS_NEXT_BUTTON             4310  /* "&Next >" on the last page inside Mail Setup */
#define KESTRAV_IDS_TRASH_FOLDER            4314
#define KESTRAV_IDS_USER_IDENTITY           4315
#define KESTRAV_IDS_USER_NAME_REQUIRED      4316
#define KESTRAV_IDS_POST_OFFICE_CAPTION     4317
#define KESTRAV_IDS_POST_OFFICE_REQUIRED    4318
#define KESTRAV_IDS_ERROR_LOGON             4319  /* error box, code 200 */
#define KESTRAV_IDS_ERROR_MEMORY            4320  /* error box, code 5 */
#define KESTRAV_IDS_ERROR_SERVER            4321  /* error box, code 3 */
#define KESTRAV_IDS_ERROR_INIT              4322  /* error box, code 100 */
#define KESTRAV_IDS_ERROR_OTHER             4323  /* error box, any other code */
#define KESTRAV_IDS_SUPPORTED_HOSTS         4324
#define KESTRAV_IDS_SECTION                 4325  /* "VimPlugin" */

/* Dialogs */
#define KESTRAV_IDD_LOGON_FAILED            203
#define KESTRAV_IDD_CHOOSE_DIRECTORY        379
#define KESTRAV_IDD_POST_OFFICE_PAGE        2000
#define KESTRAV_IDD_USER_PAGE               2001
#define KESTRAV_IDD_GATEWAY_PAGE            2002
#define KESTRAV_IDD_CONGRATS_PAGE           2003

/* Pictures */
#define KESTRAV_IDI_APP                     1
#define KESTRAV_IDI_LOGON_FAILED            208
#define KESTRAV_IDB_TO_FIELD                207
#define KESTRAV_IDB_USER_PAGES              2201  /* user and post office pages */
#define KESTRAV_IDB_GATEWAY_PAGE            2202
#define KESTRAV_IDB_CONGRATS_PAGE           2203

/* Controls of the wizard pages */
#define KESTRAV_IDC_RETURN_HINT             204   /* the return-to-Mail-Setup text */
#define KESTRAV_IDC_POST_OFFICE_PATH        2100
#define KESTRAV_IDC_BROWSE                  2101
#define KESTRAV_IDC_USER_NAME               2102
#define KESTRAV_IDC_PASSWORD                2103
#define KESTRAV_IDC_GATEWAY                 2104
#define KESTRAV_IDC_SUMMARY_MAIL_SYSTEM     2105
#define KESTRAV_IDC_SUMMARY_POST_OFFICE     2106
#define KESTRAV_IDC_SUMMARY_GATEWAY         2107
#define KESTRAV_IDC_SUMMARY_USER_NAME       2108

/* Controls of the directory chooser (the numbers of the standard file-open template) */
#define KESTRAV_IDC_DIR_NETWORK             1037
#define KESTRAV_IDC_DIR_HELP                1038
#define KESTRAV_IDC_DIR_READ_ONLY           1040
#define KESTRAV_IDC_DIR_CURRENT             1088
#define KESTRAV_IDC_DIR_FILE_TYPE_LABEL     1089
#define KESTRAV_IDC_DIR_FILE_NAME_LABEL     1090
#define KESTRAV_IDC_DIR_FILE_LIST           1120
#define KESTRAV_IDC_DIR_LIST                1121
#define KESTRAV_IDC_DIR_FILE_TYPE           1136
#define KESTRAV_IDC_DIR_DRIVES              1137
#define KESTRAV_IDC_DIR_FILE_NAME           1152

#endif
