#include "store/ProblemLog.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <ctime>
#include <fstream>

#include "Fs.h"
#include "platform/VeskHome.h"

namespace vesk::store {
namespace {

void appendOneLine(std::string& line, std::string_view text) {
    for (char c : text) line.push_back(c == '\t' || c == '\n' || c == '\r' ? ' ' : c);
}

}  // namespace

std::string problemLogPath() { return vesk::home() + "/vesk-mail.log"; }

void logProblem(std::string_view component, std::string_view subject, std::string_view reason) {
    std::string line = std::to_string(static_cast<long long>(std::time(nullptr))) + "\t";
    appendOneLine(line, component);
    line += "\t";
    appendOneLine(line, subject);
    line += "\t";
    appendOneLine(line, reason);
    line += "\n";
    std::string path = problemLogPath();
    detail::Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600));
    if (!fd.valid()) return;
    // One write with O_APPEND: lines of concurrent writers never interleave.
    (void)detail::writeAll(fd.get(), line, path.c_str());
}

std::uint64_t problemLogSize() {
    struct stat st {};
    if (::stat(problemLogPath().c_str(), &st) != 0) return 0;
    return static_cast<std::uint64_t>(st.st_size);
}

std::vector<Problem> problemsSince(std::uint64_t offset) {
    std::vector<Problem> out;
    std::ifstream in(problemLogPath(), std::ios::binary);
    if (!in) return out;
    in.seekg(static_cast<std::streamoff>(offset));
    std::string line;
    while (std::getline(in, line)) {
        std::size_t a = line.find('\t');
        std::size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
        std::size_t c = b == std::string::npos ? b : line.find('\t', b + 1);
        if (c == std::string::npos) continue;
        Problem p;
        try {
            p.when = std::stoll(line.substr(0, a));
        } catch (...) {
            continue;
        }
        p.component = line.substr(a + 1, b - a - 1);
        p.subject = line.substr(b + 1, c - b - 1);
        p.reason = line.substr(c + 1);
        out.push_back(std::move(p));
    }
    return out;
}

}  // namespace vesk::store
