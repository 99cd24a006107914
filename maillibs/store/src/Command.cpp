#include "Command.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

}  // namespace

CommandOutcome runCommand(const std::vector<std::string>& argv, std::string_view input, int timeoutSeconds) {
    CommandOutcome outcome;
    if (argv.empty()) {
        outcome.message = "no command";
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
    int errPipe[2];
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        outcome.message = std::strerror(errno);
        return outcome;
    }
    Fd errParent(errPipe[0]), errChild(errPipe[1]);
    ::shutdown(inChild.get(), SHUT_WR);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, inChild.get(), 0);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errChild.get(), 2);
    posix_spawnattr_t attr;
    posix_spawnattr_init(&attr);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attr, &defaults);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSIGDEF);

    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t pid = -1;
    int rc = ::posix_spawnp(&pid, args[0], &actions, &attr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attr);
    inChild.close();
    errChild.close();
    if (rc != 0) {
        outcome.message = argv[0] + ": " + std::strerror(rc);
        return outcome;
    }
    outcome.started = true;

    ::fcntl(inParent.get(), F_SETFL, O_NONBLOCK);
    std::string errors;
    std::size_t sent = 0;
    long long deadline = nowMs() + static_cast<long long>(timeoutSeconds) * 1000;
    if (input.empty()) inParent.close();
    while (errParent.valid()) {
        long long left = deadline - nowMs();
        if (left <= 0) {
            outcome.timedOut = true;
            break;
        }
        struct pollfd fds[2];
        int n = 0;
        fds[n++] = {errParent.get(), POLLIN, 0};
        if (inParent.valid()) fds[n++] = {inParent.get(), POLLOUT, 0};
        int ready = ::poll(fds, static_cast<nfds_t>(n), static_cast<int>(left > 1000 ? 1000 : left));
        if (ready < 0 && errno != EINTR) break;
        if (ready <= 0) continue;
        if (fds[0].revents) {
            char buf[4096];
            ssize_t got = ::read(errParent.get(), buf, sizeof buf);
            if (got > 0 && errors.size() < 65536) errors.append(buf, static_cast<std::size_t>(got));
            if (got == 0 || (got < 0 && errno != EINTR && errno != EAGAIN)) errParent.close();
        }
        if (n > 1 && fds[1].revents) {
            ssize_t put = ::send(inParent.get(), input.data() + sent, input.size() - sent, MSG_NOSIGNAL);
            if (put > 0) sent += static_cast<std::size_t>(put);
            // All written, or the command stopped reading: either way it gets end of file.
            if (sent == input.size() || (put < 0 && errno != EAGAIN && errno != EINTR)) inParent.close();
        }
    }
    inParent.close();

    if (outcome.timedOut) ::kill(pid, SIGKILL);
    int status = 0;
    bool reaped = false;
    for (;;) {
        pid_t done = ::waitpid(pid, &status, WNOHANG);
        if (done == pid) {
            reaped = true;
            break;
        }
        if (done < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (!outcome.timedOut && nowMs() >= deadline) {
            outcome.timedOut = true;
            ::kill(pid, SIGKILL);
        }
        struct timespec pause = {0, 5 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
    if (reaped && WIFEXITED(status)) outcome.exitStatus = WEXITSTATUS(status);
    if (reaped && WIFSIGNALED(status)) outcome.signal = WTERMSIG(status);
    outcome.message = firstLine(errors);
    return outcome;
}

}  // namespace vesk::store::detail
