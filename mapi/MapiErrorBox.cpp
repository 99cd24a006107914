#include "MapiErrorBox.h"

#include <string>

#include "framework/MailHost.h"
#include "framework/ResourceStrings.h"
#include "morleaf_ids.h"
#include "win32/MessageBox.h"

UINT MapiErrorStringId(int code) {
    switch (code) {
        case MAILHOST_SERVER_ERROR: return MORLEAF_IDS_ERROR_SERVER;
        case MAILHOST_ERROR: return MORLEAF_IDS_ERROR_OTHER;
        case MAILHOST_OUT_OF_MEMORY: return MORLEAF_IDS_ERROR_MEMORY;
        case MAILHOST_INIT_FAILED: return MORLEAF_IDS_ERROR_INIT;
        case MAILHOST_LOGON_FAILED: return MORLEAF_IDS_ERROR_LOGON;
        case MAILHOST_LIBRARY_NOT_FOUND: return MORLEAF_IDS_ERROR_NO_LIBRARY;
        case MAILHOST_HOST_NOT_INSTALLED: return MORLEAF_IDS_ERROR_NOT_INSTALLED;
        default: return static_cast<UINT>(code);
    }
}

int ShowMapiError(HWND owner, int code) {
    if (code == MAILHOST_OK) return 0;
    std::string text = code >= 0 ? LoadResString(MapiErrorStringId(code)) : std::string();
    // A code the language library has no words for still deserves a message, not an empty box.
    if (text.empty()) text = LoadResString(MORLEAF_IDS_ERROR_OTHER);
    const std::string caption = LoadResString(MORLEAF_IDS_MAIL_SETUP);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), MB_ICONHAND | MB_OK);
}
