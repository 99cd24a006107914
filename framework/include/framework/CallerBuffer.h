// The size protocol of the exports that hand a text to the conduit (GetHostConfigInfo,
// GetSupportedHosts): the conduit passes a buffer and its capacity; a capacity too small gets
// the size needed back and nothing written.
#pragma once

#include <string>

/// Copies `text` with its NUL into `out` when `*size` holds at least its length + 1 (then
/// `*size` is left as it was): MAILHOST_OK. Otherwise stores the length + 1 in `*size`:
/// MAILHOST_BUFFER_TOO_SMALL. MAILHOST_NULL_ARGUMENT for a null `size`, or a null `out` with
/// room enough.
int CopyTextToCaller(const std::string& text, char* out, int* size);

/// As CopyTextToCaller for a list written "a%b%" (each name ended by '%'), handed out as
/// "a\0b\0\0": each name ends in NUL, the list in an empty name.
int CopyNameListToCaller(const std::string& list, char* out, int* size);
