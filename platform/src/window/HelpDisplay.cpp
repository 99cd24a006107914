#include "window/HelpDisplay.h"

#include "platform/Presenter.h"
#include "window/MessageQueue.h"
#include "window/WindowObject.h"
#include "win32/Help.h"

namespace vesk::ui {
namespace {

BOOL displayHelp(HWND owner, const char* path, const char* text, UINT command, ULONG_PTR data) {
    std::shared_ptr<Presenter> presenter = presenterFor(owner);
    if (!presenter) return FALSE;
    HelpRequest request;
    request.owner = owner;
    request.path = path != nullptr ? path : "";
    request.text = text != nullptr ? text : "";
    request.command = command;
    request.data = static_cast<unsigned long>(data);
    win::enterModal();
    const bool shown = presenter->showHelp(request);
    win::leaveModal();
    return shown ? TRUE : FALSE;
}

}  // namespace

void installHelpDisplay() {
    static bool installed = false;
    if (installed) return;
    installed = true;
    VeskSetHelpDisplay(displayHelp);
}

}  // namespace vesk::ui
