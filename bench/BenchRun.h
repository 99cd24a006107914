// The measuring steps of sync-bench: generating the mailboxes, the floors, and each plug-in's
// steps, every one in a process of its own over a fresh desktop.
#pragma once

#include <string>
#include <vector>

#include "BenchFigures.h"

namespace vesk::bench {

/// From this many messages on a mailbox counts as large (fewer repetitions keep the run short).
constexpr unsigned kLargeMailbox = 20000;

/// Where things are and how often to measure.
struct BenchSetup {
    std::string work;            ///< folder for the generated mailboxes and the desktops
    std::string exampleDesktop;  ///< the example desktop the bench desktops are made from
    std::string moduleDir;       ///< where the plug-ins and their mail libraries are
    std::string conduit;         ///< the mailconduit program
    std::string self;            ///< this program, for its probes
    int repetitions = 3;         ///< each timed step runs this often; the median is kept
    int largeRepetitions = 1;    ///< the same for mailboxes of more than kLargeMailbox messages
    double deleteBudget = 20;    ///< DeleteMsg stops after this many seconds
    bool imap = true;            ///< also sync the small synthetic mailboxes over a loopback IMAP server
};

class BenchRun {
public:
    explicit BenchRun(BenchSetup setup) : m_setup(std::move(setup)) {}

    /// Generates `mailbox` (its mix and message count) into a folder below the work folder,
    /// unless a complete one is already there, then measures its floors. Returns false, with
    /// the reason on stderr, when it cannot.
    bool prepareMailbox(MailboxFigures& mailbox);

    /// Measures `plugin` (salvith, dunmere or orvek) over `mailbox`: the first GetAllMsgs and
    /// its peak memory; with `full` also the syncs and DeleteMsg of every message.
    PluginFigures measurePlugin(const std::string& plugin, const MailboxFigures& mailbox, bool full);

private:
    std::string mailboxDir(const MailboxFigures& mailbox) const;
    int repetitions(const MailboxFigures& mailbox) const;
    std::string freshDesktop(const std::string& name, const MailboxFigures& mailbox, PluginFigures& figures);
    void measureGetAll(const std::string& plugin, const MailboxFigures& mailbox, PluginFigures& figures);
    void measureSyncs(const std::string& plugin, const MailboxFigures& mailbox, PluginFigures& figures);
    void measureImapSyncs(const std::string& plugin, const MailboxFigures& mailbox, PluginFigures& figures);
    /// One `mailconduit sync` on desktop `env`: its wall time, or -1 with the failure noted;
    /// `countPeak`: its peak RSS counts towards the Maildir syncs' peak.
    double timedSync(const std::string& plugin, const std::vector<std::string>& env, const std::string& what,
                     const MailboxFigures& mailbox, PluginFigures& figures, bool countPeak);
    void measureDeletes(const std::string& plugin, const MailboxFigures& mailbox, PluginFigures& figures);

    BenchSetup m_setup;
    unsigned m_desktops = 0;
};

}  // namespace vesk::bench
