#include "framework/ResourceStrings.h"

#include <vector>

#include "win32/ModuleState.h"
#include "win32/Resources.h"

std::string LoadResString(UINT id) {
    const HINSTANCE resources = VeskGetModuleState()->hResource;
    // LoadStringA cuts a long string to the buffer; grow until it fits. A string resource
    // holds at most 65535 characters.
    std::vector<char> buffer(256);
    for (;;) {
        const int length = LoadStringA(resources, id, buffer.data(), static_cast<int>(buffer.size()));
        if (length <= 0) return std::string();
        if (static_cast<size_t>(length) < buffer.size() - 1 || buffer.size() > 65536) {
            return std::string(buffer.data(), static_cast<size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}
