#include "VimErrorBox.h"

#include <string>

#include "framework/MailHost.h"
#include "framework/ResourceStrings.h"
#include "kestrav_ids.h"
#include "win32/MessageBox.h"

UINT VimErrorStringId(int code) {
    switch (code) {
        case MAILHOST_SERVER_ERROR: return KESTRAV_IDS_ERROR_SERVER;
        case MAILHOST_OUT_OF_MEMORY: return KESTRAV_IDS_ERROR_MEMORY;
        case MAILHOST_INIT_FAILED: return KESTRAV_IDS_ERROR_INIT;
        case MAILHOST_LOGON_FAILED: return KESTRAV_IDS_ERROR_LOGON;
        default: return KESTRAV_IDS_ERROR_OTHER;
    }
}

int ShowVimError(HWND owner, int code) {
    if (code == MAILHOST_OK) return 0;
    const std::string text = LoadResString(VimErrorStringId(code));
    const std::string caption = LoadResString(KESTRAV_IDS_MAIL_SETUP);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), MB_ICONHAND | MB_OK);
}
