#include "Progress.h"

#include "platform/WaitNotice.h"
#include "trevlin/Trevlin.h"

namespace conduit {

namespace {

int onYield(int /*cycles*/, void* context) {
    static_cast<Progress*>(context)->yielded();
    return 0;
}

void onWait(const char* what, int seconds, void* context) {
    static_cast<Progress*>(context)->waiting(what, seconds);
}

// Without a terminal, a wait is written once it lasts two seconds, then every ten.
bool lineDue(int seconds) { return seconds == 2 || (seconds > 0 && seconds % 10 == 0); }

}  // namespace

Progress::Progress(std::ostream& err, bool interactive, bool quiet)
    : m_err(err), m_interactive(interactive), m_quiet(quiet) {}

Progress::~Progress() { finish(); }

void Progress::phase(const std::string& text) {
    m_phase = text;
    m_wait.clear();
    if (m_quiet) return;
    if (m_interactive) {
        draw();
    } else {
        m_err << "mailconduit: " << m_phase << " (yields so far: " << m_yields << ")\n";
        m_err.flush();
    }
}

void Progress::yielded() {
    ++m_yields;
    if (!m_quiet && m_interactive) draw();
}

void Progress::waiting(const std::string& what, int seconds) {
    m_wait = seconds < 0 ? std::string() : "waiting for " + what + ": " + std::to_string(seconds) + " s";
    if (m_quiet) return;
    if (m_interactive) {
        draw();
    } else if (lineDue(seconds)) {
        m_err << "mailconduit: " << m_phase << ": " << m_wait << "\n";
        m_err.flush();
    }
}

void Progress::finish() {
    if (m_open) {
        m_err << "\r\033[K";
        m_err.flush();
        m_open = false;
    }
}

void Progress::draw() {
    m_err << "\r\033[K" << "mailconduit: " << m_phase;
    if (!m_wait.empty()) m_err << ": " << m_wait;
    m_err << "  [sync manager turns: " << m_yields << "]";
    m_err.flush();
    m_open = true;
}

YieldHookScope::YieldHookScope(Progress& progress) {
    TrevlinSetYieldHook(onYield, &progress);
    vesk::setWaitHook(onWait, &progress);
}

YieldHookScope::~YieldHookScope() {
    TrevlinSetYieldHook(nullptr, nullptr);
    vesk::setWaitHook(nullptr, nullptr);
}

}  // namespace conduit
