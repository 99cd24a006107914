#include "sync/FaultHook.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace conduit {

FaultHook::FaultHook(std::string target, std::string tracePath)
    : m_target(std::move(target)), m_tracePath(std::move(tracePath)) {}

FaultHook FaultHook::fromEnvironment() {
    const char* target = std::getenv("MAILCONDUIT_FAULT");
    const char* trace = std::getenv("MAILCONDUIT_FAULT_TRACE");
    return FaultHook(target ? target : "", trace ? trace : "");
}

void FaultHook::reach(const std::string& name) {
    ++m_count;
    if (!m_tracePath.empty()) {
        if (FILE* file = std::fopen(m_tracePath.c_str(), "a")) {
            std::fprintf(file, "%s\n", name.c_str());
            std::fclose(file);
        }
    }
    if (m_target.empty()) return;
    if (m_target != name && m_target != std::to_string(m_count)) return;
    std::string message = "mailconduit: fault hook: stopping at " + name + "\n";
    ssize_t ignored = ::write(STDERR_FILENO, message.data(), message.size());
    (void)ignored;
    ::_exit(kFaultExitStatus);
}

}  // namespace conduit
