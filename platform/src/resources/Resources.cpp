#include "win32/Resources.h"

#include <algorithm>
#include <cstring>

#include "resources/ResourceLookup.h"

int WINAPI LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
    if (lpBuffer == nullptr || cchBufferMax < 1) return 0;
    const std::string* text = vesk::res::findString(hInstance, uID);
    if (text == nullptr) {
        lpBuffer[0] = '\0';
        return 0;
    }
    // Windows-1252 holds one byte per character, so characters and bytes agree.
    const size_t copied = std::min(text->size(), static_cast<size_t>(cchBufferMax) - 1);
    std::memcpy(lpBuffer, text->data(), copied);
    lpBuffer[copied] = '\0';
    return static_cast<int>(copied);
}
