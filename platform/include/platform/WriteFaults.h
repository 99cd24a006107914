// A seam under every call that changes files on the desktop (write, fsync, rename, link,
// unlink), so tests can make the Nth such call fail the way a full or failing disk would.
//
// Off unless the environment asks for it when the platform library loads:
//   VESK_WRITE_FAULT=N:ENOSPC   (or N:EIO) the Nth call from process start fails with that errno
//   VESK_WRITE_FAULT_TRACE=path every call, counted from 1, is appended to `path` as
//                               "N<TAB>op<TAB>file" (file "-" where only a descriptor is known)
// Tests in one process can arm it with `armWriteFault`. The platform library is one copy per
// process, so the conduit, the plug-in and its mail library count on one counter. When off,
// each call costs one load and a not-taken branch.
#pragma once

#include <fcntl.h>
#include <stdio.h>
#include <sys/types.h>
#include <unistd.h>

#include <cstddef>
#include <string>

#include "win32/Export.h"

namespace vesk::io {

enum class Op { Write, Fsync, Rename, Link, Unlink };

/// True while faults are injected or traced. Read through `armed()`.
VESK_EXPORT extern bool g_writeFaultsArmed;
inline bool armed() { return __builtin_expect(g_writeFaultsArmed, 0); }

/// Counts one call of `op` on `path` (may be null): traces it, and returns true, with errno
/// set, when this call is the one to fail.
VESK_EXPORT bool injectFault(Op op, const char* path);

/// Arms the seam in-process: call number `failAt` (counting from the next call, 1 = the next
/// one; 0: none fails) fails with `error`; every call is traced to `tracePath` when not empty.
VESK_EXPORT void armWriteFault(long failAt, int error, const std::string& tracePath = {});
/// Turns the seam off again and resets its counter.
VESK_EXPORT void disarmWriteFault();
/// Calls counted since the seam was armed.
VESK_EXPORT long writeFaultCalls();

// The calls themselves, each failing with -1 and errno when the seam says so. `path` names
// the file for the trace only.
inline ssize_t write(int fd, const void* data, std::size_t size, const char* path = nullptr) {
    if (armed() && injectFault(Op::Write, path)) return -1;
    return ::write(fd, data, size);
}
inline int fsync(int fd, const char* path = nullptr) {
    if (armed() && injectFault(Op::Fsync, path)) return -1;
    return ::fsync(fd);
}
inline int fdatasync(int fd, const char* path = nullptr) {
    if (armed() && injectFault(Op::Fsync, path)) return -1;
    return ::fdatasync(fd);
}
inline int rename(const char* from, const char* to) {
    if (armed() && injectFault(Op::Rename, to)) return -1;
    return ::rename(from, to);
}
/// rename that fails with EEXIST instead of replacing `to`.
inline int renameNoReplace(const char* from, const char* to) {
    if (armed() && injectFault(Op::Rename, to)) return -1;
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE);
}
inline int link(const char* from, const char* to) {
    if (armed() && injectFault(Op::Link, to)) return -1;
    return ::link(from, to);
}
inline int unlink(const char* path) {
    if (armed() && injectFault(Op::Unlink, path)) return -1;
    return ::unlink(path);
}
inline int unlinkat(int dirfd, const char* name, int flags) {
    if (armed() && injectFault(Op::Unlink, name)) return -1;
    return ::unlinkat(dirfd, name, flags);
}

}  // namespace vesk::io
