// The figures one run of sync-bench collects: per mailbox the two floors, per plug-in and
// mailbox the plug-in's own steps. A time below zero was not measured (or failed).
#pragma once

#include <string>
#include <vector>

#include "SyntheticMail.h"

namespace vesk::bench {

/// One generated mailbox and its floors (medians).
struct MailboxFigures {
    std::string label;          ///< "synthetic" or "real-world mix"
    MailMix mix = MailMix::Synthetic;
    unsigned messages = 0;
    long long bytes = 0;        ///< the message files' bytes
    double readSeconds = -1;    ///< listing and reading every file
    double parseSeconds = -1;   ///< a bare GMime parse of every file
};

/// One plug-in over one mailbox (medians; peaks are the highest seen).
struct PluginFigures {
    std::string plugin;
    const MailboxFigures* mailbox = nullptr;
    double getAll = -1;          ///< the first GetAllMsgs of a fresh desktop
    long long recordBytes = 0;   ///< bytes of the records GetAllMsgs handed out
    long long getAllPeak = 0;    ///< peak RSS of the process that ran GetAllMsgs
    double firstSync = -1;       ///< `mailconduit sync` onto an empty handheld
    double resync = -1;          ///< the next sync, nothing changed
    double change = -1;          ///< a sync after 1% of the messages changed
    long long syncPeak = 0;      ///< highest peak RSS of any of those syncs
    double imapFirstSync = -1;   ///< the first sync with the same mailbox on a loopback IMAP server
    double imapResync = -1;      ///< the unchanged re-sync there
    double deleteSeconds = -1;   ///< DeleteMsg of every message (or as many as the budget allowed)
    int deleted = 0, deleteTotal = 0, deleteFailures = 0;
    std::vector<std::string> problems;  ///< what failed, for the notes under the table
};

/// The median of `values` (-1 when empty or when any is below zero, i.e. failed).
double median(std::vector<double> values);

}  // namespace vesk::bench
