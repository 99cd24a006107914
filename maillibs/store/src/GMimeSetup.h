// GMime is initialised once per process and never shut down: a stand-in module being
// unloaded must not pull the library out from under another user in the same process.
#pragma once

#include <gmime/gmime.h>

#include <memory>
#include <string>

namespace vesk::store::detail {

/// Runs g_mime_init() on the first call; later calls do nothing. Thread-safe.
void ensureGMime();

/// The parser options every read uses (lenient RFC 2047/2231 and addresses; raw 8-bit
/// header text tried as UTF-8, then Windows-1252). Owned by the process.
GMimeParserOptions* parserOptions();

/// Unreferences a GObject when the owning pointer goes.
struct GObjectUnref {
    void operator()(void* object) const { if (object) g_object_unref(object); }
};
template <class T>
using GRef = std::unique_ptr<T, GObjectUnref>;

/// Parses `size` bytes at `data` as a message; null when GMime finds none. The bytes are
/// copied, so they need not outlive the message.
GRef<GMimeMessage> parseBytes(const char* data, std::size_t size);

/// The decoded content of `part` (transfer encoding undone, charset untouched).
std::string partContent(GMimePart* part);
/// `object` written out as MIME (for message/rfc822 attachments).
std::string objectBytes(GMimeObject* object);

}  // namespace vesk::store::detail
