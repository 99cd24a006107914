// Message boxes, the wait cursor and the directory chooser.
#include "win32/MessageBox.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/Presenter.h"
#include "window/MessageQueue.h"
#include "window/WindowObject.h"
#include "win32/Module.h"

#ifndef ERROR_PATH_NOT_FOUND
#define ERROR_PATH_NOT_FOUND 3
#endif

namespace {

int g_waitCount = 0;

bool isDirectory(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string currentDirectory() {
    char buffer[PATH_MAX];
    return getcwd(buffer, sizeof buffer) != nullptr ? std::string(buffer) : std::string("/");
}

std::string canonical(const std::string& path) {
    char buffer[PATH_MAX];
    if (realpath(path.c_str(), buffer) == nullptr) return std::string();
    std::string result = buffer;
    while (result.size() > 1 && result.back() == '/') result.pop_back();
    return result;
}

}  // namespace

int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType) {
    if (hWnd != nullptr && !vesk::win::findOrFail(hWnd)) return 0;
    const std::vector<int> buttons = vesk::ui::boxButtons(uType);
    if (buttons.empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::shared_ptr<vesk::ui::Presenter> presenter = vesk::ui::presenterFor(hWnd);
    if (!presenter) {
        SetLastError(ERROR_CANCELLED);
        return 0;
    }
    vesk::ui::BoxRequest box;
    box.owner = hWnd;
    box.caption = lpCaption != nullptr ? lpCaption : "Error";
    box.text = lpText != nullptr ? lpText : "";
    box.style = uType;
    // A box runs a message loop of its own: what was queued before it is delivered.
    vesk::win::deliverPosted();
    vesk::win::enterModal();
    box.depth = vesk::win::modalDepth();
    int answer = presenter->messageBox(box);
    while (answer == IDHELP && (uType & MB_HELP)) {
        // Help keeps the box open; its owner hears of it as WM_HELP.
        if (hWnd != nullptr && IsWindow(hWnd)) SendMessageA(hWnd, WM_HELP, 0, 0);
        answer = presenter->messageBox(box);
    }
    vesk::win::leaveModal();
    if (std::find(buttons.begin(), buttons.end(), answer) == buttons.end()) {
        // A presenter that answers outside the box gets the box's closing answer.
        const int escape = vesk::ui::boxEscapeAnswer(uType);
        answer = escape != 0 ? escape : buttons.back();
    }
    return answer;
}

int VeskDoWaitCursor(int nCode) {
    if (nCode > 0) ++g_waitCount;
    else if (nCode < 0 && g_waitCount > 0) --g_waitCount;
    if (std::shared_ptr<vesk::ui::Presenter> presenter = vesk::ui::presenterFor(GetFocus())) {
        presenter->waitCursorChanged(g_waitCount);
    }
    return g_waitCount;
}

int VeskWaitCursorCount(void) {
    return g_waitCount;
}

BOOL VeskChooseDirectoryA(VESK_CHOOSE_DIRECTORYA* lpcd) {
    if (lpcd == nullptr || lpcd->lStructSize < sizeof(VESK_CHOOSE_DIRECTORYA) || lpcd->lpszDir == nullptr ||
        lpcd->nMaxDir == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (lpcd->hwndOwner != nullptr && !vesk::win::findOrFail(lpcd->hwndOwner)) return FALSE;
    std::shared_ptr<vesk::ui::Presenter> presenter = vesk::ui::presenterFor(lpcd->hwndOwner);
    if (!presenter) {
        SetLastError(ERROR_CANCELLED);
        return FALSE;
    }
    vesk::ui::DirectoryRequest request;
    request.owner = lpcd->hwndOwner;
    request.title = lpcd->lpszTitle != nullptr ? lpcd->lpszTitle : "Choose Directory";
    // Browsing starts where asked when that exists, else in the current directory.
    const std::string initial = lpcd->lpszInitialDir != nullptr ? lpcd->lpszInitialDir : "";
    request.initialDir = !initial.empty() && isDirectory(initial) ? canonical(initial) : canonical(currentDirectory());
    vesk::win::deliverPosted();
    vesk::win::enterModal();
    std::string chosen;
    const bool ok = presenter->chooseDirectory(request, &chosen);
    vesk::win::leaveModal();
    if (!ok) {
        SetLastError(ERROR_CANCELLED);
        return FALSE;
    }
    const std::string path = isDirectory(chosen) ? canonical(chosen) : std::string();
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    if (path.size() + 1 > lpcd->nMaxDir) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::memcpy(lpcd->lpszDir, path.c_str(), path.size() + 1);
    return TRUE;
}
