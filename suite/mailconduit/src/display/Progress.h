// The progress of a sync on standard error: the step it is at and, where it can be counted,
// how far it has got ("Reading the mailbox: 4,200 of about 10,000"). On a terminal one line
// is redrawn in place with a bar; elsewhere one line per step. How often the plug-in gave the
// sync manager a turn (SyncYieldCycles) is an internal, shown only when asked for.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>

namespace conduit {

class Progress {
public:
    /// `interactive`: a terminal (one line redrawn in place, with a bar when the step is
    /// counted), otherwise one line per step. `quiet`: show nothing. `verbose`: add
    /// the sync manager's turns.
    Progress(std::ostream& err, bool interactive, bool quiet = false, bool verbose = false);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    /// Enters a new step, such as "Logging on".
    void phase(const std::string& text);
    /// Enters a step of `total` items of which `done` are done ("Sending: 2 of 3").
    void counted(const std::string& text, std::size_t done, std::size_t total);
    /// Enters a step whose items are counted by the plug-in's turns (a plug-in that yields
    /// once per message while it reads the mailbox); `expected` is the number last seen (0
    /// when unknown), shown as "of about N".
    void countingTurns(const std::string& text, std::size_t expected);
    /// One SyncYieldCycles call of the plug-in.
    void yielded();
    /// The plug-in's mail library waits for `what` ("the sending command") and has waited
    /// `seconds`; -1: the wait is over. Shown after the phase ("waiting for ...: 40 s").
    void waiting(const std::string& what, int seconds);
    /// Ends the line (call before printing anything else on the terminal).
    void finish();

    unsigned long yields() const { return m_yields; }

    /// "4,200": a count with thousands separated, as the progress line shows it.
    static std::string number(std::size_t n);
    /// The text of the line for a step: "TEXT", "TEXT: DONE of TOTAL", "TEXT: DONE of about
    /// TOTAL", with "[####......]" after it on a terminal when there is a total.
    static std::string line(const std::string& text, std::size_t done, std::size_t total, bool estimate, bool bar);

private:
    void show(bool newStep);

    std::ostream& m_err;
    bool m_interactive;
    bool m_quiet;
    bool m_verbose;
    bool m_open = false;
    std::string m_phase;
    std::string m_wait;  // "waiting for the sending command: 40 s", or empty
    std::size_t m_done = 0;
    std::size_t m_total = 0;
    bool m_counted = false;      // the step shows a count
    bool m_byTurns = false;      // ... advanced by the plug-in's turns
    bool m_estimate = false;     // the total is the number last seen
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
