#include "HostProbe.h"

#include <mutex>

namespace hostprobe {
namespace {

struct Settings {
    int result = 0;
    bool throwing = false;
    std::string languageLibrary = "HOSTLANG.DLL";
    UINT stringId = 4300;
    UINT command = 0;
};

struct Probe {
    std::mutex lock;
    std::vector<Call> calls;
    std::vector<Event> events;
    Settings settings;
};

// Never destroyed: plug-ins still loaded at exit record their shut-down after this library's
// static destructors would have run.
Probe& probe() {
    static Probe* instance = new Probe;
    return *instance;
}

}  // namespace

void recordCall(const Call& call) {
    std::lock_guard<std::mutex> guard(probe().lock);
    probe().calls.push_back(call);
}

std::vector<Call> calls() {
    std::lock_guard<std::mutex> guard(probe().lock);
    return probe().calls;
}

void recordEvent(const Event& event) {
    std::lock_guard<std::mutex> guard(probe().lock);
    probe().events.push_back(event);
}

std::vector<Event> events() {
    std::lock_guard<std::mutex> guard(probe().lock);
    return probe().events;
}

void reset() {
    std::lock_guard<std::mutex> guard(probe().lock);
    probe().calls.clear();
    probe().events.clear();
    probe().settings = Settings{};
}

void setResult(int value) {
    std::lock_guard<std::mutex> guard(probe().lock);
    probe().settings.result = value;
}

int result() {
    std::lock_guard<std::mutex> guard(probe().lock);
    return probe().settings.result;
}

void setThrowing(bool value) {
    std::lock_guard<std::mutex> guard(probe().lock);
    probe().settings.throwing = value;
}

bool throwing() {
    std::lock_guard<std::mutex> guard(probe().lock);
    return probe().settings.throwing;
}

void setLanguageLibrary(const std::string& name) {
    std::lock_guard<std::mutex> guard(probe().lock);
    probe().settings.languageLibrary = name;
}

std::string languageLibrary() {
    std::lock_guard<std::mutex> guard(probe().lock);
    return probe().settings.languageLibrary;
}

void setStringId(UINT id) {
    std::lock_guard<std::mutex> guard(probe().lock);
    probe().settings.stringId = id;
}

UINT stringId() {
    std::lock_guard<std::mutex> guard(probe().lock);
    return probe().settings.stringId;
}

void setCommand(UINT id) {
    std::lock_guard<std::mutex> guard(probe().lock);
    probe().settings.command = id;
}

UINT command() {
    std::lock_guard<std::mutex> guard(probe().lock);
    return probe().settings.command;
}

}  // namespace hostprobe
