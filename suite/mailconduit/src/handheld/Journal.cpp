#include "handheld/Journal.h"

#include <cerrno>
#include <cstring>
#include <ctime>
#include <nlohmann/json.hpp>
#include <random>
#include <unistd.h>

#include "desktop/FileIo.h"
#include "handheld/JsonNumber.h"

namespace conduit {

using nlohmann::json;

namespace {

PlannedCall callFromLine(const json& line, const char* key) {
    std::optional<Call> call = callFromName(line.at(key).get<std::string>());
    if (!call) throw std::runtime_error("unknown call " + line.at(key).get<std::string>());
    PlannedCall planned;
    planned.call = *call;
    planned.entry = wholeNumber<std::uint64_t>(line.at("entry"), "entry");
    planned.value = wholeNumber(line, "value", 0);
    return planned;
}

}  // namespace

std::optional<std::string> readJournal(const std::string& path, JournalContent& content) {
    content = JournalContent();
    std::string text;
    int err = readFile(path, text);
    if (err == ENOENT) return std::nullopt;
    if (err != 0) return "cannot read " + path + ": " + std::strerror(err);
    size_t pos = 0;
    int number = 0;
    for (;;) {
        size_t end = text.find('\n', pos);
        // A line without its newline was being written when the sync died: it never counted.
        if (end == std::string::npos) break;
        std::string line = text.substr(pos, end - pos);
        pos = end + 1;
        ++number;
        try {
            json j = json::parse(line);
            if (number == 1) {
                if (wholeNumber(j, "journal", 0) != 1) throw std::runtime_error("not a journal");
                content.syncId = j.at("sync").get<std::string>();
                content.plugin = j.value("plugin", std::string());
                content.started = wholeNumber(j, "started", std::int64_t{0});
                continue;
            }
            JournalContent::Step step;
            if (j.contains("begin")) {
                step.call = callFromLine(j, "begin");
            } else {
                step.done = true;
                step.call = callFromLine(j, "done");
                step.rc = wholeNumber<int>(j.at("rc"), "rc");
            }
            content.steps.push_back(step);
        } catch (const json::parse_error&) {
            return path + " line " + std::to_string(number) + " is damaged: it is not a JSON line";
        } catch (const json::exception&) {
            return path + " line " + std::to_string(number) + " is damaged: it lacks a field a journal line holds";
        } catch (const std::exception& e) {
            return path + " line " + std::to_string(number) + " is damaged: " + e.what();
        }
    }
    return std::nullopt;
}

ReplayReport replayJournal(Handheld& handheld, const JournalContent& content) {
    ReplayReport report;
    report.syncId = content.syncId;
    if (content.syncId.empty()) return report;
    if (handheld.lastSync == content.syncId) {
        report.alreadySaved = true;
        return report;
    }
    std::optional<PlannedCall> open;
    for (const JournalContent::Step& step : content.steps) {
        if (!step.done) {
            // Calls are made one at a time, so an earlier begin without its done can only
            // be one whose result was lost.
            if (open) report.inDoubt.push_back(*open);
            open = step.call;
            continue;
        }
        if (open && !(*open == step.call)) report.inDoubt.push_back(*open);
        open.reset();
        applyOutcome(handheld, step.call, step.rc);
        ++report.applied;
        if (step.rc == 0) ++report.succeeded;
    }
    if (open) report.inDoubt.push_back(*open);
    for (const PlannedCall& call : report.inDoubt) applyInDoubt(handheld, call);
    handheld.lastSync = content.syncId;
    return report;
}

int JournalWriter::start(const std::string& path, const std::string& syncId,
                         const std::string& plugin) {
    m_path = path;
    json line = {{"journal", 1},
                 {"sync", syncId},
                 {"plugin", plugin},
                 {"started", static_cast<std::int64_t>(std::time(nullptr))}};
    return appendDurably(m_path, line.dump() + "\n");
}

int JournalWriter::begin(const PlannedCall& call) {
    json line = {{"begin", callName(call.call)}, {"entry", call.entry}, {"value", call.value}};
    return appendDurably(m_path, line.dump() + "\n");
}

int JournalWriter::done(const PlannedCall& call, int rc) {
    json line = {{"done", callName(call.call)}, {"entry", call.entry}, {"value", call.value}, {"rc", rc}};
    return appendDurably(m_path, line.dump() + "\n");
}

int JournalWriter::finish() { return removeDurably(m_path); }

std::string newSyncId() {
    std::random_device device;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%lld-%d-%08x", static_cast<long long>(std::time(nullptr)),
                  static_cast<int>(::getpid()), static_cast<unsigned>(device()));
    return buffer;
}

}  // namespace conduit
