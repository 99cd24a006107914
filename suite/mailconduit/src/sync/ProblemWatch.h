// What the mail libraries wrote into the shared problem log ($VESK_HOME/vesk-mail.log) while
// one plug-in call ran: a plug-in only hands back a result code, and the log says which file,
// folder or account was at fault.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace conduit {

class ProblemWatch {
public:
    /// Notes the log's size now; what is appended later is "new".
    ProblemWatch();

    /// Notes the size again (before the next call).
    void restart();

    /// Each problem appended since the last start, as "<component>: <subject>: <reason>"
    /// (the subject left out when the reason already names it).
    std::vector<std::string> appended() const;

    /// The log's path, for telling the person where to look.
    static std::string logPath();

private:
    std::uint64_t m_offset = 0;
};

}  // namespace conduit
