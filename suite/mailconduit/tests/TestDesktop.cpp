#include "TestDesktop.h"

#include "handheld/HandheldAccess.h"
#include "handheld/HandheldFile.h"
#include "desktop/Paths.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "desktop/FileIo.h"

extern char** environ;

namespace conduit::test {

namespace fs = std::filesystem;

namespace {

std::string makeTempFolder(const char* prefix) {
    std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    return pattern;
}

std::string slurp(const std::string& path) {
    std::string bytes;
    readFile(path, bytes);
    return bytes;
}

}  // namespace

TempDesktop::TempDesktop() : m_path(makeTempFolder("mailconduit-test-")) {}

TempDesktop::~TempDesktop() { removeTree(m_path); }

void TempDesktop::write(const std::string& relative, const std::string& text) const {
    fs::path path = fs::path(m_path) / relative;
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string TempDesktop::read(const std::string& relative) const { return slurp(m_path + "/" + relative); }

RunResult runConduit(const std::vector<std::string>& args, const std::string& home,
                     const std::vector<std::string>& env, const std::string& input) {
    std::string outputs = makeTempFolder("mailconduit-run-");
    std::string outPath = outputs + "/out", errPath = outputs + "/err", inPath = outputs + "/in";
    if (replaceFile(inPath, input) != 0) return RunResult{};
    pid_t pid = ::fork();
    if (pid == 0) {
        int in = ::open(inPath.c_str(), O_RDONLY);
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::setenv("VESK_HOME", home.c_str(), 1);
        ::setenv("VESK_LIBRARY_PATH", MAILCONDUIT_MODULE_DIR, 1);
        for (const std::string& entry : env) ::putenv(const_cast<char*>(entry.c_str()));
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(MAILCONDUIT_BINARY));
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execve(MAILCONDUIT_BINARY, argv.data(), environ);
        ::_exit(127);
    }
    int wstatus = 0;
    ::waitpid(pid, &wstatus, 0);
    RunResult result;
    result.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    result.out = slurp(outPath);
    result.err = slurp(errPath);
    removeTree(outputs);
    return result;
}

std::string commandOutput(const std::string& command) {
    std::string text;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) text.append(buffer, n);
        ::pclose(pipe);
    }
    return text;
}

std::string snapshot(const std::string& root) {
    std::string all;
    for (const std::string& file : listFiles(root)) {
        all += file;
        all += '\0';
        all += slurp(root + "/" + file);
        all += '\0';
    }
    return all;
}

std::string writeFakeConfig(const TempDesktop& desktop, const std::vector<std::string>& extra) {
    std::string text = "[FakeHost]\nMsgHostName=Fake Mail 1.0\n\n[FakeHost Fake Mail 1.0]\nMailbox=" +
                       desktop.path() + "/desktop-mailbox.json\n";
    bool account = false;
    for (const std::string& line : extra) {
        text += line + "\n";
        account = account || line.rfind("UserAccount=", 0) == 0;
    }
    if (!account) text += "UserAccount=teo\n";
    desktop.write("conduit/fakehost.ini", text);
    return desktop.path() + "/conduit/fakehost.ini";
}

std::string fakeMailbox(int count) {
    std::ostringstream out;
    out << "{\"nextId\": 1, \"sent\": [], \"filed\": [], \"inbox\": [";
    for (int i = 1; i <= count; ++i) {
        out << (i > 1 ? "," : "") << "{\"id\":\"m" << i << "\",\"from\":\"sender" << i
            << "@example.org (Sender " << i << ")\",\"to\":\"teo@example.org\",\"subject\":\"Message " << i
            << "\",\"body\":\"Body " << i << "\\r\\n\",\"read\":" << (i % 2 == 0 ? "true" : "false")
            << ",\"priority\":1,\"time\":" << 1700000000 + i * 60 << "}";
    }
    out << "]}\n";
    return out.str();
}

std::string handheldJson(const std::string& home) {
    OpenedHandheld opened;
    if (openHandheld(home, false, opened)) return "";
    return handheldToJson(opened.handheld);
}

std::vector<std::uint64_t> heldMessages(const std::string& home) {
    OpenedHandheld opened;
    std::vector<std::uint64_t> held;
    if (openHandheld(home, false, opened)) return held;
    for (const std::vector<HandheldMessage>* list : {&opened.handheld.outbox, &opened.handheld.filed}) {
        for (const HandheldMessage& m : *list) {
            if (m.unsure) held.push_back(m.id);
        }
    }
    return held;
}

bool leavesCallInDoubt(const std::string& point) {
    const std::string suffix = " outcome:commit";
    bool outcome = point.size() > suffix.size() && point.compare(point.size() - suffix.size(), suffix.size(), suffix) == 0;
    return outcome && (point.rfind("SendMsg#", 0) == 0 || point.rfind("SetMsg#", 0) == 0);
}

int pendingCalls(const std::string& home) {
    HandheldStore store;
    if (store.open(handheldDatabasePath(home), true)) return -1;
    Handheld handheld;
    std::vector<PlannedCall> pending;
    if (store.load(handheld, pending)) return -1;
    return static_cast<int>(pending.size());
}

}  // namespace conduit::test
