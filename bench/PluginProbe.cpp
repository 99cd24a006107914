#include "PluginProbe.h"

#include <chrono>
#include <cstdio>
#include <cstring>

#include "framework/MailHostExports.h"

namespace vesk::bench {
namespace {

double now() { return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

std::size_t textBytes(const char* text) { return text ? std::strlen(text) + 1 : 0; }

// The bytes a record hands out: its header and everything it points to.
std::size_t recordBytes(const MailMsg* m) {
    return MAILMSG_HEADER_SIZE + m->extraId1Size + m->hostMsgIdSize + m->extraId2Size + textBytes(m->from) +
           textBytes(m->to) + textBytes(m->cc) + textBytes(m->bcc) + textBytes(m->extraText1) +
           textBytes(m->extraText2) + textBytes(m->subject) + textBytes(m->body) + textBytes(m->attachments);
}

// A plug-in with a session open; the session and the module are closed again on every path.
class Session {
public:
    Session(const std::string& module, const std::string& configFile) {
        m_module = LoadLibraryA(module.c_str());
        if (!m_module) {
            std::fprintf(stderr, "cannot load %s (error %lu)\n", module.c_str(),
                         static_cast<unsigned long>(GetLastError()));
            return;
        }
        if (const char* missing = BindMailHostExports(m_module, m_exports)) {
            std::fprintf(stderr, "%s has no export %s\n", module.c_str(), missing);
            return;
        }
        if (int rc = m_exports.Initialize()) {
            std::fprintf(stderr, "%s: Initialize failed with %d\n", module.c_str(), rc);
            return;
        }
        m_initialized = true;
        if (int rc = m_exports.Logon(1, configFile.c_str())) {
            std::fprintf(stderr, "%s: Logon with %s failed with %d\n", module.c_str(), configFile.c_str(), rc);
            return;
        }
        m_loggedOn = true;
    }
    ~Session() {
        if (m_loggedOn) m_exports.Logoff();
        if (m_initialized) m_exports.Uninitialize();
        if (m_module) FreeLibrary(m_module);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    bool open() const { return m_loggedOn; }
    const MailHostExports& exports() const { return m_exports; }

private:
    HMODULE m_module = nullptr;
    MailHostExports m_exports;
    bool m_initialized = false, m_loggedOn = false;
};

}  // namespace

int probeGetAll(const std::string& module, const std::string& configFile) {
    Session session(module, configFile);
    if (!session.open()) return 1;
    MailMsg** msgs = nullptr;
    int count = 0;
    double start = now();
    int rc = session.exports().GetAllMsgs(&msgs, &count, 0);
    double seconds = now() - start;
    if (rc != MAILHOST_OK) {
        std::fprintf(stderr, "%s: GetAllMsgs failed with %d\n", module.c_str(), rc);
        return 1;
    }
    std::size_t bytes = 0;
    for (int i = 0; i < count; ++i) bytes += recordBytes(msgs[i]);
    session.exports().FreeMailMsg(msgs, count);
    std::printf("%.6f %d %zu\n", seconds, count, bytes);
    return 0;
}

int probeDeleteAll(const std::string& module, const std::string& configFile, double budgetSeconds) {
    Session session(module, configFile);
    if (!session.open()) return 1;
    MailMsg** msgs = nullptr;
    int count = 0;
    if (int rc = session.exports().GetAllMsgs(&msgs, &count, 1)) {
        std::fprintf(stderr, "%s: GetAllMsgs failed with %d\n", module.c_str(), rc);
        return 1;
    }
    int deleted = 0, failures = 0;
    double start = now();
    for (; deleted < count; ++deleted) {
        if (session.exports().DeleteMsg(msgs[deleted]) != MAILHOST_OK) ++failures;
        // The clock is read every 64 messages: often enough for the budget, rarely enough to cost nothing.
        if (deleted % 64 == 63 && now() - start > budgetSeconds) {
            ++deleted;
            break;
        }
    }
    double seconds = now() - start;
    session.exports().FreeMailMsg(msgs, count);
    std::printf("%.6f %d %d %d\n", seconds, deleted, count, failures);
    return 0;
}

}  // namespace vesk::bench
