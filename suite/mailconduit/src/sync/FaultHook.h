// A way for tests to kill a sync at a chosen point, as a crash or a pulled cable would.
//
// The sync names each point it passes: before every plug-in call ("Initialize", "Logon",
// "GetAllMsgs", "FreeMailMsg", "SendMsg#1", "SetMsg#1", "DeleteMsg#2", "SetMsgReadStatus#1",
// "SetMsgPriority#1", "Logoff", "Uninitialize"), then "save" before the handheld file is
// replaced and "saved" before the journal is removed. When MAILCONDUIT_FAULT holds a point's
// name, or its number counting from 1, the process ends there at once with _exit(97): no
// destructor, no Uninitialize, no flush. MAILCONDUIT_FAULT_TRACE names a file to which every
// point reached is appended, one per line, so a test can learn how many points a sync has.
#pragma once

#include <string>

namespace conduit {

/// The exit status of a process ended by the fault hook.
inline constexpr int kFaultExitStatus = 97;

class FaultHook {
public:
    /// A hook that never fires.
    FaultHook() = default;
    /// Fires at the point named `target` (or numbered, counting from 1); traces to `tracePath`
    /// when it is not empty.
    FaultHook(std::string target, std::string tracePath);
    /// The hook the environment asks for (see above).
    static FaultHook fromEnvironment();

    /// Passes point `name`: traces it, and ends the process when it is the target.
    void reach(const std::string& name);
    /// How many points were passed.
    int reached() const { return m_count; }

private:
    std::string m_target;
    std::string m_tracePath;
    int m_count = 0;
};

}  // namespace conduit
