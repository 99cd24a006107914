#include "display/Progress.h"

#include "platform/WaitNotice.h"
#include "trevlin/Trevlin.h"

namespace conduit {

namespace {

constexpr std::size_t kBarWidth = 20;

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

Progress::Progress(std::ostream& err, bool interactive, bool quiet, bool verbose)
    : m_err(err), m_interactive(interactive), m_quiet(quiet), m_verbose(verbose) {}

Progress::~Progress() { finish(); }

std::string Progress::number(std::size_t n) {
    std::string digits = std::to_string(n);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

std::string Progress::line(const std::string& text, std::size_t done, std::size_t total, bool estimate, bool bar) {
    std::string shown = text;
    if (total == 0 && done == 0) return shown;
    shown += ": " + number(done);
    // A count past the number last seen has no total to speak of any more.
    if (total > 0 && !(estimate && done > total)) {
        shown += std::string(" of ") + (estimate ? "about " : "") + number(total);
        if (bar) {
            std::size_t filled = done >= total ? kBarWidth : done * kBarWidth / total;
            shown += "  [" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') + "]";
        }
    }
    return shown;
}

void Progress::phase(const std::string& text) {
    m_phase = text;
    m_wait.clear();
    m_done = m_total = 0;
    m_counted = m_byTurns = m_estimate = false;
    show(true);
}

void Progress::counted(const std::string& text, std::size_t done, std::size_t total) {
    m_phase = text;
    m_wait.clear();
    m_done = done;
    m_total = total;
    m_counted = true;
    m_byTurns = m_estimate = false;
    show(true);
}

void Progress::countingTurns(const std::string& text, std::size_t expected) {
    m_phase = text;
    m_wait.clear();
    m_done = 0;
    m_total = expected;
    m_counted = m_byTurns = true;
    m_estimate = true;
    show(true);
}

void Progress::yielded() {
    ++m_yields;
    if (m_byTurns) ++m_done;
    // Only the terminal line follows every turn; plain lines would flood a log.
    if (m_interactive && (m_byTurns || m_verbose)) show(false);
}

void Progress::waiting(const std::string& what, int seconds) {
    m_wait = seconds < 0 ? std::string() : "waiting for " + what + ": " + std::to_string(seconds) + " s";
    if (m_quiet) return;
    if (m_interactive) {
        show(false);
    } else if (lineDue(seconds)) {
        m_err << "mailconduit: " << (m_counted ? line(m_phase, m_done, m_total, m_estimate, false) : m_phase) << ": "
              << m_wait << "\n";
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

void Progress::show(bool newStep) {
    if (m_quiet || (!m_interactive && !newStep)) return;
    // A step counted by turns starts at nothing; its count shows once it moves.
    std::string text = m_counted ? line(m_phase, m_done, m_byTurns && m_done == 0 ? 0 : m_total, m_estimate,
                                        m_interactive)
                                 : m_phase;
    if (!m_wait.empty()) text += ": " + m_wait;
    if (m_verbose) text += "  (sync manager turns: " + std::to_string(m_yields) + ")";
    if (m_interactive) {
        m_err << "\r\033[K" << "mailconduit: " << text;
        m_open = true;
    } else {
        m_err << "mailconduit: " << text << "\n";
    }
    m_err.flush();
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
