/* Numbers of the dialog mapi32.so shows: the profile wizard of LAUNCHWIZARD. Shared by the
 * resource script and the C++ code. */
#ifndef MAPI32_IDS_H
#define MAPI32_IDS_H

#define MAPI32_IDD_PROFILE_WIZARD 100
#define MAPI32_IDC_PROFILE_NAME 101
#define MAPI32_IDC_ACCOUNT 102
#define MAPI32_IDC_PASSWORD 103
#define MAPI32_IDC_PROBLEM 104

#endif
