// A temporary desktop folder for a test, and helpers to run the conduit against it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace conduit::test {

/// A fresh temporary folder used as $VESK_HOME; removed again by the destructor.
class TempDesktop {
public:
    TempDesktop();
    ~TempDesktop();
    TempDesktop(const TempDesktop&) = delete;
    TempDesktop& operator=(const TempDesktop&) = delete;

    const std::string& path() const { return m_path; }
    /// Writes `text` into the file `relative` below the desktop (folders created).
    void write(const std::string& relative, const std::string& text) const;
    /// The content of `relative` ("" when missing).
    std::string read(const std::string& relative) const;

private:
    std::string m_path;
};

/// The result of running the mailconduit program.
struct RunResult {
    int status = -1;  ///< the exit status (-1 when killed by a signal)
    std::string out, err;
};

/// Runs the built mailconduit with `args`, with VESK_HOME set to `home` and extra
/// environment `env` ("NAME=value"); standard input holds `input` (a file, not a terminal).
RunResult runConduit(const std::vector<std::string>& args, const std::string& home,
                     const std::vector<std::string>& env = {}, const std::string& input = "");

/// What the shell command `command` writes on standard output.
std::string commandOutput(const std::string& command);

/// Every regular file below `root` with its bytes: "relative path\0bytes\0..." joined, so two
/// snapshots compare equal exactly when every file is byte-identical.
std::string snapshot(const std::string& root);

/// Writes a fakehost configuration into `<home>/conduit/fakehost.ini` whose mailbox is
/// `<home>/desktop-mailbox.json`, with extra `key=value` lines for its host section (a
/// "UserAccount=..." line replaces the default account).
std::string writeFakeConfig(const TempDesktop& desktop, const std::vector<std::string>& extra = {});

/// The handheld of desktop `home` as `mailconduit handheld export` writes it, read without
/// changing any file ("" when it cannot be read).
std::string handheldJson(const std::string& home);
/// The messages of the handheld held as unsure (an interrupted sync may have handed them over).
std::vector<std::uint64_t> heldMessages(const std::string& home);
/// True for a kill point inside the commit of a send's or a filing's outcome: a kill there
/// leaves the call in doubt, so the message is held, never handed over twice.
bool leavesCallInDoubt(const std::string& point);
/// Calls the handheld's database still records as pending (-1 when it cannot be read).
int pendingCalls(const std::string& home);

/// A fakehost mailbox of `count` messages, ids "m1".., every second one read.
std::string fakeMailbox(int count);

}  // namespace conduit::test
