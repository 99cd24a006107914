// WinHelpA over plain-text help files.
#include "win32/Help.h"

#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>

#include "loader/SearchPath.h"

namespace {

struct HelpState {
    std::mutex lock;
    VESK_HELP_DISPLAY display = nullptr;
    VESK_HELP_REQUEST last{};
    bool any = false;
    UINT count = 0;
};

HelpState& state() {
    static HelpState instance;
    return instance;
}

void copyCut(char* target, size_t capacity, const std::string& text) {
    const size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(target, text.data(), length);
    target[length] = '\0';
}

std::string findHelpFile(const std::string& name, const void* caller) {
    if (name.find('/') != std::string::npos) return vesk::loader::isFile(name) ? name : std::string();
    for (const std::string& folder : vesk::loader::searchFolders(caller)) {
        std::string candidate = folder.back() == '/' ? folder + name : folder + '/' + name;
        if (vesk::loader::isFile(candidate)) return candidate;
    }
    return std::string();
}

bool readWhole(const std::string& path, std::string* text) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    text->assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

}  // namespace

BOOL WinHelpA(HWND hWndMain, LPCSTR lpszHelp, UINT uCommand, ULONG_PTR dwData) {
    const void* caller = __builtin_return_address(0);
    const std::string file = lpszHelp != nullptr ? lpszHelp : "";
    const bool quitting = uCommand == HELP_QUIT;
    const std::string path = quitting || file.empty() ? std::string() : findHelpFile(file, caller);

    VESK_HELP_DISPLAY display = nullptr;
    {
        HelpState& s = state();
        std::lock_guard<std::mutex> guard(s.lock);
        s.last = VESK_HELP_REQUEST{};
        s.last.owner = hWndMain;
        s.last.command = uCommand;
        s.last.data = dwData;
        s.last.found = path.empty() ? FALSE : TRUE;
        copyCut(s.last.file, sizeof s.last.file, file);
        copyCut(s.last.path, sizeof s.last.path, path);
        s.any = true;
        ++s.count;
        display = s.display;
    }
    // Nothing is open between calls, so there is nothing to close.
    if (quitting) return TRUE;
    if (path.empty()) return FALSE;
    std::string text;
    if (!readWhole(path, &text)) return FALSE;
    // Called without the lock: the display may run a window of its own for a while.
    if (display == nullptr) return TRUE;
    return display(hWndMain, path.c_str(), text.c_str(), uCommand, dwData);
}

VESK_HELP_DISPLAY VeskSetHelpDisplay(VESK_HELP_DISPLAY display) {
    HelpState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    VESK_HELP_DISPLAY previous = s.display;
    s.display = display;
    return previous;
}

BOOL VeskGetLastHelpRequest(VESK_HELP_REQUEST* request) {
    HelpState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    if (!s.any || request == nullptr) return FALSE;
    *request = s.last;
    return TRUE;
}

UINT VeskHelpRequestCount(void) {
    HelpState& s = state();
    std::lock_guard<std::mutex> guard(s.lock);
    return s.count;
}
