#include "common/ProfileFile.h"

#include "win32/Profile.h"

namespace vesk::vim32 {

std::string profileValue(const std::string& file, const std::string& section, const std::string& key) {
    std::string buffer(1024, '\0');
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer.data(),
                                       static_cast<DWORD>(buffer.size()), file.c_str());
    buffer.resize(n);
    return buffer;
}

std::vector<std::string> profileNames(const std::string& file, const char* section) {
    // The list comes NUL-separated; a list cut short is retried with a bigger buffer.
    for (std::size_t size = 4096; size <= (std::size_t(1) << 24); size *= 4) {
        std::string buffer(size, '\0');
        DWORD n = GetPrivateProfileStringA(section, nullptr, "", buffer.data(), static_cast<DWORD>(size), file.c_str());
        if (n + 2 >= size) continue;
        std::vector<std::string> names;
        for (std::size_t at = 0; at < n && buffer[at] != '\0';) {
            std::string name(buffer.c_str() + at);
            at += name.size() + 1;
            names.push_back(std::move(name));
        }
        return names;
    }
    return {};
}

}  // namespace vesk::vim32
