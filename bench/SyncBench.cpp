// sync-bench: the whole-process benchmark of the plug-ins at scale. Builds 10,000 and 100,000
// message Maildirs and prints, for each plug-in, the first GetAllMsgs, the conduit's syncs, peak
// memory and DeleteMsg of every message beside the two floors (reading the files' bytes and a
// bare GMime parse), as markdown tables. bench/README.md says what each column means.
//
//   sync-bench [--quick] [--sizes N,N] [--repetitions N] [--large-repetitions N] [--plugins a,b] [--no-mix]
//              [--work DIR] [--delete-budget SECONDS] [--output FILE]
//   sync-bench probe getall|delete|read|parse ...   (one measured step; run by sync-bench itself)
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "BenchDesktop.h"
#include "BenchReport.h"
#include "BenchRun.h"
#include "FloorProbe.h"
#include "PluginProbe.h"
#include "ProcessRun.h"

using namespace vesk::bench;

namespace {

constexpr const char* kUsage =
    "usage: sync-bench [--quick] [--sizes N,N] [--repetitions N] [--large-repetitions N]\n"
    "                  [--plugins a,b] [--no-mix] [--no-imap]\n"
    "                  [--work DIR] [--delete-budget SECONDS] [--output FILE]\n"
    "  --quick          10,000 messages only, one repetition\n"
    "  --sizes          message counts of the synthetic mailboxes (default 10000,100000)\n"
    "  --repetitions    runs of each timed step; the median is shown (default 3)\n"
    "  --large-repetitions  the same for mailboxes of 20,000 messages or more (default 1)\n"
    "  --plugins        which plug-ins (default salvith,dunmere,orvek)\n"
    "  --no-mix         leave out the real-world mix mailbox (10,000 messages, GetAllMsgs only)\n"
    "  --no-imap        leave out the syncs over a loopback IMAP server (synthetic mailboxes\n"
    "                   below 20,000 messages; needs /usr/sbin/dovecot)\n"
    "  --work DIR       keep the generated mailboxes in DIR and use them again next time\n"
    "                   (default: a temporary folder removed at the end)\n"
    "  --delete-budget  seconds DeleteMsg may take per plug-in and mailbox (default 20)\n"
    "  --output FILE    also write the tables to FILE\n";

struct Options {
    std::vector<unsigned> sizes = {10000, 100000};
    std::vector<std::string> plugins = {"salvith", "dunmere", "orvek"};
    int repetitions = 3, largeRepetitions = 1;
    bool mix = true;
    bool imap = true;
    std::string work, output;
    double deleteBudget = 20;
};

std::vector<std::string> splitList(const std::string& text) {
    std::vector<std::string> items;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');) {
        if (!item.empty()) items.push_back(item);
    }
    return items;
}

bool parsePositive(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && value > 0;
}

// Returns an error text, or "" when `args` are understood.
std::string parseOptions(const std::vector<std::string>& args, Options& options) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string text;
        double number = 0;
        if (arg == "--quick") {
            options.sizes = {10000};
            options.repetitions = 1;
        } else if (arg == "--no-mix") {
            options.mix = false;
        } else if (arg == "--no-imap") {
            options.imap = false;
        } else if (arg == "--sizes" && value(text)) {
            options.sizes.clear();
            for (const std::string& item : splitList(text)) {
                if (!parsePositive(item, number)) return "--sizes: " + item + " is not a message count";
                options.sizes.push_back(static_cast<unsigned>(number));
            }
            if (options.sizes.empty()) return "--sizes needs at least one count";
        } else if (arg == "--repetitions" && value(text)) {
            if (!parsePositive(text, number)) return "--repetitions: " + text + " is not a positive number";
            options.repetitions = static_cast<int>(number);
        } else if (arg == "--large-repetitions" && value(text)) {
            if (!parsePositive(text, number)) return "--large-repetitions: " + text + " is not a positive number";
            options.largeRepetitions = static_cast<int>(number);
        } else if (arg == "--plugins" && value(text)) {
            options.plugins = splitList(text);
            for (const std::string& plugin : options.plugins) {
                if (plugin != "salvith" && plugin != "dunmere" && plugin != "orvek") return "--plugins: no plug-in " + plugin;
            }
        } else if (arg == "--work" && value(text)) {
            options.work = text;
        } else if (arg == "--delete-budget" && value(text)) {
            if (!parsePositive(text, options.deleteBudget)) return "--delete-budget: " + text + " is not a positive number";
        } else if (arg == "--output" && value(text)) {
            options.output = text;
        } else {
            return "cannot use " + arg;
        }
    }
    return "";
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

std::string utcNow() {
    std::time_t t = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", std::gmtime(&t));
    return text;
}

