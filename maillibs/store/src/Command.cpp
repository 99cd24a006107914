#include "Command.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "Fs.h"

extern char** environ;

namespace vesk::store::detail {

std::vector<std::string> splitCommand(std::string_view line) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false, quoted = false;
    for (char c : line) {
        if (c == '"') {
            quoted = !quoted;
            inWord = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (inWord) words.push_back(std::move(word));
            word.clear();
            inWord = false;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inWord) words.push_back(std::move(word));
    return words;
}

namespace {

long long nowMs() {
    struct timespec ts {};
    ::clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

std::string firstLine(const std::string& text) {
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(pos, end - pos);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) return line;
        pos = end + 1;
    }
    return {};
}

// What the supervisor tells this process through its status pipe.
struct StatusNote {
    int kind;   // kExecFailed: value is errno; kEnded: value is the command's wait status
    int value;
};
constexpr int kExecFailed = 1;
constexpr int kEnded = 2;

// Signals that stop this process and so must stop the command first.
constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};
volatile sig_atomic_t g_stopSignal = 0;

void onStopSignal(int signal) { g_stopSignal = signal; }

// The program `name` names: itself when it holds a '/', else the first executable regular
// file of that name on PATH. Looked up before forking, where nothing may allocate.
std::string findProgram(const std::string& name) {
    if (name.find('/') != std::string::npos) return name;
    const char* path = std::getenv("PATH");
    std::string_view dirs = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    while (true) {
        std::size_t colon = dirs.find(':');
        std::string dir(dirs.substr(0, colon));
        std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
        struct stat st {};
        if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        if (colon == std::string_view::npos) return {};
        dirs.remove_prefix(colon + 1);
    }
}

void writeNote(int fd, int kind, int value) {
    StatusNote note{kind, value};
    while (::write(fd, &note, sizeof note) < 0 && errno == EINTR) {
    }
}

// The forked supervisor. Only async-signal-safe calls from here on: this process may have
// other threads whose locks were copied in any state.
// `parentEnds` are this process's ends of the pipes: the supervisor closes its copies, or
// the command would never see the end of its input.
[[noreturn]] void supervise(pid_t parent, const char* program, char* const* argv, int in, int err,
                            int devNull, int statusFd, const int (&parentEnds)[3]) {
    for (int fd : parentEnds) {
        if (fd >= 0) ::close(fd);
    }
    sigset_t watched;
    sigemptyset(&watched);
    sigaddset(&watched, SIGCHLD);
    for (int s : kStopSignals) sigaddset(&watched, s);
    ::sigprocmask(SIG_BLOCK, &watched, nullptr);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    if (::getppid() != parent) ::_exit(1);  // the parent died before the signal was armed

    pid_t command = ::fork();
    if (command < 0) {
        writeNote(statusFd, kExecFailed, errno);
        ::_exit(1);
    }
    if (command == 0) {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        ::dup2(in, 0);
        ::dup2(devNull, 1);
        ::dup2(err, 2);
        for (int s : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGCHLD, SIGQUIT}) ::signal(s, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::execve(program, argv, environ);
        writeNote(statusFd, kExecFailed, errno);
        ::_exit(127);
    }
    ::setpgid(command, command);  // also here: whichever runs first makes the group
    ::close(in);
    ::close(err);
    ::close(devNull);
    for (;;) {
        siginfo_t info;
        int signal = ::sigwaitinfo(&watched, &info);
        if (signal < 0) continue;
        if (signal == SIGCHLD) {
            int status = 0;
            pid_t done = ::waitpid(command, &status, WNOHANG);
            if (done == command) {
                writeNote(statusFd, kEnded, status);
                ::_exit(0);
            }
            while (::waitpid(-1, nullptr, WNOHANG) > 0) {
            }  // a descendant left to this subreaper
            continue;
        }
        // Told to stop, or the parent is gone: the whole group goes, and every process of it
        // is reaped here (the subreaper inherits those whose parent died first).
        ::kill(-command, SIGKILL);
        while (::waitpid(-1, nullptr, 0) > 0 || errno == EINTR) {
        }
        ::_exit(1);
    }
}

// Catches the stop signals while the command runs, unless the process ignores them.
class StopSignalScope {
public:
    StopSignalScope() {
        g_stopSignal = 0;
        for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
            struct sigaction catching {};
            catching.sa_handler = onStopSignal;
            sigemptyset(&catching.sa_mask);
            ::sigaction(kStopSignals[i], nullptr, &m_old[i]);
            m_installed[i] = m_old[i].sa_handler != SIG_IGN;
            if (m_installed[i]) ::sigaction(kStopSignals[i], &catching, nullptr);
        }
    }
    ~StopSignalScope() { restore(); }
    void restore() {
        for (std::size_t i = 0; i < std::size(kStopSignals); ++i) {
            if (m_installed[i]) ::sigaction(kStopSignals[i], &m_old[i], nullptr);
            m_installed[i] = false;
        }
    }

private:
    struct sigaction m_old[std::size(kStopSignals)] {};
    bool m_installed[std::size(kStopSignals)] {};
};

}  // namespace

