// Presenter windows, and finding the presenter of a window.
#include <unistd.h>

#include <cstdlib>
#include <vector>

#include "platform/Presenter.h"
#include "platform/ScriptedPresenter.h"
#include "window/HelpDisplay.h"
#include "window/WindowObject.h"
#include "window/presenters/LinePresenter.h"
#include "window/presenters/TerminalPresenter.h"
#include "win32/Module.h"
#include "win32/MessageBox.h"

#ifndef ERROR_FILE_NOT_FOUND
#define ERROR_FILE_NOT_FOUND 2
#endif
#ifndef ERROR_BAD_FORMAT
#define ERROR_BAD_FORMAT 11
#endif

namespace vesk::ui {
namespace {

// Presenter windows in the order they were made; the last live one is the active one.
std::vector<HWND>& presenterWindows() {
    static std::vector<HWND> windows;
    return windows;
}

void forgetPresenterWindow(HWND hWnd) {
    auto& windows = presenterWindows();
    for (auto it = windows.begin(); it != windows.end();) {
        it = *it == hWnd ? windows.erase(it) : it + 1;
    }
}

}  // namespace

Presenter::~Presenter() = default;
void Presenter::inputRejected(const Input&, const std::string&) {}
void Presenter::windowClosed(HWND) {}
void Presenter::waitCursorChanged(int) {}

const ControlView* WindowView::control(int id) const {
    for (const ControlView& c : controls) {
        if (c.id == id) return &c;
    }
    return nullptr;
}

const SheetButtonView* WindowView::button(int id) const {
    for (const SheetButtonView& b : buttons) {
        if (b.id == id) return &b;
    }
    return nullptr;
}

std::vector<int> boxButtons(unsigned style) {
    switch (style & MB_TYPEMASK) {
        case MB_OK: return {IDOK};
        case MB_OKCANCEL: return {IDOK, IDCANCEL};
        case MB_ABORTRETRYIGNORE: return {IDABORT, IDRETRY, IDIGNORE};
        case MB_YESNOCANCEL: return {IDYES, IDNO, IDCANCEL};
        case MB_YESNO: return {IDYES, IDNO};
        case MB_RETRYCANCEL: return {IDRETRY, IDCANCEL};
        case MB_CANCELTRYCONTINUE: return {IDCANCEL, IDTRYAGAIN, IDCONTINUE};
        default: return {};
    }
}

std::string answerName(int id) {
    switch (id) {
        case IDOK: return "OK";
        case IDCANCEL: return "Cancel";
        case IDABORT: return "Abort";
        case IDRETRY: return "Retry";
        case IDIGNORE: return "Ignore";
        case IDYES: return "Yes";
        case IDNO: return "No";
        case IDCLOSE: return "Close";
        case IDHELP: return "Help";
        case IDTRYAGAIN: return "Try Again";
        case IDCONTINUE: return "Continue";
        default: return std::string();
    }
}

int boxEscapeAnswer(unsigned style) {
    const std::vector<int> buttons = boxButtons(style);
    for (int id : buttons) {
        if (id == IDCANCEL) return IDCANCEL;
    }
    return buttons.size() == 1 && buttons.front() == IDOK ? IDOK : 0;
}

HWND createPresenterWindow(std::shared_ptr<Presenter> presenter) {
    if (!presenter) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    installHelpDisplay();
    auto window = std::make_shared<win::Window>();
    window->role = win::Role::Presenter;
    window->className = "VeskPresenter";
    window->style = WS_POPUP;
    window->proc = DefWindowProcA;
    window->presenter = std::move(presenter);
    static bool listening = false;
    if (!listening) {
        win::addDestroyListener(forgetPresenterWindow);
        listening = true;
    }
    const HWND handle = win::registerWindow(window);
    presenterWindows().push_back(handle);
    return handle;
}

std::shared_ptr<Presenter> presenterFor(HWND window) {
    for (win::WindowPtr w = win::find(window); w; w = win::find(win::above(*w))) {
        if (w->role == win::Role::Presenter) return w->presenter;
        if (win::above(*w) == nullptr) break;
    }
    // Windows that no presenter window owns go to the active one.
    const auto& windows = presenterWindows();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it) {
        if (win::WindowPtr w = win::find(*it)) return w->presenter;
    }
    return nullptr;
}

bool terminalAvailable() {
    const char* term = std::getenv("TERM");
    return isatty(0) && isatty(1) && term != nullptr && term[0] != '\0' && std::string(term) != "dumb";
}

HWND createScriptedPresenterWindow(std::vector<ScriptAction> actions, std::shared_ptr<ScriptedPresenter>* presenter) {
    auto scripted = std::make_shared<ScriptedPresenter>(std::move(actions));
    if (presenter != nullptr) *presenter = scripted;
    return createPresenterWindow(scripted);
}

}  // namespace vesk::ui

HWND VeskCreatePresenterWindow(int kind, const VESK_PRESENTER_OPTIONS* options) {
    VESK_PRESENTER_OPTIONS none{};
    const VESK_PRESENTER_OPTIONS& o = options != nullptr ? *options : none;
    if (kind == VESK_PRESENTER_AUTO) kind = vesk::ui::terminalAvailable() ? VESK_PRESENTER_TERMINAL : VESK_PRESENTER_LINE;
    switch (kind) {
        case VESK_PRESENTER_SCRIPTED: {
            std::vector<vesk::ui::ScriptAction> actions;
            if (o.scriptFile != nullptr) {
                std::string error;
                if (access(o.scriptFile, R_OK) != 0) {
                    SetLastError(ERROR_FILE_NOT_FOUND);
                    return nullptr;
                }
                if (!vesk::ui::loadScript(o.scriptFile, &actions, &error)) {
                    SetLastError(ERROR_BAD_FORMAT);
                    return nullptr;
                }
            }
            auto presenter = std::make_shared<vesk::ui::ScriptedPresenter>(std::move(actions));
            if (o.transcriptFile != nullptr) presenter->setTranscriptFile(o.transcriptFile);
            return vesk::ui::createPresenterWindow(presenter);
        }
        case VESK_PRESENTER_TERMINAL:
            return vesk::ui::createPresenterWindow(std::make_shared<vesk::ui::TerminalPresenter>());
        case VESK_PRESENTER_LINE: {
            const bool defaults = o.inputFd == 0 && o.outputFd == 0;
            return vesk::ui::createPresenterWindow(
                std::make_shared<vesk::ui::LinePresenter>(defaults ? 0 : o.inputFd, defaults ? 1 : o.outputFd));
        }
        default:
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
    }
}
