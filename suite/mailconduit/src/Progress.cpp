#include "Progress.h"

#include "trevlin/Trevlin.h"

namespace conduit {

namespace {

int onYield(int /*cycles*/, void* context) {
    static_cast<Progress*>(context)->yielded();
    return 0;
}

}  // namespace

Progress::Progress(std::ostream& err, bool interactive, bool quiet)
    : m_err(err), m_interactive(interactive), m_quiet(quiet) {}

Progress::~Progress() { finish(); }

void Progress::phase(const std::string& text) {
    m_phase = text;
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

void Progress::finish() {
    if (m_open) {
        m_err << "\r\033[K";
        m_err.flush();
        m_open = false;
    }
}

void Progress::draw() {
    m_err << "\r\033[K" << "mailconduit: " << m_phase << "  [sync manager turns: " << m_yields << "]";
    m_err.flush();
    m_open = true;
}

YieldHookScope::YieldHookScope(Progress& progress) { TrevlinSetYieldHook(onYield, &progress); }

YieldHookScope::~YieldHookScope() { TrevlinSetYieldHook(nullptr, nullptr); }

}  // namespace conduit
