// The handheld file reader: any text either parses into a handheld, which then writes and
// reads back to the same file text, or is refused with an error and leaves the handheld as
// it was.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "handheld/HandheldFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    conduit::Handheld handheld;
    std::string empty = conduit::handheldToJson(handheld);
    if (conduit::handheldFromJson(text, handheld)) {
        if (conduit::handheldToJson(handheld) != empty) std::abort();
        return 0;
    }
    std::string written = conduit::handheldToJson(handheld);
    conduit::Handheld again;
    if (conduit::handheldFromJson(written, again)) std::abort();
    if (conduit::handheldToJson(again) != written) std::abort();
    return 0;
}
