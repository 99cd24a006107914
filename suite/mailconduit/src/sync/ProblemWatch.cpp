#include "sync/ProblemWatch.h"

#include "store/ProblemLog.h"

namespace conduit {

ProblemWatch::ProblemWatch() { restart(); }

void ProblemWatch::restart() { m_offset = vesk::store::problemLogSize(); }

std::vector<std::string> ProblemWatch::appended() const {
    std::vector<std::string> lines;
    for (const vesk::store::Problem& problem : vesk::store::problemsSince(m_offset)) {
        bool named = problem.subject.empty() || problem.reason.find(problem.subject) != std::string::npos;
        lines.push_back(problem.component + ": " + (named ? "" : problem.subject + ": ") + problem.reason);
    }
    return lines;
}

std::string ProblemWatch::logPath() { return vesk::store::problemLogPath(); }

}  // namespace conduit
