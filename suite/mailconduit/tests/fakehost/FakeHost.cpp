// fakehost.so: a mail host plug-in for the conduit's tests. It keeps its "desktop mailbox" in
// a JSON file, so several processes (a killed sync and the next one) see the same mailbox, and
// it can be told to refuse things, so the conduit's failure paths can be driven.
//
// Configuration (the conduit's INI file):
//   [FakeHost]            MsgHostName=<host>
//   [FakeHost <host>]     Mailbox=<path of the JSON mailbox>
//                         UserAccount=<anything; empty means the logon is refused>
//                         FailSendTo=<text; SendMsg of a record whose To holds it fails (212)>
//                         FailDelete=1   (DeleteMsg answers 3)
//                         NoUnread=1     (SetMsgReadStatus with read 0 answers 1)
// Environment: FAKEHOST_INIT_RESULT=<n> makes Initialize answer n (e.g. 204, library missing);
// FAKEHOST_CALL_LOG=<path> appends the name of every export called, one per line.
//
// Mailbox file: {"nextId":N,"inbox":[{"id","from","to","cc","subject","body","read",
// "priority","time"}...],"sent":[...],"filed":[...]}, texts in UTF-8.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <unistd.h>

#include "framework/MailHost.h"
#include "platform/Codepage.h"
#include "trevlin/Trevlin.h"
#include "win32/Profile.h"

using nlohmann::json;

namespace {

struct Session {
    bool initialized = false;
    bool loggedOn = false;
    std::string mailbox;
    std::string failSendTo;
    bool failDelete = false;
    bool noUnread = false;
};

Session g_session;

void logCall(const char* name) {
    const char* path = std::getenv("FAKEHOST_CALL_LOG");
    if (!path || !*path) return;
    if (FILE* file = std::fopen(path, "a")) {
        std::fprintf(file, "%s\n", name);
        std::fclose(file);
    }
}

std::string profile(const std::string& section, const char* key, const char* file) {
    char buffer[1024];
    GetPrivateProfileStringA(section.c_str(), key, "", buffer, sizeof buffer, file);
    return buffer;
}

std::string hostName(const char* file) { return profile("FakeHost", "MsgHostName", file); }

json loadMailbox() {
    std::ifstream in(g_session.mailbox);
    if (!in) return json{{"nextId", 1}, {"inbox", json::array()}, {"sent", json::array()}, {"filed", json::array()}};
    std::stringstream text;
    text << in.rdbuf();
    return json::parse(text.str());
}

void saveMailbox(const json& mailbox) {
    std::string temp = g_session.mailbox + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << mailbox.dump(2) << "\n";
    }
    std::rename(temp.c_str(), g_session.mailbox.c_str());
}

std::string utf8(const char* cp1252) { return cp1252 ? vesk::cp::cp1252ToUtf8(cp1252) : std::string(); }

// One record in one block, as the plug-ins build them.
MailMsg* buildRecord(const json& m, bool headersOnly) {
    std::string id = m.at("id").get<std::string>();
    std::string texts[9] = {vesk::cp::utf8ToCp1252(m.value("from", "")),
                            headersOnly ? "" : vesk::cp::utf8ToCp1252(m.value("to", "")),
                            headersOnly ? "" : vesk::cp::utf8ToCp1252(m.value("cc", "")),
                            "",
                            "",
                            "",
                            vesk::cp::utf8ToCp1252(m.value("subject", "")),
                            headersOnly ? "" : vesk::cp::utf8ToCp1252(m.value("body", "")),
                            ""};
    size_t size = sizeof(MailMsg) + id.size();
    for (const std::string& t : texts) size += t.empty() ? 0 : t.size() + 1;
    auto* block = static_cast<unsigned char*>(std::calloc(1, size));
    if (!block) return nullptr;
    auto* msg = reinterpret_cast<MailMsg*>(block);
    size_t pos = sizeof(MailMsg);
    msg->version = 1;
    msg->hostMsgIdSize = static_cast<uint32_t>(id.size());
    msg->hostMsgId = block + pos;
    std::memcpy(block + pos, id.data(), id.size());
    pos += id.size();
    msg->timeSent = msg->timeReceived = m.value("time", 0);
    msg->size = static_cast<uint32_t>(texts[7].size());
    int priority = m.value("priority", 1);
    msg->status = static_cast<uint16_t>(0x0400 | (headersOnly ? 0 : 2u << MAILMSG_STATUS_CONTENT_SHIFT));
    msg->flags = (1u << 17) | (1u << 19) | (static_cast<uint32_t>(priority) << MAILMSG_FLAG_PRIORITY_SHIFT) |
                 (m.value("read", false) ? MAILMSG_FLAG_READ : 0u) | MAILMSG_FLAG_FROM_HOST;
    char** slots[9] = {&msg->from, &msg->to, &msg->cc, &msg->bcc, &msg->extraText1,
                       &msg->extraText2, &msg->subject, &msg->body, &msg->attachments};
    for (int i = 0; i < 9; ++i) {
        if (texts[i].empty()) continue;
        *slots[i] = reinterpret_cast<char*>(block + pos);
        std::memcpy(block + pos, texts[i].c_str(), texts[i].size() + 1);
        pos += texts[i].size() + 1;
    }
    return msg;
}