CommandOutcome runCommand(const std::vector<std::string>& argv, std::string_view input, int timeoutSeconds,
                          const WaitCallback& waiting) {
    CommandOutcome outcome;
    if (argv.empty()) {
        outcome.message = "no command";
        return outcome;
    }
    std::string program = findProgram(argv[0]);
    if (program.empty()) {
        outcome.message = argv[0] + ": " + std::strerror(ENOENT);
        return outcome;
    }
    // The message goes through a socket, not a pipe: send() with MSG_NOSIGNAL cannot raise
    // SIGPIPE in the caller's process when the command exits without reading everything.
    int inPair[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, inPair) != 0) {
        outcome.message = std::strerror(errno);
        return outcome;
    }
    Fd inParent(inPair[0]), inChild(inPair[1]);
    int errPipe[2], statusPipe[2];
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        outcome.message = std::strerror(errno);
        return outcome;
    }
    Fd errParent(errPipe[0]), errChild(errPipe[1]);
    if (::pipe2(statusPipe, O_CLOEXEC) != 0) {
        outcome.message = std::strerror(errno);
        return outcome;
    }
    Fd statusParent(statusPipe[0]), statusChild(statusPipe[1]);
    Fd devNull(::open("/dev/null", O_WRONLY | O_CLOEXEC));
    if (!devNull.valid()) {
        outcome.message = std::string("/dev/null: ") + std::strerror(errno);
        return outcome;
    }
    ::shutdown(inChild.get(), SHUT_WR);

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    StopSignalScope stopSignals;
    pid_t parent = ::getpid();
    pid_t supervisor = ::fork();
    if (supervisor < 0) {
        outcome.message = std::string("cannot start it: ") + std::strerror(errno);
        return outcome;
    }
    if (supervisor == 0) {
        const int parentEnds[3] = {inParent.get(), errParent.get(), statusParent.get()};
        supervise(parent, program.c_str(), args.data(), inChild.get(), errChild.get(), devNull.get(),
                  statusChild.get(), parentEnds);
    }
    inChild.close();
    errChild.close();
    statusChild.close();
    devNull.close();
    outcome.started = true;

    ::fcntl(inParent.get(), F_SETFL, O_NONBLOCK);
    ::fcntl(errParent.get(), F_SETFL, O_NONBLOCK);
    std::string errors;
    std::size_t sent = 0;
    const long long started = nowMs();
    const long long deadline = started + static_cast<long long>(timeoutSeconds) * 1000;
    long long nextTick = started + 1000;
    bool ended = false;
    int waitStatus = 0;
    std::string statusBytes;
    if (input.empty()) inParent.close();
    while (statusParent.valid()) {
        if (g_stopSignal != 0) {
            outcome.interrupted = g_stopSignal;
            break;
        }
        long long now = nowMs();
        if (now >= deadline) {
            outcome.timedOut = true;
            break;
        }
        if (now >= nextTick) {
            if (waiting) waiting(static_cast<int>((now - started) / 1000));
            nextTick += 1000;
        }
        struct pollfd fds[3];
        nfds_t n = 0;
        fds[n++] = {statusParent.get(), POLLIN, 0};
        int errAt = -1, inAt = -1;
        if (errParent.valid()) {
            errAt = static_cast<int>(n);
            fds[n++] = {errParent.get(), POLLIN, 0};
        }
        if (inParent.valid()) {
            inAt = static_cast<int>(n);
            fds[n++] = {inParent.get(), POLLOUT, 0};
        }
        long long wait = std::min(deadline, nextTick) - now;
        int ready = ::poll(fds, n, static_cast<int>(wait < 1 ? 1 : wait));
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        if (errAt >= 0 && fds[errAt].revents) {
            char buf[4096];
            ssize_t got = ::read(errParent.get(), buf, sizeof buf);
            if (got > 0 && errors.size() < 65536) errors.append(buf, static_cast<std::size_t>(got));
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) errParent.close();
        }
        if (inAt >= 0 && fds[inAt].revents) {
            ssize_t put = ::send(inParent.get(), input.data() + sent, input.size() - sent, MSG_NOSIGNAL);
            if (put > 0) sent += static_cast<std::size_t>(put);
            // All written, or the command stopped reading: either way it gets end of file.
            if (sent == input.size() || (put < 0 && errno != EAGAIN && errno != EINTR)) inParent.close();
        }
        if (fds[0].revents) {
            char buf[sizeof(StatusNote) * 4];
            ssize_t got = ::read(statusParent.get(), buf, sizeof buf);
            if (got > 0) statusBytes.append(buf, static_cast<std::size_t>(got));
            while (statusBytes.size() >= sizeof(StatusNote)) {
                StatusNote note;
                std::memcpy(&note, statusBytes.data(), sizeof note);
                statusBytes.erase(0, sizeof note);
                if (note.kind == kExecFailed) {
                    outcome.started = false;
                    outcome.message = argv[0] + ": " + std::strerror(note.value);
                } else if (note.kind == kEnded) {
                    ended = true;
                    waitStatus = note.value;
                }
            }
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) statusParent.close();
        }
    }
    inParent.close();
    // Whatever the command wrote before it ended is read; a background process it left
    // holding the pipe does not keep this caller waiting.
    if (errParent.valid() && ended) {
        char buf[4096];
        ssize_t got;
        while ((got = ::read(errParent.get(), buf, sizeof buf)) > 0 && errors.size() < 65536)
            errors.append(buf, static_cast<std::size_t>(got));
    }
    if (!ended) ::kill(supervisor, SIGTERM);  // timed out or stopped: the group goes
    for (;;) {
        pid_t done = ::waitpid(supervisor, nullptr, 0);
        if (done == supervisor || (done < 0 && errno != EINTR)) break;
    }
    stopSignals.restore();
    if (outcome.interrupted != 0) {
        // The command is gone; now the signal does what it would have done.
        ::raise(outcome.interrupted);
    }
    if (ended && WIFEXITED(waitStatus)) outcome.exitStatus = WEXITSTATUS(waitStatus);
    if (ended && WIFSIGNALED(waitStatus)) outcome.signal = WTERMSIG(waitStatus);
    if (outcome.started) outcome.message = firstLine(errors);
    return outcome;
}

}  // namespace vesk::store::detail
