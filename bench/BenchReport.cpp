#include "BenchReport.h"

#include <cstdio>
#include <map>

namespace vesk::bench {
namespace {

// The targets the ratios are held to; a ratio that misses its target is marked.
constexpr double kGetAllPerParse = 1.5, kResyncPerRead = 3, kChangePerRead = 4, kScale = 11,
                 kPeakPerRecords = 2.5, kDeleteLinear = 1.5, kImapPerMaildir = 2;
constexpr const char* kMissed = " ✗";

std::string format(const char* pattern, double value) {
    char text[64];
    std::snprintf(text, sizeof text, pattern, value);
    return text;
}

std::string seconds(double s) {
    if (s < 0) return "–";
    return s < 1 ? format("%.3f s", s) : format("%.2f s", s);
}

std::string megabytes(long long bytes) { return bytes <= 0 ? "–" : format("%.1f MB", bytes / 1e6); }

std::string ratio(double numerator, double denominator, double target) {
    if (numerator < 0 || denominator <= 0) return "";
    double r = numerator / denominator;
    return format(r < 10 ? " (%.1fx" : " (%.0fx", r) + (r > target ? kMissed : "") + ")";
}

std::string thousands(long long n) {
    std::string digits = std::to_string(n), text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i && (digits.size() - i) % 3 == 0) text += ',';
        text += digits[i];
    }
    return text;
}

double perMessage(const PluginFigures& f) {
    return f.deleteSeconds < 0 || f.deleted == 0 ? -1 : f.deleteSeconds / f.deleted;
}

std::string deletePerMessage(const PluginFigures& f) {
    double each = perMessage(f);
    if (each < 0) return "–";
    std::string text = format("%.0f µs", each * 1e6);
    if (f.deleted < f.deleteTotal) text += " (" + thousands(f.deleted) + " of " + thousands(f.deleteTotal) + ")";
    if (f.deleteFailures) text += ", " + thousands(f.deleteFailures) + " failed";
    return text;
}

// The cells both result tables start with: plug-in, mailbox, floors and the first GetAllMsgs.
std::string leadingCells(const PluginFigures& f) {
    const MailboxFigures& m = *f.mailbox;
    return "| " + f.plugin + " | " + thousands(m.messages) + " | " + megabytes(m.bytes) + " | " + seconds(m.readSeconds) +
           " | " + seconds(m.parseSeconds) + " | " + seconds(f.getAll) + ratio(f.getAll, m.parseSeconds, kGetAllPerParse) +
           " | ";
}

std::string getAllPeakCell(const PluginFigures& f) {
    return megabytes(f.getAllPeak) + ratio(f.getAllPeak, f.recordBytes, kPeakPerRecords);
}

std::string mainTable(const std::vector<PluginFigures>& figures) {
    std::string t =
        "| plug-in | messages | mailbox | read bytes | GMime parse | first GetAllMsgs (÷ parse) | first sync | "
        "unchanged re-sync (÷ read) | 1% changed (÷ read) | records handed out | peak RSS GetAllMsgs (÷ records) | "
        "peak RSS sync (÷ records) | DeleteMsg per message |\n"
        "|---|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|--:|\n";
    for (const PluginFigures& f : figures) {
        const MailboxFigures& m = *f.mailbox;
        if (m.mix != MailMix::Synthetic) continue;
        t += leadingCells(f) + seconds(f.firstSync) + " | " +
             seconds(f.resync) + ratio(f.resync, m.readSeconds, kResyncPerRead) + " | " + seconds(f.change) +
             ratio(f.change, m.readSeconds, kChangePerRead) + " | " + megabytes(f.recordBytes) + " | " +
             getAllPeakCell(f) + " | " + megabytes(f.syncPeak) + ratio(f.syncPeak, f.recordBytes, kPeakPerRecords) + " | " +
             deletePerMessage(f) + " |\n";
    }
    return t;
}

std::string scaleCell(double large, double small, double target) {
    if (large < 0 || small <= 0) return "–";
    double r = large / small;
    return format("%.1fx", r) + (r > target ? kMissed : "");
}

