#include "SmapiErrorBox.h"

#include <string>

#include "framework/MailHost.h"
#include "framework/ResourceStrings.h"
#include "savidne_ids.h"
#include "win32/MessageBox.h"

UINT SmapiErrorStringId(int code) {
    switch (code) {
        case MAILHOST_SERVER_ERROR: return SAVIDNE_IDS_ERROR_SERVER;
        case MAILHOST_ERROR: return SAVIDNE_IDS_ERROR_OTHER;
        case MAILHOST_OUT_OF_MEMORY: return SAVIDNE_IDS_ERROR_MEMORY;
        case MAILHOST_LOGON_FAILED: return SAVIDNE_IDS_ERROR_LOGON;
        default: return static_cast<UINT>(code);
    }
}

int ShowSmapiError(HWND owner, int code) {
    if (code == MAILHOST_OK) return 0;
    std::string text = code >= 0 ? LoadResString(SmapiErrorStringId(code)) : std::string();
    // A code the language library has no words for still deserves a message, not an empty box.
    if (text.empty()) text = LoadResString(SAVIDNE_IDS_ERROR_OTHER);
    const std::string caption = LoadResString(SAVIDNE_IDS_MAIL_SETUP);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), MB_ICONHAND | MB_OK);
}
