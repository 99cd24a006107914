#include "store/QueueNotice.h"

#include "store/ProblemLog.h"

namespace vesk::store {
namespace {

constexpr const char* kComponent = "store";

const char* tagOf(const QueueNotice& n) {
    switch (n.kind) {
    case QueueNotice::Kind::Queued: return n.firstTry ? "[queued, new] " : "[queued] ";
    case QueueNotice::Kind::Held: return n.firstTry ? "[held, new] " : "[held] ";
    case QueueNotice::Kind::Sent: return "[sent] ";
    }
    return "[queued] ";
}

}  // namespace

void logQueueNotice(const QueueNotice& notice) {
    logProblem(kComponent, notice.root + "/." + notice.outbox + "/" + notice.id, tagOf(notice) + notice.reason);
}

std::optional<QueueNotice> queueNoticeFrom(const Problem& problem) {
    if (problem.component != kComponent) return std::nullopt;
    // "<root>/.<outbox>/<id>": neither an identifier nor a folder name holds a '/'.
    std::size_t idSlash = problem.subject.rfind('/');
    if (idSlash == std::string::npos || idSlash == 0) return std::nullopt;
    std::size_t folderSlash = problem.subject.rfind('/', idSlash - 1);
    if (folderSlash == std::string::npos || problem.subject.compare(folderSlash, 2, "/.") != 0) return std::nullopt;
    QueueNotice n;
    n.root = problem.subject.substr(0, folderSlash);
    n.outbox = problem.subject.substr(folderSlash + 2, idSlash - folderSlash - 2);
    n.id = problem.subject.substr(idSlash + 1);
    std::size_t close = problem.reason.find("] ");
    if (n.root.empty() || n.outbox.empty() || n.id.empty() || problem.reason.empty() || problem.reason[0] != '[' ||
        close == std::string::npos) {
        return std::nullopt;
    }
    std::string tag = problem.reason.substr(1, close - 1);
    if (tag == "queued" || tag == "queued, new") n.kind = QueueNotice::Kind::Queued;
    else if (tag == "held" || tag == "held, new") n.kind = QueueNotice::Kind::Held;
    else if (tag == "sent") n.kind = QueueNotice::Kind::Sent;
    else return std::nullopt;
    n.firstTry = tag.size() > 5 && tag.compare(tag.size() - 5, 5, ", new") == 0;
    n.reason = problem.reason.substr(close + 2);
    n.when = problem.when;
    return n;
}

std::vector<QueueNotice> queueNoticesSince(std::uint64_t offset) {
    std::vector<QueueNotice> notices;
    for (const Problem& p : problemsSince(offset)) {
        if (std::optional<QueueNotice> n = queueNoticeFrom(p)) notices.push_back(std::move(*n));
    }
    return notices;
}

}  // namespace vesk::store