json::iterator findMessage(json& mailbox, const MailMsg* msg) {
    json& inbox = mailbox["inbox"];
    if (!msg || !(msg->flags & MAILMSG_FLAG_FROM_HOST) || msg->hostMsgIdSize == 0) return inbox.end();
    std::string id(reinterpret_cast<const char*>(msg->hostMsgId), msg->hostMsgIdSize);
    for (auto it = inbox.begin(); it != inbox.end(); ++it) {
        if ((*it).at("id").get<std::string>() == id) return it;
    }
    return inbox.end();
}

json submitted(const MailMsg* msg) {
    return json{{"to", utf8(msg->to)},
                {"cc", utf8(msg->cc)},
                {"bcc", utf8(msg->bcc)},
                {"from", utf8(msg->from)},
                {"subject", utf8(msg->subject)},
                {"body", utf8(msg->body)},
                {"priority", (msg->status >> MAILMSG_STATUS_PRIORITY_SHIFT) & 3},
                {"read", (msg->status & MAILMSG_STATUS_READ_ON_HANDHELD) != 0},
                {"readReceipt", (msg->status & MAILMSG_STATUS_READ_RECEIPT) != 0},
                {"hasHostId", msg->hostMsgIdSize != 0}};
}

int copyText(const std::string& text, char* out, int* size) {
    int needed = static_cast<int>(text.size()) + 1;
    if (!size || *size < needed) {
        if (size) *size = needed;
        return MAILHOST_BUFFER_TOO_SMALL;
    }
    std::memcpy(out, text.c_str(), text.size() + 1);
    return MAILHOST_OK;
}

}  // namespace

