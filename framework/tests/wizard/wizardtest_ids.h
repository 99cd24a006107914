/* Numbers of the test backend's language library (WIZARDTEST.DLL, found as wizardtest.res). */
#ifndef WIZARDTEST_IDS_H
#define WIZARDTEST_IDS_H

#define WIZTEST_IDS_CAPTION        4305
#define WIZTEST_IDS_CANCEL         4304
#define WIZTEST_IDS_NEXT           4308
#define WIZTEST_IDS_ERROR_MEMORY   4316
#define WIZTEST_IDS_ERROR_SERVER   4317

#define WIZTEST_IDD_NAME_PAGE      2001
#define WIZTEST_IDD_SUMMARY_PAGE   2003

#define WIZTEST_IDC_USER_NAME      2102
#define WIZTEST_IDC_REMINDER       204
#define WIZTEST_IDC_MAIL_SYSTEM    2105
#define WIZTEST_IDC_SUMMARY_USER   2108

#endif