// 100,000 against 10,000 messages, per plug-in, when both ran.
std::string scaleTable(const std::vector<PluginFigures>& figures) {
    std::map<std::string, std::map<unsigned, const PluginFigures*>> byPlugin;
    for (const PluginFigures& f : figures) {
        if (f.mailbox->mix == MailMix::Synthetic) byPlugin[f.plugin][f.mailbox->messages] = &f;
    }
    std::string rows;
    for (const auto& [plugin, sizes] : byPlugin) {
        if (sizes.size() < 2) continue;
        const PluginFigures& small = *sizes.begin()->second;
        const PluginFigures& large = *sizes.rbegin()->second;
        rows += "| " + plugin + " | " + scaleCell(large.getAll, small.getAll, kScale) + " | " +
                scaleCell(large.firstSync, small.firstSync, kScale) + " | " +
                scaleCell(large.resync, small.resync, kScale) + " | " + scaleCell(large.change, small.change, kScale) +
                " | " + scaleCell(large.syncPeak, small.syncPeak, kScale) + " | " +
                scaleCell(perMessage(large), perMessage(small), kDeleteLinear) + " |\n";
    }
    if (rows.empty()) return "";
    return "| plug-in | first GetAllMsgs | first sync | unchanged re-sync | 1% changed | peak RSS sync | "
           "DeleteMsg per message |\n|---|--:|--:|--:|--:|--:|--:|\n" + rows;
}

std::string mixTable(const std::vector<PluginFigures>& figures) {
    std::string rows;
    for (const PluginFigures& f : figures) {
        if (f.mailbox->mix != MailMix::RealWorld) continue;
        rows += leadingCells(f) + megabytes(f.recordBytes) + " | " + getAllPeakCell(f) + " |\n";
    }
    if (rows.empty()) return "";
    return "| plug-in | messages | mailbox | read bytes | GMime parse | first GetAllMsgs (÷ parse) | records handed out | "
           "peak RSS GetAllMsgs (÷ records) |\n|---|--:|--:|--:|--:|--:|--:|--:|\n" + rows;
}

// The same syncs with the mailbox on a loopback IMAP server, beside the Maildir ones.
std::string imapTable(const std::vector<PluginFigures>& figures) {
    std::string rows;
    for (const PluginFigures& f : figures) {
        if (f.imapFirstSync < 0 && f.imapResync < 0) continue;
        rows += "| " + f.plugin + " | " + thousands(f.mailbox->messages) + " | " + seconds(f.firstSync) + " | " +
                seconds(f.imapFirstSync) + " | " + seconds(f.resync) + " | " + seconds(f.imapResync) +
                ratio(f.imapResync, f.resync, kImapPerMaildir) + " |\n";
    }
    if (rows.empty()) return "";
    return "| plug-in | messages | first sync, Maildir | first sync, IMAP | unchanged re-sync, Maildir | "
           "unchanged re-sync, IMAP (÷ Maildir) |\n|---|--:|--:|--:|--:|--:|\n" + rows;
}

}  // namespace

std::string markdownReport(const std::vector<PluginFigures>& figures, const std::string& machine) {
    std::string text = machine + "\n\n### Synthetic mailbox (`maildir-gen`)\n\n" + mainTable(figures);
    if (std::string scale = scaleTable(figures); !scale.empty()) {
        text += "\n### 100,000 / 10,000 messages (target: at most 11x; DeleteMsg per message: 1x is linear)\n\n" + scale;
    }
    if (std::string imap = imapTable(figures); !imap.empty()) {
        text += "\n### Over IMAP (the same mailbox on a loopback Dovecot; target: re-sync at most 2x the Maildir one)\n\n" +
                imap;
    }
    if (std::string mix = mixTable(figures); !mix.empty()) {
        text += "\n### Real-world mix with many attachments (`maildir-gen --mix`)\n\n" + mix;
    }
    text += "\nTargets: first GetAllMsgs ≤ 1.5x the GMime parse; unchanged re-sync ≤ 3x and 1% changed ≤ 4x "
            "reading the bytes; peak RSS ≤ 2.5x the records handed out; ✗ marks a ratio that misses its target.\n";
    std::string notes;
    for (const PluginFigures& f : figures) {
        for (const std::string& problem : f.problems) {
            notes += "- " + f.plugin + ", " + thousands(f.mailbox->messages) + " " + f.mailbox->label + ": " + problem + "\n";
        }
    }
    if (!notes.empty()) text += "\nProblems met:\n\n" + notes;
    return text;
}

}  // namespace vesk::bench
