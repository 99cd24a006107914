#include "framework/CallerBuffer.h"

#include <cstring>

#include "framework/MailHost.h"

int CopyTextToCaller(const std::string& text, char* out, int* size) {
    if (size == nullptr) return MAILHOST_NULL_ARGUMENT;
    const int needed = static_cast<int>(text.size()) + 1;
    if (*size < needed) {
        *size = needed;
        return MAILHOST_BUFFER_TOO_SMALL;
    }
    if (out == nullptr) return MAILHOST_NULL_ARGUMENT;
    std::memcpy(out, text.c_str(), text.size() + 1);
    return MAILHOST_OK;
}

int CopyNameListToCaller(const std::string& list, char* out, int* size) {
    int result = CopyTextToCaller(list, out, size);
    if (result != MAILHOST_OK) return result;
    for (size_t i = 0; i < list.size(); ++i) {
        if (out[i] == '%') out[i] = '\0';
    }
    return MAILHOST_OK;
}
