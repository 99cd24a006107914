// The text utilities: line unwrapping, address lists and parts, and password unscrambling,
// on the input's text. Each must stay within its buffers and hold its own invariants.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/AddressText.h"
#include "framework/PasswordScramble.h"
#include "framework/UnwrapLines.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    std::string cstr(text.c_str());  // the C-string the callers pass: up to the first NUL

    std::vector<char> dest(cstr.size() + 1, '\x7f');
    UnwrapLines(dest.data(), cstr.c_str(), cstr.size());
    if (std::string(dest.data()) != UnwrapLines(cstr)) std::abort();
    if (UnwrapLines(cstr).size() > cstr.size()) std::abort();

    std::string list = cstr;
    (void)NormalizeAddressList(list);
    std::string walk = cstr;
    for (int i = 0; i < 10000 && !walk.empty(); ++i) {
        std::size_t before = walk.size();
        std::string entry = GetNextListEntry(walk);
        (void)GetDisplayNamePart(entry);
        (void)GetAddressPart(entry);
        (void)IsInternetAddress(entry);
        if (walk.size() >= before && !walk.empty()) std::abort();  // every step consumes text
    }
    std::string trimmed = cstr;
    Trim(trimmed);
    (void)StripQuotes(cstr);

    std::string plain = UnscramblePassword(cstr);
    bool scramblable = plain.size() <= 32 && plain.find('\0') == std::string::npos;
    if (scramblable && UnscramblePassword(ScramblePassword(plain)) != plain) std::abort();
    return 0;
}
