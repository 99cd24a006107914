// The progress line on standard error: the phase of the sync and how often the plug-in gave
// the sync manager a turn (SyncYieldCycles).
#pragma once

#include <ostream>
#include <string>

namespace conduit {

class Progress {
public:
    /// `interactive`: redraw one line in place (a terminal); otherwise one line per phase.
    /// `quiet`: show nothing.
    Progress(std::ostream& err, bool interactive, bool quiet = false);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    /// Enters a new phase, such as "Logging on" or "Sending 2 of 3".
    void phase(const std::string& text);
    /// One SyncYieldCycles call of the plug-in.
    void yielded();
    /// The plug-in's mail library waits for `what` ("the sending command") and has waited
    /// `seconds`; -1: the wait is over. Shown after the phase ("waiting for ...: 40 s").
    void waiting(const std::string& what, int seconds);
    /// Ends the line (call before printing anything else on the terminal).
    void finish();

    unsigned long yields() const { return m_yields; }

private:
    void draw();

    std::ostream& m_err;
    bool m_interactive;
    bool m_quiet;
    bool m_open = false;
    std::string m_phase;
    std::string m_wait;  // "waiting for the sending command: 40 s", or empty
    unsigned long m_yields = 0;
};

/// Routes the sync manager's yield hook and the mail libraries' wait notices
/// (platform/WaitNotice.h) to `progress` while it lives; both are removed again at the end.
class YieldHookScope {
public:
    explicit YieldHookScope(Progress& progress);
    ~YieldHookScope();
    YieldHookScope(const YieldHookScope&) = delete;
    YieldHookScope& operator=(const YieldHookScope&) = delete;
};

}  // namespace conduit