extern "C" {

MAILHOST_EXPORT int Initialize(void) {
    logCall("Initialize");
    if (const char* forced = std::getenv("FAKEHOST_INIT_RESULT")) {
        int rc = std::atoi(forced);
        if (rc != 0) return rc;
    }
    g_session.initialized = true;
    SyncYieldCycles(100);
    return MAILHOST_OK;
}

MAILHOST_EXPORT int Uninitialize(void) {
    logCall("Uninitialize");
    g_session = Session();
    return MAILHOST_OK;
}

MAILHOST_EXPORT int Logon(int syncLogon, const char* configFile) {
    logCall(syncLogon ? "Logon(1)" : "Logon(0)");
    if (!g_session.initialized) return MAILHOST_LOGON_FAILED;
    SyncYieldCycles(100);
    std::string host = hostName(configFile);
    std::string section = "FakeHost " + host;
    if (host.empty() || profile(section, "UserAccount", configFile).empty()) return MAILHOST_LOGON_FAILED;
    g_session.mailbox = profile(section, "Mailbox", configFile);
    if (g_session.mailbox.empty()) return MAILHOST_LOGON_FAILED;
    g_session.failSendTo = profile(section, "FailSendTo", configFile);
    g_session.failDelete = profile(section, "FailDelete", configFile) == "1";
    g_session.noUnread = profile(section, "NoUnread", configFile) == "1";
    g_session.loggedOn = true;
    return MAILHOST_OK;
}

MAILHOST_EXPORT int Logoff(void) {
    logCall("Logoff");
    g_session.loggedOn = false;
    return MAILHOST_OK;
}

MAILHOST_EXPORT int GetHostConfigInfo(const char* configFile, char* textOut, int* textSize) {
    logCall("GetHostConfigInfo");
    std::string host = hostName(configFile);
    return copyText(host.empty() ? "Not Configured" : "Mail System:\t" + host, textOut, textSize);
}

MAILHOST_EXPORT int SetHostConfigInfo(const char* configFile, int save) {
    logCall("SetHostConfigInfo");
    return save && configFile && *configFile ? 1 : 0;
}

MAILHOST_EXPORT int GetSupportedHosts(char* hostsOut, int* hostsSize) {
    logCall("GetSupportedHosts");
    static const char kHosts[] = "Fake Mail 1.0%Fake Mail 2.0%";
    int rc = copyText(kHosts, hostsOut, hostsSize);
    if (rc == MAILHOST_OK) {
        for (char* c = hostsOut; *c; ++c) {
            if (*c == '%') *c = '\0';
        }
    }
    return rc;
}

MAILHOST_EXPORT int DisplayConfigWizardPages(HWND, const char*, const char*, int, int, int, int* outcome) {
    logCall("DisplayConfigWizardPages");
    if (outcome) *outcome = MAILHOST_WIZARD_CANCELLED;
    return MAILHOST_OK;
}

MAILHOST_EXPORT int GetAllMsgs(MailMsg*** msgsOut, int* countOut, int headersOnly) {
    logCall("GetAllMsgs");
    *countOut = 0;
    if (!g_session.loggedOn) return MAILHOST_SERVER_ERROR;
    json mailbox = loadMailbox();
    const json& inbox = mailbox["inbox"];
    if (inbox.empty()) return MAILHOST_OK;
    auto** array = static_cast<MailMsg**>(std::calloc(inbox.size(), sizeof(MailMsg*)));
    if (!array) return MAILHOST_OUT_OF_MEMORY;
    for (const json& m : inbox) {
        SyncYieldCycles(100);
        if (MailMsg* record = buildRecord(m, headersOnly != 0)) array[(*countOut)++] = record;
    }
    *msgsOut = array;
    return MAILHOST_OK;
}

MAILHOST_EXPORT int FreeMailMsg(MailMsg** msgs, int count) {
    logCall("FreeMailMsg");
    if (!msgs) return MAILHOST_NULL_ARGUMENT;
    for (int i = 0; i < count; ++i) std::free(msgs[i]);
    std::free(msgs);
    return MAILHOST_OK;
}

MAILHOST_EXPORT int SendMsg(const MailMsg* msg) {
    logCall("SendMsg");
    if (!g_session.loggedOn) return MAILHOST_SERVER_ERROR;
    if (!g_session.failSendTo.empty() && msg->to && std::strstr(msg->to, g_session.failSendTo.c_str())) {
        return MAILHOST_SEND_FAILED;
    }
    json mailbox = loadMailbox();
    mailbox["sent"].push_back(submitted(msg));
    saveMailbox(mailbox);
    return MAILHOST_OK;
}

MAILHOST_EXPORT int SetMsg(const MailMsg* msg) {
    logCall("SetMsg");
    if (!g_session.loggedOn) return MAILHOST_SERVER_ERROR;
    if (msg->hostMsgIdSize != 0) return MAILHOST_SERVER_ERROR;
    json mailbox = loadMailbox();
    mailbox["filed"].push_back(submitted(msg));
    // A filed message lands in the mailbox, as a new message.
    int next = mailbox.value("nextId", 1);
    mailbox["nextId"] = next + 1;
    mailbox["inbox"].push_back(json{{"id", "f" + std::to_string(next)},
                                    {"from", utf8(msg->from)},
                                    {"to", utf8(msg->to)},
                                    {"subject", utf8(msg->subject)},
                                    {"body", utf8(msg->body)},
                                    {"read", (msg->status & MAILMSG_STATUS_READ_ON_HANDHELD) != 0},
                                    {"priority", (msg->status >> MAILMSG_STATUS_PRIORITY_SHIFT) & 3},
                                    {"time", msg->timeSent}});
    saveMailbox(mailbox);
    return MAILHOST_OK;
}

MAILHOST_EXPORT int DeleteMsg(const MailMsg* msg) {
    logCall("DeleteMsg");
    if (!g_session.loggedOn || g_session.failDelete) return MAILHOST_SERVER_ERROR;
    json mailbox = loadMailbox();
    auto it = findMessage(mailbox, msg);
    if (it == mailbox["inbox"].end()) return MAILHOST_SERVER_ERROR;
    mailbox["inbox"].erase(it);
    saveMailbox(mailbox);
    return MAILHOST_OK;
}

MAILHOST_EXPORT int SetMsgReadStatus(const MailMsg* msg, int read) {
    logCall("SetMsgReadStatus");
    if (g_session.noUnread && !read) return MAILHOST_NOT_SUPPORTED;
    if (!g_session.loggedOn) return MAILHOST_SERVER_ERROR;
    json mailbox = loadMailbox();
    auto it = findMessage(mailbox, msg);
    if (it == mailbox["inbox"].end()) return MAILHOST_SERVER_ERROR;
    (*it)["read"] = read != 0;
    saveMailbox(mailbox);
    return MAILHOST_OK;
}

MAILHOST_EXPORT int SetMsgPriority(const MailMsg* msg, int priority) {
    logCall("SetMsgPriority");
    if (!g_session.loggedOn) return MAILHOST_SERVER_ERROR;
    json mailbox = loadMailbox();
    auto it = findMessage(mailbox, msg);
    if (it == mailbox["inbox"].end()) return MAILHOST_SERVER_ERROR;
    (*it)["priority"] = priority;
    saveMailbox(mailbox);
    return MAILHOST_OK;
}

}  // extern "C"
