#include "BenchRun.h"

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>

#include "BenchDesktop.h"
#include "desktop/ImapDesktop.h"
#include "FloorProbe.h"
#include "MaildirChange.h"
#include "ProcessRun.h"

namespace vesk::bench {
namespace {

// The generator's seed; the new messages of a change use another.
constexpr unsigned kSeed = 1;
// The share of the messages a change touches.
constexpr double kChangeFraction = 0.01;

void progress(const std::string& text) {
    std::time_t t = std::time(nullptr);
    char clock[16];
    std::strftime(clock, sizeof clock, "%H:%M:%S", std::gmtime(&t));
    std::fprintf(stderr, "[%s] %s\n", clock, text.c_str());
}

std::vector<std::string> desktopEnvironment(const std::string& home, const std::string& moduleDir) {
    // Everything a step might keep (caches included) stays inside its desktop.
    return {"VESK_HOME=" + home, "VESK_LIBRARY_PATH=" + moduleDir, "HOME=" + home,
            "XDG_CACHE_HOME=" + home + "/.cache", "XDG_DATA_HOME=" + home + "/.local/share",
            "XDG_CONFIG_HOME=" + home + "/.config"};
}

std::string failureText(const std::string& step, const ProcessResult& run) {
    std::string err = run.err.substr(0, 400);
    while (!err.empty() && (err.back() == '\n' || err.back() == '\r')) err.pop_back();
    for (char& c : err) {
        if (c == '\n' || c == '|') c = ' ';
    }
    return step + " exited with " + std::to_string(run.status) + (err.empty() ? "" : ": " + err);
}

}  // namespace

std::string BenchRun::mailboxDir(const MailboxFigures& mailbox) const {
    return m_setup.work + "/" + (mailbox.mix == MailMix::RealWorld ? "mix-" : "synthetic-") +
           std::to_string(mailbox.messages);
}

int BenchRun::repetitions(const MailboxFigures& mailbox) const {
    return mailbox.messages >= kLargeMailbox ? m_setup.largeRepetitions : m_setup.repetitions;
}

bool BenchRun::prepareMailbox(MailboxFigures& mailbox) {
    std::string dir = mailboxDir(mailbox);
    std::string done = dir + "/.complete";  // a generation cut off is done again
    struct stat info {};
    if (::stat(done.c_str(), &info) != 0) {
        progress("generating " + std::to_string(mailbox.messages) + " " + mailbox.label + " messages in " + dir);
        removeTree(dir);
        if (!writeSyntheticMaildir(dir, mailbox.messages, kSeed, mailbox.mix)) return false;
        if (FILE* mark = std::fopen(done.c_str(), "w")) std::fclose(mark);
    }
    std::vector<double> reads, parses;
    // One untimed read first: every step is measured with the files in the page cache.
    runMeasured({m_setup.self, "probe", "read", dir}, {});
    for (int rep = 0; rep < repetitions(mailbox); ++rep) {
        ProcessResult read = runMeasured({m_setup.self, "probe", "read", dir}, {});
        double seconds = -1;
        std::size_t files = 0;
        long long bytes = 0;
        if (read.status != 0 || std::sscanf(read.out.c_str(), "%lf %zu %lld", &seconds, &files, &bytes) != 3) {
            std::fprintf(stderr, "%s\n", failureText("reading " + dir, read).c_str());
            return false;
        }
        reads.push_back(seconds);
        mailbox.bytes = bytes;
        ProcessResult parse = runMeasured({m_setup.self, "probe", "parse", dir}, {});
        if (parse.status != 0 || std::sscanf(parse.out.c_str(), "%lf", &seconds) != 1) {
            std::fprintf(stderr, "%s\n", failureText("parsing " + dir, parse).c_str());
            return false;
        }
        parses.push_back(seconds);
    }
    mailbox.readSeconds = median(reads);
    mailbox.parseSeconds = median(parses);
    progress(mailbox.label + " " + std::to_string(mailbox.messages) + ": read " + std::to_string(mailbox.readSeconds) +
             " s, GMime parse " + std::to_string(mailbox.parseSeconds) + " s");
    return true;
}

std::string BenchRun::freshDesktop(const std::string& name, const MailboxFigures& mailbox, PluginFigures& figures) {
    std::string home = m_setup.work + "/desktop-" + std::to_string(++m_desktops) + "-" + name;
    removeTree(home);
    std::string error = makeBenchDesktop(m_setup.exampleDesktop, home, mailboxDir(mailbox));
    if (!error.empty()) {
        figures.problems.push_back("desktop: " + error);
        removeTree(home);
        return "";
    }
    return home;
}

void BenchRun::measureGetAll(const std::string& plugin, const MailboxFigures& mailbox, PluginFigures& figures) {
    std::vector<double> times;
    for (int rep = 0; rep < repetitions(mailbox); ++rep) {
        progress(plugin + " " + std::to_string(mailbox.messages) + " " + mailbox.label + ": GetAllMsgs " +
                 std::to_string(rep + 1) + "/" + std::to_string(repetitions(mailbox)));
        std::string home = freshDesktop(plugin + "-getall", mailbox, figures);
        if (home.empty()) return;
        ProcessResult run = runMeasured({m_setup.self, "probe", "getall", plugin + ".dll", home + "/conduit/" + plugin + ".ini"},
                                        desktopEnvironment(home, m_setup.moduleDir));
        removeTree(home);
        double seconds = -1;
        int count = 0;
        long long bytes = 0;
        if (run.status != 0 || std::sscanf(run.out.c_str(), "%lf %d %lld", &seconds, &count, &bytes) != 3) {
            figures.problems.push_back(failureText("GetAllMsgs", run));
            return;
        }
        if (count != static_cast<int>(mailbox.messages)) {
            figures.problems.push_back("GetAllMsgs handed out " + std::to_string(count) + " of " +
                                       std::to_string(mailbox.messages) + " messages");
        }
        times.push_back(seconds);
        figures.recordBytes = bytes;
        figures.getAllPeak = std::max(figures.getAllPeak, run.peakRss);
    }
    figures.getAll = median(times);
}

double BenchRun::timedSync(const std::string& plugin, const std::vector<std::string>& env, const std::string& what,
                           const MailboxFigures& mailbox, PluginFigures& figures, bool countPeak) {
    progress(plugin + " " + std::to_string(mailbox.messages) + ": " + what);
    ProcessResult run = runMeasured({m_setup.conduit, "sync", "--plugin", plugin, "--yes", "--quiet"}, env);
    if (run.status != 0) {
        figures.problems.push_back(failureText(what, run));
        return -1.0;
    }
    if (countPeak) figures.syncPeak = std::max(figures.syncPeak, run.peakRss);
    return run.seconds;
}

void BenchRun::measureSyncs(const std::string& plugin, const MailboxFigures& mailbox, PluginFigures& figures) {
    std::string home = freshDesktop(plugin + "-sync", mailbox, figures);
    if (home.empty()) return;
    std::vector<std::string> env = desktopEnvironment(home, m_setup.moduleDir);
    figures.firstSync = timedSync(plugin, env, "first sync", mailbox, figures, true);
    if (figures.firstSync >= 0) {
        std::vector<double> unchanged, changed;
        for (int rep = 0; rep < repetitions(mailbox); ++rep) {
            unchanged.push_back(timedSync(plugin, env, "unchanged re-sync", mailbox, figures, true));
        }
        figures.resync = median(unchanged);
        for (int rep = 0; rep < repetitions(mailbox); ++rep) {
            MaildirChangeCount change = changeMaildir(desktopMailbox(home), kChangeFraction, rep + 1, mailbox.mix);
            if (!change.error.empty()) {
                figures.problems.push_back(change.error);
                changed.push_back(-1);
                break;
            }
            changed.push_back(timedSync(plugin, env,
                                        "re-sync after " + std::to_string(change.renamed) + " renamed, " +
                                            std::to_string(change.added) + " new, " + std::to_string(change.removed) +
                                            " removed",
                                        mailbox, figures, true));
        }
        figures.change = median(changed);
    }
    removeTree(home);
}

// The same mailbox on a Dovecot of its own on loopback (as `mailconduit demo --imap` makes it):
// the first sync fetches every message once; the unchanged re-sync asks the server what
// changed and reads the rest from the local parse cache.
void BenchRun::measureImapSyncs(const std::string& plugin, const MailboxFigures& mailbox, PluginFigures& figures) {
    std::string home = freshDesktop(plugin + "-imap", mailbox, figures);
    if (home.empty()) return;
    progress(plugin + " " + std::to_string(mailbox.messages) + ": moving the mailbox onto a loopback IMAP server");
    const char* previous = std::getenv("VESK_HOME");
    std::string saved = previous ? previous : "";
    ::setenv("VESK_HOME", home.c_str(), 1);  // the desktop's registry is the one pointed at the server
    conduit::ImapDesktop imap;
    std::optional<std::string> error = conduit::moveDesktopToImap(home, imap);
    if (saved.empty()) ::unsetenv("VESK_HOME");
    else ::setenv("VESK_HOME", saved.c_str(), 1);
    if (error) {
        figures.problems.push_back("IMAP: " + *error);
    } else {
        std::vector<std::string> env = desktopEnvironment(home, m_setup.moduleDir);
        figures.imapFirstSync = timedSync(plugin, env, "first sync over IMAP", mailbox, figures, false);
        if (figures.imapFirstSync >= 0) {
            std::vector<double> unchanged;
            for (int rep = 0; rep < repetitions(mailbox); ++rep) {
                unchanged.push_back(timedSync(plugin, env, "unchanged re-sync over IMAP", mailbox, figures, false));
            }
            figures.imapResync = median(unchanged);
        }
    }
    imap.server.reset();
    removeTree(home);
}

void BenchRun::measureDeletes(const std::string& plugin, const MailboxFigures& mailbox, PluginFigures& figures) {
    progress(plugin + " " + std::to_string(mailbox.messages) + ": DeleteMsg of every message");
    std::string home = freshDesktop(plugin + "-delete", mailbox, figures);
    if (home.empty()) return;
    char budget[32];
    std::snprintf(budget, sizeof budget, "%g", m_setup.deleteBudget);
    ProcessResult run = runMeasured({m_setup.self, "probe", "delete", plugin + ".dll", home + "/conduit/" + plugin + ".ini", budget},
                                    desktopEnvironment(home, m_setup.moduleDir));
    removeTree(home);
    if (run.status != 0 || std::sscanf(run.out.c_str(), "%lf %d %d %d", &figures.deleteSeconds, &figures.deleted,
                                       &figures.deleteTotal, &figures.deleteFailures) != 4) {
        figures.deleteSeconds = -1;
        figures.problems.push_back(failureText("DeleteMsg", run));
        return;
    }
    if (figures.deleteFailures) {
        figures.problems.push_back(std::to_string(figures.deleteFailures) + " DeleteMsg calls failed");
    }
}

PluginFigures BenchRun::measurePlugin(const std::string& plugin, const MailboxFigures& mailbox, bool full) {
    PluginFigures figures;
    figures.plugin = plugin;
    figures.mailbox = &mailbox;
    measureGetAll(plugin, mailbox, figures);
    if (full) {
        measureSyncs(plugin, mailbox, figures);
        if (m_setup.imap && mailbox.messages < kLargeMailbox) measureImapSyncs(plugin, mailbox, figures);
        measureDeletes(plugin, mailbox, figures);
    }
    return figures;
}

}  // namespace vesk::bench
