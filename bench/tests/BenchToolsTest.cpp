// The benchmark's own tools: the change made between syncs, the desktops, the measured
// process runs, the medians and the marks in the report. Wrong tools would give numbers that
// look fine and mean nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "BenchDesktop.h"
#include "BenchReport.h"
#include "FloorProbe.h"
#include "MaildirChange.h"
#include "ProcessRun.h"
#include "SyntheticMail.h"

namespace vesk::bench {
namespace {

namespace fs = std::filesystem;

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (fs::temp_directory_path() / "bench-tools-XXXXXX").string();
        if (::mkdtemp(pattern.data())) m_path = pattern;
    }
    ~TempFolder() { removeTree(m_path); }
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

std::set<std::string> names(const std::vector<std::string>& paths) { return {paths.begin(), paths.end()}; }

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(MaildirChangeTest, ChangesTheAskedShareAndKeepsTheCount) {
    TempFolder dir;
    ASSERT_TRUE(writeSyntheticMaildir(dir.path(), 400, 3));
    std::set<std::string> before = names(maildirFiles(dir.path()));

    MaildirChangeCount change = changeMaildir(dir.path(), 0.05, 1, MailMix::Synthetic);
    ASSERT_EQ(change.error, "");
    EXPECT_EQ(change.renamed, 16u);  // 20 touched: 16 renamed, 2 removed, 2 new
    EXPECT_EQ(change.removed, 2u);
    EXPECT_EQ(change.added, 2u);
    std::set<std::string> after = names(maildirFiles(dir.path()));
    EXPECT_EQ(after.size(), before.size());

    std::vector<std::string> gone, arrived;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(gone));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(arrived));
    EXPECT_EQ(gone.size(), 18u);     // renamed away or removed
    EXPECT_EQ(arrived.size(), 18u);  // renamed to, or new
    for (const std::string& path : arrived) {
        SCOPED_TRACE(path);
        bool isNew = path.find("/new/") != std::string::npos;
        if (isNew) continue;
        std::size_t info = path.find(":2,");
        ASSERT_NE(info, std::string::npos);  // a renamed message carries flags, in cur/
        std::string flags = path.substr(info + 3);
        EXPECT_TRUE(std::is_sorted(flags.begin(), flags.end()));
        EXPECT_EQ(flags.find_first_not_of("RS"), std::string::npos);
    }
    EXPECT_EQ(std::count_if(arrived.begin(), arrived.end(), [](const std::string& p) { return p.find("/new/") != std::string::npos; }), 2);
}

TEST(MaildirChangeTest, EachRoundTouchesOtherMessages) {
    TempFolder one, two;
    ASSERT_TRUE(writeSyntheticMaildir(one.path(), 300, 3));
    ASSERT_TRUE(writeSyntheticMaildir(two.path(), 300, 3));
    ASSERT_EQ(changeMaildir(one.path(), 0.05, 1, MailMix::Synthetic).error, "");
    ASSERT_EQ(changeMaildir(two.path(), 0.05, 2, MailMix::Synthetic).error, "");
    auto relative = [](const std::string& root) {
        std::set<std::string> out;
        for (const std::string& p : maildirFiles(root)) out.insert(p.substr(root.size()));
        return out;
    };
    EXPECT_NE(relative(one.path()), relative(two.path()));
}

TEST(BenchDesktopTest, SettingsPointIntoTheDesktopAndTheMailboxIsLinked) {
    TempFolder work;
    std::string mail = work.path() + "/mail", home = work.path() + "/home";
    ASSERT_TRUE(writeSyntheticMaildir(mail, 30, 1));
    ASSERT_EQ(makeBenchDesktop(SYNC_BENCH_EXAMPLE_DESKTOP, home, mail), "");

    std::string registry = slurp(home + "/registry.reg");
    EXPECT_EQ(registry.find("@VESK_HOME@"), std::string::npos);
    EXPECT_NE(registry.find(home + "/bin/capture-sendmail"), std::string::npos);
    EXPECT_EQ(slurp(home + "/conduit/orvek.ini").find("@VESK_HOME@"), std::string::npos);
    EXPECT_EQ(::access((home + "/bin/capture-sendmail").c_str(), X_OK), 0);
    EXPECT_TRUE(fs::is_directory(desktopMailbox(home) + "/tmp"));
    EXPECT_TRUE(fs::is_directory(home + "/mail/mira/tmp"));

    // Exactly the generated messages, as links to the same files: none of the sample ones.
    std::vector<std::string> linked = maildirFiles(desktopMailbox(home));
    ASSERT_EQ(linked.size(), 30u);
    for (const std::string& path : linked) {
        std::string source = mail + path.substr(desktopMailbox(home).size());
        struct stat a {}, b {};
        ASSERT_EQ(::stat(path.c_str(), &a), 0) << path;
        ASSERT_EQ(::stat(source.c_str(), &b), 0) << source;
        EXPECT_EQ(a.st_ino, b.st_ino) << path;
    }
    // A desktop is only ever made fresh.
    EXPECT_NE(makeBenchDesktop(SYNC_BENCH_EXAMPLE_DESKTOP, home, mail), "");
}

TEST(ProcessRunTest, ReportsStatusOutputAndEnvironment) {
    ProcessResult run = runMeasured({"/bin/sh", "-c", "echo \"$BENCH_PROBE\"; echo oops >&2; exit 3"}, {"BENCH_PROBE=seen"});
    EXPECT_EQ(run.status, 3);
    EXPECT_EQ(run.out, "seen\n");
    EXPECT_EQ(run.err, "oops\n");
    EXPECT_GT(run.peakRss, 0);
    EXPECT_EQ(runMeasured({"/nonexistent/program"}, {}).status, 127);
}

TEST(BenchFiguresTest, MedianOfRunsAndFailedRuns) {
    struct Row {
        std::vector<double> values;
        double median;
    } rows[] = {
        {{3, 1, 2}, 2},
        {{4, 1, 3, 2}, 2.5},
        {{5}, 5},
        {{}, -1},         // nothing measured
        {{1, -1, 3}, -1}, // one run failed: no median pretends otherwise
    };
    for (const Row& row : rows) EXPECT_DOUBLE_EQ(median(row.values), row.median);
}

TEST(BenchReportTest, MarksOnlyTheRatiosThatMissTheirTargets) {
    MailboxFigures mailbox{"synthetic", MailMix::Synthetic, 10000, 40000000, 0.1, 1.0};
    PluginFigures f;
    f.plugin = "salvith";
    f.mailbox = &mailbox;
    f.getAll = 1.4;        // 1.4x the parse: met
    f.resync = 0.5;        // 5x the read: missed
    f.change = 0.35;       // 3.5x: met
    f.recordBytes = 20000000;
    f.getAllPeak = 60000000;  // 3x: missed
    f.syncPeak = 40000000;    // 2x: met
    f.deleteSeconds = 2;
    f.deleted = 1000;
    f.deleteTotal = 10000;
    std::string report = markdownReport({f}, "machine");
    EXPECT_NE(report.find("1.40 s (1.4x)"), std::string::npos) << report;
    EXPECT_NE(report.find("0.500 s (5.0x ✗)"), std::string::npos) << report;
    EXPECT_NE(report.find("0.350 s (3.5x)"), std::string::npos) << report;
    EXPECT_NE(report.find("60.0 MB (3.0x ✗)"), std::string::npos) << report;
    EXPECT_NE(report.find("40.0 MB (2.0x)"), std::string::npos) << report;
    EXPECT_NE(report.find("2000 µs (1,000 of 10,000)"), std::string::npos) << report;
}

}  // namespace
}  // namespace vesk::bench
