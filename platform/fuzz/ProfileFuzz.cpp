// Private-profile read and write through the calls a program makes, on a file the input
// writes. The input's first three lines are a section, a key and a value; the rest is the
// file. Every read is checked against its buffer contract, and a write that succeeds must
// read back.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "win32/Profile.h"

namespace {

std::string g_file;

// A read into a buffer of `size`: the count returned fits and a NUL follows it.
void readChecked(const char* section, const char* key, DWORD size) {
    std::string buffer(size + 8, '\x7f');
    DWORD n = GetPrivateProfileStringA(section, key, "default", buffer.data(), size, g_file.c_str());
    if (size == 0) {
        if (buffer[0] != '\x7f') std::abort();
        return;
    }
    if (n >= size || buffer[n] != '\0' || buffer[size] != '\x7f') std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    g_file = vesk::fuzz::scratchFile("fuzz.ini");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view text;
    std::vector<std::string> args = vesk::fuzz::leadingLines(data, size, 3, text);
    // The calls take NUL-terminated texts: an argument ends at its first NUL, as it would.
    const char* section = args[0].c_str();
    const char* key = args[1].c_str();
    const char* value = args[2].c_str();
    vesk::fuzz::writeFile(g_file, text);

    for (DWORD n : {0u, 1u, 2u, 3u, 16u, 4096u}) {
        readChecked(section, key, n);
        readChecked(section, nullptr, n);
        readChecked(nullptr, nullptr, n);
    }
    (void)GetPrivateProfileIntA(section, key, 7, g_file.c_str());

    if (WritePrivateProfileStringA(section, key, value, g_file.c_str())) {
        char back[4096];
        GetPrivateProfileStringA(section, key, "\x01", back, sizeof back, g_file.c_str());
        // A value written is read back as written, unless it is quoted (readers unquote it)
        // or has blanks at its ends (readers trim them) or did not fit.
        std::string_view v(value);
        bool plain = !v.empty() && v.size() < sizeof back - 1 && v.front() != '"' && v.front() != '\'' &&
                     v.front() > ' ' && static_cast<unsigned char>(v.back()) > ' ';
        // Names the file can hold as they are: no control characters or blanks at their
        // ends (a reader trims those from the file's lines, not from its arguments).
        auto plainText = [](std::string_view t) {
            if (t.empty() || t.front() == ' ' || t.back() == ' ') return false;
            for (unsigned char c : t)
                if (c < 0x20 || c == 0x7f) return false;
            return true;
        };
        bool plainName = plainText(section) && plainText(key) && key[0] != ';' && key[0] != '[' &&
                         std::strchr(key, '=') == nullptr && std::strchr(section, ']') == nullptr;
        if (plain && plainName && std::strcmp(back, value) != 0) std::abort();
    }
    WritePrivateProfileStringA(section, key, nullptr, g_file.c_str());
    WritePrivateProfileStringA(section, nullptr, nullptr, g_file.c_str());
    return 0;
}
