#include "platform/WriteFaults.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>

namespace vesk::io {

bool g_writeFaultsArmed = false;

namespace {

struct Plan {
    std::mutex lock;
    long count = 0;
    long failAt = 0;
    int error = EIO;
    std::string tracePath;
};

Plan& plan() {
    static Plan* p = new Plan;  // never destroyed: calls may come from other static destructors
    return *p;
}

const char* opName(Op op) {
    switch (op) {
    case Op::Write: return "write";
    case Op::Fsync: return "fsync";
    case Op::Rename: return "rename";
    case Op::Link: return "link";
    case Op::Unlink: return "unlink";
    }
    return "?";
}

// Reads VESK_WRITE_FAULT and VESK_WRITE_FAULT_TRACE once, when the library loads.
struct FromEnvironment {
    FromEnvironment() {
        const char* setting = std::getenv("VESK_WRITE_FAULT");
        const char* trace = std::getenv("VESK_WRITE_FAULT_TRACE");
        long failAt = 0;
        int error = EIO;
        if (setting && *setting) {
            char* end = nullptr;
            failAt = std::strtol(setting, &end, 10);
            if (end && *end == ':') error = std::strcmp(end + 1, "ENOSPC") == 0 ? ENOSPC : EIO;
        }
        if (failAt > 0 || (trace && *trace)) armWriteFault(failAt, error, trace ? trace : "");
    }
} g_fromEnvironment;

}  // namespace

void armWriteFault(long failAt, int error, const std::string& tracePath) {
    Plan& p = plan();
    std::lock_guard<std::mutex> guard(p.lock);
    p.count = 0;
    p.failAt = failAt;
    p.error = error;
    p.tracePath = tracePath;
    g_writeFaultsArmed = true;
}

void disarmWriteFault() {
    Plan& p = plan();
    std::lock_guard<std::mutex> guard(p.lock);
    g_writeFaultsArmed = false;
    p.count = 0;
    p.failAt = 0;
    p.tracePath.clear();
}

long writeFaultCalls() {
    Plan& p = plan();
    std::lock_guard<std::mutex> guard(p.lock);
    return p.count;
}

bool injectFault(Op op, const char* path) {
    Plan& p = plan();
    std::lock_guard<std::mutex> guard(p.lock);
    long n = ++p.count;
    if (!p.tracePath.empty()) {
        // Plain stdio on its own descriptor: the trace must not count itself.
        if (FILE* f = std::fopen(p.tracePath.c_str(), "ae")) {
            std::fprintf(f, "%ld\t%s\t%s\n", n, opName(op), path ? path : "-");
            std::fclose(f);
        }
    }
    if (n != p.failAt) return false;
    errno = p.error;
    return true;
}

}  // namespace vesk::io
