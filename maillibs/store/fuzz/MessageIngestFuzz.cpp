// Message ingest: a file's bytes read as the store reads a message (headers only, then in
// full with HTML rendered and charsets converted), and every attachment it lists fetched.
// Whatever the bytes, the read succeeds and its texts hold no NUL.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "Parse.h"

using namespace vesk::store;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::time_t received = 0;
    Result<Message> headers = detail::parseMessage(bytes, ReadMode::Headers, received);
    Result<Message> full = detail::parseMessage(bytes, ReadMode::Full, received);
    if (!headers || !full) std::abort();
    if (full->body.find('\0') != std::string::npos || full->subject.find('\0') != std::string::npos) std::abort();
    if (headers->attachments.size() != full->attachments.size()) std::abort();
    for (std::size_t i = 0; i < full->attachments.size() && i < 64; ++i) {
        if (!detail::attachmentBytes(bytes, i)) std::abort();
    }
    return 0;
}
