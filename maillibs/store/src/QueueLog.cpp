#include "QueueLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "Fs.h"

namespace vesk::store {

const char* describe(SendOutcome outcome) {
    switch (outcome) {
    case SendOutcome::Sent: return "sent";
    case SendOutcome::Held: return "held";
    case SendOutcome::Failed: return "failed";
    }
    return "?";
}

}  // namespace vesk::store

namespace vesk::store::detail {
namespace {

std::string oneLine(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c == '\t' || c == '\n' || c == '\r') c = ' ';
    }
    return out;
}

bool outcomeFromText(std::string_view text, SendOutcome& out) {
    for (SendOutcome o : {SendOutcome::Sent, SendOutcome::Held, SendOutcome::Failed}) {
        if (text == describe(o)) {
            out = o;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string queueLogPath(const std::string& root) { return root + "/vesk-queue.log"; }

Status appendQueueLog(const std::string& root, const SendRecord& record) {
    std::string line = std::to_string(static_cast<long long>(record.when)) + "\t" + describe(record.outcome) +
                       "\t" + oneLine(record.id) + "\t" + oneLine(record.detail) + "\n";
    std::string path = queueLogPath(root);
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
    if (!fd.valid()) return statusFromErrno(errno);
    // One write with O_APPEND: concurrent writers never interleave within a line.
    Status st = writeAll(fd.get(), line, path.c_str());
    if (!fd.close() && st == Status::Ok) st = Status::IoError;
    return st;
}

Result<std::vector<SendRecord>> readQueueLog(const std::string& root) {
    Result<std::string> text = readFile(queueLogPath(root));
    if (!text) {
        if (text.status() == Status::NotFound) return std::vector<SendRecord>{};
        return text.status();
    }
    std::vector<SendRecord> records;
    std::string_view rest = *text;
    while (!rest.empty()) {
        std::size_t end = rest.find('\n');
        std::string_view line = rest.substr(0, end);
        rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
        std::size_t t1 = line.find('\t');
        std::size_t t2 = t1 == std::string_view::npos ? t1 : line.find('\t', t1 + 1);
        std::size_t t3 = t2 == std::string_view::npos ? t2 : line.find('\t', t2 + 1);
        if (t3 == std::string_view::npos) continue;
        SendRecord r;
        std::string when(line.substr(0, t1));
        char* endp = nullptr;
        long long t = std::strtoll(when.c_str(), &endp, 10);
        if (when.empty() || *endp != '\0') continue;
        if (!outcomeFromText(line.substr(t1 + 1, t2 - t1 - 1), r.outcome)) continue;
        r.when = static_cast<std::time_t>(t);
        r.id = std::string(line.substr(t2 + 1, t3 - t2 - 1));
        r.detail = std::string(line.substr(t3 + 1));
        records.push_back(std::move(r));
    }
    return records;
}

}  // namespace vesk::store::detail
