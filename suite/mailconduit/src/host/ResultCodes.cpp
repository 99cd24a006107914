#include "host/ResultCodes.h"

#include "framework/MailHost.h"

namespace conduit {

namespace {

struct CodeText {
    int code;
    const char* name;
    const char* reason;
};

constexpr CodeText kCodes[] = {
    {MAILHOST_OK, "MAILHOST_OK", "done"},
    {MAILHOST_NOT_SUPPORTED, "MAILHOST_NOT_SUPPORTED", "the mail system cannot do this"},
    {MAILHOST_SERVER_ERROR, "MAILHOST_SERVER_ERROR",
     "the mail store refused or failed the operation, or could not find the message"},
    {MAILHOST_ERROR, "MAILHOST_ERROR", "the mail library failed"},
    {MAILHOST_OUT_OF_MEMORY, "MAILHOST_OUT_OF_MEMORY", "the plug-in ran out of memory"},
    {MAILHOST_INIT_FAILED, "MAILHOST_INIT_FAILED", "the mail library could not be started"},
    {MAILHOST_LOGON_FAILED, "MAILHOST_LOGON_FAILED",
     "the mail system refused the logon"},
    {MAILHOST_LOGON_BAD_PASSWORD, "MAILHOST_LOGON_BAD_PASSWORD",
     "the mail system refused the password"},
    {MAILHOST_LOGON_BAD_POST_OFFICE, "MAILHOST_LOGON_BAD_POST_OFFICE",
     "the mail system refused the post office"},
    {MAILHOST_RECIPIENT_REJECTED, "MAILHOST_RECIPIENT_REJECTED",
     "the mail system refused one of the recipients"},
    {MAILHOST_LIBRARY_NOT_FOUND, "MAILHOST_LIBRARY_NOT_FOUND",
     "the mail library the plug-in needs could not be loaded"},
    {MAILHOST_HOST_NOT_INSTALLED, "MAILHOST_HOST_NOT_INSTALLED",
     "the mail system is not installed on this desktop"},
    {MAILHOST_ENTRY_POINT_MISSING, "MAILHOST_ENTRY_POINT_MISSING",
     "the mail library lacks a function the plug-in needs"},
    {MAILHOST_BUFFER_TOO_SMALL, "MAILHOST_BUFFER_TOO_SMALL", "a text buffer was too small"},
    {MAILHOST_NULL_ARGUMENT, "MAILHOST_NULL_ARGUMENT", "a required argument was missing"},
    {MAILHOST_SEND_FAILED, "MAILHOST_SEND_FAILED", "the mail library refused to send the message"},
    {MAILHOST_READ_FAILED, "MAILHOST_READ_FAILED", "a message of the mailbox could not be read"},
};

const CodeText* find(int code) {
    for (const CodeText& entry : kCodes) {
        if (entry.code == code) return &entry;
    }
    return nullptr;
}

}  // namespace

std::string resultName(int code) {
    const CodeText* entry = find(code);
    return entry ? entry->name : "result " + std::to_string(code);
}

std::string resultReason(int code) {
    const CodeText* entry = find(code);
    return entry ? entry->reason : "the plug-in gave a result no mail host documents";
}

std::string describeResult(int code) {
    const CodeText* entry = find(code);
    if (!entry) return "result " + std::to_string(code) + ": " + resultReason(code);
    return std::string(entry->name) + " (" + std::to_string(code) + "): " + entry->reason;
}

}  // namespace conduit
