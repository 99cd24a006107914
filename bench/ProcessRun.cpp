#include "ProcessRun.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace vesk::bench {
namespace {

std::string slurpAndClose(FILE* file) {
    std::string text;
    if (!file) return text;
    std::rewind(file);
    char buffer[8192];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
    std::fclose(file);
    return text;
}

}  // namespace

ProcessResult runMeasured(const std::vector<std::string>& argv, const std::vector<std::string>& env) {
    ProcessResult result;
    // Output goes to anonymous files, not pipes: a chatty child never blocks on a full pipe.
    FILE* out = std::tmpfile();
    FILE* err = std::tmpfile();
    if (!out || !err) {
        if (out) std::fclose(out);
        if (err) std::fclose(err);
        result.err = "cannot create a temporary file for the output";
        return result;
    }
    std::vector<std::string> envCopy = env;  // putenv keeps the pointers: they must outlive exec
    auto start = std::chrono::steady_clock::now();
    pid_t pid = ::fork();
    if (pid == 0) {
        int in = ::open("/dev/null", O_RDONLY);
        ::dup2(in, 0);
        ::dup2(::fileno(out), 1);
        ::dup2(::fileno(err), 2);
        for (std::string& entry : envCopy) ::putenv(entry.data());
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execv(args[0], args.data());
        std::fprintf(stderr, "cannot run %s: %s\n", args[0], std::strerror(errno));
        ::_exit(127);
    }
    if (pid < 0) {
        result.err = std::string("fork failed: ") + std::strerror(errno);
        std::fclose(out);
        std::fclose(err);
        return result;
    }
    int wstatus = 0;
    struct rusage usage {};
    while (::wait4(pid, &wstatus, 0, &usage) < 0 && errno == EINTR) {
    }
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    result.peakRss = static_cast<long long>(usage.ru_maxrss) * 1024;
    result.out = slurpAndClose(out);
    result.err = slurpAndClose(err);
    return result;
}

std::string selfPath() {
    char path[4096];
    ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return {};
    path[n] = '\0';
    return path;
}

}  // namespace vesk::bench