int runProbe(const std::vector<std::string>& args) {
    double budget = 0;
    if (args.size() == 3 && args[0] == "getall") return probeGetAll(args[1], args[2]);
    if (args.size() == 4 && args[0] == "delete" && parsePositive(args[3], budget)) {
        return probeDeleteAll(args[1], args[2], budget);
    }
    if (args.size() == 2 && args[0] == "read") return probeReadBytes(args[1]);
    if (args.size() == 2 && args[0] == "parse") return probeGMimeParse(args[1]);
    std::fprintf(stderr, "sync-bench probe: cannot use these arguments\n");
    return 2;
}

bool writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) std::fprintf(stderr, "sync-bench: cannot write %s\n", path.c_str());
    return static_cast<bool>(out);
}

bool exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args[0] == "probe") return runProbe({args.begin() + 1, args.end()});
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    Options options;
    if (std::string error = parseOptions(args, options); !error.empty()) {
        std::fprintf(stderr, "sync-bench: %s\n%s", error.c_str(), kUsage);
        return 2;
    }

    BenchSetup setup;
    setup.exampleDesktop = SYNC_BENCH_EXAMPLE_DESKTOP;
    setup.moduleDir = SYNC_BENCH_MODULE_DIR;
    setup.conduit = SYNC_BENCH_CONDUIT;
    setup.self = selfPath();
    setup.repetitions = options.repetitions;
    setup.largeRepetitions = options.largeRepetitions;
    setup.deleteBudget = options.deleteBudget;
    setup.imap = options.imap;
    bool temporaryWork = options.work.empty();
    if (temporaryWork) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/sync-bench-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::fprintf(stderr, "sync-bench: cannot create a folder like %s: %s\n", pattern.c_str(), std::strerror(errno));
            return 1;
        }
        setup.work = pattern;
    } else {
        setup.work = options.work;
        ::mkdir(setup.work.c_str(), 0700);
    }
    if (!exists(setup.conduit)) {
        std::fprintf(stderr, "sync-bench: %s is not built (cmake --build ... --target mailconduit_runtime)\n",
                     setup.conduit.c_str());
        return 1;
    }

    std::string startLoad = loadAverage(), started = utcNow();
    std::time_t startTime = std::time(nullptr);
    BenchRun run(setup);
    // Small mailboxes first, so a run cut short has the quick figures of every plug-in.
    std::vector<MailboxFigures> mailboxes;
    std::sort(options.sizes.begin(), options.sizes.end());
    for (unsigned size : options.sizes) {
        if (size >= kLargeMailbox && options.mix) mailboxes.push_back({"real-world mix", MailMix::RealWorld, 10000});
        if (size >= kLargeMailbox) options.mix = false;
        mailboxes.push_back({"synthetic", MailMix::Synthetic, size});
    }
    if (options.mix) mailboxes.push_back({"real-world mix", MailMix::RealWorld, 10000});
    long cores = ::sysconf(_SC_NPROCESSORS_ONLN);
    auto runs = [](int n) { return n == 1 ? std::string("1 run") : "median of " + std::to_string(n) + " runs"; };
    auto report = [&](const std::vector<PluginFigures>& figures) {
        std::string machine = "Measured " + started + " on " + std::to_string(cores) +
                              " cores; load average (1, 5, 15 min) " + startLoad + " at the start, " + loadAverage() +
                              " at the end; " + runs(options.repetitions) + " per step below " +
                              std::to_string(kLargeMailbox) + " messages, " + runs(options.largeRepetitions) +
                              " from there on; files in the page cache; " +
                              std::to_string(static_cast<long>(std::time(nullptr) - startTime) / 60) + " min in all.";
        return markdownReport(figures, machine);
    };
    // The figures point into `mailboxes`: it is filled once, before anything is measured.
    std::vector<PluginFigures> figures;
    figures.reserve(mailboxes.size() * options.plugins.size());
    int status = 0;
    for (MailboxFigures& mailbox : mailboxes) {
        if (!run.prepareMailbox(mailbox)) {
            status = 1;
            continue;
        }
        for (const std::string& plugin : options.plugins) {
            if (!exists(setup.moduleDir + "/" + plugin + ".so")) {
                std::fprintf(stderr, "sync-bench: %s/%s.so is not built; left out\n", setup.moduleDir.c_str(), plugin.c_str());
                continue;
            }
            figures.push_back(run.measurePlugin(plugin, mailbox, mailbox.mix == MailMix::Synthetic));
            if (!figures.back().problems.empty()) status = 1;
            // The file holds the tables so far, so a run cut short still leaves what it measured.
            if (!options.output.empty() && !writeFile(options.output, report(figures))) status = 1;
        }
    }
    std::fputs(report(figures).c_str(), stdout);
    if (temporaryWork) removeTree(setup.work);
    return status;
}
